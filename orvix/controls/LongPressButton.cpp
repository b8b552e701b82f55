#include "orvix/controls/LongPressButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(LongPressButton)

LongPressButton::LongPressButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                                 BOOL enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

void LongPressButton::InitControl(PaintManager* manager) {
    MButton::InitControl(manager);
    AddMTimer();
    SetRunTimer(TRUE);
}

void LongPressButton::OnPressed() {
    m_lastRepeat = Platform::GetTickCount();
    MButton::OnPressed();
}

BOOL LongPressButton::OnControlTimer() {
    if (m_state != STATE_PRESSED) return FALSE;
    const uint64_t now = Platform::GetTickCount();
    if (now - m_lastRepeat < kRepeatMs) return FALSE;
    m_lastRepeat = now;
    SendMessageW(Notify::Repeated, 0, 0);
    return TRUE;
}

}  // namespace Orvix
