#pragma once
// A button with an icon rect and a text rect (both relative to the control),
// over an optional nine-sliced skin strip; text colours per state.
#include <string>

#include "orvix/controls/MButton.h"

namespace Orvix {

class CIconButton : public MButton {
public:
    CIconButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    using MButton::SetTextRect;
    void SetTextRect(CRect text, CRect icon);

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;

private:
    CRect m_iconRect;
    std::wstring m_elidedTooltip;  // the tooltip set for a cut title
};

}  // namespace Orvix
