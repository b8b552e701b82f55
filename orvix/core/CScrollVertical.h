#pragma once
// The vertical bar of a container (child id 1), along its right edge.
#include "orvix/core/MScroll.h"

namespace Orvix {

class CScrollVertical : public MScroll {
  public:
    CScrollVertical(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                    BOOL enabled = TRUE);
};

}  // namespace Orvix
