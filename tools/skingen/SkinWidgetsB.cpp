// Images of the button map, the function lists, the macro and record lists,
// and the top-view pictures of the shipped mice.
//
// The mouse pictures are 300 x 420 and must match the label anchors of
// data/device/*.xml (the picture stands at (130, 0) of the button map):
// left button (105, 90), right button (195, 90), wheel (150, 130), top button
// (150, 175), DPI button (150, 215; 150, 185 on the V6), side buttons
// (62, 240) and (62, 285), thumb button (70, 330).
#include <algorithm>
#include <cmath>

#include "tools/skingen/SkinGen.h"

namespace SkinGen {
namespace {

using namespace Orvix;

const Color kGlyph(0xFF9AA7B4);

Color GlyphColor(int state) {
    return state ? kAccent : kGlyph;
}

// ---------------------------------------------------------------- function type icons

void RestoreGlyph(Canvas& c, const CRect& r, Color col) {
    c.DrawArc(Inset(r, 5), -60, 290, col, 2);
    const CPoint tip(r.right - 7, r.top + 6);
    c.FillPolygon({tip + CPoint(-5, -1), tip + CPoint(2, -2), tip + CPoint(1, 5)}, col);
}

void MouseGlyph(Canvas& c, const CRect& r, Color col) {
    const CRect body(r.left + 7, r.top + 3, r.right - 7, r.bottom - 3);
    c.DrawRoundRect(body, 5, col, 2);
    c.DrawLine(CPoint(body.CenterPoint().x, body.top + 1), CPoint(body.CenterPoint().x, body.top + 8), col,
               2);
    c.DrawLine(CPoint(body.left + 1, body.top + 8), CPoint(body.right - 1, body.top + 8), col, 1);
}

void KeyboardGlyph(Canvas& c, const CRect& r, Color col) {
    const CRect board(r.left + 2, r.top + 6, r.right - 2, r.bottom - 6);
    c.DrawRoundRect(board, 2, col, 2);
    for (int row = 0; row < 2; ++row)
        for (int k = 0; k < 4; ++k)
            c.FillRect(CRect(board.left + 4 + k * 4, board.top + 3 + row * 3, board.left + 6 + k * 4,
                             board.top + 5 + row * 3),
                       col);
    c.FillRect(CRect(board.left + 6, board.bottom - 4, board.right - 6, board.bottom - 2), col);
}

void MacroGlyph(Canvas& c, const CRect& r, Color col) {
    for (int i = 0; i < 3; ++i)
        c.FillRect(CRect(r.left + 3, r.top + 5 + i * 6, r.left + 12, r.top + 7 + i * 6), col);
    c.FillPolygon(
        {CPoint(r.left + 14, r.top + 8), CPoint(r.right - 2, r.top + 13), CPoint(r.left + 14, r.top + 18)},
        col);
}

void MediaGlyph(Canvas& c, const CRect& r, Color col) {
    c.FillEllipse(CRect(r.left + 4, r.bottom - 9, r.left + 11, r.bottom - 3), col);
    c.FillEllipse(CRect(r.left + 13, r.bottom - 11, r.left + 20, r.bottom - 5), col);
    c.DrawLine(CPoint(r.left + 10, r.bottom - 6), CPoint(r.left + 10, r.top + 5), col, 2);
    c.DrawLine(CPoint(r.left + 19, r.bottom - 8), CPoint(r.left + 19, r.top + 3), col, 2);
    c.DrawLine(CPoint(r.left + 10, r.top + 5), CPoint(r.left + 19, r.top + 3), col, 3);
}

void ShortcutGlyph(Canvas& c, const CRect& r, Color col) {
    for (int i = 0; i < 4; ++i) {
        const int x = r.left + 4 + (i % 2) * 9, y = r.top + 4 + (i / 2) * 9;
        c.FillRoundRect(CRect(x, y, x + 7, y + 7), 1, col);
    }
}

void DisabledGlyph(Canvas& c, const CRect& r, Color col) {
    const CRect ring = Inset(r, 4);
    c.DrawEllipse(ring, col, 2);
    c.DrawLine(CPoint(ring.left + 3, ring.bottom - 4), CPoint(ring.right - 4, ring.top + 3), col, 2);
}

void LaunchGlyph(Canvas& c, const CRect& r, Color col) {
    c.DrawRoundRect(CRect(r.left + 3, r.top + 6, r.right - 6, r.bottom - 3), 2, col, 2);
    c.DrawLine(CPoint(r.left + 10, r.bottom - 10), CPoint(r.right - 3, r.top + 3), col, 2);
    c.FillPolygon(
        {CPoint(r.right - 10, r.top + 2), CPoint(r.right - 2, r.top + 2), CPoint(r.right - 2, r.top + 10)},
        col);
}

void WebGlyph(Canvas& c, const CRect& r, Color col) {
    const CRect globe = Inset(r, 3);
    c.DrawEllipse(globe, col, 2);
    c.DrawEllipse(CRect(globe.CenterPoint().x - 4, globe.top, globe.CenterPoint().x + 4, globe.bottom), col,
                  1);
    c.DrawLine(CPoint(globe.left + 1, globe.CenterPoint().y), CPoint(globe.right - 1, globe.CenterPoint().y),
               col);
}

void TextGlyph(Canvas& c, const CRect& r, Color col) {
    c.FillRect(CRect(r.left + 4, r.top + 4, r.right - 4, r.top + 7), col);
    c.FillRect(CRect(r.left + 10, r.top + 4, r.left + 14, r.bottom - 4), col);
    c.FillRect(CRect(r.left + 7, r.bottom - 5, r.left + 17, r.bottom - 3), col);
}

using Glyph = void (*)(Canvas&, const CRect&, Color);

SkinImage TypeIcon(const char* name, Glyph glyph) {
    return {name, 2, 24, 24, [glyph](Canvas& c, const CRect& r, int s) {
                if (s) c.FillRoundRect(r, 5, Color(0x2249FFE6));
                glyph(c, r, GlyphColor(s));
            }};
}

// ---------------------------------------------------------------- list rows and labels

void LabelBox(Canvas& c, const CRect& r, int state) {
    if (state) {
        c.FillRoundRect(r, 6, kAccent);
        c.DrawRoundRect(r, 6, Color(0xFFB8FFF6));
    } else {
        c.FillRoundRect(r, 6, Color(0xE6111A24));
        c.DrawRoundRect(r, 6, Color(0xFF2E4254));
    }
}

void RecordRow(Canvas& c, const CRect& r, int state) {
    c.FillRect(r, state ? Mix(kPanel, kAccent, 0.16) : Color(0xFF0C141D));
    c.FillRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), state ? kAccentDim : Color(0xFF18232F));
}

void MacroRow(Canvas& c, const CRect& r, int state) {
    const CRect box(r.left, r.top + 2, r.right, r.bottom - 2);
    c.FillRoundRect(box, 5, state ? Mix(kPanel, kAccent, 0.2) : Color(0xFF101925));
    c.DrawRoundRect(box, 5, state ? kAccent : Color(0xFF1E2C3A));
}

// Frames 0/1: a key (types below 4 or above 12), 2/3: a mouse button (4 to 12).
void RecordIcon(Canvas& c, const CRect& r, int state) {
    const Color col = state & 1 ? kAccent : kGlyph;
    if (state < 2) {
        const CRect key = Inset(r, 2);
        c.DrawRoundRect(key, 3, col, 2);
        c.FillRect(CRect(key.left + 4, key.bottom - 6, key.right - 4, key.bottom - 4), col);
    } else {
        MouseGlyph(c, CRect(r.left - 2, r.top, r.right + 2, r.bottom), col);
    }
}

// ---------------------------------------------------------------- mouse pictures

struct MouseModel {
    Color shell;    // the body's base colour
    Color buttons;  // the main buttons'
    Color accent;   // lights and trims
    bool lighting;  // the V8's light strip and top button
    int dpiY;       // where the DPI button sits
};

double Smooth(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Half the body's width at height y (0 outside it): a Catmull-Rom curve
// through the outline, narrow at the front, widest under the palm.
double HalfWidth(double y) {
    static const double kProfile[][2] = {{14, 0},    {16, 20},  {20, 31},  {28, 42},  {42, 55},   {70, 69},
                                         {110, 81},  {160, 89}, {205, 92}, {245, 96}, {290, 103}, {330, 105},
                                         {362, 100}, {386, 86}, {400, 62}, {407, 34}, {409, 0}};
    constexpr int n = int(std::size(kProfile));
    if (y <= kProfile[0][0] || y >= kProfile[n - 1][0]) return 0;
    int i = 0;
    while (y > kProfile[i + 1][0]) ++i;
    auto at = [&](int k) { return kProfile[std::clamp(k, 0, n - 1)][1]; };
    const double t = (y - kProfile[i][0]) / (kProfile[i + 1][0] - kProfile[i][0]);
    const double p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    const double w = 0.5 * (2 * p1 + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t +
                            (-p0 + 3 * p1 - 3 * p2 + p3) * t * t * t);
    return std::max(0.0, w);
}

constexpr double kCentre = 150;
constexpr double kTop = 14, kBottom = 409;

// The central strip between the main buttons (wheel, top and DPI buttons).
double StripHalfWidth(double y) {
    return 17 * Smooth(92, 104, y) * (1 - Smooth(228, 246, y));
}

// Where the main buttons end, at horizontal offset dx from the centre line.
double ButtonSeam(double dx) {
    return 198 + 40 * (1 - std::min(1.0, (dx / 96) * (dx / 96)));
}

// Dome height over the body, 0 at the silhouette; highest under the palm.
double Height(double x, double y) {
    const double hw = HalfWidth(y);
    if (hw <= 0) return 0;
    const double u = std::min(1.0, std::abs(x - kCentre) / hw);
    const double v = (y - kTop) / (kBottom - kTop);
    return 78 * std::pow(1 - u * u, 0.55) * (0.32 + 0.68 * std::exp(-std::pow((v - 0.64) / 0.42, 2)));
}

Color Shade(Color base, double light, double spec) {
    auto ch = [&](int c) { return BYTE(std::clamp(c * light + 255 * spec, 0.0, 255.0)); };
    return Color(255, ch(base.GetR()), ch(base.GetG()), ch(base.GetB()));
}

// Writes one pixel over what is there (colours unpremultiplied, alpha 0..1).
void Blend(uint32_t& px, Color col, double alpha) {
    if (alpha <= 0) return;
    const double a = std::min(1.0, alpha), keep = 1 - a;
    auto mix = [&](int shift, int src) {
        return uint32_t(std::lround(((px >> shift) & 0xFF) * keep + src * a));
    };
    px = (mix(24, 255) << 24) | (mix(16, col.GetR()) << 16) | (mix(8, col.GetG()) << 8) | mix(0, col.GetB());
}

// Share of the pixel at (x, y), `size` wide, inside the body, from 4 x 4 samples.
double Coverage(double x, double y, double size, double grow = 0) {
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
            const double px = x + size * (sx + 0.5) / 4, py = y + size * (sy + 0.5) / 4;
            inside += std::abs(px - kCentre) < HalfWidth(py) + grow ? 1 : 0;
        }
    return inside / 16.0;
}

void ShadeBody(Canvas& c, const CRect& r, const MouseModel& m) {
    // A soft shadow below and to the right, then the shaded shell.
    ForEachPixel(c, r, [](double x, double y, double, uint32_t& pixel) {
        const double hw = HalfWidth(y - 7.0);
        if (hw <= 0) return;
        const double d = std::abs(x - 3 - kCentre) - hw;
        if (d < 10) Blend(pixel, Color(0xFF000000), 0.5 * Smooth(10, -6, d));
    });
    const double lx = -0.45, ly = -0.62, lz = 0.64;  // light from the front left, above
    const double hx = lx, hy = ly, hz = lz + 1, hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    ForEachPixel(c, r, [&](double x, double y, double size, uint32_t& pixel) {
            const double cover = Coverage(x, y, size);
            if (cover <= 0) return;
            const double px = x + size / 2, py = y + size / 2, dx = std::abs(px - kCentre);
            double nx = -(Height(px + 1, py) - Height(px - 1, py)) / 2;
            double ny = -(Height(px, py + 1) - Height(px, py - 1)) / 2;
            const double nl = std::sqrt(nx * nx + ny * ny + 1);
            nx /= nl, ny /= nl;
            const double nz = 1 / nl;
            const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
            const double spec = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), 60);
            const bool strip = dx < StripHalfWidth(py) && py < 250;
            const bool button = !strip && py < ButtonSeam(dx);
            const Color base = strip ? Mix(m.shell, Color(0xFF000000), 0.35) : button ? m.buttons : m.shell;
            Color col = Shade(base, 0.45 + 0.95 * diffuse, (button ? 0.22 : 0.12) * spec);
            // A faint rim of the accent along the right and back edges.
            const double hw = HalfWidth(py);
            const double rim =
                hw > 0 ? Smooth(0.86, 1.0, dx / hw) * Smooth(0.3, 1, (px - kCentre) / hw + py / 420) : 0;
            col = Mix(col, m.accent, 0.18 * rim);
            Blend(pixel, col, cover);
    });
}

// Embossed seam: a dark groove with a lighter lip just below it.
void Seam(Canvas& c, const std::vector<CPoint>& points) {
    for (size_t i = 1; i < points.size(); ++i) {
        c.DrawLine(points[i - 1] + CPoint(0, 1), points[i] + CPoint(0, 1), Color(0x30FFFFFF), 1);
        c.DrawLine(points[i - 1], points[i], Color(0xD0050709), 2);
    }
}

void Seams(Canvas& c, const CRect& r) {
    const CPoint o = r.TopLeft();
    auto at = [&](double x, double y) { return o + CPoint(int(std::lround(x)), int(std::lround(y))); };
    Seam(c, {at(kCentre, kTop + 8), at(kCentre, 96)});  // between the main buttons
    for (int side : {-1, 1}) {
        std::vector<CPoint> edge, back;
        for (double y = 94; y <= 246; y += 4) edge.push_back(at(kCentre + side * StripHalfWidth(y), y));
        Seam(c, edge);
        const double seamEnd = 17;
        for (double dx = seamEnd; dx <= HalfWidth(ButtonSeam(dx)) - 2; dx += 3)
            back.push_back(at(kCentre + side * dx, ButtonSeam(dx)));
        Seam(c, back);
    }
}

void Wheel(Canvas& c, const CRect& r, const MouseModel& m) {
    const int cx = r.left + 150, cy = r.top + 130;
    c.FillRoundRect(CRect(cx - 11, cy - 30, cx + 11, cy + 30), 8, Color(0xFF050608));
    const int half = 25;
    for (int dy = -half; dy <= half; ++dy) {
        const double t = double(dy) / (half + 1), bulge = std::sqrt(1 - t * t);
        const double light = 0.25 + 0.75 * bulge * (dy < 0 ? 1.0 : 0.8);
        const bool ridge = ((dy + 100) % 4) == 0;
        Color col = Shade(Color(0xFF3A424C), ridge ? light * 0.55 : light, ridge ? 0 : 0.08 * bulge);
        const int w = int(std::lround(7 * (0.75 + 0.25 * bulge)));
        c.FillRect(CRect(cx - w, cy + dy, cx + w, cy + dy + 1), col);
    }
    if (m.lighting)
        c.FillRect(CRect(cx - 1, cy - half + 3, cx + 1, cy + half - 3), Mix(m.accent, Color(0), 0.35));
}

void SmallButton(Canvas& c, const CRect& b, const MouseModel& m, int leds) {
    c.FillRoundRect(CRect(b.left - 1, b.top - 1, b.right + 1, b.bottom + 1), 5, Color(0xFF050608));
    c.FillGradient(Inset(b, 1), Mix(m.buttons, Color(0xFFFFFFFF), 0.12),
                   Mix(m.buttons, Color(0xFF000000), 0.25), true);
    c.DrawRoundRect(b, 5, Color(0x40FFFFFF));
    for (int i = 0; i < leds; ++i) {
        const int x = b.CenterPoint().x - (leds - 1) * 3 + i * 6;
        c.FillEllipse(CRect(x - 2, b.bottom + 3, x + 2, b.bottom + 7),
                      i == 1 ? m.accent : Mix(m.accent, Color(0), 0.6));
    }
}

// A side button hugging the left edge, centred on (.., cy).
void SideButton(Canvas& c, const CRect& r, const MouseModel& m, int cy, int length) {
    // The outline of a pill `width` wide whose outer side follows the body's edge.
    auto pill = [&](double inset, double width) {
        std::vector<CPoint> shape;
        for (int dy = -length / 2; dy <= length / 2; dy += 2)
            shape.push_back(r.TopLeft() + CPoint(int(kCentre - HalfWidth(cy + dy) + inset), cy + dy));
        for (int dy = length / 2; dy >= -length / 2; dy -= 2) {
            const double round = std::sqrt(std::max(0.0, 1 - std::pow(2.0 * dy / length, 4)));
            shape.push_back(r.TopLeft() +
                            CPoint(int(kCentre - HalfWidth(cy + dy) + inset + width * round), cy + dy));
        }
        return shape;
    };
    c.FillPolygon(pill(2, 17), Color(0xFF050608));
    const std::vector<CPoint> face = pill(3.5, 14);
    c.FillPolygon(face, Mix(m.buttons, Color(0xFFFFFFFF), 0.1));
    // A sheen along the upper half of its inner side, towards the light.
    for (size_t i = face.size() / 2 + face.size() / 4; i + 1 < face.size(); ++i)
        c.DrawLine(face[i] + CPoint(-1, 0), face[i + 1] + CPoint(-1, 0), Color(0x50FFFFFF), 1);
}

void ThumbButton(Canvas& c, const CRect& r, const MouseModel& m) {
    const CRect b(r.left + 61, r.top + 316, r.left + 79, r.top + 344);
    c.FillEllipse(Inset(b, -1), Color(0xFF050608));
    c.FillEllipse(b, Mix(m.buttons, Color(0xFFFFFFFF), 0.1));
    c.FillEllipse(CRect(b.left + 4, b.top + 3, b.right - 6, b.top + 12), Color(0x28FFFFFF));
}

void LightStrip(Canvas& c, const CRect& r, const MouseModel& m) {
    // A glowing ring around the logo on the palm rest and a thin line towards the back.
    const CPoint logo = r.TopLeft() + CPoint(150, 318);
    for (int g = 10; g >= 1; --g)
        c.DrawEllipse(CRect(logo.x - 20 - g, logo.y - 20 - g, logo.x + 20 + g, logo.y + 20 + g),
                      Color(BYTE(10 + (10 - g) * 3), m.accent.GetR(), m.accent.GetG(), m.accent.GetB()), 2);
    c.DrawEllipse(CRect(logo.x - 20, logo.y - 20, logo.x + 20, logo.y + 20), m.accent, 2);
    c.FillPolygon({logo + CPoint(-9, -8), logo + CPoint(-4, -8), logo + CPoint(0, 4), logo + CPoint(4, -8),
                   logo + CPoint(9, -8), logo + CPoint(2, 10), logo + CPoint(-2, 10)},
                  Mix(m.accent, Color(0xFFFFFFFF), 0.4));
    c.FillRoundRect(CRect(logo.x - 30, r.top + 392, logo.x + 30, r.top + 396), 2,
                    Mix(m.accent, Color(0), 0.2));
}

void Logo(Canvas& c, const CRect& r) {
    const CPoint logo = r.TopLeft() + CPoint(150, 318);
    c.FillPolygon({logo + CPoint(-9, -8), logo + CPoint(-4, -8), logo + CPoint(0, 4), logo + CPoint(4, -8),
                   logo + CPoint(9, -8), logo + CPoint(2, 10), logo + CPoint(-2, 10)},
                  Color(0x60FFFFFF));
}

void Mouse(Canvas& c, const CRect& r, const MouseModel& m) {
    ShadeBody(c, r, m);
    c.MarkDirty();
    c.SetAntialias(true);
    Seams(c, r);
    Wheel(c, r, m);
    if (m.lighting) SmallButton(c, CRect(r.left + 140, r.top + 167, r.left + 160, r.top + 183), m, 0);
    SmallButton(c, CRect(r.left + 141, r.top + m.dpiY - 11, r.left + 159, r.top + m.dpiY + 7), m, 3);
    SideButton(c, r, m, 240, 38);
    SideButton(c, r, m, 285, 38);
    if (m.lighting) {
        ThumbButton(c, r, m);
        LightStrip(c, r, m);
    } else {
        Logo(c, r);
    }
}

const MouseModel kV8{Color(0xFF1E242B), Color(0xFF272E37), Color(0xFF49FFE6), true, 215};
const MouseModel kV6{Color(0xFF2C3440), Color(0xFF364151), Color(0xFF7FB2FF), false, 185};

void AddWidgetImages(SkinList& images) {
    images.insert(
        images.end(),
        {
            {"img_key_bkg.png", 2, 48, 26, LabelBox},
            {"img_record_item.png", 2, 40, 36, RecordRow},
            {"img_macro_item.png", 2, 48, 36, MacroRow},
            {"icon/icon_record.png", 4, 20, 20, RecordIcon},
            TypeIcon("icon/keytype_0.png", RestoreGlyph),
            TypeIcon("icon/keytype_1.png", MouseGlyph),
            TypeIcon("icon/keytype_2.png", KeyboardGlyph),
            TypeIcon("icon/keytype_4.png", MacroGlyph),
            TypeIcon("icon/keytype_6.png", MediaGlyph),
            TypeIcon("icon/keytype_7.png", ShortcutGlyph),
            TypeIcon("icon/keytype_9.png", DisabledGlyph),
            TypeIcon("icon/keytype_10.png", LaunchGlyph),
            TypeIcon("icon/keytype_11.png", WebGlyph),
            TypeIcon("icon/keytype_12.png", TextGlyph),
            {"device/vantorel_v8.png", 1, 300, 420, [](Canvas& c, const CRect& r, int) { Mouse(c, r, kV8); }},
            {"device/vantorel_v6.png", 1, 300, 420, [](Canvas& c, const CRect& r, int) { Mouse(c, r, kV6); }},
        });
}

const SkinRegistrar registrar(AddWidgetImages);

}  // namespace
}  // namespace SkinGen
