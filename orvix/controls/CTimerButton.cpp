#include "orvix/controls/CTimerButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CTimerButton)

CTimerButton::CTimerButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

BOOL CTimerButton::SetRun(BOOL run, UINT elapseMs) {
    if (run) {
        m_ticks = 0;
        KillTimer(kTimerKey);
        if (!SetTimer(kTimerKey, elapseMs)) return FALSE;
    } else {
        KillTimer(kTimerKey);
    }
    m_run = run ? TRUE : FALSE;
    UpdateControl(TRUE);
    return TRUE;
}

BOOL CTimerButton::OnControlTimer() {
    if (!m_run) return FALSE;
    ++m_ticks;
    UpdateControl(TRUE);
    SendMessageW(Notify::Clicked, m_ticks, 0);
    return TRUE;
}

void CTimerButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    if (!m_run) {
        MButton::RenderLook(canvas, look, slice);
        return;
    }
    // Running, the resting look alternates with the hover look on each tick,
    // and a red mark leads the title.
    DrawLookFrame(canvas, slice, look == STATE_NORMAL && m_ticks % 2 == 1 ? STATE_HOVER : look);
    const int d = std::min(10, slice.Height() / 3);
    const int x = slice.left + m_frameSize + 2, y = slice.top + (slice.Height() - d) / 2;
    canvas.FillEllipse(CRect(x, y, x + d, y + d), Color(m_ticks % 2 ? 0xFFFF5A5A : 0xFFC03030));
    DrawTitleText(canvas, m_title, CRect(x + d + 2, slice.top, slice.right - m_frameSize, slice.bottom),
                  TextColorFor(look));
}

}  // namespace Orvix
