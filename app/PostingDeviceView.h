#pragma once
// The worker's view of the main window: every call made on the worker thread is
// handed to the UI thread, where the window's own view changes the controls. The
// one call that answers (SelectDevice) is answered from a copy of the device
// list's entries kept here, with the rule the list itself applies.
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "app/DeviceView.h"

// The device list's entries as far as selection goes: which models are listed,
// in order, and whether each is online.
class DeviceListShadow {
  public:
    void SetModels(const std::vector<int>& deviceTypes);
    void SetAllDeviceState(int state);
    // The list keeps an online entry's state unless the new mode is the cable.
    void SetDeviceState(int deviceType, int deviceMode, int state);
    // The first online entry of that type, else the first online entry; the
    // selected entry's type (the first entry's when none is online, 0 when empty).
    int SelectDevice(int deviceType);

  private:
    struct Entry {
        int deviceType = 0;
        int state = 0;
    };
    std::vector<Entry> m_entries;
    int m_selected = -1;
};

class PostingDeviceView : public DeviceView {
  public:
    // `target` is used on the UI thread only, and only while this view lives.
    explicit PostingDeviceView(DeviceView& target);
    ~PostingDeviceView() override;

    // From the UI thread when the window's controls go: calls still on their way
    // are dropped, and nothing is handed on any more.
    void Detach();

    // From the UI thread when the catalog is loaded.
    void SetModels(const std::vector<int>& deviceTypes);
    // Runs on the UI thread after each call was handed on (for those who follow
    // what the window shows). Set and cleared on the UI thread.
    void SetAfterEachCall(std::function<void()> hook) { m_afterEachCall = std::move(hook); }

    void SetBatteryInfo(int level, int charging) override;
    void SetDeviceBattery(int deviceType, int charging, int level) override;
    void SetAllDeviceState(int state) override;
    void SetDeviceState(int deviceType, int deviceMode, int online) override;
    void SetDeviceVersion(int deviceType, int release) override;
    int SelectDevice(int deviceType) override;
    void SetMouseVersionLabel(const std::wstring& text) override;
    void SetReceiverVersionLabel(const std::wstring& text) override;
    void SetProfileTitle(const std::wstring& name) override;
    void ShowNotConnectedView() override;
    void ShowDeviceListView(int deviceMode) override;
    void SelectDpiStage(int index) override;
    void OnDeviceEvent(DeviceEvent event) override;
    void CloseWaitDialog() override;
    void EnableMainWindow(bool enable) override;
    void TellStoreProblems() override;
    void TellRefusedWrite() override;

  private:
    template <class F>
    void Post(F call);

    DeviceView& m_target;
    // Posted calls that run after the view is gone find this expired.
    std::shared_ptr<int> m_alive;
    std::mutex m_lock;
    DeviceListShadow m_shadow;
    std::function<void()> m_afterEachCall;  // UI thread only
};
