// The real window on a private X server with no window manager, driven by
// xdotool as a person's hands drive it: the pointer comes from elsewhere to
// each control, and keys go where the X server sends them. What the headless
// tests cannot show: SDL's own event path, the X server's pointer and keyboard.
// VANTOREL_XVFB_PICTURES=<folder> keeps a picture of the screen after each step.
#include <cstdlib>
#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "PrivateDisplayFixture.h"
#include "pages/DevicePage.h"
#include "pages/DpiPage.h"
#include "pages/KeyPage.h"
#include "dialogs/DonglePairDlg.h"
#include "dialogs/SettingDlg.h"
#include "orvix/widgets/DPIControl.h"
#include "orvix/widgets/DPISlider.h"
#include "orvix/widgets/KeyFuncType.h"
#include "tests/support/FastPairing.h"

using namespace Orvix;

namespace {

// Hooks are plain functions: what the test wants done in a dialog's loop.
std::function<void()> g_inDialog;
int g_boxes = 0;

}  // namespace

class RealWindowTest : public OnPrivateDisplay<MainWindowFixture> {
  protected:
    void TearDown() override {
        SetMessageBoxHook(nullptr, nullptr);
        SetSettingDialogHook(nullptr, nullptr);
        SetPairDialogHook(nullptr, nullptr);
        g_inDialog = nullptr;
        OnPrivateDisplay<MainWindowFixture>::TearDown();
    }

    void Picture(const std::string& name) {
        const char* folder = std::getenv("VANTOREL_XVFB_PICTURES");
        if (folder && *folder) RunProgram({"import", "-window", "root", std::string(folder) + "/" + name + ".png"});
    }

    // Runs `g_inDialog` from a dialog's modal loop (its hook), once.
    static void InDialog() {
        if (!g_inDialog) return;
        auto act = std::move(g_inDialog);
        g_inDialog = nullptr;
        act();
    }
};

TEST_F(RealWindowTest, TheSettingsDialogClosesWithItsCloseButtonAndWithEsc) {
    StartReal();
    for (bool withEsc : {false, true}) {
        bool shown = false;
        g_inDialog = [&] {
            shown = true;
            Pump(300);  // as a person sees it: painted
            Picture(withEsc ? "settings-esc" : "settings-close");
            if (withEsc) {
                EXPECT_EQ(Key("Escape"), 0);
            } else {
                // The pointer comes from the dialog's page over its caption to the close button.
                const CRect r = Platform::GetWindowRect(Platform::FindWindows(L"Setting Window").front());
                EXPECT_EQ(Xdo(CPoint(r.left + 300, r.top + 200), CPoint(r.right - 26, r.top + 22)), 0);
            }
        };
        SetSettingDialogHook([](SettingDlg&, void*) { InDialog(); }, nullptr);
        // The caption's settings button, from the page area.
        ASSERT_EQ(Xdo(InWindow(700, 400), At(dlg->GetControl(IDC_SYSBTN_SETTING))), 0);
        EXPECT_TRUE(PumpUntil([&] { return shown && Platform::FindWindows(L"Setting Window").empty(); }))
            << (withEsc ? "Esc" : "the close button") << " left the settings open";
    }
}

TEST_F(RealWindowTest, ThePairingDialogClosesWithItsCloseButton) {
    StartReal(true);
    dlg->SetPairingTimings(FastPairing());
    ToModelView();
    ToTab(kTabDevice);
    SetMessageBoxHook([](CUIMessageBox&, void*) { EXPECT_EQ(Key("Return"), 0); }, nullptr);  // "pair now?": yes
    bool shown = false;
    g_inDialog = [&] {
        shown = true;
        const HWND hwnd = Platform::FindWindows(L"DonglePairDlg").front();
        const CRect r = Platform::GetWindowRect(hwnd);
        Pump(300);
        Picture("pairing");
        EXPECT_EQ(Xdo(CPoint(r.left + r.Width() / 2, r.top + r.Height() / 2), CPoint(r.right - 28, r.top + 24)), 0);
    };
    SetPairDialogHook([](DonglePairDlg&, void*) { InDialog(); }, nullptr);
    ASSERT_EQ(Xdo(InWindow(700, 200), At(dlg->GetControl(DevicePage::IDC_PAIRING))), 0);
    EXPECT_TRUE(PumpUntil([&] { return shown && Platform::FindWindows(L"DonglePairDlg").empty(); }))
        << "the pairing dialog stayed open";
}

TEST_F(RealWindowTest, TheDpiResetButtonAsksOnEveryClickFromEveryDirection) {
    StartReal();
    ToModelView();
    ToTab(kTabDpi);
    g_boxes = 0;
    SetMessageBoxHook(
        [](CUIMessageBox&, void*) {
            ++g_boxes;
            EXPECT_EQ(Key("Escape"), 0);  // "no": nothing is reset
        },
        nullptr);
    MControl* reset = dlg->GetControl(DpiPage::IDC_DPI_RESET);
    const CPoint target = At(reset);
    const CRect window = dlg->GetWindowRect();
    // From outside the window, from the page's middle, from the caption, from
    // the DPI cards and from the level count below.
    const CPoint starts[] = {CPoint(window.right + 40, target.y), InWindow(640, 420), InWindow(500, 25),
                             At(dlg->GetControl(DpiPage::IDC_DPI_LEVELS)),
                             At(dlg->GetControl(DpiPage::IDC_DPI_COUNT))};
    int expected = 0;
    for (const CPoint& from : starts) {
        ASSERT_EQ(Xdo(from, target), 0);
        ++expected;
        EXPECT_TRUE(PumpUntil([&] { return g_boxes == expected; }, 3000))
            << "no question for the click from " << from.x << "," << from.y << " (message boxes open: "
            << Platform::FindWindows(L"MessageBox").size() << ", active: \""
            << WideToUtf8(Platform::GetWindowText(Platform::GetActiveWindow())) << "\")";
        Pump(100);
    }
    Picture("dpi-reset");
    EXPECT_EQ(g_boxes, 5);
}

TEST_F(RealWindowTest, DraggingTheDpiThumbMovesTheLevelByTheDistanceDragged) {
    StartReal();
    ToModelView();
    ToTab(kTabDpi);
    auto* slider = Control<DPISlider>(DpiPage::IDC_DPI_SLIDER);
    auto* levels = Control<DPIControl>(DpiPage::IDC_DPI_LEVELS);
    const int level = levels->GetSelectItem();
    const int before = slider->GetProgress();
    const int beforeDpi = levels->GetDPIValue(level);
    const CPoint thumb = UserHands::ToScreen(Hwnd(), slider->GetThumbRect().CenterPoint());
    constexpr int kDistance = 150;
    // Press on the thumb, drag it 150 pixels to the right in steps, let go.
    ASSERT_EQ(Xdo(InWindow(640, 600), thumb, {"mousedown", "1"}), 0);
    ASSERT_EQ(Xdo(thumb, CPoint(thumb.x + kDistance, thumb.y), {"mouseup", "1"}), 0);
    Pump(500);
    Picture("dpi-drag");
    const int steps = slider->GetMaxProgress() - slider->GetMinProgress();
    const double expected = double(kDistance) * steps / DPISlider::kTrack.Width();
    EXPECT_NEAR(slider->GetProgress() - before, expected, 1.0);
    EXPECT_NEAR(UserHands::ToScreen(Hwnd(), slider->GetThumbRect().CenterPoint()).x, thumb.x + kDistance, 2);
    EXPECT_NE(levels->GetDPIValue(level), beforeDpi);  // the level took the new value
}

TEST_F(RealWindowTest, TabThenEnterOnTheKeyPageChoosesAFunctionType) {
    StartReal();
    ToModelView();
    auto* page = dynamic_cast<KeyPage*>(dlg->GetPage(kTabKey));
    ASSERT_NE(page, nullptr);
    auto* types = Control<KeyFuncType>(KeyPage::IDC_TYPE_LIST);
    const int before = page->GetSelectedType();
    // The keys go where the X server sends them: the pointer rests on the window.
    ASSERT_EQ(Xdo(InWindow(5, 5), InWindow(640, 780), {}), 0);
    PaintManager& pm = dlg->GetPaintManager();
    for (int i = 0; i < 40 && pm.GetFocusControl() != types; ++i) {
        ASSERT_EQ(Key("Tab"), 0);
        Pump(60);
    }
    ASSERT_EQ(pm.GetFocusControl(), types) << "Tab never reached the function types";
    ASSERT_EQ(Key("Down"), 0);
    Pump(100);
    Picture("key-focus");
    EXPECT_EQ(page->GetSelectedType(), before);  // an arrow only moves the ring
    ASSERT_EQ(Key("Return"), 0);
    EXPECT_TRUE(PumpUntil([&] { return page->GetSelectedType() != before; }, 3000));
    EXPECT_EQ(page->GetSelectedType(), types->GetItemData(types->GetKeyItem()));
}
