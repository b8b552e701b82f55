#include "orvix/widgets/LightSlider.h"

#include <algorithm>
#include <string>

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(LightSlider)

namespace {
constexpr int kTrackHeight = 6;
constexpr int kMaxDots = 20;  // more steps than this would only smear the track
}  // namespace

LightSlider::LightSlider(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                         BOOL enabled)
    : StepSlider(parent, id, rect, title, visible, enabled, 0, 10, 5) {
    m_textColor = Color(0xFF050505);
    m_hAlign = 1;
    m_frameCount = 1;
}

BOOL LightSlider::SetImage(const wchar_t* file, int count) {
    return MControlFont::SetImage(file, count);
}

BOOL LightSlider::SetThumbImage(const wchar_t* file) {
    const ImgResInfo* info = m_manager && file ? m_manager->AddImgResInfo(file, 4) : nullptr;
    if (!info) return FALSE;
    m_thumb = info;
    UpdateControl(TRUE);
    return TRUE;
}

void LightSlider::SetThumbSize(CSize size) {
    m_thumbSize = size;
    UpdateControl(TRUE);
}

CSize LightSlider::ThumbSize() const {
    if ((m_thumbSize.cx == 0 || m_thumbSize.cy == 0) && m_thumb)
        return {m_thumb->frameWidth, m_thumb->height};
    return m_thumbSize;
}

int LightSlider::HalfFrame() const {
    return (m_thumb ? m_thumb->frameWidth : ThumbSize().cx) / 2;
}

void LightSlider::Render(Canvas& canvas, const CRect& slice) const {
    const int dx = slice.left - m_rect.left, dy = slice.top - m_rect.top;
    const int left = TrackLeft() + dx, right = left + TrackWidth(), mid = slice.top + slice.Height() / 2;
    const int thumbX = ThumbCentre() + dx;
    const bool disabled = m_state == SLIDER_DISABLED;
    const int trackH = m_image ? std::min(m_frameHeight, slice.Height()) : kTrackHeight;
    // The track runs half its height past the end positions, so the first and
    // last notches lie wholly on it rather than on its rounded ends.
    const CRect track(left - trackH / 2, mid - trackH / 2, right + trackH / 2, mid - trackH / 2 + trackH);
    if (m_image)
        MRender::DrawImageFrame(canvas, *m_image, track, 0, 0, m_frameWidth, m_frameHeight,
                                std::max(0, std::min(m_frameWidth, trackH) / 2 - 1));
    else
        canvas.FillRoundRect(track, trackH / 2, Color(0xFF253445));
    const Color accent = disabled ? Color(0xFF5C6875) : Manager::GetSelectColor();
    canvas.FillRoundRect(CRect(track.left, track.top, std::max(track.left + trackH, thumbX), track.bottom),
                         trackH / 2, accent);
    const int span = Span();
    for (int i = 0; span > 0 && span <= kMaxDots && i <= span; ++i) {
        const int x = left + int(int64_t(right - left) * i / span);
        const Color dot = x <= thumbX ? Color(0xFF0B1A1E) : Color(0xFF5C6875);
        canvas.FillEllipse(CRect(x - 2, mid - 2, x + 2, mid + 2), dot);
    }
    CRect thumb = GetThumbRect();
    thumb.OffsetRect(dx, dy);
    if (m_thumb) {
        const int frame = std::min(m_state, m_thumb->count - 1);
        const CPoint c = thumb.CenterPoint();
        const CRect at(c.x - m_thumb->frameWidth / 2, c.y - m_thumb->height / 2,
                       c.x - m_thumb->frameWidth / 2 + m_thumb->frameWidth,
                       c.y - m_thumb->height / 2 + m_thumb->height);
        canvas.DrawImage(
            *m_thumb->image, at,
            CRect(frame * m_thumb->frameWidth, 0, (frame + 1) * m_thumb->frameWidth, m_thumb->height));
    } else {
        canvas.FillEllipse(thumb, disabled ? Color(0xFF5C6875) : Color(0xFFE8F0F5));
    }
    DrawTitleText(canvas, std::to_wstring(GetProgress()), thumb, m_textColor);
}

void LightSlider::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0,
               [this](Canvas& cache, int, const CRect& slice) { Render(cache, slice); });
}

}  // namespace Orvix
