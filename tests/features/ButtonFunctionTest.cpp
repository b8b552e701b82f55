#include <gtest/gtest.h>

#include "base/ButtonFunction.h"

namespace {

KeyRecord Record(int keyCode, int type, int value, int value2 = 0, int value3 = 0) {
    KeyRecord r;
    r.keyCode = keyCode;
    r.macroType = type;
    r.macroValue = value;
    r.macroValue2 = value2;
    r.macroValue3 = value3;
    return r;
}

ButtonCode Encode(const KeyRecord& record, const std::vector<int32_t>& macroIds = {}) {
    ButtonCode code{0xEE, 0xEE, 0xEE, 0xEE};
    EncodeButtonFunction(record, macroIds, code);
    return code;
}

ButtonCode Slot(const ButtonMap& map, int k) {
    return {map[4 * k], map[4 * k + 1], map[4 * k + 2], map[4 * k + 3]};
}

TEST(ButtonFunction, KeyCombinationsAndModifierKeysAlone) {
    EXPECT_EQ(Encode(Record(1, kFuncKey, 0x04, 0x06)), (ButtonCode{0x20, 0x06, 0x04, 0x00}));
    EXPECT_EQ(KeyComboCaption(0x06, L"A"), L"Shift+ Alt + A");
    EXPECT_EQ(Encode(Record(1, kFuncKey, 0xE4)), (ButtonCode{0x20, 0x10, 0x00, 0x00}));  // R-Ctrl
    EXPECT_EQ(Encode(Record(1, kFuncKey, 0xE3)), (ButtonCode{0x20, 0x08, 0x00, 0x00}));  // left Win
    // With a mask, a modifier key in the key byte travels as its bit.
    EXPECT_EQ(Encode(Record(1, kFuncKey, 0xE1, 0x01, 0x05)), (ButtonCode{0x20, 0x01, 0x02, 0x05}));
    EXPECT_EQ(KeyComboCaption(0x0F, L""), L"Shift+ Ctrl+ Win+ Alt");
    EXPECT_EQ(KeyComboCaption(0, L"F5"), L"F5");
}

TEST(ButtonFunction, TableCodes) {
    EXPECT_EQ(Encode(Record(0, kFuncMouse, 4)), (ButtonCode{0x10, 0x01, 0x02, 0x00}));
    EXPECT_EQ(Encode(Record(0, kFuncMouse, 9)), (ButtonCode{0x10, 0x00, 0x00, 0xFE}));
    EXPECT_EQ(Encode(Record(0, kFuncMouse, 11)), (ButtonCode{0x1F, 0x01, 0x00, 0x00}));
    EXPECT_EQ(Encode(Record(0, kFuncMultimedia, 1)), (ButtonCode{0x30, 0x83, 0x01, 0x00}));
    EXPECT_EQ(Encode(Record(0, kFuncMultimedia, 13)), (ButtonCode{0x30, 0x8A, 0x01, 0x00}));
    EXPECT_EQ(Encode(Record(0, kFuncShortcut, 13)), (ButtonCode{0x20, 0x0A, 22, 0x00}));  // Win+Shift+S
    EXPECT_EQ(Encode(Record(0, kFuncShortcut, 14)), Encode(Record(0, kFuncShortcut, 19)));
    EXPECT_EQ(Encode(Record(0, kFuncShortcut, 28)), (ButtonCode{0x40, 0x02, 0x00, 0x00}));
    EXPECT_EQ(Encode(Record(0, kFuncShortcut, 25)), (ButtonCode{0x20, 0x03, 41, 0x00}));  // Ctrl+Shift+Esc
    EXPECT_EQ(Encode(Record(0, kFuncDisabled, 1)), (ButtonCode{0, 0, 0, 0}));
    EXPECT_EQ(Encode(Record(0, kFuncWeb, 0x1234)), (ButtonCode{0x50, 0x0A, 0x34, 0x00}));
    EXPECT_EQ(Encode(Record(0, kFuncText, 3)), (ButtonCode{0x50, 0x0B, 0x03, 0x00}));
    // No code: the slot keeps what it held.
    EXPECT_EQ(Encode(Record(0, kFuncDefault, 1)), (ButtonCode{0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(Encode(Record(0, 6, 1)), (ButtonCode{0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(Encode(Record(0, kFuncMouse, 13)), (ButtonCode{0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(Encode(Record(0, kFuncShortcut, 38)), (ButtonCode{0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST(ButtonFunction, MacrosByListPosition) {
    const std::vector<int32_t> ids = {7, 3, 9};
    EXPECT_EQ(Encode(Record(2, kFuncMacro, 9, 5, 0), ids), (ButtonCode{0x60, 0x02, 0x05, 0x00}));
    EXPECT_EQ(Encode(Record(2, kFuncMacro, 7, 1, 3), ids), (ButtonCode{0x60, 0x00, 0x01, 0x03}));
    // A deleted macro keeps the slot's code.
    const ButtonMap map = BuildButtonMap({Record(3, kFuncMacro, 4, 1, 1)}, ids);
    EXPECT_EQ(Slot(map, 3), (ButtonCode{0x10, 0x10, 0x00, 0x00}));
}

TEST(ButtonFunction, ButtonMapFromDefaultsAndRecords) {
    const ButtonMap defaults = BuildButtonMap({}, {});
    const ButtonCode expected[9] = {{0x10, 0x01, 0, 0}, {0x10, 0x02, 0, 0}, {0x10, 0x04, 0, 0},
                                    {0x10, 0x10, 0, 0}, {0x10, 0x08, 0, 0}, {0x10, 0x20, 0, 0},
                                    {0x10, 0x40, 0, 0}, {0x1F, 0x01, 0, 0}, {0x1F, 0x00, 0, 0}};
    for (int k = 0; k < 9; ++k) EXPECT_EQ(Slot(defaults, k), expected[k]) << k;
    KeyRecord otherLayer = Record(4, kFuncDisabled, 1);
    otherLayer.fnLayer = 1;
    const ButtonMap map = BuildButtonMap(
        {Record(8, kFuncDisabled, 1), Record(9, kFuncDisabled, 1), Record(-1, kFuncDisabled, 1), otherLayer},
        {});
    EXPECT_EQ(Slot(map, 8), (ButtonCode{0, 0, 0, 0}));
    for (int k = 0; k < 8; ++k) EXPECT_EQ(Slot(map, k), expected[k]) << k;
}

TEST(ButtonFunction, DecodingForTheKeyPage) {
    const KeyPageChoice none = DecodeKeyRecord(nullptr, 3);
    EXPECT_EQ(none.type, kFuncMouse);
    EXPECT_EQ(none.value, 5);

    const KeyRecord combo = Record(1, kFuncKey, 0x04, 0x06);
    const KeyPageChoice key = DecodeKeyRecord(&combo, 1);
    EXPECT_EQ(key.group, 1);
    EXPECT_TRUE(key.shift && key.alt);
    EXPECT_FALSE(key.ctrl || key.win);
    EXPECT_EQ(key.capturedVk, 65);
    EXPECT_EQ(key.keyName, L"A");

    const KeyRecord loop = Record(1, kFuncMacro, 12, 40, 0);
    EXPECT_EQ(DecodeKeyRecord(&loop, 1).macroRadio, 4);
    EXPECT_EQ(DecodeKeyRecord(&loop, 1).countText, L"40");
    const KeyRecord once = Record(1, kFuncMacro, 12, 1, 2);
    EXPECT_EQ(DecodeKeyRecord(&once, 1).macroRadio, 2);
    EXPECT_EQ(DecodeKeyRecord(&once, 1).countText, L"10");

    const KeyRecord shortcut = Record(1, kFuncShortcut, 31);
    EXPECT_EQ(DecodeKeyRecord(&shortcut, 1).group, 5);
    // Ctrl+Z and Ctrl+Y are listed in group 1 although their values follow group 1's others.
    const KeyRecord undo = Record(1, kFuncShortcut, 7);
    EXPECT_EQ(DecodeKeyRecord(&undo, 1, 3).group, 1);
    const KeyRecord unknown = Record(1, kFuncShortcut, 38);
    EXPECT_EQ(DecodeKeyRecord(&unknown, 1, 3).group, 3);
    const KeyRecord web = Record(1, kFuncWeb, 17);
    EXPECT_EQ(DecodeKeyRecord(&web, 1).otherDataId, 17);
}

}  // namespace
