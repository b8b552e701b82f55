#pragma once
// The three code spaces keys travel in: virtual-key codes (what key capture and
// recorded macros hold), HID keyboard usages (what the mouse receives) and the
// one-byte HID modifier mask. Also the names keys are shown under and the
// predefined key lists of the key page. All functions are total: unmapped codes
// give 0 or an empty name.
#include <string>
#include <vector>

// Modifier bits of the HID mask.
constexpr int kModLeftCtrl = 0x01;
constexpr int kModLeftShift = 0x02;
constexpr int kModLeftAlt = 0x04;
constexpr int kModLeftWin = 0x08;
constexpr int kModRightCtrl = 0x10;
constexpr int kModRightShift = 0x20;
constexpr int kModRightAlt = 0x40;
constexpr int kModRightWin = 0x80;

int VkToUsage(int vk);
int UsageToVk(int usage);
std::wstring UsageName(int usage);

// Usages 0xE0 to 0xE7 give their modifier bit; every other value is passed on
// unchanged (so a key usage and a mask byte travel in the same place).
int MaskOrUsage(int usage);

// A left or right Shift, Ctrl, Alt or Win key, given as a virtual key or as a HID
// usage, gives its modifier bit; 0 gives 0; any other value is passed on unchanged.
int ModifierBit(int code);

// The virtual keys a macro sends as modifier records: left/right Shift, Ctrl,
// Alt (0xA0 to 0xA5) and the two Windows keys (0x5B, 0x5C).
bool IsModifierVk(int vk);

// One key of the predefined lists (groups 2 to 7) of the key page.
struct PredefinedKey {
    int group;
    int usage;
    const wchar_t* name;
};

// The keys of one group in list order; empty for a group outside 2 to 7.
std::vector<PredefinedKey> PredefinedKeyGroup(int group);
