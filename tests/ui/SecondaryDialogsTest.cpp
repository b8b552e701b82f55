// The pairing and settings dialogs opened from the main window: what the window
// does around them.
#include <algorithm>
#include <chrono>
#include <thread>

#include "MainWindowFixture.h"
#include "pages/DevicePage.h"
#include "dialogs/SettingDlg.h"
#include "base/LanguageText.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/CComboBoxList.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/MComboBox.h"
#include "base/Folders.h"
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

TEST_F(SecondaryDialogsTest, WithoutANotificationAreaIconHidingIsOfferedOffWithTheReason) {
    PlugCable();
    Start();
    ASSERT_FALSE(dlg->HasTray());
    struct Seen {
        bool hideEnabled = true;
        bool exitChecked = false;
        std::wstring note;
    } seen;
    SetSettingDialogHook(
        [](SettingDlg& settings, void* context) {
            auto& s = *static_cast<Seen*>(context);
            auto* hide = dynamic_cast<CRadioButton*>(settings.GetControl(SettingDlg::IDC_EXITMODE_HIDE));
            auto* exit = dynamic_cast<CRadioButton*>(settings.GetControl(SettingDlg::IDC_EXITMODE_EXIT));
            s.hideEnabled = hide->IsEnabled();
            s.exitChecked = exit->GetCheck();
            s.note =
                dynamic_cast<MControlFont*>(settings.GetControl(SettingDlg::IDC_EXITMODE_NOTE))->GetTitle();
            settings.DoCancel();
        },
        &seen);
    WriteAppRegInt(L"exit_mode", 0);  // the stored wish is to hide
    ClickControl(IDC_SYSBTN_SETTING);
    Platform::RunPending();
    EXPECT_FALSE(seen.hideEnabled);
    EXPECT_TRUE(seen.exitChecked) << "the radios show what closing does";
    EXPECT_EQ(seen.note, GetLanguageText(L"LAN", 1163));
    EXPECT_EQ(ReadAppRegInt(L"exit_mode"), 0) << "the stored wish waits for an icon";
}

TEST_F(SecondaryDialogsTest, AfterALanguageChangeTheVersionSaysWhatItIs) {
    Start();
    struct Seen {
        std::wstring before, after;
    } seen;
    SetSettingDialogHook(
        [](SettingDlg& settings, void* context) {
            auto& s = *static_cast<Seen*>(context);
            auto* version = dynamic_cast<MControlFont*>(settings.GetControl(SettingDlg::IDC_VERSION));
            s.before = version->GetTitle();
            dynamic_cast<MComboBox*>(settings.GetControl(SettingDlg::IDC_LANGUAGE))
                ->OnItemChosen(0);  // Français
            s.after = version->GetTitle();
            settings.DoCancel();
        },
        &seen);
    ClickControl(IDC_SYSBTN_SETTING);
    Platform::RunPending();
    const std::wstring version = dlg->GetCatalog().software.version;
    EXPECT_EQ(seen.before, L"v" + version);
    EXPECT_EQ(seen.after, L"v" + version) << "the same number after the change, never an unfilled \"v%s\"";
    SetCurrentLcid(1033);
}

TEST_F(SecondaryDialogsTest, OnTheCablePairingSaysWhatToPlugInAndSendsNothing) {
    PlugCable();
    Start();
    ClickDeviceCard(0);
    Settle();
    ClickTab(kTabDevice);
    Settle();
    auto* button = Control<MControlFont>(DevicePage::IDC_PAIRING);
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_EQ(button->GetTitle(), GetLanguageText(L"LAN", 1161));
    sim->Trace().ClearReceived();
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    ClickAt(Hwnd(), CentreOf(button));
    Settle();
    EXPECT_TRUE(boxes.empty());
    for (const std::string& r : ReceivedReports()) EXPECT_NE(r.rfind("06 13 01 00 00 09", 0), 0u) << r;

    // The receiver plugged in beside the cable: pairing is offered and goes to it.
    dlg->SetPairingTimings(FastPairing());
    PlugReceiver();
    Settle();
    // A new connection shows the device list again: back to the model's device page.
    if (dlg->GetView() != DeviceMainDlg::View::Model) {
        ClickDeviceCard(0);
        Settle();
        ClickTab(kTabDevice);
        Settle();
    }
    EXPECT_TRUE(button->IsEnabled());
    EXPECT_EQ(button->GetTitle(), GetLanguageText(L"LAN", 723));
    SetPairDialogHook(
        [](DonglePairDlg& pairing, void* context) {
            // Closed once the receiver has its command.
            auto* mouse = static_cast<SimBackend*>(context);
            PumpUntil([&] {
                const std::vector<std::string> sent = mouse->Trace().ReceivedHex("receiver");
                return std::any_of(sent.begin(), sent.end(),
                                   [](const std::string& r) { return r.rfind("06 13 01 00 00 09", 0) == 0; });
            });
            pairing.DoCancel();
        },
        sim.get());
    sim->Trace().ClearReceived();
    ClickControl(DevicePage::IDC_PAIRING);
    Settle();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, GetLanguageText(L"LAN", 1160)) << "the question explains pairing";
    EXPECT_NE(boxes[0].message, GetLanguageText(L"LAN", 723));
    const std::vector<std::string> to = sim->Trace().ReceivedHex("receiver");
    EXPECT_EQ(std::count_if(to.begin(), to.end(),
                            [](const std::string& r) { return r.rfind("06 13 01 00 00 09", 0) == 0; }),
              1);
    const std::vector<std::string> cable = sim->Trace().ReceivedHex("cable");
    EXPECT_EQ(std::count_if(cable.begin(), cable.end(),
                            [](const std::string& r) { return r.rfind("06 13 01 00 00 09", 0) == 0; }),
              0);
}

TEST_F(SecondaryDialogsTest, TheHomePagesPairingButtonWaitsForAReceiver) {
    Start();  // nothing plugged
    auto* button = Control<MControlFont>(IDC_HOME_PAIRING);
    ASSERT_TRUE(button->IsVisible());
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_EQ(button->GetTitle(), GetLanguageText(L"LAN", 1161));
}
