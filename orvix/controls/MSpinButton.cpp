#include "orvix/controls/MSpinButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MSpinButton)

MSpinButton::MSpinButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                         BOOL enabled)
    : MPanel(parent, id, rect, title, visible, enabled),
      m_spin(new CSpinButton(this, id, rect, title, TRUE, enabled)) {
    AddChild(m_spin, 1);
}

void MSpinButton::InitControl(PaintManager* manager) {
    MPanel::InitControl(manager);
    m_spin->SetFont(m_fontName.c_str(), m_fontSize, m_fontStyle);
    m_spin->SetManager(manager);
}

void MSpinButton::SetControlRect(CRect rect) {
    MPanel::SetControlRect(rect);
    m_spin->SetRect(rect);
}

void MSpinButton::SetControlEnabled(BOOL enabled) {
    MPanel::SetControlEnabled(enabled);
    m_spin->SetEnabled(enabled);
}

void MSpinButton::SetTextColor(Color color) {
    MPanel::SetTextColor(color);
    m_spin->SetTextColor(color);
}

}  // namespace Orvix
