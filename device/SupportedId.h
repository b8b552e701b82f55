#pragma once
// One USB identity the program recognises, filled from the catalog (one row per
// <mode> element) and consulted by the device manager during enumeration.
#include <cstdint>
#include <string>

struct SupportedId {
    int32_t vid = 0;
    int32_t pid = 0;
    std::wstring name;       // always empty; kept for the record layout
    int32_t deviceType = 0;  // catalog device_type of the enclosing model
    int32_t deviceMode = 0;  // 0 = the mouse on its cable, 1 = the wireless receiver
};
