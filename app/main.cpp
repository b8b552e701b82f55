// The program's entry point: the toolkit's offscreen renderings first, then
// the options of a normal start (app/AppOptions.h) and the start itself
// (app/AppStart.h).
#include <cstdio>
#include <cstring>
#include <string>

#include "app/AppStart.h"
#include "orvix/demo/GalleryControls.h"
#include "orvix/demo/GalleryLists.h"
#include "orvix/demo/GalleryWidgetsA.h"
#include "orvix/demo/GalleryWidgetsB.h"
#include "orvix/demo/ToolkitDemo.h"
#include "platform/LeakSuppressions.h"

namespace {

// Offscreen renderings of the toolkit: "--option out.png" writes one picture and exits.
struct Rendering {
    const char* option;
    int (*render)(const char* pngPath);
};
constexpr Rendering kRenderings[] = {
    {"--toolkit-demo", RunToolkitDemo},
    {"--gallery-controls", RenderControlsGallery},
    {"--gallery-lists", RenderListsGallery},
    {"--gallery-widgets-a", RenderWidgetsGalleryA},
    {"--gallery-widgets-b", RenderWidgetsGalleryB},
};

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        for (const Rendering& r : kRenderings)
            if (std::strcmp(argv[i], r.option) == 0) return r.render(argv[i + 1]);
    AppOptions options;
    std::string error;
    if (!ParseAppOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "VantorelMouse: %s\nTry 'VantorelMouse --help' for the options.\n",
                     error.c_str());
        return 2;
    }
    return RunApplication(options);
}

