#pragma once
// What a window is to the desktop, for services that name it to other programs
// (a file chooser made a child of the window asking for it).
#include <cstdint>

#include "orvix/platform/WinTypes.h"

namespace Orvix {

// The X11 window id of a window of the SDL back end on an X display; 0 on other
// back ends and displays, and for no window.
uint64_t GetX11WindowId(HWND hwnd);

}  // namespace Orvix
