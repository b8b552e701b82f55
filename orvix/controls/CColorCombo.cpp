#include "orvix/controls/CColorCombo.h"

#include "orvix/core/Manager.h"

namespace Orvix {

namespace {
constexpr int kArrowWidth = 20;
}

CColorCombo::CColorCombo(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {
    m_frameSize = 6;
}

void CColorCombo::SetAreaColor(COLORREF color) {
    if (color == m_color) return;
    m_color = color;
    UpdateControl(TRUE);
}

void CColorCombo::SetIsOpen(BOOL open) {
    if (bool(open) == bool(m_open)) return;
    m_open = open;
    UpdateControl(TRUE);
}

void CColorCombo::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    const bool disabled = (look & 3) == STATE_DISABLED;
    if (m_image) DrawLookFrame(canvas, slice, look);
    else canvas.FillRoundRect(slice, 4, Color(0xFF16212E));
    CRect swatch(slice.left + 4, slice.top + 4, slice.right - kArrowWidth - 2, slice.bottom - 4);
    canvas.FillRoundRect(swatch, 3, Color::FromCOLORREF(m_color, disabled ? 0x60 : 0xFF));
    canvas.DrawRoundRect(swatch, 3, Color(0x60FFFFFF));
    const CPoint m((slice.right - kArrowWidth / 2 - 2), slice.CenterPoint().y);
    const Color arrow = disabled ? TextColorFor(STATE_DISABLED) : (look & 3) ? Manager::GetSelectColor() : m_textColor;
    if (m_open) canvas.FillPolygon({{m.x - 5, m.y + 3}, {m.x + 5, m.y + 3}, {m.x, m.y - 3}}, arrow);
    else canvas.FillPolygon({{m.x - 5, m.y - 3}, {m.x + 5, m.y - 3}, {m.x, m.y + 3}}, arrow);
}

}  // namespace Orvix
