#pragma once
// Drag and drop between controls of the program's windows. A press on a
// control armed with SetDragDrop(TRUE) makes it the drag source; once the
// pointer travels a few pixels with the button held, the drag starts: the
// source's press ends (it sees a release outside itself), the window takes no
// other mouse input, and the source's drop image (GetControlDropBitmap, else a
// picture of the control) travels with the pointer. Releasing the button drops
// it on the window under the pointer, as a dropped file does: the window gets a
// left release at the drop point (so the control there sees it) and the image
// as STM_SETIMAGE. Escape, or the window losing activation, cancels the drag.
//
// A DragTracker is an invisible top-level control of a window: top-level
// controls see the window's raw messages before the window handles them.
#include <memory>

#include "orvix/core/MControl.h"

namespace Orvix {

class Image;

class DragTracker : public MControl {
  public:
    static constexpr UINT kTrackerId = 0xD7A6;
    // Pixels the pointer travels with the button held before a press becomes a drag.
    static constexpr int kThreshold = 4;

    // A press landed on `source` (armed) at `pt`, window coordinates.
    static void Begin(MControl& source, CPoint pt);
    static bool IsDragging();
    // The image of the drag under way (null when none).
    static std::shared_ptr<Image> GetDragImage();

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DrawControl(Canvas&, CRect) override {}

  private:
    explicit DragTracker(PaintManager* manager);
    bool Start();
    void Drop(CPoint pt);
    void Cancel();
};

}  // namespace Orvix
