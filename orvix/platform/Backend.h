#pragma once
// Internal: what a back end provides to the platform core, and the input entry
// points through which a back end (or a test, for headless) feeds native events
// into the core. The core turns them into Win32 messages with capture, window
// moves, activation, key state and leave tracking applied the same way for all.
//
// Back ends deal in device pixels only: native window rects, presented
// pixels, work areas, the cursor and the points of input events. The core
// converts to the toolkit's logical units with the program's scale.
#include <memory>
#include <string>
#include <vector>

#include <functional>

#include "orvix/platform/Canvas.h"
#include "orvix/platform/DesktopScale.h"
#include "orvix/platform/Platform.h"

namespace Orvix {

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool Init() = 0;
    virtual uint64_t Now() = 0;
    virtual int PaintDelay() const = 0;

    // Native windows, named by an opaque pointer the back end chooses.
    virtual void* CreateNative(HWND hwnd, const WindowParams& params) = 0;
    virtual void DestroyNative(void* native) = 0;
    virtual void ShowNative(void* native, bool show, bool activate) = 0;
    virtual void SetNativeBounds(void* native, const CRect& screen) = 0;
    virtual void SetNativeTitle(void* native, const std::wstring& title) = 0;
    virtual void SetNativeOpacity(void* native, BYTE alpha) = 0;
    virtual void RaiseNative(void* native) = 0;
    // The X11 window id behind a native window; 0 when there is none.
    virtual uint64_t NativeX11Id(void*) { return 0; }
    // `image` holds device pixels; `rect` is in them.
    virtual void PresentNative(void* native, const Canvas& image, const CRect& rect) = 0;
    // The user may resize the window, not below `minimum`.
    virtual void SetNativeResizable(void*, CSize minimum) { (void)minimum; }
    virtual void SetNativeIcon(void*, const std::vector<std::shared_ptr<const Canvas>>&) {}
    virtual DesktopScaleSources GetDesktopScaleSources();
    // `changed` may be called on any thread.
    virtual void WatchDesktopScale(std::function<void()> changed) { (void)changed; }
    // A back end whose native window keeps its pixels (a window surface) needs no
    // second copy of them: the core then keeps the presented image only on request,
    // read back from the window.
    virtual bool KeepsPresentedPixels() const { return false; }
    virtual std::unique_ptr<Canvas> ReadNative(void*) { return nullptr; }

    virtual void SetCapture(bool on) = 0;
    virtual void SetCursor(CursorKind cursor) = 0;
    virtual CPoint GetCursorPos() = 0;
    virtual CRect GetWorkArea(POINT nearPoint) = 0;
    virtual bool GetDisplayInfo(POINT nearPoint, DisplayInfo& info) = 0;
    virtual void StartTextInput(void* native, const CRect& screenCaret) = 0;
    virtual void StopTextInput() = 0;
    virtual void SetClipboardText(const std::wstring& text) = 0;
    virtual std::wstring GetClipboardText() = 0;

    // Translates pending native events into the input calls below, waiting up to
    // timeoutMs for one (0 = poll, -1 = until woken). Returns false when the
    // back end cannot wait for the time to pass (headless: the clock is the test's).
    virtual bool PumpEvents(int timeoutMs) = 0;
    // Thread-safe: makes a waiting PumpEvents return.
    virtual void Wake() = 0;
};

// Input entry points (UI thread). Points are client coordinates of `hwnd` in
// device pixels, sizes and positions device pixels too.
namespace Input {
enum class Button { Left, Right, Middle };
void MouseMove(HWND hwnd, CPoint pt);
void MouseButton(HWND hwnd, Button button, bool down, CPoint pt, int clicks);
void MouseWheel(HWND hwnd, CPoint pt, int delta);
void MouseLeave(HWND hwnd);
// A press that reached none of the program's windows (the desktop took it).
void PressOutside();
void Key(HWND hwnd, UINT vk, bool down);
void Text(HWND hwnd, const std::wstring& text);
void ImeComposition(HWND hwnd, const std::wstring& text, int cursor);
void Focus(HWND hwnd, bool gained);
void CloseRequest(HWND hwnd);
void Resized(HWND hwnd, int width, int height);
void Moved(HWND hwnd, int x, int y);
void Exposed(HWND hwnd);
void DropFiles(HWND hwnd, CPoint pt, std::vector<std::wstring> files);
}  // namespace Input

// Back-end factories (one per back-end file).
Backend* CreateSdlBackend();
Backend* CreateHeadlessBackend();

}  // namespace Orvix
