// The program's entry point: the toolkit's offscreen renderings first, then
// the options of a normal start (app/AppOptions.h) and the start itself
// (app/AppStart.h).
#include <cstdio>
#include <cstring>
#include <string>

#include "app/AppStart.h"
#include "app/GalleryLists.h"
#include "app/ToolkitDemo.h"
#include "platform/LeakSuppressions.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--toolkit-demo") == 0 && i + 1 < argc) return RunToolkitDemo(argv[i + 1]);
        if (std::strcmp(argv[i], "--gallery-lists") == 0 && i + 1 < argc) return RenderListsGallery(argv[i + 1]);
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

