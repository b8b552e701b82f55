#include "features/LightingModes.h"

#include <algorithm>

#include "base/ParseInt.h"

const std::array<LightModeInfo, kLightModeCount> kLightModes{{
    {0, L"\u5173\u95ed", 0, 280},
    {1, L"\u5355\u8272\u5e38\u4eae", kLightUsesBrightness | kLightUsesColour, 281},
    {2, L"\u5355\u8272\u547c\u5438", kLightUsesBrightness | kLightUsesSpeed | kLightUsesColour, 282},
    {3, L"\u5149\u8c31\u5faa\u73af", kLightUsesBrightness | kLightUsesSpeed, 283},
    {4, L"\u6d41\u5149", kLightUsesBrightness | kLightUsesSpeed, 284},
    {5, L"\u5355\u8272\u8dd1\u9a6c", kLightUsesBrightness | kLightUsesSpeed | kLightUsesColour, 285},
    {6, L"\u9713\u8679", kLightUsesBrightness | kLightUsesSpeed, 286},
}};

std::vector<LightData> DefaultLightRows(int32_t profile) {
    std::vector<LightData> rows;
    for (const LightModeInfo& info : kLightModes) {
        LightData row;
        row.profile = profile;
        row.name = info.name;
        row.mode = info.mode;
        row.brightness = 255;
        row.speed = 128;
        row.direction = 0;
        row.colorful = 1;
        row.colorIndex = 0;
        row.colorValue = 0x0000FF;  // red
        row.configFunc = info.configFunc;
        row.reserved = info.captionText;
        row.status = 0;
        rows.push_back(row);
    }
    return rows;
}

LightControls LightControlsFor(int32_t configFunc) {
    return {(configFunc & kLightUsesBrightness) != 0, (configFunc & kLightUsesSpeed) != 0,
            (configFunc & kLightUsesColour) != 0};
}

LightRgb ColourChannels(int32_t colour) {
    const auto bits = uint32_t(colour);
    return {int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF)};
}

int32_t ColourFromChannels(int red, int green, int blue) {
    auto channel = [](int v) { return std::clamp(v, 0, kLightMaxChannel); };
    return channel(red) | (channel(green) << 8) | (channel(blue) << 16);
}

int32_t ColourWithoutAlpha(uint32_t colour) {
    return int32_t(colour & 0xFFFFFF);
}

bool ParseChannel(const std::wstring& text, int& value) {
    if (text.empty()) return false;
    value = std::clamp(ParseInt(text), 0, kLightMaxChannel);
    return true;
}

int PresetIndexOf(int32_t colour) {
    const auto found = std::find(kLightPresetColours.begin(), kLightPresetColours.end(), colour);
    return found == kLightPresetColours.end() ? -1 : int(found - kLightPresetColours.begin());
}

int32_t ClampLightLevel(int32_t level) {
    return std::clamp(level, 0, kLightMaxLevel);
}
