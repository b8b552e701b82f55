// Image decoding: PNG through cairo, GIF (every frame, with delays) through giflib.
#include "orvix/platform/Image.h"

#include <gif_lib.h>
#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

#include "base/TextConv.h"
#include "orvix/platform/CairoImpl.h"

namespace Orvix {

namespace {

struct MemoryReader {
    const unsigned char* data;
    size_t size;
    size_t pos = 0;
    size_t Read(unsigned char* out, size_t want) {
        size_t n = std::min(want, size - pos);
        std::memcpy(out, data + pos, n);
        pos += n;
        return n;
    }
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<MemoryReader*>(closure);
    return reader->Read(out, length) == length ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_READ_ERROR;
}

int ReadGif(GifFileType* gif, GifByteType* out, int length) {
    return int(static_cast<MemoryReader*>(gif->UserData)->Read(out, size_t(std::max(0, length))));
}

bool StartsWith(const void* data, size_t size, const char* magic) {
    size_t n = std::strlen(magic);
    return size >= n && std::memcmp(data, magic, n) == 0;
}

// A PNG's or GIF's size from its header alone.
bool PictureSize(const std::string& file, int& width, int& height) {
    unsigned char h[24] = {};
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return false;
    if (StartsWith(h, sizeof h, "\x89PNG")) {
        auto big = [&](int at) { return int(h[at]) << 24 | int(h[at + 1]) << 16 | int(h[at + 2]) << 8 | int(h[at + 3]); };
        width = big(16);
        height = big(20);
        return width > 0 && height > 0;
    }
    if (StartsWith(h, sizeof h, "GIF8")) {
        width = h[6] | h[7] << 8;
        height = h[8] | h[9] << 8;
        return width > 0 && height > 0;
    }
    return false;
}

// What identifies a file's content without reading it.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};

// Only plain files: a folder (an empty image name) or a device is no picture.
bool StampOf(const std::string& file, FileStamp& stamp) {
    struct stat st;
    if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp = {st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    return true;
}

std::shared_ptr<Image> ReadAndDecode(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return nullptr;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Image::LoadFromMemory(bytes.data(), bytes.size());
}

// Decoded pictures by file. Images never change once decoded, so every control
// showing the same file shares one (a skin uses some pictures many times); an
// entry lives as long as somebody holds its image, or until a preloaded image is
// first taken. A file changed on disk is decoded afresh.
struct CacheEntry {
    FileStamp stamp;
    std::weak_ptr<Image> image;
    std::shared_ptr<Image> held;  // preloaded, not yet taken
    bool pending = false;         // being preloaded on another thread
};
std::atomic<int> g_density{1};
std::mutex g_cacheMutex;
std::condition_variable g_cacheDone;
std::map<std::string, CacheEntry> g_cache;

// Keeps `image` for `file` and returns the image loads of it share from now on:
// one decoded meanwhile by another thread wins, so that there is only one.
std::shared_ptr<Image> Remember(const std::string& file, const FileStamp& stamp, std::shared_ptr<Image> image,
                                bool hold) {
    // Forget the files whose images nobody holds any more before the map grows.
    for (auto it = g_cache.begin(); it != g_cache.end();)
        it = !it->second.pending && !it->second.held && it->second.image.expired() ? g_cache.erase(it) : ++it;
    CacheEntry& entry = g_cache[file];
    entry.pending = false;
    if (entry.stamp == stamp)
        if (std::shared_ptr<Image> shared = entry.image.lock()) return shared;
    entry.stamp = stamp;
    entry.image = image;
    entry.held = hold ? image : nullptr;
    return image;
}

}  // namespace

Image::Image() = default;
Image::~Image() = default;

std::shared_ptr<Image> Image::Load(const std::wstring& path) {
    const std::string file = WideToUtf8(path);
    FileStamp stamp;
    if (!StampOf(file, stamp)) return nullptr;
    {
        std::unique_lock lock(g_cacheMutex);
        g_cacheDone.wait(lock, [&] {
            auto it = g_cache.find(file);
            return it == g_cache.end() || !it->second.pending;
        });
        auto it = g_cache.find(file);
        if (it != g_cache.end() && it->second.stamp == stamp) {
            std::shared_ptr<Image> image = it->second.image.lock();
            it->second.held.reset();
            if (image) return image;
        }
    }
    std::shared_ptr<Image> image = DecodeSkinPicture(file);
    if (!image) return nullptr;
    std::lock_guard lock(g_cacheMutex);
    return Remember(file, stamp, std::move(image), false);
}

void Image::Preload(const std::vector<std::wstring>& paths) {
    std::vector<std::pair<std::string, FileStamp>> files;
    {
        std::lock_guard lock(g_cacheMutex);
        for (const std::wstring& path : paths) {
            FileStamp stamp;
            std::string file = WideToUtf8(path);
            if (!StampOf(file, stamp)) continue;
            CacheEntry& entry = g_cache[file];
            if (entry.pending || (entry.stamp == stamp && !entry.image.expired())) continue;
            entry.pending = true;
            files.emplace_back(std::move(file), stamp);
        }
    }
    for (const auto& [file, stamp] : files) {
        std::shared_ptr<Image> image = DecodeSkinPicture(file);
        {
            std::lock_guard lock(g_cacheMutex);
            if (image) {
                Remember(file, stamp, std::move(image), true);
            } else {
                g_cache.erase(file);
            }
        }
        g_cacheDone.notify_all();
    }
}

void Image::ReleasePreloaded() {
    std::lock_guard lock(g_cacheMutex);
    for (auto& [file, entry] : g_cache) entry.held.reset();
}

std::shared_ptr<Image> Image::LoadFromMemory(const void* data, size_t size) {
    if (!data) return nullptr;
    if (StartsWith(data, size, "\x89PNG")) return DecodePng(data, size);
    if (StartsWith(data, size, "GIF8")) return DecodeGif(data, size);
    return nullptr;
}

std::shared_ptr<Image> Image::DecodePng(const void* data, size_t size) {
    MemoryReader reader{static_cast<const unsigned char*>(data), size};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    // Always ARGB32 so every frame can be drawn and read the same way.
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    if (cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
        cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_t* cr = cairo_create(argb);
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        surface = argb;
    }
    std::shared_ptr<Image> image(new Image());
    image->m_width = w;
    image->m_height = h;
    auto frame = std::make_unique<Frame>();
    frame->surface = surface;
    image->m_frames.push_back(std::move(frame));
    return image;
}

std::shared_ptr<Image> Image::DecodeGif(const void* data, size_t size) {
    MemoryReader reader{static_cast<const unsigned char*>(data), size};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadGif, &error);
    if (!gif) return nullptr;
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1 || gif->SWidth <= 0 || gif->SHeight <= 0) {
        DGifCloseFile(gif, &error);
        return nullptr;
    }
    const int w = gif->SWidth, h = gif->SHeight;
    std::shared_ptr<Image> image(new Image());
    image->m_width = w;
    image->m_height = h;
    // Frames are composed on a running canvas, honouring each frame's disposal.
    std::vector<uint32_t> canvas(size_t(w) * h, 0), saved;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& frame = gif->SavedImages[i];
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
        if (gcb.DisposalMode == DISPOSE_PREVIOUS) saved = canvas;
        const GifImageDesc& d = frame.ImageDesc;
        for (int y = 0; map && y < d.Height; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                int cx = d.Left + x, cy = d.Top + y;
                if (cx < 0 || cy < 0 || cx >= w || cy >= h) continue;
                int index = frame.RasterBits[size_t(y) * d.Width + x];
                if (index == gcb.TransparentColor || index >= map->ColorCount) continue;
                const GifColorType& c = map->Colors[index];
                canvas[size_t(cy) * w + cx] = PremultiplyPixel(255, c.Red, c.Green, c.Blue);
            }
        }
        auto out = std::make_unique<Frame>();
        out->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_surface_flush(out->surface);
        unsigned char* dst = cairo_image_surface_get_data(out->surface);
        int stride = cairo_image_surface_get_stride(out->surface);
        for (int y = 0; y < h; ++y) std::memcpy(dst + size_t(y) * stride, &canvas[size_t(y) * w], size_t(w) * 4);
        cairo_surface_mark_dirty(out->surface);
        out->delayMs = gcb.DelayTime * 10;
        image->m_frames.push_back(std::move(out));

        if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = std::max(0, d.Top); y < std::min(h, d.Top + d.Height); ++y)
                for (int x = std::max(0, d.Left); x < std::min(w, d.Left + d.Width); ++x) canvas[size_t(y) * w + x] = 0;
        } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
            canvas = saved;
        }
    }
    DGifCloseFile(gif, &error);
    return image;
}

std::shared_ptr<Image> Image::FromCanvas(const Canvas& canvas) {
    std::shared_ptr<Image> image(new Image());
    image->m_width = canvas.GetWidth();
    image->m_height = canvas.GetHeight();
    image->m_density = canvas.GetScale();
    auto frame = std::make_unique<Frame>();
    frame->surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, canvas.GetPixelWidth(), canvas.GetPixelHeight());
    cairo_t* cr = cairo_create(frame->surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, canvas.GetImpl().surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    image->m_frames.push_back(std::move(frame));
    return image;
}

int Image::GetFrameDelay(int frame) const {
    return frame >= 0 && frame < GetFrameCount() ? m_frames[size_t(frame)]->delayMs : 0;
}

const Image::Frame& Image::GetFrame(int frame) const { return *m_frames.at(size_t(frame)); }

void Image::SetDensity(int density) { g_density = density >= 2 ? 2 : 1; }
int Image::GetWantedDensity() { return g_density; }

std::wstring Image::DensityFile(const std::wstring& path, int density) {
    if (density <= 1) return path;
    const size_t slash = path.find_last_of(L'/');
    const size_t dot = path.find_last_of(L'.');
    const size_t stem = dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash) ? path.size() : dot;
    return path.substr(0, stem) + L"@" + std::to_wstring(density) + L"x" + path.substr(stem);
}

int Image::GetPixelWidth() const {
    return m_frames.empty() ? 0 : cairo_image_surface_get_width(m_frames.front()->surface);
}
int Image::GetPixelHeight() const {
    return m_frames.empty() ? 0 : cairo_image_surface_get_height(m_frames.front()->surface);
}

std::shared_ptr<Image> Image::DecodeSkinPicture(const std::string& file) {
    const int wanted = g_density;
    int plainWidth = 0, plainHeight = 0;
    if (wanted > 1 && PictureSize(file, plainWidth, plainHeight)) {
        // The twin alone when it is there: the plain file is not decoded at all
        // (its header says what size the twin must have).
        std::shared_ptr<Image> twin = ReadAndDecode(WideToUtf8(DensityFile(Utf8ToWide(file), wanted)));
        if (twin && twin->m_width == plainWidth * wanted && twin->m_height == plainHeight * wanted) {
            twin->m_width /= wanted;
            twin->m_height /= wanted;
            twin->m_density = wanted;
            twin->m_matched = wanted;
            twin->m_file = file;
            return twin;
        }
    }
    std::shared_ptr<Image> image = ReadAndDecode(file);
    if (image) {
        image->m_file = file;
        image->m_matched = wanted;  // no twin to be had
    }
    return image;
}

void Image::MatchDensity() const {
    const int wanted = g_density;
    if (m_file.empty() || wanted == m_matched) return;
    m_matched = wanted;
    if (m_density == wanted) return;
    // The plain file at 1x; else its twin when one exists with the same
    // logical size and frame count (a stray file of another size is ignored).
    const std::string file = wanted == 1 ? m_file : WideToUtf8(DensityFile(Utf8ToWide(m_file), wanted));
    std::shared_ptr<Image> twin = ReadAndDecode(file);
    if (!twin || twin->GetFrameCount() != GetFrameCount()) return;
    if (twin->m_width != m_width * wanted || twin->m_height != m_height * wanted) return;
    m_frames = std::move(twin->m_frames);
    m_density = wanted;
}

Color Image::GetPixel(int x, int y, int frame) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || frame < 0 || frame >= GetFrameCount()) return Color(0);
    x = int(x * m_density);
    y = int(y * m_density);
    cairo_surface_t* s = m_frames[size_t(frame)]->surface;
    cairo_surface_flush(s);
    const unsigned char* row = cairo_image_surface_get_data(s) + size_t(y) * cairo_image_surface_get_stride(s);
    uint32_t p;
    std::memcpy(&p, row + size_t(x) * 4, 4);
    return UnpremultiplyPixel(p);
}

bool Image::SavePng(const std::wstring& path, int frame) const {
    if (frame < 0 || frame >= GetFrameCount()) return false;
    return cairo_surface_write_to_png(m_frames[size_t(frame)]->surface, WideToUtf8(path).c_str()) ==
           CAIRO_STATUS_SUCCESS;
}

}  // namespace Orvix
