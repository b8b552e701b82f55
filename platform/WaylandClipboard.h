#pragma once
// The Wayland clipboard, through wl-clipboard's wl-copy and wl-paste when they are
// installed. The program's own clipboard is an X selection (it runs through
// XWayland); compositors copy that to the Wayland clipboard, but not all of them at
// once or in every case, so a paste into a native Wayland application is prepared
// on the Wayland side as well. Both programs are started directly, never through a
// shell, and each is given a few seconds at most.
#include <string>

class WaylandClipboard {
  public:
    // True when wl-copy and wl-paste are on PATH and WAYLAND_DISPLAY names a display.
    static bool IsAvailable();

    // The clipboard's text; empty when it holds none (or no text). False when
    // wl-paste could not be run or did not finish in time.
    bool Read(std::string& text);
    // Makes `text` the clipboard's content (wl-copy keeps serving it in the
    // background until something else is copied); an empty text clears it.
    bool Write(const std::string& text);
};
