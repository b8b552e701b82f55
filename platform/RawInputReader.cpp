#include "platform/RawInputReader.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cwctype>
#include <thread>
#include <unordered_map>
#include <vector>

#include "orvix/platform/Platform.h"
#include "base/Trace.h"

// After the toolkit's headers: X11 defines macros (None, Bool) that clash with their names.
#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

using namespace Orvix;

// ---------------------------------------------------------------- the reader

struct LiveInputReader::Shared {
    Callback callback;
    RawInputReader translator;
    std::wstring layoutName;  // of the sample being translated
    bool active = false;

    Shared() : translator([this](int vk) { return layoutName.empty() ? DefaultKeyName(vk) : layoutName; }) {}
};

LiveInputReader::LiveInputReader(std::unique_ptr<RawInputSource> source) : m_source(std::move(source)) {}

LiveInputReader::~LiveInputReader() {
    Release();
}

bool LiveInputReader::Register(Callback callback) {
    if (m_registered) {
        m_shared->callback = std::move(callback);
        return true;
    }
    if (!m_source) m_source = MakeRawInputSource();
    if (!m_source) return false;
    m_shared = std::make_shared<Shared>();
    m_shared->callback = std::move(callback);
    m_shared->active = true;
    std::weak_ptr<Shared> weak = m_shared;
    RawInputSource::Sink sink = [weak](const RawInputSample& sample) {
        // Sources call from their own thread; the translation and the callback run on the UI thread.
        // The time is taken here: a busy UI thread must not shorten the pauses between events.
        Platform::PostTask([weak, sample, at = Platform::GetTickCount()] {
            std::shared_ptr<Shared> shared = weak.lock();
            if (!shared || !shared->active) return;
            InputEvent event;
            if (sample.keyboard) {
                shared->layoutName = sample.layoutName;
                event = shared->translator.TranslateKeyboard(sample.vk, sample.keyUp);
            } else {
                event = shared->translator.TranslateMouse(sample.buttonFlags, sample.wheelData);
            }
            event.timeMs = at;
            if (shared->callback) shared->callback(event);
        });
    };
    m_registered = m_source->Start(sink) || m_source->Start(sink);
    if (!m_registered) m_shared.reset();
    return m_registered;
}

void LiveInputReader::Release() {
    if (!m_registered) return;
    m_source->Stop();
    m_shared->active = false;
    m_shared->translator.Release();
    m_shared.reset();
    m_registered = false;
}

// ---------------------------------------------------------------- window events

namespace {

class WindowEventSource;
std::vector<WindowEventSource*>& RunningWindowSources() {
    static std::vector<WindowEventSource*> sources;
    return sources;
}

class WindowEventSource : public RawInputSource {
  public:
    ~WindowEventSource() override { Stop(); }
    bool Start(Sink sink) override {
        m_sink = std::move(sink);
        auto& running = RunningWindowSources();
        if (std::find(running.begin(), running.end(), this) == running.end()) running.push_back(this);
        return true;
    }
    void Stop() override {
        auto& running = RunningWindowSources();
        running.erase(std::remove(running.begin(), running.end(), this), running.end());
    }
    bool SeesBackgroundInput() const override { return false; }
    void Deliver(const RawInputSample& sample) {
        if (m_sink) m_sink(sample);
    }

  private:
    Sink m_sink;
};

bool SampleFromWindowMessage(UINT msg, WPARAM wParam, RawInputSample& sample) {
    sample = RawInputSample();
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            sample.keyboard = true;
            sample.vk = int(wParam);
            sample.keyUp = msg == WM_KEYUP || msg == WM_SYSKEYUP;
            return sample.vk != 0;
        default:
            break;
    }
    sample.keyboard = false;
    switch (msg) {
        case WM_LBUTTONDOWN:
            sample.buttonFlags = kRawLeftDown;
            return true;
        case WM_LBUTTONUP:
            sample.buttonFlags = kRawLeftUp;
            return true;
        case WM_RBUTTONDOWN:
            sample.buttonFlags = kRawRightDown;
            return true;
        case WM_RBUTTONUP:
            sample.buttonFlags = kRawRightUp;
            return true;
        case WM_MBUTTONDOWN:
            sample.buttonFlags = kRawMiddleDown;
            return true;
        case WM_MBUTTONUP:
            sample.buttonFlags = kRawMiddleUp;
            return true;
        case WM_MOUSEWHEEL:
            sample.buttonFlags = kRawWheel;
            sample.wheelData = GET_WHEEL_DELTA_WPARAM(wParam);
            return true;
        default:
            return false;
    }
}

}  // namespace

void FeedWindowInput(UINT msg, WPARAM wParam, LPARAM) {
    if (RunningWindowSources().empty()) return;
    RawInputSample sample;
    if (!SampleFromWindowMessage(msg, wParam, sample)) return;
    // A copy: a sink may stop its source.
    const std::vector<WindowEventSource*> running = RunningWindowSources();
    for (WindowEventSource* source : running) source->Deliver(sample);
}

// ---------------------------------------------------------------- XInput2

namespace {

int KeysymToVk(KeySym sym) {
    if (sym >= XK_a && sym <= XK_z) return int('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z) return int(sym);
    if (sym >= XK_0 && sym <= XK_9) return int(sym);
    if (sym >= XK_F1 && sym <= XK_F24) return int(112 + (sym - XK_F1));
    if (sym >= XK_KP_0 && sym <= XK_KP_9) return int(96 + (sym - XK_KP_0));
    static const std::unordered_map<KeySym, int> table = {
        {XK_Return, 13},
        {XK_KP_Enter, 13},
        {XK_Escape, 27},
        {XK_BackSpace, 8},
        {XK_Tab, 9},
        {XK_ISO_Left_Tab, 9},
        {XK_space, 32},
        {XK_minus, 189},
        {XK_equal, 187},
        {XK_bracketleft, 219},
        {XK_bracketright, 221},
        {XK_backslash, 220},
        {XK_semicolon, 186},
        {XK_apostrophe, 222},
        {XK_grave, 192},
        {XK_comma, 188},
        {XK_period, 190},
        {XK_slash, 191},
        {XK_Caps_Lock, 20},
        {XK_Print, 44},
        {XK_Scroll_Lock, 145},
        {XK_Pause, 19},
        {XK_Insert, 45},
        {XK_Home, 36},
        {XK_Prior, 33},
        {XK_Delete, 46},
        {XK_End, 35},
        {XK_Next, 34},
        {XK_Right, 39},
        {XK_Left, 37},
        {XK_Down, 40},
        {XK_Up, 38},
        {XK_Num_Lock, 144},
        {XK_KP_Divide, 111},
        {XK_KP_Multiply, 106},
        {XK_KP_Subtract, 109},
        {XK_KP_Add, 107},
        {XK_KP_Decimal, 110},
        {XK_KP_Delete, 110},
        {XK_KP_Insert, 96},
        {XK_KP_End, 97},
        {XK_KP_Down, 98},
        {XK_KP_Next, 99},
        {XK_KP_Left, 100},
        {XK_KP_Begin, 101},
        {XK_KP_Right, 102},
        {XK_KP_Home, 103},
        {XK_KP_Up, 104},
        {XK_KP_Prior, 105},
        {XK_Shift_L, 160},
        {XK_Shift_R, 161},
        {XK_Control_L, 162},
        {XK_Control_R, 163},
        {XK_Alt_L, 164},
        {XK_Alt_R, 165},
        {XK_ISO_Level3_Shift, 165},
        {XK_Super_L, 91},
        {XK_Super_R, 92},
        {XK_Menu, 93},
        {XK_less, 226},
        {XF86XK_Back, 166},
        {XF86XK_Forward, 167},
        {XF86XK_Refresh, 168},
        {XF86XK_Stop, 169},
        {XF86XK_Search, 170},
        {XF86XK_Favorites, 171},
        {XF86XK_HomePage, 172},
        {XF86XK_AudioMute, 173},
        {XF86XK_AudioLowerVolume, 174},
        {XF86XK_AudioRaiseVolume, 175},
        {XF86XK_AudioNext, 176},
        {XF86XK_AudioPrev, 177},
        {XF86XK_AudioStop, 178},
        {XF86XK_AudioPlay, 179},
        {XF86XK_Mail, 180},
        {XF86XK_AudioMedia, 181},
        {XF86XK_MyComputer, 182},
        {XF86XK_Calculator, 183},
    };
    auto it = table.find(sym);
    return it == table.end() ? 0 : it->second;
}

// The name the current layout gives a key: the character it types for printing
// keys (upper case, as keyboards are labelled), otherwise the fixed key names.
std::wstring LayoutKeyName(KeySym sym, int vk) {
    wchar_t ch = 0;
    if ((sym >= 0x21 && sym <= 0x7E) || (sym >= 0xA1 && sym <= 0xFF))
        ch = wchar_t(sym);
    else if ((sym & 0xFF000000) == 0x01000000)
        ch = wchar_t(sym & 0x00FFFFFF);
    if (ch) return std::wstring(1, wchar_t(std::towupper(wint_t(ch))));
    std::wstring name = DefaultKeyName(vk);
    if (!name.empty()) return name;
    const char* x = XKeysymToString(sym);
    if (!x) return L"";
    for (const char* p = x; *p; ++p) name += *p == '_' ? L' ' : wchar_t(static_cast<unsigned char>(*p));
    return name;
}

class XInput2Source : public RawInputSource {
  public:
    static std::unique_ptr<XInput2Source> Open() {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) return nullptr;
        Display* dpy = XOpenDisplay(nullptr);
        if (!dpy) return nullptr;
        int opcode = 0, event = 0, error = 0;
        int major = 2, minor = 2;
        if (!XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error) ||
            XIQueryVersion(dpy, &major, &minor) != Success || major < 2 || (major == 2 && minor < 1)) {
            XCloseDisplay(dpy);
            return nullptr;
        }
        return std::unique_ptr<XInput2Source>(new XInput2Source(dpy, opcode));
    }

    ~XInput2Source() override {
        Stop();
        XCloseDisplay(m_dpy);
    }

    bool Start(Sink sink) override {
        if (m_thread.joinable()) return true;
        if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        m_sink = std::move(sink);
        Select(true);
        m_thread = std::thread([this] { Run(); });
        return true;
    }

    void Stop() override {
        if (!m_thread.joinable()) return;
        const char byte = 1;
        (void)!write(m_wake[1], &byte, 1);
        m_thread.join();
        close(m_wake[0]);
        close(m_wake[1]);
        Select(false);
    }

    bool SeesBackgroundInput() const override { return true; }

  private:
    XInput2Source(Display* dpy, int opcode) : m_dpy(dpy), m_opcode(opcode) {}

    void Select(bool on) {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        if (on) {
            XISetMask(bits, XI_RawKeyPress);
            XISetMask(bits, XI_RawKeyRelease);
            XISetMask(bits, XI_RawButtonPress);
            XISetMask(bits, XI_RawButtonRelease);
        }
        XIEventMask mask;
        mask.deviceid = XIAllMasterDevices;
        mask.mask_len = sizeof(bits);
        mask.mask = bits;
        XISelectEvents(m_dpy, DefaultRootWindow(m_dpy), &mask, 1);
        XSync(m_dpy, False);
    }

    void Run() {
        pollfd fds[2] = {{ConnectionNumber(m_dpy), POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        for (;;) {
            while (XPending(m_dpy)) {
                XEvent ev;
                XNextEvent(m_dpy, &ev);
                if (ev.xcookie.type != GenericEvent || ev.xcookie.extension != m_opcode) continue;
                if (!XGetEventData(m_dpy, &ev.xcookie)) continue;
                Handle(ev.xcookie.evtype, *static_cast<XIRawEvent*>(ev.xcookie.data));
                XFreeEventData(m_dpy, &ev.xcookie);
            }
            if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
            if (fds[1].revents) return;
        }
    }

    void Handle(int type, const XIRawEvent& raw) {
        RawInputSample sample;
        if (type == XI_RawKeyPress || type == XI_RawKeyRelease) {
            const auto keycode = KeyCode(raw.detail);
            XkbStateRec state{};
            XkbGetState(m_dpy, XkbUseCoreKbd, &state);
            const KeySym base = XkbKeycodeToKeysym(m_dpy, keycode, 0, 0);
            KeySym shown = XkbKeycodeToKeysym(m_dpy, keycode, state.group, 0);
            if (shown == NoSymbol) shown = base;
            sample.keyboard = true;
            sample.vk = KeysymToVk(base);
            if (!sample.vk) sample.vk = KeysymToVk(shown);
            if (!sample.vk) return;
            sample.keyUp = type == XI_RawKeyRelease;
            sample.layoutName = LayoutKeyName(shown, sample.vk);
        } else {
            const bool down = type == XI_RawButtonPress;
            sample.keyboard = false;
            switch (raw.detail) {
                case 1:
                    sample.buttonFlags = down ? kRawLeftDown : kRawLeftUp;
                    break;
                case 2:
                    sample.buttonFlags = down ? kRawMiddleDown : kRawMiddleUp;
                    break;
                case 3:
                    sample.buttonFlags = down ? kRawRightDown : kRawRightUp;
                    break;
                case 4:
                case 5:
                    if (!down) return;  // a wheel notch is one press and release
                    sample.buttonFlags = kRawWheel;
                    sample.wheelData = raw.detail == 4 ? kWheelDelta : -kWheelDelta;
                    break;
                case 8:
                    sample.buttonFlags = down ? kRawButton4Down : kRawButton4Up;
                    break;
                case 9:
                    sample.buttonFlags = down ? kRawButton5Down : kRawButton5Up;
                    break;
                default:
                    return;
            }
        }
        m_sink(sample);
    }

    Display* m_dpy;
    int m_opcode;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    Sink m_sink;
};

std::function<std::unique_ptr<RawInputSource>()>& SourceFactory() {
    static std::function<std::unique_ptr<RawInputSource>()> factory;
    return factory;
}

}  // namespace

std::unique_ptr<RawInputSource> MakeXInput2Source() {
    return XInput2Source::Open();
}

std::unique_ptr<RawInputSource> MakeRawInputSource() {
    if (SourceFactory()) return SourceFactory()();
    if (Platform::GetBackend() != BackendKind::Headless) {
        if (auto xi = XInput2Source::Open()) return xi;
        Vantorel::Trace("raw input: no XInput2, the window's own events are used");
    }
    return std::make_unique<WindowEventSource>();
}

void SetRawInputSourceFactory(std::function<std::unique_ptr<RawInputSource>()> factory) {
    SourceFactory() = std::move(factory);
}

// ---------------------------------------------------------------- fake

bool FakeRawInputSource::Start(Sink sink) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_starts;
    if (m_failStarts > 0) {
        --m_failStarts;
        return false;
    }
    m_sink = std::move(sink);
    return true;
}

void FakeRawInputSource::Stop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sink = nullptr;
}

bool FakeRawInputSource::Emit(const RawInputSample& sample) {
    Sink sink;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sink = m_sink;
    }
    if (!sink) return false;
    sink(sample);
    return true;
}

bool FakeRawInputSource::IsRunning() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return bool(m_sink);
}
