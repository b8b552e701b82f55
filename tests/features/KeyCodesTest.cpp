#include <gtest/gtest.h>

#include "base/KeyCodes.h"
#include "features/RawInput.h"

namespace {

TEST(KeyCodes, VirtualKeysAndUsagesMapBothWays) {
    EXPECT_EQ(VkToUsage(65), 4);
    EXPECT_EQ(UsageToVk(4), 65);
    EXPECT_EQ(UsageName(4), L"A");
    EXPECT_EQ(VkToUsage(48), 39);
    EXPECT_EQ(VkToUsage(57), 38);
    EXPECT_EQ(VkToUsage(123), 69);   // F12
    EXPECT_EQ(VkToUsage(124), 104);  // F13
    EXPECT_EQ(UsageToVk(104), 0);    // no way back from F13 to F24
    EXPECT_EQ(VkToUsage(105), 97);   // keypad 9
    EXPECT_EQ(VkToUsage(137), 137);
    EXPECT_EQ(VkToUsage(666), 50);
    EXPECT_EQ(UsageToVk(50), 0);
    EXPECT_EQ(VkToUsage(7), 0);
    // Every key of the inverse range comes back to itself, except keypad Enter.
    for (int vk = 1; vk < 256; ++vk) {
        const int usage = VkToUsage(vk);
        if (usage < 4 || usage > 99 || usage == 88) continue;
        EXPECT_EQ(UsageToVk(usage), vk) << "vk " << vk;
    }
}

TEST(KeyCodes, ParticularUsagesAndNames) {
    EXPECT_EQ(UsageName(88), L"Enter");
    EXPECT_EQ(UsageToVk(88), 253);
    EXPECT_EQ(UsageName(83), L"Num");
    EXPECT_EQ(UsageName(84), L"//");
    EXPECT_EQ(UsageName(231), L"");
    EXPECT_EQ(UsageToVk(231), 0);
    EXPECT_EQ(UsageName(227), L"Windows");
    EXPECT_EQ(UsageToVk(228), 17);
    EXPECT_EQ(UsageToVk(209), 175);
    EXPECT_EQ(UsageToVk(100), 0);
    EXPECT_EQ(UsageName(49), L"\\");
    EXPECT_EQ(UsageName(50), L"");
    EXPECT_EQ(UsageName(42), L"Backspace");
    EXPECT_EQ(UsageName(99), L"Num Del");
    EXPECT_EQ(UsageName(94), L"Num 6");
    EXPECT_EQ(UsageName(69), L"F12");
}

TEST(KeyCodes, ModifierBits) {
    EXPECT_EQ(MaskOrUsage(0xE0), 0x01);
    EXPECT_EQ(MaskOrUsage(0xE4), 0x10);
    EXPECT_EQ(MaskOrUsage(0xE7), 0x80);
    EXPECT_EQ(MaskOrUsage(0x04), 0x04);
    EXPECT_EQ(ModifierBit(91), 0x08);
    EXPECT_EQ(ModifierBit(231), 0x80);
    EXPECT_EQ(ModifierBit(161), 0x20);
    EXPECT_EQ(ModifierBit(163), 0x10);
    EXPECT_EQ(ModifierBit(0), 0);
    EXPECT_EQ(ModifierBit(65), 65);
    EXPECT_TRUE(IsModifierVk(0xA5));
    EXPECT_TRUE(IsModifierVk(0x5C));
    EXPECT_FALSE(IsModifierVk(16));
}

TEST(KeyCodes, PredefinedGroups) {
    const size_t sizes[] = {36, 12, 17, 17, 10, 11};
    for (int group = 2; group <= 7; ++group) EXPECT_EQ(PredefinedKeyGroup(group).size(), sizes[group - 2]);
    EXPECT_TRUE(PredefinedKeyGroup(1).empty());
    const auto letters = PredefinedKeyGroup(2);
    EXPECT_EQ(letters[25].usage, 29);
    EXPECT_STREQ(letters[25].name, L"Z");
    EXPECT_EQ(letters[26].usage, 39);
    EXPECT_STREQ(letters[26].name, L"0");
    EXPECT_EQ(letters[35].usage, 38);
    const auto modifiers = PredefinedKeyGroup(6);
    EXPECT_STREQ(modifiers[5].name, L"R-Ctrl");
    EXPECT_EQ(modifiers[5].usage, 0xE4);
    EXPECT_STREQ(PredefinedKeyGroup(5)[7].name, L"Backsapce");
}

TEST(RawInput, AutoRepeatGivesOneKeyDown) {
    RawInputReader reader;
    EXPECT_EQ(reader.TranslateKeyboard(65, false).kind, kInputKeyboard);
    EXPECT_EQ(reader.TranslateKeyboard(65, false).kind, kInputIgnored);
    EXPECT_EQ(reader.TranslateKeyboard(65, false).kind, kInputIgnored);
    const InputEvent up = reader.TranslateKeyboard(65, true);
    EXPECT_EQ(up.kind, kInputKeyboard);
    EXPECT_EQ(up.action, kActionUp);
    EXPECT_EQ(reader.TranslateKeyboard(65, false).kind, kInputKeyboard);
    reader.Release();
    EXPECT_EQ(reader.TranslateKeyboard(65, false).kind, kInputKeyboard);
}

TEST(RawInput, KeyNamesAndOverrides) {
    RawInputReader reader([](int vk) { return L"layout " + std::to_wstring(vk); });
    const InputEvent shift = reader.TranslateKeyboard(16, false);
    EXPECT_EQ(shift.code, 160);
    EXPECT_EQ(shift.name, L"Shift");
    // The generic key and the left key are one held key.
    EXPECT_EQ(reader.TranslateKeyboard(160, false).kind, kInputIgnored);
    EXPECT_EQ(reader.TranslateKeyboard(163, false).name, L"RCtrl");
    EXPECT_EQ(reader.TranslateKeyboard(178, false).name, L"Stop");
    EXPECT_EQ(reader.TranslateKeyboard(66, false).name, L"layout 66");
    EXPECT_EQ(RawInputReader().TranslateKeyboard(33, false).name, L"Page Up");
}

TEST(RawInput, MouseButtonsAndWheel) {
    RawInputReader reader;
    const InputEvent both = reader.TranslateMouse(kRawRightDown | kRawMiddleDown, 0);
    EXPECT_EQ(both.name, L"MB");
    EXPECT_EQ(both.code, 4);
    const InputEvent back = reader.TranslateMouse(kRawButton4Up, 0);
    EXPECT_EQ(back.name, L"Backward");
    EXPECT_EQ(back.code, 8);
    EXPECT_EQ(back.action, kActionUp);
    const InputEvent up = reader.TranslateMouse(kRawWheel, 120);
    EXPECT_EQ(up.name, L"Scroll Up");
    EXPECT_EQ(up.code, 1);
    EXPECT_EQ(up.action, kActionWheelUp);
    const InputEvent twoNotches = reader.TranslateMouse(kRawWheel | kRawLeftDown, 240);
    EXPECT_EQ(twoNotches.name, L"Scroll Down");
    EXPECT_EQ(twoNotches.code, 255);
    const InputEvent move = reader.TranslateMouse(0, 0);
    EXPECT_EQ(move.kind, kInputMouse);
    EXPECT_TRUE(move.name.empty());
    EXPECT_EQ(reader.TranslateOther().kind, kInputOtherDevice);
}

}  // namespace
