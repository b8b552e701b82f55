#pragma once
// The program's own bus interface, com.vantorel.Mouse1.Device, as plain records:
// what a mouse object shows, what a caller asks of it and what it answers. The
// service (MouseService) and the client (MouseBusClient) speak it; neither header
// needs GLib.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

inline constexpr char kMouseBusName[] = "com.vantorel.Mouse";
inline constexpr char kMouseBusPath[] = "/com/vantorel/Mouse";
inline constexpr char kMouseDeviceInterface[] = "com.vantorel.Mouse1.Device";

// One HID interface of a model, as the device list knows it.
struct MouseInterface {
    uint16_t vid = 0;
    uint16_t pid = 0;
    std::string product;
    int32_t mode = 0;    // 0 cable, 1 receiver
    int32_t online = 0;  // 0 not answering, 1 online, 2 receiver without its mouse
    bool operator==(const MouseInterface&) const = default;
};

// The properties of one mouse object.
struct MouseDeviceProperties {
    std::string objectName;  // the last element of its object path
    std::string model;
    int32_t deviceType = 0;
    bool selected = false;
    std::string connection;  // "cable" or "receiver"
    bool online = false;
    int32_t batteryLevel = 0;
    bool charging = false;
    std::string firmwareVersion;
    std::string receiverFirmwareVersion;
    int32_t activeProfile = 0;
    std::vector<std::pair<int32_t, std::string>> profiles;
    std::vector<int32_t> dpiLevels;
    int32_t activeDpiLevel = 0;
    int32_t reportRate = 0;
    std::map<std::string, int32_t> settings;
    std::string settingsVersion;  // the store's "version" row, a text
    std::vector<MouseInterface> interfaces;
    bool operator==(const MouseDeviceProperties&) const = default;
};

// An object path element for a model: its catalog name with every character a
// path may not hold replaced by '_' ("vantorel_v8"); "model<type>" without one.
std::string MouseObjectName(const std::string& deviceAttr, int32_t deviceType);
std::string MouseObjectPath(const std::string& objectName);

enum class MouseMethod { SetProfile, Set, SetButton, UploadMacros, Reset };

struct MouseCall {
    MouseMethod method = MouseMethod::UploadMacros;
    std::string objectName;  // which mouse
    int32_t profile = 0;     // SetProfile
    std::string key;         // Set
    int32_t value = 0;       // Set, SetButton
    int32_t button = 0;      // SetButton
    int32_t type = 0;
    int32_t value2 = 0;
    int32_t value3 = 0;
    std::string text;
};

// The errors of the interface (com.vantorel.Mouse1.Error.<name>).
enum class MouseFault { None, InvalidArgs, OutOfRange, NoMouse, StoreUnusable, Failed };

struct MouseCallResult {
    MouseFault fault = MouseFault::None;
    std::string message;  // says what went wrong, for a person
    bool Ok() const { return fault == MouseFault::None; }
};

// "com.vantorel.Mouse1.Error.OutOfRange" and back (Failed for a name not ours).
std::string MouseFaultName(MouseFault fault);
MouseFault MouseFaultFromName(const std::string& name);
