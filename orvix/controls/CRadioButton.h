#pragma once
// A radio button: looks like a check box (its own 8-frame strip); a click or
// its keyboard check (code 7) checks it and unchecks the other radio buttons
// of its group under the same parent.
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/MGroupCheck.h"

namespace Orvix {

class CRadioButton : public CCheckButton, public MGroupCheck {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    CRadioButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                 BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CRadioButton"; }
    // Checking resets the rest of the group; no notification.
    void SetCheck(BOOL check) override;
    void SetControlCheck(BOOL check) override { StoreCheck(check); }
    // Arrows move the check along the group, as on a desktop's radio groups.
    BOOL OnFocusKey(UINT vk, UINT modifiers) override {
        return (modifiers == 0 && MoveInGroup(this, vk)) || CCheckButton::OnFocusKey(vk, modifiers);
    }
    void ResetGroupCheck() { MGroupCheck::ResetGroupCheck(this); }

protected:
    void OnClicked() override;
    void OnKeyActivate() override;
};

}  // namespace Orvix
