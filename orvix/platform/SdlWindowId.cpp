// The X11 window behind an SDL window. Apart from the back end: SDL_syswm.h
// brings the X11 headers, whose macros (None, Bool, Status) clash with names of
// the toolkit.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdint>

namespace Orvix {

uint64_t SdlX11WindowId(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info)) return 0;
#if defined(SDL_VIDEO_DRIVER_X11)
    if (info.subsystem == SDL_SYSWM_X11) return uint64_t(info.info.x11.window);
#endif
    return 0;
}

}  // namespace Orvix
