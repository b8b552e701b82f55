#include "app/MouseSnapshot.h"

#include <algorithm>

#include "device/DeviceMainDef.h"
#include "device/DeviceCatalog.h"
#include "device/DeviceManager.h"
#include "features/DpiLevels.h"
#include "base/TextConv.h"
#include "base/AppContext.h"
#include "base/ParseInt.h"
#include "storage/ConfigDefaults.h"
#include "storage/DataStore.h"

using Orvix::WideToUtf8;

namespace {

// The active profile as the pages show it: its settings, DPI levels and profiles.
void ReadProfile(const DeviceMainDef& state, DataStore& store, MouseDeviceProperties& device) {
    const int32_t profile = state.GetCurrentProfile();
    device.activeProfile = profile;
    // One consistent view: a page or the worker may be writing meanwhile.
    store.Lock();
    std::vector<ProfileData> profiles;
    store.ListProfiles(profiles, GetCurrentLcid());
    for (const ProfileData& p : profiles) device.profiles.emplace_back(p.profile, WideToUtf8(p.name));
    for (const ConfigDefault& row : kConfigDefaults) {
        std::wstring value;
        if (!store.GetConfigValue(profile, row.key, value)) continue;
        if (std::wstring(row.key) == L"version")  // the one text among the numbers
            device.settingsVersion = WideToUtf8(value);
        else
            device.settings[WideToUtf8(row.key)] = ParseInt(value);
    }
    store.Unlock();
    auto setting = [&](const char* key) {
        auto found = device.settings.find(key);
        return found == device.settings.end() ? 0 : found->second;
    };
    const int count = ShownLevelCount(setting("dpi_count"));
    for (int level = 0; level < count; ++level)
        device.dpiLevels.push_back(setting(WideToUtf8(DpiValueKey(level)).c_str()));
    device.activeDpiLevel = ShownActiveLevel(setting("dpi_index"), count);
    device.reportRate = setting("report_rate");
}

}  // namespace

std::vector<MouseDeviceProperties> BuildMouseSnapshot(const DeviceMainDef& state, DataStore& store,
                                                      const DeviceManager& manager, const DeviceCatalog& catalog) {
    const std::vector<DeviceRecord> records = manager.GetRecords();
    std::vector<MouseDeviceProperties> devices;
    for (const CatalogEntry& model : catalog.models) {
        std::vector<const DeviceRecord*> own;
        for (const DeviceRecord& r : records)
            if (r.deviceType == model.deviceType) own.push_back(&r);
        if (own.empty()) continue;

        MouseDeviceProperties device;
        device.objectName = MouseObjectName(WideToUtf8(model.deviceAttr), model.deviceType);
        device.model = WideToUtf8(model.name);
        device.deviceType = model.deviceType;
        device.selected = model.deviceType == state.GetCurrentDeviceType();
        bool cable = false;
        const DeviceRecord* answering = nullptr;
        for (const DeviceRecord* r : own) {
            device.interfaces.push_back({uint16_t(r->vid), uint16_t(r->pid), WideToUtf8(r->product),
                                         r->deviceMode, r->online});
            cable = cable || r->deviceMode == kModeCable;
            if (!answering && r->online == kOnline) answering = r;
        }
        if (!device.selected) {
            device.connection = cable ? "cable" : "receiver";
            device.online = answering != nullptr;
            if (answering) {
                device.batteryLevel = answering->batteryLevel;
                device.charging = answering->charging == 1;
            }
            devices.push_back(std::move(device));
            continue;
        }
        const int mode = manager.GetCurrentDevMode();
        device.connection = mode == kModeCable || (mode < 0 && cable) ? "cable" : "receiver";
        // Connected at the last read, and its receiver has not said the mouse went off since.
        device.online = state.IsConnected() && mode >= 0;
        const DeviceValues values = state.GetDeviceValues();
        device.batteryLevel = values.batteryLevel;
        device.charging = values.charging == 1;
        device.firmwareVersion = WideToUtf8(state.GetMouseVersion());
        device.receiverFirmwareVersion = WideToUtf8(state.GetReceiverVersion());
        ReadProfile(state, store, device);
        devices.push_back(std::move(device));
    }
    return devices;
}
