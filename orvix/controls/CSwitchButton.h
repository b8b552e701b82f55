#pragma once
// An on/off switch drawn from two 4-frame strips (on and off) at the left, the
// title beside it. A click inside after a press inside flips it and sends
// code 2 with lParam = the new check.
#include "orvix/controls/CCheckButton.h"

namespace Orvix {

class CSwitchButton : public CCheckButton {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    CSwitchButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                  BOOL enabled = TRUE);

    using CCheckButton::SetImage;
    BOOL SetImage(const wchar_t* onFile, const wchar_t* offFile, int count = 4);

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;

private:
    ImgResInfo* m_on = nullptr;   // both owned by the window's image cache
    ImgResInfo* m_off = nullptr;
};

}  // namespace Orvix
