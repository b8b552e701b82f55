#pragma once
// What the program asks of the desktop when a button mapped to a PC-side function
// is pressed: start a program, open a web address, and paste a text through the
// clipboard. Nothing here goes through a shell command line: programs are started
// by path with an argument vector, addresses are handed to xdg-open as one argument.
// The interface lets tests watch the calls without launching anything.
#include <string>

class DesktopServices {
  public:
    virtual ~DesktopServices() = default;
    // Starts the program at `path` directly, without arguments.
    virtual bool StartProgram(const std::wstring& path) = 0;
    // Opens a web address in the user's browser (an address without a scheme is
    // taken as "http://" + address); any scheme but http and https is refused.
    virtual bool OpenWebAddress(const std::wstring& address) = 0;
    // False when there is no clipboard to reach; `text` is empty when it holds none.
    virtual bool GetClipboardText(std::wstring& text) = 0;
    virtual bool SetClipboardText(const std::wstring& text) = 0;
    // Ctrl down, V down, 100 ms, V up, Ctrl up, to the window that has the focus.
    virtual bool PressPasteKeys() = 0;
};

// The URL handed to the browser for an address: an "http://" or "https://"
// address as it is, one without a scheme as "http://" + address, and nothing
// (empty) for any other scheme ("file:", "javascript:", "mailto:" ...), which
// the web function must never open. "host:8080/..." is a port, not a scheme.
std::wstring WebUrlFor(const std::wstring& address);

// The desktop of this machine: posix_spawn for programs, xdg-open for addresses,
// the toolkit's clipboard (reached on the UI thread) and XTest for the keys.
class SystemDesktopServices : public DesktopServices {
  public:
    bool StartProgram(const std::wstring& path) override;
    bool OpenWebAddress(const std::wstring& address) override;
    bool GetClipboardText(std::wstring& text) override;
    bool SetClipboardText(const std::wstring& text) override;
    bool PressPasteKeys() override;
};

// The process-wide instance of SystemDesktopServices.
DesktopServices& GetDesktopServices();
