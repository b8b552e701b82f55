#pragma once
// Internal to the cairo back end: what Canvas and Image hold.
#include <cairo.h>

#include "orvix/platform/Canvas.h"
#include "orvix/platform/Image.h"

namespace Orvix {

struct Canvas::Impl {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
};

struct Image::Frame {
    cairo_surface_t* surface = nullptr;
    int delayMs = 0;
    ~Frame() {
        if (surface) cairo_surface_destroy(surface);
    }
};

inline Color UnpremultiplyPixel(uint32_t p) {
    uint32_t a = p >> 24;
    if (a == 0) return Color(0);
    auto channel = [a](uint32_t v) { return BYTE(std::min<uint32_t>(255, (v * 255 + a / 2) / a)); };
    return Color(BYTE(a), channel((p >> 16) & 0xFF), channel((p >> 8) & 0xFF), channel(p & 0xFF));
}

inline uint32_t PremultiplyPixel(BYTE a, BYTE r, BYTE g, BYTE b) {
    auto mul = [a](uint32_t v) { return (v * a + 127) / 255; };
    return (uint32_t(a) << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

}  // namespace Orvix
