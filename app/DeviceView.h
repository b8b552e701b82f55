#pragma once
// What the device worker tells about the mouse. The main window shows it with its
// widgets (battery indicator, device list, version labels, DPI control, pages,
// pop-ups); the command-line tool and the tests follow what they need of it. Every
// handler does nothing unless overridden. Calls come from the worker thread.
#include <string>

#include "app/DeviceEvents.h"
#include "device/DeviceCatalog.h"

class DeviceView {
  public:
    virtual ~DeviceView() = default;

    // Battery indicator and the device list's battery of a model.
    virtual void SetBatteryInfo(int /*level*/, int /*charging*/) {}
    virtual void SetDeviceBattery(int /*deviceType*/, int /*charging*/, int /*level*/) {}

    // Device list.
    virtual void SetAllDeviceState(int /*state*/) {}
    virtual void SetDeviceState(int /*deviceType*/, int /*deviceMode*/, int /*online*/) {}
    virtual void SetDeviceVersion(int /*deviceType*/, int /*release*/) {}
    // Selects a model; returns the model selected afterwards. Without a list:
    // the stored model, or the default model when none is stored.
    virtual int SelectDevice(int deviceType) { return EffectiveDeviceType(deviceType); }

    // Firmware version labels (the whole text), and the active profile's name.
    virtual void SetMouseVersionLabel(const std::wstring& /*text*/) {}
    virtual void SetReceiverVersionLabel(const std::wstring& /*text*/) {}
    virtual void SetProfileTitle(const std::wstring& /*name*/) {}

    // No mouse to talk to; a mouse connected (deviceMode 0 the cable, 1 the receiver).
    virtual void ShowNotConnectedView() {}
    virtual void ShowDeviceListView(int /*deviceMode*/) {}

    // The mouse's DPI button moved the active stage (already stored).
    virtual void SelectDpiStage(int /*index*/) {}

    // What happened to the mouse's values or its link (DeviceEvents.h).
    virtual void OnDeviceEvent(DeviceEvent /*event*/) {}

    // The wait dialog of a switch or a factory reset; the window during that reset.
    virtual void CloseWaitDialog() {}
    virtual void EnableMainWindow(bool /*enable*/) {}

    // The store has a repair or a failure to tell (DataStore's notices): the
    // window shows it once.
    virtual void TellStoreProblems() {}
    // The mouse did not take a change it was sent; told once until one is taken.
    virtual void TellRefusedWrite() {}
};

// A view that shows nothing (the command-line tool, benchmarks).
class SilentDeviceView : public DeviceView {};
