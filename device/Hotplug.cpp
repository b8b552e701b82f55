#include "device/Hotplug.h"

#include <optional>

#include "device/DeviceManager.h"
#include "base/TextConv.h"
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

DeviceChangeRead DecideArrival(const std::string& path, const std::vector<HotplugMode>& modes, DeviceManager& manager) {
    std::optional<bool> vendor;  // opened once, and only when the catalog has identities
    for (const HotplugMode& mode : modes) {
        if (!vendor) vendor = IsVendorInterface(*manager.GetBackend(), path);
        if (!*vendor) return DeviceChangeRead::None;
        if (manager.FindRecordIndex(mode.vid, mode.pid, mode.deviceMode) < 0) return DeviceChangeRead::Long;
    }
    return DeviceChangeRead::None;
}

DeviceChangeRead DecideRemoval(const std::string& path, const std::vector<HotplugMode>& modes, bool devicesPresent,
                               const DeviceManager& manager) {
    if (!devicesPresent) return DeviceChangeRead::None;
    const std::string upper = ToUpperAscii(path);
    for (const HotplugMode& mode : modes) {
        if (mode.hidInterface.empty()) continue;
        if (upper.find(ToUpperAscii(Orvix::WideToUtf8(mode.hidInterface))) == std::string::npos) continue;
        if (manager.FindRecordIndex(mode.vid, mode.pid, mode.deviceMode) >= 0)
            return DeviceChangeRead::Short;
    }
    return DeviceChangeRead::None;
}

DeviceChangeRead OnDeviceChange(DeviceChange change, const std::string& path, const std::vector<HotplugMode>& modes,
                                bool devicesPresent, DeviceManager& manager, const HotplugActions& actions) {
    const DeviceChangeRead read = change == DeviceChange::Arrival ? DecideArrival(path, modes, manager)
                                                                  : DecideRemoval(path, modes, devicesPresent, manager);
    if (read == DeviceChangeRead::None) return read;
    if (actions.queueRead) actions.queueRead(read);
    if (actions.closePopups) actions.closePopups();
    return read;
}
