#include "platform/DesktopServices.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "base/TextConv.h"
#include "platform/AppLaunch.h"
#include "base/Trace.h"
#include "platform/WaylandClipboard.h"

// After the toolkit's headers: X11 defines macros (None, Bool) that clash with their names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <linux/input-event-codes.h>

extern char** environ;

namespace {

constexpr auto kPasteHold = std::chrono::milliseconds(100);
// How long a focused window may take to fetch a pasted text, and a moment more
// for a second format it may ask for.
constexpr auto kPasteWait = std::chrono::milliseconds(1500);
constexpr auto kPasteGrace = std::chrono::milliseconds(50);
// The virtual keyboard of a Wayland session stays until the window handled its
// keys: a native Wayland window fetches the Wayland clipboard, which is not counted.
constexpr auto kPasteSettle = std::chrono::milliseconds(300);
// A new input device reaches the compositor through udev and its input library;
// keys sent before it took the device would be lost.
constexpr auto kKeyboardSettle = std::chrono::milliseconds(250);

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
bool IsAsciiDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool StartsWithNoCase(const std::wstring& text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c += L'a' - L'A';
        if (c != prefix[i]) return false;
    }
    return true;
}

// True when the address begins with a scheme: a letter, then letters, digits,
// '+', '-' or '.', then ':' that is not followed by a port number.
bool HasScheme(const std::wstring& address) {
    if (address.empty() || !IsAsciiLetter(address[0])) return false;
    size_t i = 1;
    while (i < address.size() && (IsAsciiLetter(address[i]) || IsAsciiDigit(address[i]) ||
                                  address[i] == L'+' || address[i] == L'-' || address[i] == L'.'))
        ++i;
    if (i == address.size() || address[i] != L':') return false;
    size_t digits = i + 1;
    while (digits < address.size() && IsAsciiDigit(address[digits])) ++digits;
    const bool port = digits > i + 1 && (digits == address.size() || address[digits] == L'/' ||
                                         address[digits] == L'?' || address[digits] == L'#');
    return !port;
}

// Starts `argv[0]` (searched on PATH when `searchPath`) with the argument vector
// and reaps it in the background. False when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv, bool searchPath) {
    if (argv.empty() || argv[0].empty()) return false;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = searchPath ? posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ)
                              : posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ);
    if (rc != 0) {
        Vantorel::Trace("cannot start %s (error %d)", args[0], rc);
        return false;
    }
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}

}  // namespace

SystemDesktopServices::SystemDesktopServices(DesktopSessionOptions options) : m_options(std::move(options)) {}

bool SystemDesktopServices::StartProgram(const std::wstring& path) {
    return LaunchApplication(Orvix::WideToUtf8(path)) == LaunchResult::Started;
}

std::wstring WebUrlFor(const std::wstring& address) {
    if (address.empty()) return {};
    if (StartsWithNoCase(address, L"http://") || StartsWithNoCase(address, L"https://")) return address;
    if (HasScheme(address)) return {};
    return L"http://" + address;
}

bool SystemDesktopServices::OpenWebAddress(const std::wstring& address) {
    const std::wstring url = WebUrlFor(address);
    if (url.empty()) {
        Vantorel::Trace("web address refused: %s", Orvix::WideToUtf8(address).c_str());
        return false;
    }
    return SpawnDetached({"xdg-open", Orvix::WideToUtf8(url)}, true);
}

bool SystemDesktopServices::UseWaylandClipboard() const {
    return m_options.waylandClipboard && m_options.session == SessionKind::Wayland &&
           WaylandClipboard::IsAvailable();
}

bool SystemDesktopServices::SaveClipboard(ClipboardContents& contents) {
    // On a Wayland session what the user copied last may be on the Wayland side.
    m_waylandSaved.clear();
    if (UseWaylandClipboard() && !WaylandClipboard().Read(m_waylandSaved)) m_waylandSaved.clear();
    ClipboardKeeper* keeper = ClipboardKeeper::Get();
    // Without an X display there is no X clipboard to lose (a Wayland session
    // without XWayland): only the Wayland side, kept above.
    if (!keeper) return UseWaylandClipboard();
    return keeper->Save(contents);
}

bool SystemDesktopServices::RestoreClipboard(const ClipboardContents& contents) {
    ClipboardKeeper* keeper = ClipboardKeeper::Get();
    const bool restored = keeper && keeper->Offer(contents);
    if (UseWaylandClipboard() && !m_waylandSaved.empty() && !WaylandClipboard().Write(m_waylandSaved))
        Vantorel::Trace("clipboard: wl-copy did not take the text back");
    return restored;
}

bool SystemDesktopServices::SetClipboardText(const std::wstring& text) {
    ClipboardKeeper* keeper = ClipboardKeeper::Get();
    // A Wayland session without XWayland has only the Wayland clipboard.
    if (!keeper) return UseWaylandClipboard() && WaylandClipboard().Write(Orvix::WideToUtf8(text));
    if (!keeper->Offer(TextClipboardFormats(Orvix::WideToUtf8(text)))) return false;
    m_answeredBefore = keeper->GetAnsweredRequests();
    // Native Wayland applications read the Wayland clipboard; the compositor's copy
    // of the X selection may come late or not at all. Written last, so both hold
    // the same text whichever the compositor copies.
    if (UseWaylandClipboard() && !WaylandClipboard().Write(Orvix::WideToUtf8(text)))
        Vantorel::Trace("clipboard: wl-copy did not take the text");
    return true;
}

void SystemDesktopServices::WaitForPaste() {
    // The focused window asks for the text when it handles the keys, possibly
    // after they were released; the user's clipboard goes back once it has.
    ClipboardKeeper* keeper = ClipboardKeeper::Get();
    if (!keeper) return;
    const auto until = std::chrono::steady_clock::now() + kPasteWait;
    while (keeper->GetAnsweredRequests() == m_answeredBefore && keeper->IsOwner() &&
           std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(kPasteGrace);
}

bool SystemDesktopServices::PressWithXTest() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        Vantorel::Trace("paste: no X display to press the keys on");
        return false;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    bool ok = XTestQueryExtension(display, &event, &error, &major, &minor);
    if (!ok) Vantorel::Trace("paste: the X server has no XTest");
    if (ok) {
        const KeyCode ctrl = XKeysymToKeycode(display, XK_Control_L);
        const KeyCode v = XKeysymToKeycode(display, XK_v);
        XTestFakeKeyEvent(display, ctrl, True, CurrentTime);
        XTestFakeKeyEvent(display, v, True, CurrentTime);
        XFlush(display);
        std::this_thread::sleep_for(kPasteHold);
        XTestFakeKeyEvent(display, v, False, CurrentTime);
        XTestFakeKeyEvent(display, ctrl, False, CurrentTime);
        XSync(display, False);
    }
    XCloseDisplay(display);
    return ok;
}

bool SystemDesktopServices::PressWithUinput(PasteFallback& failure) {
    // The keys that give Ctrl and "v" in the session's layout: the X server of the
    // session (XWayland's follows the compositor's keymap) knows them; without one
    // the keys at the usual places.
    int ctrl = KEY_LEFTCTRL, v = KEY_V;
    if (Display* display = XOpenDisplay(nullptr)) {
        ctrl = EvdevCodeOfXKeycode(XKeysymToKeycode(display, XK_Control_L), KEY_LEFTCTRL);
        v = EvdevCodeOfXKeycode(XKeysymToKeycode(display, XK_v), KEY_V);
        XCloseDisplay(display);
    }
    UinputKeyboard keyboard(m_options.uinputPath);
    if (!keyboard.Create({ctrl, v})) {
        failure.problem = keyboard.Problem();
        failure.error = keyboard.Error();
        failure.node = keyboard.Path();
        return false;
    }
    if (m_options.onVirtualKeyboard) m_options.onVirtualKeyboard(keyboard.EventNode());
    std::this_thread::sleep_for(kKeyboardSettle);
    const bool pressed = keyboard.PressChord({ctrl, v}, kPasteHold);
    // The window fetches the text when it handles the keys; the device stays until then.
    std::this_thread::sleep_for(kPasteSettle);
    return pressed;
}

bool SystemDesktopServices::PressPasteKeys() {
    PasteFallback failure;
    bool pasted = false;
    for (PasteRoute route : PasteRoutes(m_options.session)) {
        pasted = route == PasteRoute::XTest ? PressWithXTest() : PressWithUinput(failure);
        if (pasted) break;
    }
    // Only the Wayland session's own route is worth a word: on X11 XTest is the way.
    if (m_options.session == SessionKind::Wayland && failure.problem != UinputProblem::Ok) {
        failure.pasted = pasted;
        std::function<void(const PasteFallback&)> handler;
        {
            std::lock_guard<std::mutex> lock(m_handlerLock);
            handler = m_fallbackHandler;
        }
        if (handler) handler(failure);
    }
    return pasted;
}

void SystemDesktopServices::SetPasteFallbackHandler(std::function<void(const PasteFallback&)> handler) {
    std::lock_guard<std::mutex> lock(m_handlerLock);
    m_fallbackHandler = std::move(handler);
}

DesktopServices& GetDesktopServices() {
    static SystemDesktopServices services;
    return services;
}
