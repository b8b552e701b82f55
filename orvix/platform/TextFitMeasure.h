#pragma once
// Whether a text shows whole where Canvas::DrawText would put it: the glyphs
// inside the rect (allowing a pixel of antialiasing, and at the sides the few a
// glyph may reach past its advance), or part of the text replaced by an
// ellipsis. `needed` is the laid-out size.
#include <string>

#include "orvix/platform/Canvas.h"

namespace Orvix {

struct TextFitResult {
    bool fits = true;
    bool elided = false;
    CSize needed;
};

TextFitResult MeasureTextFit(const std::wstring& text, const CRect& rect, const TextStyle& style);

}  // namespace Orvix
