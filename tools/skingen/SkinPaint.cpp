// Painters shared by the skin tables.
#include <algorithm>

#include "tools/skingen/SkinGen.h"

namespace SkinGen {

using namespace Orvix;

Color Mix(Color a, Color b, double t) {
    auto m = [t](int x, int y) { return BYTE(x + (y - x) * t); };
    return Color(m(a.GetA(), b.GetA()), m(a.GetR(), b.GetR()), m(a.GetG(), b.GetG()), m(a.GetB(), b.GetB()));
}

Color StateFill(int state) {
    switch (state & 3) {
        case 1:
            return kPanelHi;
        case 2:
            return Mix(kPanel, kAccent, 0.25);
        case 3:
            return Color(0xFF0B1118);
        default:
            return kPanel;
    }
}

Color StateLine(int state) {
    switch (state & 3) {
        case 1:
            return kAccent;
        case 2:
            return kAccent;
        case 3:
            return kDisabled;
        default:
            return kAccentDim;
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

void SysButton(Canvas& c, const CRect& r, int state,
               const std::function<void(Canvas&, const CRect&, Color)>& glyph) {
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
    Color knob = on ? kText : Color(0xFF8A96A3);
    if ((state & 3) == 2) {  // pressed: the knob sinks and darkens
        knob = Mix(knob, kAccentDim, 0.45);
        c.FillEllipse(CRect(x + 2, track.top + 4, x + d - 2, track.top + d), knob);
        return;
    }
    c.FillEllipse(CRect(x, track.top + 2, x + d, track.top + 2 + d), knob);
}

void Arrow(Canvas& c, const CRect& r, Color color, int dir) {
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

void StateHalo(Canvas& c, const CRect& r, int state, bool round) {
    // Hover lights the glyph's ground faintly, a press more strongly.
    const int s = state & 3;
    if (s != 1 && s != 2) return;
    const Color halo = s == 1 ? Color(0x2849FFE6) : Color(0x6049FFE6);
    if (round)
        c.FillEllipse(r, halo);
    else
        c.FillRoundRect(r, 4, halo);
}

void Help(Canvas& c, const CRect& r, int state) {
    StateHalo(c, Inset(r, 1), state, true);
    c.DrawEllipse(Inset(r, 1), StateLine(state));
    TextStyle t{kEmbeddedFontFamily, r.Height() - 6};
    t.hAlign = 1;
    t.vAlign = 4;
    c.DrawText(L"?", r, (state & 3) == 3 ? kDisabled : (state & 3) == 2 ? kText : kAccent, t);
}

void Reset(Canvas& c, const CRect& r, int state) {
    StateHalo(c, Inset(r, 1), state, true);
    CRect ring = Inset(r, 4);
    Color g = (state & 3) == 3 ? kDisabled : (state & 3) ? kAccent : kText;
    c.DrawArc(ring, -60, 300, g, 2);
    c.FillPolygon(
        {{ring.right - 5, ring.top - 1}, {ring.right + 1, ring.top + 4}, {ring.right - 6, ring.top + 6}}, g);
}

void Scrollbar(Canvas& c, const CRect& r, bool vertical) {
    // Three parts as the scroll bars cut them: the track, the hovered thumb and
    // the thumb; side by side for the vertical bar, stacked for the horizontal.
    const Color parts[] = {Color(0x6025303C), kAccent, kAccentDim};
    for (int i = 0; i < 3; ++i) {
        CRect part =
            vertical
                ? CRect(r.left + i * (r.Width() / 3), r.top, r.left + (i + 1) * (r.Width() / 3), r.bottom)
                : CRect(r.left, r.top + i * (r.Height() / 3), r.right, r.top + (i + 1) * (r.Height() / 3));
        c.FillRoundRect(part, vertical ? part.Width() / 2 : part.Height() / 2, parts[i]);
    }
}

SkinList& Registry() {
    static SkinList images;
    return images;
}

SkinRegistrar::SkinRegistrar(void (*add)(SkinList&)) {
    add(Registry());
}

const SkinList& AllImages() {
    return Registry();
}

void ForEachPixel(Canvas& c, const CRect& r,
                  const std::function<void(double x, double y, double size, uint32_t& pixel)>& paint) {
    const CRect pixels = c.ToPixels(r) & CRect(0, 0, c.GetPixelWidth(), c.GetPixelHeight());
    const CRect whole = c.ToPixels(r);
    const double size = 1.0 / c.GetScale();
    uint32_t* data = c.GetData();
    const int stride = c.GetStride();
    for (int y = pixels.top; y < pixels.bottom; ++y)
        for (int x = pixels.left; x < pixels.right; ++x)
            paint((x - whole.left) * size, (y - whole.top) * size, size, data[size_t(y) * size_t(stride) + size_t(x)]);
    c.MarkDirty();
}

}  // namespace SkinGen
