#pragma once
// The records that travel between the store's tables and the feature logic.
// Integers are the tables' signed 32-bit values; ids are row ids, 0 = none.
#include <cstdint>
#include <string>

#include "base/KeyRecord.h"

// The assignment types whose parameters (a program path, a web address) live in
// a row of t_key_otherdata, named by the assignment's macro_value.
constexpr int32_t kKeyTypeLaunch = 9;
constexpr int32_t kKeyTypeWeb = 10;

// One row of t_profile_data.
struct ProfileData {
    int32_t profile = 0;
    std::wstring name;
    std::wstring app;    // always empty for profiles the program creates
    int32_t type = 0;    // always 0
    int32_t status = 0;  // 1 = the active profile
};

// One row of t_macro_data.
struct MacroData {
    int32_t macroId = 0;
    std::wstring name;
    int32_t playType = 0;
    int32_t playTimes = 0;
    int32_t delayType = 0;
    int32_t delayTime = 0;
};

// One row of t_macrorecord. The table keeps the text column between
// record_index and value; the record keeps it last.
struct MacroEvent {
    int32_t recordId = 0;
    int32_t macroId = 0;
    int32_t type = 0;
    int32_t recordIndex = 0;  // orders the events of a macro
    int32_t value = 0;
    int32_t delayTime = 0;
    std::wstring desc;
};

// One row of t_light_data: one lighting mode of a profile.
struct LightData {
    int32_t lightId = 0;
    int32_t profile = 0;
    std::wstring name;
    int32_t mode = 0;
    int32_t brightness = 0;
    int32_t speed = 0;
    int32_t direction = 0;
    int32_t colorful = 0;
    int32_t colorIndex = 0;
    int32_t colorValue = 0;
    int32_t configFunc = 0;
    int32_t reserved = 0;
    int32_t status = 0;  // 1 = the profile's active mode
};

// One row of t_text_data: an entry of the text library.
struct TextData {
    int32_t textId = 0;
    std::wstring name;
    int32_t status = 0;  // always 0
    std::wstring content;
    int32_t type = 0;  // always 0
};
