// The state read and the read tasks against the simulated mouse.
#include <gtest/gtest.h>

#include "WorkerFixture.h"
#include "base/SettingsStore.h"

namespace {

using WorkerRead = WorkerFixture;

TEST_F(WorkerRead, InitialReadStoresTheMouseState) {
    sim->Configure([](SimMouseState& s) {
        s.settings.dpi[0] = 800;  // raw 15
        s.settings.dpi[1] = 50;   // raw 0
        s.settings.lightSleep = 300;
        s.firmwareVersion = 0x21;
        s.firmwareBuild = 3;
        s.batteryLevel = 64;
    });
    Connect();
    EXPECT_TRUE(view.Has("device list 0"));
    ASSERT_TRUE(state.IsConnected());
    worker.RunTask(kTaskInitialRead);

    EXPECT_TRUE(state.IsInitialReadDone());
    EXPECT_EQ(state.GetCurrentProfile(), 1);
    EXPECT_EQ(Config(L"dpi_group0_value"), L"800");
    EXPECT_EQ(Config(L"dpi_group1_value"), L"50");
    EXPECT_EQ(Config(L"dpi_group5_value"), L"12000");
    EXPECT_EQ(Config(L"dpi_group6_value"), L"24000");  // not in the answer: left as stored
    EXPECT_EQ(Config(L"light_sleep"), L"300");
    EXPECT_EQ(Config(L"sensor_flag"), L"4");
    EXPECT_EQ(Config(L"dpi_index"), L"1");  // held by the controller, not stored by a read
    EXPECT_EQ(state.GetMouseVersion(), L"2.1.3");
    EXPECT_EQ(state.GetReceiverVersion(), L"");  // on its cable there is no receiver to ask
    EXPECT_EQ(state.GetDeviceValues().batteryLevel, 64);
    for (const char* call : {"profile Profile 1", "list battery 101 0 64", "battery 64 0",
                             "mouse label Mouse firmware: 2.1.3", "receiver label Receiver firmware",
                             "reload buttons", "reload macros", "reload dpi", "reload lighting"})
        EXPECT_TRUE(view.Has(call)) << call;

    WorkerTask task;  // the macro memory follows every successful read
    ASSERT_TRUE(state.TakeTask(task));
    EXPECT_EQ(task, kTaskWriteMacros);
    worker.RunTask(task);
    state.FinishTask();
    EXPECT_EQ(sim->State().macroUploads, 1);

    // Done once per run.
    view.Clear();
    worker.RunTask(kTaskInitialRead);
    EXPECT_TRUE(view.Calls().empty());
}

TEST_F(WorkerRead, ReceiverVersionOverTheReceiver) {
    Connect(SimEndpoint::Receiver);
    EXPECT_TRUE(view.Has("device list 1"));
    ASSERT_TRUE(worker.ReadMouseState());
    EXPECT_EQ(state.GetReceiverVersion(), L"1.1.3");
    EXPECT_TRUE(view.Has("receiver label Receiver firmware: 1.1.3"));
    EXPECT_EQ(state.GetDeviceValues().connectionKind, 1);
}

TEST_F(WorkerRead, ReceiverWithoutItsMouseStoresNothing) {
    sim->SetMousePower(false);
    Connect(SimEndpoint::Receiver);  // the receiver answers the handshake for itself
    const auto before = AllConfig();
    view.Clear();
    EXPECT_FALSE(worker.ReadMouseState());
    EXPECT_EQ(AllConfig(), before);
    EXPECT_FALSE(state.IsConnected());
    EXPECT_TRUE(view.Has("not connected"));
    EXPECT_TRUE(view.Has("device state 101 1 2"));
    EXPECT_TRUE(view.Has("close popups"));
    EXPECT_FALSE(view.Has("battery 85 0"));
    EXPECT_FALSE(state.HasQueuedTasks());
}

TEST_F(WorkerRead, RefreshFollowsTheStoredModel) {
    ReadAppRegInt(L"DeviceType");  // creates the settings store
    ASSERT_TRUE(WriteAppRegInt(L"DeviceType", 102));
    Connect();  // model 101 is plugged, 102 is selected
    EXPECT_TRUE(view.Has("select device 102"));
    EXPECT_TRUE(view.Has("device state 101 0 1"));
    EXPECT_TRUE(view.Has("not connected"));
    EXPECT_TRUE(state.AreDevicesPresent());
    EXPECT_FALSE(state.IsConnected());
    view.Clear();
    worker.RunTask(kTaskInitialRead);  // nothing reachable: skipped
    EXPECT_TRUE(view.Calls().empty());
}

TEST_F(WorkerRead, DeviceChangeAndSwitchReads) {
    sim->Plug(SimEndpoint::Cable);
    worker.RunTask(kTaskReadAfterChangeLong);  // refresh, read, then the initial read
    EXPECT_TRUE(state.IsConnected());
    EXPECT_TRUE(state.IsInitialReadDone());

    sim->Unplug(SimEndpoint::Cable);
    worker.RunTask(kTaskReadAfterChangeShort);
    EXPECT_FALSE(state.AreDevicesPresent());
    EXPECT_TRUE(view.Has("not connected"));

    view.Clear();
    worker.RunTask(kTaskReadAfterSwitch);  // nothing to read, the wait dialog still closes
    EXPECT_EQ(view.Calls(), std::vector<std::string>{"close wait"});
}

TEST_F(WorkerRead, UnreachableMouseAfterUnplug) {
    Connect();
    sim->Unplug(SimEndpoint::Cable);
    view.Clear();
    EXPECT_FALSE(worker.ReadMouseState());
    EXPECT_TRUE(view.Has("not connected"));
    EXPECT_TRUE(view.Has("device state 101 0 2"));
    EXPECT_TRUE(view.Has("stop recording"));
}

}  // namespace
