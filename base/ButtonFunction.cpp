#include "base/ButtonFunction.h"

#include <algorithm>

#include "base/KeyCodes.h"

namespace {

constexpr uint8_t kCodeMouse = 0x10;
constexpr uint8_t kCodeMouseSpecial = 0x1F;
constexpr uint8_t kCodeKey = 0x20;
constexpr uint8_t kCodeMultimedia = 0x30;
constexpr uint8_t kCodeSystem = 0x40;
constexpr uint8_t kCodePcAction = 0x50;
constexpr uint8_t kCodeMacro = 0x60;

constexpr ButtonCode Combo(int mask, int usage) {
    return {kCodeKey, static_cast<uint8_t>(mask), static_cast<uint8_t>(usage), 0};
}
constexpr ButtonCode System(int bit) {
    return {kCodeSystem, static_cast<uint8_t>(bit), 0, 0};
}

constexpr int kCtrl = kModLeftCtrl, kShift = kModLeftShift, kAlt = kModLeftAlt, kWin = kModLeftWin;
// HID keyboard usages of the shortcut keys.
enum : int {
    kA = 4,
    kC = 6,
    kD = 7,
    kE = 8,
    kG = 10,
    kH = 11,
    kL = 15,
    kM = 16,
    kO = 18,
    kP = 19,
    kR = 21,
    kS = 22,
    kV = 25,
    kX = 27,
    kY = 28,
    kZ = 29,
    kEsc = 41,
    kTab = 43,
    kMinus = 45,
    kEqual = 46,
    kComma = 54,
    kF4 = 61,
    kRight = 79,
    kLeft = 80,
    kUp = 82,
};

// Value 14 has no list entry and sends what value 19 sends.
constexpr int kUnlistedShortcut = 14;
constexpr int kUnlistedShortcutTwin = 19;

// Default assignment of each key code as a type 1 value.
constexpr int kDefaultMouseValues[kButtonSlotCount] = {1, 3, 2, 5, 6, 7, 8, 11, 12};

}  // namespace

const std::array<FunctionTypeEntry, 10> kFunctionTypes = {{
    {kFuncDefault, 221, L"icon\\keytype_0.png"},
    {kFuncMouse, 222, L"icon\\keytype_1.png"},
    {kFuncKey, 223, L"icon\\keytype_2.png"},
    {kFuncMacro, 224, L"icon\\keytype_4.png"},
    {kFuncMultimedia, 225, L"icon\\keytype_6.png"},
    {kFuncShortcut, 226, L"icon\\keytype_7.png"},
    {kFuncDisabled, 227, L"icon\\keytype_9.png"},
    {kFuncLaunch, 228, L"icon\\keytype_10.png"},
    {kFuncWeb, 229, L"icon\\keytype_11.png"},
    {kFuncText, 230, L"icon\\keytype_12.png"},
}};

const std::array<MouseActionEntry, 12> kMouseActions = {{
    {150, 1, {kCodeMouse, 0x01, 0, 0}},
    {152, 2, {kCodeMouse, 0x04, 0, 0}},
    {151, 3, {kCodeMouse, 0x02, 0, 0}},
    {153, 5, {kCodeMouse, 0x10, 0, 0}},
    {154, 6, {kCodeMouse, 0x08, 0, 0}},
    {155, 4, {kCodeMouse, 0x01, 0x02, 0}},
    {156, 7, {kCodeMouse, 0x20, 0, 0}},
    {157, 8, {kCodeMouse, 0x40, 0, 0}},
    {158, 9, {kCodeMouse, 0, 0, 0xFE}},
    {159, 10, {kCodeMouse, 0, 0, 0x02}},
    {210, 11, {kCodeMouseSpecial, 0x01, 0, 0}},
    {0, 12, {kCodeMouseSpecial, 0, 0, 0}},
}};

const std::array<MultimediaEntry, 10> kMultimediaKeys = {{
    {165, 6, 0x00E9},
    {166, 7, 0x00EA},
    {167, 8, 0x00E2},
    {168, 1, 0x0183},
    {169, 2, 0x00CD},
    {170, 4, 0x00B6},
    {171, 5, 0x00B5},
    {172, 3, 0x00B7},
    {129, 12, 0x0192},
    {132, 13, 0x018A},
}};

const std::array<ShortcutEntry, 36> kShortcuts = {{
    {1, 36, 1, Combo(kCtrl, kX)},
    {1, 31, 2, Combo(kCtrl, kC)},
    {1, 32, 3, Combo(kCtrl, kV)},
    {1, 38, 4, Combo(kCtrl, kS)},
    {1, 775, 5, Combo(kCtrl, kP)},
    {1, 776, 7, Combo(kCtrl, kZ)},
    {1, 777, 8, Combo(kCtrl, kY)},
    {1, 778, 6, Combo(kCtrl, kA)},
    {2, 779, 9, Combo(kWin, kS)},
    {2, 780, 10, Combo(kWin, kP)},
    {2, 781, 11, Combo(kCtrl, kEqual)},
    {2, 782, 12, Combo(kCtrl, kMinus)},
    {2, 783, 13, Combo(kWin | kShift, kS)},
    {2, 784, 15, Combo(kWin, kH)},
    {2, 785, 16, Combo(kWin, kE)},
    {2, 786, 17, Combo(kWin, kR)},
    {3, 787, 18, Combo(kWin, kD)},
    {3, 788, 19, Combo(kWin, kComma)},
    {3, 789, 20, Combo(kAlt, kTab)},
    {3, 790, 21, Combo(kAlt, kF4)},
    {3, 791, 22, Combo(kWin, kUp)},
    {3, 792, 23, Combo(kWin, kM)},
    {4, 793, 24, Combo(kWin, kL)},
    {4, 794, 25, Combo(kCtrl | kShift, kEsc)},
    {4, 795, 26, Combo(kWin, kX)},
    {4, 796, 27, System(0x01)},
    {4, 797, 28, System(0x02)},
    {4, 798, 29, System(0x04)},
    {5, 799, 30, Combo(kCtrl | kWin, kO)},
    {5, 800, 31, Combo(kWin, kEqual)},
    {5, 801, 32, Combo(kWin, kG)},
    {6, 802, 33, Combo(kCtrl | kWin, kD)},
    {6, 803, 34, Combo(kCtrl | kWin, kLeft)},
    {6, 804, 35, Combo(kCtrl | kWin, kRight)},
    {6, 805, 36, Combo(kCtrl | kWin, kF4)},
    {6, 806, 37, Combo(kWin, kTab)},
}};

ButtonCode DefaultButtonCode(int keyCode) {
    const int value = DefaultMouseActionValue(keyCode);
    for (const MouseActionEntry& action : kMouseActions)
        if (action.value == value) return action.code;
    return {};
}

int DefaultMouseActionValue(int keyCode) {
    return keyCode >= 0 && keyCode < kButtonSlotCount ? kDefaultMouseValues[keyCode] : 0;
}

namespace {

template <typename Table>
auto FindByValue(const Table& table, int value) -> decltype(&table[0]) {
    const auto it = std::find_if(table.begin(), table.end(), [&](const auto& e) { return e.value == value; });
    return it == table.end() ? nullptr : &*it;
}

uint8_t Low(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}

}  // namespace

bool EncodeButtonFunction(const KeyRecord& record, const std::vector<int32_t>& macroIds, ButtonCode& code) {
    switch (record.macroType) {
        case kFuncMouse: {
            const MouseActionEntry* action = FindByValue(kMouseActions, record.macroValue);
            if (!action) return false;
            code = action->code;
            return true;
        }
        case kFuncKey: {
            const int key = record.macroValue;
            if (record.macroValue2 == 0 && key >= 0xE0 && key <= 0xE7) {  // a modifier key alone
                code = {kCodeKey, Low(MaskOrUsage(key)), 0, 0};
                return true;
            }
            code = {kCodeKey, Low(record.macroValue2), Low(MaskOrUsage(key)),
                    Low(MaskOrUsage(record.macroValue3))};
            return true;
        }
        case kFuncMultimedia: {
            const MultimediaEntry* media = FindByValue(kMultimediaKeys, record.macroValue);
            if (!media) return false;
            code = {kCodeMultimedia, Low(media->usage), Low(media->usage >> 8), 0};
            return true;
        }
        case kFuncMacro: {
            const auto it = std::find(macroIds.begin(), macroIds.end(), record.macroValue);
            if (it == macroIds.end()) return false;
            code = {kCodeMacro, Low(static_cast<int>(it - macroIds.begin())), Low(record.macroValue2),
                    Low(record.macroValue3)};
            return true;
        }
        case kFuncShortcut: {
            const int value =
                record.macroValue == kUnlistedShortcut ? kUnlistedShortcutTwin : record.macroValue;
            const ShortcutEntry* shortcut = FindByValue(kShortcuts, value);
            if (!shortcut) return false;
            code = shortcut->code;
            return true;
        }
        case kFuncDisabled:
            code = {0, 0, 0, 0};
            return true;
        case kFuncLaunch:
        case kFuncWeb:
        case kFuncText:
            code = {kCodePcAction, Low(record.macroType), Low(record.macroValue), 0};
            return true;
        default:
            return false;
    }
}

ButtonMap BuildButtonMap(const std::vector<KeyRecord>& keys, const std::vector<int32_t>& macroIds) {
    ButtonMap map{};
    for (int k = 0; k < kButtonSlotCount; ++k) {
        const ButtonCode code = DefaultButtonCode(k);
        std::copy(code.begin(), code.end(), map.begin() + 4 * k);
    }
    for (const KeyRecord& record : keys) {
        // A slot number beyond the nine slots would write past the report's button map.
        if (record.fnLayer != 0 || record.keyCode < 0 || record.keyCode >= kButtonSlotCount) continue;
        ButtonCode code;
        if (EncodeButtonFunction(record, macroIds, code))
            std::copy(code.begin(), code.end(), map.begin() + 4 * record.keyCode);
    }
    return map;
}

int ShortcutGroupOf(int value) {
    // Values 7 and 8 (Ctrl+Z, Ctrl+Y) are listed in group 1 too.
    if (value >= 1 && value <= 8) return 1;
    if (value >= 9 && value <= 17) return 2;
    if (value >= 18 && value <= 23) return 3;
    if (value >= 24 && value <= 29) return 4;
    if (value >= 30 && value <= 32) return 5;
    if (value >= 33 && value <= 37) return 6;
    return 0;
}

std::wstring KeyComboCaption(int modifierMask, const std::wstring& keyName) {
    struct Toggle {
        int bit;
        const wchar_t* name;
    };
    static constexpr Toggle kOrder[] = {{kShift, L"Shift"}, {kCtrl, L"Ctrl"}, {kWin, L"Win"}, {kAlt, L"Alt"}};
    std::wstring modifiers;
    for (const Toggle& t : kOrder) {
        if (!(modifierMask & t.bit)) continue;
        modifiers += modifiers.empty() ? t.name : std::wstring(L"+ ") + t.name;
    }
    if (!modifiers.empty() && !keyName.empty()) return modifiers + L" + " + keyName;
    return modifiers.empty() ? keyName : modifiers;
}

KeyPageChoice DecodeKeyRecord(const KeyRecord* record, int keyCode, int currentGroup) {
    KeyPageChoice choice;
    if (!record) {
        choice.type = kFuncMouse;
        choice.value = DefaultMouseActionValue(keyCode);
        return choice;
    }
    choice.type = record->macroType;
    choice.value = record->macroValue;
    switch (record->macroType) {
        case kFuncKey: {
            const int mask = record->macroValue2;
            choice.ctrl = mask & kCtrl;
            choice.shift = mask & kShift;
            choice.alt = mask & kAlt;
            choice.win = mask & kWin;
            choice.capturedVk = UsageToVk(record->macroValue);
            choice.keyName = UsageName(record->macroValue);
            break;
        }
        case kFuncMacro:
            choice.macroRadio =
                record->macroValue3 >= 1 && record->macroValue3 <= 3 ? record->macroValue3 : 4;
            if (record->macroValue3 == 0) choice.countText = std::to_wstring(record->macroValue2);
            break;
        case kFuncShortcut: {
            const int group = ShortcutGroupOf(record->macroValue);
            choice.group = group ? group : currentGroup;
            break;
        }
        case kFuncLaunch:
        case kFuncWeb:
            choice.otherDataId = record->macroValue;
            break;
        default:
            break;
    }
    return choice;
}

std::vector<ButtonUse> ButtonsUsing(const std::vector<KeyRecord>& keys, int type, int32_t value) {
    std::vector<ButtonUse> uses;
    for (const KeyRecord& key : keys)
        if (key.fnLayer == 0 && key.macroType == type && key.macroValue == value)
            uses.push_back({key.profile, key.keyCode});
    return uses;
}
