#include "orvix/controls/MButton2.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MButton2)

MButton2::MButton2(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButton(parent, id, rect, title, visible, enabled) {
    m_checkable = TRUE;
}

void MButton2::SetCheck(BOOL check) {
    StoreCheck(check);
    if (check) ResetGroupCheck();
}

void MButton2::OnClicked() {
    SetCheck(TRUE);
    SendMessageW(Notify::Clicked, 0, TRUE);
}

}  // namespace Orvix
