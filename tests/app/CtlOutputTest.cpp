// What vantorelctl prints, whichever way it reached the mouse: the info block, and
// the watch lines made from two states of a mouse.
#include <gtest/gtest.h>

#include <sstream>

#include "app/CtlOutput.h"

namespace {

MouseDeviceProperties V8() {
    MouseDeviceProperties p;
    p.objectName = "vantorel_v8";
    p.model = "Vantorel V8 Wireless";
    p.deviceType = 101;
    p.selected = true;
    p.connection = "cable";
    p.online = true;
    p.batteryLevel = 80;
    p.activeProfile = 1;
    p.profiles = {{1, "Profile 1"}, {2, "Profile 2"}};
    p.dpiLevels = {800, 1200, 1600};
    p.activeDpiLevel = 1;
    return p;
}

std::string Lines(const MouseDeviceProperties* before, const MouseDeviceProperties* after) {
    std::ostringstream out;
    for (const WatchEvent& e : WatchEventsFor(before, after)) PrintWatchEvent(out, e);
    return out.str();
}

TEST(CtlOutput, InfoKeepsItsLayout) {
    CtlInfo info;
    info.models = {{101, "Vantorel V8 Wireless", true}, {102, "Vantorel V6 Lite", false}};
    info.devices = {{0x3A5C, 0x0118, "V8 Receiver", 101, 1, 2}};
    info.connection = "receiver";
    info.batteryLevel = 55;
    info.charging = true;
    info.mouseFirmware = "1.2.7";
    std::ostringstream out;
    PrintInfo(out, info);
    EXPECT_EQ(out.str(),
              "models:\n"
              "  101 Vantorel V8 Wireless  (selected)\n"
              "  102 Vantorel V6 Lite\n"
              "devices:\n"
              "  3A5C:0118 V8 Receiver, model 101, receiver, mouse offline\n"
              "connection: receiver\n"
              "battery: 55% (charging)\n"
              "mouse firmware: 1.2.7\n"
              "receiver firmware: -\n");
}

TEST(CtlOutput, AWatchTellsAMouseWholeWhenItComesThenOnlyWhatChanged) {
    const MouseDeviceProperties v8 = V8();
    EXPECT_EQ(Lines(nullptr, &v8),
              "mouse: Vantorel V8 Wireless, cable\nbattery: 80%\nprofile: 1 Profile 1\ndpi level: 1 (1200 dpi)\n");
    EXPECT_EQ(Lines(&v8, &v8), "");

    MouseDeviceProperties changed = v8;
    changed.batteryLevel = 79;
    changed.charging = true;
    EXPECT_EQ(Lines(&v8, &changed), "battery: 79% (charging)\n");
    changed = v8;
    changed.activeDpiLevel = 2;
    changed.settings["dpi_index"] = 2;  // settings alone are no line
    EXPECT_EQ(Lines(&v8, &changed), "dpi level: 2 (1600 dpi)\n");
    changed = v8;
    changed.dpiLevels[1] = 1300;
    EXPECT_EQ(Lines(&v8, &changed), "dpi level: 1 (1300 dpi)\n");
    changed = v8;
    changed.activeProfile = 2;
    EXPECT_EQ(Lines(&v8, &changed), "profile: 2 Profile 2\n");
    changed = v8;
    changed.connection = "receiver";
    changed.online = false;
    EXPECT_EQ(Lines(&v8, &changed), "mouse: Vantorel V8 Wireless, receiver, mouse offline\n");
    EXPECT_EQ(Lines(&v8, nullptr), "mouse: Vantorel V8 Wireless, unplugged\n");
}

TEST(CtlOutput, AModelTheWindowDoesNotShowHasNoSettingLines) {
    MouseDeviceProperties other = V8();
    other.selected = false;
    MouseDeviceProperties drained = other;
    drained.batteryLevel = 5;
    EXPECT_EQ(Lines(nullptr, &other), "mouse: Vantorel V8 Wireless, cable\n");
    EXPECT_EQ(Lines(&other, &drained), "");
    // Chosen in the window: its state is told whole.
    MouseDeviceProperties chosen = drained;
    chosen.selected = true;
    EXPECT_EQ(Lines(&drained, &chosen), "battery: 5%\nprofile: 1 Profile 1\ndpi level: 1 (1200 dpi)\n");
}

}  // namespace
