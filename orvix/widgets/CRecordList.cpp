#include "orvix/widgets/CRecordList.h"

#include <algorithm>
#include <cmath>

#include "orvix/core/MScroll.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"
#include "orvix/widgets/RowText.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CRecordList)

namespace {
constexpr int kButtonMargin = 15;  // between the more button and the right edge
constexpr COLORREF kEditBack = 0x50533D;

// The delay typed into the edit: digits only, saturating, kept within the range.
int ParseDelay(const std::wstring& text) {
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        value = std::min<long long>(value * 10 + (c - L'0'), CRecordList::kMaxDelay);
    }
    return int(std::clamp<long long>(value, CRecordList::kMinDelay, CRecordList::kMaxDelay));
}
}  // namespace

CRecordList::CRecordList(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MPanel(parent, id, rect, title, visible, enabled), m_edit(*this) {
    SetDblClk(TRUE);
}

CRecordList::~CRecordList() = default;

// ---------------------------------------------------------------- rows

int CRecordList::AddString(const std::wstring& text, int type, int value, int delay) {
    return InsertString(-1, text, type, value, delay);
}

int CRecordList::InsertString(int index, const std::wstring& text, int type, int value, int delay) {
    if (index < 0 || index > GetItemCount()) index = GetItemCount();
    m_items.insert(m_items.begin() + index,
                   std::make_unique<RecordItem>(RecordItem{text, type, value, delay, {}}));
    for (int* i : {&m_sel, &m_hover})
        if (*i >= index) ++*i;
    RowsChanged(true);
    return index;
}

template <typename Pred>
int CRecordList::RemoveRows(Pred drop) {
    const RecordItem* sel = IsValid(m_sel) ? m_items[size_t(m_sel)].get() : nullptr;
    const RecordItem* hover = IsValid(m_hover) ? m_items[size_t(m_hover)].get() : nullptr;
    if (m_editItem && drop(*m_editItem)) {
        m_editItem = nullptr;  // its row is gone: nothing to store
        m_edit.Close();
    }
    const size_t before = m_items.size();
    std::erase_if(m_items, [&](const std::unique_ptr<RecordItem>& item) {
        if (!drop(*item)) return false;
        if (item.get() == sel) sel = nullptr;
        if (item.get() == hover) hover = nullptr;
        return true;
    });
    m_sel = IndexOf(sel);
    m_hover = IndexOf(hover);
    RowsChanged(false);
    return int(before - m_items.size());
}

BOOL CRecordList::DeleteItem(int index) {
    if (!IsValid(index)) return FALSE;
    m_hover = m_sel = -1;
    const RecordItem* doomed = m_items[size_t(index)].get();
    RemoveRows([doomed](const RecordItem& item) { return &item == doomed; });
    return TRUE;
}

int CRecordList::DeleteAllItems() {
    RemoveRows([](const RecordItem&) { return true; });
    if (MScroll* bar = GetScrollVertical()) bar->SetScrollCurrentPos(0);
    return 1;
}

void CRecordList::DeleteTimeStamp(int delay) {
    RemoveRows([delay](const RecordItem& item) { return item.delay == delay; });
}

int CRecordList::GetEventCount() const {
    return int(
        std::count_if(m_items.begin(), m_items.end(), [](const auto& item) { return item->type != 1; }));
}

BOOL CRecordList::SetCurSel(int index) {
    if (index < -1 || index >= GetItemCount()) return FALSE;
    if (index != m_sel) {
        m_sel = index;
        UpdateControl(TRUE);
    }
    return TRUE;
}

bool CRecordList::UpdateDelayTime(int delay) {
    if (m_items.empty()) return false;
    m_items.back()->delay = delay;
    UpdateControl(TRUE);
    return true;
}

void CRecordList::UpdateTimeStamp(int type, int value, int delay) {
    const int press = type == 3 ? 2 : type == 5 ? 4 : -1;
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        RecordItem& item = **it;
        if (item.type == type && item.value == value) {
            item.delay = delay;
        } else if (press >= 0 && item.type == press && item.value == value) {
            item.delay = delay;
            break;
        }
    }
    UpdateControl(TRUE);
}

void CRecordList::MoveTop(int index) {
    if (!IsValid(index)) return;
    std::rotate(m_items.begin(), m_items.begin() + index, m_items.begin() + index + 1);
    m_hover = -1;
    m_sel = 0;
}

void CRecordList::MoveBottom(int index) {
    if (!IsValid(index)) return;
    std::rotate(m_items.begin() + index, m_items.begin() + index + 1, m_items.end());
    m_hover = -1;
    m_sel = GetItemCount() - 1;
}

void CRecordList::SwapItem(int a, int b) {
    if (a == b || !IsValid(a) || !IsValid(b)) return;
    std::swap(m_items[size_t(a)], m_items[size_t(b)]);
}

std::vector<RecordItem*> CRecordList::GetRecordItems() const {
    std::vector<RecordItem*> rows;
    rows.reserve(m_items.size());
    for (const auto& item : m_items) rows.push_back(item.get());
    return rows;
}

BOOL CRecordList::GetRecordInfo(int index, std::wstring& text, int& type, int& value, int& delay) const {
    if (!IsValid(index)) return FALSE;
    const RecordItem& item = *m_items[size_t(index)];
    text = item.text, type = item.type, value = item.value, delay = item.delay;
    return TRUE;
}

void CRecordList::SetRecordInfo(int index, const std::wstring& text, int type, int value, int delay) {
    if (!IsValid(index)) return;
    RecordItem& item = *m_items[size_t(index)];
    item.text = text, item.type = type, item.value = value, item.delay = delay;
    UpdateControl(TRUE);
}

void CRecordList::SetRecordInfo(int delay, int type, const std::wstring& text, int value) {
    for (auto& item : m_items)
        if (item->delay == delay && item->type == type) item->text = text, item->value = value;
    UpdateControl(TRUE);
}

int CRecordList::GetRecrodTimeStamp(int index) const {
    return IsValid(index) ? m_items[size_t(index)]->delay : 0;
}

void CRecordList::SetTimeStampSelect(int delay) {
    m_selTimeStamp = delay;
    UpdateControl(TRUE);
}

int CRecordList::IndexOf(const RecordItem* item) const {
    for (size_t i = 0; item && i < m_items.size(); ++i)
        if (m_items[i].get() == item) return int(i);
    return -1;
}

void CRecordList::RowsChanged(bool scrollToEnd) {
    UpdateScrollBars();
    MScroll* bar = GetScrollVertical();
    if (scrollToEnd && bar) bar->SetScrollFinalPos();
    UpdateControl(TRUE);
}

// ---------------------------------------------------------------- geometry

void CRecordList::SetItemHeight(int height) {
    if (height <= 0) return;
    m_itemHeight = height;
    RowsChanged(false);
}

void CRecordList::SetScaleValue(float scale) {
    if (scale <= 0) return;
    m_scale = scale;
    RowsChanged(false);
}

int CRecordList::GetRowHeight() const {
    return std::max(1, int(std::lround(m_itemHeight * m_scale)));
}

CSize CRecordList::MeasureContent() const {
    return {m_rect.Width(), GetItemCount() * GetRowHeight()};
}

CRect CRecordList::GetItemRect(int index) const {
    if (!IsValid(index)) return {};
    const MScroll* bar = GetScrollVertical();
    const int right = m_rect.right - (bar && bar->IsVisible() ? bar->GetRect().Width() : 0);
    const int top = m_rect.top + index * GetRowHeight();
    return CRect(m_rect.left, top, right, top + GetRowHeight());
}

CRect CRecordList::GetMoreRect(int index) const {
    if (!IsValid(index) || !m_moreImage.IsLoaded()) return {};
    return m_moreImage.PlaceAt(m_rect.right - m_moreImage.GetFrameSize().cx - kButtonMargin,
                               GetItemRect(index));
}

CRect CRecordList::GetIconRect(int index) const {
    if (!IsValid(index) || !m_image) return {};
    const CRect row = GetItemRect(index);
    const int x = m_rect.left + int(70 * m_scale), y = row.top + (row.Height() - m_frameHeight) / 2;
    return CRect(x, y, x + m_frameWidth, y + m_frameHeight);
}

BOOL CRecordList::SetItemImage(const wchar_t* file, int count) {
    if (!m_itemImage.Load(m_manager, file, count)) return FALSE;
    UpdateControl(TRUE);
    return TRUE;
}

BOOL CRecordList::SetMoreImage(const wchar_t* file, int count) {
    if (!m_moreImage.Load(m_manager, file, count)) return FALSE;
    UpdateControl(TRUE);
    return TRUE;
}

// ---------------------------------------------------------------- delay edit

BOOL CRecordList::ShowEdit() {
    if (!m_enabled || !IsValid(m_sel) || !m_manager) return FALSE;
    if (m_editItem == m_items[size_t(m_sel)].get() && m_edit.IsOpen()) return TRUE;
    HideEdit();  // the owner may change the rows when it hears code 29
    if (!IsValid(m_sel)) return FALSE;
    RecordItem* item = m_items[size_t(m_sel)].get();
    const CRect row = GetItemRect(m_sel);
    const int height = m_fontSize + 6, top = row.top + (row.Height() - height) / 2;
    const int left = row.left + int(220 * m_scale);
    MEditBox* box = m_edit.Box();
    box->SetBackColor(kEditBack);
    box->SetTextColor(Color(0xFFFFFFFF));
    box->SetNumberOnly(TRUE);
    m_editItem = item;
    m_edit.Open(CRect(left, top, left + 100, top + height), std::to_wstring(item->delay), 0);
    if (m_manager->GetFocusControl() != this) m_manager->SetFocusControl(this);
    SendMessageW(Notify::EditOpened, 0, 0);
    UpdateControl(TRUE);
    return TRUE;
}

void CRecordList::HideEdit() {
    RecordItem* item = m_editItem;
    if (!item) return;
    m_editItem = nullptr;
    const int delay = ParseDelay(m_edit.TextOr(std::to_wstring(item->delay)));
    m_edit.Close();
    if (delay != item->delay) {
        item->delay = delay;
        SendMessageW(Notify::EditEnded, 0, LPARAM(IndexOf(item)));
    }
    UpdateControl(TRUE);
}

int CRecordList::GetEditItem() const {
    return IndexOf(m_editItem);
}

std::wstring CRecordList::GetEditText() const {
    return m_edit.IsOpen() ? m_edit.Peek()->GetText() : std::wstring();
}

void CRecordList::SetEditText(const std::wstring& text) {
    if (MEditBox* box = m_edit.Peek()) box->SetText(text);
}

LRESULT CRecordList::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    if (m_edit.Relay(id, code, [this] { HideEdit(); })) return 0;
    return MPanel::OnMessage(id, code, wParam, lParam);
}

LRESULT CRecordList::SetControlFocus(BOOL focus) {
    MPanel::SetControlFocus(focus);
    if (!focus) HideEdit();
    return 0;
}

// ---------------------------------------------------------------- input

CRect CRecordList::GetKeyItemRect(int index) {
    CRect r = GetItemRect(index);
    r.OffsetRect(0, -GetScrollOffset().y);
    return r;
}

int CRecordList::RowAt(CPoint pt) const {
    if (!m_enabled || !m_rect.PtInRect(pt)) return -1;
    const CPoint content(pt.x, pt.y + GetScrollOffset().y);
    if (IsValid(m_hover) && GetItemRect(m_hover).PtInRect(content)) return m_hover;
    const int first = std::max(0, (content.y - m_rect.top) / GetRowHeight());
    for (int i = first; i < GetItemCount(); ++i) {
        const CRect row = GetItemRect(i);
        if (row.PtInRect(content)) return i;
        if (row.top > content.y) break;
    }
    return -1;
}

BOOL CRecordList::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int hover = RowAt(pt);
    if (hover != m_hover) {
        m_hover = hover;
        UpdateControl(TRUE);
    }
    return m_rect.PtInRect(pt);
}

BOOL CRecordList::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    m_hover = RowAt(pt);
    m_sel = m_hover;
    m_selTimeStamp = IsValid(m_sel) ? m_items[size_t(m_sel)]->delay : -1;
    HideEdit();
    SendMessageW(Notify::Pressed, WPARAM(m_sel), 0);
    UpdateControl(TRUE);
    return TRUE;
}

BOOL CRecordList::OnControlLButtonUp(UINT, CPoint pt) {
    const int row = RowAt(pt);
    if (row < 0) return FALSE;
    SetCurSel(row);
    const CPoint content(pt.x, pt.y + GetScrollOffset().y);
    SendMessageW(GetMoreRect(row).PtInRect(content) ? Notify::PartClicked : Notify::Clicked, 0, 0);
    return TRUE;
}

BOOL CRecordList::OnControlLButtonDblClk(UINT, CPoint pt) {
    const int row = RowAt(pt);
    if (row < 0) return FALSE;
    SetCurSel(row);
    ShowEdit();
    return TRUE;
}

BOOL CRecordList::OnControlRButtonUp(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    m_hover = RowAt(pt);
    SetCurSel(m_hover);
    if (m_hover >= 0) SendMessageW(Notify::RightClicked, WPARAM(m_hover), 0);
    return TRUE;
}

// ---------------------------------------------------------------- drawing

void CRecordList::DrawControl(Canvas& canvas, CRect rcPaint) {
    const CRect visible = m_rect & rcPaint;
    if (visible.IsRectEmpty() || m_items.empty()) return;
    TextStyle style = RowTextStyle(*this);
    const int offset = GetScrollOffset().y;
    canvas.PushClip(m_rect);
    for (int i = offset / GetRowHeight(); i < GetItemCount(); ++i) {
        m_items[size_t(i)]->rect = GetItemRect(i);
        CRect row = m_items[size_t(i)]->rect;
        row.OffsetRect(0, -offset);
        if (row.top >= m_rect.bottom) break;
        if (row.Intersects(visible)) DrawRow(canvas, i, row, style);
    }
    canvas.PopClip();
}

void CRecordList::DrawRow(Canvas& canvas, int index, const CRect& row, const TextStyle& style) {
    const RecordItem& item = *m_items[size_t(index)];
    const bool edited = &item == m_editItem;
    const bool lit = index == m_sel || index == m_hover;
    m_itemImage.Draw(canvas, CRect(row.left, row.top, row.right, row.bottom - 1), lit || edited ? 1 : 0);
    const int dy = row.top - item.rect.top;  // content to window
    if (m_image && m_frameWidth > 0) {
        const bool highlighted = index == m_sel || item.delay == m_selTimeStamp;
        const int frame = (item.type >= 4 && item.type <= 12 ? 2 : 0) + (highlighted ? 1 : 0);
        CRect icon = GetIconRect(index);
        icon.OffsetRect(0, dy);
        canvas.DrawImage(*m_image, icon, GetFrameRect(std::min(frame, m_frameCount - 1)));
    }
    if (m_moreImage.IsLoaded()) {
        CRect more = GetMoreRect(index);
        m_moreImage.Draw(canvas, CRect(more.left, more.top + dy, more.right, more.bottom + dy), lit ? 2 : 0);
    }
    if (style.family.empty()) return;
    auto text = [&](const std::wstring& s, int x, int width) {
        canvas.DrawText(s, CRect(row.left + x, row.top, row.left + x + width, row.bottom), m_textColor,
                        style);
    };
    text(std::to_wstring(index + 1), 15, 50);
    text(item.text, int(130 * m_scale), 90);
    if (!edited) text(std::to_wstring(item.delay), int(220 * m_scale), 100);
}

}  // namespace Orvix
