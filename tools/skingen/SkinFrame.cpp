// The main window's frame: the logo of the caption bar, the profile button's
// arrow and the application icon (window and notification area).
#include "tools/skingen/SkinGen.h"

namespace SkinGen {
namespace {

using namespace Orvix;

// The mark: a "V" cut from a rounded square.
void Mark(Canvas& c, const CRect& r) {
    const int w = r.Width();
    const int radius = std::max(2, w / 5);
    c.FillRoundRect(r, radius, kPanelHi);
    c.DrawRoundRect(r, radius, kAccentDim, std::max(1, w / 32));
    const int m = w / 5;
    const std::vector<CPoint> v = {
        {r.left + m, r.top + m},           {r.left + m + w / 6, r.top + m},
        {r.left + w / 2, r.bottom - m - w / 5}, {r.right - m - w / 6, r.top + m},
        {r.right - m, r.top + m},          {r.left + w / 2, r.bottom - m},
    };
    c.FillPolygon(v, kAccent);
}

void AddFrameImages(SkinList& images) {
    images.insert(images.end(), {
        {"logo/logo.png", 1, 30, 30, [](Canvas& c, const CRect& r, int) { Mark(c, Inset(r, 1)); }},
        {"icon/icon_arrow_up.png", 4, 16, 16,
         [](Canvas& c, const CRect& r, int s) {
             const int look = s & 3;
            Arrow(c, Inset(r, 3), look == 3 ? kDisabled : look == 2 ? kAccentDim : look == 1 ? kAccent : kText, 0);
         }},
        {"icon/app_icon.png", 1, 128, 128, [](Canvas& c, const CRect& r, int) { Mark(c, Inset(r, 4)); }},
    });
}

const SkinRegistrar registrar(AddFrameImages);

}  // namespace
}  // namespace SkinGen
