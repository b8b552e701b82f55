#pragma once
// The values of the performance and power options as the pages show and store
// them: the report-rate cards, the sensor option bits, the button response time
// and the deep-sleep choices. Pure: no window, no store.
#include <array>
#include <string>

struct ReportRateItem {
    const wchar_t* text;
    int value;   // "report_rate"
    int colour;  // COLORREF of the card's band
};
constexpr std::array<ReportRateItem, 4> kReportRateItems{{
    {L"125Hz", 0, 0x0108F1},
    {L"250Hz", 1, 0xED6B00},
    {L"500Hz", 2, 0x4DF600},
    {L"1000Hz", 3, 0x20A3FF},
}};
constexpr int kReportRateReset = 1;

// The three sensor options are bits 1, 2 and 4 of "sensor_flag".
constexpr std::array<int, 3> kSensorBits{1, 2, 4};
bool SensorBitSet(int flag, int box);
// The flag the boxes make; bits beyond the three options are not kept.
int SensorFlagFromBoxes(bool first, bool second, bool third);

constexpr int kRespondTimeMin = 1;
constexpr int kRespondTimeMax = 50;
int ClampRespondTime(int value);

// Deep-sleep choices in list order: the number shown with the minutes or the
// hours text, and the stored seconds.
struct DeepSleepChoice {
    int number;
    bool hours;
    int seconds;
};
constexpr std::array<DeepSleepChoice, 13> kDeepSleepChoices{{
    {3, false, 180},
    {4, false, 240},
    {5, false, 300},
    {10, false, 600},
    {15, false, 900},
    {20, false, 1200},
    {30, false, 1800},
    {40, false, 2400},
    {50, false, 3000},
    {1, true, 3600},
    {2, true, 7200},
    {3, true, 10800},
    {4, true, 14400},
}};
constexpr int kDeepSleepInitialChoice = 5;  // selected when the page is built
std::wstring DeepSleepText(const DeepSleepChoice& choice, const std::wstring& minutes,
                           const std::wstring& hours);
// The position of a stored value in the list; -1 when it is not one of them.
int DeepSleepChoiceIndex(int seconds);
