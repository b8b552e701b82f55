#include "orvix/core/MText.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/TextFit.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MText)

MText::MText(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL)
    : MControlFont(parent, id, rect, title, visible, FALSE) {}

void MText::EnableMultiLine(BOOL multiLine) {
    if (bool(multiLine) == bool(m_multiLine)) return;
    m_multiLine = multiLine;
    UpdateControl(TRUE);
}

void MText::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_title.empty()) return;
    if (m_multiLine) {
        // Multi-line text is not clipped to the rect, so it is drawn over what lies
        // there, not through the render cache.
        const TextStyle style = GetTextStyle(true);
        if (style.family.empty()) return;
        TextFit::Check(*this, m_title, m_rect, style);
        m_wrapped.Draw(canvas, m_title, m_rect, m_textColor, style);
        return;
    }
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& local) {
        DrawTitleText(cache, m_title, local, m_textColor, false);
    });
}

void MText::DescribeAccessible(AccessibleInfo& info) {
    info.role = AccessibleRole::Label;
    info.name = GetAccessibleName().empty() ? GetTitle() : GetAccessibleName();
    info.description = GetTooltip();
    info.expose = !info.name.empty();
}

}  // namespace Orvix
