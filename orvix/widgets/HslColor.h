#pragma once
// Hue/saturation/lightness conversions shared by the colour pickers. Colours
// are COLORREF (red in the low byte); h, s and l run from 0 to 1.
#include "orvix/platform/WinTypes.h"

namespace Orvix {

struct Hsl {
    double h = 0;
    double s = 0;
    double l = 0;
};

// Channels are truncated (int(value x 255)), so lightness 0.5 gives 127.
COLORREF HSLToRGB(double h, double s, double l);
Hsl RGBToHSL(COLORREF color);

}  // namespace Orvix
