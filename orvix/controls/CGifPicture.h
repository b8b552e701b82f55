#pragma once
// A frame animation: the frames of an animated GIF, or of a strip of `count`
// frames. While running, every fifth tick of the window's animation ticker
// shows the next frame, wrapping to the first. Frames fit the rect: natural
// size centred, scaled down (keeping the aspect) when larger.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class CGifPicture : public MControlFont {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    static constexpr int kTicksPerFrame = 5;

    CGifPicture(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    BOOL SetImage(const wchar_t* file, int count = 1) override;
    // Starts (run != 0) or stops the animation; `frame` >= 0 also shows that
    // frame. Refused (FALSE) for a picture of one frame.
    BOOL SetRunState(int run, int frame = -1);
    BOOL IsRunning() const { return m_run; }
    // When on, the animation runs only while the pointer is over the control.
    void SetMouseMoveActive(bool active) { m_mouseActive = active; }
    int GetFrameCount() const;
    int GetCurrentFrame() const { return m_current; }

    void InitControl(PaintManager* manager) override;
    BOOL OnControlTimer() override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // A picture that only animates under the pointer takes the pointer, no keys.
    BOOL IsDecoration() const override { return !m_mouseActive; }

private:
    void ShowFrame(int frame);

    BOOL m_run = FALSE;
    bool m_mouseActive = false;
    bool m_hover = false;
    int m_current = 0;
    int m_ticks = 0;
};

}  // namespace Orvix
