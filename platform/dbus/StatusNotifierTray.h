#pragma once
// The tray icon as a StatusNotifierItem on the session bus, with its menu as a
// com.canonical.dbusmenu object, registered with the desktop's
// org.kde.StatusNotifierWatcher. All bus work runs on a GLib loop of its own; the
// methods below only post to it and never wait for the bus. The callbacks come on
// that loop's thread.
//
// The icon is available while the watcher has accepted it and a notification area
// (a status notifier host) is registered with the watcher. When the watcher goes
// away or a new one starts, the icon follows and reports the change.
#include <atomic>
#include <memory>
#include <string>

#include "platform/TrayIcon.h"
#include "platform/dbus/GLibLoop.h"

class StatusNotifierTrayIcon : public TrayIcon {
  public:
    // `busAddress`: the session bus to use (SessionBusAddress() for the desktop's).
    explicit StatusNotifierTrayIcon(std::string busAddress);
    ~StatusNotifierTrayIcon() override;

    // Starts registering and returns false: the icon is shown once the watcher
    // has answered, which availabilityChanged(true) reports.
    bool Add(const std::wstring& iconFile, const std::wstring& tooltip, const std::wstring& exitText,
             Callbacks callbacks) override;
    void Remove() override;
    bool IsAvailable() const override { return m_available.load(); }
    void SetExitText(const std::wstring& text) override;

    // The item's Id property for a tooltip: the application name in lower case
    // with '-' for spaces and anything but letters and digits ("vantorel-mouse").
    static std::string ItemId(const std::wstring& applicationName);

  private:
    class Session;

    const std::string m_address;
    std::atomic<bool> m_available{false};
    GLibLoop m_loop;
    std::unique_ptr<Session> m_session;  // loop thread only
};
