// The main window with the simulated mouse: views, model, tab and profile
// switches, factory reset, message box and wait dialog, closing.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "../support/DeniedBackend.h"
#include "MainWindowFixture.h"
#include "pages/DevicePage.h"
#include "pages/KeyPage.h"
#include "dialogs/ProfileDlg.h"
#include "dialogs/WaitDlg.h"
#include "base/LanguageText.h"
#include "orvix/controls/DListBox.h"
#include "orvix/core/MRender.h"
#include "base/TextConv.h"
#include "orvix/widgets/BatteryCtrl.h"
#include "orvix/widgets/CDeviceList.h"

using namespace Orvix;

namespace {

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

int CountStartingWith(const std::vector<std::string>& reports, const std::string& prefix) {
    return int(std::count_if(reports.begin(), reports.end(),
                             [&](const std::string& r) { return r.rfind(prefix, 0) == 0; }));
}

}  // namespace

class MainWindowTest : public MainWindowFixture {
  protected:
    std::wstring StateText() { return Control<MControlFont>(IDC_DEVICE_STATE)->GetTitle(); }
    bool Visible(UINT id) { return Control(id) && Control(id)->IsVisible(); }

    // Plugged, started and in the model view of the first model.
    void StartInModelView() {
        PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ASSERT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
    }
};

TEST_F(MainWindowTest, ViewsFollowTheMouseComingAndGoing) {
    Start();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::NotConnected);
    EXPECT_EQ(StateText(), Text(50));
    EXPECT_TRUE(Visible(IDC_HOME_TEXT));
    EXPECT_FALSE(Visible(IDC_DEVICE_LIST));
    EXPECT_FALSE(Visible(IDC_TABS));
    EXPECT_FALSE(Visible(IDC_MOUSE_PICTURE));

    // The cable comes: the hot-plug message leads to a refresh and a read.
    PlugCable();
    Settle();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::DeviceList);
    EXPECT_EQ(StateText(), Text(51));
    EXPECT_TRUE(Visible(IDC_DEVICE_LIST));
    EXPECT_FALSE(Visible(IDC_HOME_TEXT));
    EXPECT_EQ(dlg->GetDeviceList()->GetDeviceState(101), 1);
    EXPECT_FALSE(dlg->GetDeviceList()->GetCardRect(0).IsRectEmpty());

    // A click on the model shows it with its tabs, the key page with its picture.
    ClickDeviceCard(0);
    Settle();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
    EXPECT_TRUE(Visible(IDC_TABS));
    EXPECT_TRUE(Visible(IDC_TAB_BKG));
    EXPECT_TRUE(Visible(KeyPage::IDC_MOUSE_PICTURE));
    EXPECT_FALSE(Visible(IDC_MOUSE_PICTURE)) << "the frame's picture would lie under the pages' panels";
    EXPECT_TRUE(Visible(IDC_PROFILE));
    EXPECT_TRUE(Visible(IDC_BATTERY));
    EXPECT_EQ(dlg->GetCurrentTabId(), kTabKey);
    // The battery gauge shows what the mouse reported.
    EXPECT_EQ(Control<BatteryCtrl>(IDC_BATTERY)->GetLevel(), sim->State().batteryLevel);

    // Pulled out: back to the view without a device.
    sim->Unplug(SimEndpoint::Cable);
    Settle();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::NotConnected);
    EXPECT_EQ(StateText(), Text(50));
    EXPECT_FALSE(Visible(IDC_TABS));
}

TEST_F(MainWindowTest, TheReceiverIsNamedAsSuch) {
    PlugReceiver();
    Start();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::DeviceList);
    EXPECT_EQ(StateText(), Text(52));
    ClickDeviceCard(0);
    Settle();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
    EXPECT_EQ(StateText(), Text(52));
}

TEST_F(MainWindowTest, SelectingTheCurrentModelAgainQueuesNothing) {
    StartInModelView();
    const int reads = dlg->GetState().GetQueuedCount(kTaskReadAfterSwitch);
    ClickTab(kTabHome);
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::DeviceList);
    ClickDeviceCard(0);
    Settle();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
    EXPECT_EQ(dlg->GetState().GetQueuedCount(kTaskReadAfterSwitch), reads);
}

TEST_F(MainWindowTest, TabsShowTheirOwnPageOnly) {
    StartInModelView();
    const std::pair<int, UINT> tabs[] = {{kTabKey, IDC_PAGE_KEY},     {kTabDpi, IDC_PAGE_DPI},
                                         {kTabMacro, IDC_PAGE_MACRO}, {kTabText, IDC_PAGE_TEXT},
                                         {kTabLight, IDC_PAGE_LIGHT}, {kTabDevice, IDC_PAGE_DEVICE}};
    for (const auto& [tab, page] : tabs) {
        ClickTab(tab);
        EXPECT_EQ(dlg->GetCurrentTabId(), tab);
        for (const auto& [otherTab, otherPage] : tabs)
            EXPECT_EQ(Visible(otherPage), otherPage == page) << "tab " << tab << ", page " << otherPage;
        EXPECT_FALSE(Visible(IDC_PAGE_HOME));
        // The model's picture only on the key page, where the button map lies over it.
        EXPECT_FALSE(Visible(IDC_MOUSE_PICTURE));
        EXPECT_EQ(Visible(IDC_PAGE_KEY) && Visible(KeyPage::IDC_MOUSE_PICTURE), tab == kTabKey);
    }
    // Every visible tab lies wholly inside the strip (the lowest one too).
    MTabCtrl* strip = dlg->GetTabCtrl();
    for (int i = 0; i < strip->GetItemCount(); ++i) {
        if (!strip->GetItemVisible(i)) continue;
        const CRect item = strip->GetItemRect(i);
        EXPECT_LE(item.bottom, strip->GetRect().bottom) << "tab " << i;
    }
    ClickTab(kTabHome);
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::DeviceList);
    EXPECT_FALSE(Visible(IDC_MOUSE_PICTURE));
}

TEST_F(MainWindowTest, ChoosingAProfileSendsItsSettingsOnce) {
    StartInModelView();
    // Profile 3 asks for another report rate than the one the mouse has.
    DataStore& store = DataStore::Instance();
    ASSERT_TRUE(store.SetConfigValue(3, L"report_rate", L"2"));
    ASSERT_TRUE(store.SetConfigValue(3, L"dpi_group1_value", L"3200"));
    const int writes = dlg->GetState().GetQueuedCount(kTaskWriteEverything);

    // The pop-up's third row, clicked from inside its modal loop.
    WhenWindowOpens(L"ProfileDlg", [this](HWND) {
        ProfileDlg* popup = ProfileDlg::GetOpen();
        ASSERT_NE(popup, nullptr);
        auto* rows = dynamic_cast<DListBox*>(popup->GetControl(ProfileDlg::IDC_LIST));
        ClickAt(popup->GetSafeHwnd(), rows->GetItemRect(2).CenterPoint());
    });
    ClickControl(IDC_PROFILE);
    Settle();

    EXPECT_EQ(dlg->GetState().GetQueuedCount(kTaskWriteEverything), writes + 1);
    EXPECT_EQ(dlg->GetState().GetCurrentProfile(), 3);
    EXPECT_EQ(store.GetActiveProfile(), 3);
    EXPECT_EQ(Control<MControlFont>(IDC_PROFILE)->GetTitle(), Text(61) + L" 3");
    const SimSettings settings = sim->State().settings;
    EXPECT_EQ(settings.reportRate, 2);
    EXPECT_EQ(settings.dpi[1], 3200);
    EXPECT_TRUE(Platform::FindWindows(L"ProfileDlg").empty());
}

TEST_F(MainWindowTest, ARenamedProfileBecomesActiveWhenThePopupLosesActivation) {
    StartInModelView();
    WhenWindowOpens(L"ProfileDlg", [this](HWND) {
        ProfileDlg* dialog = ProfileDlg::GetOpen();
        ASSERT_NE(dialog, nullptr);
        const HWND popup = dialog->GetSafeHwnd();
        auto* rows = dynamic_cast<DListBox*>(dialog->GetControl(ProfileDlg::IDC_LIST));
        // A right click on the second row opens its edit; the new name ends with Enter.
        hands.ClickAt(popup, rows->GetItemRect(1).CenterPoint(), true);
        hands.Key(VK_END);
        for (int i = 0; i < 12; ++i) hands.Key(VK_BACK);
        hands.Type(L"Sniper");
        hands.Key(VK_RETURN);
        // A click on the desktop, away from the program: the pop-up loses activation.
        hands.MoveTo(CPoint(5, 5));
        hands.Click();
    });
    ClickControl(IDC_PROFILE);
    Settle();
    std::wstring name;
    DataStore::Instance().GetProfileName(2, name, 1033);
    EXPECT_EQ(name, L"Sniper");
    EXPECT_EQ(dlg->GetState().GetCurrentProfile(), 2);
    EXPECT_EQ(DataStore::Instance().GetActiveProfile(), 2);
    EXPECT_EQ(Control<MControlFont>(IDC_PROFILE)->GetTitle(), L"Sniper");
}

TEST_F(MainWindowTest, TheProfileButtonWithoutAMouseExplainsInstead) {
    Start();
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    dlg->OpenProfilePopup();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(576));
    EXPECT_EQ(boxes[0].message, Text(57));
}

TEST_F(MainWindowTest, FactoryResetAsksFirstAndWaitsForTheMouse) {
    StartInModelView();
    ClickTab(kTabDevice);
    const std::string reset = "06 0F 01 00 00 FF";

    // Cancelled: nothing is sent.
    AnswerMessageBoxes({CUIMessageBox::IDC_SECOND});
    ClickControl(DevicePage::IDC_FACTORY_RESET);
    Settle();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(570));
    EXPECT_EQ(CountStartingWith(ReceivedReports(), reset), 0);

    // Accepted: the reset goes out, the wait dialog shows until the task ends it.
    DataStore::Instance().SetConfigValue(dlg->GetState().GetCurrentProfile(), L"report_rate", L"0");
    bool waited = false;
    WhenWindowOpens(L"WaitDlg", [&waited](HWND) { waited = true; });
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    ClickControl(DevicePage::IDC_FACTORY_RESET);
    Settle();
    EXPECT_TRUE(waited);
    EXPECT_EQ(CountStartingWith(ReceivedReports(), reset), 1);
    EXPECT_EQ(dlg->GetWaitDialog(), nullptr);
    EXPECT_TRUE(Platform::FindWindows(L"WaitDlg").empty());
    EXPECT_TRUE(dlg->IsWindowEnabled());
    // The profile's settings are the defaults again.
    EXPECT_NE(Config(L"report_rate"), L"0");
}

TEST_F(MainWindowTest, UpgradeButtonsOnlyShowTheNotice) {
    StartInModelView();
    ClickTab(kTabDevice);
    sim->Trace().ClearReceived();
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST, CUIMessageBox::IDC_FIRST});
    ClickControl(DevicePage::IDC_MOUSE_UPGRADE);
    ClickControl(DevicePage::IDC_RECEIVER_UPGRADE);
    Settle();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].message, Text(580));
    EXPECT_EQ(CountStartingWith(ReceivedReports(), "06 13"), 0);
}

TEST_F(MainWindowTest, MessageBoxKindsAndResults) {
    Start();
    AnswerMessageBoxes({CUIMessageBox::IDC_SECOND, CUIMessageBox::IDC_FIRST, CUIMessageBox::IDC_FIRST});
    EXPECT_EQ(ShowMessageBox(L"Question", Hwnd(), L"Title", CUIMessageBox::kKindOkCancel), 2);
    EXPECT_EQ(ShowMessageBox(L"Question", Hwnd(), L"Title", CUIMessageBox::kKindOkCancel), 1);
    EXPECT_EQ(ShowMessageBox(nullptr, Hwnd(), nullptr, CUIMessageBox::kKindOk), 1);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].title, L"");
    // The box is 430 x 230, centred, its buttons as the kind says.
    SetMessageBoxHook(
        [](CUIMessageBox& box, void* self) {
            EXPECT_EQ(box.GetClientRect().Width(), CUIMessageBox::kWidth);
            EXPECT_NE(box.GetControl(CUIMessageBox::IDC_FIRST), nullptr);
            EXPECT_EQ(box.GetControl(CUIMessageBox::IDC_SECOND), nullptr);
            static_cast<MainWindowTest*>(self)->hands.Key(VK_RETURN);  // Enter is its OK
        },
        this);
    EXPECT_EQ(ShowMessageBox(L"Notice", Hwnd(), L"Title", CUIMessageBox::kKindOk), 1);
}

TEST_F(MainWindowTest, WaitDialogIsCentredOverItsOwnerEvenASmallOne) {
    EXPECT_EQ(WaitDlg::PlaceOver(CRect(100, 100, 1380, 900)), CRect(689, 449, 791, 551));
    // A 50 x 50 owner: the window keeps its centre on the owner's.
    EXPECT_EQ(WaitDlg::PlaceOver(CRect(0, 0, 50, 50)), CRect(-26, -26, 76, 76));
}

TEST_F(MainWindowTest, CloseButtonFollowsTheExitMode) {
    // No tray here: closing must not leave a hidden window behind.
    Start();
    ClickControl(IDC_SYSBTN_CLOSE);
    EXPECT_TRUE(dlg->IsExitRequested());
    EXPECT_EQ(dlg->GetSafeHwnd(), nullptr);

    WriteAppRegInt(L"exit_mode", 1);
    Start();
    ClickControl(IDC_SYSBTN_CLOSE);
    EXPECT_TRUE(dlg->IsExitRequested());
}

TEST_F(MainWindowTest, MaximiseButtonImageFollowsTheZoomState) {
    Start();
    ClickControl(IDC_SYSBTN_MAX);
    EXPECT_TRUE(dlg->IsZoomed());
    EXPECT_NE(Control<MControlFont>(IDC_SYSBTN_MAX)->GetImagePath().find(L"sysbtn_restore.png"), std::wstring::npos);
    ClickControl(IDC_SYSBTN_MAX);
    EXPECT_FALSE(dlg->IsZoomed());
    EXPECT_NE(Control<MControlFont>(IDC_SYSBTN_MAX)->GetImagePath().find(L"sysbtn_maximize.png"),
              std::wstring::npos);
}

TEST_F(MainWindowTest, AResizedWindowKeepsItsProportionsTextIncluded) {
    Start();
    EXPECT_DOUBLE_EQ(dlg->GetScaleFactor(), 800.0 / 780.0);
    // 1600 x 1000 on the screen: everything 1.25 times as large, the layout
    // (and the pages' client height / 780 rule) as at 1280 x 800.
    Headless::Resize(Hwnd(), 1600, 1000);
    Platform::RunPending();
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 1.25);
    EXPECT_EQ(dlg->GetClientRect(), CRect(0, 0, 1280, 800));
    EXPECT_DOUBLE_EQ(dlg->GetScaleFactor(), 800.0 / 780.0);
    EXPECT_EQ(Control(IDC_SYSBTN_CLOSE)->GetRect(), CRect(1230, 10, 1260, 40));
    const CPoint corner = Platform::ClientToDeviceScreen(Hwnd(), CRect()).TopLeft();
    CRect footer = Platform::ClientToDeviceScreen(Hwnd(), Control(IDC_FOOTER_BAR)->GetRect());
    footer.OffsetRect(-corner.x, -corner.y);
    EXPECT_EQ(footer, CRect(1, 938, 1599, 999));
    // Wider than 16:10: the height sets the factor and the layout gets the width.
    Headless::Resize(Hwnd(), 2000, 1000);
    Platform::RunPending();
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 1.25);
    EXPECT_EQ(dlg->GetClientRect(), CRect(0, 0, 1600, 800));
    EXPECT_EQ(Control(IDC_SYSBTN_CLOSE)->GetRect(), CRect(1550, 10, 1580, 40));
    EXPECT_EQ(Control(IDC_PAGE_KEY)->GetRect(), CRect(200, 75, 1599, 750));
    // Taller: the width sets it, and the pages count with the height that
    // width gives instead of growing wider than the window.
    Headless::Resize(Hwnd(), 1280, 1000);
    Platform::RunPending();
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 1.0);
    EXPECT_EQ(dlg->GetClientRect(), CRect(0, 0, 1280, 1000));
    EXPECT_DOUBLE_EQ(dlg->GetScaleFactor(), 800.0 / 780.0);
    EXPECT_EQ(Control(IDC_FOOTER_BAR)->GetRect(), CRect(1, 950, 1279, 999));
}

TEST_F(MainWindowTest, AMouseThisUserMayNotOpenIsExplainedOnTheHomePage) {
    auto denied = std::make_shared<DeniedBackend>(sim);
    denied->Deny(0x3A5C, 0x0108);
    DeviceManager::Instance().SetBackend(denied);
    PlugCable();
    Start();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::NotConnected);
    const std::wstring notice = dlg->GetHomeNotice();
    EXPECT_NE(notice.find(Text(900)), std::wstring::npos) << Orvix::WideToUtf8(notice);

    // Access granted and the mouse plugged in again: the notice goes.
    denied->GrantAll();
    sim->Unplug(SimEndpoint::Cable);
    Settle();
    PlugCable();
    Settle();
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::DeviceList);
    EXPECT_EQ(dlg->GetHomeNotice(), L"");
}

TEST_F(MainWindowTest, ADamagedStoreIsReplacedAndToldOnce) {
    const std::filesystem::path db = Root() / "data" / "Vantorel Mouse Files" / "db";
    std::filesystem::create_directories(db);
    {
        std::ofstream junk(db / "vantorel_v8_data1.db", std::ios::binary);
        junk << std::string(3000, '\x5A');
    }
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST, CUIMessageBox::IDC_FIRST});
    PlugCable();
    Start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(953));
    EXPECT_NE(boxes[0].message.find(L".damaged-"), std::wstring::npos) << Orvix::WideToUtf8(boxes[0].message);
    // The fresh store is whole: the profiles are there.
    EXPECT_EQ(DataStore::Instance().GetActiveProfile(), 1);
    ClickDeviceCard(0);
    Settle();
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(MainWindowTest, TheSavedPictureShowsAMessageBoxAsOpaqueAsTheScreenDoes) {
    PlugCable();
    Start();
    ClickDeviceCard(0);
    Settle();
    const std::wstring path = (Root() / "message.png").wstring();
    struct Seen {
        DeviceMainDlg* window;
        std::wstring path;
        bool saved = false;
        int differing = -1;
        CRect at;
    } seen{dlg.get(), path, false, -1, CRect()};
    SetMessageBoxHook(
        [](CUIMessageBox& box, void* context) {
            auto& s = *static_cast<Seen*>(context);
            Platform::UpdateWindow(box.GetSafeHwnd());
            s.saved = SaveWindowPicture(*s.window, s.path);
            // What the box shows: each of its pixels without the alpha the
            // screen does not use.
            const Canvas* own = Platform::GetPresentedImage(box.GetSafeHwnd());
            auto picture = MRender::LoadImageFromFile(s.path);
            if (own && picture) {
                s.at = Platform::GetWindowRect(box.GetSafeHwnd());
                s.at.OffsetRect(-Platform::GetWindowRect(s.window->GetSafeHwnd()).left,
                                -Platform::GetWindowRect(s.window->GetSafeHwnd()).top);
                s.differing = 0;
                const uint32_t* pixels = own->GetData();
                for (int y = 0; y < own->GetHeight(); ++y)
                    for (int x = 0; x < own->GetWidth(); ++x) {
                        const uint32_t expected = pixels[y * own->GetStride() + x] | 0xFF000000u;
                        if (picture->GetPixel(s.at.left + x, s.at.top + y).GetValue() != expected)
                            ++s.differing;
                    }
            }
            box.DoCancel();
        },
        &seen);
    dlg->ShowMessage(570, 571, CUIMessageBox::kKindOkCancel);
    ASSERT_TRUE(seen.saved);
    EXPECT_EQ(seen.differing, 0) << "the page shows through the message box in the picture";
}
