#include "features/RawInput.h"

#include "base/KeyCodes.h"

namespace {

struct KeyOverride {
    int vk;
    const wchar_t* name;
    int code;
};

// Keys whose name does not come from the layout; the generic Shift, Ctrl and Alt
// are also delivered as their left-hand keys.
constexpr KeyOverride kOverrides[] = {
    {16, L"Shift", 160},       {17, L"Ctrl", 162},       {18, L"Alt", 164},         {19, L"Pause", 19},
    {44, L"Print Screen", 44}, {91, L"Windows", 91},     {92, L"RWindows", 92},     {93, L"Application", 93},
    {144, L"Num Lock", 144},   {160, L"Shift", 160},     {161, L"RShift", 161},     {162, L"Ctrl", 162},
    {163, L"RCtrl", 163},      {164, L"Alt", 164},       {165, L"RAlt", 165},       {166, L"Backward", 166},
    {167, L"Forward", 167},    {168, L"Refresh", 168},   {169, L"Stop", 169},       {178, L"Stop", 178},
    {170, L"Search", 170},     {171, L"Favorites", 171}, {172, L"Home", 172},       {173, L"Vol Mute", 173},
    {174, L"Vol Down", 174},   {175, L"Vol Up", 175},    {176, L"Next", 176},       {177, L"Prev", 177},
    {179, L"Play/Pause", 179}, {180, L"EMail", 180},     {181, L"Multimedia", 181}, {182, L"Computer", 182},
    {183, L"Cal", 183},
};

struct ButtonFlag {
    unsigned flag;
    const wchar_t* name;
    int bit;
    int action;
};

// Tested in this order; the first match wins.
constexpr ButtonFlag kButtonFlags[] = {
    {kRawLeftDown, L"LB", 1, kActionDown},
    {kRawMiddleDown, L"MB", 4, kActionDown},
    {kRawRightDown, L"RB", 2, kActionDown},
    {kRawLeftUp, L"LB", 1, kActionUp},
    {kRawMiddleUp, L"MB", 4, kActionUp},
    {kRawRightUp, L"RB", 2, kActionUp},
    {kRawButton4Down, L"Backward", 8, kActionDown},
    {kRawButton4Up, L"Backward", 8, kActionUp},
    {kRawButton5Down, L"Forward", 16, kActionDown},
    {kRawButton5Up, L"Forward", 16, kActionUp},
};

}  // namespace

std::wstring DefaultKeyName(int vk) {
    return UsageName(VkToUsage(vk));
}

RawInputReader::RawInputReader(KeyNameSource keyName) : m_keyName(std::move(keyName)) {}

InputEvent RawInputReader::TranslateKeyboard(int vk, bool keyUp) {
    InputEvent event;
    event.kind = kInputKeyboard;
    event.action = keyUp ? kActionUp : kActionDown;
    event.code = vk;
    bool named = false;
    for (const KeyOverride& o : kOverrides) {
        if (o.vk != vk) continue;
        event.name = o.name;
        event.code = o.code;
        named = true;
        break;
    }
    if (!named && m_keyName) event.name = m_keyName(vk);
    if (keyUp) {
        m_pressed.erase(event.code);
    } else if (!m_pressed.insert(event.code).second) {
        event.kind = kInputIgnored;  // an auto-repeat of a held key
    }
    return event;
}

InputEvent RawInputReader::TranslateMouse(unsigned buttonFlags, int wheelData) {
    InputEvent event;
    event.kind = kInputMouse;
    if (buttonFlags & kRawWheel) {
        const bool up = wheelData == kWheelDelta;
        event.name = up ? L"Scroll Up" : L"Scroll Down";
        event.code = up ? 1 : 255;
        event.action = up ? kActionWheelUp : kActionWheelDown;
        return event;
    }
    for (const ButtonFlag& b : kButtonFlags) {
        if (!(buttonFlags & b.flag)) continue;
        event.name = b.name;
        event.code = b.bit;
        event.action = b.action;
        break;
    }
    return event;
}

InputEvent RawInputReader::TranslateOther() const {
    InputEvent event;
    event.kind = kInputOtherDevice;
    return event;
}

void RawInputReader::Release() {
    m_pressed.clear();
}
