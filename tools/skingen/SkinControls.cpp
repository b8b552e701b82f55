// Images of the standard controls: checked buttons, tab strips, progress bars,
// sliders, level bars, photo frames, menu icons, the tab icons and the
// "loading" animation.
#include <cmath>

#include "tools/skingen/SkinGen.h"

namespace SkinGen {
namespace {

using namespace Orvix;

constexpr double kPi = 3.14159265358979;

Color Glyph(int state) {
    switch (state & 3) {
        case 1: return Color(0xFFFFFFFF);
        case 2: return kAccent;
        case 3: return kDisabled;
        default: return Color(0xFFB8C4CE);
    }
}

// A push button with checked looks: checked frames are lit with the accent.
void CheckedButton(Canvas& c, const CRect& r, int state) {
    if (state < 4) {
        RoundedButton(c, r, state);
        return;
    }
    const bool disabled = (state & 3) == 3;
    const double lift = (state & 3) == 1 ? 0.38 : (state & 3) == 2 ? 0.45 : 0.30;
    c.FillRoundRect(Inset(r, 1), 5, disabled ? Color(0xFF0F1820) : Mix(kPanel, kAccent, lift));
    c.DrawRoundRect(Inset(r, 1), 5, disabled ? kDisabled : kAccent, (state & 3) == 2 ? 2 : 1);
}

void TabCtrl1Item(Canvas& c, const CRect& r, int state) {
    if (state == 0) return;
    c.FillRoundRect(Inset(r, 2), 6, state == 1 ? kPanelHi : Mix(kPanel, kAccent, 0.16));
    if (state == 2) c.DrawRoundRect(Inset(r, 2), 6, kAccentDim);
}

void Track(Canvas& c, const CRect& r, int) {
    c.FillRoundRect(r, r.Height() / 2, Color(0xFF1B2836));
    c.DrawRoundRect(r, r.Height() / 2, Color(0xFF26384A));
}

void Fill(Canvas& c, const CRect& r, int) { c.FillRoundRect(r, r.Height() / 2, kAccent); }

void Thumb(Canvas& c, const CRect& r, int state) {
    const CRect knob = Inset(r, 2);
    if ((state & 3) == 1 || (state & 3) == 2) c.FillEllipse(r, Color(0x5049FFE6));  // glow
    const Color fill = (state & 3) == 3 ? kDisabled : (state & 3) == 2 ? kAccent : kText;
    c.FillEllipse(knob, fill);
    c.DrawEllipse(knob, (state & 3) == 3 ? Color(0xFF2A323C) : kAccentDim, 2);
}

void LevelSegment(Canvas& c, const CRect& r, int state) {
    const Color fill[] = {Color(0xFF1B2836), Color(0xFF2A3B4E), kAccent, Color(0xFF141C25)};
    c.FillRoundRect(Inset(r, 1), 2, fill[state & 3]);
    if ((state & 3) == 1) c.DrawRoundRect(Inset(r, 1), 2, kAccent);
}

void PhotoFrame(Canvas& c, const CRect& r, int state) {
    const Color line[] = {kLine, kAccentDim, kAccent, kDisabled};
    c.DrawRoundRect(Inset(r, 1), 6, line[state & 3], 3);
}

// A picture for photo frames and sliding pictures: the product on a soft stage.
void ProductPicture(Canvas& c, const CRect& r, int) {
    c.FillGradient(r, Color(0xFF13202D), Color(0xFF070B10), true);
    for (int i = 0; i < 5; ++i) {
        const int y = r.top + 18 + i * 16;
        c.DrawLine(CPoint(r.left, y), CPoint(r.right, y - 30), Color(0x1849FFE6), 1);
    }
    const CPoint m = r.CenterPoint();
    c.FillEllipse(CRect(m.x - 46, r.bottom - 22, m.x + 46, r.bottom - 10), Color(0x60000000));  // shadow
    const CRect body(m.x - 26, r.top + 14, m.x + 26, r.bottom - 16);
    c.FillRoundRect(body, 24, Color(0xFF1C2733));
    c.DrawRoundRect(body, 24, Color(0xFF3A4A5C), 2);
    c.DrawLine(CPoint(m.x, body.top + 2), CPoint(m.x, body.top + 30), Color(0xFF3A4A5C), 2);
    c.FillRoundRect(CRect(m.x - 3, body.top + 10, m.x + 3, body.top + 24), 3, kAccent);
    c.FillRoundRect(CRect(body.left + 8, body.bottom - 14, body.right - 8, body.bottom - 10), 2, Color(0xB049FFE6));
}

// Twelve dots round a ring, the lit one moving on with each frame.
void LoadingFrame(Canvas& c, const CRect& r, int frame) {
    c.FillRect(r, Color(0xFF333333));
    const CPoint m = r.CenterPoint();
    const double radius = r.Width() * 0.32;
    for (int i = 0; i < 12; ++i) {
        const double a = i * kPi / 6 - kPi / 2;
        const int x = m.x + int(std::lround(radius * std::cos(a))), y = m.y + int(std::lround(radius * std::sin(a)));
        const int age = (frame - i + 12) % 12;  // 0 = the lit dot
        const double t = std::max(0.0, 1.0 - age / 8.0);
        const int d = 4 + int(std::lround(3 * t));
        c.FillEllipse(CRect(x - d, y - d, x + d, y + d), Mix(Color(0xFF4A5560), kAccent, t));
    }
}

// ---- icons (drawn inside g, a square of the frame) ----

void HomeIcon(Canvas& c, const CRect& g, Color k) {
    const CPoint m = g.CenterPoint();
    c.FillPolygon({{g.left, m.y}, {m.x, g.top}, {g.right, m.y}}, k);
    c.FillRect(CRect(g.left + 3, m.y, g.right - 3, g.bottom), k);
    c.FillRect(CRect(m.x - 2, g.bottom - 6, m.x + 2, g.bottom), Color(0xFF060B11));
}

void KeyIcon(Canvas& c, const CRect& g, Color k) {
    const CRect body(g.left + 3, g.top, g.right - 3, g.bottom);
    c.DrawRoundRect(body, 7, k, 2);
    const int mx = body.CenterPoint().x;
    c.DrawLine(CPoint(mx, body.top + 1), CPoint(mx, body.top + 8), k, 2);
    c.DrawLine(CPoint(body.left + 1, body.top + 8), CPoint(body.right - 1, body.top + 8), k, 2);
}

void DpiIcon(Canvas& c, const CRect& g, Color k) {
    c.DrawArc(g, 150, 240, k, 2);
    const CPoint m = g.CenterPoint();
    c.DrawLine(m, CPoint(m.x + 5, m.y - 6), k, 2);
    c.FillEllipse(CRect(m.x - 2, m.y - 2, m.x + 3, m.y + 3), k);
}

void MacroIcon(Canvas& c, const CRect& g, Color k) {
    for (int i = 0; i < 3; ++i) {
        const int y = g.top + 3 + i * 7;
        c.FillEllipse(CRect(g.left, y - 2, g.left + 4, y + 2), k);
        c.DrawLine(CPoint(g.left + 7, y), CPoint(g.right - (i == 2 ? 7 : 0), y), k, 2);
    }
    c.FillPolygon({{g.right - 5, g.bottom - 7}, {g.right - 5, g.bottom}, {g.right, g.bottom - 3}}, k);
}

void TextIcon(Canvas& c, const CRect& g, Color k) {
    c.FillRect(CRect(g.left + 1, g.top, g.right - 1, g.top + 3), k);
    const int mx = g.CenterPoint().x;
    c.FillRect(CRect(mx - 1, g.top, mx + 2, g.bottom - 6), k);
    c.FillRect(CRect(g.left + 1, g.bottom - 2, g.right - 1, g.bottom), k);
}

void LightIcon(Canvas& c, const CRect& g, Color k) {
    const CPoint m = g.CenterPoint();
    c.FillEllipse(CRect(m.x - 5, m.y - 5, m.x + 5, m.y + 5), k);
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        const double co = std::cos(a), si = std::sin(a);
        c.DrawLine(CPoint(m.x + int(8 * co), m.y + int(8 * si)), CPoint(m.x + int(11 * co), m.y + int(11 * si)), k, 2);
    }
}

void SetIcon(Canvas& c, const CRect& g, Color k) {
    const CPoint m = g.CenterPoint();
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        const int x = m.x + int(std::lround(9 * std::cos(a))), y = m.y + int(std::lround(9 * std::sin(a)));
        c.FillEllipse(CRect(x - 3, y - 3, x + 3, y + 3), k);
    }
    c.FillEllipse(CRect(m.x - 8, m.y - 8, m.x + 8, m.y + 8), k);
    c.FillEllipse(CRect(m.x - 3, m.y - 3, m.x + 3, m.y + 3), Color(0xFF060B11));
}

void CopyIcon(Canvas& c, const CRect& g, Color k) {
    // The sheet behind shows only where the front one does not cover it.
    c.DrawLine(CPoint(g.left, g.bottom - 5), CPoint(g.left, g.top), k);
    c.DrawLine(CPoint(g.left, g.top), CPoint(g.right - 5, g.top), k);
    c.DrawRoundRect(CRect(g.left + 3, g.top + 3, g.right, g.bottom), 2, k, 1);
}

void DeleteIcon(Canvas& c, const CRect& g, Color k) {
    c.DrawLine(CPoint(g.left, g.top + 2), CPoint(g.right, g.top + 2), k, 2);
    c.FillRect(CRect(g.CenterPoint().x - 2, g.top, g.CenterPoint().x + 2, g.top + 2), k);
    c.DrawRoundRect(CRect(g.left + 2, g.top + 4, g.right - 2, g.bottom), 2, k, 1);
    for (int x : {g.left + 5, g.right - 6}) c.DrawLine(CPoint(x, g.top + 7), CPoint(x, g.bottom - 3), k);
}

template <void (*Draw)(Canvas&, const CRect&, Color)>
void Icon(Canvas& c, const CRect& r, int state) {
    Draw(c, Inset(r, std::max(2, r.Width() / 8)), Glyph(state));
}

void AddControlImages(SkinList& images) {
    images.insert(images.end(), {
        {"img_select_button.png", 8, 96, 36, CheckedButton},
        {"img_colorcombo.png", 4, 48, 28, RoundedButton},
        {"img_tabctrl1.png", 3, 48, 48, TabCtrl1Item},
        {"img_progress_bk.png", 1, 24, 10, Track},
        {"img_progress_fg.png", 1, 24, 10, Fill},
        {"img_slider_bk.png", 1, 24, 6, Track},
        {"img_slider_thumb.png", 4, 18, 18, Thumb},
        {"img_level.png", 4, 12, 18, LevelSegment},
        {"img_photo_frame.png", 4, 36, 36, PhotoFrame},
        {"img_photo_product.png", 1, 180, 120, ProductPicture},
        {"loading.gif", 12, 64, 64, LoadingFrame},
        {"icon/tab_home.png", 3, 26, 26, Icon<HomeIcon>},
        {"icon/tab_key.png", 3, 26, 26, Icon<KeyIcon>},
        {"icon/tab_dpi.png", 3, 26, 26, Icon<DpiIcon>},
        {"icon/tab_macro.png", 3, 26, 26, Icon<MacroIcon>},
        {"icon/tab_text.png", 3, 26, 26, Icon<TextIcon>},
        {"icon/tab_light.png", 3, 26, 26, Icon<LightIcon>},
        {"icon/tab_set.png", 3, 26, 26, Icon<SetIcon>},
        {"img_menuitem_copy.png", 4, 16, 16, Icon<CopyIcon>},
        {"img_menuitem_delete.png", 4, 16, 16, Icon<DeleteIcon>},
    });
}

const SkinRegistrar registrar(AddControlImages);

}  // namespace
}  // namespace SkinGen
