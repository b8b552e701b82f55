#include "orvix/controls/CCheckButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CCheckButton)

CCheckButton::CCheckButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {
    m_checkable = TRUE;
    m_vAlign = 4;
}

void CCheckButton::OnClicked() {
    StoreCheck(!m_check);
    SendMessageW(Notify::Clicked, 0, m_check);
}

void CCheckButton::OnKeyActivate() {
    StoreCheck(!m_check);
    SendMessageW(Notify::KeyToggled, 0, m_check);
}

void CCheckButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    RenderBoxAndTitle(canvas, m_image, m_frameWidth, m_frameHeight, FrameForLook(look), look, slice);
}

void CCheckButton::RenderBoxAndTitle(Canvas& canvas, const Image* strip, int frameWidth, int frameHeight, int frame,
                                     int look, const CRect& slice) {
    int textLeft = slice.left;
    if (strip) {
        const int y = slice.top + (slice.Height() - frameHeight) / 2;
        canvas.DrawImage(*strip, CRect(slice.left, y, slice.left + frameWidth, y + frameHeight),
                         CRect(frame * frameWidth, 0, (frame + 1) * frameWidth, frameHeight));
        textLeft += frameWidth + kTextGap;
    }
    // A check label keeps its own colour when checked; only disabling greys it.
    const Color color = (look & 3) == STATE_DISABLED ? TextColorFor(STATE_DISABLED)
                        : m_stateColors                ? m_colors[look & 3]
                                                       : m_textColor;
    DrawTitleText(canvas, m_title, CRect(textLeft, slice.top, slice.right, slice.bottom), color, m_multiLine);
}

void CCheckButton::EnableMultiLine(BOOL multiLine) {
    if (m_multiLine == multiLine) return;
    m_multiLine = multiLine;
    UpdateControl(TRUE);
}

void CCheckButton::RenderButtonLook(Canvas& canvas, int look, const CRect& slice) {
    DrawLookFrame(canvas, slice, look);
    TextStyle style = GetTextStyle();
    style.hAlign = 1;
    if (!style.family.empty()) canvas.DrawText(m_title, slice, TextColorFor(look), style);
}

void CCheckButton::DescribeAccessible(AccessibleInfo& info) {
    MButtonBase::DescribeAccessible(info);
    info.role = AccessibleRole::CheckBox;
    info.action = L"toggle";
    info.checkable = true;
    info.checked = GetCheck();
    info.pressed = false;
}

}  // namespace Orvix
