#include "orvix/controls/CSpinButton.h"

#include <algorithm>
#include <cwchar>

#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CSpinButton)

namespace {
constexpr int kArrowWidth = 16;
}

CSpinButton::CSpinButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                         BOOL enabled)
    : MRichEdit(parent, id, rect, title, visible, enabled) {
    if (title && *title) m_value = int(std::wcstol(title, nullptr, 10));
    m_value = std::clamp(m_value, m_min, m_max);
    m_title = std::to_wstring(m_value);
}

void CSpinButton::InitControl(PaintManager* manager) {
    MRichEdit::InitControl(manager);
    SetWordWrap(FALSE);
    SetNumberOnly(m_min >= 0);
}

CRect CSpinButton::GetUpRect() const {
    return CRect(m_rect.right - kArrowWidth, m_rect.top, m_rect.right, m_rect.top + m_rect.Height() / 2);
}

CRect CSpinButton::GetDownRect() const {
    return CRect(m_rect.right - kArrowWidth, m_rect.top + m_rect.Height() / 2, m_rect.right, m_rect.bottom);
}

CRect CSpinButton::BoxRect() const {
    CRect r = MRichEdit::BoxRect();
    r.right = m_rect.right - kArrowWidth - 1;
    return r;
}

void CSpinButton::SetRange(int min, int max) {
    if (min > max) std::swap(min, max);
    m_min = min;
    m_max = max;
    SetNumberOnly(m_min >= 0);
    if (!Change(m_value, true)) ShowValue();
}

BOOL CSpinButton::SetCurValue(int value) {
    return Change(value, true);
}

BOOL CSpinButton::Change(int value, bool showText) {
    value = std::clamp(value, m_min, m_max);
    if (showText) ShowValue();
    if (value == m_value) return FALSE;
    m_value = value;
    if (showText) ShowValue();
    SendMessageW(Notify::ValueChanged, 0, 0);
    return TRUE;
}

void CSpinButton::ShowValue() {
    std::wstring text = std::to_wstring(m_value);
    if (GetText() != text) SetText(text.c_str());
}

void CSpinButton::OnTextChanged() {
    // Typing changes the value as soon as the text is a number in range.
    std::wstring text = GetText();
    wchar_t* end = nullptr;
    long value = std::wcstol(text.c_str(), &end, 10);
    if (!text.empty() && end && *end == 0 && value >= m_min && value <= m_max) Change(int(value), false);
}

void CSpinButton::OnEditEnded() {
    ShowValue();
}

BOOL CSpinButton::OnControlMouseMove(UINT flags, CPoint pt) {
    int hover = GetUpRect().PtInRect(pt) ? 1 : GetDownRect().PtInRect(pt) ? 2 : 0;
    if (hover != m_hoverArrow) {
        m_hoverArrow = hover;
        UpdateControl();
    }
    return MRichEdit::OnControlMouseMove(flags, pt) || hover;
}

BOOL CSpinButton::OnControlLButtonDown(UINT flags, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_pressedArrow = GetUpRect().PtInRect(pt) ? 1 : GetDownRect().PtInRect(pt) ? 2 : 0;
    if (m_pressedArrow) {
        Change(m_value + (m_pressedArrow == 1 ? 1 : -1), true);
        UpdateControl();
        return TRUE;
    }
    return MRichEdit::OnControlLButtonDown(flags, pt);
}

BOOL CSpinButton::OnControlLButtonUp(UINT, CPoint) {
    if (!m_pressedArrow) return FALSE;
    m_pressedArrow = 0;
    UpdateControl();
    return TRUE;
}

BOOL CSpinButton::OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) {
    if (m_enabled && (vk == VK_UP || vk == VK_DOWN)) {
        Change(m_value + (vk == VK_UP ? 1 : -1), true);
        return TRUE;
    }
    return MRichEdit::OnControlKeyDown(vk, repeat, modifiers);
}

BOOL CSpinButton::OnControlScroll(int, UINT direction, CPoint) {
    if (!m_enabled) return FALSE;
    Change(m_value + (direction == 1 ? -1 : 1), true);
    return TRUE;
}

void CSpinButton::DrawControl(Canvas& canvas, CRect rcPaint) {
    MRichEdit::DrawControl(canvas, rcPaint);
    const ImgResInfo* up = m_manager ? m_manager->AddImgResInfo(L"img_btn_value_up.png", 4) : nullptr;
    const ImgResInfo* down = m_manager ? m_manager->AddImgResInfo(L"img_btn_value_down.png", 4) : nullptr;
    auto arrow = [&](const ImgResInfo* info, CRect r, int which) {
        int state = !m_enabled ? 3 : m_pressedArrow == which ? 2 : m_hoverArrow == which ? 1 : 0;
        if (!info || !info->image) {
            canvas.FillRect(r, state ? Color(0x6049FFE6) : Color(0x30FFFFFF));
            return;
        }
        const int w = info->frameWidth, h = info->height;
        CRect dst(r.left + (r.Width() - w) / 2, r.top + (r.Height() - h) / 2, 0, 0);
        dst.right = dst.left + w;
        dst.bottom = dst.top + h;
        canvas.DrawImage(*info->image, dst, CRect(state * w, 0, (state + 1) * w, h));
    };
    arrow(up, GetUpRect(), 1);
    arrow(down, GetDownRect(), 2);
}

}  // namespace Orvix
