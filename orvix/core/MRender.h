#pragma once
// Static drawing helpers shared by the controls.
#include <memory>
#include <string>

#include "orvix/platform/Canvas.h"
#include "orvix/platform/Image.h"

namespace Orvix {

class MRender {
public:
    // Null on failure. Relative names are not resolved here (see Manager::GetSkinPath).
    static std::shared_ptr<Image> LoadImageFromFile(const std::wstring& path);
    // A copy scaled to cx x cy (natural size when both are 0).
    static std::shared_ptr<Image> LoadImageFromFileEx(const std::wstring& path, int cx, int cy);
    // A library (fromApplication FALSE) or application resource by id; see RegisterResource.
    static std::shared_ptr<Image> LoadImageFromIDResource(UINT id, const std::wstring& type, bool fromApplication);
    // Names the file behind a resource id (the library's are registered at start-up).
    static void RegisterResource(UINT id, const std::wstring& type, const std::wstring& file, bool fromApplication);
    static std::wstring GetResourceFile(UINT id, const std::wstring& type, bool fromApplication);

    // Nine-slice with one inset for all sides.
    static void DrawImageFrame(Canvas& canvas, const Image& image, CRect dst, int srcX, int srcY, int srcW, int srcH,
                               int inset, int frame = 0);
    // Nine-slice: corners unscaled, edges and centre stretched; a destination
    // smaller than the insets draws overlapping corners.
    static void DrawImageFrameMID(Canvas& canvas, const Image& image, CRect dst, int srcX, int srcY, int srcW,
                                  int srcH, int left, int top, int right, int bottom, int frame = 0);

    static void FillSolidRect(Canvas& canvas, const CRect& rect, COLORREF color, BYTE alpha = 255);
    static void DrawColor(Canvas& canvas, const CRect& rect, Color color) { canvas.FillRect(rect, color); }
    static void DrawGradient(Canvas& canvas, const CRect& rect, COLORREF from, COLORREF to, bool vertical);
    static void DrawRectangle(Canvas& canvas, const CRect& rect, Color color, int lineWidth = 1);
    static void DrawRoundRectange(Canvas& canvas, int x, int y, int width, int height, int radius, Color fill);
    static void DrawRoundRectange(Canvas& canvas, int x, int y, int width, int height, int radius, int lineWidth,
                                  bool fill, Color line, Color fillColor);
    // Draws text in a rect; returns the height of the laid-out text.
    static int DrawTextW(Canvas& canvas, const CRect& rect, const std::wstring& text, Color color,
                         const TextStyle& style);
    static CSize GetTextBounds(const std::wstring& text, const TextStyle& style, int maxWidth = 0);
    // Fades of a colour across a rect (alpha from `fromAlpha` to `toAlpha`).
    static void DrawVerticalTransition(Canvas& canvas, const CRect& rect, COLORREF color, BYTE fromAlpha, BYTE toAlpha);
    static void DrawHorizontalTransition(Canvas& canvas, const CRect& rect, COLORREF color, BYTE fromAlpha,
                                         BYTE toAlpha);
    // A colour whose red, green and blue are all 0 becomes 1, so it never
    // equals the fully transparent black of a layered window.
    static void CheckAlphaColor(COLORREF& color);
    static bool SaveBitmapToFile(const Canvas& canvas, const std::wstring& path) { return canvas.SavePng(path); }
};

}  // namespace Orvix
