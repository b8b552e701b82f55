#pragma once
// A decoded picture: one frame for PNG, every frame of an animated GIF with its
// delay. Pixels are premultiplied ARGB32, the layout the Canvas draws from.
#include <memory>
#include <string>
#include <vector>

#include "orvix/platform/WinTypes.h"

namespace Orvix {

class Canvas;

class Image {
public:
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // PNG or GIF, chosen by the file's signature; null when the file is missing
    // or cannot be decoded. Paths are UTF-8 on disk.
    // Loads of an unchanged file share one image while somebody holds it.
    static std::shared_ptr<Image> Load(const std::wstring& path);
    // Decodes files ahead of their first Load (on a thread of the caller's, e.g.
    // while the display opens); a Load of a file still being decoded waits for it.
    // Preloaded images are kept until first loaded or until ReleasePreloaded.
    static void Preload(const std::vector<std::wstring>& paths);
    static void ReleasePreloaded();
    static std::shared_ptr<Image> LoadFromMemory(const void* data, size_t size);
    // A copy of a canvas's pixels (e.g. a screenshot or a generated picture).
    static std::shared_ptr<Image> FromCanvas(const Canvas& canvas);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetFrameCount() const { return int(m_frames.size()); }
    // Display time of an animation frame in milliseconds (0 for still images).
    int GetFrameDelay(int frame) const;
    // Unpremultiplied ARGB of one pixel of a frame; 0 outside the picture.
    Color GetPixel(int x, int y, int frame = 0) const;
    bool SavePng(const std::wstring& path, int frame = 0) const;

    struct Frame;  // back-end data

    const Frame& GetFrame(int frame) const;

private:
    Image();
    static std::shared_ptr<Image> DecodePng(const void* data, size_t size);
    static std::shared_ptr<Image> DecodeGif(const void* data, size_t size);

    int m_width = 0;
    int m_height = 0;
    std::vector<std::unique_ptr<Frame>> m_frames;
};

}  // namespace Orvix
