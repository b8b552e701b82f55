#include "orvix/controls/CTabCtrl1.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CTabCtrl1)

CTabCtrl1::CTabCtrl1(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_hAlign = 1;
    m_vAlign = 4;
}

void CTabCtrl1::Layout() {
    int y = m_rect.top;
    for (Item& item : m_items) {
        item.rect = CRect(m_rect.left, y, m_rect.right, y + kItemHeight);
        y += kItemHeight;
    }
    UpdateControl(TRUE);
}

void CTabCtrl1::SetControlRect(CRect rect) {
    MControlFont::SetControlRect(rect);
    Layout();
}

int CTabCtrl1::AddItem(const std::wstring& text, int data, MControl* page) {
    m_items.push_back({text, data, page, CRect()});
    Layout();
    return GetItemCount() - 1;
}

void CTabCtrl1::ClearList() {
    m_items.clear();
    m_select = m_hover = -1;
    UpdateControl(TRUE);
}

BOOL CTabCtrl1::SetItemText(int index, const std::wstring& text) {
    if (index < 0 || index >= GetItemCount()) return FALSE;
    m_items[size_t(index)].text = text;
    UpdateControl(TRUE);
    return TRUE;
}

int CTabCtrl1::GetItemData(int index) const {
    return index >= 0 && index < GetItemCount() ? m_items[size_t(index)].data : 0;
}

CRect CTabCtrl1::GetItemRect(int index) const {
    return index >= 0 && index < GetItemCount() ? m_items[size_t(index)].rect : CRect();
}

void CTabCtrl1::SetSelectItem(int index) {
    if (index == m_select || index < 0 || index >= GetItemCount()) return;
    m_select = index;
    MControl* shown = m_items[size_t(index)].page;
    for (const Item& item : m_items)
        if (item.page && item.page != shown) item.page->SetVisible(FALSE);
    if (shown) shown->SetVisible(TRUE);
    UpdateControl(TRUE);
}

int CTabCtrl1::Hit(CPoint pt) const {
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_items[size_t(i)].rect.PtInRect(pt) && m_rect.PtInRect(pt)) return i;
    return -1;
}

BOOL CTabCtrl1::OnControlMouseMove(UINT, CPoint pt) {
    const int hover = Hit(pt);
    if (hover != m_hover) {
        if (hover >= 0 || m_hover >= 0) Platform::SetCursor(hover >= 0 ? CursorKind::Hand : CursorKind::Arrow);
        m_hover = hover;
        UpdateControl(TRUE);
    }
    return hover >= 0;
}

BOOL CTabCtrl1::OnControlLButtonUp(UINT, CPoint pt) {
    if (m_hover < 0 || Hit(pt) != m_hover) return FALSE;
    SetSelectItem(m_hover);
    SendMessageW(Notify::Clicked, 0, LPARAM(m_select));
    return TRUE;
}

void CTabCtrl1::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        for (int i = 0; i < GetItemCount(); ++i) {
            CRect r = m_items[size_t(i)].rect;
            r.OffsetRect(slice.left - m_rect.left, slice.top - m_rect.top);
            const bool lit = i == m_hover || i == m_select;
            if (lit && m_image) {
                const CRect src = GetFrameRect(std::min(i == m_select ? 2 : 1, m_frameCount - 1));
                MRender::DrawImageFrame(cache, *m_image, r, src.left, 0, src.Width(), src.Height(), 8);
            }
            DrawTitleText(cache, m_items[size_t(i)].text, r, lit ? Manager::GetSelectColor() : m_textColor);
        }
    });
}

}  // namespace Orvix
