#pragma once
// A skin image strip that a list keeps beside its own skin image (row
// backgrounds, row buttons): loaded once through the window's image cache,
// then drawn frame by frame. Frames past the strip's end show its last frame.
#include "orvix/platform/Canvas.h"

namespace Orvix {

class PaintManager;
struct ImgResInfo;

class SkinStrip {
  public:
    // FALSE (and the strip keeps what it had) when there is no window or file.
    BOOL Load(PaintManager* manager, const wchar_t* file, int count);
    bool IsLoaded() const { return m_info != nullptr; }
    CSize GetFrameSize() const;
    // Frame `frame` nine-sliced over `dst` with `inset` (0 stretches it whole).
    void Draw(Canvas& canvas, const CRect& dst, int frame, int inset = 0) const;
    // Frame `frame` at its natural size, centred vertically in `row`, its left edge at x.
    void DrawAt(Canvas& canvas, int x, const CRect& row, int frame) const;
    // Where DrawAt puts it.
    CRect PlaceAt(int x, const CRect& row) const;

  private:
    const ImgResInfo* m_info = nullptr;  // owned by the window's image cache
};

}  // namespace Orvix
