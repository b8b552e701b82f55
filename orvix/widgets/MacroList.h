#pragma once
// The user's macros by name. Rows (36 pixels times the scale) carry the
// control's skin image as background (frame 0 normal, 1 hovered or selected),
// an optional image-list icon, the name, and an edit button (SetEditImage;
// frame 0 normal, 2 on a lit row) 15 pixels from the right edge. A release
// over a row selects it and sends code 9 over its edit button, else code 2;
// a right release sends code 5 with the row; a double click opens the rename
// edit when renaming is on, and a changed name arrives as code 29 (lParam =
// row).
#include "orvix/controls/MListBase.h"
#include "orvix/widgets/SkinStrip.h"

namespace Orvix {

class MacroList : public MListBase {
  public:
    MacroList(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, int visible = 1,
              int enabled = 1);
    MacroList(MObject* parent, UINT id, CRect rect, int visible)
        : MacroList(parent, id, rect, nullptr, visible) {}

    const wchar_t* GetClassNameW() const override { return L"MacroList"; }

    // Both scroll to the end, where the new row is.
    int AddString(const wchar_t* text, int image = -1) { return AddString(text, 0, image); }
    int AddString(const wchar_t* text, LPARAM data, int image);
    // Before `index` (-1 appends): the index of the last row, -1 for a bad index.
    int InsertString(int index, const wchar_t* text, int image, LPARAM data);
    // A row's own text colour (alpha 0: the control's); lit rows stay white.
    BOOL SetItemTextColor(int index, Color color);
    Color GetItemTextColor(int index) const;
    void SetItemHeight(int height);
    void SetScaleValue(float scale);
    BOOL SetEditImage(const wchar_t* file, int count);
    // The edit button of a row in content coordinates (empty without an image).
    CRect GetEditRect(int index) const;
    using MListBase::ShowEdit;
    // Opens the rename edit on the selected row.
    BOOL ShowEdit() { return ShowEdit(m_sel); }

    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDblClk(UINT flags, CPoint pt) override;
    BOOL OnControlRButtonUp(UINT flags, CPoint pt) override;

  protected:
    void DrawRow(Canvas& canvas, int index, const CRect& rect, bool lit) override;
    CRect RowTextRect(int index, const CRect& rect) const override;
    TextStyle RowStyle() const override;
    UINT RowTextAlign() const override { return 0; }

  private:
    void ScrollToEnd();

    SkinStrip m_editButton;
    int m_baseHeight = 36;
    float m_scale = 1.0f;
};

}  // namespace Orvix
