#include "orvix/controls/MListBase.h"

#include <algorithm>

#include "orvix/core/MImageList.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"
#include "orvix/core/TextFit.h"

namespace Orvix {

namespace {
constexpr Color kLitText(0xFF050505);
}

MListBase::MListBase(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MPanel(parent, id, rect, title, visible, enabled), m_edit(*this) {}

// ---------------------------------------------------------------- rows

int MListBase::AddString(const wchar_t* text, LPARAM data, int image) {
    return InsertRow(-1, ListRow{text ? text : L"", data, image, L"", Color()});
}

int MListBase::InsertString(int index, const wchar_t* text, int image, LPARAM data) {
    // The list interface answers the index of the last row (the row count less
    // one), as AddString and the macro list do; the new row sits at `index`.
    if (InsertRow(index, ListRow{text ? text : L"", data, image, L"", Color()}) < 0) return -1;
    return int(m_rows.size()) - 1;
}

int MListBase::InsertRow(int index, ListRow row) {
    if (index < -1 || index > int(m_rows.size()) - 1) return -1;
    if (index == -1) index = int(m_rows.size());
    m_rows.insert(m_rows.begin() + index, std::move(row));
    for (int* i : {&m_sel, &m_hover, &m_editRow}) Shift(*i, index, 1);
    RowsChanged();
    return index;
}

void MListBase::Shift(int& index, int at, int by) {
    if (index >= at) index += by;
}

BOOL MListBase::ModifyItemString(int index, const wchar_t* text) {
    if (!IsValid(index)) return FALSE;
    m_rows[size_t(index)].text = text ? text : L"";
    UpdateControl(TRUE);
    return TRUE;
}

std::wstring MListBase::GetItemText(int index) const {
    return IsValid(index) ? m_rows[size_t(index)].text : L"";
}

BOOL MListBase::SetItemData(int index, LPARAM data) {
    if (!IsValid(index)) return FALSE;
    m_rows[size_t(index)].data = data;
    return TRUE;
}

LPARAM MListBase::GetItemData(int index) const {
    return IsValid(index) ? m_rows[size_t(index)].data : 0;
}

int MListBase::FindString(const wchar_t* text) const {
    for (size_t i = 0; text && i < m_rows.size(); ++i)
        if (m_rows[i].text == text) return int(i);
    return -1;
}

int FindRowByData(const std::vector<ListRow>& rows, LPARAM data) {
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].data == data) return int(i);
    return -1;
}

int MListBase::FindItemData(LPARAM data) const {
    return FindRowByData(m_rows, data);
}

BOOL MListBase::SetCurSel(int index) {
    if (index < -1 || index >= int(m_rows.size())) return FALSE;
    if (index != m_sel) {
        m_sel = index;
        UpdateControl(TRUE);
    }
    return TRUE;
}

int MListBase::SetCurData(LPARAM data) {
    int index = FindItemData(data);
    if (index >= 0) SetCurSel(index);
    return index;
}

LPARAM MListBase::GetCurData() const {
    return GetItemData(m_sel);
}

BOOL MListBase::DeleteItem(int index) {
    if (!IsValid(index)) return FALSE;
    if (m_editRow == index) {
        m_edit.Close();  // the row it renamed is gone
        m_editRow = -1;
    }
    m_rows.erase(m_rows.begin() + index);
    // The selection stays on the same row; a removed row leaves none.
    for (int* i : {&m_sel, &m_hover, &m_editRow}) {
        if (*i == index)
            *i = -1;
        else
            Shift(*i, index + 1, -1);
    }
    RowsChanged();
    return TRUE;
}

void MListBase::DeleteAllItems() {
    m_edit.Close();
    m_rows.clear();
    m_sel = m_hover = m_editRow = -1;
    RowsChanged();
}

BOOL MListBase::SwapItem(int a, int b) {
    if (!IsValid(a) || !IsValid(b)) return FALSE;
    std::swap(m_rows[size_t(a)], m_rows[size_t(b)]);
    UpdateControl(TRUE);
    return TRUE;
}

void MListBase::SetItemHeight(int height) {
    if (height <= 0 || height == m_itemHeight) return;
    m_itemHeight = height;
    RowsChanged();
}

CRect MListBase::GetItemRect(int index) const {
    if (!IsValid(index)) return {};
    const int top = m_rect.top + index * m_itemHeight;
    return CRect(m_rect.left, top, m_rect.right, top + m_itemHeight);
}

void MListBase::SetImageList(MImageList* images) {
    m_images = images;
    UpdateControl(TRUE);
}

CSize MListBase::MeasureContent() const {
    return {m_rect.Width(), int(m_rows.size()) * m_itemHeight};
}

void MListBase::RowsChanged() {
    UpdateScrollBars();
    UpdateControl(TRUE);
}

CRect MListBase::GetKeyItemRect(int index) {
    CRect r = GetItemRect(index);
    const CPoint offset = GetScrollOffset();
    r.OffsetRect(-offset.x, -offset.y);
    return r;
}

int MListBase::RowAt(CPoint pt) const {
    if (!m_rect.PtInRect(pt)) return -1;
    const int y = pt.y - m_rect.top + GetScrollOffset().y;
    const int row = y / m_itemHeight;
    return y >= 0 && row < int(m_rows.size()) ? row : -1;
}

// ---------------------------------------------------------------- rename edit

BOOL MListBase::ShowEdit(int index) {
    if (!m_showEdit || !IsValid(index) || !m_manager) return FALSE;
    if (m_editRow == index && m_edit.IsOpen()) return TRUE;
    HideEdit();
    const CRect row = GetItemRect(index);
    const int height = m_fontSize + 6;
    const int top = row.top + (row.Height() - height) / 2;
    const CRect text = RowTextRect(index, row);
    MEditBox* box = m_edit.Box();
    box->SetBackColor(0xFFFFFF);
    box->SetTextColor(kLitText);
    m_editRow = index;
    // The white box spans the row (6 pixels in); the name stays where it was drawn.
    const int margin = std::max(0, text.left - (row.left + 6));
    box->SetMargins(margin, 0);
    m_edit.Open(CRect(row.left + 6, top, std::max(row.left + 6, text.right + margin), top + height),
                m_rows[size_t(index)].text, int(RowTextAlign()));
    if (m_manager->GetFocusControl() != this) m_manager->SetFocusControl(this);
    return TRUE;
}

void MListBase::HideEdit() {
    if (m_editRow < 0) return;
    const int row = m_editRow;
    m_editRow = -1;
    std::wstring text = m_edit.TextOr(m_rows[size_t(row)].text);
    m_edit.Close();
    if (text != m_rows[size_t(row)].text) {
        m_rows[size_t(row)].text = text;
        SendMessageW(Notify::EditEnded, 0, LPARAM(row));
        UpdateControl(TRUE);
    }
}

LRESULT MListBase::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    if (m_edit.Relay(id, code, [this] { HideEdit(); })) return 0;
    return MPanel::OnMessage(id, code, wParam, lParam);
}

LRESULT MListBase::SetControlFocus(BOOL focus) {
    MPanel::SetControlFocus(focus);
    if (!focus) HideEdit();
    return 0;
}

BOOL MListBase::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    int hover = RowAt(pt);
    if (hover != m_hover) {
        m_hover = hover;
        UpdateRowTooltip();
        UpdateControl(TRUE);
    }
    return m_rect.PtInRect(pt);
}

void MListBase::UpdateRowTooltip() {
    if (!IsValid(m_hover)) {
        HideElidedTextTooltip(*this);
        return;
    }
    CRect row = GetItemRect(m_hover);
    row.OffsetRect(0, -GetScrollOffset().y);
    ShowElidedTextTooltip(*this, m_rows[size_t(m_hover)].text, RowTextRect(m_hover, row), RowStyle(), row);
}

TextStyle MListBase::RowStyle() const {
    TextStyle style = GetTextStyle(false);
    style.hAlign = RowTextAlign();
    style.vAlign = 4;
    style.ellipsis = true;
    return style;
}

void MListBase::DrawRowText(Canvas& canvas, int index, const CRect& textRect, Color color) {
    const TextStyle style = RowStyle();
    if (style.family.empty() || !IsValid(index)) return;
    TextFit::Check(*this, m_rows[size_t(index)].text, textRect, style, true);
    canvas.DrawText(m_rows[size_t(index)].text, textRect, color, style);
}

// ---------------------------------------------------------------- drawing

void MListBase::DrawControl(Canvas& canvas, CRect rcPaint) {
    const CRect visible = m_rect & rcPaint;
    if (visible.IsRectEmpty() || m_rows.empty()) return;
    canvas.PushClip(m_rect);
    const int offset = GetScrollOffset().y;
    const int first = offset / m_itemHeight;
    for (int i = first; i < int(m_rows.size()); ++i) {
        CRect row = GetItemRect(i);
        row.OffsetRect(0, -offset);
        if (row.top >= m_rect.bottom) break;
        if (row.Intersects(visible)) DrawRow(canvas, i, row, i == m_sel || i == m_hover);
    }
    canvas.PopClip();
}

CRect MListBase::RowTextRect(int index, const CRect& rect) const {
    CRect text = rect;
    text.DeflateRect(8, 0);
    if (m_images && IsValid(index) && m_rows[size_t(index)].image >= 0) text.left += m_itemHeight;
    return text;
}

void MListBase::DrawRow(Canvas& canvas, int index, const CRect& rect, bool lit) {
    const ListRow& row = m_rows[size_t(index)];
    if (lit)
        canvas.FillRect(CRect(rect.left + 1, rect.top, rect.right, rect.bottom), Manager::GetSelectColor());
    const CRect text = RowTextRect(index, rect);
    if (m_images && row.image >= 0) {
        CRect icon(text.left - m_itemHeight, rect.top, text.left, rect.bottom);
        m_images->DrawItemIcon(canvas, icon, row.image, lit ? 1 : 0);
    }
    Color color = lit ? kLitText : row.color.GetA() ? row.color : m_textColor;
    DrawRowText(canvas, index, text, color);
}

void MListBase::DescribeAccessible(AccessibleInfo& info) {
    MControlFont::DescribeAccessible(info);
    std::vector<std::wstring> names;
    for (int i = 0; i < GetItemCount(); ++i) names.push_back(GetItemText(i));
    DescribeChoices(info, AccessibleRole::List, names, m_sel);
}

}  // namespace Orvix
