#pragma once
// The simulation as a user without access to some devices sees it: every interface
// of a denied vendor and product id is still enumerated, but opening it fails and the
// back end names the cause, as the hidraw back end does for a node owned by root.
#include <memory>
#include <mutex>
#include <set>
#include <utility>

#include "sim/SimBackend.h"

class DeniedBackend : public HidBackend {
  public:
    explicit DeniedBackend(std::shared_ptr<SimBackend> sim) : m_sim(std::move(sim)) {}

    void Deny(uint16_t vid, uint16_t pid) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_denied.insert({vid, pid});
    }
    void GrantAll() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_denied.clear();
    }
    // Failures explained as something other than a missing permission.
    void SetFailure(HidOpenFailure failure) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_failure = failure;
    }

    std::vector<HidInterfaceInfo> Enumerate() override { return m_sim->Enumerate(); }
    std::shared_ptr<HidDevice> Open(const std::string& path) override {
        for (const HidInterfaceInfo& info : m_sim->Enumerate())
            if (info.path == path && IsDenied(info)) return nullptr;
        return m_sim->Open(path);
    }
    HidOpenFailure ExplainOpenFailure(const HidInterfaceInfo& info) override {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_denied.count({info.vid, info.pid}) ? m_failure : HidOpenFailure::Unknown;
    }
    bool SetDeviceChangeHandler(DeviceChangeHandler handler) override {
        return m_sim->SetDeviceChangeHandler(std::move(handler));
    }

  private:
    bool IsDenied(const HidInterfaceInfo& info) {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_denied.count({info.vid, info.pid}) != 0;
    }

    std::shared_ptr<SimBackend> m_sim;
    std::mutex m_lock;
    std::set<std::pair<uint16_t, uint16_t>> m_denied;
    HidOpenFailure m_failure = HidOpenFailure::AccessDenied;
};
