#pragma once
// The painting surface of the toolkit: a 32-bit premultiplied ARGB bitmap with
// shapes, image blits, text and clipping. Back buffers, render caches and the
// skin generator all draw through it.
//
// Coordinates are logical units; a canvas has `scale` device pixels per unit
// (the program's display scale). Rect edges land on whole device pixels
// (rounded), so fills, pictures and blits stay sharp at fractional scales;
// text and curves are drawn at the device resolution. At scale 1 a unit is a
// pixel.
#include <memory>
#include <string>
#include <vector>

#include "orvix/platform/WinTypes.h"

namespace Orvix {

class Image;

// How text is laid out in its rect. Alignment values are the toolkit's:
// horizontal 0 left, 1 centre, 2 right; vertical 0 top, 4 centre, 8 bottom.
struct TextStyle {
    std::wstring family;  // a family name; aliases are resolved (see Fonts.h)
    int pixelSize = 14;
    int style = 0;  // 1 bold, 2 italic, 4 underline
    UINT hAlign = 0;
    UINT vAlign = 0;
    bool wrap = false;      // word-wrap to the rect width (multi-line)
    bool ellipsis = false;  // single line cut with "…" at the rect width
    bool clip = true;       // nothing is drawn outside the rect

    bool operator==(const TextStyle&) const = default;
};

class Canvas {
public:
    enum class Blend { Over, Copy };

    // A fully transparent canvas; sizes below 1 are raised to 1. Its pixel size
    // is the logical size times the scale, rounded, unless given.
    Canvas(int width, int height, double scale = 1.0);
    Canvas(int width, int height, double scale, int pixelWidth, int pixelHeight);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Logical size.
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    CRect GetRect() const { return {0, 0, m_width, m_height}; }
    double GetScale() const { return m_scale; }
    int GetPixelWidth() const { return m_pixelWidth; }
    int GetPixelHeight() const { return m_pixelHeight; }
    // The device pixels a logical rect covers (at the current origin).
    CRect ToPixels(const CRect& rect) const;

    // A canvas over `rect` of this one (current coordinates) on the same pixel
    // grid: its (0, 0) is the rect's corner, and blitting it back there is a
    // plain pixel copy (render caches, laid-out text).
    std::unique_ptr<Canvas> MakeLayer(const CRect& rect) const;
    // True when a layer made for `rect` now would have this canvas's scale,
    // size and pixel grid.
    bool IsLayerOf(const Canvas& target, const CRect& rect) const;

    void Clear(Color color = Color(0));
    // Replaces the pixels of a rect (no blending), e.g. to clear it to transparent.
    void SetRectPixels(const CRect& rect, Color color);

    // Shapes. Outlines lie inside the given rect; coordinates are pixels.
    void FillRect(const CRect& rect, Color color);
    void DrawRect(const CRect& rect, Color color, int lineWidth = 1);
    void FillRoundRect(const CRect& rect, int radius, Color color);
    void DrawRoundRect(const CRect& rect, int radius, Color color, int lineWidth = 1);
    void FillEllipse(const CRect& box, Color color);
    void DrawEllipse(const CRect& box, Color color, int lineWidth = 1);
    void DrawLine(CPoint from, CPoint to, Color color, int lineWidth = 1);
    void FillPolygon(const std::vector<CPoint>& points, Color color);
    // Angles in degrees, clockwise from the positive x axis (GDI+ convention).
    void DrawArc(const CRect& box, double startDeg, double sweepDeg, Color color, int lineWidth = 1);
    void FillPie(const CRect& box, double startDeg, double sweepDeg, Color color);
    void FillGradient(const CRect& rect, Color from, Color to, bool vertical);

    // Draws the source rect of an image frame into the destination rect,
    // stretched when the sizes differ; edges do not bleed across the source rect.
    void DrawImage(const Image& image, const CRect& dst, const CRect& src, int frame = 0, BYTE alpha = 255);
    void DrawImage(const Image& image, int x, int y, int frame = 0);
    // Blits between canvases (render caches, back buffers).
    void DrawCanvas(const Canvas& source, const CRect& dst, const CRect& src, Blend blend = Blend::Over);

    // Text. A family that does not resolve draws nothing.
    void DrawText(const std::wstring& text, const CRect& rect, Color color, const TextStyle& style);
    // Size of the laid-out text; with style.wrap and maxWidth > 0 it wraps there.
    static CSize MeasureText(const std::wstring& text, const TextStyle& style, int maxWidth = 0);
    static int CountLines(const std::wstring& text, const TextStyle& style, int maxWidth);

    // Clipping nests; every PushClip needs a PopClip.
    void PushClip(const CRect& rect);
    void PopClip();
    // Moves the origin by (dx, dy) until PopOrigin: a scrolled container draws
    // its content shifted. Reading this canvas as a DrawCanvas source follows
    // the origin too, so render caches pick up what lies beneath them.
    void PushOrigin(int dx, int dy);
    void PopOrigin();
    CPoint GetOrigin() const { return m_origin; }
    void SetAntialias(bool on);

    // Direct pixel access (device pixels): premultiplied ARGB32, `GetStride()`
    // pixels per row. Call MarkDirty after writing through GetData.
    uint32_t* GetData();
    const uint32_t* GetData() const;
    int GetStride() const;
    void MarkDirty();
    // Unpremultiplied ARGB of one device pixel; 0 outside the canvas.
    Color GetPixel(int x, int y) const;

    bool SavePng(const std::wstring& path) const;

    struct Impl;
    Impl& GetImpl() const { return *m_impl; }

private:
    Canvas(int width, int height, double scale, int pixelWidth, int pixelHeight, double phaseX, double phaseY);

    int m_width;
    int m_height;
    double m_scale = 1.0;
    int m_pixelWidth;
    int m_pixelHeight;
    // Where logical (0, 0) lies, in device pixels (within half a pixel of 0).
    double m_phaseX = 0;
    double m_phaseY = 0;
    CPoint m_origin;
    std::vector<CPoint> m_origins;
    std::unique_ptr<Impl> m_impl;
};

// A text laid out and rendered once, then drawn as a blit for as long as its
// text, style, colour and rect stay the same: the layout cache of a label that
// is painted often and changes rarely. Draws what Canvas::DrawText draws.
class TextBlock {
public:
    TextBlock();
    ~TextBlock();
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;

    void Draw(Canvas& canvas, const std::wstring& text, const CRect& rect, Color color, const TextStyle& style);
    // Forgets the laid-out text (e.g. after the fonts changed).
    void Reset();
    // True when the last Draw reused the text laid out before it.
    bool WasReused() const { return m_reused; }

private:
    void Render(const Canvas& target, const std::wstring& text, const CRect& rect, Color color,
                const TextStyle& style);

    bool m_valid = false;
    bool m_reused = false;
    double m_scale = 1.0;
    std::wstring m_text;
    CRect m_rect;
    Color m_color;
    TextStyle m_style;
    std::unique_ptr<Canvas> m_ink;  // the drawn text, null when nothing shows
    CRect m_inkRect;                // where m_ink goes, in the rect's coordinates
};

}  // namespace Orvix
