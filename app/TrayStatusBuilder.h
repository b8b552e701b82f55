#pragma once
// What the tray icon shows, from what the main window knows of the mouse: the
// tooltip names the model and its battery ("Vantorel V8 — 64 %, charging") with
// the connection below it; the picture turns to its low-battery variant at 15 % or
// less while not charging; the menu lists the profiles, usable while a mouse is
// connected. Pure: the texts come from `text` (the current language's by default).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/TrayIcon.h"

struct TrayFacts {
    enum class Link { None, Cable, Receiver, ReceiverWithoutMouse };

    std::wstring applicationName;
    std::wstring modelName;
    Link link = Link::None;
    int batteryLevel = 0;  // 1 to 100 when read; anything else is no reading
    bool charging = false;
    std::vector<TrayStatus::Profile> profiles;
    int32_t activeProfile = 0;
};

// Language texts of the tray (the exit item's is the program's exit text).
inline constexpr int kTextTrayBattery = 1520;          // "{model} — {level} %"
inline constexpr int kTextTrayBatteryCharging = 1521;  // "{model} — {level} %, charging"
inline constexpr int kTextTrayCable = 1522;
inline constexpr int kTextTrayReceiver = 1523;
inline constexpr int kTextTrayNoMouse = 1524;
inline constexpr int kTextTrayMouseAway = 1525;
inline constexpr int kTextTrayShow = 1526;
inline constexpr int kTextTrayExit = 12;

TrayStatus BuildTrayStatus(const TrayFacts& facts, const std::function<std::wstring(int id)>& text = {});
