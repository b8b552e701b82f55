// The worker's updates cross to the UI thread while the user acts: battery and
// DPI notifications from the mouse, plugs and tab switches at the same time.
#include "MainWindowFixture.h"
#include "orvix/widgets/BatteryCtrl.h"

using namespace Orvix;

class MainWindowConcurrency : public MainWindowFixture {};

TEST_F(MainWindowConcurrency, NotificationsAndClicksInterleave) {
    PlugCable();
    Start();
    ClickDeviceCard(0);
    Settle();
    ASSERT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
    const int tabs[] = {kTabDpi, kTabMacro, kTabDevice, kTabKey};
    for (int round = 0; round < 20; ++round) {
        sim->SetBattery(uint8_t(40 + round), round % 2 == 0);
        sim->PressDpiButton();
        ClickTab(tabs[round % 4]);
        Platform::RunPending();
    }
    Settle();
    // The last battery report is what the gauge shows.
    EXPECT_EQ(Control<BatteryCtrl>(IDC_BATTERY)->GetLevel(), 59);

    // A replug while pages are switched: the window ends in the device list.
    sim->Unplug(SimEndpoint::Cable);
    ClickTab(kTabKey);
    sim->Plug(SimEndpoint::Cable);
    Settle();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::DeviceList);
}

TEST_F(MainWindowConcurrency, ClosingWhileTheWorkerIsBusyLeavesNothingBehind) {
    PlugCable();
    Start();
    for (int i = 0; i < 10; ++i) dlg->QueueTask(kTaskWriteEverything);
    dlg->CloseMainWindow();
    // Updates the worker posted before it stopped find no window and do nothing.
    Platform::RunPending();
    EXPECT_EQ(dlg->GetSafeHwnd(), nullptr);
}
