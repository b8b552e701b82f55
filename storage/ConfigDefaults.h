#pragma once
// The configuration keys every profile holds, in the order their rows are
// inserted, with the value written when a profile is created and the value its
// reset writes (null: the reset leaves the row alone).
#include <array>

// DPI stages a profile keeps ("dpi_group0_value" to "dpi_group6_value").
constexpr int kDpiStages = 7;

struct ConfigDefault {
    const wchar_t* key;
    const wchar_t* insertValue;
    const wchar_t* resetValue;
};

extern const std::array<ConfigDefault, 40> kConfigDefaults;
