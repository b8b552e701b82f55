#pragma once
// The horizontal bar of a container (child id 2), along its bottom edge.
#include "orvix/core/MScroll.h"

namespace Orvix {

class CScrollHorizontal : public MScroll {
  public:
    CScrollHorizontal(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr,
                      BOOL visible = TRUE, BOOL enabled = TRUE);
};

}  // namespace Orvix
