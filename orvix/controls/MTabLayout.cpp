#include "orvix/controls/MTabLayout.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MTabLayout)

MTabLayout::MTabLayout(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MPanel(parent, id, rect, title, visible, enabled) {}

// Draw runs DrawControl then DrawSubControls: the clip spans both.
void MTabLayout::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (!m_clip.IsRectEmpty()) canvas.PushClip(m_clip);
    MPanel::DrawControl(canvas, rcPaint);
}

BOOL MTabLayout::DrawSubControls(Canvas& canvas, CRect rcPaint) {
    BOOL drawn = MPanel::DrawSubControls(canvas, rcPaint);
    if (!m_clip.IsRectEmpty()) canvas.PopClip();
    return drawn;
}

}  // namespace Orvix
