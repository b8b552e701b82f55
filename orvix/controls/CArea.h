#pragma once
// A plain area filled with its colour (alpha 254), optionally framed by a
// 1-pixel line, or a fade of the colour between two alpha values.
#include "orvix/core/MControl.h"

namespace Orvix {

class CArea : public MControl {
public:
    CArea(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
          BOOL enabled = TRUE);

    void SetAreaColor(COLORREF color);
    COLORREF GetAreaColor() const { return m_color; }
    // Fades `color` from alpha `from` to alpha `to`, top to bottom (vertical)
    // or left to right, instead of the plain fill.
    void SetTransparent(int from, int to, COLORREF color, bool vertical = true);
    // A 1-pixel frame in `color` (frame != 0), with the fill `inset` pixels inside it.
    void SetFrame(int frame, Color color, int inset = 0);

    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // It only draws: the pointer passes through it.
    BOOL IsDecoration() const override { return TRUE; }


private:
    COLORREF m_color = 0x000000;
    bool m_fade = false;
    bool m_vertical = true;
    BYTE m_fromAlpha = 254, m_toAlpha = 254;
    bool m_frame = false;
    Color m_frameColor;
    int m_inset = 0;
};

}  // namespace Orvix
