#pragma once
// The button function model: what each function type and value means, the
// four-byte function code the mouse stores per button, the default codes of the
// nine button slots, and the way back from a stored assignment to the choices
// the key page shows.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/KeyRecord.h"

// Function types (KeyRecord::macroType).
constexpr int kFuncDefault = 0;  // restore the button's default; never stored
constexpr int kFuncMouse = 1;
constexpr int kFuncKey = 2;
constexpr int kFuncMultimedia = 4;
constexpr int kFuncMacro = 5;
constexpr int kFuncShortcut = 7;
constexpr int kFuncDisabled = 8;
constexpr int kFuncLaunch = 9;  // the PC launches a program
constexpr int kFuncWeb = 10;    // the PC opens a web address
constexpr int kFuncText = 11;   // the PC types a text of the library

constexpr int kButtonSlotCount = 9;  // key codes 0 to 8

using ButtonCode = std::array<uint8_t, 4>;
using ButtonMap = std::array<uint8_t, 4 * kButtonSlotCount>;

// An entry of the function type list, in list order (item data = type).
struct FunctionTypeEntry {
    int type;
    int textId;
    const wchar_t* icon;
};
extern const std::array<FunctionTypeEntry, 10> kFunctionTypes;

// Mouse actions (type 1) in list order; the last one is not listed.
struct MouseActionEntry {
    int textId;  // 0: not listed
    int value;
    ButtonCode code;
};
extern const std::array<MouseActionEntry, 12> kMouseActions;

// Multimedia keys (type 4) in list order, with their consumer-page usage.
struct MultimediaEntry {
    int textId;
    int value;
    uint16_t usage;
};
extern const std::array<MultimediaEntry, 10> kMultimediaKeys;

// Shortcuts (type 7) in list order; the code is complete.
struct ShortcutEntry {
    int group;  // 1 to 6
    int textId;
    int value;
    ButtonCode code;
};
extern const std::array<ShortcutEntry, 36> kShortcuts;

// The code a slot holds before stored assignments are applied.
ButtonCode DefaultButtonCode(int keyCode);
// The mouse action (type 1 value) the key page shows for a button without a record.
int DefaultMouseActionValue(int keyCode);

// The code of an assignment. `macroIds` lists the macros in upload order (their
// position is their number on the mouse). False when the assignment gives no code
// (type 0, an unknown type or value, a macro that no longer exists): the slot then
// keeps what it held.
bool EncodeButtonFunction(const KeyRecord& record, const std::vector<int32_t>& macroIds, ButtonCode& code);

// The nine slots of the key-map report: the default codes overwritten by the
// records of function layer 0. A record whose key code has no slot is skipped.
ButtonMap BuildButtonMap(const std::vector<KeyRecord>& keys, const std::vector<int32_t>& macroIds);

// A button of a profile whose assignment names an entry of a library.
struct ButtonUse {
    int32_t profile = 0;
    int32_t keyCode = 0;
};
// The buttons among `keys` (function layer 0) assigned to function `type` with
// value `value`: the buttons of a macro (type 5) or of a text (type 11).
std::vector<ButtonUse> ButtonsUsing(const std::vector<KeyRecord>& keys, int type, int32_t value);

// The shortcut group a type 7 value belongs to; 0 for values outside every group.
int ShortcutGroupOf(int value);

// The caption of a key combination: the checked modifiers in the order Shift,
// Ctrl, Win, Alt ("Shift+ Alt"), then " + " and the key name when both are there.
std::wstring KeyComboCaption(int modifierMask, const std::wstring& keyName);

// What the key page shows for a button (decoded from its stored record).
struct KeyPageChoice {
    int type = kFuncMouse;
    int value = 0;  // item data to select in the value, item or macro list
    int group = 1;  // group box entry (type 2: always 1, key capture; type 7: 1 to 6)
    bool ctrl = false, shift = false, alt = false, win = false;  // modifier toggles
    int capturedVk = 0;
    std::wstring keyName;  // shown in the key capture edit
    int macroRadio = 4;    // play-mode radio 1 to 4 (type 5)
    std::wstring countText = L"10";
    int otherDataId = 0;  // types 9 and 10: the row whose description the edit shows
};

// `record` is null when the button has no stored record. `currentGroup` is the
// shortcut group shown before, kept for type 7 values outside every group.
KeyPageChoice DecodeKeyRecord(const KeyRecord* record, int keyCode, int currentGroup = 1);
