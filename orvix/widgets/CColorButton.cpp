#include "orvix/widgets/CColorButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CColorButton)

CColorButton::CColorButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                           BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {
    m_checkable = TRUE;
}

void CColorButton::SetColor(COLORREF color) {
    if (color == m_color) return;
    m_color = color;
    UpdateControl(TRUE);
}

BOOL CColorButton::SetCheck(BOOL check) {
    if (!m_enabled) return m_check;
    if (StoreCheck(check) && m_check) ResetGroupCheck();
    return m_check;
}

void CColorButton::SetVisibleBorder(bool visible) {
    if (visible == m_border) return;
    m_border = visible;
    UpdateControl(TRUE);
}

void CColorButton::CheckByUser() {
    StoreCheck(TRUE);
    ResetGroupCheck();
}

void CColorButton::OnPressed() {
    CheckByUser();
    SendMessageW(Notify::Pressed, 0, 0);
}

void CColorButton::RenderLook(Canvas& canvas, int look, const CRect& rect) {
    // A checked button shows the pressed look whatever its state.
    const int state = look >= STATE_CHECKED ? STATE_PRESSED : look;
    canvas.FillRect(rect, Color::FromCOLORREF(m_color));
    if (state == STATE_HOVER || state == STATE_PRESSED)
        canvas.DrawRect(rect, Color(0xFFFFFFFF), 2);
    else if (state == STATE_DISABLED)
        canvas.DrawRect(rect, Color(0xFF808080), 2);
    else if (m_border)
        canvas.DrawRect(rect, Color(0x50FFFFFF), 1);
}

}  // namespace Orvix
