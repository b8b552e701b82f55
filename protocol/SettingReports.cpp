#include "protocol/SettingReports.h"

#include <algorithm>

#include "exchange/ParseInt.h"

namespace {

struct SettingLayout {
    uint8_t id;
    int task;
    uint8_t length;
    const wchar_t* key;  // the value of one-byte settings
};

// One-byte settings carry their value in byte 6; the DPI stage, the scroll flag
// and the sleep times are laid out by hand below.
constexpr SettingLayout kSettings[] = {
    {kSettingDpiStage, 10, 5, nullptr},
    {kSettingReportRate, 11, 2, L"report_rate"},
    {kSettingSensor, 12, 2, L"sensor_flag"},
    {kSettingRespondTime, 13, 2, L"button_respondtime"},
    {kSettingScroll, 14, 4, L"scroll_flag"},
    {kSettingLiftoff, 15, 2, L"liftoff_height"},
    {kSettingHighspeed, 16, 2, L"highspeed_mode"},
    {kSettingSleep, 17, 5, nullptr},
    {kSettingMoveWakeup, 18, 2, L"move_wakeup"},
};

const SettingLayout* FindSetting(uint8_t id) {
    for (const SettingLayout& s : kSettings)
        if (s.id == id) return &s;
    return nullptr;
}

}  // namespace

const uint8_t kFullWriteSettings[8] = {kSettingDpiStage,    kSettingReportRate, kSettingSensor,
                                       kSettingRespondTime, kSettingScroll,     kSettingLiftoff,
                                       kSettingHighspeed,   kSettingSleep};

uint8_t SettingIdForTask(int task) {
    for (const SettingLayout& s : kSettings)
        if (s.task == task) return s.id;
    return 0;
}

bool BuildSettingReport(uint8_t settingId, const ConfigReader& read, ReportBuffer& report) {
    const SettingLayout* layout = FindSetting(settingId);
    if (!layout) return false;
    auto value = [&](const std::wstring& key) { return ParseInt(read(key)); };
    FrameReport(report, kCmdSetting, layout->length);
    report[5] = settingId;
    if (settingId == kSettingDpiStage) {
        const int index = value(L"dpi_index");
        report[6] = static_cast<uint8_t>(value(L"dpi_count"));
        report[7] = static_cast<uint8_t>(index);
        PutLe16(&report[8], value(L"dpi_group" + std::to_wstring(index) + L"_value"));
    } else if (settingId == kSettingSleep) {
        PutLe16(&report[6], value(L"light_sleep"));
        PutLe16(&report[8], value(L"deep_sleep"));
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
