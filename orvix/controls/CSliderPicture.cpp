#include "orvix/controls/CSliderPicture.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CSliderPicture)

CSliderPicture::CSliderPicture(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                               BOOL enabled)
    : MPicture(parent, id, rect, title, visible, enabled) {}

void CSliderPicture::InitControl(PaintManager* manager) {
    MPicture::InitControl(manager);
    AddMTimer();
}

void CSliderPicture::SetRun(BOOL run, SLIDER_MODE mode, int step) {
    m_run = run ? TRUE : FALSE;
    m_mode = mode;
    m_step = std::max(1, step);
    SetRunTimer(m_run);
    if (!m_run) m_offset = 0;
    UpdateControl(FALSE);
}

BOOL CSliderPicture::OnControlTimer() {
    if (!m_run) return FALSE;
    const bool horizontal = m_mode == SLIDER_LEFT || m_mode == SLIDER_RIGHT;
    const int span = horizontal ? m_rect.Width() : m_rect.Height();
    if (span <= 0) return FALSE;
    m_offset = (m_offset + m_step) % span;
    UpdateControl(FALSE);
    return TRUE;
}

void CSliderPicture::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (!m_image || m_rect.IsRectEmpty()) return;
    const int w = m_rect.Width(), h = m_rect.Height();
    if (!m_cacheValid || !m_frame || !m_frame->IsLayerOf(canvas, m_rect)) {
        m_frame = canvas.MakeLayer(m_rect);
        Render(*m_frame, CRect(0, 0, w, h));
        m_cacheValid = TRUE;
    }
    // The picture leaves by one edge and comes back by the opposite one.
    int dx = 0, dy = 0;
    switch (m_mode) {
        case SLIDER_LEFT: dx = -m_offset; break;
        case SLIDER_RIGHT: dx = m_offset; break;
        case SLIDER_UP: dy = -m_offset; break;
        case SLIDER_DOWN: dy = m_offset; break;
    }
    canvas.PushClip(m_rect & rcPaint);
    for (int copy = -1; copy <= 1; ++copy) {
        CRect dst = m_rect;
        dst.OffsetRect(dx + copy * (dx ? w : 0), dy + copy * (dy ? h : 0));
        if (copy != 0 && dx == 0 && dy == 0) continue;
        canvas.DrawCanvas(*m_frame, dst, CRect(0, 0, w, h));
    }
    canvas.PopClip();
}

}  // namespace Orvix
