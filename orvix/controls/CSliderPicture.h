#pragma once
// A picture that slides endlessly through its rect (a marquee): each tick of
// the window's animation ticker moves it by a step, wrapping round.
#include <memory>

#include "orvix/core/MPicture.h"

namespace Orvix {

enum SLIDER_MODE { SLIDER_LEFT = 0, SLIDER_RIGHT = 1, SLIDER_UP = 2, SLIDER_DOWN = 3 };

class CSliderPicture : public MPicture {
public:
    CSliderPicture(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                   BOOL enabled = TRUE);

    // Starts or stops the slide in a direction; `step` pixels per tick.
    void SetRun(BOOL run, SLIDER_MODE mode = SLIDER_LEFT, int step = 1);
    BOOL IsRun() const { return m_run; }
    int GetOffset() const { return m_offset; }

    void InitControl(PaintManager* manager) override;
    BOOL OnControlTimer() override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

private:
    std::unique_ptr<Canvas> m_frame;  // the fitted picture, on transparent
    BOOL m_run = FALSE;
    SLIDER_MODE m_mode = SLIDER_LEFT;
    int m_step = 1;
    int m_offset = 0;
};

}  // namespace Orvix
