#include "orvix/controls/MButton3.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MButton3)

MButton3::MButton3(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButton(parent, id, rect, title, visible, enabled) {
    m_checkable = TRUE;
}

BOOL MButton3::SetCheck(BOOL check) {
    StoreCheck(check);
    return m_check;
}

void MButton3::OnClicked() {
    SetCheck(!m_check);
    SendMessageW(Notify::Clicked, 0, m_check);
}

}  // namespace Orvix
