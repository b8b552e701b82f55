// Draws the default skin (theme1) as PNG strips: skingen <output folder>.
// Each image is one row of the table at the bottom: name, frame count, frame
// size and a painter that draws one frame. Adding an image is adding a row.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "orvix/core/TextConv.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Fonts.h"

using namespace Orvix;

namespace {

// The theme's palette around the toolkit's colours (back 0x110B06, border and
// accent 0x49FFE6).
const Color kBack(0xFF060B11);
const Color kPanel(0xFF0E1620);
const Color kPanelHi(0xFF16212E);
const Color kLine(0xFF253445);
const Color kAccent(0xFF49FFE6);
const Color kAccentDim(0xFF2A9C8E);
const Color kText(0xFFE8F0F5);
const Color kDisabled(0xFF3A4450);

// Frame states of the strips: 0 normal, 1 hover, 2 pressed, 3 disabled, +4 checked.
using Painter = std::function<void(Canvas&, const CRect&, int state)>;

struct SkinImage {
    const char* name;
    int frames;
    int width;  // of one frame
    int height;
    Painter paint;
};

Color Mix(Color a, Color b, double t) {
    auto m = [t](int x, int y) { return BYTE(x + (y - x) * t); };
    return Color(m(a.GetA(), b.GetA()), m(a.GetR(), b.GetR()), m(a.GetG(), b.GetG()), m(a.GetB(), b.GetB()));
}

Color StateFill(int state) {
    switch (state & 3) {
        case 1: return kPanelHi;
        case 2: return Mix(kPanel, kAccent, 0.25);
        case 3: return Color(0xFF0B1118);
        default: return kPanel;
    }
}

Color StateLine(int state) {
    switch (state & 3) {
        case 1: return kAccent;
        case 2: return kAccent;
        case 3: return kDisabled;
        default: return kAccentDim;
    }
}

CRect Inset(CRect r, int d) {
    r.DeflateRect(d, d);
    return r;
}

void RoundedButton(Canvas& c, const CRect& r, int state) {
    c.FillRoundRect(Inset(r, 1), 5, StateFill(state));
    c.DrawRoundRect(Inset(r, 1), 5, StateLine(state));
}

void Panel(Canvas& c, const CRect& r, int) {
    c.FillRoundRect(r, 6, Color(0xF00C131B));
    c.DrawRoundRect(r, 6, kLine);
}

void Caption(Canvas& c, const CRect& r, int) {
    c.FillGradient(r, Color(0xFF101A25), Color(0xFF0A1017), true);
    c.DrawLine(CPoint(r.left, r.bottom - 1), CPoint(r.right - 1, r.bottom - 1), kAccentDim);
}

void Background(Canvas& c, const CRect& r, int) {
    c.FillGradient(r, Color(0xFF0B121A), kBack, true);
    c.DrawRect(r, Color(0xFF49FFE6));
}

void SysButton(Canvas& c, const CRect& r, int state, const std::function<void(Canvas&, const CRect&, Color)>& glyph) {
    if ((state & 3) == 1 || (state & 3) == 2) c.FillRoundRect(Inset(r, 1), 4, StateFill(state));
    glyph(c, Inset(r, 7), (state & 3) == 3 ? kDisabled : ((state & 3) ? kAccent : kText));
}

void Check(Canvas& c, const CRect& r, int state, bool round) {
    CRect box = Inset(r, 2);
    Color line = StateLine(state);
    if (round) {
        c.FillEllipse(box, StateFill(state));
        c.DrawEllipse(box, line, 1);
        if (state >= 4) c.FillEllipse(Inset(box, 4), (state & 3) == 3 ? kDisabled : kAccent);
    } else {
        c.FillRoundRect(box, 3, StateFill(state));
        c.DrawRoundRect(box, 3, line);
        if (state >= 4) {
            Color mark = (state & 3) == 3 ? kDisabled : kAccent;
            c.DrawLine(CPoint(box.left + 3, box.top + 7), CPoint(box.left + 6, box.top + 10), mark, 2);
            c.DrawLine(CPoint(box.left + 6, box.top + 10), CPoint(box.right - 4, box.top + 4), mark, 2);
        }
    }
}

void Switch(Canvas& c, const CRect& r, int state, bool on) {
    CRect track = Inset(r, 2);
    Color fill = (state & 3) == 3 ? kDisabled : on ? kAccentDim : kPanelHi;
    c.FillRoundRect(track, track.Height() / 2, fill);
    if ((state & 3) == 1 || (state & 3) == 2) c.DrawRoundRect(track, track.Height() / 2, kAccent);
    int d = track.Height() - 4;
    int x = on ? track.right - 2 - d : track.left + 2;
    c.FillEllipse(CRect(x, track.top + 2, x + d, track.top + 2 + d), on ? kText : Color(0xFF8A96A3));
}

void Arrow(Canvas& c, const CRect& r, Color color, int dir) {  // 0 up, 1 down, 2 left, 3 right
    CPoint m = r.CenterPoint();
    int s = std::min(r.Width(), r.Height()) / 3;
    std::vector<CPoint> pts;
    if (dir == 0) pts = {{m.x - s, m.y + s / 2}, {m.x + s, m.y + s / 2}, {m.x, m.y - s / 2 - 1}};
    if (dir == 1) pts = {{m.x - s, m.y - s / 2}, {m.x + s, m.y - s / 2}, {m.x, m.y + s / 2 + 1}};
    if (dir == 2) pts = {{m.x + s / 2, m.y - s}, {m.x + s / 2, m.y + s}, {m.x - s / 2 - 1, m.y}};
    if (dir == 3) pts = {{m.x - s / 2, m.y - s}, {m.x - s / 2, m.y + s}, {m.x + s / 2 + 1, m.y}};
    c.FillPolygon(pts, color);
}

void StepButton(Canvas& c, const CRect& r, int state, int dir) {
    c.FillRoundRect(r, 3, StateFill(state));
    Arrow(c, r, (state & 3) == 3 ? kDisabled : (state & 3) ? kAccent : kText, dir);
}

void PlusMinus(Canvas& c, const CRect& r, int state, bool plus) {
    c.FillEllipse(r, StateFill(state));
    c.DrawEllipse(r, StateLine(state));
    Color g = (state & 3) == 3 ? kDisabled : kText;
    CPoint m = r.CenterPoint();
    c.DrawLine(CPoint(m.x - 3, m.y), CPoint(m.x + 3, m.y), g);
    if (plus) c.DrawLine(CPoint(m.x, m.y - 3), CPoint(m.x, m.y + 3), g);
}

void Help(Canvas& c, const CRect& r, int state) {
    c.DrawEllipse(Inset(r, 1), StateLine(state));
    TextStyle t{kEmbeddedFontFamily, r.Height() - 6};
    t.hAlign = 1;
    t.vAlign = 4;
    c.DrawText(L"?", r, (state & 3) == 3 ? kDisabled : kAccent, t);
}

void Reset(Canvas& c, const CRect& r, int state) {
    CRect ring = Inset(r, 4);
    Color g = (state & 3) == 3 ? kDisabled : (state & 3) ? kAccent : kText;
    c.DrawArc(ring, -60, 300, g, 2);
    c.FillPolygon({{ring.right - 5, ring.top - 1}, {ring.right + 1, ring.top + 4}, {ring.right - 6, ring.top + 6}}, g);
}

void Scrollbar(Canvas& c, const CRect& r, bool vertical) {
    // Track and thumb parts side by side, as the scroll bars cut them.
    c.FillRoundRect(r, vertical ? r.Width() / 2 : r.Height() / 2, Color(0x6025303C));
    CRect thumb = Inset(r, vertical ? 8 : 4);
    c.FillRoundRect(thumb, vertical ? thumb.Width() / 2 : thumb.Height() / 2, kAccentDim);
}

const std::vector<SkinImage>& Images() {
    static const std::vector<SkinImage> images = {
        {"main_bkg.png", 1, 128, 128, Background},
        {"bk_prompt.png", 1, 96, 96, Panel},
        {"img_caption.png", 1, 64, 40, Caption},
        {"img_area_bkg.png", 1, 64, 64, Panel},
        {"img_area_content.png", 1, 64, 64, Panel},
        {"img_area_caption.png", 1, 64, 32, Caption},
        {"img_area2.png", 1, 64, 64, Panel},
        {"img_area3.png", 1, 64, 64, Panel},
        {"img_key_bkg.png", 1, 48, 48, Panel},
        {"img_tab_bkg.png", 1, 64, 64, Panel},
        {"img_tabitem_bkg.png", 3, 64, 48,
         [](Canvas& c, const CRect& r, int s) {
             if (s == 0) return;
             c.FillRect(r, s == 1 ? kPanelHi : Mix(kPanel, kAccent, 0.18));
             if (s == 2) c.FillRect(CRect(r.left, r.top, r.left + 3, r.bottom), kAccent);
         }},
        {"img_tip_bk.png", 1, 24, 24,
         [](Canvas& c, const CRect& r, int) {
             c.FillRoundRect(r, 3, Color(0xF2142130));
             c.DrawRoundRect(r, 3, kAccentDim);
         }},
        {"img_tip_arrow_left.png", 1, 8, 14, [](Canvas& c, const CRect& r, int) { Arrow(c, r, Color(0xF2142130), 2); }},
        {"img_tip_arrow_right.png", 1, 8, 14, [](Canvas& c, const CRect& r, int) { Arrow(c, r, Color(0xF2142130), 3); }},
        {"img_tip_arrow_top.png", 1, 14, 8, [](Canvas& c, const CRect& r, int) { Arrow(c, r, Color(0xF2142130), 0); }},
        {"img_button.png", 4, 96, 36, RoundedButton},
        {"img_edit.png", 4, 48, 32,
         [](Canvas& c, const CRect& r, int s) {
             c.FillRoundRect(Inset(r, 1), 4, s == 2 ? Color(0xFF222527) : StateFill(s));
             c.DrawRoundRect(Inset(r, 1), 4, s == 0 ? kLine : StateLine(s));
         }},
        {"img_combobox.png", 4, 64, 32,
         [](Canvas& c, const CRect& r, int s) {
             RoundedButton(c, r, s);
             Arrow(c, CRect(r.right - 24, r.top, r.right - 4, r.bottom), (s & 3) == 3 ? kDisabled : kAccent, 1);
         }},
        {"btn_reset.png", 4, 24, 24, Reset},
        {"btn_more.png", 4, 24, 24,
         [](Canvas& c, const CRect& r, int s) {
             for (int i = -1; i <= 1; ++i)
                 c.FillEllipse(CRect(r.CenterPoint().x + i * 6 - 2, r.CenterPoint().y - 2, r.CenterPoint().x + i * 6 + 2,
                                     r.CenterPoint().y + 2),
                               (s & 3) ? kAccent : kText);
         }},
        {"btn_openfile.png", 4, 24, 24,
         [](Canvas& c, const CRect& r, int s) {
             Color g = (s & 3) == 3 ? kDisabled : (s & 3) ? kAccent : kText;
             c.DrawRoundRect(CRect(r.left + 4, r.top + 7, r.right - 4, r.bottom - 5), 2, g);
             c.FillRect(CRect(r.left + 4, r.top + 5, r.left + 11, r.top + 8), g);
         }},
        {"img_help.png", 4, 18, 18, Help},
        {"btn_checkbox.png", 8, 18, 18, [](Canvas& c, const CRect& r, int s) { Check(c, r, s, false); }},
        {"btn_radiobox.png", 8, 18, 18, [](Canvas& c, const CRect& r, int s) { Check(c, r, s, true); }},
        {"img_switch_btn_on.png", 4, 44, 22, [](Canvas& c, const CRect& r, int s) { Switch(c, r, s, true); }},
        {"img_switch_btn_off.png", 4, 44, 22, [](Canvas& c, const CRect& r, int s) { Switch(c, r, s, false); }},
        {"img_btn_addvalue.png", 4, 15, 15, [](Canvas& c, const CRect& r, int s) { PlusMinus(c, r, s, true); }},
        {"img_btn_subtract.png", 4, 15, 15, [](Canvas& c, const CRect& r, int s) { PlusMinus(c, r, s, false); }},
        {"img_btn_value_up.png", 4, 10, 10, [](Canvas& c, const CRect& r, int s) { StepButton(c, r, s, 0); }},
        {"img_btn_value_down.png", 4, 10, 10, [](Canvas& c, const CRect& r, int s) { StepButton(c, r, s, 1); }},
        {"sysbtn_close.png", 4, 32, 28,
         [](Canvas& c, const CRect& r, int s) {
             SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) {
                 k.DrawLine(g.TopLeft(), CPoint(g.right - 1, g.bottom - 1), col, 2);
                 k.DrawLine(CPoint(g.right - 1, g.top), CPoint(g.left, g.bottom - 1), col, 2);
             });
         }},
        {"sysbtn_min.png", 4, 32, 28,
         [](Canvas& c, const CRect& r, int s) {
             SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) {
                 k.DrawLine(CPoint(g.left, g.CenterPoint().y), CPoint(g.right - 1, g.CenterPoint().y), col, 2);
             });
         }},
        {"sysbtn_maximize.png", 4, 32, 28,
         [](Canvas& c, const CRect& r, int s) {
             SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) { k.DrawRect(g, col, 2); });
         }},
        {"sysbtn_restore.png", 4, 32, 28,
         [](Canvas& c, const CRect& r, int s) {
             SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) {
                 k.DrawRect(CRect(g.left, g.top + 3, g.right - 3, g.bottom), col, 2);
                 k.DrawLine(CPoint(g.left + 3, g.top), CPoint(g.right - 1, g.top), col, 1);
                 k.DrawLine(CPoint(g.right - 1, g.top), CPoint(g.right - 1, g.bottom - 4), col, 1);
             });
         }},
        {"sysbtn_setting.png", 4, 32, 28,
         [](Canvas& c, const CRect& r, int s) {
             SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) {
                 k.DrawEllipse(g, col, 2);
                 k.FillEllipse(Inset(g, 4), col);
             });
         }},
        {"res_scroll_h.png", 1, 20, 22, [](Canvas& c, const CRect& r, int) { Scrollbar(c, r, false); }},
        {"res_scroll_v.png", 1, 28, 239, [](Canvas& c, const CRect& r, int) { Scrollbar(c, r, true); }},
    };
    return images;
}

}  // namespace

// Under the leak checker of sanitizer builds: fontconfig, pango and glib keep
// one-time allocations until exit; they are not this tool's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libpangocairo-1.0.so\n"
           "leak:libglib-2.0.so\nleak:libgobject-2.0.so\n";
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen <output folder>\n");
        return 2;
    }
    std::string folder = argv[1];
    // mkdir -p
    for (size_t i = 1; i <= folder.size(); ++i)
        if (i == folder.size() || folder[i] == '/') mkdir(folder.substr(0, i).c_str(), 0755);
    RegisterEmbeddedFont();
    int failures = 0;
    for (const SkinImage& image : Images()) {
        Canvas strip(image.width * image.frames, image.height);
        for (int f = 0; f < image.frames; ++f) {
            CRect frame(f * image.width, 0, (f + 1) * image.width, image.height);
            strip.PushClip(frame);
            image.paint(strip, frame, f);
            strip.PopClip();
        }
        if (!strip.SavePng(Utf8ToWide(folder + "/" + image.name))) {
            std::fprintf(stderr, "skingen: cannot write %s\n", image.name);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
