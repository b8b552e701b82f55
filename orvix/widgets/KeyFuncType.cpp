#include "orvix/widgets/KeyFuncType.h"

#include <algorithm>

#include "orvix/core/MScroll.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/TextFit.h"
#include "orvix/widgets/RowText.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(KeyFuncType)

namespace {
constexpr int kIconLeft = 10;
const Color kPlainText(0xFFFFFFFF);
// The chosen row keeps the accent colour with a band of it behind; a row under
// the pointer only brightens, so the two never look alike.
const Color kHoverBand(0x14FFFFFF);
const Color kHoverText(0xFFFFFFFF);
}  // namespace

KeyFuncType::KeyFuncType(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MPanel(parent, id, rect, title, visible, enabled) {}

void KeyFuncType::AddItem(const std::wstring& text, int data, const std::wstring& iconPath) {
    KeyFuncItem item{text, data, nullptr, 0, 0, CRect()};
    if (!iconPath.empty()) {
        // Owners name icons with Windows separators ("icon\\keytype_1.png").
        std::wstring file = iconPath;
        std::replace(file.begin(), file.end(), L'\\', L'/');
        item.icon = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    }
    if (item.icon) {
        item.iconWidth = item.icon->GetWidth() / 2;
        item.iconHeight = item.icon->GetHeight();
    }
    m_items.push_back(std::move(item));
    UpdateScrollBars();
}

void KeyFuncType::ClearList() {
    m_items.clear();
    m_hover = m_sel = -1;
    UpdateScrollBars();
    if (MScroll* bar = GetScrollVertical()) bar->SetScrollCurrentPos(0);
    UpdateControl(TRUE);
}

void KeyFuncType::SetCurData(int data) {
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_items[size_t(i)].data == data) {
            m_sel = i;
            break;
        }
    UpdateControl(TRUE);
}

void KeyFuncType::SetSelectItem(int index) {
    if (index == m_sel) return;
    m_sel = index;
    UpdateControl(TRUE);
}

BOOL KeyFuncType::SetItemText(int index, const std::wstring& text) {
    if (!IsValid(index)) return FALSE;
    m_items[size_t(index)].text = text;
    return TRUE;
}

std::wstring KeyFuncType::GetItemText(int index) const {
    return IsValid(index) ? m_items[size_t(index)].text : std::wstring();
}

CRect KeyFuncType::GetRowRect(int index) const {
    const MScroll* bar = GetScrollVertical();
    const int right = m_rect.right - (bar && bar->IsVisible() ? bar->GetRect().Width() : 0);
    const int top = m_rect.top + index * m_rowHeight;
    return CRect(m_rect.left, top, right, top + m_rowHeight);
}

CSize KeyFuncType::MeasureContent() const {
    return {m_rect.Width(), GetItemCount() * m_rowHeight};
}

CRect KeyFuncType::GetTextRect(int index) const {
    const CRect row = GetRowRect(index);
    return CRect(row.left + kIconLeft + m_textLeft, row.top, row.right, row.bottom);
}

void KeyFuncType::UpdateRowTooltip() {
    if (!IsValid(m_hover)) {
        HideElidedTextTooltip(*this);
        return;
    }
    const int offset = GetScrollOffset().y;
    CRect text = GetTextRect(m_hover), row = GetRowRect(m_hover);
    text.OffsetRect(0, -offset);
    row.OffsetRect(0, -offset);
    ShowElidedTextTooltip(*this, m_items[size_t(m_hover)].text, text, RowTextStyle(*this), row);
}

CRect KeyFuncType::GetKeyItemRect(int index) {
    if (!IsValid(index)) return {};
    CRect r = GetRowRect(index);
    r.OffsetRect(0, -GetScrollOffset().y);
    return r;
}

int KeyFuncType::RowAt(CPoint pt) const {
    if (!m_rect.PtInRect(pt)) return -1;
    const CPoint content(pt.x, pt.y + GetScrollOffset().y);
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetRowRect(i).PtInRect(content)) return i;
    return -1;
}

BOOL KeyFuncType::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (!m_rect.PtInRect(pt)) {
        if (m_cursor == CursorKind::Hand) {
            SetCursorEx(L"arrow");
            Platform::SetCursor(m_cursor);
        }
        if (m_hover != -1) {
            m_hover = -1;
            UpdateRowTooltip();
            UpdateControl(TRUE);
        }
        return FALSE;
    }
    const int hover = RowAt(pt);
    SetCursorEx(hover >= 0 ? L"hand" : L"arrow");
    Platform::SetCursor(m_cursor);
    if (hover != m_hover) {
        m_hover = hover;
        UpdateRowTooltip();
        UpdateControl(TRUE);
    }
    return TRUE;
}

BOOL KeyFuncType::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int row = RowAt(pt);
    if (row < 0) return FALSE;
    if (row != m_sel) {
        m_sel = row;
        UpdateControl(TRUE);
    }
    return TRUE;
}

BOOL KeyFuncType::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled || RowAt(pt) < 0) return FALSE;
    SendMessageW(Notify::Clicked, 0, LPARAM(m_sel));
    return TRUE;
}

void KeyFuncType::DrawControl(Canvas& canvas, CRect rcPaint) {
    const CRect visible = m_rect & rcPaint;
    if (visible.IsRectEmpty() || m_items.empty()) return;
    TextStyle style = RowTextStyle(*this);
    const Color accent = Manager::GetSelectColor();
    const int offset = GetScrollOffset().y;
    canvas.PushClip(m_rect);
    for (int i = offset / m_rowHeight; i < GetItemCount(); ++i) {
        KeyFuncItem& item = m_items[size_t(i)];
        item.rect = GetRowRect(i);
        CRect row = item.rect;
        row.OffsetRect(0, -offset);
        if (row.top >= m_rect.bottom) break;
        if (!row.Intersects(visible)) continue;
        const bool selected = i == m_sel, lit = selected || i == m_hover;
        if (selected)
            canvas.FillRect(row, Color(0x30, accent.GetR(), accent.GetG(), accent.GetB()));
        else if (lit)
            canvas.FillRect(row, kHoverBand);
        const int x = row.left + kIconLeft;
        if (m_drawIcons && item.icon) {
            const int y = row.top + (row.Height() - item.iconHeight) / 2;
            const int frame = lit ? 1 : 0;
            canvas.DrawImage(*item.icon, CRect(x, y, x + item.iconWidth, y + item.iconHeight),
                             CRect(frame * item.iconWidth, 0, (frame + 1) * item.iconWidth, item.iconHeight));
        }
        if (style.family.empty()) continue;
        const CRect text(x + m_textLeft, row.top, row.right, row.bottom);
        TextFit::Check(*this, item.text, text, style, true);
        canvas.DrawText(item.text, text, selected ? accent : lit ? kHoverText : kPlainText, style);
    }
    canvas.PopClip();
}

void KeyFuncType::DescribeAccessible(AccessibleInfo& info) {
    MControl::DescribeAccessible(info);
    std::vector<std::wstring> names;
    for (int i = 0; i < GetItemCount(); ++i) names.push_back(GetItemText(i));
    DescribeChoices(info, AccessibleRole::List, names, m_sel);
}

}  // namespace Orvix
