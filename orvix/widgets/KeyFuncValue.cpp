#include "orvix/widgets/KeyFuncValue.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(KeyFuncValue)

KeyFuncValue::KeyFuncValue(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : KeyFuncType(parent, id, rect, title, visible, enabled) {
    m_rowHeight = 30;
    m_drawIcons = false;
    m_textLeft = 10;
}

}  // namespace Orvix
