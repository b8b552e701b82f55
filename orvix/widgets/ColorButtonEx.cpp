#include "orvix/widgets/ColorButtonEx.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(ColorButtonEx)

namespace {
constexpr COLORREF kEditBack = 0x272222;

// Dark text on light swatches, white on dark ones.
Color ContrastText(COLORREF c) {
    const int luma = (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
    return luma > 150 ? Color(0xFF050505) : Color(0xFFFFFFFF);
}
}  // namespace

ColorButtonEx::ColorButtonEx(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                             BOOL enabled)
    : CColorButton(parent, id, rect, title, visible, enabled), m_edit(*this) {
    m_hAlign = 1;
    m_vAlign = 4;
    m_title = std::to_wstring(m_value);
}

void ColorButtonEx::SetValue(int value) {
    m_edit.NoteValueSet();
    m_value = value;
    m_title = std::to_wstring(value);
    UpdateControl(TRUE);
}

void ColorButtonEx::SetTextRect(CRect rect) {
    m_textRect = rect;
    UpdateControl(TRUE);
}

void ColorButtonEx::SetShowEdit(BOOL show) {
    if (!show) {
        HideEdit();
        return;
    }
    if (!m_enabled || m_edit.IsOpen()) return;
    m_title = std::to_wstring(m_value);
    m_edit.Open(GetTextRect(), m_title, kEditLimit, kEditBack, Color(0xFFFFFFFF));
}

void ColorButtonEx::HideEdit() {
    if (!m_edit.IsOpen()) return;
    if (std::optional<int> typed = m_edit.Close(m_value)) m_value = *typed;
    m_title = std::to_wstring(m_value);
    UpdateControl(TRUE);
}

LRESULT ColorButtonEx::OnBaseMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (id != InPlaceEdit::kBoxId) return 0;
    if (code == Notify::TextChanged)
        m_edit.OnChanged(m_title);
    else if (code == Notify::EditEnded)
        HideEdit();
    return 0;
}

LRESULT ColorButtonEx::SetControlFocus(BOOL focus) {
    CColorButton::SetControlFocus(focus);
    if (!focus) HideEdit();
    return 0;
}

BOOL ColorButtonEx::OnControlLButtonDown(UINT flags, CPoint pt) {
    const BOOL wasChecked = m_check;
    const BOOL taken = CColorButton::OnControlLButtonDown(flags, pt);
    if (taken && wasChecked && GetTextRect().PtInRect(pt)) SetShowEdit(TRUE);
    return taken;
}

void ColorButtonEx::OnKeyActivate() {
    if (m_check) return;
    CheckByUser();
    SendMessageW(Notify::KeyToggled, 0, LPARAM(m_check));
}

void ColorButtonEx::RenderLook(Canvas& canvas, int look, const CRect& rect) {
    CColorButton::RenderLook(canvas, look, rect);
    CRect text = GetTextRect();
    text.OffsetRect(rect.left - m_rect.left, rect.top - m_rect.top);
    DrawTitleText(canvas, m_title, text,
                  (look & 3) == STATE_DISABLED ? Color(0xFF808080) : ContrastText(m_color));
}

}  // namespace Orvix
