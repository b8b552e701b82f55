#include "orvix/controls/CGifPicture.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/platform/Image.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CGifPicture)

CGifPicture::CGifPicture(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_frameCount = 1;
    m_tabStop = FALSE;  // nothing to do from the keyboard
}

void CGifPicture::InitControl(PaintManager* manager) {
    MControlFont::InitControl(manager);
    AddMTimer();
}

BOOL CGifPicture::SetImage(const wchar_t* file, int count) {
    m_current = 0;
    m_ticks = 0;
    return MControlFont::SetImage(file, count);
}

int CGifPicture::GetFrameCount() const {
    if (!m_image) return 0;
    return m_image->GetFrameCount() > 1 ? m_image->GetFrameCount() : std::max(1, m_frameCount);
}

BOOL CGifPicture::SetRunState(int run, int frame) {
    const int frames = GetFrameCount();
    if (frames <= 1) return FALSE;
    m_run = run ? TRUE : FALSE;
    m_ticks = 0;
    SetRunTimer(m_run);
    if (frame >= 0) ShowFrame(frame % frames);
    return TRUE;
}

void CGifPicture::ShowFrame(int frame) {
    if (frame == m_current) return;
    m_current = frame;
    UpdateControl(FALSE);  // every frame is in the cache
}

BOOL CGifPicture::OnControlTimer() {
    const int frames = GetFrameCount();
    if (!m_run || frames <= 1 || (m_mouseActive && !m_hover)) return FALSE;
    if (++m_ticks < kTicksPerFrame) return FALSE;
    m_ticks = 0;
    ShowFrame((m_current + 1) % frames);
    return TRUE;
}

BOOL CGifPicture::OnControlMouseMove(UINT, CPoint pt) {
    const bool inside = m_rect.PtInRect(pt);
    if (m_mouseActive && inside != m_hover && !inside) ShowFrame(0);  // rests on its first frame
    m_hover = inside;
    return FALSE;
}

void CGifPicture::DrawControl(Canvas& canvas, CRect rcPaint) {
    const int frames = GetFrameCount();
    if (!frames || m_rect.IsRectEmpty()) return;
    const bool gif = m_image->GetFrameCount() > 1;
    const int fw = gif ? m_image->GetWidth() : m_frameWidth, fh = m_image->GetHeight();
    DrawCached(canvas, rcPaint, frames, std::min(m_current, frames - 1),
               [&](Canvas& cache, int i, const CRect& slice) {
                   if (fw <= 0 || fh <= 0) return;
                   // Natural size when it fits, else scaled down keeping its shape.
                   const double scale = std::min({1.0, double(slice.Width()) / fw, double(slice.Height()) / fh});
                   const int w = int(fw * scale), h = int(fh * scale);
                   const int x = slice.left + (slice.Width() - w) / 2, y = slice.top + (slice.Height() - h) / 2;
                   const CRect src = gif ? CRect(0, 0, fw, fh) : CRect(i * fw, 0, (i + 1) * fw, fh);
                   cache.DrawImage(*m_image, CRect(x, y, x + w, y + h), src, gif ? i : 0);
               });
}

void CGifPicture::DescribeAccessible(AccessibleInfo& info) {
    info.role = AccessibleRole::Animation;
    info.name = GetAccessibleName().empty() ? GetTooltip() : GetAccessibleName();
    info.expose = !info.name.empty() || !IsDecoration();
}

}  // namespace Orvix
