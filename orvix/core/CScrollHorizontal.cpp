#include "orvix/core/CScrollHorizontal.h"

namespace Orvix {

CScrollHorizontal::CScrollHorizontal(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                                     BOOL enabled)
    : MScroll(parent, id, rect, title, visible, enabled, false) {}

}  // namespace Orvix
