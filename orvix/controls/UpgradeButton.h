#pragma once
// A button whose look follows an upgrade status: 0 nothing new, 1 an upgrade
// is available (a badge at the top right), 2 upgrading (held in its pressed
// look and not clickable).
#include "orvix/controls/MButton.h"

namespace Orvix {

class UpgradeButton : public MButton {
public:
    enum Status { UPGRADE_NONE = 0, UPGRADE_AVAILABLE = 1, UPGRADE_RUNNING = 2 };

    UpgradeButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                  BOOL enabled = TRUE);

    void SetUpgradeStatus(int status);
    int GetUpgradeStatus() const { return m_status; }

    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;

private:
    int m_status = UPGRADE_NONE;
};

}  // namespace Orvix
