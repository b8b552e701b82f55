#include "features/PerformanceOptions.h"

#include <algorithm>

bool SensorBitSet(int flag, int box) {
    return box >= 0 && box < int(kSensorBits.size()) && (flag & kSensorBits[box]) != 0;
}

int SensorFlagFromBoxes(bool first, bool second, bool third) {
    return (first ? kSensorBits[0] : 0) | (second ? kSensorBits[1] : 0) | (third ? kSensorBits[2] : 0);
}

int ClampRespondTime(int value) {
    return std::clamp(value, kRespondTimeMin, kRespondTimeMax);
}

std::wstring DeepSleepText(const DeepSleepChoice& choice, const std::wstring& minutes,
                           const std::wstring& hours) {
    return std::to_wstring(choice.number) + (choice.hours ? hours : minutes);
}

int DeepSleepChoiceIndex(int seconds) {
    for (size_t i = 0; i < kDeepSleepChoices.size(); ++i)
        if (kDeepSleepChoices[i].seconds == seconds) return int(i);
    return -1;
}
