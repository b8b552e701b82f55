#pragma once
// The abstract windowing layer: windows, the message queue and loop, timers,
// the animation ticker, capture, cursors, keys, text input, clipboard and
// presentation of painted back buffers. One back end serves the process:
// `sdl` (desktop windows; SDL_VIDEODRIVER=offscreen runs without a display) or
// `headless` (in-memory windows driven by tests, see Headless.h).
//
// Threads: everything here belongs to the UI thread (the one that called Init)
// except PostMessage, PostTask and PostQuitMessage, which any thread may call;
// they wake a waiting GetMessage.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvix/platform/WinTypes.h"

namespace Orvix {

class Canvas;

enum class BackendKind { Auto, Sdl, Headless };
enum class CursorKind { None, Arrow, Wait, Cross, SizeWE, SizeNS, Hand, Help };

// The receiver of a window's messages (MWindow implements it).
class WindowProcedure {
public:
    virtual ~WindowProcedure() = default;
    virtual LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

// What a window is to the desktop's window manager. Auto: a tooltip when it
// never activates (WS_EX_NOACTIVATE), a dialog when it has an owner, else a
// normal top-level window.
enum class WindowKind { Auto, Normal, Dialog, PopupMenu, DropdownMenu, Tooltip };

// Creation parameters; WM_CREATE's lParam points at them. Windows have no
// frame: the rect is the client area in screen coordinates.
struct WindowParams {
    HWND owner = nullptr;
    std::wstring title;
    DWORD style = WS_POPUP;
    DWORD exStyle = 0;
    CRect rect;
    WindowKind kind = WindowKind::Auto;
};

// One display of the desktop: its bounds in screen coordinates and in device
// pixels, and its horizontal dots per inch as the desktop reports it (0 when
// it does not).
struct DisplayInfo {
    CRect bounds;
    CRect deviceBounds;
    int dpi = 0;
};

// What the desktop says about scaling, as read from the display (see
// DesktopScale.h for what each source means and how they combine).
struct DesktopScaleSources;

// Payload of WM_DROPFILES (wParam points at it during dispatch).
struct DropFilesData {
    CPoint point;  // client coordinates
    std::vector<std::wstring> files;
};
// Payload of WM_IME_COMPOSITION (wParam points at it during dispatch).
struct ImeCompositionData {
    std::wstring text;
    int cursor = 0;
};

class Platform {
public:
    // Auto reads ORVIX_BACKEND ("headless" or "sdl"; default sdl).
    static bool Init(BackendKind kind = BackendKind::Auto);
    // Destroys every remaining window and the back end.
    static void Shutdown();
    static bool IsInitialized();
    static BackendKind GetBackend();

    // ---- windows ----
    static HWND CreateWindow(WindowProcedure* proc, const WindowParams& params);
    static BOOL DestroyWindow(HWND hwnd);  // owned windows go first
    static BOOL IsWindow(HWND hwnd);
    // The windows created with `title`, or titled so now (in no particular order).
    static std::vector<HWND> FindWindows(const std::wstring& title);
    static BOOL ShowWindow(HWND hwnd, int cmd);
    static BOOL IsWindowVisible(HWND hwnd);
    static BOOL IsIconic(HWND hwnd);
    static BOOL IsZoomed(HWND hwnd);
    static BOOL EnableWindow(HWND hwnd, BOOL enable);
    static BOOL IsWindowEnabled(HWND hwnd);
    static HWND GetOwner(HWND hwnd);
    static DWORD GetStyle(HWND hwnd);
    static DWORD GetExStyle(HWND hwnd);
    static void SetStyle(HWND hwnd, DWORD style, DWORD exStyle);
    static void SetWindowText(HWND hwnd, const std::wstring& text);
    static std::wstring GetWindowText(HWND hwnd);
    static CRect GetWindowRect(HWND hwnd);  // screen coordinates
    static CRect GetClientRect(HWND hwnd);  // (0, 0, width, height)
    static BOOL MoveWindow(HWND hwnd, const CRect& screenRect);
    static void ClientToScreen(HWND hwnd, POINT& pt);
    static void ScreenToClient(HWND hwnd, POINT& pt);
    // Per-pixel alpha presentation, and a constant alpha for the whole window.
    static void SetLayered(HWND hwnd, BOOL layered, BYTE constantAlpha = 255);
    static BOOL IsLayered(HWND hwnd);

    // ---- activation, capture, cursor ----
    static HWND SetActiveWindow(HWND hwnd);  // sends WM_NCACTIVATE/WM_ACTIVATE
    static HWND GetActiveWindow();
    static void BringToTop(HWND hwnd);
    static HWND SetCapture(HWND hwnd);
    static BOOL ReleaseCapture();
    static HWND GetCapture();
    // The topmost visible window of the program under a screen point (tips,
    // bubbles and shadows let the pointer through); null over anything else.
    static HWND WindowFromPoint(POINT screen);
    // The same for a screen point in device pixels, as a desktop's pointer
    // has it; `client` gets the point in that window's client device pixels.
    static HWND WindowFromDevicePoint(POINT deviceScreen, POINT& client);
    // A pop-up that closes when a press lands anywhere but on it (or on a
    // window it owns): it is sent WM_CANCELMODE, even when the press lands on
    // its disabled owner or no window manager takes its activation away.
    static void SetDismissOnOutsidePress(HWND hwnd, BOOL dismiss);
    // The next time the pointer leaves the window, WM_MOUSELEAVE is posted once.
    static void TrackMouseLeave(HWND hwnd);
    static void SetCursor(CursorKind cursor);
    static CursorKind GetCursor();
    // Moves the window with the pointer until the left button is released (the
    // caption drag); the window receives no mouse messages meanwhile.
    static void BeginWindowMove(HWND hwnd);
    static BOOL IsWindowMoving();

    // ---- painting ----
    static void InvalidateRect(HWND hwnd, const CRect* rect = nullptr);  // null = whole client
    static CRect GetUpdateRect(HWND hwnd);
    // Takes the pending update rect (empty when none) and validates the window.
    static CRect BeginPaint(HWND hwnd);
    // Puts a finished back buffer on screen: only `rect`, or the whole buffer for
    // layered windows. The last presented image of each window is kept.
    static void Present(HWND hwnd, const Canvas& backBuffer, const CRect& rect);
    // Paints now when an update is pending (sends WM_PAINT).
    static void UpdateWindow(HWND hwnd);
    // The window's last presented image; null before the first paint.
    static const Canvas* GetPresentedImage(HWND hwnd);
    static bool SaveScreenshot(HWND hwnd, const std::wstring& pngPath);
    // Milliseconds the paint handler waits after presenting (0 in headless).
    static int GetPaintDelay();
    static void SetPaintDelay(int ms);

    // ---- messages ----
    static BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    static BOOL PostMessageWithPayload(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       std::shared_ptr<const void> payload);
    // Runs a closure on the UI thread from its message loop.
    static void PostTask(std::function<void()> task);
    static void PostQuitMessage(int exitCode);
    static LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    static LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Blocks until a message is there; FALSE for WM_QUIT. Nests (modal loops).
    static BOOL GetMessage(MSG& msg);
    static BOOL PeekMessage(MSG& msg);
    static LRESULT DispatchMessage(const MSG& msg);
    // Dispatches everything that is ready without waiting; returns the count.
    // The close of a window whose modal loop runs is left for that loop.
    static int RunPending();
    // Modal loops say when they run for a window.
    static void SetInModalLoop(HWND hwnd, BOOL inLoop);
    static BOOL IsInModalLoop(HWND hwnd);

    // ---- time ----
    static uint64_t GetTickCount();  // milliseconds; the test clock in headless
    // Native timers: WM_TIMER with wParam = id. A repeated id restarts the timer.
    static UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs);
    static BOOL KillTimer(HWND hwnd, UINT_PTR id);
    // The periodic ticker (animation role): `tick` runs on the UI thread every
    // period; late ticks are coalesced. Returns an id > 0.
    static UINT StartTicker(UINT periodMs, std::function<void()> tick);
    static void StopTicker(UINT id);
    static UINT GetCaretBlinkTime() { return 530; }

    // ---- keyboard and text ----
    static bool IsKeyDown(UINT vk);
    static short GetKeyState(UINT vk);  // high bit set while down (Win32 shape)
    // Text input (WM_CHAR, WM_IME_COMPOSITION) with the IME placed at the caret.
    static void StartTextInput(HWND hwnd, const CRect& caretClientRect);
    static void StopTextInput();
    static bool IsTextInputActive();

    // ---- display scale ----
    // Device pixels per logical unit, one factor for the whole program. Every
    // coordinate above and below is logical (client, screen, work area,
    // pointer); only the back ends deal in device pixels. A new factor keeps
    // each window's logical size and the device pixel of its corner; every
    // window gets WM_DPICHANGED and repaints at the new factor.
    static void SetScale(double scale);
    static double GetScale();
    // The client area in device pixels (the size of the window's back buffer).
    static CSize GetDeviceClientSize(HWND hwnd);
    // Where a client rect of the window lies on the screen, in device pixels
    // (what assistive technologies and pictures of the desktop see).
    static CRect ClientToDeviceScreen(HWND hwnd, const CRect& clientRect);
    // A window whose content follows its size: when the user resizes it or it
    // is maximised or restored, the program's factor becomes the one at which
    // `design` (logical) just fills it, kept within [minScale, maxScale]; the
    // window's logical size is then its device size over that factor.
    static void SetScaleFollowsSize(HWND hwnd, CSize design, double minScale, double maxScale);
    // The desktop's scale settings as they are now (environment, XSETTINGS,
    // X resources; nothing from a display that has none).
    static DesktopScaleSources GetDesktopScaleSources();
    // Runs `changed` on the UI thread whenever the desktop announces new scale
    // settings (an XSETTINGS or resource change); null stops it.
    static void SetDesktopScaleListener(std::function<void()> changed);

    // ---- window manager ----
    // The pictures the desktop shows for the window (taskbar, switcher), in
    // several sizes; owned windows without their own show their owner's.
    static void SetWindowIcon(HWND hwnd, const std::vector<std::shared_ptr<const Canvas>>& sizes);

    // ---- desktop ----
    static void SetClipboardText(const std::wstring& text);
    static std::wstring GetClipboardText();
    static CRect GetWorkArea(POINT nearPoint);
    // The display that holds the point, else the nearest one; false when the
    // desktop has none.
    static bool GetDisplayInfo(POINT nearPoint, DisplayInfo& info);
    static CPoint GetCursorPos();
};

}  // namespace Orvix
