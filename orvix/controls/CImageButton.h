#pragma once
// An image-only button: the state frame at its natural size at the control's
// top-left and an optional icon centred (2 pixels right, 4 up). With a bubble
// mode, hovering shows the title in the window's bubble at its right (mode 1)
// or left (mode 2) edge, vertically centred.
#include "orvix/core/MAirBladder.h"
#include "orvix/controls/MButton.h"

namespace Orvix {

class CImageButton : public MButton {
public:
    CImageButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                 BOOL enabled = TRUE);

    void SetAlrBladderMode(AIRBLADDER_MODE mode) { m_bubbleMode = mode; }
    AIRBLADDER_MODE GetAlrBladderMode() const { return m_bubbleMode; }

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;
    void OnHoverChanged(BOOL hover) override;

private:
    AIRBLADDER_MODE m_bubbleMode = AIRBLADDER_MODE_NONE;
};

}  // namespace Orvix
