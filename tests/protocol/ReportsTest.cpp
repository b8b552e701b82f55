// Setting, reset and button-map reports, and the answers of the state read.
#include <gtest/gtest.h>

#include <map>

#include "base/ButtonFunction.h"
#include "protocol/DeviceState.h"
#include "protocol/Notification.h"
#include "protocol/SettingReports.h"

namespace {

std::vector<uint8_t> Bytes(const ReportBuffer& report) {
    size_t used = kReportSize;
    while (used > 0 && report[used - 1] == 0) --used;
    return {report.begin(), report.begin() + used};
}

ConfigReader Config(std::map<std::wstring, std::wstring> values) {
    return [values](const std::wstring& key) {
        auto it = values.find(key);
        return it == values.end() ? std::wstring() : it->second;
    };
}

TEST(SettingReports, BytesOfEachSetting) {
    ReportBuffer r;
    r.fill(0xCC);
    ASSERT_TRUE(BuildSettingReport(kSettingReportRate, Config({{L"report_rate", L"3"}}), r));
    EXPECT_EQ(Bytes(r), (std::vector<uint8_t>{0x06, 0x13, 0x02, 0x00, 0x00, 0x02, 0x03}));
    EXPECT_EQ(r[kReportSize], 0);  // the spare byte is cleared too

    ASSERT_TRUE(
        BuildSettingReport(kSettingSleep, Config({{L"light_sleep", L"300"}, {L"deep_sleep", L"1800"}}), r));
    EXPECT_EQ(Bytes(r), (std::vector<uint8_t>{0x06, 0x13, 0x05, 0x00, 0x00, 0x0B, 0x2C, 0x01, 0x08, 0x07}));

    ASSERT_TRUE(BuildSettingReport(kSettingDpiStage,
                                   Config({{L"dpi_count", L"6"},
                                           {L"dpi_index", L"2"},
                                           {L"dpi_group2_value", L"1600"},
                                           {L"dpi_group0_value", L"50"}}),
                                   r));
    EXPECT_EQ(Bytes(r), (std::vector<uint8_t>{0x06, 0x13, 0x05, 0x00, 0x00, 0x01, 0x06, 0x02, 0x40, 0x06}));

    // The scroll flag announces four bytes; values are read the way stored texts always were.
    ASSERT_TRUE(BuildSettingReport(kSettingScroll, Config({{L"scroll_flag", L" 1x"}}), r));
    EXPECT_EQ(Bytes(r), (std::vector<uint8_t>{0x06, 0x13, 0x04, 0x00, 0x00, 0x05, 0x01}));
    ASSERT_TRUE(BuildSettingReport(kSettingSensor, Config({{L"sensor_flag", L"53"}}), r));
    EXPECT_EQ(Bytes(r), (std::vector<uint8_t>{0x06, 0x13, 0x02, 0x00, 0x00, 0x07, 53}));
    ASSERT_TRUE(BuildSettingReport(kSettingMoveWakeup, Config({}), r));
    EXPECT_EQ(Bytes(r), (std::vector<uint8_t>{0x06, 0x13, 0x02, 0x00, 0x00, 0x0C}));

    EXPECT_FALSE(BuildSettingReport(0x09, Config({}), r));
}

TEST(SettingReports, KeysAreCarriedByTheReportOfTheirSetting) {
    EXPECT_EQ(SettingForConfigKey(L"report_rate"), kSettingReportRate);
    EXPECT_EQ(SettingForConfigKey(L"dpi_group3_value"), kSettingDpiStage);
    EXPECT_EQ(SettingForConfigKey(L"dpi_index"), kSettingDpiStage);
    EXPECT_EQ(SettingForConfigKey(L"dpi_count"), kSettingDpiStage);
    EXPECT_EQ(SettingForConfigKey(L"dpi_group_value"), 0);
    EXPECT_EQ(SettingForConfigKey(L"dpi_group3_rgb"), 0);
    EXPECT_EQ(SettingForConfigKey(L"deep_sleep"), kSettingSleep);
    EXPECT_EQ(SettingForConfigKey(L"light_sleep"), kSettingSleep);
    EXPECT_EQ(SettingForConfigKey(L"move_closelight"), 0);
    EXPECT_EQ(SettingForConfigKey(L"sensor_flag"), kSettingSensor);
    EXPECT_EQ(SettingForConfigKey(L"move_wakeup"), kSettingMoveWakeup);
}

TEST(SettingReports, ResetAndButtonMap) {
    ReportBuffer r;
    BuildResetReport(kResetDpiGroup, r);
    EXPECT_EQ(Bytes(r), (std::vector<uint8_t>{0x06, 0x0F, 0x01, 0x00, 0x00, 0x08}));
    BuildButtonMapReport(BuildButtonMap({}, {}), r);
    EXPECT_EQ(std::vector<uint8_t>(r.begin(), r.begin() + 9),
              (std::vector<uint8_t>{0x06, 0x12, 0x20, 0, 0, 0x10, 0x01, 0, 0}));
    EXPECT_EQ(r[37], 0x1F);  // slot 8 starts at byte 37
    EXPECT_EQ(r[38], 0x00);
    EXPECT_EQ(r[41], 0);
}

ReportBuffer InfoAnswer() {
    ReportBuffer a{};
    a[0] = 0x06;
    a[1] = 0x05;
    a[9] = 3;
    a[10] = 0x21;
    a[11] = 1;
    a[12] = 1;
    a[13] = 64;
    a[14] = 1;
    a[17] = 2;
    a[18] = 15;    // stage 0: raw 15
    a[20] = 0;     // stage 1: raw 0
    a[28] = 0xDF;  // stage 5: raw 479
    a[29] = 0x01;
    a[30] = 3;
    a[34] = 4;
    a[37] = 0x2C;
    a[38] = 0x01;
    a[39] = 0xB0;
    a[40] = 0x04;
    a[42] = 1;
    return a;
}

TEST(DeviceState, InformationAnswer) {
    ReportBuffer a = InfoAnswer();
    ASSERT_TRUE(IsValidInfoAnswer(a));
    const MouseInfo info = DecodeMouseInfo(a);
    EXPECT_EQ(info.version, L"2.1.3");
    EXPECT_EQ(info.connectionKind, 1);
    EXPECT_EQ(info.batteryLevel, 64);
    EXPECT_EQ(info.charging, 1);
    EXPECT_EQ(info.dpiIndex, 2);
    EXPECT_EQ(info.dpi[0], 800);
    EXPECT_EQ(info.dpi[1], 50);
    EXPECT_EQ(info.dpi[5], 24000);
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"dpi_group0_value", L"800"}, {L"dpi_group1_value", L"50"}, {L"dpi_group2_value", L"50"},
        {L"dpi_group3_value", L"50"},  {L"dpi_group4_value", L"50"}, {L"dpi_group5_value", L"24000"},
        {L"report_rate", L"3"},        {L"report_flag", L"0"},       {L"scroll_flag", L"0"},
        {L"liftoff_height", L"0"},     {L"sensor_flag", L"4"},       {L"highspeed_mode", L"0"},
        {L"button_respondtime", L"0"}, {L"light_sleep", L"300"},     {L"deep_sleep", L"1200"},
        {L"move_wakeup", L"0"},        {L"move_closelight", L"1"}};
    EXPECT_EQ(info.storedValues, expected);

    a[9] = 0;  // the discovery handshake would take this; the state read does not
    EXPECT_FALSE(IsValidInfoAnswer(a));
    EXPECT_EQ(FormatFirmwareVersion(0xAB, 255), L"a.b.255");
}

TEST(DeviceState, ReceiverAnswerAndNotifications) {
    ReportBuffer a{};
    EXPECT_FALSE(IsValidReceiverAnswer(a));
    a[5] = 1;
    EXPECT_TRUE(IsValidReceiverAnswer(a));

    Notification n;
    EXPECT_FALSE(ParseNotification(a, n));
    a[1] = 0xFA;
    a[5] = 0x50;
    a[6] = 10;
    a[7] = 4;
    ASSERT_TRUE(ParseNotification(a, n));
    EXPECT_EQ(n.kind, kNotifyPcFunction);
    EXPECT_EQ(n.first, 10);
    EXPECT_EQ(n.second, 4);
}

}  // namespace
