#pragma once
// Real HID devices through hidapi's hidraw back end; hot-plug events from udev.
#include <mutex>

#include "platform/HidBackend.h"
#include "platform/UdevMonitor.h"

class HidrawBackend : public HidBackend {
  public:
    HidrawBackend() = default;
    ~HidrawBackend() override;

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::shared_ptr<HidDevice> Open(const std::string& path) override;
    // Opens the node itself to learn what hidapi does not say.
    HidOpenFailure ExplainOpenFailure(const HidInterfaceInfo& info) override;
    bool SetDeviceChangeHandler(DeviceChangeHandler handler) override;

  private:
    // hidapi initialisation; retried on the next call when it fails.
    bool EnsureInitialised();

    std::mutex m_lock;
    bool m_initialised = false;
    UdevMonitor m_monitor;
};
