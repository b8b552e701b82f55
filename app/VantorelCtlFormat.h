#pragma once
// What vantorelctl prints: the readable text of each command, and its JSON form
// (--json) for scripts. The JSON field names are stable and listed in the manual
// page vantorelctl(1); a new field may be added, none is renamed or dropped.
// The records below are filled by whoever asked the mouse (the tool's own worker,
// or the running program over the bus), so both print the same.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/VantorelCtlKeys.h"

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
        std::string connection;  // "cable" or "receiver"
        std::string state;       // "online", "not answering" or "mouse offline"
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

struct CtlProfiles {
    struct Profile {
        int32_t id = 0;
        std::string name;
    };
    std::vector<Profile> profiles;
    int32_t active = 0;
};

// Each ends with a newline.
std::string FormatCtlInfo(const CtlInfo& info, bool json);
// One stored value: "3 (1000 Hz)", or the raw text alone when it has no readable form.
std::string FormatCtlValue(const std::string& key, const std::string& raw, bool json);
std::string FormatCtlProfiles(const CtlProfiles& profiles, bool json);
std::string FormatCtlKeys(const std::vector<CtlKey>& keys, bool json);
std::string FormatCtlVersion(const std::string& version, bool json);

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& text);
