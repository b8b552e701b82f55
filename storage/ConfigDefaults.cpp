#include "storage/ConfigDefaults.h"

#include "base/ParseInt.h"

namespace {
constexpr int kByte = 0xFF;
constexpr int k16Bits = 0xFFFF;
constexpr int kColour = 0xFFFFFF;
// The DPI the mouse takes: 50 to 26000 in steps of 50 (the widest model's range).
constexpr int kDpiMin = 50;
constexpr int kDpiMax = 26000;
constexpr int kDpiStep = 50;
}  // namespace

// Colours are COLORREF values (0x00BBGGRR) written in decimal.
const std::array<ConfigDefault, 40> kConfigDefaults = {{
    {L"version", L"1.0.1", nullptr},
    {L"lightmode", L"3", L"3", 0, 6},
    {L"sleep_light", L"1", L"1", 0, 1},
    {L"deep_sleep", L"60", L"60", 0, k16Bits},
    {L"light_sleep", L"60", L"60", 0, k16Bits},
    {L"move_wakeup", L"0", L"0", 0, 1},
    {L"move_closelight", L"1", L"1", 0, 1},
    {L"report_rate", L"1", L"1", 0, 3},
    {L"report_count", L"7", L"7", 0, kByte},
    {L"report_flag", L"15", L"15", 0, kByte},
    {L"button_respondtime", L"1", L"1", 1, 50},
    {L"sensor_flag", L"53", L"53", 0, kByte},
    {L"liftoff_height", L"1", L"1", 0, 1},
    {L"scroll_flag", L"1", L"1", 0, 1},
    {L"e-sports_flag", L"0", L"0", 0, kByte},
    {L"highspeed_mode", L"0", L"0", 0, 1},
    {L"leftbtn_lock", L"1", L"1", 0, 1},
    {L"dpi_flag", L"5", L"4", 0, kByte},
    {L"dpi_index", L"1", L"1", 0, kDpiStages - 1},
    {L"dpi_count", L"7", L"7", 1, kDpiStages},
    {L"dpi_group0_value", L"800", L"800", kDpiMin, kDpiMax, kDpiStep},
    {L"dpi_group1_value", L"1200", L"1200", kDpiMin, kDpiMax, kDpiStep},
    {L"dpi_group2_value", L"1600", L"1600", kDpiMin, kDpiMax, kDpiStep},
    {L"dpi_group3_value", L"2400", L"3200", kDpiMin, kDpiMax, kDpiStep},
    {L"dpi_group4_value", L"5000", L"5000", kDpiMin, kDpiMax, kDpiStep},
    {L"dpi_group5_value", L"12000", L"12000", kDpiMin, kDpiMax, kDpiStep},
    {L"dpi_group6_value", L"24000", L"24000", kDpiMin, kDpiMax, kDpiStep},
    {L"dpi_group0_rgb", L"255", L"255", 0, kColour},            // 0x0000FF
    {L"dpi_group1_rgb", L"16776960", L"16776960", 0, kColour},  // 0xFFFF00
    {L"dpi_group2_rgb", L"65535", L"65535", 0, kColour},        // 0x00FFFF
    {L"dpi_group3_rgb", L"13353215", L"13353215", 0, kColour},  // 0xCBC0FF
    {L"dpi_group4_rgb", L"65280", L"65280", 0, kColour},        // 0x00FF00
    {L"dpi_group5_rgb", L"8388736", L"8388736", 0, kColour},    // 0x800080
    {L"dpi_group6_rgb", L"16711680", L"16711680", 0, kColour},  // 0xFF0000
    {L"notify_dpi", L"1", L"1", 0, 1},
    {L"notify_light", L"1", L"1", 0, 1},
    {L"notify_devsleep", L"1", L"1", 0, 1},
    {L"notify_reporterate", L"1", L"1", 0, 1},
    {L"notify_lowbattery", L"1", L"1", 0, 1},
    {L"notify_fardistance", L"1", L"1", 0, 1},
}};

const ConfigDefault* FindConfigDefault(const std::wstring& key) {
    for (const ConfigDefault& row : kConfigDefaults)
        if (key == row.key) return &row;
    return nullptr;
}

bool IsStoredValueValid(const ConfigDefault& row, const std::wstring& text) {
    if (std::wstring_view(row.key) == L"version") return true;  // a marker text, never sent
    int value = 0;
    return ParseDecimal(text, value) && value >= row.min && value <= row.max && value % row.step == 0;
}
