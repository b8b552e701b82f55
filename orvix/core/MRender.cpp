#include "orvix/core/MRender.h"

#include <map>
#include <tuple>

#include "orvix/core/Manager.h"

namespace Orvix {

namespace {
using ResourceKey = std::tuple<UINT, std::wstring, bool>;
std::map<ResourceKey, std::wstring>& Resources() {
    // The library's own images: the scroll-bar parts.
    static std::map<ResourceKey, std::wstring> resources = {
        {{101, L"PNG", false}, L"res_scroll_h.png"},
        {{102, L"PNG", false}, L"res_scroll_v.png"},
    };
    return resources;
}
}  // namespace

std::shared_ptr<Image> MRender::LoadImageFromFile(const std::wstring& path) { return Image::Load(path); }

std::shared_ptr<Image> MRender::LoadImageFromFileEx(const std::wstring& path, int cx, int cy) {
    std::shared_ptr<Image> image = Image::Load(path);
    if (!image || (cx == 0 && cy == 0)) return image;
    Canvas canvas(cx, cy);
    canvas.DrawImage(*image, CRect(0, 0, cx, cy), CRect(0, 0, image->GetWidth(), image->GetHeight()));
    return Image::FromCanvas(canvas);
}

void MRender::RegisterResource(UINT id, const std::wstring& type, const std::wstring& file, bool fromApplication) {
    Resources()[{id, type, fromApplication}] = file;
}

std::wstring MRender::GetResourceFile(UINT id, const std::wstring& type, bool fromApplication) {
    auto it = Resources().find({id, type, fromApplication});
    return it == Resources().end() ? std::wstring() : it->second;
}

std::shared_ptr<Image> MRender::LoadImageFromIDResource(UINT id, const std::wstring& type, bool fromApplication) {
    std::wstring file = GetResourceFile(id, type, fromApplication);
    return file.empty() ? nullptr : Image::Load(Manager::GetSkinPath(file));
}

void MRender::DrawImageFrame(Canvas& canvas, const Image& image, CRect dst, int srcX, int srcY, int srcW, int srcH,
                             int inset, int frame) {
    DrawImageFrameMID(canvas, image, dst, srcX, srcY, srcW, srcH, inset, inset, inset, inset, frame);
}

void MRender::DrawImageFrameMID(Canvas& canvas, const Image& image, CRect d, int sx, int sy, int sw, int sh, int l,
                                int t, int r, int b, int frame) {
    auto piece = [&](int dl, int dt, int dr, int db, int x, int y, int w, int h) {
        CRect dst(dl, dt, dr, db), src(x, y, x + w, y + h);
        if (!dst.IsRectEmpty() && !src.IsRectEmpty()) canvas.DrawImage(image, dst, src, frame);
    };
    // Corners, unscaled.
    piece(d.left, d.top, d.left + l, d.top + t, sx, sy, l, t);
    piece(d.left, d.bottom - b, d.left + l, d.bottom, sx, sy + sh - b, l, b);
    piece(d.right - r, d.top, d.right, d.top + t, sx + sw - r, sy, r, t);
    piece(d.right - r, d.bottom - b, d.right, d.bottom, sx + sw - r, sy + sh - b, r, b);
    // Edges, stretched between the corners.
    piece(d.left, d.top + t, d.left + l, d.bottom - b, sx, sy + t, l, sh - t - b);
    piece(d.right - r, d.top + t, d.right, d.bottom - b, sx + sw - r, sy + t, r, sh - t - b);
    piece(d.left + l, d.top, d.right - r, d.top + t, sx + l, sy, sw - l - r, t);
    piece(d.left + l, d.bottom - b, d.right - r, d.bottom, sx + l, sy + sh - b, sw - l - r, b);
    // Centre.
    piece(d.left + l, d.top + t, d.right - r, d.bottom - b, sx + l, sy + t, sw - l - r, sh - t - b);
}

void MRender::FillSolidRect(Canvas& canvas, const CRect& rect, COLORREF color, BYTE alpha) {
    canvas.FillRect(rect, Color::FromCOLORREF(color, alpha));
}

void MRender::DrawGradient(Canvas& canvas, const CRect& rect, COLORREF from, COLORREF to, bool vertical) {
    canvas.FillGradient(rect, Color::FromCOLORREF(from), Color::FromCOLORREF(to), vertical);
}

void MRender::DrawRectangle(Canvas& canvas, const CRect& rect, Color color, int lineWidth) {
    canvas.DrawRect(rect, color, lineWidth);
}

void MRender::DrawRoundRectange(Canvas& canvas, int x, int y, int width, int height, int radius, Color fill) {
    canvas.FillRoundRect(CRect(x, y, x + width, y + height), radius, fill);
}

void MRender::DrawRoundRectange(Canvas& canvas, int x, int y, int width, int height, int radius, int lineWidth,
                                bool fill, Color line, Color fillColor) {
    CRect rect(x, y, x + width, y + height);
    if (fill) canvas.FillRoundRect(rect, radius, fillColor);
    canvas.DrawRoundRect(rect, radius, line, lineWidth);
}

int MRender::DrawTextW(Canvas& canvas, const CRect& rect, const std::wstring& text, Color color,
                       const TextStyle& style) {
    canvas.DrawText(text, rect, color, style);
    return Canvas::MeasureText(text, style, rect.Width()).cy;
}

CSize MRender::GetTextBounds(const std::wstring& text, const TextStyle& style, int maxWidth) {
    return Canvas::MeasureText(text, style, maxWidth);
}

void MRender::DrawVerticalTransition(Canvas& canvas, const CRect& rect, COLORREF color, BYTE fromAlpha,
                                     BYTE toAlpha) {
    canvas.FillGradient(rect, Color::FromCOLORREF(color, fromAlpha), Color::FromCOLORREF(color, toAlpha), true);
}

void MRender::DrawHorizontalTransition(Canvas& canvas, const CRect& rect, COLORREF color, BYTE fromAlpha,
                                       BYTE toAlpha) {
    canvas.FillGradient(rect, Color::FromCOLORREF(color, fromAlpha), Color::FromCOLORREF(color, toAlpha), false);
}

void MRender::CheckAlphaColor(COLORREF& color) {
    if ((color & 0xFFFFFF) == 0) color = (color & 0xFF000000) | 1;
}

}  // namespace Orvix
