#include "orvix/controls/CSelectButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CSelectButton)

CSelectButton::CSelectButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                             BOOL enabled)
    : CRadioButton(parent, id, rect, title, visible, enabled) {}

}  // namespace Orvix
