#pragma once
// The tray icon as a StatusNotifierItem on the session bus, its Id the
// application id (the desktop entry's name), with its menu as a
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
    using TrayIcon::Add;
    bool Add(const std::wstring& iconFile, const TrayStatus& status, Callbacks callbacks) override;
    // Tells the notification area what changed: NewToolTip, NewIcon (the
    // low-battery picture), NewTitle, and the menu's LayoutUpdated.
    void Update(const TrayStatus& status) override;
    void Remove() override;
    bool IsAvailable() const override { return m_available.load(); }

  private:
    class Session;

    const std::string m_address;
    std::atomic<bool> m_available{false};
    GLibLoop m_loop;
    std::unique_ptr<Session> m_session;  // loop thread only
};
