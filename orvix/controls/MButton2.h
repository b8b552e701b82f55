#pragma once
// A push button that stays checked: clicking it checks it and unchecks the
// other MButton2 of its group under the same parent (code 2, lParam 1).
#include "orvix/controls/MButton.h"
#include "orvix/controls/MGroupCheck.h"

namespace Orvix {

class MButton2 : public MButton, public MGroupCheck {
public:
    MButton2(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"MButton2"; }
    // Checking resets the rest of the group.
    void SetCheck(BOOL check);
    void SetControlCheck(BOOL check) override { StoreCheck(check); }
    BOOL OnFocusKey(UINT vk, UINT modifiers) override {
        return (modifiers == 0 && MoveInGroup(this, vk)) || MButton::OnFocusKey(vk, modifiers);
    }
    void ResetGroupCheck() { MGroupCheck::ResetGroupCheck(this); }

protected:
    void OnClicked() override;
};

}  // namespace Orvix
