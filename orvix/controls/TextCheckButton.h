#pragma once
// A check button drawn as text (over an optional skin strip): the title
// centred, in the checked colour while checked. Codes 2 and 7 as a check box.
#include "orvix/controls/CCheckButton.h"

namespace Orvix {

class TextCheckButton : public CCheckButton {
public:
    TextCheckButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                    BOOL enabled = TRUE);

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override { RenderButtonLook(canvas, look, slice); }
};

}  // namespace Orvix
