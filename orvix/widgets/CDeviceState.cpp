#include "orvix/widgets/CDeviceState.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CDeviceState)

CDeviceState::CDeviceState(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                           BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_frameCount = 1;
    m_hAlign = 1;
    m_vAlign = 4;
    m_response = FALSE;
}

BOOL CDeviceState::SetImage(const wchar_t* file, int count) {
    return MControlFont::SetImage(file, count);
}

void CDeviceState::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        CRect text = slice;
        if (m_image) {
            const int y = slice.top + (slice.Height() - m_frameHeight) / 2;
            cache.DrawImage(*m_image, CRect(slice.left, y, slice.left + m_frameWidth, y + m_frameHeight),
                            GetFrameRect(0));
            text.left += m_frameWidth + 4;
        }
        DrawTitleText(cache, m_title, text, m_textColor);
    });
}

}  // namespace Orvix
