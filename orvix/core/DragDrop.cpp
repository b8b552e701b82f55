#include "orvix/core/DragDrop.h"

#include <cstdlib>

#include "orvix/core/MWindow.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"
#include "orvix/platform/Image.h"

namespace Orvix {

namespace {
// One drag at a time, on the UI thread.
struct DragState {
    MControl* source = nullptr;
    DragTracker* tracker = nullptr;  // of the source's window
    CPoint origin;
    bool started = false;
    bool passing = false;  // a message the drag sends itself goes through
    std::shared_ptr<Image> image;
};
DragState g_drag;

// What the control looks like, for a source without a drop image of its own.
std::shared_ptr<Image> Snapshot(MControl& control) {
    const CRect r = control.GetRect();
    if (r.IsRectEmpty()) return nullptr;
    Canvas canvas(r.Width(), r.Height());
    canvas.Clear();
    canvas.PushOrigin(-r.left, -r.top);
    control.Draw(canvas, r);
    canvas.PopOrigin();
    return Image::FromCanvas(canvas);
}

bool InTree(const std::vector<MControl*>& list, const MControl* wanted) {
    for (MControl* c : list)
        if (c == wanted || InTree(c->GetControls(), wanted) || InTree(c->GetAreas(), wanted)) return true;
    return false;
}

// The visible window of the program under a screen point, the source's own first.
HWND WindowAt(POINT screen, HWND preferred) {
    auto contains = [&](HWND hwnd) {
        return hwnd && Platform::IsWindowVisible(hwnd) &&
               Platform::GetWindowRect(hwnd).PtInRect(CPoint(screen.x, screen.y));
    };
    if (contains(preferred)) return preferred;
    for (MWindow* wnd : Manager::GetWindows())
        if (contains(wnd->GetSafeHwnd())) return wnd->GetSafeHwnd();
    return nullptr;
}
}  // namespace

DragTracker::DragTracker(PaintManager* manager)
    : MControl(nullptr, kTrackerId, CRect(), nullptr, FALSE, TRUE) {
    SetRresponse(FALSE);
    SetManager(manager);
}

void DragTracker::Begin(MControl& source, CPoint pt) {
    PaintManager* manager = source.GetManager();
    if (!manager || !manager->GetPaintWnd()) return;
    DragTracker* tracker = nullptr;
    for (MControl* c : manager->GetControls())
        if (c->GetID() == kTrackerId && (tracker = dynamic_cast<DragTracker*>(c))) break;
    if (!tracker) {
        tracker = new DragTracker(manager);
        manager->AddControl(tracker, 1);
    }
    g_drag = DragState{&source, tracker, pt, false, false, nullptr};
}

bool DragTracker::IsDragging() {
    return g_drag.started;
}
std::shared_ptr<Image> DragTracker::GetDragImage() {
    return g_drag.image;
}

bool DragTracker::Start() {
    // The source may have gone since the press (the owner rebuilt its page).
    if (!InTree(m_manager->GetControls(), g_drag.source)) {
        g_drag = DragState{};
        return false;
    }
    MControl& source = *g_drag.source;
    g_drag.image = source.GetControlDropBitmap();
    if (!g_drag.image) g_drag.image = Snapshot(source);
    g_drag.started = true;
    // The source's press ends here: it sees the button come up away from it,
    // and the window lets the mouse go.
    g_drag.passing = true;
    Platform::SendMessage(m_manager->GetPaintWnd(), WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
    g_drag.passing = false;
    Platform::SetCursor(CursorKind::Hand);
    return true;
}

void DragTracker::Drop(CPoint pt) {
    std::shared_ptr<Image> image = g_drag.image;
    const HWND from = m_manager->GetPaintWnd();
    g_drag = DragState{};
    POINT screen{pt.x, pt.y};
    Platform::ClientToScreen(from, screen);
    const HWND target = WindowAt(screen, from);
    Platform::SetCursor(CursorKind::Arrow);
    if (!target) return;  // dropped outside the program: nothing happens
    POINT at = screen;
    Platform::ScreenToClient(target, at);
    // The pointer arrives over the target (its control becomes the hover one),
    // the button comes up there, and the window is handed the picture.
    Platform::SendMessage(target, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    Platform::PostMessage(target, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    if (image) Platform::SendMessage(target, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(&image));
}

void DragTracker::Cancel() {
    g_drag = DragState{};
    Platform::SetCursor(CursorKind::Arrow);
}

LRESULT DragTracker::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_drag.tracker != this || g_drag.passing || !g_drag.source) return 0;
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!g_drag.started) {
                if (std::abs(pt.x - g_drag.origin.x) < kThreshold &&
                    std::abs(pt.y - g_drag.origin.y) < kThreshold)
                    return 0;
                if (!Start()) return 0;
            }
            return 1;  // no mouse input for the window while dragging
        case WM_LBUTTONUP:
            if (!g_drag.started) {
                g_drag = DragState{};  // a plain click
                return 0;
            }
            Drop(pt);
            return 1;
        case WM_KEYDOWN:
            if (g_drag.started && wParam == VK_ESCAPE) {
                Cancel();
                return 1;
            }
            return g_drag.started ? 1 : 0;
        case WM_NCACTIVATE:
            if (!wParam) Cancel();
            return 0;
        case WM_NCDESTROY:
            Cancel();
            return 0;
        default:
            return 0;
    }
}

}  // namespace Orvix
