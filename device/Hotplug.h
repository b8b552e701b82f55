#pragma once
// Hot-plug decisions of the main window: which worker task an interface that arrived
// or left calls for. They only decide and queue; the refresh runs on the worker.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/HidBackend.h"
#include "protocol/WorkerTasks.h"

class DeviceManager;

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

// An interface arrived: task 2 when it is a vendor interface and some catalog
// identity has no record yet, else kTaskNone.
int DecideArrival(const std::string& path, const std::vector<HotplugMode>& modes, DeviceManager& manager);

// An interface left: task 3 when devices are present and the path contains the
// hid_interface of an identity that still has a record, else kTaskNone.
int DecideRemoval(const std::string& path, const std::vector<HotplugMode>& modes, bool devicesPresent,
                  const DeviceManager& manager);

struct HotplugActions {
    std::function<void(int task)> queueTask;
    std::function<void()> closePopups;  // filled by the main window
};

// The whole handling of one event: decides, queues the task and closes the pop-ups.
// Returns the task queued (kTaskNone for none).
int OnDeviceChange(DeviceChange change, const std::string& path, const std::vector<HotplugMode>& modes,
                   bool devicesPresent, DeviceManager& manager, const HotplugActions& actions);
