#pragma once
// Everything vantorelctl prints on its standard output: the readable text of each
// command, and its JSON form (--json) for scripts. The records below are filled by
// whichever way reached the mouse (the tool's own worker, or the running program
// over the bus), so both print the same, byte for byte.
//
// The JSON field names are stable and listed in the manual page vantorelctl(1); a
// new field may be added, none is renamed or dropped. Words are fixed English, like
// the rest of the tool's output, so that scripts may rely on them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/VantorelCtlKeys.h"
#include "platform/dbus/MouseBus.h"

// `info`.
struct CtlInfo {
    struct Model {
        int deviceType = 0;
        std::string name;
        bool selected = false;
    };
    struct Device {
        int vid = 0;
        int pid = 0;
        std::string product;
        int deviceType = 0;
        int mode = 0;    // 0 cable, 1 receiver
        int online = 0;  // 0 not answering, 1 online, 2 mouse offline (its receiver answers)
    };
    std::vector<Model> models;
    std::vector<Device> devices;
    std::string connection;  // of the selected model's device: "cable" or "receiver"
    int batteryLevel = 0;
    bool charging = false;
    std::string mouseFirmware;
    std::string receiverFirmware;   // empty when there is no receiver
    std::optional<int> reportRate;  // "report_rate" of the active profile
    std::optional<int> dpiIndex;    // "dpi_index"
    std::optional<int> dpi;         // the DPI of that level
};

// `profile` without a number (and with one, under --json, after the switch).
struct CtlProfiles {
    struct Profile {
        int32_t id = 0;
        std::string name;
    };
    std::vector<Profile> profiles;
    int32_t active = 0;
};

// `watch`: what changed between two states of a mouse (null before: it came; null
// after: it went). A mouse's own events (battery, profile, DPI level) are told for
// the model the window shows only.
struct WatchEvent {
    enum class Kind { Mouse, Battery, Profile, DpiLevel };
    Kind kind = Kind::Mouse;
    std::string model;       // Mouse
    std::string connection;  // Mouse: "cable", "receiver"; empty once unplugged
    bool online = false;     // Mouse
    int number = 0;          // Battery: percent; Profile: its id; DpiLevel: the level, from 0
    bool charging = false;   // Battery
    std::string name;        // Profile
    int dpi = 0;             // DpiLevel
};
std::vector<WatchEvent> WatchEventsFor(const MouseDeviceProperties* before,
                                       const MouseDeviceProperties* after);

// Each ends with a newline; under JSON each is one object on one line.
std::string FormatCtlInfo(const CtlInfo& info, bool json);
// One stored value: "3 (1000 Hz)", or the raw text alone when it has no readable form.
std::string FormatCtlValue(const std::string& key, const std::string& raw, bool json);
std::string FormatCtlProfiles(const CtlProfiles& profiles, bool json);
std::string FormatCtlKeys(const std::vector<CtlKey>& keys, bool json);
std::string FormatCtlVersion(const std::string& version, bool json);
std::string FormatCtlWatchEvent(const WatchEvent& event, bool json);

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& text);
