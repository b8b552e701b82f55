#include "platform/TrayIcon.h"

#include "platform/dbus/GLibLoop.h"
#include "platform/dbus/StatusNotifierTray.h"

std::unique_ptr<TrayIcon> CreateTrayIcon() {
    // Whether a notification area is there is known only once the bus has
    // answered; the icon reports it through availabilityChanged.
    std::string address = SessionBusAddress();
    if (address.empty()) return std::make_unique<NoTrayIcon>();
    return std::make_unique<StatusNotifierTrayIcon>(std::move(address));
}
