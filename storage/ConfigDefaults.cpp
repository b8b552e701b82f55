#include "storage/ConfigDefaults.h"

// Colours are COLORREF values (0x00BBGGRR) written in decimal.
const std::array<ConfigDefault, 40> kConfigDefaults = {{
    {L"version", L"1.0.1", nullptr},
    {L"lightmode", L"3", L"3"},
    {L"sleep_light", L"1", L"1"},
    {L"deep_sleep", L"60", L"60"},
    {L"light_sleep", L"60", L"60"},
    {L"move_wakeup", L"0", L"0"},
    {L"move_closelight", L"1", L"1"},
    {L"report_rate", L"1", L"1"},
    {L"report_count", L"7", L"7"},
    {L"report_flag", L"15", L"15"},
    {L"button_respondtime", L"1", L"1"},
    {L"sensor_flag", L"53", L"53"},
    {L"liftoff_height", L"1", L"1"},
    {L"scroll_flag", L"1", L"1"},
    {L"e-sports_flag", L"0", L"0"},
    {L"highspeed_mode", L"0", L"0"},
    {L"leftbtn_lock", L"1", L"1"},
    {L"dpi_flag", L"5", L"4"},
    {L"dpi_index", L"1", L"1"},
    {L"dpi_count", L"7", L"7"},
    {L"dpi_group0_value", L"800", L"800"},
    {L"dpi_group1_value", L"1200", L"1200"},
    {L"dpi_group2_value", L"1600", L"1600"},
    {L"dpi_group3_value", L"2400", L"3200"},
    {L"dpi_group4_value", L"5000", L"5000"},
    {L"dpi_group5_value", L"12000", L"12000"},
    {L"dpi_group6_value", L"24000", L"24000"},
    {L"dpi_group0_rgb", L"255", L"255"},            // 0x0000FF
    {L"dpi_group1_rgb", L"16776960", L"16776960"},  // 0xFFFF00
    {L"dpi_group2_rgb", L"65535", L"65535"},        // 0x00FFFF
    {L"dpi_group3_rgb", L"13353215", L"13353215"},  // 0xCBC0FF
    {L"dpi_group4_rgb", L"65280", L"65280"},        // 0x00FF00
    {L"dpi_group5_rgb", L"8388736", L"8388736"},    // 0x800080
    {L"dpi_group6_rgb", L"16711680", L"16711680"},  // 0xFF0000
    {L"notify_dpi", L"1", L"1"},
    {L"notify_light", L"1", L"1"},
    {L"notify_devsleep", L"1", L"1"},
    {L"notify_reporterate", L"1", L"1"},
    {L"notify_lowbattery", L"1", L"1"},
    {L"notify_fardistance", L"1", L"1"},
}};
