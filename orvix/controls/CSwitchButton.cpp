#include "orvix/controls/CSwitchButton.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CSwitchButton)

CSwitchButton::CSwitchButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                             BOOL enabled)
    : CCheckButton(parent, id, rect, title, visible, enabled) {}

BOOL CSwitchButton::SetImage(const wchar_t* onFile, const wchar_t* offFile, int count) {
    if (!m_manager || !onFile || !offFile) return FALSE;
    ImgResInfo* on = m_manager->AddImgResInfo(onFile, count);
    ImgResInfo* off = m_manager->AddImgResInfo(offFile, count);
    if (!on || !off) return FALSE;
    m_on = on;
    m_off = off;
    UpdateControl(TRUE);
    return TRUE;
}

void CSwitchButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    const ImgResInfo* strip = look >= STATE_CHECKED ? m_on : m_off;
    if (!strip) {
        RenderBoxAndTitle(canvas, nullptr, 0, 0, 0, look, slice);
        return;
    }
    const int frame = std::min(look & 3, strip->count - 1);
    RenderBoxAndTitle(canvas, strip->image.get(), strip->frameWidth, strip->height, frame, look, slice);
}

void CSwitchButton::DescribeAccessible(AccessibleInfo& info) {
    CCheckButton::DescribeAccessible(info);
    info.role = AccessibleRole::ToggleButton;
    info.pressed = GetCheck();
}

}  // namespace Orvix
