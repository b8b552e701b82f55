// The pairing and settings dialogs opened from the main window: what the window
// does around them.
#include <algorithm>
#include <chrono>
#include <thread>

#include "MainWindowFixture.h"
#include "app/pages/DevicePage.h"
#include "dialogs/SettingDlg.h"
#include "exchange/LanguageText.h"
#include "orvix/controls/CComboBoxList.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/MComboBox.h"
#include "platform/Folders.h"
#include "tests/support/FastPairing.h"

using namespace Orvix;

namespace {

bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        Platform::RunPending();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

}  // namespace

class SecondaryDialogsTest : public MainWindowFixture {
  protected:
    void TearDown() override {
        SetPairDialogHook(nullptr, nullptr);
        SetSettingDialogHook(nullptr, nullptr);
        MainWindowFixture::TearDown();
    }
};

TEST_F(SecondaryDialogsTest, PairingDropsTheWorkersTasksAndReadsTheReceiverAfterwards) {
    PlugReceiver();
    Start();
    dlg->SetPairingTimings(FastPairing());
    ClickDeviceCard(0);
    Settle();
    ClickTab(kTabDevice);
    const int reads = dlg->GetState().GetQueuedCount(kTaskReadAfterChangeLong);

    struct Scene {
        MainWindowFixture* fixture;
        DeviceMainDlg* window;
        SimBackend* sim;
        int discarded = -1;
        bool shown = false;
        int readsBeforeClosing = -1;
    } scene{this, dlg.get(), sim.get()};
    SetPairDialogHook(
        [](DonglePairDlg& pairing, void* context) {
            auto& s = *static_cast<Scene*>(context);
            // A page's task queued meanwhile is dropped by the worker.
            s.window->GetState().QueueTask(kTaskWriteButtonMap);
            s.discarded = PumpUntil([&] { return !s.window->GetState().HasQueuedTasks(); }) ? 1 : 0;
            s.sim->SetMousePower(false);
            s.sim->SetMousePower(true);
            s.shown = PumpUntil([&] { return pairing.IsSuccessShown(); });
            if (!s.shown) {
                pairing.DoCancel();
                return;
            }
            // The receiver's interfaces came back meanwhile (hot-plug queues its own read,
            // dropped while the dialog is open); what follows is the closing's.
            PumpUntil([&] { return false; }, std::chrono::milliseconds(100));
            s.readsBeforeClosing = s.window->GetState().GetQueuedCount(kTaskReadAfterChangeLong);
            s.fixture->hands.ClickControl(pairing.GetControl(DonglePairDlg::IDC_SUCCESS));
        },
        &scene);
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    sim->Trace().ClearReceived();
    ClickControl(DevicePage::IDC_PAIRING);
    EXPECT_EQ(scene.discarded, 1);
    EXPECT_TRUE(scene.shown);
    const auto sent = ReceivedReports();
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const std::string& r) { return r.rfind("06 13 01 00 00 09", 0) == 0; }),
              1);
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](const std::string& r) { return r.rfind("06 12", 0) == 0; }),
              0)
        << "the button map queued during pairing was sent";
    // Exactly one read after the dialog; it ends in the device list with the receiver online.
    EXPECT_GE(scene.readsBeforeClosing, reads);
    EXPECT_EQ(dlg->GetState().GetQueuedCount(kTaskReadAfterChangeLong), scene.readsBeforeClosing + 1);
    Settle();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::DeviceList);
    EXPECT_EQ(dlg->GetDeviceList()->GetDeviceState(101), 1);
    EXPECT_FALSE(dlg->GetState().IsPairingOpen());
}

TEST_F(SecondaryDialogsTest, FrenchChosenInTheSettingsRetitlesTheWindowAtOnce) {
    PlugCable();
    Start();
    ClickDeviceCard(0);
    Settle();
    const std::wstring englishTab = dlg->GetTabCtrl()->GetItemText(1);
    SetSettingDialogHook(
        [](SettingDlg& settings, void* self) {
            // Français, chosen in the drop-down; then Esc.
            auto& hands = static_cast<SecondaryDialogsTest*>(self)->hands;
            auto* language = dynamic_cast<MComboBox*>(settings.GetControl(SettingDlg::IDC_LANGUAGE));
            hands.ClickControl(language);
            ASSERT_NE(language->GetDropDown(), nullptr);
            CComboBoxList* list = language->GetDropDown()->GetList();
            hands.ClickAt(language->GetDropDown()->GetSafeHwnd(), list->GetItemRect(language->FindData(1036)).CenterPoint());
            hands.Key(VK_ESCAPE);
        },
        this);
    ClickControl(IDC_SYSBTN_SETTING);
    Platform::RunPending();
    EXPECT_EQ(GetCurrentLcid(), 1036);
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1036);
    const std::wstring frenchTab = ReadLanguageText(GetProgramFolder(), 1036, L"LAN", 72);
    EXPECT_NE(frenchTab, englishTab);
    EXPECT_EQ(dlg->GetTabCtrl()->GetItemText(1), frenchTab);
    EXPECT_EQ(Control<MControlFont>(IDC_DEVICE_STATE)->GetTitle(), ReadLanguageText(GetProgramFolder(), 1036, L"LAN", 51));
    SetCurrentLcid(1033);
}
