// The platform core: window records, the message queue and loop, timers and
// tickers, and the input rules shared by every back end.
#include "orvix/platform/Platform.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

#include "orvix/platform/Backend.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Image.h"
#include "orvix/platform/NativeWindow.h"

namespace Orvix {

namespace {

struct WindowRecord {
    HWND hwnd = nullptr;
    WindowProcedure* proc = nullptr;
    WindowParams params;
    void* native = nullptr;
    CRect rect;           // screen, logical
    CRect device;         // screen, device pixels (what the native window has)
    CRect restoreRect;    // before maximise
    CRect restoreDevice;  // the same in device pixels
    // A window whose size sets the program's factor (SetScaleFollowsSize).
    bool followsSize = false;
    CSize design;
    double minScale = 1, maxScale = 1;
    CRect update;       // pending invalid rect (client)
    bool visible = false;
    bool enabled = true;
    bool iconic = false;
    bool zoomed = false;
    bool layered = false;
    bool trackLeave = false;
    std::vector<std::shared_ptr<const Canvas>> icon;
    // The title the desktop shows (SetWindowText); params.title keeps the name
    // the window was created with, by which the program finds it.
    std::wstring text;
    bool destroying = false;
    bool dismissOnOutsidePress = false;
    int modalLoops = 0;  // modal loops running for this window
    uint64_t raised = 0;  // stacking: the window raised last lies on top
    BYTE alpha = 255;
    std::unique_ptr<Canvas> presented;
};

struct Timer {
    HWND hwnd = nullptr;  // null for tickers
    UINT_PTR id = 0;
    UINT period = 0;
    uint64_t due = 0;
    std::shared_ptr<std::function<void()>> tick;  // tickers only
};

struct State {
    std::unique_ptr<Backend> backend;
    BackendKind kind = BackendKind::Sdl;
    int paintDelay = 0;
    double scale = 1.0;  // device pixels per logical unit
    std::function<void()> desktopScaleListener;

    // Guarded by `mutex`: the posted-message queue and the set of live handles.
    std::mutex mutex;
    std::deque<MSG> queue;
    std::map<HWND, std::unique_ptr<WindowRecord>> windows;

    // UI thread only.
    uintptr_t nextHandle = 0;
    std::vector<Timer> timers;
    UINT nextTicker = 0;
    // Key state as of the message being handled (GetKeyState), and as of the
    // latest injected event (what new messages are built from).
    std::array<bool, 256> keys{};
    std::array<bool, 256> asyncKeys{};
    HWND active = nullptr;
    HWND capture = nullptr;
    HWND pointerWindow = nullptr;
    CursorKind cursor = CursorKind::Arrow;
    HWND moving = nullptr;
    CPoint moveGrab;  // pointer offset inside the moved window
    HWND textInput = nullptr;
    uint64_t raiseCounter = 0;
    CPoint lastPointer;  // screen, as the last pointer event had it
};

State* g_state = nullptr;

WindowRecord* Find(HWND hwnd) {
    if (!g_state || !hwnd) return nullptr;
    std::lock_guard lock(g_state->mutex);
    auto it = g_state->windows.find(hwnd);
    return it == g_state->windows.end() ? nullptr : it->second.get();
}

// Logical units and device pixels. Positions and sizes convert separately, so
// a window's device size does not depend on where it stands.
int ToDevice(int v) { return int(std::lround(v * g_state->scale)); }
int ToLogical(int v) { return int(std::lround(v / g_state->scale)); }
CRect DeviceRectOf(const CRect& r) {
    const int x = ToDevice(r.left), y = ToDevice(r.top);
    return CRect(x, y, x + ToDevice(r.Width()), y + ToDevice(r.Height()));
}
CRect LogicalRectOf(const CRect& r) {
    const int x = ToLogical(r.left), y = ToLogical(r.top);
    return CRect(x, y, x + ToLogical(r.Width()), y + ToLogical(r.Height()));
}
// The logical point whose unit holds a device pixel's centre.
CPoint PointToLogical(CPoint device) {
    auto one = [](int v) { return int(std::floor((v + 0.5) / g_state->scale)); };
    return {one(device.x), one(device.y)};
}

WPARAM MouseKeyFlags() {
    const auto& k = g_state->asyncKeys;
    WPARAM f = 0;
    if (k[VK_LBUTTON]) f |= MK_LBUTTON;
    if (k[VK_RBUTTON]) f |= MK_RBUTTON;
    if (k[VK_MBUTTON]) f |= MK_MBUTTON;
    if (k[VK_SHIFT]) f |= MK_SHIFT;
    if (k[VK_CONTROL]) f |= MK_CONTROL;
    return f;
}

// The earliest timer that is due now, or null.
Timer* DueTimer(uint64_t now) {
    Timer* best = nullptr;
    for (auto& t : g_state->timers)
        if (t.due <= now && (!best || t.due < best->due)) best = &t;
    return best;
}

bool NextTimerDue(uint64_t& due) {
    bool any = false;
    for (auto& t : g_state->timers)
        if (!any || t.due < due) due = t.due, any = true;
    return any;
}

// GetKeyState follows the queue: a key counts as down from the moment its
// message is taken.
void ApplyKeyState(const MSG& msg) {
    auto& k = g_state->keys;
    switch (msg.message) {
        case WM_KEYDOWN: case WM_SYSKEYDOWN: if (msg.wParam < 256) k[msg.wParam] = true; break;
        case WM_KEYUP: case WM_SYSKEYUP: if (msg.wParam < 256) k[msg.wParam] = false; break;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: k[VK_LBUTTON] = true; break;
        case WM_LBUTTONUP: k[VK_LBUTTON] = false; break;
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: k[VK_RBUTTON] = true; break;
        case WM_RBUTTONUP: k[VK_RBUTTON] = false; break;
        default: break;
    }
}

// Takes a posted message (dropping those of windows that are gone), else a
// paint, else a due timer.
bool TakeReady(MSG& msg) {
    {
        std::lock_guard lock(g_state->mutex);
        while (!g_state->queue.empty()) {
            msg = std::move(g_state->queue.front());
            g_state->queue.pop_front();
            ApplyKeyState(msg);
            if (!msg.hwnd || g_state->windows.count(msg.hwnd)) return true;
        }
        for (auto& [hwnd, w] : g_state->windows) {
            if (w->visible && !w->iconic && !w->update.IsRectEmpty()) {
                msg = MSG{};
                msg.hwnd = hwnd;
                msg.message = WM_PAINT;
                msg.time = DWORD(g_state->backend->Now());
                return true;
            }
        }
    }
    uint64_t now = g_state->backend->Now();
    if (Timer* t = DueTimer(now)) {
        // Late periods are coalesced, as WM_TIMER does.
        t->due = std::max(t->due + t->period, now + 1);
        msg = MSG{};
        msg.time = DWORD(now);
        if (t->tick) {
            msg.message = WM_ORVIX_TASK;
            msg.payload = t->tick;
        } else {
            msg.hwnd = t->hwnd;
            msg.message = WM_TIMER;
            msg.wParam = t->id;
        }
        return true;
    }
    return false;
}

// The window's size limits (WM_GETMINMAXINFO), starting from what the desktop
// allows: the whole display when maximised and any size from 1 x 1.
MINMAXINFO QueryMinMax(HWND hwnd, const CRect& rect) {
    MINMAXINFO info;
    DisplayInfo display;
    const CPoint centre = rect.CenterPoint();
    const CRect bounds =
        Platform::GetDisplayInfo(centre, display) ? display.bounds : Platform::GetWorkArea(centre);
    info.ptMaxPosition = bounds.TopLeft();
    info.ptMaxSize = {bounds.Width(), bounds.Height()};
    info.ptMinTrackSize = {1, 1};
    info.ptMaxTrackSize = {32767, 32767};
    Platform::SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

CSize ClampToTrackSize(const MINMAXINFO& info, int cx, int cy) {
    auto clamp = [](int v, int lo, int hi) { return std::max(lo, std::min(hi, v)); };
    return {clamp(cx, info.ptMinTrackSize.x, info.ptMaxTrackSize.x),
            clamp(cy, info.ptMinTrackSize.y, info.ptMaxTrackSize.y)};
}

void ActivateOwnerOf(WindowRecord* w) {
    HWND owner = w->params.owner;
    if (Find(owner) && Platform::IsWindowVisible(owner)) Platform::SetActiveWindow(owner);
    else if (g_state->active == w->hwnd) g_state->active = nullptr;
}

// Gives a window its logical and device rects; the native window follows when
// `toNative` (not when the change came from it). WM_MOVE and WM_SIZE report the
// logical changes.
BOOL SetWindowRects(WindowRecord* w, const CRect& screenRect, const CRect& device, bool toNative) {
    const HWND hwnd = w->hwnd;
    const CRect old = w->rect;
    const CRect oldDevice = w->device;
    w->device = device;
    if (toNative && oldDevice != device) g_state->backend->SetNativeBounds(w->native, device);
    if (oldDevice.Size() != device.Size()) {
        w->presented.reset();
        Platform::InvalidateRect(hwnd);
    }
    if (old == screenRect) return TRUE;
    w->rect = screenRect;
    if (old.TopLeft() != screenRect.TopLeft())
        Platform::SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(screenRect.left, screenRect.top));
    if (old.Size() != screenRect.Size()) {
        if (w->presented) w->presented.reset();
        Platform::SendMessage(hwnd, WM_SIZE, w->zoomed ? SIZE_MAXIMIZED : SIZE_RESTORED,
                              MAKELPARAM(screenRect.Width(), screenRect.Height()));
        Platform::InvalidateRect(hwnd);
    }
    return TRUE;
}


// The program's factor becomes `scale`. Every window keeps its logical size and
// the device pixel of its corner, except `pinned` (a window that follows its
// size), which keeps its device rect and takes the logical size that gives.
void ApplyScale(double scale, WindowRecord* pinned, const CRect& pinnedDevice) {
    const bool changed = scale != g_state->scale;
    g_state->scale = scale;
    Image::SetDensity(scale > 1.0 ? 2 : 1);
    std::vector<WindowRecord*> windows;
    {
        std::lock_guard lock(g_state->mutex);
        for (auto& [hwnd, w] : g_state->windows) windows.push_back(w.get());
    }
    for (WindowRecord* w : windows) {
        if (w == pinned || !changed) continue;
        const CPoint corner = w->device.TopLeft();
        const CRect logical(CPoint(ToLogical(corner.x), ToLogical(corner.y)), w->rect.Size());
        SetWindowRects(w, logical, CRect(corner, CSize(ToDevice(logical.Width()), ToDevice(logical.Height()))), true);
        if (w->zoomed) w->restoreDevice = DeviceRectOf(w->restoreRect);
    }
    if (pinned) {
        const bool toNative = pinned->device != pinnedDevice;
        SetWindowRects(pinned, LogicalRectOf(pinnedDevice), pinnedDevice, toNative);
    }
    if (!changed) return;
    const int dpi = int(std::lround(96 * scale));
    for (WindowRecord* w : windows) {
        if (!Platform::IsWindow(w->hwnd)) continue;
        Platform::SendMessage(w->hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
        Platform::InvalidateRect(w->hwnd);
    }
}

// A window that follows its size got a new device rect: the factor at which
// its design fills it, within its limits (a smaller window is held at the
// smallest factor's size).
void ResizeFollowing(WindowRecord* w, CRect device) {
    const double fit = std::min(double(device.Width()) / w->design.cx, double(device.Height()) / w->design.cy);
    const double scale = std::clamp(std::round(fit * 1000) / 1000, w->minScale, w->maxScale);
    const CSize least(int(std::lround(w->design.cx * w->minScale)), int(std::lround(w->design.cy * w->minScale)));
    device.right = device.left + std::max(device.Width(), least.cx);
    device.bottom = device.top + std::max(device.Height(), least.cy);
    ApplyScale(scale, w, device);
}

}  // namespace

// ---------------------------------------------------------------- life cycle

bool Platform::Init(BackendKind kind) {
    if (g_state) return true;
    if (kind == BackendKind::Auto) {
        const char* env = std::getenv("ORVIX_BACKEND");
        kind = (env && std::strcmp(env, "headless") == 0) ? BackendKind::Headless : BackendKind::Sdl;
    }
    auto state = std::make_unique<State>();
    state->kind = kind;
    state->backend.reset(kind == BackendKind::Headless ? CreateHeadlessBackend() : CreateSdlBackend());
    if (!state->backend->Init()) return false;
    state->paintDelay = state->backend->PaintDelay();
    g_state = state.release();
    return true;
}

void Platform::Shutdown() {
    if (!g_state) return;
    for (;;) {
        HWND any = nullptr;
        {
            std::lock_guard lock(g_state->mutex);
            if (!g_state->windows.empty()) any = g_state->windows.begin()->first;
        }
        if (!any) break;
        DestroyWindow(any);
    }
    delete g_state;
    g_state = nullptr;
}

bool Platform::IsInitialized() { return g_state != nullptr; }
BackendKind Platform::GetBackend() { return g_state ? g_state->kind : BackendKind::Auto; }

// ---------------------------------------------------------------- windows

HWND Platform::CreateWindow(WindowProcedure* proc, const WindowParams& params) {
    if (!g_state || !proc) return nullptr;
    auto record = std::make_unique<WindowRecord>();
    HWND hwnd = reinterpret_cast<HWND>(++g_state->nextHandle);
    record->hwnd = hwnd;
    record->proc = proc;
    record->params = params;
    record->params.style &= ~WS_VISIBLE;
    record->text = params.title;
    record->rect = params.rect;
    record->device = DeviceRectOf(params.rect);
    record->layered = (params.exStyle & WS_EX_LAYERED) != 0;
    WindowParams native = params;
    native.rect = record->device;
    if (native.kind == WindowKind::Auto)
        native.kind = (params.exStyle & WS_EX_NOACTIVATE) ? WindowKind::Tooltip
                      : params.owner                     ? WindowKind::Dialog
                                                         : WindowKind::Normal;
    record->native = g_state->backend->CreateNative(hwnd, native);
    if (!record->native) return nullptr;
    // A window without a picture of its own shows its owner's.
    if (WindowRecord* owner = Find(params.owner); owner && !owner->icon.empty())
        g_state->backend->SetNativeIcon(record->native, owner->icon);
    {
        std::lock_guard lock(g_state->mutex);
        g_state->windows[hwnd] = std::move(record);
    }
    WindowParams create = params;
    if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) || !IsWindow(hwnd) ||
        SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(params.rect.Width(), params.rect.Height()));
    if (params.style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL Platform::DestroyWindow(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    // Owned windows go first, as on Win32.
    std::vector<HWND> owned;
    {
        std::lock_guard lock(g_state->mutex);
        for (auto& [h, r] : g_state->windows)
            if (r->params.owner == hwnd) owned.push_back(h);
    }
    for (HWND h : owned) DestroyWindow(h);
    if (w->visible) {
        w->visible = false;
        g_state->backend->ShowNative(w->native, false, false);
    }
    if (g_state->active == hwnd) ActivateOwnerOf(w);
    if (g_state->capture == hwnd) ReleaseCapture();
    if (g_state->moving == hwnd) g_state->moving = nullptr;
    if (g_state->pointerWindow == hwnd) g_state->pointerWindow = nullptr;
    if (g_state->textInput == hwnd) StopTextInput();
    std::erase_if(g_state->timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
    SendMessage(hwnd, WM_DESTROY, 0, 0);
    SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    std::unique_ptr<WindowRecord> dead;
    {
        std::lock_guard lock(g_state->mutex);
        auto it = g_state->windows.find(hwnd);
        dead = std::move(it->second);
        g_state->windows.erase(it);
    }
    g_state->backend->DestroyNative(dead->native);
    return TRUE;
}

BOOL Platform::IsWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

std::vector<HWND> Platform::FindWindows(const std::wstring& title) {
    std::vector<HWND> found;
    if (!g_state) return found;
    std::lock_guard lock(g_state->mutex);  // a watching thread may ask too
    for (auto& [hwnd, w] : g_state->windows)
        if ((w->params.title == title || w->text == title) && !w->destroying) found.push_back(hwnd);
    return found;
}

BOOL Platform::ShowWindow(HWND hwnd, int cmd) {
    WindowRecord* w = Find(hwnd);
    if (!w) return FALSE;
    BOOL wasVisible = w->visible;
    CRect client = GetClientRect(hwnd);
    switch (cmd) {
        case SW_HIDE:
            if (!w->visible) return wasVisible;
            w->visible = false;
            g_state->backend->ShowNative(w->native, false, false);
            SendMessage(hwnd, WM_SHOWWINDOW, FALSE, 0);
            if (g_state->active == hwnd) ActivateOwnerOf(w);
            return wasVisible;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            w->iconic = true;
            SendMessage(hwnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(client.Width(), client.Height()));
            break;
        case SW_SHOWMAXIMIZED:
            if (!w->zoomed) {
                w->restoreRect = w->rect;
                w->restoreDevice = w->device;
                w->zoomed = true;
                w->iconic = false;
                const MINMAXINFO info = QueryMinMax(hwnd, w->rect);
                const CSize size = ClampToTrackSize(info, info.ptMaxSize.x, info.ptMaxSize.y);
                if (w->followsSize) ResizeFollowing(w, DeviceRectOf(CRect(info.ptMaxPosition, size)));
                else MoveWindow(hwnd, CRect(info.ptMaxPosition, size));
            }
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
            if (w->iconic) {
                w->iconic = false;
                SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
            } else if (w->zoomed) {
                w->zoomed = false;
                if (w->followsSize) ResizeFollowing(w, w->restoreDevice);
                else MoveWindow(hwnd, w->restoreRect);
            }
            break;
        default:
            break;
    }
    if (!w->visible) {
        w->visible = true;
        w->raised = ++g_state->raiseCounter;
        bool activate = cmd != SW_SHOWNOACTIVATE && !(w->params.exStyle & WS_EX_NOACTIVATE);
        g_state->backend->ShowNative(w->native, true, activate);
        SendMessage(hwnd, WM_SHOWWINDOW, TRUE, 0);
        InvalidateRect(hwnd);
        if (activate) SetActiveWindow(hwnd);
    }
    return wasVisible;
}

BOOL Platform::IsWindowVisible(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w && w->visible;
}
BOOL Platform::IsIconic(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w && w->iconic;
}
BOOL Platform::IsZoomed(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w && w->zoomed;
}

BOOL Platform::EnableWindow(HWND hwnd, BOOL enable) {
    WindowRecord* w = Find(hwnd);
    if (!w) return FALSE;
    BOOL wasDisabled = !w->enabled;
    if (w->enabled != bool(enable)) {
        w->enabled = enable;
        if (!enable && g_state->capture == hwnd) ReleaseCapture();
        SendMessage(hwnd, WM_ENABLE, enable, 0);
    }
    return wasDisabled;
}

BOOL Platform::IsWindowEnabled(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w && w->enabled;
}

HWND Platform::GetOwner(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w ? w->params.owner : nullptr;
}
DWORD Platform::GetStyle(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w ? (w->params.style | (w->visible ? WS_VISIBLE : 0)) : 0;
}
DWORD Platform::GetExStyle(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w ? (w->params.exStyle | (w->layered ? WS_EX_LAYERED : 0)) : 0;
}
void Platform::SetStyle(HWND hwnd, DWORD style, DWORD exStyle) {
    if (WindowRecord* w = Find(hwnd)) {
        w->params.style = style & ~WS_VISIBLE;
        w->params.exStyle = exStyle;
        w->layered = (exStyle & WS_EX_LAYERED) != 0;
    }
}

void Platform::SetWindowText(HWND hwnd, const std::wstring& text) {
    if (WindowRecord* w = Find(hwnd)) {
        w->text = text;
        g_state->backend->SetNativeTitle(w->native, text);
    }
}
std::wstring Platform::GetWindowText(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w ? w->text : std::wstring();
}

uint64_t GetX11WindowId(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w && w->native ? g_state->backend->NativeX11Id(w->native) : 0;
}

CRect Platform::GetWindowRect(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w ? w->rect : CRect();
}
CRect Platform::GetClientRect(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w ? CRect(0, 0, w->rect.Width(), w->rect.Height()) : CRect();
}

BOOL Platform::MoveWindow(HWND hwnd, const CRect& screenRect) {
    WindowRecord* w = Find(hwnd);
    if (!w) return FALSE;
    return SetWindowRects(w, screenRect, DeviceRectOf(screenRect), true);
}

void Platform::ClientToScreen(HWND hwnd, POINT& pt) {
    CRect r = GetWindowRect(hwnd);
    pt.x += r.left, pt.y += r.top;
}
void Platform::ScreenToClient(HWND hwnd, POINT& pt) {
    CRect r = GetWindowRect(hwnd);
    pt.x -= r.left, pt.y -= r.top;
}

void Platform::SetLayered(HWND hwnd, BOOL layered, BYTE constantAlpha) {
    if (WindowRecord* w = Find(hwnd)) {
        w->layered = layered;
        if (layered) w->params.exStyle |= WS_EX_LAYERED;
        else w->params.exStyle &= ~WS_EX_LAYERED;
        if (w->alpha != constantAlpha) {
            w->alpha = constantAlpha;
            g_state->backend->SetNativeOpacity(w->native, constantAlpha);
        }
        InvalidateRect(hwnd);
    }
}
BOOL Platform::IsLayered(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w && w->layered;
}

// ---------------------------------------------------------------- activation, capture, cursor

HWND Platform::SetActiveWindow(HWND hwnd) {
    if (!g_state) return nullptr;
    HWND old = g_state->active;
    if (old == hwnd || (hwnd && !IsWindow(hwnd))) return old;
    g_state->active = hwnd;
    if (WindowRecord* w = Find(hwnd)) w->raised = ++g_state->raiseCounter;
    if (IsWindow(old)) {
        SendMessage(old, WM_NCACTIVATE, FALSE, 0);
        SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    }
    if (hwnd && g_state->active == hwnd) {
        SendMessage(hwnd, WM_NCACTIVATE, TRUE, 0);
        SendMessage(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    }
    return old;
}

HWND Platform::GetActiveWindow() { return g_state ? g_state->active : nullptr; }

void Platform::BringToTop(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    if (!w) return;
    g_state->backend->RaiseNative(w->native);
    w->raised = ++g_state->raiseCounter;
    ShowWindow(hwnd, w->iconic ? SW_RESTORE : SW_SHOW);
    SetActiveWindow(hwnd);
}

HWND Platform::SetCapture(HWND hwnd) {
    if (!g_state) return nullptr;
    HWND old = g_state->capture;
    if (!IsWindow(hwnd)) return old;
    g_state->capture = hwnd;
    g_state->backend->SetCapture(true);
    // The window that had it hears that it lost it, as on Win32.
    if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL Platform::ReleaseCapture() {
    if (!g_state || !g_state->capture) return FALSE;
    HWND old = g_state->capture;
    g_state->capture = nullptr;
    g_state->backend->SetCapture(false);
    SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

namespace {
// The topmost window taking the pointer whose rect (logical or device) holds `screen`.
HWND TopmostWindowAt(POINT screen, CRect WindowRecord::*rect) {
    if (!g_state) return nullptr;
    HWND best = nullptr;
    bool bestTopmost = false;
    uint64_t bestRaised = 0;
    std::lock_guard lock(g_state->mutex);
    for (auto& [hwnd, w] : g_state->windows) {
        // Tips, bubbles and shadows never take the pointer.
        if (!w->visible || w->iconic || w->destroying || (w->params.exStyle & WS_EX_NOACTIVATE)) continue;
        if (!((*w).*rect).PtInRect(CPoint(screen.x, screen.y))) continue;
        const bool topmost = (w->params.exStyle & WS_EX_TOPMOST) != 0;
        if (!best || (topmost && !bestTopmost) || (topmost == bestTopmost && w->raised > bestRaised)) {
            best = hwnd;
            bestTopmost = topmost;
            bestRaised = w->raised;
        }
    }
    return best;
}
}  // namespace

HWND Platform::WindowFromPoint(POINT screen) { return TopmostWindowAt(screen, &WindowRecord::rect); }

HWND Platform::WindowFromDevicePoint(POINT deviceScreen, POINT& client) {
    HWND hwnd = TopmostWindowAt(deviceScreen, &WindowRecord::device);
    const WindowRecord* w = Find(hwnd);
    client = w ? POINT{deviceScreen.x - w->device.left, deviceScreen.y - w->device.top} : deviceScreen;
    return w ? hwnd : nullptr;
}

void Platform::SetInModalLoop(HWND hwnd, BOOL inLoop) {
    if (WindowRecord* w = Find(hwnd)) w->modalLoops += inLoop ? 1 : -1;
}

BOOL Platform::IsInModalLoop(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w && w->modalLoops > 0;
}

void Platform::SetDismissOnOutsidePress(HWND hwnd, BOOL dismiss) {
    if (WindowRecord* w = Find(hwnd)) w->dismissOnOutsidePress = dismiss;
}

HWND Platform::GetCapture() { return g_state ? g_state->capture : nullptr; }

void Platform::TrackMouseLeave(HWND hwnd) {
    if (WindowRecord* w = Find(hwnd)) w->trackLeave = true;
}

void Platform::SetCursor(CursorKind cursor) {
    if (!g_state || g_state->cursor == cursor) return;
    g_state->cursor = cursor;
    g_state->backend->SetCursor(cursor);
}
CursorKind Platform::GetCursor() { return g_state ? g_state->cursor : CursorKind::Arrow; }

void Platform::BeginWindowMove(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    if (!w || !g_state->asyncKeys[VK_LBUTTON]) return;
    CPoint cursor = GetCursorPos();
    g_state->moving = hwnd;
    g_state->moveGrab = cursor - w->rect.TopLeft();
    g_state->backend->SetCapture(true);
}
BOOL Platform::IsWindowMoving() { return g_state && g_state->moving; }

// ---------------------------------------------------------------- painting

void Platform::InvalidateRect(HWND hwnd, const CRect* rect) {
    WindowRecord* w = Find(hwnd);
    if (!w) return;
    CRect client(0, 0, w->rect.Width(), w->rect.Height());
    CRect add = rect ? (*rect & client) : client;
    if (add.IsRectEmpty()) return;
    {
        std::lock_guard lock(g_state->mutex);
        w->update = w->update | add;
    }
    g_state->backend->Wake();
}

CRect Platform::GetUpdateRect(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    if (!w) return {};
    std::lock_guard lock(g_state->mutex);
    return w->update;
}

CRect Platform::BeginPaint(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    if (!w) return {};
    std::lock_guard lock(g_state->mutex);
    CRect r = w->update;
    w->update.SetRectEmpty();
    return r;
}

void Platform::Present(HWND hwnd, const Canvas& backBuffer, const CRect& rect) {
    WindowRecord* w = Find(hwnd);
    if (!w) return;
    // The presented image holds the window's device pixels.
    const CRect client(CPoint(0, 0), w->device.Size());
    CRect logical = w->layered ? backBuffer.GetRect() : rect;
    CRect area = backBuffer.ToPixels(logical) & client;
    area = area & CRect(0, 0, backBuffer.GetPixelWidth(), backBuffer.GetPixelHeight());
    if (area.IsRectEmpty()) return;
    auto copy = [&](Canvas& into) {
        if (backBuffer.GetScale() == 1.0) into.DrawCanvas(backBuffer, area, area, Canvas::Blend::Copy);
        else into.DrawCanvas(backBuffer, area, logical, Canvas::Blend::Copy);
    };
    if (g_state->backend->KeepsPresentedPixels()) {
        g_state->backend->PresentNative(w->native, backBuffer, area);
        // A copy somebody asked for stays current; none is made otherwise.
        if (w->presented && w->presented->GetWidth() == client.Width() &&
            w->presented->GetHeight() == client.Height())
            copy(*w->presented);
        else
            w->presented.reset();
        return;
    }
    if (!w->presented || w->presented->GetWidth() != client.Width() ||
        w->presented->GetHeight() != client.Height())
        w->presented = std::make_unique<Canvas>(client.Width(), client.Height());
    copy(*w->presented);
    g_state->backend->PresentNative(w->native, *w->presented, area);
}

void Platform::UpdateWindow(HWND hwnd) {
    if (!GetUpdateRect(hwnd).IsRectEmpty() && IsWindowVisible(hwnd)) SendMessage(hwnd, WM_PAINT, 0, 0);
}

const Canvas* Platform::GetPresentedImage(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    if (!w) return nullptr;
    if (!w->presented && g_state->backend->KeepsPresentedPixels())
        w->presented = g_state->backend->ReadNative(w->native);
    return w->presented.get();
}

bool Platform::SaveScreenshot(HWND hwnd, const std::wstring& pngPath) {
    UpdateWindow(hwnd);
    const Canvas* image = GetPresentedImage(hwnd);
    return image && image->SavePng(pngPath);
}

int Platform::GetPaintDelay() { return g_state ? g_state->paintDelay : 0; }
void Platform::SetPaintDelay(int ms) {
    if (g_state) g_state->paintDelay = std::max(0, ms);
}

// ---------------------------------------------------------------- messages

BOOL Platform::PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return PostMessageWithPayload(hwnd, msg, wParam, lParam, nullptr);
}

BOOL Platform::PostMessageWithPayload(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      std::shared_ptr<const void> payload) {
    if (!g_state) return FALSE;
    MSG m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.payload = std::move(payload);
    m.time = DWORD(g_state->backend->Now());
    {
        std::lock_guard lock(g_state->mutex);
        if (hwnd && !g_state->windows.count(hwnd)) return FALSE;
        g_state->queue.push_back(std::move(m));
    }
    g_state->backend->Wake();
    return TRUE;
}

void Platform::PostTask(std::function<void()> task) {
    if (!task) return;
    PostMessageWithPayload(nullptr, WM_ORVIX_TASK, 0, 0,
                           std::make_shared<const std::function<void()>>(std::move(task)));
}

void Platform::PostQuitMessage(int exitCode) { PostMessage(nullptr, WM_QUIT, WPARAM(exitCode), 0); }

LRESULT Platform::SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowRecord* w = Find(hwnd);
    if (!w) return 0;
    return w->proc->WindowProc(hwnd, msg, wParam, lParam);
}

LRESULT Platform::DefWindowProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_NCCREATE:
            return TRUE;
        case WM_PAINT:
            BeginPaint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return 0;
    }
}

BOOL Platform::PeekMessage(MSG& msg) {
    if (!g_state) return FALSE;
    g_state->backend->PumpEvents(0);
    return TakeReady(msg);
}

BOOL Platform::GetMessage(MSG& msg) {
    if (!g_state) return FALSE;
    for (;;) {
        if (PeekMessage(msg)) return msg.message != WM_QUIT;
        uint64_t due = 0;
        int timeout = -1;
        if (NextTimerDue(due)) {
            uint64_t now = g_state->backend->Now();
            timeout = due > now ? int(std::min<uint64_t>(due - now, 1000)) : 0;
        }
        g_state->backend->PumpEvents(timeout);
    }
}

LRESULT Platform::DispatchMessage(const MSG& msg) {
    if (msg.message == WM_ORVIX_TASK && !msg.hwnd) {
        if (auto* task = static_cast<const std::function<void()>*>(msg.payload.get())) (*task)();
        return 0;
    }
    if (msg.message == WM_TIMER) {
        // A timer killed after its message was taken does not fire.
        bool live = std::any_of(g_state->timers.begin(), g_state->timers.end(),
                                [&](const Timer& t) { return t.hwnd == msg.hwnd && t.id == msg.wParam; });
        if (!live) return 0;
    }
    LRESULT result = SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    // A window that ignores WM_PAINT must not be asked again and again.
    if (msg.message == WM_PAINT) BeginPaint(msg.hwnd);
    return result;
}

int Platform::RunPending() {
    int count = 0;
    MSG msg;
    while (PeekMessage(msg)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns the quit.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (msg.message == WM_CLOSE && IsInModalLoop(msg.hwnd)) {
            // A modal loop takes its result from its window's close: it stays
            // the next message for that loop.
            std::lock_guard lock(g_state->mutex);
            g_state->queue.push_front(std::move(msg));
            break;
        }
        DispatchMessage(msg);
        ++count;
    }
    return count;
}

// ---------------------------------------------------------------- time

uint64_t Platform::GetTickCount() { return g_state ? g_state->backend->Now() : 0; }

UINT_PTR Platform::SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) {
    if (!IsWindow(hwnd)) return 0;
    elapseMs = std::max<UINT>(elapseMs, 1);
    uint64_t due = g_state->backend->Now() + elapseMs;
    for (auto& t : g_state->timers) {
        if (!t.tick && t.hwnd == hwnd && t.id == id) {
            t.period = elapseMs;
            t.due = due;
            return id;
        }
    }
    g_state->timers.push_back(Timer{hwnd, id, elapseMs, due, nullptr});
    return id;
}

BOOL Platform::KillTimer(HWND hwnd, UINT_PTR id) {
    if (!g_state) return FALSE;
    return std::erase_if(g_state->timers, [&](const Timer& t) { return !t.tick && t.hwnd == hwnd && t.id == id; }) >
           0;
}

UINT Platform::StartTicker(UINT periodMs, std::function<void()> tick) {
    if (!g_state || !tick) return 0;
    periodMs = std::max<UINT>(periodMs, 1);
    UINT id = ++g_state->nextTicker;
    g_state->timers.push_back(Timer{nullptr, id, periodMs, g_state->backend->Now() + periodMs,
                                    std::make_shared<std::function<void()>>(std::move(tick))});
    return id;
}

void Platform::StopTicker(UINT id) {
    if (g_state) std::erase_if(g_state->timers, [id](const Timer& t) { return t.tick && t.id == id; });
}

// ---------------------------------------------------------------- keyboard and text

bool Platform::IsKeyDown(UINT vk) { return g_state && vk < 256 && g_state->keys[vk]; }
short Platform::GetKeyState(UINT vk) { return IsKeyDown(vk) ? short(0x8000) : 0; }

void Platform::StartTextInput(HWND hwnd, const CRect& caretClientRect) {
    WindowRecord* w = Find(hwnd);
    if (!w) return;
    g_state->textInput = hwnd;
    g_state->backend->StartTextInput(w->native, ClientToDeviceScreen(hwnd, caretClientRect));
}

void Platform::StopTextInput() {
    if (!g_state || !g_state->textInput) return;
    g_state->textInput = nullptr;
    g_state->backend->StopTextInput();
}

bool Platform::IsTextInputActive() { return g_state && g_state->textInput; }

// ---------------------------------------------------------------- desktop

void Platform::SetClipboardText(const std::wstring& text) {
    if (g_state) g_state->backend->SetClipboardText(text);
}
std::wstring Platform::GetClipboardText() { return g_state ? g_state->backend->GetClipboardText() : L""; }
CRect Platform::GetWorkArea(POINT nearPoint) {
    if (!g_state) return CRect(0, 0, 1920, 1080);
    return LogicalRectOf(g_state->backend->GetWorkArea(POINT{ToDevice(nearPoint.x), ToDevice(nearPoint.y)}));
}
bool Platform::GetDisplayInfo(POINT nearPoint, DisplayInfo& info) {
    if (!g_state || !g_state->backend->GetDisplayInfo(POINT{ToDevice(nearPoint.x), ToDevice(nearPoint.y)}, info))
        return false;
    info.deviceBounds = info.bounds;
    info.bounds = LogicalRectOf(info.deviceBounds);
    return true;
}
CPoint Platform::GetCursorPos() {
    if (!g_state) return CPoint();
    // While a window holds the capture the desktop's own idea of the pointer
    // can stay where the press was (SDL on X11): the events know better.
    if (g_state->capture) return g_state->lastPointer;
    return PointToLogical(g_state->backend->GetCursorPos());
}

// ---------------------------------------------------------------- display scale

void Platform::SetScale(double scale) {
    if (!g_state || !(scale > 0)) return;
    ApplyScale(std::clamp(scale, kMinScale, kMaxScale), nullptr, CRect());
}

double Platform::GetScale() { return g_state ? g_state->scale : 1.0; }

CSize Platform::GetDeviceClientSize(HWND hwnd) {
    WindowRecord* w = Find(hwnd);
    return w ? w->device.Size() : CSize();
}

CRect Platform::ClientToDeviceScreen(HWND hwnd, const CRect& clientRect) {
    WindowRecord* w = Find(hwnd);
    if (!w) return {};
    CRect r(ToDevice(clientRect.left), ToDevice(clientRect.top), ToDevice(clientRect.right),
            ToDevice(clientRect.bottom));
    r.OffsetRect(w->device.left, w->device.top);
    return r;
}

void Platform::SetScaleFollowsSize(HWND hwnd, CSize design, double minScale, double maxScale) {
    WindowRecord* w = Find(hwnd);
    if (!w || design.cx <= 0 || design.cy <= 0) return;
    w->followsSize = true;
    w->design = design;
    w->minScale = std::clamp(std::min(minScale, maxScale), kMinScale, kMaxScale);
    w->maxScale = std::clamp(std::max(minScale, maxScale), kMinScale, kMaxScale);
    g_state->backend->SetNativeResizable(w->native, CSize(int(std::lround(design.cx * w->minScale)),
                                                          int(std::lround(design.cy * w->minScale))));
}

DesktopScaleSources Platform::GetDesktopScaleSources() {
    return g_state ? g_state->backend->GetDesktopScaleSources() : ReadEnvironmentScale();
}

void Platform::SetDesktopScaleListener(std::function<void()> changed) {
    if (!g_state) return;
    g_state->desktopScaleListener = std::move(changed);
    if (!g_state->desktopScaleListener) {
        g_state->backend->WatchDesktopScale(nullptr);
        return;
    }
    // The back end may call from its own thread: the listener runs on the UI thread.
    g_state->backend->WatchDesktopScale([] {
        Platform::PostTask([] {
            if (g_state && g_state->desktopScaleListener) g_state->desktopScaleListener();
        });
    });
}

void Platform::SetWindowIcon(HWND hwnd, const std::vector<std::shared_ptr<const Canvas>>& sizes) {
    if (WindowRecord* w = Find(hwnd)) {
        w->icon = sizes;
        g_state->backend->SetNativeIcon(w->native, sizes);
    }
}

DesktopScaleSources Backend::GetDesktopScaleSources() { return ReadEnvironmentScale(); }

// ---------------------------------------------------------------- input rules

namespace Input {

namespace {
// Mouse input goes to the capture window when there is one.
HWND MouseTarget(HWND hwnd, CPoint& pt) {
    HWND capture = g_state->capture;
    if (capture && capture != hwnd && Platform::IsWindow(capture)) {
        Platform::ClientToScreen(hwnd, pt);
        Platform::ScreenToClient(capture, pt);
        return capture;
    }
    return hwnd;
}

void PostMouse(HWND hwnd, UINT msg, CPoint pt) {
    POINT screen = pt;
    Platform::ClientToScreen(hwnd, screen);
    g_state->lastPointer = CPoint(screen);
    Platform::PostMessage(hwnd, msg, MouseKeyFlags(), MAKELPARAM(pt.x, pt.y));
}

// Whether `hwnd` is `owner` or a window it owns (directly or through others).
bool IsOwnedBy(HWND hwnd, HWND owner) {
    for (HWND h = hwnd; h; h = Platform::GetOwner(h))
        if (h == owner) return true;
    return false;
}

// A press anywhere but on a pop-up that closes on outside presses (or on a
// window it owns) tells that pop-up to go: a press on its disabled owner
// included, and without a window manager to take its activation away.
void DismissPopupsOutside(HWND pressed) {
    std::vector<HWND> popups;
    {
        std::lock_guard lock(g_state->mutex);
        for (auto& [h, w] : g_state->windows)
            if (w->dismissOnOutsidePress && w->visible && !w->destroying) popups.push_back(h);
    }
    for (HWND popup : popups)
        if (!IsOwnedBy(pressed, popup)) Platform::PostMessage(popup, WM_CANCELMODE, 0, 0);
}

// Keys go to the active window, as a desktop's keyboard focus does; the
// window the back end named takes them when none of ours is active.
HWND KeyTarget(HWND hwnd) {
    HWND active = g_state->active;
    return active && Platform::IsWindow(active) ? active : hwnd;
}

void PointerEntered(HWND hwnd) {
    HWND old = g_state->pointerWindow;
    if (old == hwnd) return;
    g_state->pointerWindow = hwnd;
    if (old) MouseLeave(old);
    g_state->pointerWindow = hwnd;
}
}  // namespace

void MouseMove(HWND hwnd, CPoint pt) {
    if (!Platform::IsWindow(hwnd)) return;
    pt = PointToLogical(pt);
    if (HWND moving = g_state->moving) {
        CPoint screen = pt;
        Platform::ClientToScreen(hwnd, screen);
        CRect r = Platform::GetWindowRect(moving);
        r.MoveToXY(screen.x - g_state->moveGrab.x, screen.y - g_state->moveGrab.y);
        Platform::MoveWindow(moving, r);
        return;
    }
    if (!g_state->capture) PointerEntered(hwnd);
    HWND target = MouseTarget(hwnd, pt);
    if (Platform::IsWindowEnabled(target)) PostMouse(target, WM_MOUSEMOVE, pt);
}

void MouseButton(HWND hwnd, Button button, bool down, CPoint pt, int clicks) {
    if (!Platform::IsWindow(hwnd)) return;
    pt = PointToLogical(pt);
    UINT vk = button == Button::Left ? VK_LBUTTON : button == Button::Right ? VK_RBUTTON : VK_MBUTTON;
    g_state->asyncKeys[vk] = down;
    if (g_state->moving) {
        if (button == Button::Left && !down) {
            g_state->moving = nullptr;
            if (!g_state->capture) g_state->backend->SetCapture(false);
        }
        return;
    }
    if (down && !g_state->capture) DismissPopupsOutside(hwnd);
    HWND target = MouseTarget(hwnd, pt);
    if (!Platform::IsWindowEnabled(target)) return;
    if (down && !g_state->capture && !(Platform::GetExStyle(target) & WS_EX_NOACTIVATE))
        Platform::SetActiveWindow(target);
    UINT msg;
    switch (button) {
        case Button::Left:
            msg = !down ? WM_LBUTTONUP : clicks >= 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
            break;
        case Button::Right:
            msg = !down ? WM_RBUTTONUP : clicks >= 2 ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
            break;
        default:
            msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            break;
    }
    PostMouse(target, msg, pt);
}

void MouseWheel(HWND hwnd, CPoint pt, int delta) {
    if (!Platform::IsWindowEnabled(hwnd)) return;
    pt = PointToLogical(pt);
    Platform::ClientToScreen(hwnd, pt);  // WM_MOUSEWHEEL carries screen coordinates
    Platform::PostMessage(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeyFlags()), delta), MAKELPARAM(pt.x, pt.y));
}

void MouseLeave(HWND hwnd) {
    if (g_state->pointerWindow == hwnd) g_state->pointerWindow = nullptr;
    WindowRecord* w = Find(hwnd);
    if (w && w->trackLeave) {
        w->trackLeave = false;
        Platform::PostMessage(hwnd, WM_MOUSELEAVE, 0, 0);
    }
}

void PressOutside() {
    DismissPopupsOutside(nullptr);
    if (HWND active = g_state->active) Focus(active, false);
}

void Key(HWND hwnd, UINT vk, bool down) {
    if (vk >= 256) return;
    hwnd = KeyTarget(hwnd);
    bool repeat = down && g_state->asyncKeys[vk];
    g_state->asyncKeys[vk] = down;
    if (!Platform::IsWindowEnabled(hwnd)) return;
    bool alt = g_state->asyncKeys[VK_MENU];
    UINT msg = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt || vk == VK_MENU ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1 | (repeat ? (LPARAM(1) << 30) : 0) | (down ? 0 : (LPARAM(3) << 30));
    Platform::PostMessage(hwnd, msg, vk, lParam & 0xFFFFFFFF);
}

void Text(HWND hwnd, const std::wstring& text) {
    hwnd = KeyTarget(hwnd);
    if (!Platform::IsWindowEnabled(hwnd)) return;
    for (wchar_t c : text) Platform::PostMessage(hwnd, WM_CHAR, WPARAM(c), 1);
}

void ImeComposition(HWND hwnd, const std::wstring& text, int cursor) {
    hwnd = KeyTarget(hwnd);
    auto data = std::make_shared<ImeCompositionData>(ImeCompositionData{text, cursor});
    WPARAM wParam = reinterpret_cast<WPARAM>(data.get());
    Platform::PostMessageWithPayload(hwnd, WM_IME_COMPOSITION, wParam, 0, std::move(data));
}

void Focus(HWND hwnd, bool gained) {
    if (gained) Platform::SetActiveWindow(hwnd);
    else if (g_state->active == hwnd) Platform::SetActiveWindow(nullptr);
}

void CloseRequest(HWND hwnd) { Platform::PostMessage(hwnd, WM_CLOSE, 0, 0); }

// The user gave the window a new size: it keeps within the window's limits.
// The echo of a size the window already has (set by the program) is no resize.
void Resized(HWND hwnd, int width, int height) {
    WindowRecord* w = Find(hwnd);
    if (!w || w->device.Size() == CSize(width, height)) return;
    const CRect device(w->device.TopLeft(), CSize(width, height));
    if (w->followsSize) {
        ResizeFollowing(w, device);
        return;
    }
    const CRect r = w->rect;
    const CSize wanted(ToLogical(width), ToLogical(height));
    const CSize size = ClampToTrackSize(QueryMinMax(hwnd, r), wanted.cx, wanted.cy);
    // Within the limits the native size stays as the user made it.
    if (size == wanted) SetWindowRects(w, CRect(r.TopLeft(), size), device, false);
    else Platform::MoveWindow(hwnd, CRect(r.TopLeft(), size));
}

void Moved(HWND hwnd, int x, int y) {
    WindowRecord* w = Find(hwnd);
    if (!w) return;
    CRect r = w->rect;
    r.MoveToXY(ToLogical(x), ToLogical(y));
    CRect device = w->device;
    device.MoveToXY(x, y);
    SetWindowRects(w, r, device, false);
}

void Exposed(HWND hwnd) { Platform::InvalidateRect(hwnd); }

void DropFiles(HWND hwnd, CPoint pt, std::vector<std::wstring> files) {
    if (!g_state) return;
    pt = PointToLogical(pt);
    auto data = std::make_shared<DropFilesData>(DropFilesData{pt, std::move(files)});
    WPARAM wParam = reinterpret_cast<WPARAM>(data.get());
    Platform::PostMessageWithPayload(hwnd, WM_DROPFILES, wParam, 0, std::move(data));
}

}  // namespace Input

}  // namespace Orvix
