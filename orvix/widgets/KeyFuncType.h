#pragma once
// The list of function kinds a button can have: rows of 40 pixels from the
// top, each with an icon (a skin image of two frames side by side: normal,
// hovered or selected) and its text. A press over a row selects it, a release
// over a row sends code 2 with lParam = the selection. The vertical bar
// (child id 1) follows the right edge and the wheel scrolls the rows.
#include <memory>
#include <string>
#include <vector>

#include "orvix/core/MPanel.h"
#include "orvix/platform/Image.h"

namespace Orvix {

struct KeyFuncItem {
    std::wstring text;
    int data = 0;
    std::shared_ptr<Image> icon;  // null when the file does not exist
    int iconWidth = 0;            // one frame
    int iconHeight = 0;
    CRect rect;  // content coordinates, as last drawn
};

class KeyFuncType : public MPanel {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    // Keyboard: the rows are its items; arrows move the ring, Enter chooses.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override;
    int GetInitialKeyItem() override { return m_sel > 0 ? m_sel : 0; }
    KeyFuncType(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, int visible = 1,
                int enabled = 1);
    KeyFuncType(MObject* parent, UINT id, CRect rect, int visible, int enabled)
        : KeyFuncType(parent, id, rect, nullptr, visible, enabled) {}

    const wchar_t* GetClassNameW() const override { return L"KeyFuncType"; }

    // `iconPath` is relative to the skin folder; either separator is accepted.
    void AddItem(const std::wstring& text, int data, const std::wstring& iconPath);
    void ClearList();
    // Selects the first item holding `data`; the selection stays when none does.
    void SetCurData(int data);
    int GetItemData(int index) const { return IsValid(index) ? m_items[size_t(index)].data : 0; }
    // The selected item's data; 0 when nothing is selected.
    int GetCurData() const { return GetItemData(m_sel); }
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_sel; }
    int GetHoverItem() const { return m_hover; }
    BOOL SetItemText(int index, const std::wstring& text);
    std::wstring GetItemText(int index) const;
    int GetItemCount() const { return int(m_items.size()); }
    const KeyFuncItem* GetItem(int index) const { return IsValid(index) ? &m_items[size_t(index)] : nullptr; }
    int GetRowHeight() const { return m_rowHeight; }
    // Row `index` in content coordinates (the panel scrolls them).
    CRect GetRowRect(int index) const;

    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;

  protected:
    CSize MeasureContent() const override;
    // The row under a point as the control receives it; -1 when none.
    int RowAt(CPoint pt) const;
    // Where a row's text goes, in content coordinates.
    CRect GetTextRect(int index) const;
    // The hovered row's whole text as a tooltip when the row cuts it.
    void UpdateRowTooltip();
    bool IsValid(int index) const { return index >= 0 && index < GetItemCount(); }

    int m_rowHeight = 40;
    bool m_drawIcons = true;
    int m_textLeft = 50;  // from the icon's left edge

  private:
    std::vector<KeyFuncItem> m_items;
    int m_hover = -1;
    int m_sel = -1;
};

}  // namespace Orvix
