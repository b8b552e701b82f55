#pragma once
// The report-rate selector: a row of value cards (card i at x = 130i, 110
// wide, as high as the control), each with a band in its colour along the
// left edge and its text centred; the hovered and the selected card are
// outlined in the accent colour. Press and release over a card send codes 1
// and 2 with the card's index, which becomes the selection.
#include <string>
#include <vector>

#include "orvix/core/MPanel.h"
#include "orvix/widgets/CardRow.h"

namespace Orvix {

class ReporteCtrl : public MPanel {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    // Keyboard: the cards are its items; arrows move the ring, Enter chooses.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override { return GetCardRect(index); }
    int GetInitialKeyItem() override { return m_selectItem > 0 ? m_selectItem : 0; }
    static constexpr int kBandWidth = 20;

    ReporteCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"ReporteCtrl"; }

    // colour is a COLORREF; returns the new item's index.
    int AddItem(const std::wstring& text, int value, int colour);
    int DeleteAllItems();
    void SetSelectItem(int index);
    // Selects the first item with the value; keeps the selection when none has it.
    void SetSelectItemValue(int value);
    int GetSelectItem() const { return m_selectItem; }
    int GetHoverItem() const { return m_hoverItem; }
    int GetItemCount() const { return int(m_items.size()); }
    // 0 for an index outside the list.
    int GetItemKeyValue(int index) const;
    // Empty for an index outside the list.
    std::wstring GetItemKeyName(int index) const;
    void SetItemText(int index, const std::wstring& text);
    // Scales the card text with the window's layout.
    void SetScaleValue(float scale);
    CRect GetCardRect(int index) const { return CardRow::Card(m_rect, index); }

    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  private:
    struct Item {
        std::wstring text;
        int value;
        int colour;
    };
    bool ValidIndex(int index) const { return index >= 0 && index < int(m_items.size()); }

    std::vector<Item> m_items;
    int m_hoverItem = -1;
    int m_selectItem = -1;
    int m_pressedItem = -1;
    float m_scale = 1.0f;
};

}  // namespace Orvix
