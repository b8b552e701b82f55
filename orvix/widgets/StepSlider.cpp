#include "orvix/widgets/StepSlider.h"

#include <algorithm>

#include "orvix/core/MPanel.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

StepSlider::StepSlider(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled,
                       int minimum, int maximum, int position)
    : MControlFont(parent, id, rect, title, visible, enabled),
      m_min(minimum),
      m_max(maximum),
      m_pos(position) {
    if (!enabled) m_state = SLIDER_DISABLED;
}

void StepSlider::InitControl(PaintManager* manager) {
    // A held thumb keeps following the pointer on the ticker when it leaves the window.
    if (!manager) return;
    AddMTimer();
    SetRunTimer(TRUE);
}

int StepSlider::SetProgress(int value) {
    const int pos = std::min(m_max, value - m_min);
    if (pos >= 0 && pos != m_pos) {
        m_pos = pos;
        UpdateControl(TRUE);
    }
    return m_pos;
}

void StepSlider::SetMinProgress(int minimum) {
    m_min = minimum;
    UpdateControl(TRUE);
}

void StepSlider::SetMaxProgress(int maximum) {
    m_max = maximum;
    UpdateControl(TRUE);
}

int StepSlider::ThumbCentre() const {
    const int s = Span(), w = TrackWidth();
    const int offset = s > 0 ? int(int64_t(w) * m_pos / s) : 0;
    return TrackLeft() + std::clamp(offset, 0, std::max(0, w));
}

CRect StepSlider::GetThumbRect() const {
    const CSize t = ThumbSize();
    const int x = ThumbCentre() - t.cx / 2, y = ThumbTop();
    return {x, y, x + t.cx, y + t.cy};
}

int StepSlider::MoveThumbPos(CPoint pt) {
    const int s = std::max(0, Span()), w = TrackWidth();
    const int pos = w > 0 ? std::clamp(int(int64_t(s) * (pt.x - TrackLeft()) / w), 0, s) : 0;
    if (pos == m_pos) return m_pos;
    m_pos = pos;
    UpdateControl(TRUE);
    SendMessageW(8, WPARAM(m_min + m_pos), 0);
    return m_pos;
}

void StepSlider::SetSliderState(int state) {
    if (state == m_state) return;
    m_state = state;
    UpdateControl(TRUE);
}

void StepSlider::SetControlEnabled(BOOL enabled) {
    MControlFont::SetControlEnabled(enabled);
    m_held = FALSE;
    m_pressed = false;
    m_state = enabled ? SLIDER_NORMAL : SLIDER_DISABLED;
}

void StepSlider::Hold() {
    m_held = TRUE;
    m_lastMove = Platform::GetTickCount();
    SetSliderState(SLIDER_HELD);
}

BOOL StepSlider::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (m_held) {
        MoveThumbPos(pt);
        return TRUE;
    }
    if (!m_mouseDownInside) SetSliderState(GetThumbRect().PtInRect(pt) ? SLIDER_HOVER : SLIDER_NORMAL);
    return m_rect.PtInRect(pt);
}

BOOL StepSlider::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_pressed = true;
    const bool onThumb = GetThumbRect().PtInRect(pt);
    MoveThumbPos(pt);  // beside the thumb: a jump
    // A thumb that jumped under the pointer is held as if pressed on.
    if (onThumb || GetThumbRect().PtInRect(pt)) Hold();
    return TRUE;
}

BOOL StepSlider::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_held = FALSE;
    SetSliderState(GetThumbRect().PtInRect(pt) ? SLIDER_HOVER : SLIDER_NORMAL);
    // Only a release that ends a press of ours, even when nothing moved.
    if (m_pressed) {
        m_pressed = false;
        SendMessageW(2, 0, 0);
    }
    return TRUE;
}

BOOL StepSlider::OnControlScroll(int, UINT, CPoint) {
    return TRUE;
}  // the wheel never moves it

BOOL StepSlider::OnControlTimer() {
    if (!m_held || !m_visible || !m_manager) return FALSE;
    const uint64_t now = Platform::GetTickCount();
    if (now - m_lastMove < kTickMs) return FALSE;
    m_lastMove = now;
    POINT cursor = Platform::GetCursorPos();
    Platform::ScreenToClient(m_manager->GetPaintWnd(), cursor);
    const CPoint offset = MPanel::GetContentOffset(this);
    MoveThumbPos(CPoint(cursor.x + offset.x, cursor.y + offset.y));
    return TRUE;
}

}  // namespace Orvix
