#include "platform/IconPixmap.h"

#include <algorithm>

#include "base/TextConv.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Image.h"

namespace {

IconPixmap Render(const Orvix::Image& image, int size) {
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    // Scaled to fit and centred, the aspect kept.
    const double scale = std::min(static_cast<double>(size) / width, static_cast<double>(size) / height);
    const int w = std::max(1, static_cast<int>(width * scale + 0.5));
    const int h = std::max(1, static_cast<int>(height * scale + 0.5));
    const int x = (size - w) / 2;
    const int y = (size - h) / 2;
    Orvix::Canvas canvas(size, size);
    canvas.DrawImage(image, Orvix::CRect(x, y, x + w, y + h), Orvix::CRect(0, 0, width, height));

    IconPixmap pixmap;
    pixmap.width = size;
    pixmap.height = size;
    pixmap.argb.reserve(static_cast<size_t>(size) * size * 4);
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column) {
            const Orvix::Color c = canvas.GetPixel(column, row);  // straight alpha
            pixmap.argb.insert(pixmap.argb.end(), {c.GetA(), c.GetR(), c.GetG(), c.GetB()});
        }
    return pixmap;
}

}  // namespace

std::vector<IconPixmap> LoadIconPixmaps(const std::string& pngPath, const std::vector<int>& sizes) {
    std::vector<IconPixmap> result;
    const auto image = Orvix::Image::Load(Orvix::Utf8ToWide(pngPath));
    if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0) return result;
    std::vector<int> all = sizes;
    const int width = image->GetWidth();
    if (width == image->GetHeight() && width <= 256 && std::find(all.begin(), all.end(), width) == all.end())
        all.push_back(width);
    std::sort(all.begin(), all.end());
    for (int size : all)
        if (size > 0) result.push_back(Render(*image, size));
    return result;
}

void AddLowBatteryBadge(std::vector<IconPixmap>& pixmaps) {
    for (IconPixmap& p : pixmaps) {
        if (p.width < 8 || p.height < 8) continue;
        auto set = [&p](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
            if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
            uint8_t* pixel = &p.argb[(static_cast<size_t>(y) * p.width + x) * 4];
            pixel[0] = 255, pixel[1] = r, pixel[2] = g, pixel[3] = b;
        };
        // The battery's body fills about half the width at the bottom right, its
        // tip sticks out on the right; a dark outline keeps it apart from any picture.
        const int width = std::max(6, p.width * 11 / 20);
        const int height = std::max(4, p.height * 3 / 10);
        const int right = p.width - 1 - std::max(1, width / 8);  // the tip's room
        const int left = right - width + 1;
        const int bottom = p.height - 1;
        const int top = bottom - height + 1;
        const int level = left + 1 + std::max(1, (width - 2) / 4);  // a quarter, red
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                const bool edge = y == top || y == bottom || x == left || x == right;
                if (edge)
                    set(x, y, 0x20, 0x20, 0x20);
                else if (x < level)
                    set(x, y, 0xE0, 0x20, 0x20);
                else
                    set(x, y, 0xFF, 0xFF, 0xFF);
            }
        const int tipTop = top + height / 3;
        const int tipBottom = bottom - height / 3;
        for (int y = tipTop; y <= tipBottom; ++y)
            for (int x = right + 1; x < p.width; ++x) set(x, y, 0x20, 0x20, 0x20);
    }
}
