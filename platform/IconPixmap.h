#pragma once
// The tray icon's picture as the notification area takes it over D-Bus: square
// images of a few sizes, each pixel four bytes A, R, G, B (not premultiplied),
// rows from the top. Drawn by the toolkit's canvas from the skin's PNG file.
#include <cstdint>
#include <string>
#include <vector>

struct IconPixmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> argb;  // width * height * 4 bytes
};

// The picture at each of `sizes` (scaled to fit, centred, aspect kept), plus the
// file's own size when it is square and at most 256 pixels and not listed.
// Empty when the file cannot be read as a PNG.
std::vector<IconPixmap> LoadIconPixmaps(const std::string& pngPath,
                                        const std::vector<int>& sizes = {16, 22, 24, 32, 48, 64});

// Marks each picture as the low-battery variant: a small battery, nearly empty and
// red, in its lower right corner, drawn over the picture.
void AddLowBatteryBadge(std::vector<IconPixmap>& pixmaps);
