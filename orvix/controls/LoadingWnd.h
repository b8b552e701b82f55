#pragma once
// A busy indicator: a no-activate layered window over a rect of its owner that
// loops a frame animation (a strip of frames, or the frames of a GIF with
// their own delays) on its background.
#include <memory>

#include "orvix/core/MPaintWnd.h"
#include "orvix/core/MObject.h"

namespace Orvix {

class LoadingWnd : public MPaintWnd, public MObject {
public:
    static constexpr UINT kFrameTimer = 1;
    static constexpr UINT kStripFrameMs = 80;

    // Creates the window over `rect` (client coordinates of the owner) and
    // starts the animation.
    BOOL CreateDlg(HWND owner, CRect rect);
    BOOL LoadAnimateImage(const std::wstring& file, int frameCount);
    BOOL LoadGifImage(const std::wstring& file);
    int GetFrameCount() const;
    int GetCurrentFrame() const { return m_frame; }

protected:
    void OnDraw(Canvas& canvas, const CRect& client) override;
    void OnTimer(UINT id) override;

private:
    void Restart();
    UINT FrameDelay() const;

    std::shared_ptr<Image> m_animation;
    int m_stripFrames = 1;
    bool m_gif = false;
    int m_frame = 0;
};

}  // namespace Orvix
