#include "orvix/controls/UpgradeButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(UpgradeButton)

UpgradeButton::UpgradeButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                             BOOL enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

void UpgradeButton::SetUpgradeStatus(int status) {
    if (status == m_status) return;
    m_status = status;
    UpdateControl(TRUE);
}

BOOL UpgradeButton::OnControlLButtonDown(UINT flags, CPoint pt) {
    return m_status == UPGRADE_RUNNING ? TRUE : MButton::OnControlLButtonDown(flags, pt);
}

BOOL UpgradeButton::OnControlLButtonUp(UINT flags, CPoint pt) {
    return m_status == UPGRADE_RUNNING ? TRUE : MButton::OnControlLButtonUp(flags, pt);
}

void UpgradeButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    if (m_status == UPGRADE_RUNNING && (look & 3) != STATE_DISABLED) look = STATE_PRESSED;
    MButton::RenderLook(canvas, look, slice);
    if (m_status != UPGRADE_AVAILABLE || (look & 3) == STATE_DISABLED) return;
    const int d = 8;
    canvas.FillEllipse(CRect(slice.right - d - 4, slice.top + 4, slice.right - 4, slice.top + 4 + d), Color(0xFFFF4D4D));
}

}  // namespace Orvix
