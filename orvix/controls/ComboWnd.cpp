#include "orvix/controls/ComboWnd.h"

#include "orvix/controls/MComboBox.h"
#include "orvix/core/MScroll.h"

namespace Orvix {

void ComboWnd::InitUI(CRect client) {
    SetParent(m_combo);
    m_pm.SetBackColor(0x1A130C, 0x8E9C2A);
    if (!m_combo) return;
    CRect rect = client;
    rect.DeflateRect(1, MComboBox::kDropMargin);
    auto* list = static_cast<CComboBoxList*>(CreateControl(L"CComboBoxList", kListId, rect));
    if (!list) return;
    list->SetFont(m_combo->GetTextFont().c_str(), m_combo->GetFontWidth(), m_combo->GetFontStyle());
    UINT h = 0, v = 0;
    m_combo->GetAlignment(h, v);
    list->SetAlignment(h, v);
    list->SetTextColor(m_combo->GetTextColor());
    for (const ListRow& item : m_combo->GetItems())
        list->AddItem(item.text.c_str(), item.data, item.icon.c_str(), item.color);
    list->SetCurSel(m_combo->GetCurSel());
    // The list has the keyboard: arrows move along it, Enter chooses, Esc closes.
    SetFocusControl(list);
    list->SetKeyItem(list->GetInitialKeyItem());
    // The selected item starts in view.
    if (MScroll* bar = list->GetScrollVertical(); bar && m_combo->GetCurSel() >= MComboBox::kVisibleRows)
        bar->SetScrollCurrentPos(m_combo->GetCurSel() * CComboBoxList::kRowHeight);
}

LRESULT ComboWnd::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM) {
    if (id == kListId && code == Notify::Clicked && m_combo) {
        MComboBox* combo = m_combo;
        CloseWindow();
        combo->OnItemChosen(int(wParam));
    }
    return 0;
}

LRESULT ComboWnd::OnNcActivate(BOOL active) {
    // Only a press on the combo itself takes the activation away while the
    // pointer is over it: that press must not open the drop-down again. A
    // drop-down that ends by a choice or Esc leaves the next press alone.
    if (!active && !m_closing && m_combo && m_combo->IsCursorOver()) m_combo->IgnoreNextPress();
    return MPopupWnd::OnNcActivate(active);
}

LRESULT ComboWnd::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
    m_closing = true;
    return MPopupWnd::OnUserCloseWindow(wParam, lParam);
}

LRESULT ComboWnd::PostNcDestroy() {
    if (m_combo) m_combo->OnDropDownGone();
    return MPopupWnd::PostNcDestroy();
}

void ComboWnd::DescribeWindow(AccessibleInfo& info) {
    // The drop-down of a combo box: a window holding the list of choices.
    MPopupWnd::DescribeWindow(info);
    info.role = AccessibleRole::Window;
}

}  // namespace Orvix
