#pragma once
// The lighting modes as the lighting page keeps them per profile: the seven
// rows a profile gets on its first load, which parameters each mode uses, the
// preset colours and the colour arithmetic of the R, G and B boxes. Pure: no
// window, no store.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/StoreRecords.h"

// Bits of `config_func`: the parameters a mode uses.
constexpr int32_t kLightUsesBrightness = 0x01;
constexpr int32_t kLightUsesSpeed = 0x02;
constexpr int32_t kLightUsesColour = 0x10;

constexpr int32_t kLightModeCount = 7;  // modes 0 to 6
constexpr int32_t kLightDefaultActiveMode = 3;
constexpr int32_t kLightMaxLevel = 255;    // brightness and speed
constexpr int32_t kLightMaxChannel = 255;  // red, green, blue

struct LightModeInfo {
    int32_t mode;
    const wchar_t* name;  // the built-in name stored with the row
    int32_t configFunc;
    int32_t captionText;  // language text of the mode's caption
};
extern const std::array<LightModeInfo, kLightModeCount> kLightModes;

// Colours of the preset buttons, left to right, as 0x00BBGGRR.
constexpr std::array<int32_t, 8> kLightPresetColours{0x0000FF, 0xFF00F0, 0xFF0C00, 0xFCFF00,
                                                     0x06FF00, 0x00DEFF, 0x0048FF, 0xFFFFFF};

// The seven rows a profile without lighting rows gets, modes 0 to 6, none
// active yet (the caller makes mode 3 active).
std::vector<LightData> DefaultLightRows(int32_t profile);

// What a mode shows, from its `config_func`.
struct LightControls {
    bool brightness = false;
    bool speed = false;
    bool colour = false;
};
LightControls LightControlsFor(int32_t configFunc);

// Red, green and blue of a stored colour (0x00BBGGRR); bits above are ignored.
struct LightRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};
LightRgb ColourChannels(int32_t colour);
// The stored colour of three channels, each held to 0..255.
int32_t ColourFromChannels(int red, int green, int blue);
// A colour without the byte above blue (the alpha a palette adds, or damage
// in a stored value).
int32_t ColourWithoutAlpha(uint32_t colour);

// A channel typed into a box: digits read as a number and held to 0..255.
// Empty text (the box being cleared) gives false, and the box is left to the
// user until it is left.
bool ParseChannel(const std::wstring& text, int& value);

// The preset button showing `colour`, or -1.
int PresetIndexOf(int32_t colour);

// A stored level (brightness, speed) as a slider shows it.
int32_t ClampLightLevel(int32_t level);
