#pragma once
// What the bus interface shows of each connected mouse, read from the controller's
// state, the store of the active profile and the device manager's records. The
// window publishes it after every change; `vantorelctl watch` compares two of them.
#include <vector>

#include "platform/dbus/MouseBus.h"

class DataStore;
class DeviceMainDef;
class DeviceManager;
struct DeviceCatalog;

// One entry per catalog model with a record, in catalog order. The model the
// controller shows carries its settings; the others only what the device list knows.
std::vector<MouseDeviceProperties> BuildMouseSnapshot(const DeviceMainDef& state, DataStore& store,
                                                      const DeviceManager& manager, const DeviceCatalog& catalog);
