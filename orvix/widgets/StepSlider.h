#pragma once
// The input half of the stepped sliders (DPISlider, LightSlider): a 0-based
// position over minimum..maximum, a thumb that is held by a press on it or
// jumps to a press beside it, drags with the pointer (also outside the control
// and the window, which hold the capture meanwhile), code 8
// with minimum + position for every new position the user reaches and code 2
// when the button is released. Subclasses place the track and the thumb and
// draw them.
#include <cstdint>

#include "orvix/core/MControlFont.h"

namespace Orvix {

class StepSlider : public MControlFont {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    // Thumb looks: 0 normal, 1 pointer over the thumb, 2 thumb held, 3 disabled.
    enum { SLIDER_NORMAL = 0, SLIDER_HOVER = 1, SLIDER_HELD = 2, SLIDER_DISABLED = 3 };

    StepSlider(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled,
               int minimum, int maximum, int position);

    // position = min(maximum, value - minimum); taken (and drawn) when it lies in
    // 0..maximum and differs. Never notifies. Returns the current position.
    int SetProgress(int value);
    int GetProgress() const { return m_min + m_pos; }
    int GetPosition() const { return m_pos; }
    void SetMinProgress(int minimum);
    int GetMinProgress() const { return m_min; }
    void SetMaxProgress(int maximum);
    int GetMaxProgress() const { return m_max; }
    // Stored for the owner; the look does not use it.
    void SetScale(int scale) { m_scale = scale; }
    int GetScale() const { return m_scale; }
    // Moves the thumb under the x of a window point as the user would: code 8
    // when the position changes. Returns the position.
    int MoveThumbPos(CPoint pt);
    // The thumb in window coordinates.
    CRect GetThumbRect() const;
    int GetSliderState() const { return m_state; }
    BOOL IsHeld() const { return m_held; }

    void InitControl(PaintManager* manager) override;
    void SetControlEnabled(BOOL enabled) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlScroll(int bar, UINT direction, CPoint pt) override;
    BOOL OnControlTimer() override;
    // Arrows move one step (code 8, then code 2); Space and Enter end as a click does (code 2).
    BOOL OnFocusKey(UINT vk, UINT modifiers) override;

  protected:
    // Track ends and thumb in window coordinates.
    virtual int TrackLeft() const = 0;
    virtual int TrackWidth() const = 0;
    virtual CSize ThumbSize() const = 0;
    virtual int ThumbTop() const = 0;
    int ThumbCentre() const;
    // The position whose thumb centre lies nearest to a window x.
    int PositionAt(int x) const;
    int Span() const { return m_max - m_min; }
    void SetSliderState(int state);

    int m_min;
    int m_max;
    int m_pos;
    int m_scale = 1;
    int m_state = SLIDER_NORMAL;

  private:
    void Hold(CPoint pt);

    BOOL m_held = FALSE;
    bool m_pressed = false;
    int m_grab = 0;  // the pointer's x less the thumb's centre while held
};

}  // namespace Orvix
