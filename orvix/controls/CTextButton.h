#pragma once
// A text-only button (a link): the title in a colour per state, underlined
// while hovered. Code 1 on press, code 2 on click.
#include "orvix/controls/MButtonBase.h"

namespace Orvix {

class CTextButton : public MButtonBase {
public:
    CTextButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;
};

}  // namespace Orvix
