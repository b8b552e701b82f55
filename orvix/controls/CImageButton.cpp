#include "orvix/controls/CImageButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CImageButton)

CImageButton::CImageButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                           BOOL enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

void CImageButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    DrawLookFrameAt(canvas, slice.left, slice.top, look);
    if (m_icon) {
        const CSize icon = IconSize();
        DrawIcon(canvas, slice.left + (slice.Width() - icon.cx) / 2 + 2, slice.top + (slice.Height() - icon.cy) / 2 - 4,
                 look);
    }
}

void CImageButton::OnHoverChanged(BOOL hover) {
    if (m_bubbleMode != AIRBLADDER_MODE_RIGHT && m_bubbleMode != AIRBLADDER_MODE_LEFT) return;
    if (!hover) {
        HideTitleBubble(m_bubbleMode);
        return;
    }
    const int x = m_bubbleMode == AIRBLADDER_MODE_RIGHT ? m_rect.right : m_rect.left;
    ShowTitleBubble(CPoint(x, m_rect.CenterPoint().y), AIRBLADDER_TYPE_HELP, m_bubbleMode);
}

}  // namespace Orvix
