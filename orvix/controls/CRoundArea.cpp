#include "orvix/controls/CRoundArea.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CRoundArea)

CRoundArea::CRoundArea(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControl(parent, id, rect, title, visible, enabled) {}

void CRoundArea::SetColor(Color color) {
    m_color = color;
    UpdateControl(TRUE);
}

void CRoundArea::SetRadius(int radius) {
    m_radius = radius;
    UpdateControl(TRUE);
}

void CRoundArea::DrawControl(Canvas& canvas, CRect) {
    const int radius = m_radius < 0 ? std::min(m_rect.Width(), m_rect.Height()) / 2 : m_radius;
    canvas.FillRoundRect(m_rect, radius, m_color);
}

}  // namespace Orvix
