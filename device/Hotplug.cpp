#include "device/Hotplug.h"

#include <optional>

#include "device/DeviceManager.h"
#include "orvix/core/TextConv.h"
#include "platform/HidPath.h"

bool IsVendorInterface(HidBackend& backend, const std::string& path) {
    std::shared_ptr<HidDevice> handle = backend.Open(path);
    if (!handle) return false;
    uint16_t usagePage = 0, usage = 0;
    const bool vendor =
        handle->GetUsage(usagePage, usage) && usagePage == kVendorUsagePage && usage == kVendorUsage;
    handle->Close();
    return vendor;
}

int DecideArrival(const std::string& path, const std::vector<HotplugMode>& modes, DeviceManager& manager) {
    std::optional<bool> vendor;  // opened once, and only when the catalog has identities
    for (const HotplugMode& mode : modes) {
        if (!vendor) vendor = IsVendorInterface(*manager.GetBackend(), path);
        if (!*vendor) return kTaskNone;
        if (manager.FindRecordIndex(mode.vid, mode.pid, mode.deviceMode) < 0) return kTaskReadAfterChangeLong;
    }
    return kTaskNone;
}

int DecideRemoval(const std::string& path, const std::vector<HotplugMode>& modes, bool devicesPresent,
                  const DeviceManager& manager) {
    if (!devicesPresent) return kTaskNone;
    const std::string upper = ToUpperAscii(path);
    for (const HotplugMode& mode : modes) {
        if (mode.hidInterface.empty()) continue;
        if (upper.find(ToUpperAscii(Orvix::WideToUtf8(mode.hidInterface))) == std::string::npos) continue;
        if (manager.FindRecordIndex(mode.vid, mode.pid, mode.deviceMode) >= 0)
            return kTaskReadAfterChangeShort;
    }
    return kTaskNone;
}

int OnDeviceChange(DeviceChange change, const std::string& path, const std::vector<HotplugMode>& modes,
                   bool devicesPresent, DeviceManager& manager, const HotplugActions& actions) {
    const int task = change == DeviceChange::Arrival ? DecideArrival(path, modes, manager)
                                                     : DecideRemoval(path, modes, devicesPresent, manager);
    if (task == kTaskNone) return task;
    if (actions.queueTask) actions.queueTask(task);
    if (actions.closePopups) actions.closePopups();
    return task;
}
