#pragma once
// The DPI slider: a tick scale over a fixed track (80..836 of the control),
// the "100" label at the left and maximum x 50 at the right, and a thumb
// image that follows the selected level's value (minimum 1, maximum 480).
#include <memory>

#include "orvix/widgets/StepSlider.h"

namespace Orvix {

class Image;

class DPISlider : public StepSlider {
  public:
    static constexpr CRect kTrack{80, 30, 836, 60};  // relative to the control
    static constexpr CSize kThumb{16, 13};

    DPISlider(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
              BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"DPISlider"; }
    // The thumb image from the window's cache; FALSE without a manager or image.
    BOOL SetImage(const wchar_t* file, int count = 1) override;
    // The slider's own background (skin folder + file), nine-sliced with inset 10.
    BOOL SetBkgImage(const wchar_t* file);
    void SetScaleValue(float scale);
    float GetScaleValue() const { return m_scaleValue; }

    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  protected:
    int TrackLeft() const override { return m_rect.left + kTrack.left; }
    int TrackWidth() const override { return kTrack.Width(); }
    CSize ThumbSize() const override { return kThumb; }
    int ThumbTop() const override { return m_rect.top + int(50 * m_scaleValue); }

  private:
    void Render(Canvas& canvas, const CRect& slice) const;

    std::shared_ptr<Image> m_background;
    float m_scaleValue = 1.0f;
};

}  // namespace Orvix
