#pragma once
// The hue bar: the hues from red through the spectrum back to red across the
// bar, with a 10-pixel thumb at the current hue position (pixels from the
// bar's left end, 0..width - 10). A press moves the thumb to the pointer and
// a press on the thumb drags it; the release inside sends code 2. The wheel
// moves it 2 pixels a notch.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class PaletteBar : public MControlFont {
  public:
    static constexpr int kThumbWidth = 10;
    static constexpr int kWheelStep = 2;

    PaletteBar(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
               BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"PaletteBar"; }

    // The colour at the current hue with saturation `saturation` / 200 and
    // lightness 0.5, with 0xFF in the top byte.
    COLORREF PaletteHSLToRGB(int saturation) const;
    // The hue position in pixels.
    int GetCurrentHue() const { return m_hue; }
    void SetCurrentHue(int position);
    // The hue position in whole degrees.
    int GetHueDegrees() const;
    void SetSelectColor(COLORREF color);
    COLORREF GetSelectColor() const { return m_selectColor; }
    BOOL IsDragging() const { return m_dragging; }

    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlScroll(int bar, UINT direction, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  private:
    int Range() const { return std::max(0, m_rect.Width() - kThumbWidth); }
    void MoveTo(int x);

    int m_hue = 180;
    BOOL m_dragging = FALSE;
    COLORREF m_selectColor = 0;
};

}  // namespace Orvix
