// Images of the device widgets: the DPI slider's thumb, the battery gauge and
// charging mark, the device list's background and mode mark, the light
// slider, the colour ring and the palettes' thumbs.
#include <algorithm>
#include <cmath>

#include "orvix/widgets/HslColor.h"
#include "tools/skingen/SkinGen.h"

namespace SkinGen {
namespace {

using namespace Orvix;

constexpr double kPi = 3.14159265358979;
const Color kCharge(0xFF3BE07A);

// A downward pointer with a lit edge: the DPI slider's thumb on its scale.
void DpiThumb(Canvas& c, const CRect& r, int) {
    const int mid = r.CenterPoint().x;
    c.FillPolygon(
        {{r.left, r.top}, {r.right, r.top}, {r.right, r.top + 6}, {mid, r.bottom}, {r.left, r.top + 6}},
        kAccent);
    c.FillPolygon({{r.left + 3, r.top + 2},
                   {r.right - 3, r.top + 2},
                   {r.right - 3, r.top + 5},
                   {mid, r.bottom - 4},
                   {r.left + 3, r.top + 5}},
                  Color(0xFFDFFFFA));
}

// The gauge's outline: a rounded body with room for five segments, and a tip.
void BatteryOutline(Canvas& c, const CRect& r, int) {
    const CRect body(r.left, r.top + 1, r.right - 4, r.bottom - 1);
    c.DrawRoundRect(body, 4, Color(0xFFB8C4CE), 2);
    c.FillRoundRect(CRect(body.right, r.top + 6, r.right, r.bottom - 6), 1, Color(0xFFB8C4CE));
}

// The colour source of the segments: a lit green band where segments show.
void BatteryLevel(Canvas& c, const CRect& r, int) {
    c.FillGradient(CRect(r.left, r.top + 5, r.right, r.bottom - 5), Color(0xFF6CF29A), Color(0xFF23B45A),
                   true);
}

void ChargeMark(Canvas& c, const CRect& r, int) {
    const int x = r.left, y = r.top;
    c.FillPolygon({{x + 7, y + 1},
                   {x + 1, y + 11},
                   {x + 5, y + 11},
                   {x + 4, y + 19},
                   {x + 11, y + 8},
                   {x + 7, y + 8},
                   {x + 9, y + 1}},
                  kCharge);
}

void DeviceArea(Canvas& c, const CRect& r, int) {
    c.FillGradient(r, Color(0xFF0D1620), Color(0xFF080D13), true);
    c.DrawRoundRect(r, 8, Color(0xFF1C2A38));
}

// The wireless mark beside the mode box: a dot and two arcs.
void ModeMark(Canvas& c, const CRect& r, int) {
    const CPoint m(r.CenterPoint().x, r.bottom - 5);
    c.FillEllipse(CRect(m.x - 2, m.y - 2, m.x + 3, m.y + 3), kAccent);
    for (int radius : {7, 12})
        c.DrawArc(CRect(m.x - radius, m.y - radius, m.x + radius, m.y + radius), 225, 90, kAccent, 2);
}

void LightTrack(Canvas& c, const CRect& r, int) {
    c.FillRoundRect(r, r.Height() / 2, Color(0xFF1B2836));
    c.DrawRoundRect(r, r.Height() / 2, Color(0xFF2A3B4E));
}

// A light knob: the value is written on it, so it stays light in every state.
void LightThumb(Canvas& c, const CRect& r, int state) {
    const CRect knob = Inset(r, 3);
    if (state == 1 || state == 2) c.FillEllipse(Inset(r, 0), Color(0x5549FFE6));
    c.FillEllipse(knob, state == 3 ? Color(0xFF5C6875) : state == 2 ? Color(0xFFCFFFF8) : kText);
    c.DrawEllipse(knob, state == 3 ? Color(0xFF3A4450) : kAccent, 2);
}

// The hue ring of the colour picker: hues round the centre (red to the right,
// clockwise), brighter towards the outer edge.
void ColorRing(Canvas& c, const CRect& r, int) {
    const CPoint m = r.CenterPoint() - r.TopLeft();
    ForEachPixel(c, r, [&](double x, double y, double size, uint32_t& px) {
        const double d = std::hypot(x - m.x + size / 2, y - m.y + size / 2);
        if (d < 63 || d > 116) return;
        double hue = std::atan2(y - m.y, x - m.x) / (2 * kPi);
        if (hue < 0) hue += 1;
        const double t = (d - 64) / 51.0;
        const COLORREF rgb = HSLToRGB(hue, 1.0, 0.42 + 0.16 * t);
        // Soft edges: coverage fades over the outermost pixel.
        const double cover = std::clamp(std::min(d - 63, 116 - d) / size, 0.0, 1.0);
        const BYTE a = BYTE(255 * cover);
        const auto pre = [a](BYTE v) { return uint32_t(v * a / 255); };
        px = uint32_t(a) << 24 | pre(GetRValue(rgb)) << 16 | pre(GetGValue(rgb)) << 8 | pre(GetBValue(rgb));
    });
}

void PaletteThumb(Canvas& c, const CRect& r, int state) {
    const Color line = state == 3 ? kDisabled : state == 1 ? kAccent : Color(0xFFFFFFFF);
    c.DrawEllipse(Inset(r, 1), Color(0xC0000000), 3);
    c.DrawEllipse(Inset(r, 2), line, state == 2 ? 3 : 2);
}

void HueThumb(Canvas& c, const CRect& r, int) {
    c.FillRoundRect(Inset(r, 1), 3, Color(0x30FFFFFF));
    c.DrawRoundRect(Inset(r, 1), 3, Color(0xFFFFFFFF), 2);
}

// The mark on a chosen palette cell: a white ring with a tick.
void ColorCheck(Canvas& c, const CRect& r, int) {
    c.DrawEllipse(Inset(r, 1), Color(0xFFFFFFFF), 2);
    const CPoint m = r.CenterPoint();
    c.DrawLine(CPoint(m.x - 5, m.y), CPoint(m.x - 1, m.y + 4), Color(0xFFFFFFFF), 2);
    c.DrawLine(CPoint(m.x - 1, m.y + 4), CPoint(m.x + 6, m.y - 4), Color(0xFFFFFFFF), 2);
}

void AddWidgetImages(SkinList& images) {
    images.insert(images.end(), {
                                    {"img_dpi_bar.png", 1, 16, 13, DpiThumb},
                                    {"icon/icon_battery_bkg.png", 1, 50, 20, BatteryOutline},
                                    {"icon/icon_batteryvalue.png", 1, 40, 20, BatteryLevel},
                                    {"icon/icon_charge.png", 1, 12, 20, ChargeMark},
                                    {"area_device.png", 1, 64, 64, DeviceArea},
                                    {"device_mode.png", 1, 24, 20, ModeMark},
                                    {"img_light_slider_bk.png", 1, 24, 8, LightTrack},
                                    {"img_light_slider_thumb.png", 4, 30, 30, LightThumb},
                                    {"img_color_ring.png", 1, 240, 240, ColorRing},
                                    {"img_palette_thumb.png", 4, 14, 14, PaletteThumb},
                                    {"img_palette_bar_thumb.png", 1, 10, 28, HueThumb},
                                    {"img_color_check.png", 1, 32, 32, ColorCheck},
                                });
}

const SkinRegistrar registrar(AddWidgetImages);

}  // namespace
}  // namespace SkinGen
