#include "orvix/controls/TextCheckButton.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(TextCheckButton)

TextCheckButton::TextCheckButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                                 BOOL enabled)
    : CCheckButton(parent, id, rect, title, visible, enabled) {}

}  // namespace Orvix
