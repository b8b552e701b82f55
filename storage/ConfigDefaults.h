#pragma once
// The configuration keys every profile holds, in the order their rows are
// inserted, with the value written when a profile is created, the value its
// reset writes (null: the reset leaves the row alone) and the values a stored
// row may hold: what the mouse takes for the settings that are sent, what the
// pages make for the others.
#include <array>
#include <string>

// DPI stages a profile keeps ("dpi_group0_value" to "dpi_group6_value").
constexpr int kDpiStages = 7;

struct ConfigDefault {
    const wchar_t* key;
    const wchar_t* insertValue;
    const wchar_t* resetValue;
    int min = 0;  // a whole number from min to max, a multiple of step
    int max = 0;
    int step = 1;
};

extern const std::array<ConfigDefault, 40> kConfigDefaults;

// The row of a key; null for a key no profile holds.
const ConfigDefault* FindConfigDefault(const std::wstring& key);

// Whether a stored text is a value its key may hold: a whole number written as
// "%d" writes it, within the key's range. "version" holds any text.
bool IsStoredValueValid(const ConfigDefault& row, const std::wstring& text);
