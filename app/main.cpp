// The program's entry point: the toolkit's offscreen renderings first, then
// the options of a normal start (app/AppOptions.h) and the start itself
// (app/AppStart.h).
#include <cstdio>
#include <cstring>
#include <string>

#include "app/AppStart.h"
#include "app/ToolkitDemo.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--toolkit-demo") == 0 && i + 1 < argc) return RunToolkitDemo(argv[i + 1]);
    }
    AppOptions options;
    std::string error;
    if (!ParseAppOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "VantorelMouse: %s\nTry 'VantorelMouse --help' for the options.\n",
                     error.c_str());
        return 2;
    }
    return RunApplication(options);
}

// The leak checker of sanitizer builds: fontconfig, pango, glib and SDL keep
// one-time allocations until exit; they are not the program's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\n"
           "leak:libpangocairo-1.0.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\n"
           "leak:libSDL2-2.0.so\nleak:libX11.so\nleak:libdbus-1.so\n";
}
