#pragma once
// Hot-plug decisions of the main window: which read of the devices an interface that
// arrived or left calls for. They only decide and ask for it; the refresh runs on the worker.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/HidBackend.h"

class DeviceManager;

// What a device change calls for: nothing, or a read of the devices after it (the
// long form, for an arrival, ends with the initial read).
enum class DeviceChangeRead : uint8_t { None, Long, Short };

// What a hot-plug decision needs of one entry of the catalog's mode list.
struct HotplugMode {
    int32_t deviceMode = 0;
    int32_t vid = 0;
    int32_t pid = 0;
    std::wstring hidInterface;  // fragment of the upper-case interface path, may be empty
};

// True when the interface at `path` opens and its collection is the vendor one
// (usage page 0xFFB2, usage 1). The interface is closed again in every case.
bool IsVendorInterface(HidBackend& backend, const std::string& path);

// An interface arrived: the long read when it is a vendor interface and some
// catalog identity has no record yet, else None.
DeviceChangeRead DecideArrival(const std::string& path, const std::vector<HotplugMode>& modes, DeviceManager& manager);

// An interface left: the short read when devices are present and the path contains
// the hid_interface of an identity that still has a record, else None.
DeviceChangeRead DecideRemoval(const std::string& path, const std::vector<HotplugMode>& modes, bool devicesPresent,
                               const DeviceManager& manager);

struct HotplugActions {
    std::function<void(DeviceChangeRead read)> queueRead;
    std::function<void()> closePopups;  // filled by the main window
};

// The whole handling of one event: decides, asks for the read and closes the pop-ups.
// Returns the read asked for (None for none).
DeviceChangeRead OnDeviceChange(DeviceChange change, const std::string& path, const std::vector<HotplugMode>& modes,
                                bool devicesPresent, DeviceManager& manager, const HotplugActions& actions);
