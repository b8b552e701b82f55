#include "platform/DesktopServices.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>
#include <vector>

#include "orvix/core/TextConv.h"
#include "platform/DesktopEntry.h"
#include "platform/Trace.h"

// After the toolkit's headers: X11 defines macros (None, Bool) that clash with their names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

extern char** environ;

namespace {

constexpr auto kPasteHold = std::chrono::milliseconds(100);
// How long a focused window may take to fetch a pasted text, and a moment more
// for a second format it may ask for.
constexpr auto kPasteWait = std::chrono::milliseconds(1500);
constexpr auto kPasteGrace = std::chrono::milliseconds(50);

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

bool SystemDesktopServices::SaveClipboard(ClipboardContents& contents) {
    ClipboardKeeper* keeper = ClipboardKeeper::Get();
    return keeper && keeper->Save(contents);
}

bool SystemDesktopServices::RestoreClipboard(const ClipboardContents& contents) {
    ClipboardKeeper* keeper = ClipboardKeeper::Get();
    return keeper && keeper->Offer(contents);
}

bool SystemDesktopServices::SetClipboardText(const std::wstring& text) {
    ClipboardKeeper* keeper = ClipboardKeeper::Get();
    if (!keeper || !keeper->Offer(TextClipboardFormats(Orvix::WideToUtf8(text)))) return false;
    m_answeredBefore = keeper->GetAnsweredRequests();
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
    }
    XCloseDisplay(display);
    return ok;
}

DesktopServices& GetDesktopServices() {
    static SystemDesktopServices services;
    return services;
}
