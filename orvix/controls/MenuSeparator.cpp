#include "orvix/controls/MenuSeparator.h"

namespace Orvix {

void MenuSeparator::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (!m_rect.Intersects(rcPaint)) return;
    const int y = m_rect.top + m_rect.Height() / 2;
    canvas.FillRect(CRect(m_rect.left, y, m_rect.right, y + 1), m_color);
}

}  // namespace Orvix
