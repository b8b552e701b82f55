#include <gtest/gtest.h>

#include "features/MacroEditing.h"
#include "protocol/MacroImage.h"

namespace {

InputEvent KeyInput(int vk, int action, const std::wstring& name) {
    return InputEvent{kInputKeyboard, action, vk, name};
}
InputEvent MouseInput(int code, int action, const std::wstring& name) {
    return InputEvent{kInputMouse, action, code, name};
}

TEST(MacroEditing, NewNamesTakeTheSmallestFreeNumberWithoutRegardToCase) {
    EXPECT_EQ(NewMacroName(L"Macro", {}), L"Macro 1");
    EXPECT_EQ(NewMacroName(L"Macro", {L"Macro 1", L"MACRO 2", L"macro 4"}), L"Macro 3");
    EXPECT_EQ(NewMacroName(L"Macro", {L"Macro 10", L"Macro 1x"}), L"Macro 1");
    std::vector<std::wstring> all;
    for (int n = 1; n <= 1000; ++n) all.push_back(L"Macro " + std::to_wstring(n));
    EXPECT_EQ(NewMacroName(L"Macro", all), L"Macro");
}

TEST(MacroEditing, DefaultPrefixesFollowTheLanguage) {
    EXPECT_EQ(MacroDisplayName(L"Macro 3", L"Macro"), L"Macro 3");
    EXPECT_EQ(MacroDisplayName(L"\u5b8f 3", L"Macro"), L"Macro 3");
    EXPECT_EQ(MacroDisplayName(L"\u81ea\u5b9a\u4e49 2", L"Macro"), L"Macro 2");
    EXPECT_EQ(MacroDisplayName(L"Custom7", L"Makro"), L"Makro7");
    EXPECT_EQ(MacroDisplayName(L"macro 3", L"Makro"), L"macro 3") << "the prefix is matched with its case";
    EXPECT_EQ(MacroDisplayName(L"Sniper", L"Makro"), L"Sniper");
}

TEST(MacroEditing, DescriptionsAndInsertedPairs) {
    EXPECT_EQ(EventDescription(kEventKeyDown, L"A"), L"\u2193  A");
    EXPECT_EQ(EventDescription(kEventButtonUp, L"LB"), L"\u2191  LB");
    EXPECT_EQ(EventDescription(kEventWheelDown, L"Scroll Down"), L"Scroll Down");

    const std::vector<MacroEvent> key = KeyPressEvents(118, L"F7");
    ASSERT_EQ(key.size(), 2u);
    EXPECT_EQ(key[0].type, kEventKeyDown);
    EXPECT_EQ(key[1].type, kEventKeyUp);
    EXPECT_EQ(key[1].value, 118);
    EXPECT_EQ(key[1].desc, L"\u2191  F7");
    EXPECT_EQ(key[0].delayTime, 10);
    const std::vector<MacroEvent> button = ButtonPressEvents(8);
    EXPECT_EQ(button[0].desc, L"\u2193  Backward");
    EXPECT_EQ(button[1].type, kEventButtonUp);
    EXPECT_EQ(WheelEvent(true).type, kEventWheelUp);
    EXPECT_EQ(WheelEvent(true).value, 1);
    EXPECT_EQ(WheelEvent(false).value, 255);
    EXPECT_EQ(WheelEvent(false).desc, L"Scroll Down");
    EXPECT_EQ(MouseButtonName(16), L"Forward");
    EXPECT_EQ(MouseButtonName(3), L"");

    EXPECT_EQ(InsertPosition(-1, false, 5), 5);
    EXPECT_EQ(InsertPosition(2, false, 5), 2);
    EXPECT_EQ(InsertPosition(2, true, 5), 3);
    EXPECT_EQ(InsertPosition(4, true, 5), 5);
    EXPECT_EQ(InsertPosition(7, true, 5), 5);

    EXPECT_EQ(ClampDelay(L"5", 10, 10000), 10);
    EXPECT_EQ(ClampDelay(L"20000", 10, 10000), 10000);
    EXPECT_EQ(ClampDelay(L"", 1, 10000), 1);
    EXPECT_EQ(ClampDelay(L"250", 10, 10000), 250);
}

TEST(MacroEditing, RecordedDelaysArePausesUpTo31Seconds) {
    MacroRecorder recorder;
    recorder.Start(kDelayRecorded, 0);
    RecordStep s = recorder.Feed(KeyInput(65, kActionDown, L"A"), 1000, false, 0);
    EXPECT_TRUE(s.taken);
    EXPECT_EQ(s.previousDelay, 0) << "the first event has no pause before it";
    EXPECT_EQ(s.event.type, kEventKeyDown);
    EXPECT_EQ(s.event.value, 65);
    EXPECT_EQ(s.event.delayTime, 10);
    EXPECT_EQ(s.event.desc, L"\u2193  A");
    s = recorder.Feed(KeyInput(65, kActionUp, L"A"), 1250, false, 1);
    EXPECT_EQ(s.previousDelay, 250);
    EXPECT_EQ(s.event.type, kEventKeyUp);
    s = recorder.Feed(MouseInput(1, kActionWheelUp, L"Scroll Up"), 41250, false, 2);
    EXPECT_EQ(s.previousDelay, kMaxRecordedDelay);
    EXPECT_EQ(s.event.type, kEventWheelUp);
    EXPECT_EQ(s.event.desc, L"Scroll Up");

    // Starting again forgets the last event's time.
    recorder.Start(kDelayRecorded, 0);
    EXPECT_EQ(recorder.Feed(KeyInput(66, kActionDown, L"B"), 90000, false, 3).previousDelay, 0);
}

TEST(MacroEditing, FixedAndNoDelaysAndIgnoredInput) {
    MacroRecorder recorder;
    recorder.Start(kDelayFixed, 120);
    EXPECT_EQ(recorder.Feed(KeyInput(65, kActionDown, L"A"), 0, false, 0).previousDelay, 120);
    recorder.Start(kDelayNone, 0);
    EXPECT_EQ(recorder.Feed(KeyInput(65, kActionDown, L"A"), 0, false, 0).previousDelay, 0);

    EXPECT_FALSE(recorder.Feed(InputEvent{kInputIgnored, 0, 65, L"A"}, 0, false, 0).taken) << "a repeat";
    EXPECT_FALSE(recorder.Feed(MouseInput(0, kActionDown, L""), 0, false, 0).taken) << "a movement";
    EXPECT_FALSE(recorder.Feed(InputEvent{kInputOtherDevice, 0, 0, L"X"}, 0, false, 0).taken);
    EXPECT_FALSE(recorder.Feed(MouseInput(1, kActionDown, L"LB"), 0, true, 0).taken) << "the stop click";
    EXPECT_TRUE(recorder.Feed(KeyInput(13, kActionDown, L"Enter"), 0, true, 0).taken)
        << "a key is recorded wherever the pointer is";
}

TEST(MacroEditing, TheTwoHundredthEventEndsTheRecording) {
    MacroRecorder recorder;
    recorder.Start(kDelayNone, 0);
    RecordStep s = recorder.Feed(KeyInput(65, kActionDown, L"A"), 0, false, 198);
    EXPECT_FALSE(s.stopAfter);
    s = recorder.Feed(KeyInput(65, kActionUp, L"A"), 0, false, 199);
    EXPECT_FALSE(s.stopBefore);
    EXPECT_TRUE(s.stopAfter);

    // With delays, an event that finds the list full only gives its pause.
    recorder.Start(kDelayFixed, 50);
    s = recorder.Feed(KeyInput(65, kActionDown, L"A"), 0, false, 200);
    EXPECT_TRUE(s.stopBefore);
    EXPECT_EQ(s.previousDelay, 50);
}

}  // namespace
