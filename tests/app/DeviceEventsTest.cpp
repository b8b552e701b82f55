// What the main window does about each thing the worker tells of the mouse.
#include <gtest/gtest.h>

#include "app/DeviceEvents.h"

namespace {

using R = WindowReaction;

TEST(DeviceEvents, AReadShowsEveryPageAndTheLightingOnlyWhereTheModelHasIt) {
    EXPECT_EQ(ReactionsTo(DeviceEvent::StateRead, true),
              (std::vector<R>{R::ReloadButtons, R::ReloadMacros, R::ReloadDpiPerformance, R::ReloadLighting}));
    EXPECT_EQ(ReactionsTo(DeviceEvent::StateRead, false),
              (std::vector<R>{R::ReloadButtons, R::ReloadMacros, R::ReloadDpiPerformance}));
}

TEST(DeviceEvents, AProfileSentWholeLeavesTheMacroLibraryAlone) {
    EXPECT_EQ(ReactionsTo(DeviceEvent::ProfileChecked, true),
              (std::vector<R>{R::ReloadButtons, R::ReloadDpiPerformance, R::ReloadLighting}));
    EXPECT_EQ(ReactionsTo(DeviceEvent::ProfileChecked, false), (std::vector<R>{R::ReloadButtons, R::ReloadDpiPerformance}));
}

TEST(DeviceEvents, SwitchesResetsAndALostMouse) {
    EXPECT_EQ(ReactionsTo(DeviceEvent::SwitchedProfileLoaded, true), std::vector<R>{R::ReloadDpiPerformance});
    // The lighting page asked for its reset: it shows it whatever the description said.
    EXPECT_EQ(ReactionsTo(DeviceEvent::LightingReset, false), std::vector<R>{R::ReloadLighting});
    EXPECT_EQ(ReactionsTo(DeviceEvent::MouseUnreachable, true),
              (std::vector<R>{R::StopMacroRecording, R::ClosePopups}));
}

}  // namespace
