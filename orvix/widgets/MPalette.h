#pragma once
// The full palette: a square of hue (left to right, 0..360) by saturation
// (top 200 to bottom 0) at half lightness, and beside it a bar of lightness
// (top 200 to bottom 0) for the chosen hue and saturation. Pressing or
// dragging in either moves its thumb and sends code 27 with the colour.
// Saturation and lightness are in units of 1/200.
#include <memory>

#include "orvix/core/MControlFont.h"

namespace Orvix {

struct ImgResInfo;

class MPalette : public MControlFont {
  public:
    static constexpr int kBarWidth = 16;
    static constexpr int kBarMargin = 16;  // from the right edge
    static constexpr int kSquareGap = 38;  // from the right edge to the square

    MPalette(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"MPalette"; }

    COLORREF GetSelectColor() const;
    // Converts to hue, saturation and lightness and moves the thumbs; no notification.
    void SetSelectColor(COLORREF color);
    int GetHue() const { return m_hue; }
    int GetSaturation() const { return m_saturation; }
    int GetLightness() const { return m_lightness; }
    // The 4-frame thumb strip of both thumbs; FALSE without a manager or image.
    BOOL SetThumbImage(const wchar_t* file);
    void SetPalletHeight(int height);
    int GetPalletHeight() const { return m_height; }
    // Window coordinates.
    CRect GetPaletteRect() const;
    CRect GetBarRect() const;
    // Where the thumbs' centres travel: the square and the bar less half a
    // thumb at each end, so a thumb at full saturation or lightness is whole.
    CRect GetSquareTravel() const;
    CRect GetBarTravel() const;
    // The square thumb's centre for the current hue and saturation.
    CPoint GetSquareThumb() const;

    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  private:
    enum class Drag { None, Square, Bar };
    // Takes the pointer in the dragged part and notifies when the colour changed.
    void Track(CPoint pt, bool press);
    void DrawThumb(Canvas& canvas, CPoint centre) const;
    CSize ThumbHalf() const;

    int m_hue = 180;
    int m_saturation = 200;
    int m_lightness = 120;
    int m_height = 150;
    Drag m_drag = Drag::None;
    const ImgResInfo* m_thumbImage = nullptr;  // owned by the window's image cache
    std::unique_ptr<Canvas> m_square;          // the hue/saturation field, made once per size
};

}  // namespace Orvix
