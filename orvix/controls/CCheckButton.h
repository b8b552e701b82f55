#pragma once
// A check box: an 8-frame strip (the box) at the left, the title beside it.
// A click toggles it (code 2, lParam = the new check); its hot key, or Space
// while it has focus, toggles it with code 7.
#include "orvix/controls/MButtonBase.h"

namespace Orvix {

class CCheckButton : public MButtonBase {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    static constexpr int kTextGap = 8;

    CCheckButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                 BOOL enabled = TRUE);

    // Sets the check without notifying.
    virtual void SetCheck(BOOL check) { StoreCheck(check); }
    // A title longer than the control is wide goes on over several lines.
    void EnableMultiLine(BOOL multiLine);

  protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;
    void OnPressed() override {}
    void OnClicked() override;
    void OnKeyActivate() override;
    BOOL TakesSpaceKey() const override { return TRUE; }
    // The box-and-title look shared by the check-style controls: frame
    // `frame` of `strip` at its natural size at the left, the title beside it.
    void RenderBoxAndTitle(Canvas& canvas, const Image* strip, int frameWidth, int frameHeight, int frame,
                           int look, const CRect& slice);
    // The button look: the strip nine-sliced and the title centred.
    void RenderButtonLook(Canvas& canvas, int look, const CRect& slice);

  private:
    BOOL m_multiLine = FALSE;
};

}  // namespace Orvix
