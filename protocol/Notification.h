#pragma once
// Unsolicited reports of the mouse: byte 1 = 0xFA, byte 5 the kind, bytes 6 and 7
// its data.
#include <cstdint>

#include "protocol/Report.h"

constexpr uint8_t kNotifyStateChanged = 1;
constexpr uint8_t kNotifyDpiStage = 2;
constexpr uint8_t kNotifyBattery = 3;
constexpr uint8_t kNotifyWake = 6;
constexpr uint8_t kNotifyPcFunction = 0x50;

struct Notification {
    uint8_t kind = 0;
    uint8_t first = 0;
    uint8_t second = 0;
};

// False when the report is not a notification.
bool ParseNotification(const ReportBuffer& report, Notification& notification);
