#include "orvix/core/CScrollVertical.h"

namespace Orvix {

CScrollVertical::CScrollVertical(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                                 BOOL enabled)
    : MScroll(parent, id, rect, title, visible, enabled, true) {}

}  // namespace Orvix
