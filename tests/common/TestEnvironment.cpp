// Linked into every test program: the environment the tests expect, whether
// they are started by CTest or by hand.
#include <cstdlib>

namespace {
struct TestEnvironment {
    TestEnvironment() {
        // Windows of the SDL back end need no display.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
} const g_environment;
}  // namespace

// The leak checker of the sanitizer build: fontconfig, pango, glib and SDL keep
// one-time allocations until exit; they are not the program's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libpangocairo-1.0.so\n"
           "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libSDL2-2.0.so\nleak:libX11.so\nleak:libdbus-1.so\n";
}
