#include "platform/TrayIcon.h"

std::unique_ptr<TrayIcon> CreateTrayIcon() {
    return std::make_unique<NoTrayIcon>();
}
