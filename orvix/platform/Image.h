#pragma once
// A decoded picture: one frame for PNG, every frame of an animated GIF with its
// delay. Pixels are premultiplied ARGB32, the layout the Canvas draws from.
//
// Sizes are logical units. A skin picture "name.png" may have a sharper twin
// "name@2x.png" with twice the pixels each way: while the program draws above
// 1x the twin is decoded instead (Image::SetDensity), so lines and text in
// pictures stay sharp; the logical size is the same either way.
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

    // The pixel density pictures are wanted in: 2 loads "@2x" twins where they
    // exist, 1 the plain files. Images already loaded follow at their next draw.
    static void SetDensity(int density);
    static int GetWantedDensity();
    // The file of the twin of a picture at a density ("a.png" -> "a@2x.png").
    static std::wstring DensityFile(const std::wstring& path, int density);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // Pixels per logical unit of the frames held now.
    double GetDensity() const { return m_density; }
    int GetPixelWidth() const;
    int GetPixelHeight() const;
    // Swaps the frames for the twin of the wanted density when there is one
    // (drawing calls it; UI thread).
    void MatchDensity() const;
    int GetFrameCount() const { return int(m_frames.size()); }
    // Display time of an animation frame in milliseconds (0 for still images).
    int GetFrameDelay(int frame) const;
    // Unpremultiplied ARGB of the pixel at a logical point of a frame; 0
    // outside the picture.
    Color GetPixel(int x, int y, int frame = 0) const;
    bool SavePng(const std::wstring& path, int frame = 0) const;

    struct Frame;  // back-end data

    const Frame& GetFrame(int frame) const;

private:
    Image();
    static std::shared_ptr<Image> DecodeSkinPicture(const std::string& file);
    static std::shared_ptr<Image> DecodePng(const void* data, size_t size);
    static std::shared_ptr<Image> DecodeGif(const void* data, size_t size);

    int m_width = 0;
    int m_height = 0;
    // The plain file a skin picture came from (empty for other images), and
    // the density it was last matched to.
    std::string m_file;
    mutable int m_matched = 1;
    mutable double m_density = 1.0;
    mutable std::vector<std::unique_ptr<Frame>> m_frames;
};

}  // namespace Orvix
