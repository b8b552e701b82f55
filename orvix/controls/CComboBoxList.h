#pragma once
// The list inside a combo box's drop-down: 30-pixel rows with an optional icon
// and text colour; the hover row is lit, the selected one shows its text in
// the accent colour. Choosing a row sends code 2 with wParam = index and
// lParam 19.
#include "orvix/controls/MListBase.h"

namespace Orvix {

struct ImgResInfo;

class CComboBoxList : public MListBase {
  public:
    static constexpr int kRowHeight = 30;

    CComboBoxList(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                  BOOL enabled = TRUE);

    int AddItem(const wchar_t* text, LPARAM data = 0, const wchar_t* iconFile = nullptr,
                Color color = Color());
    void DelAllItems() { DeleteAllItems(); }
    // The height all rows need.
    int GetListHeight() const { return GetItemCount() * m_itemHeight; }

    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;

  protected:
    void DrawRow(Canvas& canvas, int index, const CRect& rect, bool lit) override;
    CRect RowTextRect(int index, const CRect& rect) const override;
    TextStyle RowStyle() const override;

  private:
    ImgResInfo* RowIcon(int index) const;
};

}  // namespace Orvix
