#pragma once
// A level bar: one segment per level of the range, side by side; the levels up
// to the current one are lit. A click on a segment picks its level (code 2,
// wParam = the level). Segments come from a 4-frame strip (off, hover, on,
// disabled) when one is set.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class MLevelCtrl : public MControlFont {
public:
    // Keyboard: the levels are its items, and an arrow picks the level it moves to.
    int GetKeyItemCount() override { return Count(); }
    CRect GetKeyItemRect(int index) override { return GetSegmentRect(index); }
    int GetInitialKeyItem() override { return m_level - m_min; }
    BOOL ArrowChooses() const override { return TRUE; }
    static constexpr int kGap = 3;

    MLevelCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
               BOOL enabled = TRUE);

    // Clamped to the range.
    void SetLevelValue(int level);
    int GetLevelValue() const { return m_level; }
    // An empty range (max < min) is refused.
    BOOL SetRangeValue(int minimum, int maximum);
    // The segment under a point, -1 when none.
    int HitSegment(CPoint pt) const;
    CRect GetSegmentRect(int index) const;

    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

private:
    int Count() const { return m_max - m_min + 1; }
    void Render(Canvas& canvas, const CRect& slice) const;

    int m_min = 0;
    int m_max = 5;
    int m_level = 0;
    int m_hover = -1;
    int m_pressed = -1;
};

}  // namespace Orvix
