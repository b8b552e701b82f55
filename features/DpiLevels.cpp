#include "features/DpiLevels.h"

#include <algorithm>

std::wstring DpiValueKey(int level) {
    return L"dpi_group" + std::to_wstring(level) + L"_value";
}

std::wstring DpiColourKey(int level) {
    return L"dpi_group" + std::to_wstring(level) + L"_rgb";
}

int MaxDpiFor(int deviceType) {
    return deviceType == kDpiWideModel ? kDpiTypedMaxWide : kDpiTypedMax;
}

int DpiSliderMaxFor(int deviceType) {
    return DpiToSlider(MaxDpiFor(deviceType));
}

int CorrectTypedDpi(int typed, int deviceType) {
    const int top = MaxDpiFor(deviceType);
    const int rounded = typed / kDpiTypedStep * kDpiTypedStep;
    return std::clamp(rounded, kDpiTypedMin, top);
}

int ShownLevelCount(int storedCount) {
    return std::clamp(storedCount, 1, kDpiLevelMax);
}

int ShownActiveLevel(int storedIndex, int count) {
    return storedIndex >= 0 && storedIndex < count ? storedIndex : 0;
}

int ActiveLevelAfterCount(int active, int count) {
    if (count < 1) return 0;
    return active >= count ? count - 1 : std::max(active, 0);
}
