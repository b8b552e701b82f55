#include "platform/IconPixmap.h"

#include <algorithm>

#include "orvix/core/TextConv.h"
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
