#pragma once
// One button assignment: a row of t_key_macro_data, the default button records of
// the device description, and what the key page edits. Fields in table order.
#include <cstdint>
#include <string>

struct KeyRecord {
    int32_t keyId = 0;  // row id
    int32_t profile = 0;
    int32_t fnLayer = 0;  // always 0
    int32_t keyCode = 0;  // button slot of the key-map report, 0 to 8
    int32_t layoutValue = 0;
    std::wstring layoutDesc;
    int32_t macroType = 0;  // function type
    int32_t macroValue = 0;
    int32_t macroValue2 = 0;
    int32_t macroValue3 = 0;
    std::wstring macroDesc;  // caption shown on the button map
};
