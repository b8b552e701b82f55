#include "platform/DesktopServices.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "orvix/core/TextConv.h"
#include "orvix/platform/Platform.h"
#include "platform/DesktopEntry.h"
#include "platform/Trace.h"

// After the toolkit's headers: X11 defines macros (None, Bool) that clash with their names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

extern char** environ;

namespace {

constexpr auto kUiWait = std::chrono::seconds(2);
constexpr auto kPasteHold = std::chrono::milliseconds(100);
// The focused window asks for the clipboard when it handles the keys, possibly
// after they were released; the caller puts the user's clipboard back afterwards.
constexpr auto kPasteSettle = std::chrono::milliseconds(300);

// Runs `work` on the UI thread and waits for it. False when there is no UI
// thread or it did not get round to it in time (the work is then skipped).
bool RunOnUiThread(std::function<void()> work) {
    if (!Orvix::Platform::IsInitialized()) return false;
    struct Shared {
        std::mutex lock;
        std::condition_variable done;
        bool started = false;
        bool finished = false;
        bool abandoned = false;
    };
    auto shared = std::make_shared<Shared>();
    Orvix::Platform::PostTask([shared, work = std::move(work)] {
        {
            std::lock_guard<std::mutex> lock(shared->lock);
            if (shared->abandoned) return;
            shared->started = true;
        }
        work();
        std::lock_guard<std::mutex> lock(shared->lock);
        shared->finished = true;
        shared->done.notify_all();
    });
    std::unique_lock<std::mutex> lock(shared->lock);
    if (!shared->done.wait_for(lock, kUiWait, [&] { return shared->finished; }) && !shared->started) {
        shared->abandoned = true;
        return false;
    }
    shared->done.wait(lock, [&] { return shared->finished; });
    return true;
}

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

bool SystemDesktopServices::StartProgram(const std::wstring& path) {
    // An application entry starts the command of its Exec line, split into
    // arguments by the entry rules (no shell); its program is searched on PATH.
    if (path.size() > 8 && path.compare(path.size() - 8, 8, L".desktop") == 0) {
        std::vector<std::string> argv;
        return DesktopEntryCommand(path, argv) && SpawnDetached(argv, true);
    }
    return SpawnDetached({Orvix::WideToUtf8(path)}, false);
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

bool SystemDesktopServices::GetClipboardText(std::wstring& text) {
    return RunOnUiThread([&text] { text = Orvix::Platform::GetClipboardText(); });
}

bool SystemDesktopServices::SetClipboardText(const std::wstring& text) {
    // Reading the text back tells whether the clipboard took it, and makes the
    // display connection send the change at once: keys pressed right after must
    // not reach a window that still sees the previous owner.
    bool held = false;
    return RunOnUiThread([&text, &held] {
               Orvix::Platform::SetClipboardText(text);
               held = Orvix::Platform::GetClipboardText() == text;
           }) &&
           held;
}

bool SystemDesktopServices::PressPasteKeys() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    int event = 0, error = 0, major = 0, minor = 0;
    bool ok = XTestQueryExtension(display, &event, &error, &major, &minor);
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
        std::this_thread::sleep_for(kPasteSettle);
    }
    XCloseDisplay(display);
    return ok;
}

DesktopServices& GetDesktopServices() {
    static SystemDesktopServices services;
    return services;
}
