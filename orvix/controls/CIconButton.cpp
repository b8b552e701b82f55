#include "orvix/controls/CIconButton.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/TextFit.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CIconButton)

CIconButton::CIconButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButton(parent, id, rect, title, visible, enabled) {
    m_hAlign = 0;
}

void CIconButton::SetTextRect(CRect text, CRect icon) {
    m_iconRect = icon;
    MButton::SetTextRect(text);
}

void CIconButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    DrawLookFrame(canvas, slice, look);
    if (m_icon) {
        const CRect box = m_iconRect.IsRectEmpty() ? CRect(0, 0, m_iconWidth, slice.Height())
                                                   : m_iconRect;
        const CRect at = InSlice(box, slice);
        DrawIcon(canvas, at.left + (at.Width() - m_iconWidth) / 2, at.top + (at.Height() - m_iconHeight) / 2, look);
    }
    const CRect text = m_textRect.IsRectEmpty() ? slice : InSlice(m_textRect, slice);
    // A title longer than its room (a profile's name) ends in an ellipsis and
    // shows whole as the tooltip.
    TextStyle style = GetTextStyle();
    if (style.family.empty()) return;
    style.ellipsis = true;
    KeepElidedTooltip(*this, MeasureTextFit(m_title, text, style).elided, m_title, m_elidedTooltip);
    TextFit::Check(*this, m_title, text, style, true);
    canvas.DrawText(m_title, text, TextColorFor(look), style);
}

}  // namespace Orvix
