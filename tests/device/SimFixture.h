#pragma once
// A device manager on a fresh simulation, with the catalog's identities of models 101
// and 102 and short waits, so that silent-device cases finish quickly.
#include <gtest/gtest.h>

#include <memory>

#include "device/DeviceManager.h"
#include "device/Hotplug.h"
#include "sim/SimBackend.h"

inline DeviceTimings FastTimings() {
    DeviceTimings t;
    t.readTimeoutMs = 20;
    t.readAttempts = 3;
    t.emptyReadPauseMs = 1;
    t.handshakeAttempts = 2;
    t.handshakePauseMs = 1;
    t.pollTimeoutMs = 5;
    return t;
}

inline std::vector<HotplugMode> CatalogModes() {
    return {{kModeCable, 0x3A5C, 0x0108, L"VID_3A5C&PID_0108&MI_01"},
            {kModeReceiver, 0x3A5C, 0x0118, L"VID_3A5C&PID_0118&MI_01"},
            {kModeCable, 0x3A5C, 0x0106, L"VID_3A5C&PID_0106&MI_01"},
            {kModeReceiver, 0x3A5C, 0x0116, L"VID_3A5C&PID_0116&MI_01"}};
}

class SimFixture : public ::testing::Test {
  protected:
    explicit SimFixture(std::vector<int32_t> mice = {101})
        : sim(std::make_shared<SimBackend>(std::move(mice))), manager(sim) {
        manager.SetTimings(FastTimings());
        for (const HotplugMode& mode : CatalogModes())
            manager.AddSupportedId(mode.vid, mode.pid, L"",
                                   mode.pid == 0x0108 || mode.pid == 0x0118 ? 101 : 102, mode.deviceMode);
        sim->SetPairingDelay(std::chrono::milliseconds(20));
    }

    // Every report the program sent was framed as the mouse expects.
    void TearDown() override { EXPECT_EQ(sim->Trace().Rejections(), std::vector<std::string>{}); }

    // Re-enumerates and selects a model, as a refresh does.
    void Refresh(int32_t deviceType = 101) {
        manager.Reenumerate();
        manager.SetCurrentDeviceType(deviceType);
    }

    // Sends a bare get-information request; the buffer holds what came back.
    bool SendGetInfo(ReportBuffer& buffer) {
        FrameReport(buffer, kCmdGetInfo, 0);
        return manager.Send(buffer, true);
    }

    std::shared_ptr<SimBackend> sim;
    DeviceManager manager;
};
