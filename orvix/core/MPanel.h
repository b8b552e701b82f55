#pragma once
// The base of every container control: creates children through the container
// factory, passes their notifications up unchanged, widens their repaint
// requests over later siblings, and scrolls its content with two bars (the
// first two children: id 1 vertical along the right edge, id 2 horizontal
// along the bottom). Children keep their rects in content coordinates; the
// panel draws them shifted by GetScrollOffset() and moves points the other
// way, while the bars stay put.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class MScroll;

class MPanel : public MControlFont {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    static constexpr int kBarSize = 5;

    MPanel(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
           BOOL enabled = TRUE);

    virtual MControl* CreateArea(const wchar_t* className, UINT id, CRect rect,
                                 const wchar_t* title = nullptr, int visible = 1, int enabled = 1);
    // kind 0 areas, 1 controls, other kinds register the control nowhere.
    virtual MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                    const wchar_t* title, int visible, int enabled);
    virtual MControl* CreateControl(const wchar_t* className, UINT id, CRect rect,
                                    const wchar_t* title = nullptr, int visible = 1, int enabled = 1);
    virtual BOOL OnControlKeyUp(UINT vk, UINT repeat, UINT modifiers);

    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlUpdate(CRect rc, BOOL rerender, MControl* control) override;
    void OnMousePointChange(CPoint& pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    void SetUpdate(BOOL valid, COLORREF back) override;
    BOOL DrawSubControls(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlScroll(int bar, UINT direction, CPoint pt) override;
    void OnKeyItemChanged(int index) override;

    // How far the content is scrolled: (virtual size - panel size) x position /
    // range on each axis while scrolling is on and the content overflows.
    virtual CPoint GetScrollOffset() const;
    // Sets the content size directly; the bars are left alone.
    void SetVirtualHeight(int height) { m_virtualHeight = height; }
    void SetVirtualWidth(int width) { m_virtualWidth = width; }
    int GetVirtualHeight() const { return m_virtualHeight; }
    int GetVirtualWidth() const { return m_virtualWidth; }
    void SetEnableScroll(BOOL enable) { m_enableScroll = enable; }
    BOOL GetEnableScroll() const { return m_enableScroll; }
    // Null once the bars have been removed with the other children.
    MScroll* GetScrollVertical() const;
    MScroll* GetScrollHorizontal() const;
    // Takes the content size from MeasureContent and shows each bar only when
    // the content overflows that way, with the content size as its range.
    void UpdateScrollBars();
    // The sum of the scroll offsets of every panel above `control`: a point in
    // the control's coordinates minus this is a window client point.
    static CPoint GetContentOffset(const MControl* control);

  protected:
    // The content size measured from the panel's top-left corner: by default
    // the farthest right and bottom edge of the children (bars excepted).
    virtual CSize MeasureContent() const;
    bool IsOwnBar(const MControl* control) const;

  private:
    MScroll* m_vbar;
    MScroll* m_hbar;
    int m_virtualHeight = 0;
    int m_virtualWidth = 0;
    BOOL m_enableScroll = TRUE;
};

}  // namespace Orvix
