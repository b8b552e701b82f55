#pragma once
// A toggle button: each click flips its check (code 2, lParam = the new
// check); checked, it shows the checked frames of its strip.
#include "orvix/controls/MButton.h"

namespace Orvix {

class MButton3 : public MButton {
public:
    MButton3(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);

    BOOL SetCheck(BOOL check);

protected:
    void OnClicked() override;
};

}  // namespace Orvix
