#include "orvix/controls/DListBox.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(DListBox)

DListBox::DListBox(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MListBase(parent, id, rect, title, visible, enabled) {
    SetDblClk(TRUE);
}

BOOL DListBox::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    int row = RowAt(pt);
    if (row < 0) return FALSE;
    if (GetEditItem() >= 0 && GetEditItem() != row) HideEdit();
    SetCurSel(row);
    return TRUE;
}

BOOL DListBox::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    int row = RowAt(pt);
    if (row < 0) return FALSE;
    SetCurSel(row);
    SendMessageW(Notify::Clicked, 0, 0);
    return TRUE;
}

BOOL DListBox::OnControlLButtonDblClk(UINT, CPoint pt) {
    int row = RowAt(pt);
    return m_enabled && row >= 0 && SetCurSel(row);
}

BOOL DListBox::OnControlRButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    int row = RowAt(pt);
    if (row < 0) return FALSE;
    SetCurSel(row);
    ShowEdit(row);
    return TRUE;
}

BOOL DListBox::OnControlRButtonUp(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    SetCurSel(m_hover);
    SendMessageW(Notify::RightClicked, WPARAM(m_sel), 0);
    return TRUE;
}

}  // namespace Orvix
