// The simulated devices as a HID back end: interfaces, hot-plug, per-handle queues, trace.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/HidPath.h"
#include "protocol/Report.h"
#include "sim/SimBackend.h"
#include "sim/SimSetup.h"

namespace {

std::vector<std::string> Paths(SimBackend& sim) {
    std::vector<std::string> paths;
    for (const HidInterfaceInfo& info : sim.Enumerate()) paths.push_back(info.path);
    return paths;
}

TEST(SimBackendTest, ReceiverShowsItsVendorInterfaceBesideOrdinaryOnes) {
    SimBackend sim;
    sim.Plug(SimEndpoint::Receiver);
    std::vector<HidInterfaceInfo> infos = sim.Enumerate();
    ASSERT_EQ(infos.size(), 3u);
    int vendor = 0;
    for (const HidInterfaceInfo& info : infos) {
        EXPECT_EQ(info.vid, 0x3A5C);
        EXPECT_EQ(info.pid, 0x0118);
        EXPECT_EQ(info.product, L"Vantorel V8 Receiver");
        EXPECT_EQ(info.path, ToUpperAscii(info.path));
        EXPECT_EQ(SystemPathOf(info.path), info.systemPath);
        if (info.usagePage == kVendorUsagePage && info.usage == kVendorUsage) {
            ++vendor;
            EXPECT_EQ(info.interfaceNumber, 1);
            EXPECT_NE(info.path.find("VID_3A5C&PID_0118&MI_01#"), std::string::npos) << info.path;
        }
    }
    EXPECT_EQ(vendor, 1);
}

TEST(SimBackendTest, PlugAndUnplugSendMatchingEventsAndKillOpenHandles) {
    SimBackend sim;
    std::vector<std::pair<DeviceChange, std::string>> events;
    sim.SetDeviceChangeHandler([&](DeviceChange c, const std::string& p) { events.emplace_back(c, p); });
    sim.Plug(SimEndpoint::Cable);
    std::vector<std::string> plugged = Paths(sim);
    ASSERT_EQ(events.size(), plugged.size());
    std::shared_ptr<HidDevice> handle = sim.Open(sim.InterfacePath(SimEndpoint::Cable, 1));
    ASSERT_NE(handle, nullptr);

    sim.Unplug(SimEndpoint::Cable);
    ASSERT_EQ(events.size(), 2 * plugged.size());
    for (size_t i = 0; i < plugged.size(); ++i) {
        EXPECT_EQ(events[i].first, DeviceChange::Arrival);
        EXPECT_EQ(events[plugged.size() + i], std::make_pair(DeviceChange::Removal, plugged[i]));
    }
    uint8_t buffer[kReportSize] = {kReportId, kCmdGetInfo};
    EXPECT_EQ(handle->Write(buffer, kReportSize), -1);
    EXPECT_EQ(handle->Read(buffer, kReportSize, 0), -1);
    EXPECT_TRUE(sim.Enumerate().empty());
    EXPECT_EQ(sim.Open(plugged[0]), nullptr);

    // A replug gets new device nodes, as the kernel numbers them anew.
    sim.Plug(SimEndpoint::Cable);
    EXPECT_NE(Paths(sim), plugged);
}

TEST(SimBackendTest, PairingBySwitchingTheMouseOnReattachesTheReceiver) {
    SimBackend sim;
    sim.SetPairingDelay(std::chrono::hours(1));
    sim.Plug(SimEndpoint::Receiver);
    const std::string oldVendor = sim.InterfacePath(SimEndpoint::Receiver, 1);
    std::shared_ptr<HidDevice> handle = sim.Open(oldVendor);
    ASSERT_NE(handle, nullptr);
    uint8_t report[kReportSize] = {kReportId, kCmdSetting, 1, 0, 0, 0x09};
    ASSERT_EQ(handle->Write(report, kReportSize), static_cast<int>(kReportSize));
    ASSERT_EQ(handle->Read(report, kReportSize, 100), static_cast<int>(kReportSize));  // the echo
    ASSERT_EQ(handle->Read(report, kReportSize, 100), static_cast<int>(kReportSize));
    EXPECT_EQ(report[0], kConnectionStateId);
    EXPECT_EQ(report[1], 0);

    std::vector<std::pair<DeviceChange, std::string>> events;
    sim.SetDeviceChangeHandler([&](DeviceChange c, const std::string& p) { events.emplace_back(c, p); });
    sim.SetMousePower(false);
    EXPECT_TRUE(events.empty());
    sim.SetMousePower(true);
    ASSERT_EQ(events.size(), 6u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(events[i].first, DeviceChange::Removal);
        EXPECT_EQ(events[3 + i].first, DeviceChange::Arrival);
    }
    const std::string newVendor = sim.InterfacePath(SimEndpoint::Receiver, 1);
    EXPECT_NE(newVendor, oldVendor);
    EXPECT_NE(std::find(events.begin(), events.end(), std::make_pair(DeviceChange::Arrival, newVendor)),
              events.end());

    // What the receiver sent before it left stays readable on the old handle, as on hidraw.
    ASSERT_EQ(handle->Read(report, kReportSize, 100), static_cast<int>(kReportSize));
    EXPECT_EQ(report[0], kConnectionStateId);
    EXPECT_EQ(report[1], 1);
    ASSERT_EQ(handle->Read(report, kReportSize, 100), static_cast<int>(kReportSize));
    EXPECT_EQ(report[1], kNotificationMark);
    EXPECT_EQ(report[5], 1);
    EXPECT_EQ(report[6], 1);
    EXPECT_EQ(handle->Read(report, kReportSize, 0), -1);
    EXPECT_TRUE(sim.State().paired);
    EXPECT_EQ(sim.State().pairingRequests, 1);
}

TEST(SimBackendTest, EveryOpenHandleGetsItsOwnCopyOfEachReport) {
    SimBackend sim;
    sim.Plug(SimEndpoint::Cable);
    const std::string vendor = sim.InterfacePath(SimEndpoint::Cable, 1);
    std::shared_ptr<HidDevice> first = sim.Open(vendor), second = sim.Open(vendor);
    std::shared_ptr<HidDevice> ordinary = sim.Open(sim.InterfacePath(SimEndpoint::Cable, 0));
    sim.PressDpiButton();
    uint8_t a[kReportSize] = {}, b[kReportSize] = {};
    EXPECT_EQ(first->Read(a, sizeof a, 100), static_cast<int>(kReportSize));
    EXPECT_EQ(second->Read(b, sizeof b, 100), static_cast<int>(kReportSize));
    EXPECT_EQ(a[1], kNotificationMark);
    EXPECT_EQ(std::vector<uint8_t>(a, a + kReportSize), std::vector<uint8_t>(b, b + kReportSize));
    EXPECT_EQ(ordinary->Read(a, sizeof a, 0), 0);
    EXPECT_EQ(ordinary->Write(a, sizeof a), -1) << "the mouse interface takes no output report";
    first->Close();
    EXPECT_EQ(first->Read(a, sizeof a, 0), -1);
}

TEST(SimBackendTest, TraceFileRecordsBothDirectionsAndRejections) {
    char name[] = "/tmp/vantorel-sim-trace-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    setenv("VANTOREL_SIM_TRACE", name, 1);
    {
        SimBackend sim;
        sim.Plug(SimEndpoint::Cable);
        std::shared_ptr<HidDevice> handle = sim.Open(sim.InterfacePath(SimEndpoint::Cable, 1));
        ReportBuffer report;
        FrameReport(report, kCmdGetInfo, 0);
        handle->Write(report.data(), kReportSize);
        FrameReport(report, kCmdGetInfo, 4);
        handle->Write(report.data(), kReportSize);
    }
    unsetenv("VANTOREL_SIM_TRACE");
    std::ifstream file(name);
    std::stringstream text;
    text << file.rdbuf();
    std::remove(name);
    const std::string trace = text.str();
    EXPECT_NE(trace.find("101 cable      host->dev 06 05 +62x00"), std::string::npos) << trace;
    EXPECT_NE(trace.find("dev->host 06 05 26"), std::string::npos) << trace;
    EXPECT_NE(trace.find("REJECTED: length byte 0x04"), std::string::npos) << trace;
}

TEST(SimSetupTest, SimulateOptionPlugsTheChosenDevice) {
    SimulateStart start = SimulateStart::Receiver;
    ASSERT_TRUE(ParseSimulateOption("--simulate", start));
    EXPECT_EQ(start, SimulateStart::Cable);
    ASSERT_TRUE(ParseSimulateOption("--simulate=receiver", start));
    EXPECT_EQ(start, SimulateStart::Receiver);
    EXPECT_FALSE(ParseSimulateOption("--simulate=bluetooth", start));
    EXPECT_FALSE(ParseSimulateOption("-autorun", start));

    std::shared_ptr<SimBackend> sim = MakeSimulatedBackend(SimulateStart::Receiver);
    EXPECT_FALSE(sim->InterfacePath(SimEndpoint::Receiver, 1).empty());
    EXPECT_TRUE(sim->InterfacePath(SimEndpoint::Cable, 1).empty());
    EXPECT_TRUE(sim->State().powered && sim->State().paired);
}

}  // namespace
