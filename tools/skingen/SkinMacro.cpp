// The macro page's record button icons: a red dot to start recording and a
// square to stop it (4 looks: normal, hover, pressed, disabled).
#include "tools/skingen/SkinGen.h"

namespace SkinGen {
namespace {

using namespace Orvix;

const Color kRecordRed(0xFFFF4A5A);

Color LookColour(Color base, int state) {
    const int look = state & 3;
    if (look == 3) return kDisabled;
    if (look == 2) return Mix(base, Color(0xFF000000), 0.25);
    if (look == 1) return Mix(base, Color(0xFFFFFFFF), 0.25);
    return base;
}

void AddMacroImages(SkinList& images) {
    images.insert(images.end(), {
                                    {"icon/icon_rec.png", 4, 18, 18,
                                     [](Canvas& c, const CRect& r, int s) {
                                         c.SetAntialias(true);
                                         c.FillEllipse(Inset(r, 3), LookColour(kRecordRed, s));
                                     }},
                                    {"icon/icon_stop_rec.png", 4, 18, 18,
                                     [](Canvas& c, const CRect& r, int s) {
                                         c.SetAntialias(true);
                                         c.FillRoundRect(Inset(r, 4), 2, LookColour(kText, s));
                                     }},
                                });
}

const SkinRegistrar registrar(AddMacroImages);

}  // namespace
}  // namespace SkinGen
