#pragma once
// The rules of the DPI levels: how many there are, how a typed value and a slider
// position become a DPI, which level is active when the stored index or the level
// count does not fit, and what the reset restores. Pure: no window, no store.
#include <array>
#include <string>

constexpr int kDpiLevelMax = 7;     // levels a profile keeps
constexpr int kDpiSliderStep = 50;  // DPI per slider position
constexpr int kDpiSliderMin = 1;
constexpr int kDpiSliderMax = 480;  // 24000 DPI
constexpr int kDpiTypedStep = 100;
constexpr int kDpiTypedMin = 100;
constexpr int kDpiTypedMax = 24000;
constexpr int kDpiTypedMaxWide = 26000;  // the model whose sensor goes further
constexpr int kDpiWideModel = 101;

struct DpiLevel {
    int dpi;
    int colour;  // COLORREF, 0x00BBGGRR
};

// What the reset of the DPI area restores: seven levels, level 1 active.
constexpr std::array<DpiLevel, kDpiLevelMax> kDpiResetLevels{{
    {800, 255},         // red
    {1200, 16776960},   // cyan
    {1600, 65535},      // yellow
    {2400, 13353215},   // pink
    {5000, 65280},      // green
    {12000, 8388736},   // purple
    {24000, 16711680},  // blue
}};
constexpr int kDpiResetCount = 7;
constexpr int kDpiResetIndex = 1;

// "dpi_group%d_value" and "dpi_group%d_rgb".
std::wstring DpiValueKey(int level);
std::wstring DpiColourKey(int level);

// A typed value rounded down to a multiple of 100 and kept to 100..24000
// (..26000 for the wide model); an empty box gives 0, which becomes 100.
int CorrectTypedDpi(int typed, int deviceType);

// Slider position to DPI and back (the slider shows DPI / 50).
inline int SliderToDpi(int position) {
    return position * kDpiSliderStep;
}
inline int DpiToSlider(int dpi) {
    return dpi / kDpiSliderStep;
}

// The highest DPI a model's levels take (typed), and the slider's maximum for it:
// its scale ends there, so a level at the top has its thumb at the end.
int MaxDpiFor(int deviceType);
int DpiSliderMaxFor(int deviceType);

// A stored level count kept to 1..7.
int ShownLevelCount(int storedCount);

// The level shown as active: the stored index when it names a level in use,
// otherwise level 0 (a stored 12 shows level 0).
int ShownActiveLevel(int storedIndex, int count);

// The active level after the count changed: one that is no longer in use
// becomes the last level in use.
int ActiveLevelAfterCount(int active, int count);
