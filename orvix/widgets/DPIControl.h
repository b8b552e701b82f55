#pragma once
// The row of DPI level cards: card i spans x 130i..130i+110 of the control
// and its full height, with the level colour in a band along the top, "DPI n"
// in the band and the value below. A click in the top 40 pixels of a card
// selects it and makes it the colour item (code 9), lower down it selects it
// (code 2); a press on the value opens an in-place edit (codes 30, 26, 29).
#include <string>
#include <vector>

#include "orvix/core/MPanel.h"
#include "orvix/widgets/CardRow.h"
#include "orvix/widgets/ValueEdit.h"

namespace Orvix {

class DPIControl : public MPanel {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    // Keyboard: the cards are its items; arrows move the ring, Enter chooses.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override { return GetCardRect(index); }
    int GetInitialKeyItem() override { return m_selectItem > 0 ? m_selectItem : 0; }
    static constexpr int kBandHeight = 30;             // drawn colour band
    static constexpr int kColorZone = 40;              // colour hit zone
    static constexpr CRect kEditRect{24, 46, 89, 66};  // of card 0, relative to the control
    static constexpr int kEditLimit = 5;

    DPIControl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
               BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"DPIControl"; }

    // Appends a level (colour is a COLORREF); returns its index.
    int AddItem(int value, int colour);
    void ClearList();
    void SetDPIValue(int index, int value);
    void SetDPIColorValue(int index, int colour);
    // 50 below the list and 26000 past its end.
    int GetDPIValue(int index) const;
    // 0 outside the list.
    int GetDPIColorValue(int index) const;
    void SetSelectItem(int index);
    // The range a level's value may take, as a screen reader is told it.
    void SetValueRange(int minimum, int maximum, int step) {
        m_valueMin = minimum, m_valueMax = maximum, m_valueStep = step;
    }
    int GetSelectItem() const { return m_selectItem; }
    int GetColorItem() const { return m_colorItem; }
    int GetHoverItem() const { return m_hoverItem; }
    int GetItemCount() const { return int(m_items.size()); }
    // Card and edit rects of level i in window coordinates.
    CRect GetCardRect(int index) const { return CardRow::Card(m_rect, index); }
    CRect GetEditRect(int index) const;

    void ShowEdit();
    void HideEdit();
    BOOL IsEditing() const { return m_edit.IsOpen(); }
    // The open box's text, otherwise the last value text.
    std::wstring GetEditText() const { return m_edit.TextOr(m_title); }
    void SetEditText(const wchar_t* text) { m_title = text ? text : L""; }
    std::wstring GetTitleEx() const { return m_title; }
    MEditBox* GetEditWindow() const { return m_edit.Peek(); }
    COLORREF GetEditBKColor() const { return 0xFFFFFF; }
    COLORREF GetEditTextColor() const { return 0xFFFFFF; }

    LRESULT SetControlFocus(BOOL focus) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  private:
    struct Item {
        int value;
        int colour;
    };
    bool ValidIndex(int index) const { return index >= 0 && index < int(m_items.size()); }
    bool InColorZone(int index, CPoint pt) const;
    void Render(Canvas& canvas, const CRect& slice) const;

    std::vector<Item> m_items;
    int m_hoverItem = -1;
    bool m_hoverZone = false;
    int m_selectItem = 0;
    int m_colorItem = -1;
    ValueEdit m_edit;
    int m_valueMin = 0;
    int m_valueMax = 0;
    int m_valueStep = 1;
};

}  // namespace Orvix
