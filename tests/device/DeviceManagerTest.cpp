#include <algorithm>

#include "SimFixture.h"
#include "sim/MacroImageCheck.h"

namespace {

using DeviceManagerTest = SimFixture;

TEST_F(DeviceManagerTest, CableWinsOverAnOnlineReceiver) {
    sim->Plug(SimEndpoint::Receiver);  // enumerated first
    sim->Plug(SimEndpoint::Cable);
    Refresh();

    std::vector<DeviceRecord> records = manager.GetRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].deviceMode, kModeReceiver);
    EXPECT_EQ(records[0].online, kOnline);
    EXPECT_EQ(records[1].product, L"Vantorel V8 Wireless");
    EXPECT_EQ(records[1].release, 0x0102);
    EXPECT_EQ(records[1].batteryLevel, 85);
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeCable);

    ReportBuffer buffer;
    ASSERT_TRUE(SendGetInfo(buffer));
    EXPECT_EQ(buffer[1], kCmdGetInfo);
    EXPECT_EQ(buffer[11], 0) << "the answer must come over the cable";
}

TEST_F(DeviceManagerTest, ReceiverWithoutItsMouseIsDroppedOnceItReportsOffline) {
    sim->SetMousePower(false);
    sim->Plug(SimEndpoint::Receiver);
    Refresh();

    // The receiver itself answers the handshake, so it starts out online.
    ASSERT_EQ(manager.GetRecords().size(), 1u);
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeReceiver);
    ASSERT_NE(manager.GetActiveHandle(), nullptr);  // cached now

    manager.PollOnline();  // reads the 0xC0 report that followed its answer
    EXPECT_EQ(manager.GetRecords()[0].online, kReceiverOffline);
    EXPECT_EQ(manager.GetCurrentDevMode(), -1);
    EXPECT_EQ(manager.GetActiveHandle(), nullptr) << "the cached receiver must be dropped";
    ReportBuffer buffer;
    EXPECT_FALSE(SendGetInfo(buffer));

    // Switching the mouse on is announced by the receiver: a connection state, taken
    // in by the poll, then a notification that calls for a refresh.
    sim->SetMousePower(true);
    int32_t type = 0;
    ASSERT_TRUE(manager.ReadAnyReport(buffer, type));
    EXPECT_EQ(buffer[0], kConnectionStateId);
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeReceiver);
    ASSERT_TRUE(manager.ReadAnyReport(buffer, type));
    EXPECT_EQ(buffer[1], kNotificationMark);
    EXPECT_EQ(buffer[5], 1);
    EXPECT_EQ(type, 101);
}

TEST_F(DeviceManagerTest, SupportedIdsWithOnlyOrdinaryInterfacesGiveNoRecord) {
    sim->Plug(SimEndpoint::Receiver, 0, false);
    Refresh();
    EXPECT_TRUE(manager.GetRecords().empty());
    std::vector<DeviceRecord> list;
    EXPECT_FALSE(manager.CollectDevices(list));
    EXPECT_EQ(manager.GetCurrentDevMode(), -1);
}

TEST_F(DeviceManagerTest, HandshakeJudgesTheVersionBytes) {
    // Both zero: the record stays, with type 0, and nothing selects it.
    sim->Configure([](SimMouseState& s) { s.firmwareBuild = s.firmwareVersion = 0; });
    sim->Plug(SimEndpoint::Cable);
    Refresh();
    std::vector<DeviceRecord> records = manager.GetRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].deviceType, 0);
    EXPECT_EQ(records[0].online, kNotAnswering);
    EXPECT_EQ(manager.GetCurrentDevMode(), -1);
    EXPECT_EQ(manager.GetActiveHandle(), nullptr);
    manager.SetCurrentDeviceType(0);  // "no model chosen" must not pick it either
    EXPECT_EQ(manager.GetActiveHandle(), nullptr);

    // One of them suffices for the handshake.
    sim->Configure([](SimMouseState& s) { s.firmwareVersion = 0x12; });
    Refresh();
    records = manager.GetRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].deviceType, 101);
    EXPECT_EQ(records[0].online, kOnline);
}

TEST_F(DeviceManagerTest, SendWithoutDeviceLeavesTheBufferAlone) {
    ReportBuffer buffer;
    buffer.fill(0xAB);
    const ReportBuffer before = buffer;
    EXPECT_FALSE(manager.Send(buffer, true));  // disabled
    Refresh();                                 // enabled, nothing plugged
    EXPECT_FALSE(manager.Send(buffer, true));
    EXPECT_EQ(buffer, before);
}

TEST_F(DeviceManagerTest, SilentDeviceLeavesTheRequestInTheBuffer) {
    sim->Plug(SimEndpoint::Cable);
    Refresh();
    sim->Configure([](SimMouseState& s) { s.answering = false; });

    ReportBuffer buffer;
    FrameReport(buffer, kCmdSetting, 2);
    buffer[5] = 0x02;
    buffer[6] = 0x03;
    const ReportBuffer request = buffer;
    EXPECT_TRUE(manager.Send(buffer, true));
    EXPECT_EQ(buffer, request);

    // A device that stays silent through the handshake ends as type 0.
    Refresh();
    EXPECT_EQ(manager.GetRecords().at(0).deviceType, 0);
}

TEST_F(DeviceManagerTest, NotificationBetweenWriteAndAnswerIsTakenAsTheAnswer) {
    sim->Plug(SimEndpoint::Cable);
    Refresh();
    sim->ApplyBeforeNextAnswer([](SimFirmware& f) { return f.PressDpiButton(); });

    ReportBuffer buffer;
    ASSERT_TRUE(SendGetInfo(buffer));
    EXPECT_EQ(buffer[1], kNotificationMark);
    EXPECT_EQ(buffer[5], 2);  // DPI stage switched
    EXPECT_EQ(buffer[6], 2);

    // The real answer is still queued and turns up at the next poll.
    int32_t type = 0;
    buffer.fill(0);
    ASSERT_TRUE(manager.ReadAnyReport(buffer, type));
    EXPECT_EQ(buffer[1], kCmdGetInfo);
    EXPECT_EQ(buffer[17], 2);
}

TEST_F(DeviceManagerTest, UnpluggingTheCableContinuesOverTheReceiver) {
    std::vector<std::pair<DeviceChange, std::string>> events;
    sim->SetDeviceChangeHandler(
        [&](DeviceChange change, const std::string& path) { events.emplace_back(change, path); });
    sim->Plug(SimEndpoint::Cable);
    sim->Plug(SimEndpoint::Receiver);
    Refresh();
    ASSERT_EQ(manager.GetCurrentDevMode(), kModeCable);
    std::shared_ptr<HidDevice> cable = manager.GetActiveHandle();

    events.clear();
    sim->Unplug(SimEndpoint::Cable);
    std::vector<DeviceChangeRead> tasks;
    HotplugActions actions{[&](DeviceChangeRead task) { tasks.push_back(task); }, nullptr};
    for (const auto& [change, path] : events)
        OnDeviceChange(change, path, CatalogModes(), true, manager, actions);
    EXPECT_EQ(tasks, std::vector<DeviceChangeRead>{DeviceChangeRead::Short});

    Refresh();  // what task 3 runs
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeReceiver);
    ReportBuffer buffer;
    ASSERT_TRUE(SendGetInfo(buffer));
    EXPECT_EQ(buffer[11], 1) << "the answer must come over the receiver";
    EXPECT_EQ(buffer[12], 1);
    EXPECT_LT(cable->Write(buffer.data(), kReportSize), 0) << "a handle from before the refresh is closed";
}

TEST_F(DeviceManagerTest, ReadAnyReportLosesNoNotificationWhenSeveralInterfacesHaveOne) {
    auto other = std::make_shared<SimBackend>(std::vector<int32_t>{101, 102});
    manager.SetBackend(other);
    other->Plug(SimEndpoint::Cable, 0);
    other->Plug(SimEndpoint::Cable, 1);
    Refresh();
    other->SetBattery(40, false, 0);
    other->SetBattery(60, true, 1);

    std::vector<std::pair<int32_t, int>> seen;
    for (int i = 0; i < 2; ++i) {
        ReportBuffer buffer{};
        int32_t type = 0;
        ASSERT_TRUE(manager.ReadAnyReport(buffer, type));
        ASSERT_EQ(buffer[5], 3);
        seen.emplace_back(type, buffer[6]);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::pair<int32_t, int>>{{101, 40}, {102, 60}}));
    EXPECT_TRUE(other->Trace().Rejections().empty());
}

TEST_F(DeviceManagerTest, ReadAnyReportRefusesWhileDisabled) {
    sim->Plug(SimEndpoint::Cable);
    Refresh();
    manager.CloseAll();
    ReportBuffer buffer{};
    int32_t type = -5;
    EXPECT_FALSE(manager.ReadAnyReport(buffer, type));
    EXPECT_EQ(type, -5);
}

TEST_F(DeviceManagerTest, SettingsAndAFullMacroUploadReachTheMouse) {
    sim->Plug(SimEndpoint::Receiver);
    Refresh();

    ReportBuffer buffer;
    FrameReport(buffer, kCmdSetting, 5);  // sleep times 300 s and 1800 s
    const uint8_t sleep[] = {0x0B, 0x2C, 0x01, 0x08, 0x07};
    std::copy(std::begin(sleep), std::end(sleep), buffer.begin() + kPayloadOffset);
    ASSERT_TRUE(manager.Send(buffer, true));

    const std::vector<uint8_t> image = MakeSampleMacroImage(kMacroImageMax);
    const size_t chunks = MacroChunkCount(image.size());
    EXPECT_EQ(chunks, 68u);
    for (size_t i = 0; i < chunks; ++i) {
        FrameMacroChunk(buffer, image.data(), image.size(), i);
        ASSERT_TRUE(manager.Send(buffer, true));
        EXPECT_EQ(buffer[1], kCmdMacroChunk) << "chunk " << i << " was not answered";
    }

    const SimMouseState state = sim->State();
    EXPECT_EQ(state.settings.lightSleep, 300);
    EXPECT_EQ(state.settings.deepSleep, 1800);
    EXPECT_EQ(state.macroUploads, 1);
    EXPECT_EQ(state.settings.macroImage, image);
}

TEST_F(DeviceManagerTest, PairingThroughTheReceiver) {
    sim->Plug(SimEndpoint::Receiver);
    Refresh();
    ReportBuffer buffer;
    FrameReport(buffer, kCmdSetting, 1);
    buffer[5] = 0x09;
    ASSERT_TRUE(manager.Send(buffer, true));
    EXPECT_EQ(buffer[1], kCmdSetting);

    // The link drops while the receiver pairs, then comes back with the success signal.
    bool connected = false;
    for (int i = 0; i < 200 && !connected; ++i) {
        int32_t type = 0;
        buffer.fill(0);
        manager.ReadAnyReport(buffer, type);
        connected = buffer[1] == kNotificationMark && buffer[5] == 1 && buffer[6] == 1;
    }
    EXPECT_TRUE(connected);
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeReceiver);
}

}  // namespace
