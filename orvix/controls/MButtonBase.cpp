#include "orvix/controls/MButtonBase.h"

#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

MButtonBase::MButtonBase(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    if (!enabled) m_state = STATE_DISABLED;
}

void MButtonBase::SetFrameSize(int size) {
    if (size == m_frameSize || size < 0) return;
    m_frameSize = size;
    UpdateControl(TRUE);
}

void MButtonBase::SetTextButtonColor(Color normal, Color hover, Color pressed, Color disabled) {
    m_colors[0] = normal;
    m_colors[1] = hover;
    m_colors[2] = pressed;
    m_colors[3] = disabled;
    m_stateColors = true;
    UpdateControl(TRUE);
}

void MButtonBase::SetState(int state) {
    if (state == m_state) return;
    // Pressed counts as under the pointer: leaving means normal or disabled.
    const bool was = m_state == STATE_HOVER || m_state == STATE_PRESSED;
    const bool now = state == STATE_HOVER || state == STATE_PRESSED;
    m_state = state;
    UpdateControl(FALSE);  // every look is in the cache already
    if (was != now) OnHoverChanged(now);
}

BOOL MButtonBase::StoreCheck(BOOL check) {
    check = check ? TRUE : FALSE;
    if (check == m_check) return FALSE;
    m_check = check;
    UpdateControl(FALSE);
    return TRUE;
}

void MButtonBase::SetControlEnabled(BOOL enabled) {
    MControlFont::SetControlEnabled(enabled);
    SetState(enabled ? STATE_NORMAL : STATE_DISABLED);
}

void MButtonBase::SetControlVisible(BOOL visible) {
    MControlFont::SetControlVisible(visible);
    // A button that comes back must not still look hovered or pressed.
    if (m_enabled) SetState(STATE_NORMAL);
}

BOOL MButtonBase::OnControlMouseMove(UINT, CPoint pt) {
    const BOOL inside = m_rect.PtInRect(pt);
    if (!m_enabled || m_state == STATE_PRESSED) return inside;
    const int state = inside ? STATE_HOVER : STATE_NORMAL;
    if (state != m_state) {
        // Only the button that changes sets the cursor, so moving over one
        // button never lets another reset it.
        Platform::SetCursor(inside ? CursorKind::Hand : CursorKind::Arrow);
        SetState(state);
    }
    return inside;
}

BOOL MButtonBase::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    SetState(STATE_PRESSED);
    OnPressed();
    return TRUE;
}

BOOL MButtonBase::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const bool wasPressed = m_state == STATE_PRESSED;
    if (m_rect.PtInRect(pt)) {
        SetState(STATE_HOVER);
        if (wasPressed) OnClicked();
    } else {
        SetState(STATE_NORMAL);
        if (wasPressed) Platform::SetCursor(CursorKind::Arrow);
    }
    return TRUE;
}

BOOL MButtonBase::OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) {
    if (!m_enabled || !MControlFont::OnControlKeyDown(vk, repeat, modifiers)) return FALSE;
    OnKeyActivate();  // its hot key
    return TRUE;
}

BOOL MButtonBase::OnFocusKey(UINT vk, UINT modifiers) {
    // Space and Enter on the focused button do what a click does (codes 1 and
    // 2, the check toggled); a control whose check the keyboard changes also
    // says so with code 7.
    const BOOL done = MControlFont::OnFocusKey(vk, modifiers);
    if (done && TakesSpaceKey() && (vk == VK_SPACE || vk == VK_RETURN)) SendMessageW(Notify::KeyToggled, 0, m_check);
    return done;
}

void MButtonBase::OnPressed() { SendMessageW(Notify::Pressed, 0, 0); }
void MButtonBase::OnClicked() { SendMessageW(Notify::Clicked, 0, 0); }
void MButtonBase::OnKeyActivate() { OnClicked(); }

void MButtonBase::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    const int looks = LookCount();
    const int look = std::min(GetVisualState(), looks - 1);
    DrawCached(canvas, rcPaint, looks, look,
               [this](Canvas& cache, int i, const CRect& slice) { RenderLook(cache, i, slice); });
}

int MButtonBase::FrameForLook(int look) const {
    const int state = look & 3;
    if (look < STATE_CHECKED || m_frameCount >= 8) return std::min(look, std::max(0, m_frameCount - 1));
    // A 4-frame strip has no checked frames: checked shows pressed.
    const int frame = state == STATE_DISABLED ? STATE_DISABLED : STATE_PRESSED;
    return std::min(frame, std::max(0, m_frameCount - 1));
}

void MButtonBase::DrawLookFrame(Canvas& canvas, const CRect& dst, int look) const {
    if (!m_image) return;
    const CRect src = GetFrameRect(FrameForLook(look));
    MRender::DrawImageFrame(canvas, *m_image, dst, src.left, src.top, src.Width(), src.Height(), m_frameSize);
}

void MButtonBase::DrawLookFrameAt(Canvas& canvas, int x, int y, int look) const {
    if (!m_image) return;
    canvas.DrawImage(*m_image, CRect(x, y, x + m_frameWidth, y + m_frameHeight), GetFrameRect(FrameForLook(look)));
}

Color MButtonBase::TextColorFor(int look) const {
    const int state = look & 3;
    if (m_stateColors) return m_colors[state == STATE_DISABLED ? 3 : look >= STATE_CHECKED ? 2 : state];
    if (state == STATE_DISABLED)
        return Color::FromCOLORREF(m_manager ? m_manager->GetDefaultEnabledColor() : 0x808080);
    return look >= STATE_CHECKED ? Manager::GetSelectColor() : m_textColor;
}

void MButtonBase::ShowTitleBubble(CPoint clientPt, int type, int mode) {
    if (!m_manager || m_title.empty()) return;
    POINT pt = clientPt;
    Platform::ClientToScreen(m_manager->GetPaintWnd(), pt);
    m_manager->SetAirBladderMsg(m_title.c_str(), pt, AIRBLADDER_TYPE(type), AIRBLADDER_MODE(mode));
}

void MButtonBase::HideTitleBubble(int mode) {
    if (m_manager) m_manager->ShowAirBladder(FALSE, mode);
}

CRect MButtonBase::InSlice(const CRect& relative, const CRect& slice) {
    CRect r = relative;
    r.OffsetRect(slice.left, slice.top);
    return r;
}

void MButtonBase::DescribeAccessible(AccessibleInfo& info) {
    MControlFont::DescribeAccessible(info);
    info.role = AccessibleRole::PushButton;
    info.action = L"click";
    info.pressed = m_state == STATE_PRESSED;
}

}  // namespace Orvix
