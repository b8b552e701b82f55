#pragma once
// The text layout every row of the device widgets uses: the control's font,
// one line, left-aligned, vertically centred, cut with an ellipsis.
#include "orvix/core/MControlFont.h"

namespace Orvix {

inline TextStyle RowTextStyle(const MControlFont& control) {
    TextStyle style = control.GetTextStyle(false);
    style.hAlign = 0;
    style.vAlign = 4;
    style.ellipsis = true;
    return style;
}

}  // namespace Orvix
