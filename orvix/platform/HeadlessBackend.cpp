// The headless back end: in-memory windows, a test-driven clock, injected input.
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "orvix/platform/Backend.h"
#include "orvix/platform/Headless.h"

namespace Orvix {

namespace {

class HeadlessBackend;
HeadlessBackend* g_headless = nullptr;

class HeadlessBackend : public Backend {
public:
    ~HeadlessBackend() override { g_headless = nullptr; }
    bool Init() override { return true; }
    uint64_t Now() override { return m_now; }
    int PaintDelay() const override { return 0; }

    void* CreateNative(HWND hwnd, const WindowParams&) override { return hwnd; }
    void DestroyNative(void*) override {}
    void ShowNative(void*, bool, bool) override {}
    void SetNativeBounds(void*, const CRect&) override {}
    void SetNativeTitle(void*, const std::wstring&) override {}
    void SetNativeOpacity(void*, BYTE) override {}
    void RaiseNative(void*) override {}
    void PresentNative(void*, const Canvas&, const CRect&) override {}
    void SetCapture(bool) override {}
    void SetCursor(CursorKind) override {}
    CPoint GetCursorPos() override { return m_cursor; }
    CRect GetWorkArea(POINT) override { return m_workArea; }
    // One display at the desktop's standard density.
    bool GetDisplayInfo(POINT, DisplayInfo& info) override {
        info.bounds = m_display;
        info.dpi = 96;
        return true;
    }
    DesktopScaleSources GetDesktopScaleSources() override { return m_scaleSources; }
    void WatchDesktopScale(std::function<void()> changed) override { m_scaleChanged = std::move(changed); }
    void StartTextInput(void*, const CRect& screenCaret) override { m_textRect = screenCaret; }
    void StopTextInput() override { m_textRect.SetRectEmpty(); }
    void SetClipboardText(const std::wstring& text) override { m_clipboard = text; }
    std::wstring GetClipboardText() override { return m_clipboard; }

    bool PumpEvents(int timeoutMs) override {
        if (timeoutMs == 0) return true;
        if (timeoutMs > 0 && m_autoAdvance) {
            m_now += uint64_t(timeoutMs);
            return true;
        }
        // Nothing can happen but a post from another thread.
        std::unique_lock lock(m_wakeMutex);
        m_wakeCv.wait(lock, [this] { return m_woken; });
        m_woken = false;
        return true;
    }

    void Wake() override {
        {
            std::lock_guard lock(m_wakeMutex);
            m_woken = true;
        }
        m_wakeCv.notify_one();
    }

    std::atomic<uint64_t> m_now{0};
    bool m_autoAdvance = false;
    CPoint m_cursor;
    HWND m_pointerWindow = nullptr;  // the window the desktop pointer is over
    CRect m_workArea{0, 0, 1920, 1080};
    CRect m_display{0, 0, 1920, 1080};
    DesktopScaleSources m_scaleSources = ReadEnvironmentScale();
    std::function<void()> m_scaleChanged;
    CRect m_textRect;
    std::wstring m_clipboard;

private:
    std::mutex m_wakeMutex;
    std::condition_variable m_wakeCv;
    bool m_woken = false;
};

HeadlessBackend& Active() {
    // Using the test API without the headless back end is a test bug.
    if (!g_headless || Platform::GetBackend() != BackendKind::Headless) std::abort();
    return *g_headless;
}

// Injected points are device pixels of the window's client area.
void TrackCursor(HWND hwnd, int x, int y) {
    const CPoint corner = Platform::ClientToDeviceScreen(hwnd, CRect()).TopLeft();
    Active().m_cursor = CPoint(corner.x + x, corner.y + y);
}

}  // namespace

Backend* CreateHeadlessBackend() {
    g_headless = new HeadlessBackend();
    return g_headless;
}

namespace Headless {

void AdvanceClock(uint64_t ms) {
    HeadlessBackend& b = Active();
    uint64_t target = b.m_now + ms;
    Platform::RunPending();
    // One millisecond at a time, so every tick is delivered at its own time.
    while (b.m_now < target) {
        ++b.m_now;
        Platform::RunPending();
    }
}

void SetAutoAdvance(bool on) { Active().m_autoAdvance = on; }
void SetWorkArea(const CRect& area) { Active().m_workArea = area; }
void SetDisplay(const CRect& bounds) {
    Active().m_display = bounds;
    Active().m_workArea = bounds;
}
void SetDesktopScaleSources(const DesktopScaleSources& sources) { Active().m_scaleSources = sources; }
void AnnounceDesktopScaleChange(const DesktopScaleSources& sources) {
    Active().m_scaleSources = sources;
    if (Active().m_scaleChanged) Active().m_scaleChanged();
}

void MouseMove(HWND hwnd, int x, int y) {
    TrackCursor(hwnd, x, y);
    Input::MouseMove(hwnd, {x, y});
}

void MouseDown(HWND hwnd, int x, int y, bool right) {
    TrackCursor(hwnd, x, y);
    Input::MouseButton(hwnd, right ? Input::Button::Right : Input::Button::Left, true, {x, y}, 1);
}

void MouseUp(HWND hwnd, int x, int y, bool right) {
    TrackCursor(hwnd, x, y);
    Input::MouseButton(hwnd, right ? Input::Button::Right : Input::Button::Left, false, {x, y}, 1);
}

void Click(HWND hwnd, int x, int y, bool right) {
    MouseDown(hwnd, x, y, right);
    MouseUp(hwnd, x, y, right);
}

void DoubleClick(HWND hwnd, int x, int y, bool right) {
    Click(hwnd, x, y, right);
    Input::MouseButton(hwnd, right ? Input::Button::Right : Input::Button::Left, true, {x, y}, 2);
    MouseUp(hwnd, x, y, right);
}

void Wheel(HWND hwnd, int x, int y, int delta) {
    TrackCursor(hwnd, x, y);
    Input::MouseWheel(hwnd, {x, y}, delta);
}

void MouseLeave(HWND hwnd) { Input::MouseLeave(hwnd); }
void KeyDown(HWND hwnd, UINT vk) { Input::Key(hwnd, vk, true); }
void KeyUp(HWND hwnd, UINT vk) { Input::Key(hwnd, vk, false); }
void KeyPress(HWND hwnd, UINT vk) {
    KeyDown(hwnd, vk);
    KeyUp(hwnd, vk);
}
void TypeText(HWND hwnd, const std::wstring& text) { Input::Text(hwnd, text); }
void Compose(HWND hwnd, const std::wstring& text, int cursor) { Input::ImeComposition(hwnd, text, cursor); }
void Activate(HWND hwnd, bool active) { Input::Focus(hwnd, active); }
void CloseRequest(HWND hwnd) { Input::CloseRequest(hwnd); }
void Resize(HWND hwnd, int width, int height) { Input::Resized(hwnd, width, height); }
void DropFiles(HWND hwnd, int x, int y, const std::vector<std::wstring>& files) {
    Input::DropFiles(hwnd, {x, y}, files);
}
CRect GetTextInputRect() { return Active().m_textRect; }

namespace {
// The window a pointer event at the cursor goes to, and the point in it: the
// desktop's pointer is in device pixels, as SDL's events are.
HWND PointerTarget(POINT& client) {
    const POINT screen = Active().m_cursor;
    if (HWND capture = Platform::GetCapture()) {
        const CPoint corner = Platform::ClientToDeviceScreen(capture, CRect()).TopLeft();
        client = POINT{screen.x - corner.x, screen.y - corner.y};
        return capture;
    }
    return Platform::WindowFromDevicePoint(screen, client);
}
}  // namespace

void PointerTo(int x, int y) {
    Active().m_cursor = CPoint(x, y);
    POINT client;
    HWND target = PointerTarget(client);
    HWND& over = Active().m_pointerWindow;
    if (over && over != target && Platform::IsWindow(over)) Input::MouseLeave(over);
    over = target;
    if (target) Input::MouseMove(target, client);
}

POINT GetPointer() { return Active().m_cursor; }

void PointerButton(bool down, bool right, int clicks) {
    POINT client;
    HWND target = PointerTarget(client);
    if (!target) {
        if (down) Input::PressOutside();
        return;
    }
    Input::MouseButton(target, right ? Input::Button::Right : Input::Button::Left, down, client, clicks);
}

void PointerWheel(int delta) {
    POINT client;
    if (HWND target = PointerTarget(client)) Input::MouseWheel(target, client, delta);
}

void DesktopKey(UINT vk, bool down) {
    if (HWND active = Platform::GetActiveWindow()) Input::Key(active, vk, down);
}

void DesktopText(const std::wstring& text) {
    if (HWND active = Platform::GetActiveWindow()) Input::Text(active, text);
}

}  // namespace Headless

}  // namespace Orvix
