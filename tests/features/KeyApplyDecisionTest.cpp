#include <gtest/gtest.h>

#include "base/ButtonFunction.h"
#include "features/KeyApplyDecision.h"
#include "base/KeyCodes.h"

namespace {

KeyApplyInput Input(int type) {
    KeyApplyInput input;
    input.profile = 3;
    input.keyCode = 4;
    input.type = type;
    return input;
}

ListChoice Chosen(int32_t value, const std::wstring& text) { return ListChoice{true, value, text}; }

// A launch input whose program passes every check.
KeyApplyInput StartableProgram(const std::wstring& path) {
    KeyApplyInput input = Input(kFuncLaunch);
    input.programPath = path;
    input.programExists = true;
    input.programStartable = true;
    return input;
}

TEST(KeyApplyDecision, TheRecordNamesTheProfileButtonAndType) {
    KeyApplyInput input = Input(kFuncShortcut);
    input.item = Chosen(28, L"Copy");
    const KeyApplyDecision d = DecideKeyApply(input);
    ASSERT_TRUE(d.Stores());
    EXPECT_EQ(d.record.profile, 3);
    EXPECT_EQ(d.record.keyCode, 4);
    EXPECT_EQ(d.record.fnLayer, 0);
    EXPECT_EQ(d.record.macroType, kFuncShortcut);
    EXPECT_EQ(d.record.macroValue, 28);
    EXPECT_EQ(d.record.macroDesc, L"Copy");
    EXPECT_FALSE(d.withOtherData);
}

// Every type that takes its value from a list stores nothing while the list has no choice.
TEST(KeyApplyDecision, ListTypesStoreNothingWithoutAChoice) {
    for (int type : {kFuncMouse, kFuncMultimedia, kFuncKey, kFuncShortcut, kFuncMacro, kFuncText}) {
        KeyApplyInput input = Input(type);
        input.group.value = 2;  // a listed key group, not the captured key
        EXPECT_EQ(DecideKeyApply(input).refusal, KeyApplyRefusal::NothingChosen) << "type " << type;
    }
    // The value list serves the mouse and multimedia types, the group the macros and texts.
    KeyApplyInput mouse = Input(kFuncMouse);
    mouse.item = Chosen(2, L"Right");
    EXPECT_FALSE(DecideKeyApply(mouse).Stores());
    mouse.value = Chosen(2, L"Right");
    EXPECT_EQ(DecideKeyApply(mouse).record.macroDesc, L"Right");
    KeyApplyInput text = Input(kFuncText);
    text.group = Chosen(7, L"Greeting");
    EXPECT_EQ(DecideKeyApply(text).record.macroValue, 7);
    EXPECT_EQ(DecideKeyApply(Input(42)).refusal, KeyApplyRefusal::NothingChosen) << "an unknown type";
}

TEST(KeyApplyDecision, ACapturedKeyIsStoredAsItsUsageWithTheModifierToggles) {
    KeyApplyInput input = Input(kFuncKey);
    input.group.value = 1;  // the capture group, whatever the item list holds
    input.item = Chosen(9, L"listed");
    input.capturedVk = 'A';
    input.modifiers = kModLeftCtrl | kModLeftShift;
    input.keyName = L"A";
    KeyApplyDecision d = DecideKeyApply(input);
    ASSERT_TRUE(d.Stores());
    EXPECT_EQ(d.record.macroValue, VkToUsage('A'));
    EXPECT_EQ(d.record.macroValue2, kModLeftCtrl | kModLeftShift);
    EXPECT_EQ(d.record.macroDesc, KeyComboCaption(kModLeftCtrl | kModLeftShift, L"A"));

    // Modifiers alone: a key the mouse cannot send leaves its name off the caption.
    input.capturedVk = 0;
    input.keyName = L"Pause";
    d = DecideKeyApply(input);
    ASSERT_TRUE(d.Stores());
    EXPECT_EQ(d.record.macroValue, 0);
    EXPECT_EQ(d.record.macroDesc, KeyComboCaption(kModLeftCtrl | kModLeftShift, L""));

    // Another group: the listed key.
    input.group.value = 3;
    d = DecideKeyApply(input);
    EXPECT_EQ(d.record.macroValue, 9);
    EXPECT_EQ(d.record.macroValue2, 0);
    EXPECT_EQ(d.record.macroDesc, L"listed");
}

TEST(KeyApplyDecision, MacroPlayModesAndTheCount) {
    KeyApplyInput input = Input(kFuncMacro);
    input.group = Chosen(12, L"Burst");
    for (int mode = 1; mode <= 3; ++mode) {
        input.playMode = mode;
        input.countText = L"99";  // only the count mode reads it
        const KeyApplyDecision d = DecideKeyApply(input);
        EXPECT_EQ(d.record.macroValue3, mode);
        EXPECT_EQ(d.record.macroValue2, 1);
    }
    input.playMode = 4;
    const std::pair<const wchar_t*, int> counts[] = {{L"40", 40}, {L"", 1}, {L"0", 1}, {L"300", 255}, {L"255", 255}};
    for (const auto& [text, stored] : counts) {
        input.countText = text;
        const KeyApplyDecision d = DecideKeyApply(input);
        EXPECT_EQ(d.record.macroValue2, stored) << "count \"" << text << "\"";
        EXPECT_EQ(d.record.macroValue3, 0);
        EXPECT_EQ(d.record.macroValue, 12);
        EXPECT_EQ(d.record.macroDesc, L"Burst");
    }
}

TEST(KeyApplyDecision, TheDefaultIsStoredAsTheModelsMouseFunction) {
    KeyApplyInput input = Input(kFuncDefault);
    EXPECT_EQ(DecideKeyApply(input).refusal, KeyApplyRefusal::NoDefault);
    input.hasDefault = true;
    input.defaultValue = 5;
    input.defaultCaption = L"Forward";
    const KeyApplyDecision d = DecideKeyApply(input);
    ASSERT_TRUE(d.Stores());
    EXPECT_EQ(d.record.macroType, kFuncMouse) << "the default type itself is never stored";
    EXPECT_EQ(d.record.macroValue, 5);
    EXPECT_EQ(d.record.macroDesc, L"Forward");

    KeyApplyInput off = Input(kFuncDisabled);
    off.disabledCaption = L"Disabled";
    EXPECT_EQ(DecideKeyApply(off).record.macroValue, 1);
    EXPECT_EQ(DecideKeyApply(off).record.macroDesc, L"Disabled");
}

// The program checks come in the order the user fixes them: typed, there, startable.
TEST(KeyApplyDecision, LaunchChecksTheProgramAndStoresItsPathAsTheParameter) {
    KeyApplyInput input = Input(kFuncLaunch);
    EXPECT_EQ(DecideKeyApply(input).refusal, KeyApplyRefusal::NoProgram);

    input.programPath = L"/opt/tool/run";
    EXPECT_EQ(DecideKeyApply(input).refusal, KeyApplyRefusal::NoSuchProgram);
    input.programChosen = true;
    EXPECT_EQ(DecideKeyApply(input).refusal, KeyApplyRefusal::ProgramGone)
        << "a program taken from the chooser that went is told apart from a typo";
    input.programExists = true;
    EXPECT_EQ(DecideKeyApply(input).refusal, KeyApplyRefusal::NotAProgram);

    const KeyApplyDecision d = DecideKeyApply(StartableProgram(L"/opt/tool/run"));
    ASSERT_TRUE(d.Stores());
    EXPECT_TRUE(d.withOtherData);
    EXPECT_EQ(d.otherParam, L"/opt/tool/run");
    EXPECT_EQ(d.record.macroDesc, L"run");
    EXPECT_EQ(DecideKeyApply(StartableProgram(L"calc")).record.macroDesc, L"calc");
}

TEST(KeyApplyDecision, WebAddressesAreOneArgument) {
    KeyApplyInput input = Input(kFuncWeb);
    EXPECT_EQ(DecideKeyApply(input).refusal, KeyApplyRefusal::NoAddress);
    for (const wchar_t* bad : {L"example.org/a b", L"example.org\t", L"a\nb", L"x\x7F"}) {
        input.webAddress = bad;
        EXPECT_EQ(DecideKeyApply(input).refusal, KeyApplyRefusal::BadAddress);
    }
    input.webAddress = L"https://example.org/a?b=c%20d";
    const KeyApplyDecision d = DecideKeyApply(input);
    ASSERT_TRUE(d.Stores());
    EXPECT_TRUE(d.withOtherData);
    EXPECT_EQ(d.record.macroDesc, L"https://example.org/a?b=c%20d");
    EXPECT_TRUE(d.otherParam.empty());
}

}  // namespace
