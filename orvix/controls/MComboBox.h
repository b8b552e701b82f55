#pragma once
// A combo box: the selected item's text over a skin frame; a click opens the
// drop-down ("ComboWnd") right below it, as wide as the combo and
// min(count, 8) x 30 + 12 pixels high. Choosing an item there selects it and
// sends code 2 with wParam = the index to the owner.
#include <string>
#include <vector>

#include "orvix/controls/MListBase.h"

namespace Orvix {

class ComboWnd;

class MComboBox : public MControlFont {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    static constexpr int kVisibleRows = 8;
    static constexpr int kDropMargin = 6;

    MComboBox(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
              BOOL enabled = TRUE);
    ~MComboBox() override;

    int AddItem(const wchar_t* text, LPARAM data = 0, const wchar_t* iconFile = nullptr,
                Color textColor = Color());
    // Before `index` (-1 appends); -1 when out of range.
    int InsertItem(int index, const wchar_t* text, LPARAM data = 0, const wchar_t* iconFile = nullptr,
                   Color textColor = Color());
    BOOL SetItemText(int index, const wchar_t* text);
    std::wstring GetItemText(int index) const;
    BOOL SetItemData(int index, LPARAM data);
    LPARAM GetItemData(int index) const;
    // -1 (no selection, empty title) .. count-1; the title shows the item.
    BOOL SetCurSel(int index);
    int GetCurSel() const { return m_sel; }
    LPARAM GetCurData() const { return GetItemData(m_sel); }
    int FindData(LPARAM data) const;
    // Selects the first item with `data`; FALSE when none has it.
    BOOL SelectData(LPARAM data);
    BOOL DeleteItem(int index);
    void DelAllItems();
    int GetItemCount() const { return int(m_items.size()); }
    const std::vector<ListRow>& GetItems() const { return m_items; }
    BOOL SetBackImage(const wchar_t* file) { return SetImage(file, 4); }
    void SetShowModeMID(int left, int top, int right, int bottom);
    void SetTextRect(CRect rect) { m_textRect = rect; }
    CRect GetTextRect() const;

    BOOL OpenDropDown();
    void CloseDropDown();
    ComboWnd* GetDropDown() const { return m_popup; }
    // From the drop-down: an item was chosen, or the window is gone.
    virtual void OnItemChosen(int index);
    void OnDropDownGone();
    // The pointer is over the combo (the press that closes its drop-down must
    // not open it again).
    bool IsCursorOver() const;
    void IgnoreNextPress() { m_ignorePress = true; }

    void SetControlEnabled(BOOL enabled) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    // Keyboard: arrows choose the previous or next item as the drop-down
    // would; Space and Enter open the drop-down as a click does.
    BOOL OnFocusKey(UINT vk, UINT modifiers) override;

  protected:
    // The frame, title and arrow of one look (0 normal, 1 hover, 2 open, 3 disabled).
    virtual void RenderLook(Canvas& canvas, int look, const CRect& slice) const;
    void SetLook(int look);

  private:
    TextStyle TitleStyle() const;
    bool IsValid(int index) const { return index >= 0 && index < int(m_items.size()); }

    std::vector<ListRow> m_items;
    int m_sel = -1;
    int m_look = 0;
    CRect m_textRect;
    // The skin's arrow lies in the right 28 pixels: that column is never stretched
    // across (see RenderLook for the height).
    int m_insets[4] = {8, 8, 28, 8};
    std::wstring m_fittedTitle;
    CRect m_fittedRect;
    std::wstring m_elidedTooltip;
    ComboWnd* m_popup = nullptr;
    bool m_ignorePress = false;
};

}  // namespace Orvix
