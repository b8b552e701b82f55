#pragma once
// The answers the state read takes apart: the get-information answer (command
// 0x05) with the mouse's settings, battery and firmware version, and the
// get-receiver-information answer (command 0x07).
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "protocol/Report.h"

constexpr int kDpiStagesRead = 6;  // stages the information answer carries

struct MouseInfo {
    int connectionKind = 0;
    int mousePresent = 0;  // 0: the receiver answers, no mouse behind it
    int batteryLevel = 0;
    int charging = 0;
    int dpiIndex = 0;
    std::array<int, kDpiStagesRead> dpi{};  // in DPI: (raw + 1) * 50
    int reportRate = 0;
    int reportFlag = 0;
    std::wstring version;  // "major.minor.build"
    // The configuration keys the answer overwrites, in the order they are written.
    std::vector<std::pair<std::wstring, std::wstring>> storedValues;
};

// Both version bytes (9 and 10) non-zero.
bool IsValidInfoAnswer(const ReportBuffer& answer);
MouseInfo DecodeMouseInfo(const ReportBuffer& answer);

// Byte 5 is 1.
bool IsValidReceiverAnswer(const ReportBuffer& answer);

// "%x.%x.%d": the two hex digits of the major/minor byte, then the build number
// (0x12 and 7 give "1.2.7").
std::wstring FormatFirmwareVersion(uint8_t majorMinor, uint8_t build);
