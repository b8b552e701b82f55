#include "orvix/controls/CArea.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CArea)

CArea::CArea(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControl(parent, id, rect, title, visible, enabled) {}

void CArea::SetAreaColor(COLORREF color) {
    m_color = color & 0xFFFFFF;
    m_fade = false;
    UpdateControl(TRUE);
}

void CArea::SetTransparent(int from, int to, COLORREF color, bool vertical) {
    m_color = color & 0xFFFFFF;
    m_fromAlpha = BYTE(std::clamp(from, 0, 255));
    m_toAlpha = BYTE(std::clamp(to, 0, 255));
    m_vertical = vertical;
    m_fade = true;
    UpdateControl(TRUE);
}

void CArea::SetFrame(int frame, Color color, int inset) {
    m_frame = frame != 0;
    m_frameColor = color;
    m_inset = std::max(0, inset);
    UpdateControl(TRUE);
}

void CArea::DrawControl(Canvas& canvas, CRect) {
    CRect fill = m_rect;
    if (m_frame) {
        canvas.DrawRect(m_rect, m_frameColor);
        fill.DeflateRect(1 + m_inset, 1 + m_inset);
    }
    if (fill.IsRectEmpty()) return;
    if (m_fade)
        canvas.FillGradient(fill, Color::FromCOLORREF(m_color, m_fromAlpha), Color::FromCOLORREF(m_color, m_toAlpha),
                            m_vertical);
    else
        canvas.FillRect(fill, Color::FromCOLORREF(m_color, 254));
}

}  // namespace Orvix
