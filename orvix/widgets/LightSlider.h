#pragma once
// A small stepped slider for brightness or speed (minimum 0, maximum 10,
// position 5 at creation): a track the width of the control less half a
// thumb frame at each end, the filled part in the accent colour, a dot per
// step, and the thumb from a 4-frame strip by state with the value on it.
#include "orvix/widgets/StepSlider.h"

namespace Orvix {

struct ImgResInfo;

class LightSlider : public StepSlider {
  public:
    LightSlider(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"LightSlider"; }
    // The track image (one frame, nine-sliced along the track).
    BOOL SetImage(const wchar_t* file, int count = 1) override;
    // The 4-frame thumb strip from the window's cache; FALSE without a manager or image.
    BOOL SetThumbImage(const wchar_t* file);
    // 30 x 30 by default; a zero size takes the thumb image's frame size.
    void SetThumbSize(CSize size);

    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  protected:
    int TrackLeft() const override { return m_rect.left + HalfFrame(); }
    int TrackWidth() const override { return std::max(0, m_rect.Width() - 2 * HalfFrame()); }
    CSize ThumbSize() const override;
    int ThumbTop() const override { return m_rect.top + (m_rect.Height() - ThumbSize().cy) / 2; }

  private:
    int HalfFrame() const;
    void Render(Canvas& canvas, const CRect& slice) const;

    const ImgResInfo* m_thumb = nullptr;  // owned by the window's image cache
    CSize m_thumbSize{30, 30};
};

}  // namespace Orvix
