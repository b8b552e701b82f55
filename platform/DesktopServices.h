#pragma once
// What the program asks of the desktop when a button mapped to a PC-side function
// is pressed: start a program, open a web address, and paste a text through the
// clipboard. Nothing here goes through a shell command line: programs are started
// by path with an argument vector, addresses are handed to xdg-open as one argument.
// The interface lets tests watch the calls without launching anything.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/ClipboardKeeper.h"
#include "platform/DesktopSession.h"
#include "platform/UinputKeyboard.h"

// A paste that could not take the route its session wants: the virtual keyboard of
// a Wayland session could not be made. `pasted` tells whether another route
// (XTest, which reaches X applications only) pressed the keys instead.
struct PasteFallback {
    UinputProblem problem = UinputProblem::Ok;
    int error = 0;          // errno of the failure
    std::string node;       // the uinput node tried
    bool pasted = false;
};

class DesktopServices {
  public:
    virtual ~DesktopServices() = default;
    // Starts the program at `path` directly, without arguments.
    virtual bool StartProgram(const std::wstring& path) = 0;
    // Opens a web address in the user's browser (an address without a scheme is
    // taken as "http://" + address); any scheme but http and https is refused.
    virtual bool OpenWebAddress(const std::wstring& address) = 0;
    // Every format the clipboard holds (none when it is empty); false when there
    // is no clipboard to reach.
    virtual bool SaveClipboard(ClipboardContents& contents) = 0;
    // The clipboard holds these formats from now on; nothing empties it.
    virtual bool RestoreClipboard(const ClipboardContents& contents) = 0;
    // The clipboard holds `text`, to be pasted.
    virtual bool SetClipboardText(const std::wstring& text) = 0;
    // Ctrl down, V down, 100 ms, V up, Ctrl up, to the window that has the focus.
    virtual bool PressPasteKeys() = 0;
    // After the keys: until the focused window fetched the text (or a time limit).
    virtual void WaitForPaste() {}
    // Where a paste that had to fall back is told (on the thread that pasted).
    virtual void SetPasteFallbackHandler(std::function<void(const PasteFallback&)>) {}
};

// The URL handed to the browser for an address: an "http://" or "https://"
// address as it is, one without a scheme as "http://" + address, and nothing
// (empty) for any other scheme ("file:", "javascript:", "mailto:" ...), which
// the web function must never open. "host:8080/..." is a port, not a scheme.
std::wstring WebUrlFor(const std::wstring& address);

// How the system's services reach this session (the defaults are this process's).
struct DesktopSessionOptions {
    SessionKind session = DetectSessionKind();
    std::string uinputPath = kUinputPath;
    // Also the Wayland clipboard (wl-copy, wl-paste) on a Wayland session, when installed.
    bool waylandClipboard = true;
    // Told the virtual keyboard's event node once it is made, before any key.
    std::function<void(const std::string& eventNode)> onVirtualKeyboard;
};

// The desktop of this machine: GIO's application launching for programs and
// application entries, xdg-open for addresses, the X clipboard on a connection
// of its own (ClipboardKeeper; on a Wayland session also the Wayland clipboard's
// text) and, for the keys, XTest or a uinput virtual keyboard as the session
// needs. Nothing here waits for the UI thread.
class SystemDesktopServices : public DesktopServices {
  public:
    explicit SystemDesktopServices(DesktopSessionOptions options = {});
    bool StartProgram(const std::wstring& path) override;
    bool OpenWebAddress(const std::wstring& address) override;
    bool SaveClipboard(ClipboardContents& contents) override;
    bool RestoreClipboard(const ClipboardContents& contents) override;
    bool SetClipboardText(const std::wstring& text) override;
    bool PressPasteKeys() override;
    void WaitForPaste() override;
    void SetPasteFallbackHandler(std::function<void(const PasteFallback&)> handler) override;

  private:
    bool UseWaylandClipboard() const;
    bool PressWithXTest();
    bool PressWithUinput(PasteFallback& failure);

    DesktopSessionOptions m_options;
    std::mutex m_handlerLock;
    std::function<void(const PasteFallback&)> m_fallbackHandler;  // guarded by m_handlerLock
    // One paste at a time (the text typer's thread): what it saved and counted.
    uint64_t m_answeredBefore = 0;  // requests the clipboard had answered before the keys
    std::string m_waylandSaved;     // the Wayland clipboard's text before the paste
};

// The process-wide instance of SystemDesktopServices.
DesktopServices& GetDesktopServices();
