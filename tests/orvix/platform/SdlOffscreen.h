#pragma once
// While it lives, the sdl back end runs without a display: the offscreen video
// driver unless the caller chose one.
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

class SdlOffscreen {
  public:
    SdlOffscreen() {
        if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }

  private:
#if defined(__SANITIZE_ADDRESS__)
    // SDL unloads the helper libraries it opened at quit, so their one-time
    // allocations can no longer be told apart by library name.
    __lsan::ScopedDisabler m_sdlAllocations;
#endif
};
