// The SDL2 back end: real desktop windows (also under SDL_VIDEODRIVER=offscreen).
#include <SDL.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>

#include "base/TextConv.h"
#include "orvix/platform/Backend.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/X11Desktop.h"
// Last: it brings Xlib and its macros.
#include <SDL_syswm.h>

namespace Orvix {

// SdlWindowId.cpp: kept apart, for the X11 headers it needs define names
// (None, Bool) that the toolkit uses.
uint64_t SdlX11WindowId(SDL_Window* window);

namespace {

struct SdlWindow {
    SDL_Window* window = nullptr;
    HWND hwnd = nullptr;
    WindowKind kind = WindowKind::Normal;
    bool resizable = false;
    bool shown = false;
};

// The pixels at a resizable window's edges that resize it.
constexpr int kResizeBorder = 6;

SDL_HitTestResult ResizeEdges(SDL_Window* window, const SDL_Point* p, void*) {
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) return SDL_HITTEST_NORMAL;
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    const bool left = p->x < kResizeBorder, right = p->x >= w - kResizeBorder;
    const bool top = p->y < kResizeBorder, bottom = p->y >= h - kResizeBorder;
    if (top && left) return SDL_HITTEST_RESIZE_TOPLEFT;
    if (top && right) return SDL_HITTEST_RESIZE_TOPRIGHT;
    if (bottom && left) return SDL_HITTEST_RESIZE_BOTTOMLEFT;
    if (bottom && right) return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
    if (top) return SDL_HITTEST_RESIZE_TOP;
    if (bottom) return SDL_HITTEST_RESIZE_BOTTOM;
    if (left) return SDL_HITTEST_RESIZE_LEFT;
    if (right) return SDL_HITTEST_RESIZE_RIGHT;
    return SDL_HITTEST_NORMAL;
}

UINT ScancodeToVk(SDL_Scancode sc) {
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0) return '0';
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return VK_F1 + 12 + (sc - SDL_SCANCODE_F13);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
    switch (sc) {
        case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
        case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
        case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
        case SDL_SCANCODE_BACKSPACE: return VK_BACK;
        case SDL_SCANCODE_TAB: return VK_TAB;
        case SDL_SCANCODE_SPACE: return VK_SPACE;
        case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
        case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
        case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
        case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
        case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
        case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
        case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
        case SDL_SCANCODE_GRAVE: return VK_OEM_3;
        case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
        case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
        case SDL_SCANCODE_SLASH: return VK_OEM_2;
        case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
        case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
        case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
        case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
        case SDL_SCANCODE_PAUSE: return VK_PAUSE;
        case SDL_SCANCODE_INSERT: return VK_INSERT;
        case SDL_SCANCODE_HOME: return VK_HOME;
        case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
        case SDL_SCANCODE_DELETE: return VK_DELETE;
        case SDL_SCANCODE_END: return VK_END;
        case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
        case SDL_SCANCODE_RIGHT: return VK_RIGHT;
        case SDL_SCANCODE_LEFT: return VK_LEFT;
        case SDL_SCANCODE_DOWN: return VK_DOWN;
        case SDL_SCANCODE_UP: return VK_UP;
        case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
        case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
        case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
        case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
        case SDL_SCANCODE_KP_PLUS: return VK_ADD;
        case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
        case SDL_SCANCODE_APPLICATION: return VK_APPS;
        // Key messages carry the generic modifier codes, as on Win32.
        case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return VK_CONTROL;
        case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
        case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return VK_MENU;
        case SDL_SCANCODE_LGUI: return VK_LWIN;
        case SDL_SCANCODE_RGUI: return VK_RWIN;
        case SDL_SCANCODE_MUTE: return VK_VOLUME_MUTE;
        case SDL_SCANCODE_VOLUMEUP: return VK_VOLUME_UP;
        case SDL_SCANCODE_VOLUMEDOWN: return VK_VOLUME_DOWN;
        case SDL_SCANCODE_AUDIONEXT: return VK_MEDIA_NEXT_TRACK;
        case SDL_SCANCODE_AUDIOPREV: return VK_MEDIA_PREV_TRACK;
        case SDL_SCANCODE_AUDIOSTOP: return VK_MEDIA_STOP;
        case SDL_SCANCODE_AUDIOPLAY: return VK_MEDIA_PLAY_PAUSE;
        default: return 0;
    }
}

class SdlBackend : public Backend {
public:
    ~SdlBackend() override {
        m_watcher.Stop();
        for (SDL_Cursor* c : m_cursors)
            if (c) SDL_FreeCursor(c);
        if (m_initialised) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }

    bool Init() override {
        // Pop-ups need absolute placement, which Wayland does not give: use XWayland.
        if (!std::getenv("SDL_VIDEODRIVER") && std::getenv("WAYLAND_DISPLAY") && std::getenv("DISPLAY"))
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The finished cairo buffer goes to the window as it is (shared-memory
        // images on X11): a texture would load a whole OpenGL stack to show it.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // A settings tool is an ordinary window: the desktop may composite it.
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
        m_initialised = true;
        const char* driver = SDL_GetCurrentVideoDriver();
        m_x11 = driver && std::strcmp(driver, "x11") == 0;
        if (m_x11) m_startupId = X11::TakeStartupId();
        m_wakeEvent = SDL_RegisterEvents(1);
        SDL_StopTextInput();
        SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
        return m_wakeEvent != Uint32(-1);
    }

    uint64_t Now() override { return SDL_GetTicks64(); }
    int PaintDelay() const override { return 15; }

    void* CreateNative(HWND hwnd, const WindowParams& params) override {
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
        // Tooltips are never managed (nor focused); the window type tells the
        // manager what the others are (set below on X11).
        if (params.kind == WindowKind::Tooltip) flags |= SDL_WINDOW_TOOLTIP;
        else if (params.exStyle & WS_EX_TOOLWINDOW) flags |= SDL_WINDOW_SKIP_TASKBAR;
        if (params.exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        const CRect& r = params.rect;
        SDL_Window* window = SDL_CreateWindow(WideToUtf8(params.title).c_str(), r.left, r.top,
                                              std::max(1, r.Width()), std::max(1, r.Height()), flags);
        if (!window) return nullptr;
        auto* native = new SdlWindow{window, hwnd, params.kind};
        m_byId[SDL_GetWindowID(window)] = native;
        unsigned long xwindow = 0;
        if (void* display = X11Window(window, xwindow)) {
            unsigned long owner = 0;
            if (SdlWindow* o = ByHwnd(params.owner)) X11Window(o->window, owner);
            X11::ApplyWindowHints(display, xwindow, {params.kind, owner});
        }
        return native;
    }

    void DestroyNative(void* native) override {
        auto* w = static_cast<SdlWindow*>(native);
        m_byId.erase(SDL_GetWindowID(w->window));
        SDL_DestroyWindow(w->window);
        delete w;
    }

    void ShowNative(void* native, bool show, bool activate) override {
        SDL_Window* w = Window(native);
        if (!show) {
            SDL_HideWindow(w);
            return;
        }
        auto* sw = static_cast<SdlWindow*>(native);
        // The launcher's startup notification ends with our first normal window.
        const bool announce = !sw->shown && sw->kind == WindowKind::Normal && !m_startupId.empty();
        unsigned long xwindow = 0;
        void* display = announce ? X11Window(w, xwindow) : nullptr;
        if (display) X11::SetStartupId(display, xwindow, m_startupId);
        sw->shown = true;
        SDL_ShowWindow(w);
        if (activate) SDL_RaiseWindow(w);
        if (display) {
            X11::SendStartupComplete(display, m_startupId);
            m_startupId.clear();
        }
    }

    void SetNativeResizable(void* native, CSize minimum) override {
        auto* sw = static_cast<SdlWindow*>(native);
        sw->resizable = true;
        SDL_SetWindowResizable(sw->window, SDL_TRUE);
        SDL_SetWindowMinimumSize(sw->window, std::max(1, minimum.cx), std::max(1, minimum.cy));
        // Borderless: its edges are the frame the user resizes it by.
        SDL_SetWindowHitTest(sw->window, ResizeEdges, nullptr);
    }

    void SetNativeIcon(void* native, const std::vector<std::shared_ptr<const Canvas>>& sizes) override {
        unsigned long xwindow = 0;
        if (void* display = X11Window(Window(native), xwindow)) X11::SetWindowIcon(display, xwindow, sizes);
    }

    DesktopScaleSources GetDesktopScaleSources() override {
        DesktopScaleSources sources = ReadEnvironmentScale();
        if (m_x11) X11::ReadScaleSources(sources);
        return sources;
    }

    void WatchDesktopScale(std::function<void()> changed) override {
        if (!changed) m_watcher.Stop();
        else if (m_x11) m_watcher.Start(std::move(changed));
    }

    void SetNativeBounds(void* native, const CRect& r) override {
        SDL_Window* w = Window(native);
        int x, y, cx, cy;
        SDL_GetWindowPosition(w, &x, &y);
        SDL_GetWindowSize(w, &cx, &cy);
        if (x != r.left || y != r.top) SDL_SetWindowPosition(w, r.left, r.top);
        if (cx != r.Width() || cy != r.Height()) SDL_SetWindowSize(w, std::max(1, r.Width()), std::max(1, r.Height()));
    }

    void SetNativeTitle(void* native, const std::wstring& title) override {
        SDL_SetWindowTitle(Window(native), WideToUtf8(title).c_str());
    }
    void SetNativeOpacity(void* native, BYTE alpha) override { SDL_SetWindowOpacity(Window(native), alpha / 255.0f); }
    void RaiseNative(void* native) override { SDL_RaiseWindow(Window(native)); }
    uint64_t NativeX11Id(void* native) override { return SdlX11WindowId(Window(native)); }

    void PresentNative(void* native, const Canvas& image, const CRect& rect) override {
        SDL_Surface* surface = SDL_GetWindowSurface(Window(native));
        if (!surface) return;
        CRect area = rect & CRect(0, 0, std::min(surface->w, image.GetPixelWidth()),
                                       std::min(surface->h, image.GetPixelHeight()));
        if (area.IsRectEmpty()) return;
        const uint32_t* src = image.GetData() + area.top * image.GetStride() + area.left;
        auto* dst = static_cast<uint8_t*>(surface->pixels) + area.top * surface->pitch +
                    area.left * surface->format->BytesPerPixel;
        SDL_ConvertPixels(area.Width(), area.Height(), SDL_PIXELFORMAT_ARGB8888, src, image.GetStride() * 4,
                          surface->format->format, dst, surface->pitch);
        SDL_Rect sr{area.left, area.top, area.Width(), area.Height()};
        SDL_UpdateWindowSurfaceRects(Window(native), &sr, 1);
    }

    bool KeepsPresentedPixels() const override { return true; }
    std::unique_ptr<Canvas> ReadNative(void* native) override {
        SDL_Surface* surface = SDL_GetWindowSurface(Window(native));
        if (!surface || surface->w <= 0 || surface->h <= 0) return nullptr;
        auto image = std::make_unique<Canvas>(surface->w, surface->h);
        SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels, surface->pitch,
                          SDL_PIXELFORMAT_ARGB8888, image->GetData(), image->GetStride() * 4);
        image->MarkDirty();
        return image;
    }

    void SetCapture(bool on) override { SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE); }

    void SetCursor(CursorKind kind) override {
        static const SDL_SystemCursor kMap[] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_ARROW,
                                                SDL_SYSTEM_CURSOR_WAIT,  SDL_SYSTEM_CURSOR_CROSSHAIR,
                                                SDL_SYSTEM_CURSOR_SIZEWE, SDL_SYSTEM_CURSOR_SIZENS,
                                                SDL_SYSTEM_CURSOR_HAND,  SDL_SYSTEM_CURSOR_ARROW};
        size_t i = size_t(kind);
        if (i >= m_cursors.size()) return;
        if (!m_cursors[i]) m_cursors[i] = SDL_CreateSystemCursor(kMap[i]);
        if (m_cursors[i]) SDL_SetCursor(m_cursors[i]);
    }

    CPoint GetCursorPos() override {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        return {x, y};
    }

    CRect GetWorkArea(POINT p) override {
        int displays = SDL_GetNumVideoDisplays();
        int chosen = 0;
        for (int i = 0; i < displays; ++i) {
            SDL_Rect b;
            if (SDL_GetDisplayBounds(i, &b) == 0 && p.x >= b.x && p.x < b.x + b.w && p.y >= b.y && p.y < b.y + b.h)
                chosen = i;
        }
        SDL_Rect u;
        if (SDL_GetDisplayUsableBounds(chosen, &u) != 0) return {0, 0, 1920, 1080};
        return {u.x, u.y, u.x + u.w, u.y + u.h};
    }

    bool GetDisplayInfo(POINT p, DisplayInfo& info) override {
        SDL_Point point{p.x, p.y};
        int index = SDL_GetPointDisplayIndex(&point);  // the nearest display when none holds the point
        SDL_Rect b;
        if (index < 0 || SDL_GetDisplayBounds(index, &b) != 0) return false;
        info.bounds = CRect(b.x, b.y, b.x + b.w, b.y + b.h);
        float hdpi = 0;
        info.dpi = SDL_GetDisplayDPI(index, nullptr, &hdpi, nullptr) == 0 ? int(hdpi + 0.5f) : 0;
        return true;
    }

    void StartTextInput(void* native, const CRect& screenCaret) override {
        int x = 0, y = 0;
        SDL_GetWindowPosition(Window(native), &x, &y);
        SDL_Rect r{screenCaret.left - x, screenCaret.top - y, screenCaret.Width(), screenCaret.Height()};
        SDL_SetTextInputRect(&r);
        if (!SDL_IsTextInputActive()) SDL_StartTextInput();
    }
    void StopTextInput() override { SDL_StopTextInput(); }

    void SetClipboardText(const std::wstring& text) override { SDL_SetClipboardText(WideToUtf8(text).c_str()); }
    std::wstring GetClipboardText() override {
        char* text = SDL_GetClipboardText();
        std::wstring out = text ? Utf8ToWide(text) : L"";
        SDL_free(text);
        return out;
    }

    bool PumpEvents(int timeoutMs) override {
        SDL_Event e;
        bool got = timeoutMs == 0 ? SDL_PollEvent(&e) : timeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeoutMs);
        while (got) {
            Handle(e);
            got = SDL_PollEvent(&e);
        }
        return true;
    }

    void Wake() override {
        if (m_wakePending.exchange(true)) return;
        SDL_Event e{};
        e.type = m_wakeEvent;
        SDL_PushEvent(&e);
    }

private:
    static SDL_Window* Window(void* native) { return static_cast<SdlWindow*>(native)->window; }

    // SDL's X display and the window's X id; null when not on X11.
    void* X11Window(SDL_Window* window, unsigned long& xwindow) const {
        if (!m_x11) return nullptr;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
        xwindow = info.info.x11.window;
        return info.info.x11.display;
    }

    SdlWindow* ByHwnd(HWND hwnd) const {
        if (!hwnd) return nullptr;
        for (const auto& [id, w] : m_byId)
            if (w->hwnd == hwnd) return w;
        return nullptr;
    }

    HWND Hwnd(Uint32 windowId) {
        auto it = m_byId.find(windowId);
        return it == m_byId.end() ? nullptr : it->second->hwnd;
    }

    void Handle(const SDL_Event& e) {
        if (e.type == m_wakeEvent) {
            m_wakePending = false;
            return;
        }
        switch (e.type) {
            case SDL_MOUSEMOTION:
                if (HWND h = Hwnd(e.motion.windowID)) Input::MouseMove(h, {e.motion.x, e.motion.y});
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (HWND h = Hwnd(e.button.windowID)) {
                    Input::Button b = e.button.button == SDL_BUTTON_RIGHT    ? Input::Button::Right
                                      : e.button.button == SDL_BUTTON_MIDDLE ? Input::Button::Middle
                                                                             : Input::Button::Left;
                    bool down = e.type == SDL_MOUSEBUTTONDOWN;
                    int clicks = down ? e.button.clicks : 1;
                    // Win32 pairs a double click with a press: odd clicks press, even ones double-click.
                    Input::MouseButton(h, b, down, {e.button.x, e.button.y}, clicks >= 2 && clicks % 2 == 0 ? 2 : 1);
                }
                break;
            case SDL_MOUSEWHEEL:
                if (HWND h = Hwnd(e.wheel.windowID)) {
                    int x = 0, y = 0;
                    SDL_GetMouseState(&x, &y);
                    int dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
                    if (dy) Input::MouseWheel(h, {x, y}, dy * WHEEL_DELTA);
                }
                break;
            // Keys go to the program's active window. SDL names no window for
            // them when it holds no keyboard focus of its own (an X server without
            // a window manager leaves the focus with the window under the pointer).
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (UINT vk = ScancodeToVk(e.key.keysym.scancode))
                    Input::Key(Hwnd(e.key.windowID), vk, e.type == SDL_KEYDOWN);
                break;
            case SDL_TEXTINPUT:
                Input::Text(Hwnd(e.text.windowID), Utf8ToWide(e.text.text));
                break;
            case SDL_TEXTEDITING:
                if (HWND h = Hwnd(e.edit.windowID)) Input::ImeComposition(h, Utf8ToWide(e.edit.text), e.edit.start);
                break;
            case SDL_DROPFILE:
                if (HWND h = Hwnd(e.drop.windowID)) {
                    int x = 0, y = 0;
                    SDL_GetMouseState(&x, &y);
                    Input::DropFiles(h, {x, y}, {Utf8ToWide(e.drop.file ? e.drop.file : "")});
                }
                SDL_free(e.drop.file);
                break;
            case SDL_WINDOWEVENT:
                HandleWindowEvent(e.window);
                break;
            default:
                break;
        }
    }

    void HandleWindowEvent(const SDL_WindowEvent& w) {
        HWND h = Hwnd(w.windowID);
        if (!h) return;
        switch (w.event) {
            case SDL_WINDOWEVENT_LEAVE: Input::MouseLeave(h); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: Input::Focus(h, true); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: Input::Focus(h, false); break;
            case SDL_WINDOWEVENT_CLOSE: Input::CloseRequest(h); break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: Input::Resized(h, w.data1, w.data2); break;
            case SDL_WINDOWEVENT_MOVED: Input::Moved(h, w.data1, w.data2); break;
            case SDL_WINDOWEVENT_EXPOSED: Input::Exposed(h); break;
            default: break;
        }
    }

    bool m_initialised = false;
    bool m_x11 = false;
    std::string m_startupId;
    X11::ScaleWatcher m_watcher;
    Uint32 m_wakeEvent = 0;
    std::atomic<bool> m_wakePending{false};
    std::map<Uint32, SdlWindow*> m_byId;
    std::array<SDL_Cursor*, 8> m_cursors{};
};

}  // namespace

Backend* CreateSdlBackend() { return new SdlBackend(); }

}  // namespace Orvix
