#pragma once
// What the device worker shows on screen. The main window implements it with its
// widgets (battery indicator, device list, version labels, DPI control and slider,
// pages, pop-ups); the command-line tool and the tests have their own. Calls come
// from the worker thread.
#include <string>

#include "device/DeviceCatalog.h"

class DeviceView {
  public:
    virtual ~DeviceView() = default;

    // Battery indicator and the device list's battery of a model.
    virtual void SetBatteryInfo(int level, int charging) = 0;
    virtual void SetDeviceBattery(int deviceType, int charging, int level) = 0;

    // Device list.
    virtual void SetAllDeviceState(int state) = 0;
    virtual void SetDeviceState(int deviceType, int deviceMode, int online) = 0;
    virtual void SetDeviceVersion(int deviceType, int release) = 0;
    // Selects a model; returns the model selected afterwards.
    virtual int SelectDevice(int deviceType) = 0;

    // Firmware version labels (the whole text), and the profile button's title.
    virtual void SetMouseVersionLabel(const std::wstring& text) = 0;
    virtual void SetReceiverVersionLabel(const std::wstring& text) = 0;
    virtual void SetProfileTitle(const std::wstring& name) = 0;

    // The not-connected view (title text 50, first tab, tabs, picture and device list
    // hidden) and the device-list view (title text 51 for the cable, 52 the receiver).
    virtual void ShowNotConnectedView() = 0;
    virtual void ShowDeviceListView(int deviceMode) = 0;

    // Selects a DPI stage in the DPI control and moves the slider to its DPI.
    virtual void SelectDpiStage(int index) = 0;

    // Page reloads from the store.
    virtual void ReloadButtonPage() = 0;
    virtual void ReloadMacroList() = 0;
    virtual void ReloadDpiPerformancePage() = 0;
    virtual void ReloadLightingPage() = 0;

    virtual void StopMacroRecording() = 0;
    virtual void ClosePopups() = 0;
    virtual void CloseWaitDialog() = 0;
    virtual void EnableMainWindow(bool enable) = 0;

    // The store has a repair or a failure to tell (DataStore's notices): the
    // window shows it once.
    virtual void TellStoreProblems() {}
    // The mouse did not take a change it was sent; told once until one is taken.
    virtual void TellRefusedWrite() {}
};

// A view that shows nothing (the command-line tool, benchmarks). The device list it
// stands for selects the stored model, or the default model when none is stored.
class SilentDeviceView : public DeviceView {
  public:
    void SetBatteryInfo(int, int) override {}
    void SetDeviceBattery(int, int, int) override {}
    void SetAllDeviceState(int) override {}
    void SetDeviceState(int, int, int) override {}
    void SetDeviceVersion(int, int) override {}
    int SelectDevice(int deviceType) override { return EffectiveDeviceType(deviceType); }
    void SetMouseVersionLabel(const std::wstring&) override {}
    void SetReceiverVersionLabel(const std::wstring&) override {}
    void SetProfileTitle(const std::wstring&) override {}
    void ShowNotConnectedView() override {}
    void ShowDeviceListView(int) override {}
    void SelectDpiStage(int) override {}
    void ReloadButtonPage() override {}
    void ReloadMacroList() override {}
    void ReloadDpiPerformancePage() override {}
    void ReloadLightingPage() override {}
    void StopMacroRecording() override {}
    void ClosePopups() override {}
    void CloseWaitDialog() override {}
    void EnableMainWindow(bool) override {}
};
