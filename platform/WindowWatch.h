#pragma once
// Which application is in front: a service with one provider per kind of desktop
// session, each on a thread of its own. A provider reports every change of the
// active window; the service names the window's application (its desktop entry,
// resolved on the provider's thread) and hands the report to the owner's
// callback, still on that thread; the owner posts it to the UI thread.
//
// Nothing runs while the service is stopped: no thread, no connection.
//   X11 (and XWayland):   _NET_ACTIVE_WINDOW on the root window, WM_CLASS, _NET_WM_PID
//   KDE Plasma, Wayland:  a KWin script, loaded over D-Bus, calls us back on each activation
//   wlroots compositors:  zwlr_foreign_toplevel_manager_v1 (its "activated" state)
//   GNOME on Wayland:     tells no client; X11 windows are still seen through XWayland
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "features/AppProfileRules.h"

// One change of the window in front, as the owner receives it.
struct FocusReport {
    FocusedWindow window;
    std::wstring entryId;  // its desktop entry, "" when none matched
    std::wstring appName;  // the entry's name, else the window class
    int64_t atMs = 0;      // when the provider saw the change (steady clock, ms)
};

class WindowWatchProvider {
  public:
    // Called on the provider's thread.
    using Sink = std::function<void(const FocusedWindow&)>;
    virtual ~WindowWatchProvider() = default;
    // Starts the thread; false when this session offers the provider nothing
    // (no display, no compositor support, no KWin on the bus). The window in
    // front at the start is reported too.
    virtual bool Start(Sink sink) = 0;
    // Ends the thread; no report arrives after it returns.
    virtual void Stop() = 0;
};

// _NET_ACTIVE_WINDOW of the X display named (":0"; "" takes $DISPLAY).
std::unique_ptr<WindowWatchProvider> MakeX11WindowWatch(const std::string& display);
// A KWin script on the session bus at that address (empty: none).
std::unique_ptr<WindowWatchProvider> MakeKWinWindowWatch(const std::string& busAddress);
// The foreign-toplevel protocol of the Wayland display named ("" takes
// $WAYLAND_DISPLAY); null when the program was built without its protocol.
std::unique_ptr<WindowWatchProvider> MakeWlrootsWindowWatch(const std::string& waylandDisplay);

// The session this process runs in, from its environment.
SessionEnvironment ReadSessionEnvironment();

class WindowWatch {
  public:
    // What the running provider can see.
    enum class Coverage {
        Nothing,         // not running, or the session offers nothing
        AllWindows,      // every application
        X11WindowsOnly,  // only X11 applications (GNOME on Wayland, or a compositor without the protocol)
    };
    using Callback = std::function<void(const FocusReport&)>;
    // Makes the provider for a session kind; tests replace it.
    using ProviderFactory = std::function<std::unique_ptr<WindowWatchProvider>(WatchSession)>;

    WindowWatch();
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    void SetProviderFactory(ProviderFactory factory) { m_factory = std::move(factory); }
    // Installed applications the windows are resolved against; by default they
    // are read (on the provider's thread) at the first report.
    void SetInstalledApps(std::vector<AppEntry> entries);

    // Starts the provider of `session`; where it cannot start, X11 windows
    // through XWayland are watched if a display is there. False when nothing runs.
    bool Start(WatchSession session, Callback callback);
    void Stop();
    bool IsRunning() const { return m_provider != nullptr; }
    WatchSession GetSession() const { return m_session; }
    Coverage GetCoverage() const { return m_coverage; }

    // The name our own windows' WM_CLASS and app id carry: the executable's.
    static std::wstring OwnWindowClass();

  private:
    struct Shared;
    ProviderFactory m_factory;
    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<WindowWatchProvider> m_provider;
    WatchSession m_session = WatchSession::None;
    Coverage m_coverage = Coverage::Nothing;
};

// The provider of each kind of session, as the program makes them.
std::unique_ptr<WindowWatchProvider> MakeSessionWindowWatch(WatchSession session);
// Tests: what every WindowWatch made afterwards uses instead (null restores the default).
void SetWindowWatchFactory(WindowWatch::ProviderFactory factory);
