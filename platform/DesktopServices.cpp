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

bool HasScheme(const std::wstring& address) {
    const size_t colon = address.find(L"://");
    return colon != std::wstring::npos && colon > 0 &&
           address.find_first_of(L"/.?#") > colon;  // the scheme comes before any path or host part
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

bool SystemDesktopServices::OpenWebAddress(const std::wstring& address) {
    if (address.empty()) return false;
    const std::wstring url = HasScheme(address) ? address : L"http://" + address;
    return SpawnDetached({"xdg-open", Orvix::WideToUtf8(url)}, true);
}

bool SystemDesktopServices::GetClipboardText(std::wstring& text) {
    return RunOnUiThread([&text] { text = Orvix::Platform::GetClipboardText(); });
}

bool SystemDesktopServices::SetClipboardText(const std::wstring& text) {
    return RunOnUiThread([&text] { Orvix::Platform::SetClipboardText(text); });
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
        XFlush(display);
    }
    XCloseDisplay(display);
    return ok;
}

DesktopServices& GetDesktopServices() {
    static SystemDesktopServices services;
    return services;
}
