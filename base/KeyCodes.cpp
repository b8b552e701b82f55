#include "base/KeyCodes.h"

#include <array>

namespace {

struct CodePair {
    int vk;
    int usage;
};

// Single keys outside the letter, digit, function-key and keypad-digit runs.
constexpr CodePair kSingleKeys[] = {
    {13, 40},   {27, 41},  {8, 42},   {9, 43},    {32, 44},   {189, 45},  {187, 46},  {219, 47},  {221, 48},
    {220, 49},  {666, 50}, {186, 51}, {222, 52},  {192, 53},  {188, 54},  {190, 55},  {191, 56},  {20, 57},
    {44, 70},   {145, 71}, {19, 72},  {45, 73},   {36, 74},   {33, 75},   {46, 76},   {35, 77},   {34, 78},
    {39, 79},   {37, 80},  {40, 81},  {38, 82},   {144, 83},  {111, 84},  {106, 85},  {109, 86},  {107, 87},
    {108, 88},  {96, 98},  {110, 99}, {162, 224}, {160, 225}, {164, 226}, {91, 227},  {163, 228}, {161, 229},
    {165, 230}, {92, 231}, {93, 101}, {254, 175}, {226, 100}, {301, 236}, {302, 235},
};

// Usages whose way back to a virtual key is not the inverse of the table above.
constexpr CodePair kUsageToVkRows[] = {
    {253, 88}, {93, 101}, {250, 175}, {175, 209}, {174, 210}, {173, 211}, {183, 212},
    {17, 224}, {17, 228}, {16, 225},  {16, 229},  {18, 226},  {18, 230},  {91, 227},
};

// The keys every usage of the inverse range (4 to 99) comes back to.
const std::array<int, 100>& InverseTable() {
    static const std::array<int, 100> table = [] {
        std::array<int, 100> t{};
        for (int vk = 1; vk < 256; ++vk) {
            const int usage = VkToUsage(vk);
            if (usage >= 4 && usage < 100 && t[usage] == 0) t[usage] = vk;
        }
        return t;
    }();
    return table;
}

const wchar_t* const kNames[] = {
    // 40 to 57
    L"Enter", L"Esc", L"Backspace", L"Tab", L"Space", L"-", L"=", L"[", L"]",
    L"\\",    L"",    L";",         L"'",   L"`",     L",", L".", L"/", L"Caps Lock",
};

const wchar_t* const kNavigationNames[] = {
    // 70 to 84
    L"Print Screen", L"Scrlk", L"Pause", L"Insert", L"Home", L"Page Up", L"Delete", L"End",
    L"Page Down",    L"Right", L"Left",  L"Down",   L"Up",   L"Num",     L"//",
};

constexpr PredefinedKey kPredefinedKeys[] = {
    {3, 58, L"F1"},        {3, 59, L"F2"},        {3, 60, L"F3"},        {3, 61, L"F4"},
    {3, 62, L"F5"},        {3, 63, L"F6"},        {3, 64, L"F7"},        {3, 65, L"F8"},
    {3, 66, L"F9"},        {3, 67, L"F10"},       {3, 68, L"F11"},       {3, 69, L"F12"},
    {4, 84, L"Num /"},     {4, 85, L"Num *"},     {4, 86, L"Num -"},     {4, 95, L"Num 7"},
    {4, 96, L"Num 8"},     {4, 97, L"Num 9"},     {4, 87, L"Num +"},     {4, 92, L"Num 4"},
    {4, 93, L"Num 5"},     {4, 94, L"Num 6"},     {4, 89, L"Num 1"},     {4, 90, L"Num 2"},
    {4, 91, L"Num 3"},     {4, 88, L"Num Enter"}, {4, 98, L"Num 0"},     {4, 99, L"Num ."},
    {4, 83, L"Num Lock"},  {5, 82, L"↑"},         {5, 80, L"←"},         {5, 81, L"↓"},
    {5, 79, L"→"},         {5, 41, L"Esc"},       {5, 70, L"Print"},     {5, 72, L"Pause"},
    {5, 42, L"Backsapce"}, {5, 73, L"Ins"},       {5, 74, L"Home"},      {5, 75, L"PgUp"},
    {5, 43, L"Tab"},       {5, 76, L"Del"},       {5, 77, L"End"},       {5, 78, L"PgDn"},
    {5, 40, L"Enter"},     {5, 44, L"Space"},     {6, 225, L"Shift"},    {6, 224, L"Ctrl"},
    {6, 227, L"Win"},      {6, 226, L"Alt"},      {6, 229, L"R-Shift"},  {6, 228, L"R-Ctrl"},
    {6, 231, L"R-Win"},    {6, 230, L"R-Alt"},    {6, 57, L"Caps Lock"}, {6, 71, L"Scroll Lock"},
    {7, 53, L"~"},         {7, 45, L"_"},         {7, 46, L"+"},         {7, 47, L"{"},
    {7, 48, L"}"},         {7, 49, L"||"},        {7, 51, L";"},         {7, 52, L"'"},
    {7, 54, L"<,"},        {7, 55, L">."},        {7, 56, L"?/"},
};

// Group 2 holds the letters and digits; their names are built rather than listed.
const wchar_t* const kDigitNames[] = {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"};
const wchar_t* const kLetterNames[] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I",
                                       L"J", L"K", L"L", L"M", L"N", L"O", L"P", L"Q", L"R",
                                       L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z"};

}  // namespace

int VkToUsage(int vk) {
    if (vk >= 65 && vk <= 90) return vk - 61;
    if (vk >= 49 && vk <= 57) return vk - 19;
    if (vk == 48) return 39;
    if (vk >= 112 && vk <= 123) return vk - 54;
    if (vk >= 124 && vk <= 135) return vk - 20;
    if (vk >= 97 && vk <= 105) return vk - 8;
    if (vk >= 136 && vk <= 139) return vk;
    for (const CodePair& pair : kSingleKeys)
        if (pair.vk == vk) return pair.usage;
    return 0;
}

int UsageToVk(int usage) {
    for (const CodePair& row : kUsageToVkRows)
        if (row.usage == usage) return row.vk;
    if (usage < 4 || usage > 99 || usage == 50) return 0;
    return InverseTable()[usage];
}

std::wstring UsageName(int usage) {
    if (usage >= 4 && usage <= 29) return kLetterNames[usage - 4];
    if (usage >= 30 && usage <= 38) return kDigitNames[usage - 29];
    if (usage == 39) return L"0";
    if (usage >= 40 && usage <= 57) return kNames[usage - 40];
    if (usage >= 58 && usage <= 69) return L"F" + std::to_wstring(usage - 57);
    if (usage >= 70 && usage <= 84) return kNavigationNames[usage - 70];
    if (usage >= 89 && usage <= 97) return L"Num " + std::to_wstring(usage - 88);
    switch (usage) {
        case 85:
            return L"Num *";
        case 86:
            return L"Num -";
        case 87:
            return L"Num +";
        case 88:
            return L"Enter";
        case 98:
            return L"Num 0";
        case 99:
            return L"Num Del";
        case 101:
            return L"Menu";
        case 175:
            return L"Fn";
        case 224:
        case 228:
            return L"Ctrl";
        case 225:
        case 229:
            return L"Shift";
        case 226:
        case 230:
            return L"Alt";
        case 227:
            return L"Windows";
        default:
            return L"";
    }
}

int MaskOrUsage(int usage) {
    return usage >= 0xE0 && usage <= 0xE7 ? 1 << (usage - 0xE0) : usage;
}

int ModifierBit(int code) {
    switch (code) {
        case 91:
        case 227:
            return kModLeftWin;
        case 92:
        case 231:
            return kModRightWin;
        case 160:
        case 225:
            return kModLeftShift;
        case 161:
        case 229:
            return kModRightShift;
        case 162:
        case 224:
            return kModLeftCtrl;
        case 163:
        case 228:
            return kModRightCtrl;
        case 164:
        case 226:
            return kModLeftAlt;
        case 165:
        case 230:
            return kModRightAlt;
        default:
            return code;
    }
}

bool IsModifierVk(int vk) {
    return (vk >= 0xA0 && vk <= 0xA5) || vk == 0x5B || vk == 0x5C;
}

std::vector<PredefinedKey> PredefinedKeyGroup(int group) {
    std::vector<PredefinedKey> keys;
    if (group == 2) {
        for (int usage = 4; usage <= 29; ++usage) keys.push_back({2, usage, kLetterNames[usage - 4]});
        keys.push_back({2, 39, kDigitNames[0]});
        for (int usage = 30; usage <= 38; ++usage) keys.push_back({2, usage, kDigitNames[usage - 29]});
        return keys;
    }
    for (const PredefinedKey& key : kPredefinedKeys)
        if (key.group == group) keys.push_back(key);
    return keys;
}
