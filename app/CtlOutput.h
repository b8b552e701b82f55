#pragma once
// Everything vantorelctl prints on its standard output, from plain records that
// both of its ways to the mouse fill (its own worker, or the running program over
// the bus): so the two print the same, and another format has one place to go.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/dbus/MouseBus.h"

// `info`.
struct CtlInfo {
    struct Model {
        int deviceType = 0;
        std::string name;
        bool selected = false;
    };
    struct Device {
        uint16_t vid = 0;
        uint16_t pid = 0;
        std::string product;
        int deviceType = 0;
        int mode = 0;    // 0 cable, 1 receiver
        int online = 0;  // 0 not answering, 1 online, 2 mouse offline
    };
    std::vector<Model> models;
    std::vector<Device> devices;
    std::string connection;  // "cable" or "receiver"
    int batteryLevel = 0;
    bool charging = false;
    std::string mouseFirmware;
    std::string receiverFirmware;  // empty when the receiver did not answer
};
void PrintInfo(std::ostream& out, const CtlInfo& info);

// `profile` without a number.
struct CtlProfile {
    int32_t id = 0;
    std::string name;
    bool active = false;
};
void PrintProfiles(std::ostream& out, const std::vector<CtlProfile>& profiles);

// `get KEY`.
void PrintValue(std::ostream& out, const std::string& value);

// `watch`: what changed between two states of a mouse (null before: it came;
// null after: it went). A mouse's own lines (battery, profile, DPI level) are
// told for the model the window shows only.
struct WatchEvent {
    enum class Kind { Mouse, Battery, Profile, DpiLevel };
    Kind kind = Kind::Mouse;
    std::string model;       // Mouse
    std::string connection;  // Mouse: "cable", "receiver"; empty once unplugged
    bool online = false;     // Mouse
    int number = 0;          // Battery: percent; Profile: its number; DpiLevel: the level
    bool charging = false;   // Battery
    std::string name;        // Profile
    int dpi = 0;             // DpiLevel
};
std::vector<WatchEvent> WatchEventsFor(const MouseDeviceProperties* before, const MouseDeviceProperties* after);
// One line each, flushed at once (a script reads them as they come).
void PrintWatchEvent(std::ostream& out, const WatchEvent& event);
