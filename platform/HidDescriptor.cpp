#include "platform/HidDescriptor.h"

namespace {

// Short-item prefixes with the size bits cleared: tag, type.
constexpr uint8_t kMainCollection = 0xA0;
constexpr uint8_t kMainEndCollection = 0xC0;
constexpr uint8_t kGlobalUsagePage = 0x04;
constexpr uint8_t kGlobalPush = 0xA4;
constexpr uint8_t kGlobalPop = 0xB4;
constexpr uint8_t kLocalUsage = 0x08;
constexpr uint8_t kLongItem = 0xFE;
constexpr uint8_t kTypeMask = 0x0C;
constexpr uint8_t kTypeMain = 0x00;

uint32_t LittleEndian(const uint8_t* p, size_t size) {
    uint32_t value = 0;
    for (size_t i = size; i > 0; --i) value = value << 8 | p[i - 1];
    return value;
}

}  // namespace

std::vector<HidUsage> TopLevelUsages(const uint8_t* descriptor, size_t length) {
    std::vector<HidUsage> result;
    std::vector<uint16_t> pageStack;  // Push/Pop of the global state, of which only the page matters here
    uint16_t usagePage = 0;
    // The collection's usage is the first one declared before it; a short usage takes
    // the page in effect at the collection, a four-byte one carries its own page.
    bool haveUsage = false;
    bool extendedUsage = false;
    HidUsage firstUsage;
    int depth = 0;
    size_t pos = 0;
    while (pos < length) {
        const uint8_t prefix = descriptor[pos];
        if (prefix == kLongItem) {
            if (pos + 1 >= length) break;
            pos += 3 + descriptor[pos + 1];
            continue;
        }
        const size_t size = (prefix & 3) == 3 ? 4 : prefix & 3;
        if (pos + 1 + size > length) break;
        const uint32_t value = LittleEndian(descriptor + pos + 1, size);
        pos += 1 + size;
        switch (prefix & 0xFC) {
            case kGlobalUsagePage:
                usagePage = static_cast<uint16_t>(value);
                break;
            case kGlobalPush:
                pageStack.push_back(usagePage);
                break;
            case kGlobalPop:
                if (!pageStack.empty()) {
                    usagePage = pageStack.back();
                    pageStack.pop_back();
                }
                break;
            case kLocalUsage:
                if (!haveUsage) {
                    extendedUsage = size == 4;
                    firstUsage = {static_cast<uint16_t>(value >> 16), static_cast<uint16_t>(value)};
                    haveUsage = true;
                }
                break;
            case kMainCollection:
                if (depth++ == 0)
                    result.push_back({haveUsage && extendedUsage ? firstUsage.usagePage : usagePage,
                                      haveUsage ? firstUsage.usage : uint16_t{0}});
                break;
            case kMainEndCollection:
                if (depth > 0) --depth;
                break;
        }
        if ((prefix & kTypeMask) == kTypeMain) haveUsage = false;  // local items end with each main item
    }
    return result;
}
