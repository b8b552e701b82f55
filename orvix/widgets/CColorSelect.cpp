#include "orvix/widgets/CColorSelect.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CColorSelect)

CColorSelect::CColorSelect(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                           BOOL enabled)
    : CColorPalette(parent, id, rect, title, visible, enabled,
                    {0x0000FF, 0xFF00F0, 0xFF0C00, 0xFCFF00, 0x06FF00, 0x00DEFF, 0x0048FF, 0xFFFFFF}, 26, 12,
                    true) {}

}  // namespace Orvix
