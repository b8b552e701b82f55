#pragma once
// A strip of tabs that switches pages: the pages are ordinary controls of the
// same window (usually MTabLayout panels) whose visibility the strip sets.
// Horizontal (type 0) tabs sit side by side; vertical (type 1) tabs are
// stacked with a 1-pixel gap. Optionally the pages slide over 10 ticks.
#include <memory>
#include <string>
#include <vector>

#include "orvix/core/MControlFont.h"

namespace Orvix {

class MTabLayout;

struct TabItemInfo {
    BOOL visible = TRUE;
    std::shared_ptr<Image> icon;  // owned by the strip
    int iconWidth = 0;            // of one frame
    int iconHeight = 0;
    int iconCount = 3;
    CRect rect;
    std::wstring text;
    UINT id = 0;
    MControl* page = nullptr;  // not owned
    int width = 0;             // the tab's own width
};

class MTabCtrl : public MControlFont {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    // Keyboard: the tabs are its items, and an arrow chooses the tab it moves to.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override { return GetItemRect(index); }
    int GetInitialKeyItem() override { return m_select > 0 ? m_select : 0; }
    BOOL ArrowChooses() const override { return TRUE; }
    static constexpr int kSlideTicks = 10;
    static constexpr UINT kSlideTimer = 1;
    static constexpr UINT kSlideTickMs = 10;

    MTabCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);

    // Appends a tab; frames -1 means 3, width 0 takes the icon frame width.
    int InsertItem(UINT id, const wchar_t* text, const wchar_t* iconFile, MControl* page, int frames = -1,
                   int width = 0);
    // Selects tab i, notifies code 1 (wParam = i) and shows its page; the
    // current index does nothing. Returns the previous selection (i itself
    // when unchanged, the current one for an index out of range).
    int SetSelectItem(int index);
    int GetSelectItem() const { return m_select; }
    int GetHoverItem() const { return m_hover; }
    UINT GetItemID(int index) const;
    // Replaces the text; the strip shows it at its next paint.
    BOOL SetItemText(int index, const wchar_t* text);
    std::wstring GetItemText(int index) const;
    BOOL SetItemVisible(int index, BOOL visible);
    BOOL GetItemVisible(int index) const;
    int GetItemCount() const { return int(m_items.size()); }
    CRect GetItemRect(int index) const;
    // The item width: `preferred`, or with a minimum the control's share per
    // tab held within minimum..preferred.
    void SetItemWidth(int preferred, int minimum = 0, BOOL refresh = TRUE);
    void SetItemHeight(int preferred, int minimum = 0, BOOL refresh = TRUE);
    int GetItemWidth() const { return m_itemWidth; }
    int GetItemHeight() const { return m_itemHeight; }
    void SetTabCtrlWidth(int width);
    void SetTabCtrlHeight(int height);
    void SetLeftRightPading(int left, int right);
    void SetTopBottomPading(int top, int bottom);
    // 0 horizontal, 1 vertical.
    void SetTabType(int type);
    int GetTabType() const { return m_type; }
    // Whether hovering a tab shows its text as the tooltip (on by default).
    void SetTabTooltip(BOOL show) { m_tooltips = show; }
    // Creates a hidden MTabLayout page beside the strip (same parent).
    MControl* CreatePanel(UINT id, CRect rect);
    void EnableAnimateChangeTab(BOOL enable) { m_animate = enable; }
    BOOL IsSliding() const { return m_slideStep >= 0; }

    void SetControlRect(CRect rect) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) override;
    BOOL OnControlScroll(int bar, UINT direction, CPoint pt) override;
    BOOL OnControlTimer() override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

private:
    struct Placed {
        MControl* control;
        CRect home;
    };
    void Layout();
    int HitTab(CPoint pt) const;
    void RenderLook(Canvas& canvas, int look, const CRect& slice) const;
    void ShowPages(int index);
    bool StartSlide(MControl* from, MControl* to, bool forward);
    void ApplySlide();
    void FinishSlide();
    static void CollectTree(MControl* control, std::vector<Placed>& out);
    static void PlaceTree(const std::vector<Placed>& tree, int dx);

    std::vector<TabItemInfo> m_items;
    int m_select = -1;
    int m_hover = -1;
    int m_type = 0;
    int m_tabWidth = 0, m_tabHeight = 0;
    int m_padLeft = 0, m_padRight = 0, m_padTop = 0, m_padBottom = 0;
    int m_itemWidth = 0, m_itemHeight = 0;
    BOOL m_tooltips = TRUE;
    BOOL m_animate = FALSE;

    // The slide in progress (step -1: none).
    int m_slideStep = -1;
    int m_slideDir = 1;
    MTabLayout* m_slideFrom = nullptr;
    MTabLayout* m_slideTo = nullptr;
    std::vector<Placed> m_fromTree, m_toTree;
};

}  // namespace Orvix
