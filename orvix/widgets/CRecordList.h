#pragma once
// The events of one macro: key presses and releases, mouse button events and
// the delay after each. Rows (36 pixels times the scale) show their number,
// a type icon (the control's skin image: frame 0 for types below 4 or above
// 12, frame 2 for types 4 to 12, +1 highlighted), the text, the delay and a
// "more" button (SetMoreImage; frame 0, 2 on a lit row). The delay of the
// selected row can be edited in place; it is kept within 10..65535 ms.
//
// Codes to the owner: 1 on a press inside (wParam = selected row, maybe -1),
// 2 on a release over a row (9 over its more button), 5 on a right release
// over a row (wParam = row), 26 while the delay is typed, 30 when the delay
// edit opens and 29 when it closed with a changed delay (lParam = row).
#include <memory>
#include <string>
#include <vector>

#include "orvix/controls/InPlaceEdit.h"
#include "orvix/core/MPanel.h"
#include "orvix/widgets/SkinStrip.h"

namespace Orvix {

class MImageList;

// One event row. Types the list itself gives meaning to: 1 is not counted as
// an event; 2/3 and 4/5 are a press and its release, paired by value.
struct RecordItem {
    std::wstring text;
    int type = 0;
    int value = 0;
    int delay = 0;  // ms; also the row's time stamp
    CRect rect;     // content coordinates, as last drawn
};

class CRecordList : public MPanel {
  public:
    // Keyboard: the rows are its items; arrows move the ring, Enter chooses.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override;
    int GetInitialKeyItem() override { return m_sel > 0 ? m_sel : 0; }
    static constexpr int kMinDelay = 10;
    static constexpr int kMaxDelay = 65535;

    CRecordList(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, int visible = 1,
                int enabled = 1);
    CRecordList(MObject* parent, UINT id, CRect rect, int visible)
        : CRecordList(parent, id, rect, nullptr, visible) {}
    ~CRecordList() override;

    const wchar_t* GetClassNameW() const override { return L"CRecordList"; }

    // Both scroll to the end and return the new row's index. InsertString
    // inserts before `index`; -1 or an index past the end appends.
    int AddString(const std::wstring& text, int type, int value, int delay);
    int InsertString(int index, const std::wstring& text, int type, int value, int delay);
    BOOL DeleteItem(int index);
    int DeleteAllItems();
    int GetItemCount() const { return int(m_items.size()); }
    // Rows whose type is not 1.
    int GetEventCount() const;
    // -1..count-1, else FALSE.
    BOOL SetCurSel(int index);
    int GetCurSel() const { return m_sel; }
    int GetHoverItem() const { return m_hover; }
    // The delay of the last row; false for an empty list.
    bool UpdateDelayTime(int delay);
    // From the last row back, rows of (type, value) take the delay; for a
    // release (3 or 5) the search stops at its press (2 or 4, same value),
    // which takes the delay too.
    void UpdateTimeStamp(int type, int value, int delay);
    // Move a row to the front (selecting row 0) or the end (selecting the last
    // row), or swap two rows. They do not repaint: the owner does.
    void MoveTop(int index);
    void MoveBottom(int index);
    void SwapItem(int a, int b);
    // The list's own rows, in order: read them, do not free them.
    std::vector<RecordItem*> GetRecordItems() const;
    BOOL GetRecordInfo(int index, std::wstring& text, int& type, int& value, int& delay) const;
    void SetRecordInfo(int index, const std::wstring& text, int type, int value, int delay);
    // Every row with this delay and type takes the text and value.
    void SetRecordInfo(int delay, int type, const std::wstring& text, int value);
    int GetRecrodTimeStamp(int index) const;
    // Highlights the icon of every row with this delay.
    void SetTimeStampSelect(int delay);
    int GetTimeStampSelect() const { return m_selTimeStamp; }
    void DeleteTimeStamp(int delay);

    // The delay edit over the selected row.
    BOOL ShowEdit();
    void HideEdit();
    int GetEditItem() const;
    std::wstring GetEditText() const;
    void SetEditText(const std::wstring& text);
    MEditBox* GetEditBox() const { return m_edit.Peek(); }

    BOOL SetItemImage(const wchar_t* file, int count);
    BOOL SetMoreImage(const wchar_t* file, int count);
    void SetImageList(MImageList* images) { m_images = images; }
    MImageList* GetImageList() const { return m_images; }
    void SetItemHeight(int height);
    void SetScaleValue(float scale);
    int GetRowHeight() const;
    // Rects of a row and its parts in content coordinates.
    CRect GetItemRect(int index) const;
    CRect GetMoreRect(int index) const;
    CRect GetIconRect(int index) const;

    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT SetControlFocus(BOOL focus) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDblClk(UINT flags, CPoint pt) override;
    BOOL OnControlRButtonUp(UINT flags, CPoint pt) override;

  protected:
    CSize MeasureContent() const override;

  private:
    bool IsValid(int index) const { return index >= 0 && index < GetItemCount(); }
    int RowAt(CPoint pt) const;
    int IndexOf(const RecordItem* item) const;
    // Rows were added or removed: the bar's range follows, optionally its end shows.
    void RowsChanged(bool scrollToEnd);
    // Removes the rows `drop` picks, keeping hover and selection on the rows they were on.
    template <typename Pred>
    int RemoveRows(Pred drop);
    void DrawRow(Canvas& canvas, int index, const CRect& row, const TextStyle& style);

    std::vector<std::unique_ptr<RecordItem>> m_items;
    int m_hover = -1;
    int m_sel = -1;
    int m_selTimeStamp = -1;
    RecordItem* m_editItem = nullptr;  // the row whose delay is being edited
    int m_itemHeight = 36;
    float m_scale = 1.0f;
    SkinStrip m_itemImage;
    SkinStrip m_moreImage;
    MImageList* m_images = nullptr;
    InPlaceEdit m_edit;
};

}  // namespace Orvix
