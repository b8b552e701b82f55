#include "sim/MacroImageCheck.h"

#include <algorithm>
#include <cstdio>

#include "protocol/Report.h"
#include "sim/SimTrace.h"

namespace {

constexpr uint8_t kEndRecord = 0x83;
constexpr size_t kMacroSlots = kMacroTableSize / 2;

bool IsEventKind(uint8_t kind) {
    switch (kind) {
        case 0x01:
        case 0x02:  // modifier / key up
        case 0x41:
        case 0x42:  // modifier / key down
        case 0x03:
        case 0x43:  // mouse button up / down
        case 0x44:  // wheel
        case 0x06:  // imported events
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string CheckMacroImage(const uint8_t* image, size_t length) {
    if (length < kMacroTableSize || length > kMacroImageMax)
        return SimFormat("image of %zu bytes, expected 64 to 4000", length);
    for (size_t slot = 0; slot < kMacroSlots; ++slot) {
        const size_t start = image[2 * slot] | image[2 * slot + 1] << 8;
        if (start == 0) continue;
        if (start < kMacroTableSize || start > length || (start - kMacroTableSize) % 4 != 0)
            return SimFormat("macro %zu starts at %zu, outside the records of a %zu-byte image", slot, start,
                             length);
        // A macro without events may point at the end of the image: nothing to walk.
        bool ended = start == length;
        for (size_t pos = start; !ended && pos < length; pos += 4) {
            if (pos + 4 > length) return SimFormat("macro %zu: record at %zu runs past the image", slot, pos);
            const uint8_t kind = image[pos + 2];
            if (kind == kEndRecord) {
                if (pos + 8 > length)
                    return SimFormat("macro %zu: end record at %zu lacks its zero bytes", slot, pos);
                ended = true;
            } else if (!IsEventKind(kind)) {
                return SimFormat("macro %zu: unknown event kind 0x%02X at %zu", slot, kind, pos);
            }
        }
        if (!ended) return SimFormat("macro %zu has no end record", slot);
    }
    return {};
}

std::vector<uint8_t> MakeSampleMacroImage(size_t length) {
    std::vector<uint8_t> image(length, 0);
    if (length < kMacroTableSize + 8) return image;
    const size_t records = (length - kMacroTableSize) / 4;  // 4-byte units after the table
    const size_t macros = std::min(kMacroSlots, records / 2);
    size_t pos = kMacroTableSize;
    for (size_t m = 0; m < macros; ++m) {
        // Spread the units evenly; every macro needs two for its end record.
        const size_t units = records / macros + (m < records % macros ? 1 : 0);
        image[2 * m] = static_cast<uint8_t>(pos & 0xFF);
        image[2 * m + 1] = static_cast<uint8_t>(pos >> 8);
        for (size_t e = 0; e + 2 < units; ++e, pos += 4) {
            image[pos] = 10;                                             // delay 10 ms
            image[pos + 2] = e % 2 == 0 ? 0x42 : 0x02;                   // key down, key up
            image[pos + 3] = static_cast<uint8_t>(0x04 + (e / 2) % 26);  // letters a..z
        }
        image[pos] = 10;
        image[pos + 2] = kEndRecord;
        image[pos + 3] = 0x01;
        pos += 8;
    }
    return image;
}
