#include "orvix/widgets/HslColor.h"

#include <algorithm>
#include <cmath>

namespace Orvix {

namespace {
double Channel(double p, double q, double t) {
    t -= std::floor(t);  // wrapped into 0..1
    if (6 * t < 1) return p + (q - p) * 6 * t;
    if (2 * t < 1) return q;
    if (3 * t < 2) return p + (q - p) * (2.0 / 3.0 - t) * 6;
    return p;
}

BYTE ToByte(double v) {
    return BYTE(std::clamp(int(v * 255), 0, 255));
}
}  // namespace

COLORREF HSLToRGB(double h, double s, double l) {
    if (s == 0) {
        const BYTE grey = ToByte(l);
        return RGB(grey, grey, grey);
    }
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    return RGB(ToByte(Channel(p, q, h + 1.0 / 3.0)), ToByte(Channel(p, q, h)),
               ToByte(Channel(p, q, h - 1.0 / 3.0)));
}

Hsl RGBToHSL(COLORREF color) {
    const double r = GetRValue(color) / 255.0, g = GetGValue(color) / 255.0, b = GetBValue(color) / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b}), d = hi - lo;
    Hsl out;
    out.l = (hi + lo) / 2;
    if (d == 0) return out;
    out.s = out.l > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
    double h;
    if (hi == r)
        h = (g - b) / d + (g < b ? 6 : 0);
    else if (hi == g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    out.h = h / 6;
    return out;
}

}  // namespace Orvix
