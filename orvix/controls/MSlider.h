#pragma once
// A horizontal slider: a track (the background image, nine-sliced) filled in
// the accent colour up to a thumb (a 4-frame strip by state). Pressing the
// thumb holds it, pressing elsewhere jumps it there; every new position the
// user reaches sends code 8 with the value, the release sends code 2.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class MSlider : public MControlFont {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    static constexpr int kTextWidth = 44;  // the value label at the right

    MSlider(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
            BOOL enabled = TRUE);

    // The track image: one frame unless told otherwise.
    BOOL SetImage(const wchar_t* file, int count = 1) override;
    BOOL SetThumbImage(const wchar_t* file, int count = 4);
    // Sets the value (clamped to minimum..maximum) without notifying; returns
    // the position (value - minimum).
    int SetProgress(int value);
    int GetProgress() const { return m_min + m_pos; }
    void SetMinProgress(int minimum);
    int GetMinProgress() const { return m_min; }
    void SetMaxProgress(int maximum);
    int GetMaxProgress() const { return m_max; }
    void SetShowText(BOOL show);
    // Tick marks under the track (0 or 1: none).
    void SetScale(int marks);
    // Moves the thumb under x as the user would: code 8 when the position
    // changes. Returns the position.
    int MoveThumbPos(CPoint pt);
    CRect GetThumbRect() const;
    int GetSliderState() const { return m_state; }

    void SetControlEnabled(BOOL enabled) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlScroll(int bar, UINT direction, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

private:
    CSize ThumbSize() const;
    // Track ends in window coordinates.
    int TrackLeft() const;
    int TrackRight() const;
    int ThumbCentre() const;
    void SetSliderState(int state);
    void Render(Canvas& canvas, const CRect& slice) const;

    const ImgResInfo* m_thumb = nullptr;  // owned by the window's image cache
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    int m_state = 0;  // 0 normal, 1 over the thumb, 2 held, 3 disabled
    BOOL m_held = FALSE;
    BOOL m_showText = FALSE;
    int m_scale = 0;
};

}  // namespace Orvix
