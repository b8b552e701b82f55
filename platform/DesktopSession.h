#pragma once
// What kind of desktop session the program runs in, and so how a paste key chord
// reaches the focused window. On an X11 session XTest does; on a Wayland session
// XTest reaches X clients only (the program itself runs through XWayland), so a
// virtual keyboard on /dev/uinput goes first there and XTest is what is left
// without one.
#include <vector>

enum class SessionKind { Unknown, X11, Wayland };

// From XDG_SESSION_TYPE, WAYLAND_DISPLAY and DISPLAY (null when unset): a session
// type of "wayland", or a Wayland display, is Wayland; "x11" or an X display is X11.
SessionKind SessionKindFrom(const char* sessionType, const char* waylandDisplay, const char* display);
// The same from this process's environment.
SessionKind DetectSessionKind();

enum class PasteRoute { XTest, Uinput };

// The routes to try, best first: Wayland the virtual keyboard then XTest, X11
// XTest then the virtual keyboard, no session none (there is no window to paste into).
std::vector<PasteRoute> PasteRoutes(SessionKind session);

// The evdev key code of an X key code (X adds 8 to the kernel's codes, XWayland
// too); `fallback` when the X code is none.
int EvdevCodeOfXKeycode(int xKeycode, int fallback);
