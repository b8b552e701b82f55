#pragma once
// A group-exclusive select button: behaves as a radio button, looks like a
// push button whose checked frames show the selection.
#include "orvix/controls/CRadioButton.h"

namespace Orvix {

class CSelectButton : public CRadioButton {
public:
    CSelectButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                  BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CSelectButton"; }

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override { RenderButtonLook(canvas, look, slice); }
};

}  // namespace Orvix
