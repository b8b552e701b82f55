#include "orvix/controls/MSlider.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MSlider)

namespace {
constexpr CSize kDefaultThumb(16, 16);
constexpr int kTrackHeight = 6;
}  // namespace

MSlider::MSlider(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_hAlign = 2;
    m_frameCount = 1;
    if (!enabled) m_state = 3;
}

BOOL MSlider::SetImage(const wchar_t* file, int count) { return MControlFont::SetImage(file, count); }

BOOL MSlider::SetThumbImage(const wchar_t* file, int count) {
    const ImgResInfo* info = m_manager && file ? m_manager->AddImgResInfo(file, count) : nullptr;
    if (!info) return FALSE;
    m_thumb = info;
    UpdateControl(TRUE);
    return TRUE;
}

int MSlider::SetProgress(int value) {
    const int pos = std::clamp(value, m_min, m_max) - m_min;
    if (pos != m_pos) {
        m_pos = pos;
        UpdateControl(TRUE);
    }
    return m_pos;
}

void MSlider::SetMinProgress(int minimum) {
    const int value = GetProgress();
    m_min = minimum;
    m_max = std::max(m_max, m_min);
    m_pos = std::clamp(value, m_min, m_max) - m_min;
    UpdateControl(TRUE);
}

void MSlider::SetMaxProgress(int maximum) {
    const int value = GetProgress();
    m_max = std::max(maximum, m_min);
    m_pos = std::clamp(value, m_min, m_max) - m_min;
    UpdateControl(TRUE);
}

void MSlider::SetShowText(BOOL show) {
    m_showText = show;
    UpdateControl(TRUE);
}

void MSlider::SetScale(int marks) {
    m_scale = std::max(0, marks);
    UpdateControl(TRUE);
}

CSize MSlider::ThumbSize() const { return m_thumb ? CSize(m_thumb->frameWidth, m_thumb->height) : kDefaultThumb; }
int MSlider::TrackLeft() const { return m_rect.left + ThumbSize().cx / 2; }
int MSlider::TrackRight() const {
    return std::max(TrackLeft(), m_rect.right - ThumbSize().cx / 2 - (m_showText ? kTextWidth : 0));
}

int MSlider::ThumbCentre() const {
    const int span = m_max - m_min, width = TrackRight() - TrackLeft();
    return TrackLeft() + (span > 0 ? int(int64_t(width) * m_pos / span) : 0);
}

CRect MSlider::GetThumbRect() const {
    const CSize t = ThumbSize();
    const int x = ThumbCentre() - t.cx / 2, y = m_rect.top + (m_rect.Height() - t.cy) / 2;
    return {x, y, x + t.cx, y + t.cy};
}

int MSlider::MoveThumbPos(CPoint pt) {
    const int span = m_max - m_min, width = TrackRight() - TrackLeft();
    const int pos = width > 0 ? std::clamp(int((int64_t(pt.x - TrackLeft()) * span + width / 2) / width), 0, span) : 0;
    if (pos == m_pos) return m_pos;
    m_pos = pos;
    UpdateControl(TRUE);
    SendMessageW(Notify::Moved, WPARAM(m_min + m_pos), 0);
    return m_pos;
}

void MSlider::SetSliderState(int state) {
    if (state == m_state) return;
    m_state = state;
    UpdateControl(TRUE);
}

void MSlider::SetControlEnabled(BOOL enabled) {
    MControlFont::SetControlEnabled(enabled);
    m_held = FALSE;
    m_state = enabled ? 0 : 3;
}

BOOL MSlider::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (m_held) {
        MoveThumbPos(pt);
        return TRUE;
    }
    const bool onThumb = GetThumbRect().PtInRect(pt);
    SetSliderState(onThumb ? 1 : 0);
    return m_rect.PtInRect(pt);
}

BOOL MSlider::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const bool onThumb = GetThumbRect().PtInRect(pt);
    MoveThumbPos(pt);  // a press beside the thumb jumps it there
    if (onThumb || GetThumbRect().PtInRect(pt)) {
        m_held = TRUE;
        SetSliderState(2);
    }
    return TRUE;
}

BOOL MSlider::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_held = FALSE;
    SetSliderState(GetThumbRect().PtInRect(pt) ? 1 : 0);
    SendMessageW(Notify::Clicked, WPARAM(GetProgress()), 0);
    return TRUE;
}

BOOL MSlider::OnControlScroll(int, UINT, CPoint) { return TRUE; }  // the wheel never moves it by accident

void MSlider::Render(Canvas& canvas, const CRect& slice) const {
    const int dx = slice.left - m_rect.left;
    const int left = TrackLeft() + dx, right = TrackRight() + dx, mid = slice.top + slice.Height() / 2;
    const int thumbX = ThumbCentre() + dx;
    const bool disabled = m_state == 3;
    const int trackH = m_image ? std::min(m_frameHeight, slice.Height()) : kTrackHeight;
    const CRect track(left - 2, mid - trackH / 2, right + 2, mid - trackH / 2 + trackH);
    if (m_image)
        MRender::DrawImageFrame(canvas, *m_image, track, 0, 0, m_frameWidth, m_frameHeight,
                                std::max(0, std::min(m_frameWidth, trackH) / 2 - 1));
    else
        canvas.FillRoundRect(track, trackH / 2, Color(0xFF253445));
    const Color accent = disabled ? Color::FromCOLORREF(m_manager ? m_manager->GetDefaultEnabledColor() : 0x808080)
                                  : Manager::GetSelectColor();
    canvas.FillRoundRect(CRect(track.left, track.top, std::max(track.left + trackH, thumbX), track.bottom),
                         trackH / 2, accent);
    for (int i = 0; m_scale > 1 && i < m_scale; ++i) {
        const int x = left + (right - left) * i / (m_scale - 1);
        canvas.FillRect(CRect(x, track.bottom + 4, x + 1, track.bottom + 8), Color(0x80FFFFFF));
    }
    CRect thumb = GetThumbRect();
    thumb.OffsetRect(dx, slice.top - m_rect.top);
    if (m_thumb) {
        const int frame = std::min(m_state, m_thumb->count - 1);
        canvas.DrawImage(*m_thumb->image, thumb,
                         CRect(frame * m_thumb->frameWidth, 0, (frame + 1) * m_thumb->frameWidth, m_thumb->height));
    } else {
        canvas.FillEllipse(thumb, m_state ? Color(0xFFFFFFFF) : Color(0xFFE8F0F5));
    }
    if (m_showText)
        DrawTitleText(canvas, std::to_wstring(GetProgress()), CRect(slice.right - kTextWidth, slice.top, slice.right, slice.bottom),
                      disabled ? accent : m_textColor);
}

void MSlider::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) { Render(cache, slice); });
}

void MSlider::DescribeAccessible(AccessibleInfo& info) {
    MControlFont::DescribeAccessible(info);
    info.role = AccessibleRole::Slider;
    info.action.clear();
    info.horizontal = true;
    info.hasValue = true;
    info.value = GetProgress();
    info.minimum = GetMinProgress();
    info.maximum = GetMaxProgress();
    info.step = 1;
    info.valueText = std::to_wstring(GetProgress());
}

}  // namespace Orvix
