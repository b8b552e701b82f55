#include "orvix/widgets/SkinStrip.h"

#include <algorithm>

#include "orvix/core/MRender.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

BOOL SkinStrip::Load(PaintManager* manager, const wchar_t* file, int count) {
    if (!manager || !file || count < 1) return FALSE;
    const ImgResInfo* info = manager->AddImgResInfo(file, count);
    if (!info || !info->image) return FALSE;
    m_info = info;
    return TRUE;
}

CSize SkinStrip::GetFrameSize() const {
    return m_info ? CSize(m_info->frameWidth, m_info->height) : CSize();
}

void SkinStrip::Draw(Canvas& canvas, const CRect& dst, int frame, int inset) const {
    if (!m_info || m_info->frameWidth <= 0 || dst.IsRectEmpty()) return;
    const int f = std::clamp(frame, 0, m_info->count - 1), w = m_info->frameWidth, h = m_info->height;
    if (inset > 0)
        MRender::DrawImageFrame(canvas, *m_info->image, dst, f * w, 0, w, h, inset);
    else
        canvas.DrawImage(*m_info->image, dst, CRect(f * w, 0, (f + 1) * w, h));
}

CRect SkinStrip::PlaceAt(int x, const CRect& row) const {
    const CSize size = GetFrameSize();
    const int y = row.top + (row.Height() - size.cy) / 2;
    return CRect(x, y, x + size.cx, y + size.cy);
}

void SkinStrip::DrawAt(Canvas& canvas, int x, const CRect& row, int frame) const {
    Draw(canvas, PlaceAt(x, row), frame);
}

}  // namespace Orvix
