#pragma once
// The rows, selection, hover, scrolling, drawing and rename edit shared by the
// text lists (MListBox, DListBox) and the drop-down list of combo boxes. Rows
// are item-height tall from the top of the content; the vertical bar (id 1)
// shows when they are taller than the control and a wheel notch moves it by 10.
#include <string>
#include <vector>

#include "orvix/controls/InPlaceEdit.h"
#include "orvix/core/MPanel.h"

namespace Orvix {

class MImageList;

struct ListRow {
    std::wstring text;
    LPARAM data = 0;
    int image = -1;     // index into the list's image list
    std::wstring icon;  // a skin image (combo items)
    Color color;        // text colour; alpha 0 = the control's
};

// The first row holding `data` (lists and combo boxes alike); -1 when none.
int FindRowByData(const std::vector<ListRow>& rows, LPARAM data);

class MListBase : public MPanel {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    // Keyboard: the rows are its items; arrows move the ring, Enter chooses.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override;
    int GetInitialKeyItem() override { return m_sel > 0 ? m_sel : 0; }
    MListBase(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
              BOOL enabled = TRUE);

    int AddString(const wchar_t* text, int image = -1) { return AddString(text, 0, image); }
    int AddString(const wchar_t* text, LPARAM data, int image);
    // Before `index` (-1 appends); -1 when the index is out of range, else the
    // index of the last row (count - 1), whatever `index` was.
    int InsertString(int index, const wchar_t* text, int image = -1, LPARAM data = 0);
    int InsertRow(int index, ListRow row);
    BOOL ModifyItemString(int index, const wchar_t* text);
    std::wstring GetItemText(int index) const;
    BOOL SetItemData(int index, LPARAM data);
    LPARAM GetItemData(int index) const;
    int FindString(const wchar_t* text) const;
    int FindItemData(LPARAM data) const;
    // -1..count-1, else FALSE; repaints when the selection changed.
    BOOL SetCurSel(int index);
    int GetCurSel() const { return m_sel; }
    // Selects the first row holding `data`: its index, or -1 (selection kept).
    int SetCurData(LPARAM data);
    // The selected row's data; 0 when nothing is selected.
    LPARAM GetCurData() const;
    BOOL DeleteItem(int index);
    void DeleteAllItems();
    BOOL SwapItem(int a, int b);
    void SetItemHeight(int height);
    int GetItemHeight() const { return m_itemHeight; }
    int GetItemCount() const { return int(m_rows.size()); }
    int GetHoverItem() const { return m_hover; }
    // The row's rect in content coordinates (as the list's children use).
    CRect GetItemRect(int index) const;
    void SetImageList(MImageList* images);
    MImageList* GetImageList() const { return m_images; }

    // The rename edit: ShowEdit opens it over a row when renaming is on.
    void EnableShowEdit(BOOL enable) { m_showEdit = enable; }
    BOOL ShowEdit(int index);
    // Closes it: a changed text becomes the row's and code 29 (lParam = row) follows.
    void HideEdit();
    int GetEditItem() const { return m_editRow; }
    MEditBox* GetEditBox() const { return m_edit.Peek(); }

    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT SetControlFocus(BOOL focus) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;

  protected:
    CSize MeasureContent() const override;
    // The row under a point as the list receives it; -1 when none.
    int RowAt(CPoint pt) const;
    void RowsChanged();
    // One visible row in window coordinates; `lit` for the selected and hover rows.
    virtual void DrawRow(Canvas& canvas, int index, const CRect& rect, bool lit);
    // Where a row's text is drawn inside the row's rect, and its alignment: the
    // rename edit opens there, so the name does not move when editing starts.
    virtual CRect RowTextRect(int index, const CRect& rect) const;
    virtual UINT RowTextAlign() const { return 1; }
    // How row texts are laid out: one line, cut with an ellipsis.
    virtual TextStyle RowStyle() const;
    // Draws a row's text; a cut one is shown whole as a tooltip over its row.
    void DrawRowText(Canvas& canvas, int index, const CRect& textRect, Color color);
    bool IsValid(int index) const { return index >= 0 && index < int(m_rows.size()); }

    std::vector<ListRow> m_rows;
    int m_itemHeight = 36;
    int m_sel = -1;
    int m_hover = -1;

  private:
    // Indexes that follow a row being removed or inserted.
    static void Shift(int& index, int at, int by);
    void UpdateRowTooltip();

    InPlaceEdit m_edit;
    int m_editRow = -1;
    BOOL m_showEdit = FALSE;
    MImageList* m_images = nullptr;
};

}  // namespace Orvix
