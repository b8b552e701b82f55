#pragma once
// Turns raw keyboard and mouse input into named input events for key capture and
// macro recording. The translation is pure: the window layer hands over what a
// key or mouse event carried (virtual key and direction; button and wheel flags),
// and the reader returns the event, keeping the set of held keys so that the
// auto-repeats of a held key come out as ignored events.
#include <cstdint>
#include <functional>
#include <set>
#include <string>

// Event kinds and actions.
constexpr int kInputIgnored = 0;
constexpr int kInputMouse = 1;
constexpr int kInputKeyboard = 2;
constexpr int kInputOtherDevice = 3;

constexpr int kActionDown = 0;  // key or button
constexpr int kActionUp = 1;
constexpr int kActionWheelUp = 3;
constexpr int kActionWheelDown = 4;

// Button flags of a raw mouse block (the values of the raw-input interface).
constexpr unsigned kRawLeftDown = 0x0001;
constexpr unsigned kRawLeftUp = 0x0002;
constexpr unsigned kRawRightDown = 0x0004;
constexpr unsigned kRawRightUp = 0x0008;
constexpr unsigned kRawMiddleDown = 0x0010;
constexpr unsigned kRawMiddleUp = 0x0020;
constexpr unsigned kRawButton4Down = 0x0040;
constexpr unsigned kRawButton4Up = 0x0080;
constexpr unsigned kRawButton5Down = 0x0100;
constexpr unsigned kRawButton5Up = 0x0200;
constexpr unsigned kRawWheel = 0x0400;

// One wheel notch upwards, in wheel data units.
constexpr int kWheelDelta = 120;

struct InputEvent {
    int kind = kInputIgnored;
    int action = 0;
    int code = 0;  // keyboard: virtual key; mouse: button bit or wheel value (1 up, 255 down)
    std::wstring name;
    uint64_t timeMs = 0;  // when the source saw it, on the window's clock (0: not known)
};

// The name the keyboard layout gives a virtual key (keys without an override).
using KeyNameSource = std::function<std::wstring(int vk)>;

// The layout-independent name: the usage name of the key's HID usage.
std::wstring DefaultKeyName(int vk);

class RawInputReader {
  public:
    explicit RawInputReader(KeyNameSource keyName = DefaultKeyName);

    // A key went down (keyUp false) or up.
    InputEvent TranslateKeyboard(int vk, bool keyUp);
    // A mouse block: its button flags and wheel data.
    InputEvent TranslateMouse(unsigned buttonFlags, int wheelData);
    // A block of any other HID device.
    InputEvent TranslateOther() const;

    // Forgets the held keys.
    void Release();

  private:
    KeyNameSource m_keyName;
    std::set<int> m_pressed;
};
