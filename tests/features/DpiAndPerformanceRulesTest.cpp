// The rules behind the DPI and performance page: typed and slider values, the
// active level when the count or the stored index does not fit, sensor bits,
// the response-time range and the deep-sleep list.
#include <gtest/gtest.h>

#include "features/DpiLevels.h"
#include "features/PerformanceOptions.h"

TEST(DpiLevels, TypedValuesAreRoundedDownAndKeptInRange) {
    constexpr int kOtherModel = 102;
    EXPECT_EQ(CorrectTypedDpi(1650, kOtherModel), 1600);
    EXPECT_EQ(CorrectTypedDpi(1699, kOtherModel), 1600);
    EXPECT_EQ(CorrectTypedDpi(50, kOtherModel), 100);
    EXPECT_EQ(CorrectTypedDpi(0, kOtherModel), 100);  // an emptied box
    EXPECT_EQ(CorrectTypedDpi(30000, kOtherModel), 24000);
    EXPECT_EQ(CorrectTypedDpi(24099, kOtherModel), 24000);
    // The wide model goes to 26000, no further.
    EXPECT_EQ(CorrectTypedDpi(30000, kDpiWideModel), 26000);
    EXPECT_EQ(CorrectTypedDpi(25950, kDpiWideModel), 25900);
    EXPECT_EQ(CorrectTypedDpi(99999, kDpiWideModel), 26000);
}

TEST(DpiLevels, SliderPositionsAreFiftyDpiApart) {
    EXPECT_EQ(SliderToDpi(24), 1200);
    EXPECT_EQ(SliderToDpi(kDpiSliderMin), 50);  // below what typing can give
    EXPECT_EQ(SliderToDpi(kDpiSliderMax), 24000);
    EXPECT_EQ(DpiToSlider(1200), 24);
    EXPECT_EQ(DpiToSlider(1650), 33);
}

TEST(DpiLevels, ActiveLevelFollowsTheCountAndIgnoresDamagedIndexes) {
    EXPECT_EQ(ShownActiveLevel(12, 7), 0);
    EXPECT_EQ(ShownActiveLevel(9, 7), 0);
    EXPECT_EQ(ShownActiveLevel(-1, 7), 0);
    EXPECT_EQ(ShownActiveLevel(6, 7), 6);
    // An index past the levels in use names no card: level 0 is shown.
    EXPECT_EQ(ShownActiveLevel(5, 3), 0);

    EXPECT_EQ(ActiveLevelAfterCount(5, 3), 2);
    EXPECT_EQ(ActiveLevelAfterCount(2, 3), 2);
    EXPECT_EQ(ActiveLevelAfterCount(1, 7), 1);
    EXPECT_EQ(ActiveLevelAfterCount(6, 1), 0);

    EXPECT_EQ(ShownLevelCount(0), 1);
    EXPECT_EQ(ShownLevelCount(9), kDpiLevelMax);
    EXPECT_EQ(ShownLevelCount(4), 4);
}

TEST(DpiLevels, KeysAndResetTable) {
    EXPECT_EQ(DpiValueKey(3), L"dpi_group3_value");
    EXPECT_EQ(DpiColourKey(6), L"dpi_group6_rgb");
    EXPECT_EQ(kDpiResetLevels[3].dpi, 2400);
    EXPECT_EQ(kDpiResetLevels[3].colour, 0xCBC0FF);
    EXPECT_EQ(kDpiResetLevels[6].colour, 16711680);
}

TEST(PerformanceOptions, SensorBoxesFollowTheThreeBitsOnly) {
    // 53 = 0b110101: the first and the third option.
    EXPECT_TRUE(SensorBitSet(53, 0));
    EXPECT_FALSE(SensorBitSet(53, 1));
    EXPECT_TRUE(SensorBitSet(53, 2));
    EXPECT_FALSE(SensorBitSet(53, 3));
    EXPECT_EQ(SensorFlagFromBoxes(true, false, true), 5);
    EXPECT_EQ(SensorFlagFromBoxes(true, true, true), 7);
    EXPECT_EQ(SensorFlagFromBoxes(false, false, false), 0);
}

TEST(PerformanceOptions, ResponseTimeIsKeptToOneToFifty) {
    EXPECT_EQ(ClampRespondTime(0), 1);
    EXPECT_EQ(ClampRespondTime(-4), 1);
    EXPECT_EQ(ClampRespondTime(75), 50);
    EXPECT_EQ(ClampRespondTime(8), 8);
}

TEST(PerformanceOptions, DeepSleepChoices) {
    EXPECT_EQ(DeepSleepText(kDeepSleepChoices[0], L" min", L" h"), L"3 min");
    EXPECT_EQ(DeepSleepText(kDeepSleepChoices[9], L" min", L" h"), L"1 h");
    EXPECT_EQ(kDeepSleepChoices[kDeepSleepInitialChoice].seconds, 1200);
    EXPECT_EQ(DeepSleepChoiceIndex(14400), 12);
    EXPECT_EQ(DeepSleepChoiceIndex(60), -1);
    // Every choice is a whole number of minutes that fits the report's 16 bits.
    for (const DeepSleepChoice& c : kDeepSleepChoices) {
        EXPECT_EQ(c.seconds, c.number * (c.hours ? 3600 : 60));
        EXPECT_LE(c.seconds, 0xFFFF);
    }
}
