#pragma once
// The colour ring: a point is taken only on the ring, farther than 64 and at
// most 115 pixels from the control's centre; the thumb (10 x 10) moves there,
// the colour under it becomes the selected colour and code 27 goes out with
// it. The ring is the skin image when one is set (the colour is read from
// it), else the hues drawn round the centre (red to the right, clockwise).
#include "orvix/core/MControlFont.h"

namespace Orvix {

class CirclePalette : public MControlFont {
  public:
    static constexpr int kInnerRadius = 64;
    static constexpr int kOuterRadius = 115;
    static constexpr int kThumbSize = 10;

    CirclePalette(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                  BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CirclePalette"; }
    BOOL SetImage(const wchar_t* file, int count = 1) override;
    void SetSelectColor(COLORREF color);
    COLORREF GetSelectColor() const { return m_selectColor; }
    // Takes a window point on the ring (see above); TRUE when taken.
    BOOL MoveThumbPos(CPoint pt);
    // Whole pixels from the control's centre.
    int GetDistanse(CPoint pt) const;
    CRect GetThumbRect() const { return m_thumb; }

    void SetControlRect(CRect rect) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  private:
    // Where the ring image lies (natural size, centred), window coordinates.
    CRect ImageRect() const;
    COLORREF ColorAt(CPoint pt) const;

    CRect m_thumb;
    CPoint m_point;
    COLORREF m_selectColor = 0x0000FF;
    BOOL m_dragging = FALSE;
};

}  // namespace Orvix
