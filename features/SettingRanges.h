#pragma once
// The values a script may give a stored setting: the same ranges the pages allow
// (report-rate cards, DPI levels and their count, the deep-sleep list, the
// response time, the switches). Used by vantorelctl and by the program's bus
// interface, so both refuse exactly the same values with the same words. Pure.
#include <string>
#include <vector>

// The values a setting may take: those listed in `choices` when there are any,
// otherwise min to max.
struct SettingRange {
    int min = 0;
    int max = 0;
    std::vector<int> choices;
};

// A key of the configuration rows every profile holds.
bool IsConfigKey(const std::wstring& key);

// The range of a configuration key for the model (its type) with `dpiCount`
// levels in use; false for a key that holds no number a page sets ("version").
bool RangeOfSetting(const std::wstring& key, int deviceType, int dpiCount, SettingRange& range);

// "0 to 3", or "one of 180 240 ...".
std::string DescribeRange(const SettingRange& range);
bool InRange(const SettingRange& range, int value);

// The whole check of `set KEY VALUE`, in the order a user meets its faults.
enum class SettingCheck { Ok, UnknownKey, NotSettable, OutOfRange };
// `message` gets the sentence that says what is wrong ("unknown key x",
// "the value of report_rate must be 0 to 3"); empty for Ok.
SettingCheck CheckSetting(const std::string& key, int value, int deviceType, int dpiCount, std::string& message);
// The first two steps only (before a value is known).
SettingCheck CheckSettingKey(const std::string& key, std::string& message);
