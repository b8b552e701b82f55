#pragma once
// The reports that change the mouse: one setting (command 0x13), a factory reset
// (0x0F) and the button map (0x12). Values come from the active profile's stored
// configuration, read through `ConfigReader` when the report is built.
#include <cstdint>
#include <functional>
#include <string>

#include "base/ButtonFunction.h"
#include "protocol/Report.h"

// Setting ids (byte 5 of a 0x13 report).
constexpr uint8_t kSettingDpiStage = 0x01;
constexpr uint8_t kSettingReportRate = 0x02;
constexpr uint8_t kSettingScroll = 0x05;
constexpr uint8_t kSettingLiftoff = 0x06;
constexpr uint8_t kSettingSensor = 0x07;
constexpr uint8_t kSettingHighspeed = 0x08;
constexpr uint8_t kSettingRespondTime = 0x0A;
constexpr uint8_t kSettingSleep = 0x0B;
constexpr uint8_t kSettingMoveWakeup = 0x0C;

// Reset groups (byte 5 of a 0x0F report).
constexpr uint8_t kResetDpiGroup = 0x08;
constexpr uint8_t kResetEverything = 0xFF;

// The stored text of a configuration key of the active profile ("" when missing).
using ConfigReader = std::function<std::wstring(const std::wstring& key)>;

// The setting whose report carries a configuration key, or 0 for keys kept in
// the store only.
uint8_t SettingForConfigKey(const std::wstring& key);

// The settings the full write sends, in its order.
extern const uint8_t kFullWriteSettings[8];

// False (and the report untouched) for an unknown setting id.
bool BuildSettingReport(uint8_t settingId, const ConfigReader& read, ReportBuffer& report);
void BuildResetReport(uint8_t group, ReportBuffer& report);
void BuildButtonMapReport(const ButtonMap& map, ReportBuffer& report);
