// Profiles that follow the application in front, in the real main window with
// the simulated mouse: the window watch's provider is replaced by one the test
// drives from a thread of its own, as a real provider reports.
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "MainWindowFixture.h"
#include "dialogs/AutoProfileSwitcher.h"
#include "base/SettingsStore.h"
#include "pages/DevicePage.h"
#include "dialogs/AppPickerDlg.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/MListBox.h"
#include "platform/WindowWatch.h"

using namespace Orvix;

namespace {

// What the replaced providers share with the test.
struct FakeWatchState {
    std::mutex mutex;
    WindowWatchProvider::Sink sink;
    int starts = 0;
    int stops = 0;
};

class FakeWatch : public WindowWatchProvider {
  public:
    explicit FakeWatch(std::shared_ptr<FakeWatchState> state) : m_state(std::move(state)) {}
    bool Start(Sink sink) override {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->sink = std::move(sink);
        ++m_state->starts;
        return true;
    }
    void Stop() override {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (m_state->sink) ++m_state->stops;
        m_state->sink = nullptr;
    }

  private:
    std::shared_ptr<FakeWatchState> m_state;
};

FocusedWindow App(const std::wstring& instance, const std::wstring& cls = L"Xmessage") {
    FocusedWindow w;
    w.wmInstance = instance;
    w.wmClass = cls;
    w.pid = 424242;
    return w;
}

}  // namespace

class AutoProfileTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // An X11 session as far as the switcher can tell; the provider is ours.
        SetEnv("DISPLAY", ":77");
        SetEnv("WAYLAND_DISPLAY", std::nullopt);
        SetEnv("XDG_SESSION_TYPE", std::nullopt);
        watch = std::make_shared<FakeWatchState>();
        SetWindowWatchFactory([state = watch](WatchSession) { return std::make_unique<FakeWatch>(state); });
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        SetWindowWatchFactory(nullptr);
    }

    // The mouse on its cable, the model shown, rules: "gamewin" switches to
    // profile 2, "editorwin" to profile 3.
    void StartWithRules(bool enabled) {
        ASSERT_TRUE(SettingsStore(GetSettingsStorePath()).Create());
        ASSERT_TRUE(WriteAppRegInt(kAutoProfileSetting, enabled ? 1 : 0));
        PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ASSERT_TRUE(DataStore::Instance().SetProfileApp(2, L"class=gamewin"));
        ASSERT_TRUE(DataStore::Instance().SetProfileApp(3, L"class=editorwin"));
        ASSERT_EQ(dlg->GetState().GetCurrentProfile(), 1);
    }

    // A provider's report, from another thread as a real one sends it.
    void Front(const FocusedWindow& window) {
        WindowWatchProvider::Sink sink;
        {
            std::lock_guard<std::mutex> lock(watch->mutex);
            sink = watch->sink;
        }
        ASSERT_TRUE(sink) << "no provider is running";
        std::thread([&] { sink(window); }).join();
        Platform::RunPending();
    }
    void Wait(uint64_t ms) {
        Headless::AdvanceClock(ms);
        Settle();
    }
    size_t Reports() { return ReceivedReports().size(); }
    // The centre of a list row in its window, scrolled into view with the wheel as a user would.
    CPoint VisibleRow(MListBox* list, int index, HWND hwnd) {
        auto rowRect = [&] {
            CRect row = list->GetItemRect(index);
            const CPoint scroll = list->GetScrollOffset();
            const CPoint panels = MPanel::GetContentOffset(list);
            row.OffsetRect(-scroll.x - panels.x, -scroll.y - panels.y);
            return row;
        };
        CRect row = rowRect();
        const CRect box = list->GetRect();
        for (int notch = 0; notch < 100 && row.bottom > box.bottom; ++notch) {
            Headless::Wheel(hwnd, box.CenterPoint().x, box.CenterPoint().y, -120);
            Platform::RunPending();
            row = rowRect();
        }
        return row.CenterPoint();
    }
    int32_t Current() { return dlg->GetState().GetCurrentProfile(); }

    std::shared_ptr<FakeWatchState> watch;
};

TEST_F(AutoProfileTest, AnApplicationInFrontFor300MsSwitchesItsProfileOnce) {
    StartWithRules(true);
    const size_t start = Reports();
    Front(App(L"gamewin"));
    Wait(299);
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(Reports(), start);
    Wait(1);
    EXPECT_EQ(Current(), 2);
    // What choosing it in the pop-up does: the store, the label, the reports of one profile.
    EXPECT_EQ(DataStore::Instance().GetActiveProfile(), 2);
    const size_t oneSwitch = Reports() - start;
    ASSERT_GT(oneSwitch, 0u);

    // Again in front, or another window of it: nothing more.
    Front(App(L"gamewin"));
    Wait(1000);
    EXPECT_EQ(Reports(), start + oneSwitch);

    Front(App(L"editorwin"));
    Wait(300);
    EXPECT_EQ(Current(), 3);
    EXPECT_EQ(Reports(), start + 2 * oneSwitch);

    // Flapping: the game for 100 ms, back to the editor: nothing switches.
    Front(App(L"gamewin"));
    Wait(100);
    Front(App(L"editorwin"));
    Wait(600);
    EXPECT_EQ(Current(), 3);
    EXPECT_EQ(Reports(), start + 2 * oneSwitch);
}

TEST_F(AutoProfileTest, UnknownApplicationsKeepTheProfileOrTakeTheDefaultAndOwnWindowsNeverSwitch) {
    StartWithRules(true);
    Front(App(L"somethingelse"));
    Wait(400);
    EXPECT_EQ(Current(), 1);

    ASSERT_TRUE(DataStore::Instance().SetProfileApp(4, L"default=1"));
    Front(App(L"another"));
    Wait(400);
    EXPECT_EQ(Current(), 4);

    // The program's own window in front (its user edits the rules): nothing.
    FocusedWindow own = App(L"VantorelMouse", L"VantorelMouse");
    own.own = true;
    const size_t before = Reports();
    Front(own);
    Wait(400);
    EXPECT_EQ(Current(), 4);
    EXPECT_EQ(Reports(), before);
}

TEST_F(AutoProfileTest, NoSwitchWhileADialogIsOpenThenItHappens) {
    StartWithRules(true);
    // A modal dialog disables the window, as the profile pop-up or a message box does.
    dlg->EnableWindow(FALSE);
    Front(App(L"gamewin"));
    Wait(2000);
    EXPECT_EQ(Current(), 1);
    dlg->EnableWindow(TRUE);
    Wait(AutoProfileSwitcher::kBusyRetryMs);
    EXPECT_EQ(Current(), 2);
}

TEST_F(AutoProfileTest, OffNoProviderRunsAndNothingSwitches) {
    StartWithRules(false);
    EXPECT_EQ(watch->starts, 0);
    EXPECT_FALSE(dlg->GetAutoProfile()->IsWatching());
    const size_t before = Reports();
    Wait(1000);
    EXPECT_EQ(Reports(), before);
    EXPECT_EQ(Current(), 1);
}

TEST_F(AutoProfileTest, TheDevicePageSwitchTurnsItOnAndOffAndIsStored) {
    StartWithRules(false);
    ClickTab(kTabDevice);
    Settle();
    ClickControl(DevicePage::IDC_RULES_SWITCH);
    Settle();
    EXPECT_EQ(ReadAppRegInt(kAutoProfileSetting), 1);
    EXPECT_EQ(watch->starts, 1);
    Front(App(L"gamewin"));
    Wait(300);
    EXPECT_EQ(Current(), 2);

    ClickControl(DevicePage::IDC_RULES_SWITCH);
    Settle();
    EXPECT_EQ(ReadAppRegInt(kAutoProfileSetting), 0);
    EXPECT_EQ(watch->stops, 1);
    EXPECT_FALSE(dlg->GetAutoProfile()->IsWatching());
}

TEST_F(AutoProfileTest, TheApplicationInFrontAfterTheCountdownJoinsTheChosenProfile) {
    StartWithRules(false);
    ClickTab(kTabDevice);
    Settle();
    auto* page = dlg->GetDevicePage();
    ASSERT_EQ(page->GetRulesProfile(), 1);
    ClickControl(DevicePage::IDC_RULES_FRONT);
    // The feature is off, yet the watch runs for the countdown, without switching.
    ASSERT_EQ(watch->starts, 1);
    EXPECT_EQ(page->GetCountdown(), 3);
    // The program first, then the user brings the game to the front.
    FocusedWindow own = App(L"VantorelMouse", L"VantorelMouse");
    own.own = true;
    Front(own);
    Wait(1000);
    Front(App(L"gamewin"));
    Wait(1000);
    Front(own);
    EXPECT_EQ(page->GetCountdown(), 1);
    Wait(1000);
    EXPECT_EQ(page->GetCountdown(), 0);
    EXPECT_EQ(watch->stops, 1);
    EXPECT_EQ(Current(), 1);
    // Named by its window class (no installed entry names it), in profile 1, and listed.
    std::vector<ProfileData> profiles;
    DataStore::Instance().ListProfiles(profiles, 1033);
    EXPECT_EQ(profiles[0].app, L"class=Xmessage");
    EXPECT_EQ(profiles[1].app, L"class=gamewin");
    ASSERT_EQ(page->GetShownApps().size(), 1u);
    EXPECT_EQ(Control<MListBox>(DevicePage::IDC_RULES_LIST)->GetItemCount(), 1);
}

TEST_F(AutoProfileTest, AnInstalledApplicationIsAddedFromTheListAndRemovedAgain) {
    // An application installed for this user.
    const std::filesystem::path apps = Root() / "data" / "applications";
    std::filesystem::create_directories(apps);
    std::ofstream(apps / "zz-test-game.desktop") << "[Desktop Entry]\nType=Application\nName=Zz Test Game\n"
                                                    "Exec=zz-test-game\nStartupWMClass=zzgame\n";
    StartWithRules(false);
    ClickTab(kTabDevice);
    Settle();
    bool chosen = false;
    // Shown: the list is read on a thread; once there, our row is clicked, then Add.
    SetAppPickerHook([this, &chosen](AppPickerDlg& picker) {
        const HWND hwnd = picker.GetSafeHwnd();
        for (int turn = 0; turn < 1000 && !picker.IsLoaded(); ++turn) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            Platform::RunPending();
        }
        auto* list = dynamic_cast<MListBox*>(picker.GetControl(AppPickerDlg::IDC_LIST));
        const auto& all = picker.GetApps();
        for (size_t i = 0; i < all.size() && list; ++i) {
            if (all[i].id != L"zz-test-game.desktop") continue;
            ClickAt(hwnd, VisibleRow(list, list->FindItemData(LPARAM(i)), hwnd));
            // The last click is left to the dialog's own loop, which takes its result.
            const CPoint add = picker.GetControl(AppPickerDlg::IDC_ADD)->GetRect().CenterPoint();
            Headless::MouseMove(hwnd, add.x, add.y);
            Headless::Click(hwnd, add.x, add.y);
            chosen = true;
            return;
        }
        picker.DoCancel();
    });
    ClickControl(DevicePage::IDC_RULES_ADD);
    Settle();
    SetAppPickerHook(nullptr);
    ASSERT_TRUE(chosen);
    std::vector<ProfileData> profiles;
    DataStore::Instance().ListProfiles(profiles, 1033);
    EXPECT_EQ(profiles[0].app, L"desktop=zz-test-game.desktop");
    auto* list = Control<MListBox>(DevicePage::IDC_RULES_LIST);
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0), L"Zz Test Game");

    // Selected and removed.
    ClickAt(Hwnd(), VisibleRow(list, 0, Hwnd()));
    ClickControl(DevicePage::IDC_RULES_REMOVE);
    Settle();
    DataStore::Instance().ListProfiles(profiles, 1033);
    EXPECT_EQ(profiles[0].app, L"");
    EXPECT_EQ(list->GetItemCount(), 0);
}
