// The values a script may store: those the pages offer, and the words used to
// refuse the others (vantorelctl and the program's bus interface share them).
#include <gtest/gtest.h>

#include "features/DpiLevels.h"
#include "features/PerformanceOptions.h"
#include "features/SettingRanges.h"

namespace {

SettingCheck Check(const std::string& key, int value, int deviceType = 102, int dpiCount = 7) {
    std::string message;
    return CheckSetting(key, value, deviceType, dpiCount, message);
}

std::string Refusal(const std::string& key, int value, int deviceType = 102, int dpiCount = 7) {
    std::string message;
    CheckSetting(key, value, deviceType, dpiCount, message);
    return message;
}

TEST(SettingRanges, EveryValueAPageOffersIsTakenAndItsNeighboursAreNot) {
    for (const ReportRateItem& card : kReportRateItems) EXPECT_EQ(Check("report_rate", card.value), SettingCheck::Ok);
    EXPECT_EQ(Check("report_rate", -1), SettingCheck::OutOfRange);
    EXPECT_EQ(Refusal("report_rate", 4), "the value of report_rate must be 0 to 3");

    for (const DeepSleepChoice& choice : kDeepSleepChoices) {
        EXPECT_EQ(Check("deep_sleep", choice.seconds), SettingCheck::Ok) << choice.seconds;
        EXPECT_EQ(Check("deep_sleep", choice.seconds + 1), SettingCheck::OutOfRange) << choice.seconds;
    }
    EXPECT_EQ(Refusal("deep_sleep", 100).rfind("the value of deep_sleep must be one of 180 240 300 ", 0), 0u);

    EXPECT_EQ(Check("button_respondtime", kRespondTimeMin), SettingCheck::Ok);
    EXPECT_EQ(Check("button_respondtime", kRespondTimeMax + 1), SettingCheck::OutOfRange);
    EXPECT_EQ(Check("sensor_flag", 7), SettingCheck::Ok);
    EXPECT_EQ(Check("sensor_flag", 8), SettingCheck::OutOfRange);
    EXPECT_EQ(Check("highspeed_mode", 2), SettingCheck::OutOfRange);
}

TEST(SettingRanges, DpiLimitsFollowTheModelAndTheLevelCount) {
    // The slider's lowest step, up to the typed limit of the model.
    EXPECT_EQ(Check("dpi_group0_value", SliderToDpi(kDpiSliderMin)), SettingCheck::Ok);
    EXPECT_EQ(Check("dpi_group0_value", SliderToDpi(kDpiSliderMin) - 1), SettingCheck::OutOfRange);
    EXPECT_EQ(Check("dpi_group6_value", 24000, 102), SettingCheck::Ok);
    EXPECT_EQ(Check("dpi_group6_value", 26000, 102), SettingCheck::OutOfRange);
    EXPECT_EQ(Check("dpi_group6_value", 26000, kDpiWideModel), SettingCheck::Ok);

    EXPECT_EQ(Check("dpi_index", 4, 102, 5), SettingCheck::Ok);
    EXPECT_EQ(Refusal("dpi_index", 5, 102, 5), "the value of dpi_index must be 0 to 4");
    // A stored count the page would not show is taken as the page shows it.
    EXPECT_EQ(Refusal("dpi_index", 7, 102, 12), "the value of dpi_index must be 0 to 6");
    EXPECT_EQ(Refusal("dpi_index", 1, 102, 0), "the value of dpi_index must be 0 to 0");
    EXPECT_EQ(Check("dpi_count", 0), SettingCheck::OutOfRange);
    EXPECT_EQ(Check("dpi_count", kDpiLevelMax), SettingCheck::Ok);
}

TEST(SettingRanges, WhatIsNoSettingIsRefusedByName) {
    std::string message;
    EXPECT_EQ(CheckSettingKey("speed", message), SettingCheck::UnknownKey);
    EXPECT_EQ(message, "unknown key speed");
    EXPECT_EQ(CheckSettingKey("version", message), SettingCheck::NotSettable);
    EXPECT_EQ(message, "version cannot be set");
    EXPECT_EQ(CheckSettingKey("e-sports_flag", message), SettingCheck::Ok);
    EXPECT_EQ(message, "");
    // The key is checked before the value.
    EXPECT_EQ(Refusal("speed", 99999), "unknown key speed");
}

}  // namespace
