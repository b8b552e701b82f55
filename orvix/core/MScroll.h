#pragma once
// The scroll bars of containers: a range, a position within it and a thumb
// whose length shows how much of the range is in view. CScrollVertical and
// CScrollHorizontal only choose the axis; everything else is shared here.
#include "orvix/core/MControlFont.h"

namespace Orvix {

struct ImgResInfo;

class MScroll : public MControlFont {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MScroll(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled,
            bool vertical);

    void SetScrollMaxRange(int range);
    void SetScrollCurrentPos(int pos);
    // Moves to the end of the range (the last rows in view).
    void SetScrollFinalPos() { SetScrollCurrentPos(m_range); }
    // Thumb size in range units (0 = automatic) and the step of one row.
    void SetScrollSize(int size, int step = 0);
    void SetScrollInfo(int range, int pos, int size, int step);
    // Moves the position by `rows` steps within 0..range; TRUE when it moved.
    BOOL ScrollRow(int rows);
    int GetScrollCurrentPos() const { return m_pos; }
    int GetScrollMaxRange() const { return m_range; }
    int GetScrollSize() const { return m_size; }
    int GetScrollStep() const { return m_step; }
    // TRUE while a move by the user is being reported (code 8).
    BOOL IsChangeing() const { return m_changing; }
    BOOL IsThumbShown() const { return m_thumbShown; }
    CRect GetThumbRect() const { return m_thumb; }
    void SetArrowSize(int size);
    bool IsVertical() const { return m_vertical; }

    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;

  private:
    int Along(CPoint pt) const { return m_vertical ? pt.y : pt.x; }
    int Lo() const { return m_vertical ? m_rect.top : m_rect.left; }
    int Hi() const { return m_vertical ? m_rect.bottom : m_rect.right; }
    int Track() const { return Hi() - Lo() - 2 * m_arrow; }
    void AutoSize();
    void UpdateThumb();
    // Puts the thumb's near edge at `lo` (kept on the track), takes the
    // position from it, repaints and tells the parent (code 8).
    void MoveThumbTo(int lo);
    void DrawPart(Canvas& canvas, const CRect& dst, int frame) const;

    bool m_vertical;
    int m_range = 1000;
    int m_pos = 0;
    int m_size = 0;
    int m_step = 10;
    BOOL m_autoSize = TRUE;
    CRect m_thumb;
    int m_arrow = 0;
    BOOL m_thumbShown = FALSE;
    int m_look = 0;         // 0 normal, 1 hovered, 2 dragging
    int m_dragOrigin = -1;  // pointer position where the drag began
    int m_dragThumb = 0;    // thumb's near edge at that moment
    BOOL m_changing = FALSE;
    const ImgResInfo* m_skin = nullptr;
};

}  // namespace Orvix
