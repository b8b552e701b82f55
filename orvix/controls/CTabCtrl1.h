#pragma once
// A plain vertical list of text tabs, each as wide as the control and 60
// pixels high. The hovered and the selected tab get the skin image
// nine-sliced (inset 8) and their text in the accent colour. A release over a
// tab selects it and sends code 2 (lParam = the selection).
#include <string>
#include <vector>

#include "orvix/core/MControlFont.h"

namespace Orvix {

class CTabCtrl1 : public MControlFont {
public:
    // Keyboard: the tabs are its items, and an arrow chooses the tab it moves to.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override { return GetItemRect(index); }
    int GetInitialKeyItem() override { return m_select > 0 ? m_select : 0; }
    BOOL ArrowChooses() const override { return TRUE; }
    static constexpr int kItemHeight = 60;

    CTabCtrl1(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
              BOOL enabled = TRUE);

    int AddItem(const std::wstring& text, int data, MControl* page);
    void ClearList();
    BOOL SetItemText(int index, const std::wstring& text);
    // Shows the page of `index` and hides the others; no notification.
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_select; }
    int GetHoverItem() const { return m_hover; }
    int GetItemCount() const { return int(m_items.size()); }
    int GetItemData(int index) const;
    CRect GetItemRect(int index) const;

    void SetControlRect(CRect rect) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

private:
    struct Item {
        std::wstring text;
        int data;
        MControl* page;  // not owned
        CRect rect;
    };
    void Layout();
    int Hit(CPoint pt) const;

    std::vector<Item> m_items;
    int m_select = -1;
    int m_hover = -1;
};

}  // namespace Orvix
