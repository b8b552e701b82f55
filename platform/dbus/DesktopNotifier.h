#pragma once
// Desktop notifications through org.freedesktop.Notifications on the session bus.
// Notify posts to a GLib loop of its own and returns at once: the connection is
// made on first use and the server's answer is never waited for. Where there is
// no bus or no notification server, notifications are dropped (with a trace).
#include <atomic>
#include <memory>
#include <string>

#include "platform/dbus/GLibLoop.h"

class DesktopNotifier {
  public:
    enum class Urgency { Low = 0, Normal = 1, Critical = 2 };

    // `busAddress`: SessionBusAddress() for the desktop's bus (empty: no bus).
    // `desktopEntry` names the program's .desktop file without its extension;
    // `iconFile` is a picture file shown with each notification (may be empty).
    DesktopNotifier(std::string busAddress, std::wstring applicationName, std::string desktopEntry,
                    std::wstring iconFile = {});
    ~DesktopNotifier();
    DesktopNotifier(const DesktopNotifier&) = delete;
    DesktopNotifier& operator=(const DesktopNotifier&) = delete;

    // Shows a notification. With a `tag`, it takes the place of the last one shown
    // with the same tag (when the server still shows it), so that for example the
    // 5 % battery notice replaces the 15 % one.
    void Notify(const std::wstring& title, const std::wstring& body, Urgency urgency = Urgency::Normal,
                const std::string& tag = {});

    // Notifications asked for whose fate (shown, refused, dropped) is not known yet.
    int PendingCount() const { return m_pending.load(); }

  private:
    struct Request {
        std::string title;
        std::string body;
        Urgency urgency;
        std::string tag;
    };
    class Connection;

    const std::string m_address;
    const std::string m_applicationName;
    const std::string m_desktopEntry;
    const std::string m_iconFile;
    std::atomic<int> m_pending{0};
    GLibLoop m_loop;
    std::unique_ptr<Connection> m_connection;  // loop thread only
};
