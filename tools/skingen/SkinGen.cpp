// Draws the default skin (theme1) as PNG strips: skingen <output folder>.
// Every picture is drawn twice from the same painters: "name.png" at 1x and
// "name@2x.png" with twice the pixels, for windows drawn above 1x.
#include "tools/skingen/SkinGen.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "base/TextConv.h"
#include "orvix/platform/Image.h"
#include "platform/LeakSuppressions.h"
#include "tools/skingen/GifWriter.h"

using namespace Orvix;
using namespace SkinGen;

namespace {
bool SameFrame(const Canvas& strip, int a, int b, int width, int height) {
    const uint32_t* px = strip.GetData();
    const int stride = strip.GetStride();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (px[y * stride + a * width + x] != px[y * stride + b * width + x]) return false;
    return true;
}

// A state strip whose looks repeat shows the user nothing when the state
// changes (hover and press must be seen): every frame must differ from the
// others.
int CheckDistinctFrames(const SkinImage& image, const Canvas& strip) {
    if (image.frames < 4) return 0;
    int failures = 0;
    for (int a = 0; a < image.frames; ++a)
        for (int b = a + 1; b < image.frames; ++b)
            if (SameFrame(strip, a, b, image.width, image.height)) {
                std::fprintf(stderr, "skingen: %s: frames %d and %d are the same\n", image.name, a, b);
                ++failures;
            }
    return failures;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen <output folder>\n");
        return 2;
    }
    std::string folder = argv[1];
    // mkdir -p
    for (size_t i = 1; i <= folder.size(); ++i)
        if (i == folder.size() || folder[i] == '/') mkdir(folder.substr(0, i).c_str(), 0755);
    RegisterEmbeddedFont();
    int failures = 0;
    std::set<std::string> seen;
    for (const SkinImage& image : AllImages()) {
        if (!seen.insert(image.name).second) {
            std::fprintf(stderr, "skingen: %s is drawn twice\n", image.name);
            ++failures;
            continue;
        }
        const std::string path = folder + "/" + image.name;
        // Images may live in subfolders ("icon/...").
        for (size_t i = folder.size() + 1; i < path.size(); ++i)
            if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
        for (int scale : {1, 2}) {
            const std::string file =
                scale == 1 ? path : WideToUtf8(Image::DensityFile(Utf8ToWide(path), scale));
            bool saved;
            if (path.ends_with(".gif")) {
                // An animation: each frame is a picture of its own.
                std::vector<std::unique_ptr<Canvas>> frames;
                std::vector<const Canvas*> views;
                for (int f = 0; f < image.frames; ++f) {
                    frames.push_back(std::make_unique<Canvas>(image.width, image.height, scale));
                    image.paint(*frames.back(), CRect(0, 0, image.width, image.height), f);
                    views.push_back(frames.back().get());
                }
                saved = SaveAnimatedGif(views, kGifFrameMs, file);
            } else {
                Canvas strip(image.width * image.frames, image.height, scale);
                for (int f = 0; f < image.frames; ++f) {
                    CRect frame(f * image.width, 0, (f + 1) * image.width, image.height);
                    strip.PushClip(frame);
                    image.paint(strip, frame, f);
                    strip.PopClip();
                }
                if (scale == 1) failures += CheckDistinctFrames(image, strip);
                saved = strip.SavePng(Utf8ToWide(file));
            }
            if (!saved) {
                std::fprintf(stderr, "skingen: cannot write %s\n", file.c_str());
                ++failures;
            }
        }
    }
    return failures ? 1 : 0;
}
