#pragma once
// A button that runs a timer: while running, each tick sends code 2 (wParam =
// the ticks since it started) and the button pulses between its normal and
// hover frames with a red mark at its left, e.g. for a recording in progress.
#include "orvix/controls/MButton.h"

namespace Orvix {

class CTimerButton : public MButton {
public:
    static constexpr UINT kTimerKey = 1;

    CTimerButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                 BOOL enabled = TRUE);

    // Starts (or stops) the ticks, every `elapseMs` milliseconds.
    BOOL SetRun(BOOL run, UINT elapseMs = 1000);
    BOOL IsRun() const { return m_run; }
    BOOL OnControlTimer() override;

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;

private:
    BOOL m_run = FALSE;
    UINT m_ticks = 0;
};

}  // namespace Orvix
