#include "orvix/controls/CTextButton.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/Manager.h"
#include "orvix/core/TextFit.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CTextButton)

CTextButton::CTextButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {
    m_vAlign = 4;
}

void CTextButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    TextStyle style = GetTextStyle();
    if (style.family.empty()) return;
    Color color = TextColorFor(look);
    // Without colours of its own a link lights up in the accent colour.
    if (!m_stateColors && (look == STATE_HOVER || look == STATE_PRESSED)) color = Manager::GetSelectColor();
    if (look == STATE_HOVER) style.style |= 4;
    TextFit::Check(*this, m_title, slice, style);
    canvas.DrawText(m_title, slice, color, style);
}

}  // namespace Orvix
