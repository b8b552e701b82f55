#pragma once
// What the program needs to know of a HID report descriptor: the usage of each
// top-level collection.
#include <cstddef>
#include <cstdint>
#include <vector>

struct HidUsage {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    bool operator==(const HidUsage&) const = default;
};

// Usage page and usage of every top-level collection, in descriptor order. Parsing
// stops at the first item that runs past the end, keeping what came before it.
std::vector<HidUsage> TopLevelUsages(const uint8_t* descriptor, size_t length);
