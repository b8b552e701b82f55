#pragma once
// The skin generator draws the default skin (theme1) as PNG strips. Each image
// is a row: name, frame count, frame size and a painter that draws one frame.
// Images are added by area in their own files (SkinCore.cpp, ...), each with a
// SkinRegistrar, so adding an image is adding a row to one of those tables.
#include <functional>
#include <vector>

#include "orvix/platform/Canvas.h"
#include "orvix/platform/Fonts.h"

namespace SkinGen {

using Orvix::Canvas;
using Orvix::Color;
using Orvix::CPoint;
using Orvix::CRect;

// The theme's palette around the toolkit's colours (back 0x110B06, border and
// accent 0x49FFE6).
inline const Color kBack(0xFF060B11);
inline const Color kPanel(0xFF0E1620);
inline const Color kPanelHi(0xFF16212E);
inline const Color kLine(0xFF253445);
inline const Color kAccent(0xFF49FFE6);
inline const Color kAccentDim(0xFF2A9C8E);
inline const Color kText(0xFFE8F0F5);
inline const Color kDisabled(0xFF3A4450);

// Frame states of the strips: 0 normal, 1 hover, 2 pressed, 3 disabled, +4 checked.
using Painter = std::function<void(Canvas&, const CRect&, int state)>;

// Rows whose name ends in ".gif" become animations, one frame per state.
constexpr int kGifFrameMs = 80;

struct SkinImage {
    const char* name;
    int frames;
    int width;  // of one frame
    int height;
    Painter paint;
};

using SkinList = std::vector<SkinImage>;

// A static SkinRegistrar in an area's file adds that area's rows.
struct SkinRegistrar {
    explicit SkinRegistrar(void (*add)(SkinList&));
};
const SkinList& AllImages();

// Shared painters.
Color Mix(Color a, Color b, double t);
Color StateFill(int state);
Color StateLine(int state);
CRect Inset(CRect r, int d);
void RoundedButton(Canvas& c, const CRect& r, int state);
void Panel(Canvas& c, const CRect& r, int state);
void Caption(Canvas& c, const CRect& r, int state);
void Background(Canvas& c, const CRect& r, int state);
void SysButton(Canvas& c, const CRect& r, int state,
               const std::function<void(Canvas&, const CRect&, Color)>& glyph);
void Check(Canvas& c, const CRect& r, int state, bool round);
void Switch(Canvas& c, const CRect& r, int state, bool on);
void Arrow(Canvas& c, const CRect& r, Color color, int dir);  // 0 up, 1 down, 2 left, 3 right
void StepButton(Canvas& c, const CRect& r, int state, int dir);
void PlusMinus(Canvas& c, const CRect& r, int state, bool plus);
// The lit ground under a glyph: faint on hover, stronger when pressed.
void StateHalo(Canvas& c, const CRect& r, int state, bool round);
void Help(Canvas& c, const CRect& r, int state);
void Reset(Canvas& c, const CRect& r, int state);
void Scrollbar(Canvas& c, const CRect& r, bool vertical);
// Painters that compute each pixel themselves: `paint` gets every device pixel
// of `r`, with its top-left corner in logical units relative to r's corner and
// its size in logical units (1 at 1x, 0.5 at 2x), and the premultiplied pixel.
void ForEachPixel(Canvas& c, const CRect& r,
                  const std::function<void(double x, double y, double size, uint32_t& pixel)>& paint);

}  // namespace SkinGen
