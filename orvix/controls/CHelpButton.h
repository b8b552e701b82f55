#pragma once
// A help mark: while the pointer is over it, its title (the help text) shows
// in the window's bubble at (its left edge + 20, its top edge), type 5 and
// mode 1; leaving it hides the bubble.
#include "orvix/controls/MButtonBase.h"

namespace Orvix {

class CHelpButton : public MButtonBase {
public:
    CHelpButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    // A screen reader says this name for every help mark (the program's word
    // for "help", set with each language) and reads the help text as its description.
    static void SetAccessibleHelpName(const std::wstring& name);
    void DescribeAccessible(AccessibleInfo& info) override;

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;
    void OnHoverChanged(BOOL hover) override;
};

}  // namespace Orvix
