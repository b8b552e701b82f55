// The lighting rules behind the lighting page: the default rows, which controls
// a mode shows, and the colour arithmetic of the preset, palette and R, G, B boxes.
#include <gtest/gtest.h>

#include "features/LightingModes.h"

TEST(LightingModes, DefaultRowsAreTheSevenModesWithTheirParameters) {
    const std::vector<LightData> rows = DefaultLightRows(4);
    ASSERT_EQ(rows.size(), 7u);
    const int32_t configFuncs[] = {0, 17, 19, 3, 3, 19, 3};
    for (size_t i = 0; i < rows.size(); ++i) {
        const LightData& row = rows[i];
        EXPECT_EQ(row.profile, 4);
        EXPECT_EQ(row.mode, int32_t(i));
        EXPECT_EQ(row.configFunc, configFuncs[i]) << i;
        EXPECT_EQ(row.reserved, 280 + int32_t(i));
        EXPECT_EQ(row.brightness, 255);
        EXPECT_EQ(row.speed, 128);
        EXPECT_EQ(row.direction, 0);
        EXPECT_EQ(row.colorful, 1);
        EXPECT_EQ(row.colorIndex, 0);
        EXPECT_EQ(row.colorValue, 0x0000FF);
        EXPECT_EQ(row.status, 0);  // made active afterwards, one mode only
        EXPECT_FALSE(row.name.empty());
    }
    EXPECT_EQ(rows[0].name, L"\u5173\u95ed");
    EXPECT_EQ(rows[3].name, L"\u5149\u8c31\u5faa\u73af");
}

TEST(LightingModes, ConfigFuncBitsChooseTheControls) {
    const LightControls off = LightControlsFor(0);
    EXPECT_FALSE(off.brightness || off.speed || off.colour);
    const LightControls breathing = LightControlsFor(19);
    EXPECT_TRUE(breathing.brightness && breathing.speed && breathing.colour);
    const LightControls still = LightControlsFor(17);
    EXPECT_TRUE(still.brightness && still.colour);
    EXPECT_FALSE(still.speed);
    // Bits the page does not know (direction, colour sets) show nothing extra.
    const LightControls other = LightControlsFor(0x0C);
    EXPECT_FALSE(other.brightness || other.speed || other.colour);
}

TEST(LightingModes, ChannelsSplitAndJoinInStoredOrder) {
    const LightRgb rgb = ColourChannels(0xFF0C00);
    EXPECT_EQ(rgb.red, 0x00);
    EXPECT_EQ(rgb.green, 0x0C);
    EXPECT_EQ(rgb.blue, 0xFF);
    EXPECT_EQ(ColourFromChannels(0, 12, 255), 0xFF0C00);
    EXPECT_EQ(ColourFromChannels(300, -4, 7), 0x0700FF);
    // A stored value with bits above blue shows only its three channels.
    EXPECT_EQ(ColourWithoutAlpha(0xFF00FF00u), 0x00FF00);
    const LightRgb damaged = ColourChannels(int32_t(0xFF123456u));
    EXPECT_EQ(damaged.blue, 0x12);
}

TEST(LightingModes, TypedChannelsAreClampedAndEmptyBoxesWait) {
    int value = -1;
    EXPECT_FALSE(ParseChannel(L"", value));
    EXPECT_EQ(value, -1);
    ASSERT_TRUE(ParseChannel(L"300", value));
    EXPECT_EQ(value, 255);
    ASSERT_TRUE(ParseChannel(L"007", value));
    EXPECT_EQ(value, 7);
    ASSERT_TRUE(ParseChannel(L"0", value));
    EXPECT_EQ(value, 0);
}

TEST(LightingModes, PresetsAreFoundByExactColour) {
    EXPECT_EQ(PresetIndexOf(0x0000FF), 0);
    EXPECT_EQ(PresetIndexOf(0xFFFFFF), 7);
    EXPECT_EQ(PresetIndexOf(0x0000FE), -1);
    EXPECT_EQ(ClampLightLevel(999), 255);
    EXPECT_EQ(ClampLightLevel(-1), 0);
}
