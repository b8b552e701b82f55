#include "protocol/SettingReports.h"

#include <algorithm>
#include <cwchar>

#include "base/ParseInt.h"

namespace {

struct SettingLayout {
    uint8_t id;
    uint8_t length;
    const wchar_t* key;  // the value of one-byte settings
};

// One-byte settings carry their value in byte 6; the DPI stage, the scroll flag
// and the sleep times are laid out by hand below.
constexpr SettingLayout kSettings[] = {
    {kSettingDpiStage, 5, nullptr},
    {kSettingReportRate, 2, L"report_rate"},
    {kSettingSensor, 2, L"sensor_flag"},
    {kSettingRespondTime, 2, L"button_respondtime"},
    {kSettingScroll, 4, L"scroll_flag"},
    {kSettingLiftoff, 2, L"liftoff_height"},
    {kSettingHighspeed, 2, L"highspeed_mode"},
    {kSettingSleep, 5, nullptr},
    {kSettingMoveWakeup, 2, L"move_wakeup"},
};

// Keys of the settings laid out by hand.
constexpr wchar_t kDpiCountKey[] = L"dpi_count";
constexpr wchar_t kDpiIndexKey[] = L"dpi_index";
constexpr wchar_t kDpiValuePrefix[] = L"dpi_group";  // + stage + suffix
constexpr wchar_t kDpiValueSuffix[] = L"_value";
constexpr wchar_t kLightSleepKey[] = L"light_sleep";
constexpr wchar_t kDeepSleepKey[] = L"deep_sleep";

const SettingLayout* FindSetting(uint8_t id) {
    for (const SettingLayout& s : kSettings)
        if (s.id == id) return &s;
    return nullptr;
}

}  // namespace

const uint8_t kFullWriteSettings[8] = {kSettingDpiStage,    kSettingReportRate, kSettingSensor,
                                       kSettingRespondTime, kSettingScroll,     kSettingLiftoff,
                                       kSettingHighspeed,   kSettingSleep};

uint8_t SettingForConfigKey(const std::wstring& key) {
    for (const SettingLayout& s : kSettings)
        if (s.key && key == s.key) return s.id;
    // The keys the DPI stage and sleep reports are built from (BuildSettingReport).
    const bool dpiValue = key.starts_with(kDpiValuePrefix) && key.ends_with(kDpiValueSuffix) &&
                          key.size() > std::wcslen(kDpiValuePrefix) + std::wcslen(kDpiValueSuffix);
    if (key == kDpiCountKey || key == kDpiIndexKey || dpiValue) return kSettingDpiStage;
    if (key == kLightSleepKey || key == kDeepSleepKey) return kSettingSleep;
    return 0;
}

bool BuildSettingReport(uint8_t settingId, const ConfigReader& read, ReportBuffer& report) {
    const SettingLayout* layout = FindSetting(settingId);
    if (!layout) return false;
    auto value = [&](const std::wstring& key) { return ParseInt(read(key)); };
    FrameReport(report, kCmdSetting, layout->length);
    report[5] = settingId;
    if (settingId == kSettingDpiStage) {
        const int index = value(kDpiIndexKey);
        report[6] = static_cast<uint8_t>(value(kDpiCountKey));
        report[7] = static_cast<uint8_t>(index);
        PutLe16(&report[8], value(kDpiValuePrefix + std::to_wstring(index) + kDpiValueSuffix));
    } else if (settingId == kSettingSleep) {
        PutLe16(&report[6], value(kLightSleepKey));
        PutLe16(&report[8], value(kDeepSleepKey));
    } else {
        report[6] = static_cast<uint8_t>(value(layout->key));
    }
    return true;
}

void BuildResetReport(uint8_t group, ReportBuffer& report) {
    FrameReport(report, kCmdFactoryReset, 1);
    report[5] = group;
}

void BuildButtonMapReport(const ButtonMap& map, ReportBuffer& report) {
    FrameReport(report, kCmdButtonMap, kButtonMapLength);
    std::copy(map.begin(), map.end(), report.begin() + kPayloadOffset);
}
