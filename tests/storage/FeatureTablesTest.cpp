// Button assignments, software-function parameters, macros, lighting rows and texts.
#include "StoreTestSupport.h"

namespace {

KeyRecord Key(int32_t profile, int32_t keyCode, int32_t value, int32_t value2, int32_t layer = 0) {
    KeyRecord record;
    record.profile = profile;
    record.fnLayer = layer;
    record.keyCode = keyCode;
    record.macroType = 2;
    record.macroValue = value;
    record.macroValue2 = value2;
    record.macroValue3 = 7;
    record.macroDesc = L"Ctrl + A";
    return record;
}

MacroEvent Event(int32_t macroId, int32_t index, int32_t value) {
    MacroEvent event;
    event.macroId = macroId;
    event.type = 1;
    event.recordIndex = index;
    event.value = value;
    event.delayTime = 10 * index;
    event.desc = L"key " + std::to_wstring(value);
    return event;
}

}  // namespace

using FeatureTables = StoreTest;

TEST_F(FeatureTables, SavingAButtonReplacesItsRowAndZeroValuesRemoveIt) {
    const int32_t first = Store().SaveKey(Key(1, 2, 4, 1));
    const int32_t second = Store().SaveKey(Key(1, 2, 4, 1));
    EXPECT_NE(first, 0);
    EXPECT_NE(second, first);
    EXPECT_EQ(Query("SELECT count(*) FROM t_key_macro_data"), "1");
    KeyRecord read;
    ASSERT_TRUE(Store().GetKey(1, 2, read));
    EXPECT_EQ(read.keyId, second);
    EXPECT_EQ(read.macroValue, 4);
    EXPECT_EQ(read.macroValue2, 1);
    EXPECT_EQ(read.macroValue3, 7);
    EXPECT_EQ(read.macroDesc, L"Ctrl + A");

    // A modifier-only assignment (value 0, mask set) is a real assignment.
    EXPECT_NE(Store().SaveKey(Key(1, 3, 0, 2)), 0);

    EXPECT_EQ(Store().SaveKey(Key(1, 2, 0, 0)), 0);
    EXPECT_EQ(Store().SaveKey(Key(1, 2, 0, 0)), 0);
    EXPECT_FALSE(Store().GetKey(1, 2, read));
    EXPECT_EQ(Query("SELECT group_concat(key_code) FROM t_key_macro_data"), "3");
}

TEST_F(FeatureTables, OnlyLayerZeroOfTheAskedProfileIsEverRead) {
    ASSERT_NE(Store().SaveKey(Key(1, 2, 4, 0, 1)), 0);
    ASSERT_NE(Store().SaveKey(Key(2, 2, 5, 0)), 0);
    ASSERT_NE(Store().SaveKey(Key(1, 5, 6, 0)), 0);
    KeyRecord read;
    EXPECT_FALSE(Store().GetKey(1, 2, read));
    std::vector<KeyRecord> keys;
    ASSERT_EQ(Store().ListKeys(1, keys), 1);
    EXPECT_EQ(keys[0].keyCode, 5);

    ASSERT_TRUE(Store().SetKeyDescription(1, 2, L"renamed"));
    EXPECT_EQ(Query("SELECT group_concat(macro_desc) FROM t_key_macro_data WHERE key_code = 2"),
              "Ctrl + A,Ctrl + A");

    // A profile reset removes every row of that profile only.
    ASSERT_TRUE(Store().DeleteProfileKeys(1));
    EXPECT_EQ(Query("SELECT group_concat(profile) FROM t_key_macro_data"), "2");
}

TEST_F(FeatureTables, OtherDataOfAnUnknownIdLeavesTheOutputsAlone) {
    const int32_t id = Store().AddKeyOtherData(L"calc", L"/usr/bin/calc", 9);
    ASSERT_EQ(id, 1);
    EXPECT_EQ(Store().AddKeyOtherData(L"calc", L"/usr/bin/calc", 9), 2);  // never reused
    std::wstring description, param;
    int32_t type = 0;
    EXPECT_TRUE(Store().GetKeyOtherData(id, description, param, type));
    EXPECT_EQ(description, L"calc");
    EXPECT_EQ(param, L"/usr/bin/calc");
    EXPECT_EQ(type, 9);

    description = L"keep";
    param = L"keep";
    type = 77;
    EXPECT_TRUE(Store().GetKeyOtherData(99, description, param, type));
    EXPECT_EQ(description, L"keep");
    EXPECT_EQ(param, L"keep");
    EXPECT_EQ(type, 77);
}

TEST_F(FeatureTables, MacroEventsComeBackInRecordIndexOrder) {
    const int32_t id = Store().AddMacro(L"Macro1");
    ASSERT_EQ(id, 1);
    MacroData macro;
    ASSERT_TRUE(Store().GetMacro(id, macro));
    EXPECT_EQ(macro.name, L"Macro1");
    EXPECT_EQ(std::vector<int32_t>({macro.playType, macro.playTimes, macro.delayType, macro.delayTime}),
              std::vector<int32_t>({0, 1, 1, 0}));

    Store().AddMacroRecords({Event(id, 2, 0x06), Event(id, 0, 0x04), Event(id, 1, 0x05)});
    EXPECT_NE(Store().AddMacroRecord(id + 1, 1, 0, L"other", 9, 0), 0);
    std::vector<MacroEvent> events;
    ASSERT_EQ(Store().ListMacroRecords(id, events), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(events[i].recordIndex, i);
        EXPECT_EQ(events[i].value, 4 + i);
        EXPECT_EQ(events[i].delayTime, 10 * i);
        EXPECT_EQ(events[i].desc, L"key " + std::to_wstring(4 + i));
        EXPECT_EQ(events[i].macroId, id);
    }
}

TEST_F(FeatureTables, MacrosAreEditedAndDeletedWithTheirEventsOnly) {
    const int32_t first = Store().AddMacroFull(L"A", 2, 5, 2, 30);
    const int32_t second = Store().AddMacro(L"B");
    Store().AddMacroRecords({Event(first, 0, 1), Event(second, 0, 2)});

    ASSERT_TRUE(Store().UpdateMacro(second, L"B2", 1, 3, 0, 10));
    ASSERT_TRUE(Store().RenameMacro(first, L"A2"));
    std::vector<MacroData> macros;
    ASSERT_EQ(Store().ListMacros(macros), 2);
    EXPECT_EQ(macros[0].name, L"A2");
    EXPECT_EQ(macros[0].playTimes, 5);
    EXPECT_EQ(macros[1].name, L"B2");
    EXPECT_EQ(macros[1].delayTime, 10);

    EXPECT_TRUE(Store().DeleteMacro(first));
    EXPECT_TRUE(Store().DeleteMacro(99));
    ASSERT_EQ(Store().ListMacros(macros), 1);
    EXPECT_EQ(macros[0].macroId, second);
    EXPECT_EQ(Query("SELECT group_concat(macro_id) FROM t_macrorecord"), std::to_string(second));
}

TEST_F(FeatureTables, OneLightingModePerProfileIsActive) {
    EXPECT_EQ(Store().CountLights(1), 0);
    EXPECT_EQ(Store().GetActiveLightMode(1), 0);
    for (int32_t profile : {1, 2}) {
        for (int32_t mode = 0; mode < 7; ++mode) {
            LightData light;
            light.profile = profile;
            light.name = L"mode " + std::to_wstring(mode);
            light.mode = mode;
            light.brightness = 255;
            light.configFunc = 3;
            light.status = mode == 0 ? 1 : 0;
            ASSERT_NE(Store().AddLight(light), 0);
        }
    }
    EXPECT_EQ(Store().CountLights(1), 7);
    ASSERT_TRUE(Store().SetActiveLightMode(1, 3));
    EXPECT_EQ(Store().GetActiveLightMode(1), 3);
    EXPECT_EQ(Store().GetActiveLightMode(2), 0);
    EXPECT_EQ(Query("SELECT count(*) FROM t_light_data WHERE profile = 1 AND status = 1"), "1");

    LightData changed;
    changed.name = L"ignored";
    changed.mode = 6;
    changed.status = 0;
    changed.brightness = 10;
    changed.speed = 20;
    changed.colorValue = 0x0000FF;
    changed.reserved = 283;
    ASSERT_TRUE(Store().UpdateLight(1, 3, changed));
    LightData read;
    ASSERT_TRUE(Store().GetLight(1, 3, read));
    EXPECT_EQ(read.name, L"mode 3");
    EXPECT_EQ(read.mode, 3);
    EXPECT_EQ(read.status, 1);
    EXPECT_EQ(read.brightness, 10);
    EXPECT_EQ(read.speed, 20);
    EXPECT_EQ(read.colorValue, 0x0000FF);
    EXPECT_EQ(read.reserved, 283);
    EXPECT_EQ(read.configFunc, 0);
    ASSERT_TRUE(Store().GetLight(2, 3, read));
    EXPECT_EQ(read.brightness, 255);

    std::vector<LightData> lights;
    ASSERT_EQ(Store().ListLights(2, lights), 7);
    EXPECT_EQ(lights[6].mode, 6);
}

TEST_F(FeatureTables, TextLibraryEntries) {
    TextData text;
    text.name = L"Example 1 - Blessing";
    text.content = L"Bonne journée";
    text.status = 5;
    text.type = 5;
    const int32_t id = Store().AddText(text);
    ASSERT_EQ(id, 1);
    ASSERT_TRUE(Store().RenameText(id, L"Hello"));
    ASSERT_TRUE(Store().SetTextContent(id, L""));
    std::wstring value;
    ASSERT_TRUE(Store().GetTextName(id, value));
    EXPECT_EQ(value, L"Hello");
    ASSERT_TRUE(Store().GetTextContent(id, value));
    EXPECT_EQ(value, L"");
    std::vector<TextData> texts;
    ASSERT_EQ(Store().ListTexts(texts), 1);
    EXPECT_EQ(texts[0].status, 0);  // always stored as 0
    EXPECT_EQ(texts[0].type, 0);

    ASSERT_TRUE(Store().DeleteText(id));
    EXPECT_FALSE(Store().GetTextName(id, value));
    EXPECT_EQ(Store().ListTexts(texts), 0);
}
