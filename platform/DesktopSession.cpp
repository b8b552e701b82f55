#include "platform/DesktopSession.h"

#include <cstdlib>
#include <cstring>

namespace {

bool Set(const char* value) {
    return value != nullptr && *value != '\0';
}

}  // namespace

SessionKind SessionKindFrom(const char* sessionType, const char* waylandDisplay, const char* display) {
    if (Set(sessionType) && std::strcmp(sessionType, "wayland") == 0) return SessionKind::Wayland;
    if (Set(sessionType) && std::strcmp(sessionType, "x11") == 0) return SessionKind::X11;
    // "tty", "unspecified" or nothing: the displays tell.
    if (Set(waylandDisplay)) return SessionKind::Wayland;
    if (Set(display)) return SessionKind::X11;
    return SessionKind::Unknown;
}

SessionKind DetectSessionKind() {
    return SessionKindFrom(std::getenv("XDG_SESSION_TYPE"), std::getenv("WAYLAND_DISPLAY"),
                           std::getenv("DISPLAY"));
}

std::vector<PasteRoute> PasteRoutes(SessionKind session) {
    switch (session) {
        case SessionKind::Wayland:
            return {PasteRoute::Uinput, PasteRoute::XTest};
        case SessionKind::X11:
            return {PasteRoute::XTest, PasteRoute::Uinput};
        default:
            return {};
    }
}

int EvdevCodeOfXKeycode(int xKeycode, int fallback) {
    return xKeycode > 8 ? xKeycode - 8 : fallback;
}
