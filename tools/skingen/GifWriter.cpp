#include "tools/skingen/GifWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace SkinGen {

namespace {

using Orvix::Canvas;
using Orvix::Color;

// Opaque RGB of a pixel (GIF has no partial alpha; frames are drawn opaque).
uint32_t Rgb(const Canvas& c, int x, int y) { return c.GetPixel(x, y).GetValue() & 0xFFFFFF; }

int Distance(uint32_t a, uint32_t b) {
    auto d = [&](int shift) {
        int v = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        return v * v;
    };
    return d(16) + d(8) + d(0);
}

std::vector<uint32_t> BuildPalette(const std::vector<const Canvas*>& frames) {
    std::map<uint32_t, int> counts;
    for (const Canvas* f : frames)
        for (int y = 0; y < f->GetPixelHeight(); ++y)
            for (int x = 0; x < f->GetPixelWidth(); ++x) ++counts[Rgb(*f, x, y)];
    std::vector<std::pair<int, uint32_t>> byUse;
    for (auto& [rgb, n] : counts) byUse.push_back({n, rgb});
    std::sort(byUse.begin(), byUse.end(), [](auto& a, auto& b) { return a.first > b.first; });
    std::vector<uint32_t> palette;
    for (size_t i = 0; i < byUse.size() && i < 256; ++i) palette.push_back(byUse[i].second);
    palette.resize(256, 0);  // giflib wants a power of two
    return palette;
}

bool PutLoopExtension(GifFileType* gif) {
    static const GifByteType app[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType loop[] = {1, 0, 0};  // loop forever
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof app, app) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
}

}  // namespace

bool SaveAnimatedGif(const std::vector<const Canvas*>& frames, int delayMs, const std::string& path) {
    if (frames.empty()) return false;
    const int w = frames[0]->GetPixelWidth(), h = frames[0]->GetPixelHeight();
    const std::vector<uint32_t> palette = BuildPalette(frames);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    if (!map) return false;
    for (int i = 0; i < 256; ++i)
        map->Colors[i] = GifColorType{GifByteType(palette[size_t(i)] >> 16), GifByteType(palette[size_t(i)] >> 8),
                                      GifByteType(palette[size_t(i)])};
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) {
        GifFreeMapObject(map);
        return false;
    }
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK && PutLoopExtension(gif);
    std::map<uint32_t, GifByteType> nearest;
    std::vector<GifByteType> line(static_cast<size_t>(w));
    for (const Canvas* frame : frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_DO_NOT;
        gcb.DelayTime = delayMs / 10;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        const size_t len = EGifGCBToExtension(&gcb, ext);
        ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t rgb = Rgb(*frame, x, y);
                auto it = nearest.find(rgb);
                if (it == nearest.end()) {
                    int best = 0;
                    for (int i = 1; i < 256; ++i)
                        if (Distance(rgb, palette[size_t(i)]) < Distance(rgb, palette[size_t(best)])) best = i;
                    it = nearest.emplace(rgb, GifByteType(best)).first;
                }
                line[size_t(x)] = it->second;
            }
            ok = EGifPutLine(gif, line.data(), w) == GIF_OK;
        }
    }
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

}  // namespace SkinGen
