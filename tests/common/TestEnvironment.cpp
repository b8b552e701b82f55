// Linked into every test program: the environment the tests expect, whether
// they are started by CTest or by hand.
#include <cstdlib>

#include "platform/LeakSuppressions.h"

namespace {
struct TestEnvironment {
    TestEnvironment() {
        // Windows of the SDL back end need no display.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
} const g_environment;
}  // namespace

