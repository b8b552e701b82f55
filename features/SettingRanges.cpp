#include "features/SettingRanges.h"

#include <algorithm>

#include "features/DpiLevels.h"
#include "features/PerformanceOptions.h"
#include "base/TextConv.h"
#include "storage/ConfigDefaults.h"

bool IsConfigKey(const std::wstring& key) {
    return std::any_of(kConfigDefaults.begin(), kConfigDefaults.end(),
                       [&](const ConfigDefault& row) { return key == row.key; });
}

bool RangeOfSetting(const std::wstring& key, int deviceType, int dpiCount, SettingRange& range) {
    const auto between = [&](int min, int max) {
        range = SettingRange{min, max, {}};
        return true;
    };
    if (key == L"version") return false;
    if (key == L"dpi_index") return between(0, std::clamp(dpiCount, 1, kDpiLevelMax) - 1);
    if (key == L"dpi_count") return between(1, kDpiLevelMax);
    // The slider's lowest step up to the highest number a level may be given.
    if (key.starts_with(L"dpi_group") && key.ends_with(L"_value"))
        return between(SliderToDpi(kDpiSliderMin), deviceType == kDpiWideModel ? kDpiTypedMaxWide : kDpiTypedMax);
    if (key.starts_with(L"dpi_group") && key.ends_with(L"_rgb")) return between(0, 0xFFFFFF);
    if (key == L"report_rate") return between(kReportRateItems.front().value, kReportRateItems.back().value);
    if (key == L"liftoff_height" || key == L"scroll_flag") return between(0, 1);
    if (key == L"sensor_flag") return between(0, kSensorBits[0] | kSensorBits[1] | kSensorBits[2]);
    if (key == L"button_respondtime") return between(kRespondTimeMin, kRespondTimeMax);
    if (key == L"deep_sleep") {
        range = SettingRange{kDeepSleepChoices.front().seconds, kDeepSleepChoices.back().seconds, {}};
        for (const DeepSleepChoice& choice : kDeepSleepChoices) range.choices.push_back(choice.seconds);
        return true;
    }
    if (key == L"light_sleep") return between(0, 0xFFFF);
    if (key == L"lightmode") return between(0, 6);
    if (key == L"report_count" || key == L"report_flag" || key == L"dpi_flag") return between(0, 0xFF);
    // The switches: highspeed_mode, move_wakeup, move_closelight, sleep_light,
    // e-sports_flag, leftbtn_lock and the notify_ keys.
    return between(0, 1);
}

std::string DescribeRange(const SettingRange& range) {
    if (range.choices.empty()) return std::to_string(range.min) + " to " + std::to_string(range.max);
    std::string text = "one of";
    for (int choice : range.choices) text.append(" ").append(std::to_string(choice));
    return text;
}

bool InRange(const SettingRange& range, int value) {
    if (!range.choices.empty())
        return std::find(range.choices.begin(), range.choices.end(), value) != range.choices.end();
    return value >= range.min && value <= range.max;
}

SettingCheck CheckSettingKey(const std::string& key, std::string& message) {
    message.clear();
    const std::wstring wkey = Orvix::Utf8ToWide(key);
    if (!IsConfigKey(wkey)) {
        message = "unknown key " + key;
        return SettingCheck::UnknownKey;
    }
    SettingRange range;
    if (!RangeOfSetting(wkey, 0, 1, range)) {
        message = key + " cannot be set";
        return SettingCheck::NotSettable;
    }
    return SettingCheck::Ok;
}

SettingCheck CheckSetting(const std::string& key, int value, int deviceType, int dpiCount, std::string& message) {
    const SettingCheck keyCheck = CheckSettingKey(key, message);
    if (keyCheck != SettingCheck::Ok) return keyCheck;
    SettingRange range;
    RangeOfSetting(Orvix::Utf8ToWide(key), deviceType, dpiCount, range);
    if (InRange(range, value)) return SettingCheck::Ok;
    message = "the value of " + key + " must be " + DescribeRange(range);
    return SettingCheck::OutOfRange;
}
