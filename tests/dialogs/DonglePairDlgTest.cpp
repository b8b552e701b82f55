// Receiver pairing against the simulated receiver: the confirmation, the one
// pairing command, and the two ways the receiver says its mouse is back.
#include <gtest/gtest.h>

#include "../device/SimFixture.h"
#include "DialogFixture.h"
#include "device/DeviceMainDef.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/DonglePairDlg.h"
#include "tests/support/FastPairing.h"

namespace {

using namespace Orvix;
using namespace DialogTest;

// Clicks button 33 (confirm) or 34 (cancel) of the box as soon as it is shown.
void ClickConfirm(CUIMessageBox& box, void*) {
    ClickControl(box, CUIMessageBox::IDC_FIRST);
}
void ClickCancel(CUIMessageBox& box, void*) {
    ClickControl(box, CUIMessageBox::IDC_SECOND);
}

class PairingTest : public SimFixture {
  protected:
    void SetUp() override {
        StartToolkit();
        // Only a switch-on of the mouse ends the receiver's search.
        sim->SetPairingDelay(std::chrono::hours(1));
        sim->Plug(SimEndpoint::Receiver);
        Refresh(101);
        ASSERT_TRUE(owner.Open());
    }
    void TearDown() override {
        SetMessageBoxHook(nullptr, nullptr);
        SetPairDialogHook(nullptr, nullptr);
        if (owner.GetSafeHwnd()) owner.DestroyWindow();
        StopToolkit();
        SimFixture::TearDown();
    }

    int PairingRequests() { return sim->State().pairingRequests; }

    // The receiver sends one unsolicited report of kind 1 with `first` as data byte.
    void SendConnectionNotification(uint8_t first) {
        sim->Apply([first](SimFirmware&) {
            std::vector<uint8_t> report(kReportSize, 0);
            report[0] = kReportId;
            report[1] = kNotificationMark;
            report[2] = 3;
            report[5] = 1;
            report[6] = first;
            return SimFirmware::Outputs{{SimEndpoint::Receiver, report}};
        });
    }

    // A dialog whose pairing command went out and whose thread then sleeps for an
    // hour: the test runs the cycles itself, in a known order.
    void OpenIdle(DonglePairDlg& dlg) {
        ASSERT_TRUE(dlg.CreateOver(owner.GetSafeHwnd()));
        ASSERT_TRUE(PumpUntil([&] { return PairingRequests() == 1 && !dlg.HasQueuedTasks(); }));
    }
    static PairingTimings IdlePairing() {
        PairingTimings t = FastPairing();
        t.cycleMs = 3600 * 1000;
        return t;
    }

    Owner owner;
    DeviceMainDef state;
};

TEST_F(PairingTest, CancellingTheConfirmationOpensNothing) {
    SetMessageBoxHook(ClickCancel, nullptr);
    static bool opened;
    opened = false;
    SetPairDialogHook([](DonglePairDlg&, void*) { opened = true; }, nullptr);
    EXPECT_FALSE(RunDonglePairing(owner.GetSafeHwnd(), state, manager, FastPairing()));
    EXPECT_FALSE(opened);
    EXPECT_FALSE(state.IsPairingOpen());
    EXPECT_EQ(PairingRequests(), 0);
    EXPECT_TRUE(Platform::FindWindows(L"DonglePairDlg").empty());
}

// The whole flow with the dialog's own thread: confirmed, one pairing command, the
// receiver drops its mouse, the user switches the mouse off and on, the connection
// notification shows the success button, and its click ends the dialog.
TEST_F(PairingTest, SwitchingTheMouseOnShowsSuccessThroughTheNotification) {
    SetMessageBoxHook(ClickConfirm, nullptr);
    struct Scene {
        std::shared_ptr<SimBackend> sim;
        DeviceManager& manager;
        DeviceMainDef& state;
        bool openDuringDialog = false;
        bool droppedFirst = false;
        bool shown = false;
    } scene{sim, manager, state};
    SetPairDialogHook(
        [](DonglePairDlg& dlg, void* context) {
            auto& s = *static_cast<Scene*>(context);
            s.openDuringDialog = s.state.IsPairingOpen();
            // The receiver takes the command and reports its mouse gone; the
            // dialog keeps reading after that.
            s.droppedFirst = PumpUntil(
                [&] { return s.sim->State().pairingRequests == 1 && s.manager.GetCurrentDevMode() == -1; });
            s.droppedFirst = s.droppedFirst && !dlg.IsSuccessShown();
            // The main window is not told of the re-attached receiver here.
            s.sim->SetMousePower(false);
            s.sim->SetMousePower(true);
            s.shown = PumpUntil([&] { return dlg.IsSuccessShown(); });
            if (s.shown)
                ClickControl(dlg, DonglePairDlg::IDC_SUCCESS);
            else
                dlg.DoCancel();
        },
        &scene);
    EXPECT_TRUE(RunDonglePairing(owner.GetSafeHwnd(), state, manager, FastPairing()));
    EXPECT_TRUE(scene.openDuringDialog);
    EXPECT_TRUE(scene.droppedFirst);
    EXPECT_TRUE(scene.shown);
    EXPECT_FALSE(state.IsPairingOpen());
    EXPECT_EQ(PairingRequests(), 1);
    EXPECT_TRUE(Platform::FindWindows(L"DonglePairDlg").empty());
}

TEST_F(PairingTest, TheCloseButtonEndsTheDialogAfterItsDelayWithoutSuccess) {
    SetMessageBoxHook(ClickConfirm, nullptr);
    PairingTimings timings = FastPairing();
    timings.closeDelayMs = 1000;
    static bool stopped;
    stopped = false;
    SetPairDialogHook(
        [](DonglePairDlg& dlg, void*) {
            ClickControl(dlg, DonglePairDlg::IDC_CLOSE);
            // The click is handled in the loop; then the thread is stopped at once.
            PumpUntil([&] { return !dlg.IsRunning(); });
            stopped = !dlg.IsRunning() && dlg.GetSafeHwnd() != nullptr;
            // The window ends when its close delay has passed on the clock.
            Headless::SetAutoAdvance(true);
        },
        nullptr);
    EXPECT_TRUE(RunDonglePairing(owner.GetSafeHwnd(), state, manager, timings));
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(state.IsPairingOpen());
}

TEST_F(PairingTest, AnArrivalOfTheVendorInterfaceWithTheMouseOnlineShowsSuccess) {
    DonglePairDlg dlg(manager, IdlePairing());
    OpenIdle(dlg);
    const std::string vendor = sim->InterfacePath(SimEndpoint::Receiver, 1);
    // Other interfaces and removals queue nothing.
    dlg.OnDeviceChange(DeviceChange::Arrival, sim->InterfacePath(SimEndpoint::Receiver, 0));
    dlg.OnDeviceChange(DeviceChange::Arrival, sim->InterfacePath(SimEndpoint::Receiver, 2));
    dlg.OnDeviceChange(DeviceChange::Removal, vendor);
    EXPECT_FALSE(dlg.HasQueuedTasks());

    // The receiver comes back while its mouse is still off: it answers, but
    // reports no mouse, so that is no success.
    sim->SetMousePower(false);
    sim->Unplug(SimEndpoint::Receiver);
    sim->Plug(SimEndpoint::Receiver);
    dlg.OnDeviceChange(DeviceChange::Arrival, sim->InterfacePath(SimEndpoint::Receiver, 1));
    ASSERT_TRUE(dlg.HasQueuedTasks());
    dlg.ThreadCycle();
    Platform::RunPending();
    EXPECT_FALSE(dlg.IsSuccessShown());

    sim->SetMousePower(true);
    const std::string arrived = sim->InterfacePath(SimEndpoint::Receiver, 1);
    // Paths arrive as the system spells them; the test is on the upper-case form.
    std::string lower = arrived;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    dlg.OnDeviceChange(DeviceChange::Arrival, lower);
    // The arrival is taken before any read: the notification is never seen here.
    dlg.ThreadCycle();
    Platform::RunPending();
    EXPECT_TRUE(dlg.IsSuccessShown());
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeReceiver);
    EXPECT_EQ(PairingRequests(), 1);
    dlg.DestroyWindow();
}

TEST_F(PairingTest, OnlyAConnectionNotificationWithDataOneShowsSuccess) {
    DonglePairDlg dlg(manager, IdlePairing());
    OpenIdle(dlg);
    auto cycles = [&](int n) {
        for (int i = 0; i < n; ++i) dlg.ThreadCycle();
        Platform::RunPending();
    };
    SendConnectionNotification(0);
    SendConnectionNotification(2);
    cycles(6);
    EXPECT_FALSE(dlg.IsSuccessShown());
    // The receiver reported its mouse gone meanwhile; its notification still counts.
    EXPECT_EQ(manager.GetCurrentDevMode(), -1);
    SendConnectionNotification(1);
    cycles(2);
    EXPECT_TRUE(dlg.IsSuccessShown());
    dlg.DestroyWindow();
}

TEST_F(PairingTest, WithoutAnyDeviceNoCommandIsSentAndTheDialogKeepsWaiting) {
    sim->Unplug(SimEndpoint::Receiver);
    Refresh(101);
    DonglePairDlg dlg(manager, IdlePairing());
    ASSERT_TRUE(dlg.CreateOver(owner.GetSafeHwnd()));
    ASSERT_TRUE(PumpUntil([&] { return !dlg.HasQueuedTasks(); }));
    dlg.ThreadCycle();
    EXPECT_EQ(PairingRequests(), 0);
    EXPECT_FALSE(dlg.IsSuccessShown());
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
}

TEST_F(PairingTest, ThePictureOfTheDialogSendsNothing) {
    DonglePairDlg dlg(manager, FastPairing());
    ASSERT_TRUE(dlg.CreatePreviewOver(owner.GetSafeHwnd()));
    EXPECT_FALSE(dlg.IsRunning());
    EXPECT_FALSE(dlg.HasQueuedTasks());
    EXPECT_EQ(dlg.GetWindowRect().Width(), DonglePairDlg::kWidth);
    EXPECT_FALSE(dlg.IsSuccessShown());
    EXPECT_EQ(PairingRequests(), 0);
    dlg.DestroyWindow();
}

}  // namespace

namespace {

// The dialog's thread re-enumerates and reads while the UI thread queues arrivals
// and the user switches the mouse: no report or task is shared unsafely.
class PairingThreads : public PairingTest {};

TEST_F(PairingThreads, ArrivalsQueuedWhileTheThreadReadsAndReenumerates) {
    PairingTimings timings = FastPairing();
    timings.cycleMs = 1;
    DonglePairDlg dlg(manager, timings);
    ASSERT_TRUE(dlg.CreateOver(owner.GetSafeHwnd()));
    ASSERT_TRUE(PumpUntil([&] { return PairingRequests() == 1; }));
    for (int i = 0; i < 50; ++i) {
        dlg.OnDeviceChange(DeviceChange::Arrival, sim->InterfacePath(SimEndpoint::Receiver, i % 3));
        Platform::RunPending();
    }
    sim->SetMousePower(false);
    sim->SetMousePower(true);
    dlg.OnDeviceChange(DeviceChange::Arrival, sim->InterfacePath(SimEndpoint::Receiver, 1));
    EXPECT_TRUE(PumpUntil([&] { return dlg.IsSuccessShown(); }));
    EXPECT_TRUE(dlg.Stop());
    EXPECT_FALSE(dlg.IsRunning());
    dlg.DestroyWindow();
    EXPECT_EQ(PairingRequests(), 1);
}

}  // namespace
