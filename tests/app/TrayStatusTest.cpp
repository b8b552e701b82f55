// What the tray icon shows for what the window knows of the mouse: the tooltip,
// the low-battery picture, the profiles' menu items.
#include <gtest/gtest.h>

#include "app/TrayStatusBuilder.h"

namespace {

std::wstring Texts(int id) {
    switch (id) {
        case kTextTrayBattery:
            return L"{model} — {level} %";
        case kTextTrayBatteryCharging:
            return L"{model} — {level} %, charging";
        case kTextTrayCable:
            return L"cable";
        case kTextTrayReceiver:
            return L"receiver";
        case kTextTrayNoMouse:
            return L"no mouse";
        case kTextTrayMouseAway:
            return L"mouse away";
        case kTextTrayShow:
            return L"Show window";
        case kTextTrayExit:
            return L"Exit";
        default:
            return L"?";
    }
}

TrayFacts Receiver(int level, bool charging) {
    TrayFacts facts;
    facts.applicationName = L"Vantorel Mouse";
    facts.modelName = L"Vantorel V8";
    facts.link = TrayFacts::Link::Receiver;
    facts.batteryLevel = level;
    facts.charging = charging;
    facts.profiles = {{1, L"Profile 1"}, {2, L"Profile 2"}};
    facts.activeProfile = 2;
    return facts;
}

TEST(TrayStatus, TheTooltipNamesTheModelItsBatteryAndItsConnection) {
    TrayStatus s = BuildTrayStatus(Receiver(64, true), Texts);
    EXPECT_EQ(s.tooltip, L"Vantorel V8 — 64 %, charging");
    EXPECT_EQ(s.detail, L"receiver");
    EXPECT_TRUE(s.profilesEnabled);

    TrayFacts cable = Receiver(80, false);
    cable.link = TrayFacts::Link::Cable;
    EXPECT_EQ(BuildTrayStatus(cable, Texts).tooltip, L"Vantorel V8 — 80 %");
    EXPECT_EQ(BuildTrayStatus(cable, Texts).detail, L"cable");

    // Not read yet (or a level the mouse does not know): the model alone.
    EXPECT_EQ(BuildTrayStatus(Receiver(0, false), Texts).tooltip, L"Vantorel V8");
    EXPECT_EQ(BuildTrayStatus(Receiver(101, false), Texts).tooltip, L"Vantorel V8");

    TrayFacts away = Receiver(64, false);
    away.link = TrayFacts::Link::ReceiverWithoutMouse;
    s = BuildTrayStatus(away, Texts);
    EXPECT_EQ(s.tooltip, L"Vantorel V8");
    EXPECT_EQ(s.detail, L"mouse away");
    EXPECT_FALSE(s.profilesEnabled);  // no mouse to send a profile to
    EXPECT_FALSE(s.lowBattery);

    TrayFacts none = Receiver(64, false);
    none.link = TrayFacts::Link::None;
    s = BuildTrayStatus(none, Texts);
    EXPECT_EQ(s.tooltip, L"Vantorel Mouse");
    EXPECT_EQ(s.detail, L"no mouse");
    EXPECT_FALSE(s.profilesEnabled);
    EXPECT_EQ(s.profiles.size(), 2u);  // still listed
}

TEST(TrayStatus, TheLowBatteryPictureFromFifteenPercentWhileNotCharging) {
    EXPECT_TRUE(BuildTrayStatus(Receiver(15, false), Texts).lowBattery);
    EXPECT_TRUE(BuildTrayStatus(Receiver(1, false), Texts).lowBattery);
    EXPECT_FALSE(BuildTrayStatus(Receiver(16, false), Texts).lowBattery);
    EXPECT_FALSE(BuildTrayStatus(Receiver(15, true), Texts).lowBattery);
    EXPECT_FALSE(BuildTrayStatus(Receiver(0, false), Texts).lowBattery);
}

}  // namespace
