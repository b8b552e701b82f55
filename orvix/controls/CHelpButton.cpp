#include "orvix/controls/CHelpButton.h"

#include "orvix/core/MAirBladder.h"
#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CHelpButton)

CHelpButton::CHelpButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {}

void CHelpButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    DrawLookFrameAt(canvas, slice.left + (slice.Width() - m_frameWidth) / 2,
                    slice.top + (slice.Height() - m_frameHeight) / 2, look);
}

void CHelpButton::OnHoverChanged(BOOL hover) {
    if (hover) ShowTitleBubble(CPoint(m_rect.left + 20, m_rect.top), AIRBLADDER_TYPE_HELP, AIRBLADDER_MODE_RIGHT);
    else HideTitleBubble(AIRBLADDER_MODE_RIGHT);
}

namespace {
std::wstring& HelpName() {
    static std::wstring* name = new std::wstring(L"?");
    return *name;
}
}  // namespace

void CHelpButton::SetAccessibleHelpName(const std::wstring& name) {
    HelpName() = name;
    AccessibilityNoteChange();
}

void CHelpButton::DescribeAccessible(AccessibleInfo& info) {
    MButtonBase::DescribeAccessible(info);
    info.name = GetAccessibleName().empty() ? HelpName() : GetAccessibleName();
    info.description = GetTitle();
}

}  // namespace Orvix
