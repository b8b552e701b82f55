#include "orvix/controls/CRadioButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CRadioButton)

CRadioButton::CRadioButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : CCheckButton(parent, id, rect, title, visible, enabled) {}

void CRadioButton::SetCheck(BOOL check) {
    StoreCheck(check);
    if (check) ResetGroupCheck();
}

void CRadioButton::OnClicked() {
    SetCheck(TRUE);
    SendMessageW(Notify::Clicked, 0, TRUE);
}

void CRadioButton::OnKeyActivate() {
    SetCheck(TRUE);
    SendMessageW(Notify::KeyToggled, 0, TRUE);
}

void CRadioButton::DescribeAccessible(AccessibleInfo& info) {
    CCheckButton::DescribeAccessible(info);
    info.role = AccessibleRole::RadioButton;
    info.action = L"click";
}

}  // namespace Orvix
