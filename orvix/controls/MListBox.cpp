#include "orvix/controls/MListBox.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MListBox)

MListBox::MListBox(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MListBase(parent, id, rect, title, visible, enabled) {
    SetDblClk(TRUE);
}

BOOL MListBox::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    int row = RowAt(pt);
    if (GetEditItem() >= 0 && GetEditItem() != row) HideEdit();
    SetCurSel(row);
    SendMessageW(Notify::Pressed, WPARAM(m_sel), 0);
    return TRUE;
}

BOOL MListBox::OnControlLButtonDblClk(UINT, CPoint pt) {
    int row = RowAt(pt);
    return m_enabled && row >= 0 && ShowEdit(row);
}

BOOL MListBox::OnControlRButtonUp(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    SendMessageW(Notify::RightClicked, WPARAM(m_sel), 0);
    return TRUE;
}

}  // namespace Orvix
