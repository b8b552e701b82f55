// The device page with the simulated mouse: firmware versions, the power options
// (deep-sleep time, wake on movement), the upgrade notices and the pairing entry.
#include <algorithm>

#include "MainWindowFixture.h"
#include "pages/DevicePage.h"
#include "base/LanguageText.h"
#include "features/PerformanceOptions.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CComboBoxList.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/MComboBox.h"

using namespace Orvix;

namespace {

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

// Two bytes little-endian as the reports' hex text shows them.
std::string Le16(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X %02X", value & 0xFF, (value >> 8) & 0xFF);
    return text;
}

}  // namespace

class DevicePageTest : public MainWindowFixture {
  protected:
    void StartOnDevicePage(bool receiver = false) {
        receiver ? PlugReceiver() : PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ASSERT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
        ClickTab(kTabDevice);
        Settle();
        sim->Trace().ClearReceived();
    }

    void ChooseSleep(int index) { ChooseComboItem(DevicePage::IDC_SLEEP, index); }

    std::wstring LabelText(UINT id) { return Control<MControlFont>(id)->GetTitle(); }
    bool Checked(UINT id) { return Control<CCheckButton>(id)->GetCheck() != FALSE; }
    bool Received(const std::string& prefix) {
        const std::vector<std::string> reports = ReceivedReports();
        return std::any_of(reports.begin(), reports.end(),
                           [&](const std::string& r) { return r.rfind(prefix, 0) == 0; });
    }
};

TEST_F(DevicePageTest, VersionsOfTheMouseAndTheReceiverAreShown) {
    StartOnDevicePage(true);
    EXPECT_EQ(LabelText(DevicePage::IDC_MOUSE_VERSION), Text(551) + L": 1.2.7");
    EXPECT_EQ(LabelText(DevicePage::IDC_RECEIVER_VERSION), Text(552) + L": 1.1.3");
}

TEST_F(DevicePageTest, EveryDeepSleepChoiceSendsBothSleepTimes) {
    StartOnDevicePage();
    auto* sleep = Control<MComboBox>(DevicePage::IDC_SLEEP);
    ASSERT_EQ(sleep->GetItemCount(), 13);
    EXPECT_EQ(sleep->GetItemText(0), L"3" + Text(537));
    EXPECT_EQ(sleep->GetItemText(12), L"4" + Text(538));
    // The mouse's own times were read into the profile.
    EXPECT_EQ(Config(L"deep_sleep"), L"1200");
    EXPECT_EQ(sleep->GetCurSel(), 5);
    const std::string light = Le16(sim->State().settings.lightSleep);
    for (int i = 0; i < 13; ++i) {
        const int seconds = kDeepSleepChoices[i].seconds;
        ChooseSleep(i);
        EXPECT_EQ(sleep->GetCurSel(), i);
        EXPECT_EQ(Config(L"deep_sleep"), std::to_wstring(seconds));
        EXPECT_TRUE(Received("06 13 05 00 00 0B " + light + " " + Le16(seconds))) << "choice " << i;
        EXPECT_EQ(sim->State().settings.deepSleep, seconds);
    }
}

TEST_F(DevicePageTest, ADeepSleepTimeOutsideTheListSelectsNothing) {
    StartOnDevicePage();
    DataStore::Instance().SetConfigValue(dlg->GetState().GetCurrentProfile(), L"deep_sleep", L"60");
    ClickTab(kTabDpi);
    ClickTab(kTabDevice);
    auto* sleep = Control<MComboBox>(DevicePage::IDC_SLEEP);
    EXPECT_EQ(sleep->GetCurSel(), -1);
    EXPECT_EQ(sleep->GetTitle(), L"");
}

TEST_F(DevicePageTest, WakeOnMovementRadiosStoreAndSend) {
    StartOnDevicePage();
    EXPECT_EQ(LabelText(DevicePage::IDC_WAKE_TEXT), Text(992));
    // The mouse reported wake on movement on.
    EXPECT_TRUE(Checked(DevicePage::IDC_WAKE_ON));
    EXPECT_FALSE(Checked(DevicePage::IDC_WAKE_OFF));
    ClickControl(DevicePage::IDC_WAKE_OFF);
    Settle();
    EXPECT_FALSE(Checked(DevicePage::IDC_WAKE_ON));
    EXPECT_TRUE(Checked(DevicePage::IDC_WAKE_OFF));
    EXPECT_EQ(Config(L"move_wakeup"), L"0");
    EXPECT_TRUE(Received("06 13 02 00 00 0C 00"));
    EXPECT_EQ(sim->State().settings.moveWakeup, 0);
    ClickControl(DevicePage::IDC_WAKE_ON);
    Settle();
    EXPECT_EQ(Config(L"move_wakeup"), L"1");
    EXPECT_TRUE(Received("06 13 02 00 00 0C 01"));

    // Another profile's choice shows when that profile becomes current.
    DataStore::Instance().SetConfigValue(dlg->GetState().GetCurrentProfile(), L"move_wakeup", L"0");
    dlg->GetDevicePage()->Reload();
    EXPECT_TRUE(Checked(DevicePage::IDC_WAKE_OFF));
}

TEST_F(DevicePageTest, TextsFollowTheLanguage) {
    StartOnDevicePage();
    SetCurrentLcid(1036);
    Platform::SendMessage(Hwnd(), WM_LANGUAGE_CHANGED, 0, 0);
    EXPECT_EQ(LabelText(DevicePage::IDC_WAKE_ON), Text(993));
    EXPECT_NE(Text(993), L"");
    EXPECT_EQ(Control<MComboBox>(DevicePage::IDC_SLEEP)->GetItemText(9), L"1" + Text(538));
    // The selection stays as it was.
    EXPECT_EQ(Control<MComboBox>(DevicePage::IDC_SLEEP)->GetCurSel(), 5);
}

TEST_F(DevicePageTest, UpgradeButtonsShowTheNoticeOnReceiverToo) {
    StartOnDevicePage(true);
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST, CUIMessageBox::IDC_FIRST});
    ClickControl(DevicePage::IDC_MOUSE_UPGRADE);
    ClickControl(DevicePage::IDC_RECEIVER_UPGRADE);
    Settle();
    ASSERT_EQ(boxes.size(), 2u);
    for (const SeenBox& box : boxes) {
        EXPECT_EQ(box.title, Text(672));
        EXPECT_EQ(box.message, Text(580));
    }
    EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
}

TEST_F(DevicePageTest, ThePairingButtonOpensThePairingEntry) {
    StartOnDevicePage(true);
    // The pairing dialog, or its confirmation first: either opens over the window.
    bool dialogOpened = false;
    WhenWindowOpens(L"DonglePairDlg", [&dialogOpened](HWND hwnd) {
        dialogOpened = true;
        Platform::PostMessage(hwnd, WM_CLOSE, 2, 0);
    });
    AnswerMessageBoxes({CUIMessageBox::IDC_SECOND});
    ClickControl(DevicePage::IDC_PAIRING);
    Settle();
    EXPECT_TRUE(dialogOpened || !boxes.empty());
}
