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

void StepSlider::InitControl(PaintManager*) {
    // A held thumb follows the pointer's moves alone: the window holds the
    // capture from press to release, so the moves keep coming when the pointer
    // leaves the control or the window. (Placing it by the desktop's pointer
    // position on animation ticks as well pulled it back: during the capture
    // that position stays where the press was.)
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

// The thumb's centre and the position under an x are both rounded to the
// nearest: truncating both would put the position under the thumb's own
// centre one step below it, so a press on the thumb would move it.
int StepSlider::ThumbCentre() const {
    const int s = Span(), w = TrackWidth();
    const int offset = s > 0 ? int((int64_t(w) * m_pos + s / 2) / s) : 0;
    return TrackLeft() + std::clamp(offset, 0, std::max(0, w));
}

int StepSlider::PositionAt(int x) const {
    const int s = std::max(0, Span()), w = TrackWidth();
    if (w <= 0) return 0;
    const int64_t along = int64_t(s) * (x - TrackLeft());
    const int64_t pos = along >= 0 ? (along + w / 2) / w : -((-along + w / 2) / w);
    return int(std::clamp<int64_t>(pos, 0, s));
}

CRect StepSlider::GetThumbRect() const {
    const CSize t = ThumbSize();
    const int x = ThumbCentre() - t.cx / 2, y = ThumbTop();
    return {x, y, x + t.cx, y + t.cy};
}

int StepSlider::MoveThumbPos(CPoint pt) {
    const int pos = PositionAt(pt.x);
    if (pos == m_pos) return m_pos;
    m_pos = pos;
    UpdateControl(TRUE);
    SendMessageW(Notify::Moved, WPARAM(m_min + m_pos), 0);
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

void StepSlider::Hold(CPoint pt) {
    m_held = TRUE;
    // Where on the thumb it was taken: the thumb keeps that spot under the pointer.
    m_grab = pt.x - ThumbCentre();
    SetSliderState(SLIDER_HELD);
}

BOOL StepSlider::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (m_held) {
        MoveThumbPos(CPoint(pt.x - m_grab, pt.y));
        return TRUE;
    }
    if (!m_mouseDownInside) SetSliderState(GetThumbRect().PtInRect(pt) ? SLIDER_HOVER : SLIDER_NORMAL);
    return m_rect.PtInRect(pt);
}

BOOL StepSlider::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_pressed = true;
    if (GetThumbRect().PtInRect(pt)) {
        Hold(pt);  // a press on the thumb takes it where it is
        return TRUE;
    }
    MoveThumbPos(pt);  // beside the thumb: a jump
    // A thumb that jumped under the pointer is held as if pressed on.
    if (GetThumbRect().PtInRect(pt)) Hold(pt);
    return TRUE;
}

BOOL StepSlider::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_held = FALSE;
    SetSliderState(GetThumbRect().PtInRect(pt) ? SLIDER_HOVER : SLIDER_NORMAL);
    // Only a release that ends a press of ours, even when nothing moved.
    if (m_pressed) {
        m_pressed = false;
        SendMessageW(Notify::Clicked, 0, 0);
    }
    return TRUE;
}

BOOL StepSlider::OnControlScroll(int, UINT, CPoint) {
    return TRUE;
}  // the wheel never moves it

BOOL StepSlider::OnControlTimer() { return FALSE; }

BOOL StepSlider::OnFocusKey(UINT vk, UINT modifiers) {
    if (!m_enabled || !m_visible || modifiers != 0) return FALSE;
    int step = 0;
    switch (vk) {
        case VK_LEFT:
        case VK_DOWN:
            step = -1;
            break;
        case VK_RIGHT:
        case VK_UP:
            step = 1;
            break;
        case VK_SPACE:
        case VK_RETURN:
            SendMessageW(Notify::Clicked, 0, 0);  // what a click on the thumb ends with
            return TRUE;
        default:
            return FALSE;
    }
    // One step, told as a drag of one step and its release are told.
    const int pos = std::clamp(m_pos + step, 0, std::max(0, Span()));
    if (pos != m_pos) {
        m_pos = pos;
        UpdateControl(TRUE);
        SendMessageW(Notify::Moved, WPARAM(m_min + m_pos), 0);
    }
    SendMessageW(Notify::Clicked, 0, 0);
    return TRUE;
}

void StepSlider::DescribeAccessible(AccessibleInfo& info) {
    MControlFont::DescribeAccessible(info);
    info.role = AccessibleRole::Slider;
    info.action.clear();
    info.horizontal = true;
    info.hasValue = true;
    info.value = double(GetProgress()) * m_scale;
    info.minimum = double(GetMinProgress()) * m_scale;
    info.maximum = double(GetMaxProgress()) * m_scale;
    info.step = m_scale > 0 ? m_scale : 1;
    info.valueText = std::to_wstring(GetProgress() * m_scale);
}

}  // namespace Orvix
