// The readable forms of stored values that vantorelctl prints beside the raw ones.
#include <gtest/gtest.h>

#include "app/VantorelCtlFormat.h"
#include "app/VantorelCtlKeys.h"

namespace {

TEST(CtlKeys, ReadableValues) {
    EXPECT_EQ(ReadableValue("report_rate", 0), "125 Hz");
    EXPECT_EQ(ReadableValue("report_rate", 3), "1000 Hz");
    EXPECT_EQ(ReadableValue("report_rate", 4), "");
    EXPECT_EQ(ReadableValue("deep_sleep", 7200), "2 h");
    EXPECT_EQ(ReadableValue("deep_sleep", 90), "90 s");
    EXPECT_EQ(ReadableValue("liftoff_height", 0), "1 mm");
    EXPECT_EQ(ReadableValue("highspeed_mode", 1), "on");
    EXPECT_EQ(ReadableValue("highspeed_mode", 2), "");
    EXPECT_EQ(ReadableValue("sensor_flag", 53), "angle snapping, motion sync");  // bits beyond the three kept
    EXPECT_EQ(ReadableValue("sensor_flag", 0), "none");
    EXPECT_EQ(ReadableValue("lightmode", 3), "spectrum cycle");
    EXPECT_EQ(ReadableValue("dpi_index", 0), "level 1");
    // Colours are stored blue-green-red; shown the usual way round.
    EXPECT_EQ(ReadableValue("dpi_group0_rgb", 0x0000FF), "#FF0000");
    EXPECT_EQ(ReadableValue("dpi_group6_rgb", 0xCBC0FF), "#FFC0CB");
    EXPECT_EQ(ReadableValue("report_count", 7), "");

    EXPECT_EQ(FormatCtlValue("report_rate", "3", false), "3 (1000 Hz)\n");
    EXPECT_EQ(FormatCtlValue("report_count", "7", false), "7\n");
    EXPECT_EQ(FormatCtlValue("version", "1.0.1", false), "1.0.1\n");
    EXPECT_EQ(JsonString("a \"b\"\\\n\x01é"), "\"a \\\"b\\\"\\\\\\n\\u0001é\"");
}

}  // namespace
