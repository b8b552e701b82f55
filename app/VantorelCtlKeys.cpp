#include "app/VantorelCtlKeys.h"

#include <cstdio>

#include "features/PerformanceOptions.h"
#include "base/TextConv.h"
#include "storage/ConfigDefaults.h"

namespace {

bool StartsWith(const std::string& text, const std::string& head) {
    return text.rfind(head, 0) == 0;
}
bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The level number (1 to 7) of "dpi_group<n>_value" or "dpi_group<n>_rgb"; 0 otherwise.
int DpiLevelOf(const std::string& key) {
    if (!StartsWith(key, "dpi_group") || key.size() < 11) return 0;
    const char digit = key[9];
    return digit >= '0' && digit <= '9' ? digit - '0' + 1 : 0;
}

bool IsSwitch(const std::string& key) {
    return key == "highspeed_mode" || key == "move_wakeup" || key == "move_closelight" ||
           key == "sleep_light" || key == "e-sports_flag" || key == "leftbtn_lock" ||
           StartsWith(key, "notify_");
}

constexpr const char* kLightModeNames[] = {"off",  "static",  "breathing", "spectrum cycle",
                                           "wave", "marquee", "neon"};
constexpr const char* kSensorOptionNames[] = {"angle snapping", "ripple control", "motion sync"};

std::string Meaning(const std::string& key) {
    if (const int level = DpiLevelOf(key))
        return (EndsWith(key, "_rgb") ? "colour of DPI level " : "DPI of level ") + std::to_string(level);
    if (StartsWith(key, "notify_")) return "notification switch " + key.substr(7) + " (kept, no effect)";
    static const std::pair<const char*, const char*> kMeanings[] = {
        {"version", "version of the stored settings"},
        {"lightmode", "lighting mode"},
        {"sleep_light", "lighting sleep switch (kept, no effect)"},
        {"deep_sleep", "deep sleep after this many seconds"},
        {"light_sleep", "light sleep after this many seconds"},
        {"move_wakeup", "wake on movement"},
        {"move_closelight", "lighting off while the mouse moves"},
        {"report_rate", "report rate"},
        {"report_count", "report count (kept, no effect)"},
        {"report_flag", "report rates the mouse offers, as bits (read from the mouse)"},
        {"button_respondtime", "button response time in milliseconds"},
        {"sensor_flag", "sensor options, as bits: 1 angle snapping, 2 ripple control, 4 motion sync"},
        {"liftoff_height", "lift-off distance"},
        {"scroll_flag", "scroll direction"},
        {"e-sports_flag", "e-sports switch (profile files only)"},
        {"highspeed_mode", "high-speed mode"},
        {"leftbtn_lock", "left button lock (profile files only)"},
        {"dpi_flag", "DPI flag (profile files only)"},
        {"dpi_index", "active DPI level, counted from 0"},
        {"dpi_count", "number of DPI levels"},
    };
    for (const auto& [name, meaning] : kMeanings)
        if (key == name) return meaning;
    return {};
}

}  // namespace

std::vector<CtlKey> ListCtlKeys(int deviceType, int dpiCount) {
    std::vector<CtlKey> keys;
    for (const ConfigDefault& row : kConfigDefaults) {
        CtlKey key;
        key.key = Orvix::WideToUtf8(row.key);
        key.meaning = Meaning(key.key);
        key.settable = RangeOfSetting(row.key, deviceType, dpiCount, key.range);
        keys.push_back(std::move(key));
    }
    return keys;
}

std::string ReadableValue(const std::string& key, int value) {
    if (IsSwitch(key)) return value == 0 ? "off" : value == 1 ? "on" : "";
    // The cards' rates: 125 Hz doubled per step.
    if (key == "report_rate") return value >= 0 && value <= 3 ? std::to_string(125 << value) + " Hz" : "";
    if (key == "lightmode") return value >= 0 && value <= 6 ? kLightModeNames[value] : "";
    if (key == "liftoff_height") return value == 0 ? "1 mm" : value == 1 ? "2 mm" : "";
    if (key == "scroll_flag") return value == 0 ? "standard" : value == 1 ? "reversed" : "";
    if (key == "button_respondtime") return std::to_string(value) + " ms";
    if (key == "deep_sleep" || key == "light_sleep") {
        if (value > 0 && value % 3600 == 0) return std::to_string(value / 3600) + " h";
        if (value > 0 && value % 60 == 0) return std::to_string(value / 60) + " min";
        return std::to_string(value) + " s";
    }
    if (key == "sensor_flag") {
        std::string options;
        for (int i = 0; i < 3; ++i)
            if (SensorBitSet(value, i))
                options += (options.empty() ? "" : ", ") + std::string(kSensorOptionNames[i]);
        return options.empty() ? "none" : options;
    }
    if (key == "dpi_index") return "level " + std::to_string(value + 1);
    if (DpiLevelOf(key)) {
        if (EndsWith(key, "_value")) return std::to_string(value) + " DPI";
        // Stored as 0x00BBGGRR; shown as the usual #RRGGBB.
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02X%02X%02X", value & 0xFF, (value >> 8) & 0xFF,
                      (value >> 16) & 0xFF);
        return colour;
    }
    return {};
}

std::vector<int> NamedValues(const std::string& key) {
    if (IsSwitch(key) || key == "liftoff_height" || key == "scroll_flag") return {0, 1};
    if (key == "report_rate") return {0, 1, 2, 3};
    if (key == "lightmode") return {0, 1, 2, 3, 4, 5, 6};
    if (key == "sensor_flag") return {0, 1, 2, 3, 4, 5, 6, 7};
    if (key == "deep_sleep") {
        std::vector<int> seconds;
        for (const DeepSleepChoice& choice : kDeepSleepChoices) seconds.push_back(choice.seconds);
        return seconds;
    }
    return {};
}
