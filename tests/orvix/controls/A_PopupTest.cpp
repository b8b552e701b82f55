// The windows beside a dialog: tooltip, bubble, dropped pictures, drop shadow,
// loading window and keyboard tips, on the test clock.
#include "A_ControlsFixture.h"
#include "orvix/controls/CHelpButton.h"
#include "orvix/controls/CKeyboardTips.h"
#include "orvix/controls/LoadingWnd.h"
#include "orvix/core/MAirBladder.h"
#include "orvix/controls/MButton.h"
#include "orvix/core/MShadow.h"
#include "orvix/core/MTooltipWnd.h"

using namespace ControlsTest;

namespace {

// Records the pictures dropped onto it.
class DropDialog : public TestDialog {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == STM_SETIMAGE && wParam == IMAGE_BITMAP)
            dropped.push_back(*reinterpret_cast<const std::shared_ptr<Image>*>(lParam));
        return TestDialog::OnWindowMessage(msg, wParam, lParam);
    }
    std::vector<std::shared_ptr<Image>> dropped;
};

}  // namespace

class Popups : public ControlsTest::ControlsTest {
protected:
    PaintManager& Pm() { return dlg.GetPaintManager(); }
};

TEST_F(Popups, TheTooltipShowsForTheHoveredControlAndHidesOnLeave) {
    auto* a = Make<MButton>(L"MButton", CRect(10, 10, 110, 40), nullptr, 1);
    auto* b = Make<MButton>(L"MButton", CRect(10, 60, 110, 90), nullptr, 2);
    a->SetTooltip(L"Restore the factory settings of this page");
    b->SetTooltip(L"Second");
    EXPECT_EQ(Pm().GetTooltipWindow(), nullptr);  // made on first use
    Move(50, 20);
    MTooltipWnd* tip = Pm().GetTooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsWindowVisible());
    EXPECT_EQ(tip->GetText(), L"Restore the factory settings of this page");
    EXPECT_EQ(Pm().GetTooltipOwner(), 1u);
    // Below the pointer, never wider than 256 pixels, painted on 0xF5F5F5.
    const CRect r = tip->GetWindowRect();
    EXPECT_EQ(r.left, 100 + 50);
    EXPECT_GT(r.top, 100 + 20);
    EXPECT_LE(r.Width(), MTooltipWnd::kMaxWidth);
    Platform::UpdateWindow(tip->GetSafeHwnd());
    EXPECT_EQ(Platform::GetPresentedImage(tip->GetSafeHwnd())->GetPixel(2, 2).GetValue(), 0xFFF5F5F5u);

    Move(50, 70);
    EXPECT_EQ(tip->GetText(), L"Second");
    EXPECT_EQ(Pm().GetTooltipOwner(), 2u);
    Move(300, 300);
    EXPECT_FALSE(tip->IsWindowVisible());
    EXPECT_EQ(Pm().GetTooltipOwner(), 0u);
    Move(50, 70);
    EXPECT_TRUE(tip->IsWindowVisible());
    H::MouseLeave(hwnd);
    Pump();
    EXPECT_FALSE(tip->IsWindowVisible());
}

TEST_F(Popups, EmptyTooltipTextDeactivatesAndTheNextTextActivatesAgain) {
    Pm().SetTooltip(L"one", CRect(0, 0, 10, 10), 5);
    MTooltipWnd* tip = Pm().GetTooltipWindow();
    ASSERT_TRUE(tip && tip->IsActive());
    Pm().SetTooltip(L"", CRect(0, 0, 10, 10), 5);
    EXPECT_FALSE(tip->IsActive());
    EXPECT_FALSE(tip->IsWindowVisible());
    EXPECT_EQ(Pm().GetTooltipOwner(), 0u);
    Pm().SetTooltip(L"two", CRect(0, 0, 10, 10), 6);
    EXPECT_TRUE(tip->IsActive());
    EXPECT_TRUE(tip->IsWindowVisible());
    // A press pops it down, as a press does to a native tooltip.
    MSG press;
    press.hwnd = hwnd;
    press.message = WM_LBUTTONDOWN;
    dlg.PreTranslateMessage(&press);
    EXPECT_FALSE(tip->IsWindowVisible());
}

TEST_F(Popups, TheBubbleHidesAfterFiveSecondsUnlessItIsPersistent) {
    Pm().SetAirBladderMsg(L"Help text", POINT{300, 300}, AIRBLADDER_TYPE_HELP, AIRBLADDER_MODE_RIGHT);
    MAirBladder* bubble = Pm().GetAirBladder();
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->GetWindowTextW(), L"AirBladder Window");
    EXPECT_TRUE(bubble->IsShown());
    H::AdvanceClock(4999);
    EXPECT_TRUE(bubble->IsShown());
    H::AdvanceClock(1);
    EXPECT_FALSE(bubble->IsShown());

    Pm().SetAirBladderMsg(L"Stays", POINT{300, 300}, AIRBLADDER_TYPE_PERSIST, AIRBLADDER_MODE_ABOVE);
    H::AdvanceClock(20000);
    EXPECT_TRUE(bubble->IsShown());
    // Hiding names the mode: another mode's bubble stays.
    Pm().ShowAirBladder(FALSE, AIRBLADDER_MODE_RIGHT);
    EXPECT_TRUE(bubble->IsShown());
    Pm().ShowAirBladder(FALSE, AIRBLADDER_MODE_ABOVE);
    EXPECT_FALSE(bubble->IsShown());
}

TEST_F(Popups, ARepeatedBubbleKeepsItsTimerButAHiddenOneShowsAgain) {
    Pm().SetAirBladderMsg(L"Same", POINT{300, 300}, AIRBLADDER_TYPE_TIP, AIRBLADDER_MODE_BELOW);
    H::AdvanceClock(3000);
    Pm().SetAirBladderMsg(L"Same", POINT{300, 300}, AIRBLADDER_TYPE_TIP, AIRBLADDER_MODE_BELOW);
    H::AdvanceClock(2000);
    MAirBladder* bubble = Pm().GetAirBladder();
    EXPECT_FALSE(bubble->IsShown());  // still 5 s from the first call
    Pm().SetAirBladderMsg(L"Same", POINT{300, 300}, AIRBLADDER_TYPE_TIP, AIRBLADDER_MODE_BELOW);
    EXPECT_TRUE(bubble->IsShown());
}

TEST_F(Popups, TheBubbleIsPlacedByItsMode) {
    const POINT p{500, 400};
    EXPECT_EQ(MAirBladder::FitRect(p, 100, 20, AIRBLADDER_MODE_RIGHT), CRect(500, 400, 640, 440));
    EXPECT_EQ(MAirBladder::FitRect(p, 100, 20, AIRBLADDER_MODE_LEFT), CRect(360, 373, 500, 413));
    EXPECT_EQ(MAirBladder::FitRect(p, 100, 20, AIRBLADDER_MODE_BELOW), CRect(475, 400, 615, 450));
    EXPECT_EQ(MAirBladder::FitRect(p, 100, 20, AIRBLADDER_MODE_ABOVE), CRect(435, 360, 565, 400));
    // Lines measure in the embedded font; a longer text wraps to more of them.
    const CSize one = MAirBladder::MeasureMessage(L"Short");
    const CSize many = MAirBladder::MeasureMessage(std::wstring(60, L'w') + L" " + std::wstring(60, L'w'));
    EXPECT_GT(one.cy, 0);
    EXPECT_GE(many.cy, 2 * one.cy);
}

TEST_F(Popups, AHelpButtonShowsItsTitleInTheBubbleWhileHovered) {
    auto* help = Make<CHelpButton>(L"CHelpButton", CRect(40, 50, 60, 70), L"What this does");
    help->SetImage(L"img_help.png", 4);
    Move(50, 60);
    MAirBladder* bubble = Pm().GetAirBladder();
    ASSERT_NE(bubble, nullptr);
    EXPECT_TRUE(bubble->IsShown());
    EXPECT_EQ(bubble->GetText(), L"What this does");
    EXPECT_EQ(bubble->GetMode(), AIRBLADDER_MODE_RIGHT);
    EXPECT_EQ(bubble->GetWindowRect().TopLeft(), CPoint(100 + 40 + 20, 100 + 50));
    Move(300, 300);
    EXPECT_FALSE(bubble->IsShown());
    Move(50, 60);
    EXPECT_TRUE(bubble->IsShown());
    // Pressed and released elsewhere, or hidden while hovered: the bubble goes too.
    Press(50, 60);
    Move(300, 300);
    EXPECT_TRUE(bubble->IsShown());
    Release(300, 300);
    EXPECT_FALSE(bubble->IsShown());
    Move(50, 60);
    help->SetVisible(FALSE);
    EXPECT_FALSE(bubble->IsShown());
}

TEST_F(Popups, ADroppedPictureArrivesAsSetImageAndTheDropReleasesTheButton) {
    DropDialog drop;
    HWND h = drop.Open(CRect(0, 0, 300, 200));
    auto* probe = drop.Add(new ToolkitTest::Probe(&drop, 3, CRect(10, 10, 100, 100)));
    const std::wstring picture = Strip({0xFF00FF00, 0xFF0000FF}, 7, 5);
    const std::wstring text = L"/tmp/orvix_controls_" + std::to_wstring(getpid()) + L".txt";
    std::FILE* f = std::fopen(WideToUtf8(text).c_str(), "w");
    std::fputs("not a picture", f);
    std::fclose(f);
    files.push_back(text);

    H::MouseMove(h, 50, 50);
    H::MouseDown(h, 50, 50);
    H::DropFiles(h, 60, 70, {text, picture});
    Pump();
    ASSERT_EQ(drop.dropped.size(), 1u);
    EXPECT_EQ(drop.dropped[0]->GetWidth(), 14);
    EXPECT_EQ(drop.dropped[0]->GetPixel(8, 1).GetValue(), 0xFF0000FFu);
    EXPECT_EQ(probe->events.back(), L"up 60,70");

    H::DropFiles(h, 60, 70, {text});  // nothing that decodes: no picture
    Pump();
    EXPECT_EQ(drop.dropped.size(), 1u);
}

TEST_F(Popups, ShadowSettingsOutOfRangeAreRefusedAndChangeNothing) {
    EXPECT_FALSE(dlg.SetSize(36));
    EXPECT_FALSE(dlg.SetSize(-36));
    EXPECT_TRUE(dlg.SetSize(-35));
    EXPECT_FALSE(dlg.SetSharpness(36));
    EXPECT_FALSE(dlg.SetPosition(0, 36));
    EXPECT_FALSE(dlg.SetPosition(-36, 0));
    EXPECT_FALSE(dlg.SetDarkness(256));
    MShadow* shadow = dlg.GetShadow();
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->GetSize(), -35);
    EXPECT_EQ(shadow->GetSharpness(), 5u);
    EXPECT_EQ(shadow->GetDarkness(), 150u);
    EXPECT_EQ(shadow->GetPosition(), CPoint(5, 5));
    EXPECT_FALSE(dlg.SetShadowImage(L"no_such_shadow.png", CRect(4, 4, 4, 4)));
}

TEST_F(Popups, TheShadowFollowsItsWindowAndSizeZeroDrawsNothing) {
    ASSERT_TRUE(dlg.CreateShadow(0));
    MShadow* shadow = dlg.GetShadow();
    EXPECT_FALSE(shadow->IsWindowVisible());
    EXPECT_EQ(shadow->GetWindowClassName(), std::wstring(L"ShadowWnd"));
    ASSERT_TRUE(dlg.SetSize(4));
    ASSERT_TRUE(shadow->IsWindowVisible());
    // Parent (100, 100, 700, 500) moved by (5, 5) and grown by size + sharpness.
    EXPECT_EQ(shadow->GetWindowRect(), CRect(96, 96, 714, 514));
    dlg.MoveWindow(CRect(200, 150, 800, 550));
    EXPECT_EQ(shadow->GetWindowRect(), CRect(196, 146, 814, 564));
    // Solid under the core, fading out over the sharpness, clear beneath the window.
    const CRect window = shadow->GetWindowRect(), parent = dlg.GetWindowRect();
    // In window coordinates the core (grown by the size) ends at x = 613.
    EXPECT_EQ(shadow->AlphaAt(window, parent, 612, 300), 150);
    EXPECT_LT(shadow->AlphaAt(window, parent, 615, 300), 150);
    EXPECT_GT(shadow->AlphaAt(window, parent, 615, 300), 0);
    EXPECT_EQ(shadow->AlphaAt(window, parent, 619, 300), 0);
    Platform::UpdateWindow(shadow->GetSafeHwnd());
    const Canvas* image = Platform::GetPresentedImage(shadow->GetSafeHwnd());
    EXPECT_EQ(image->GetPixel(300, 300).GetA(), 0);
    EXPECT_GT(image->GetPixel(610, 300).GetA(), 0);
    dlg.ShowWindow(SW_HIDE);
    EXPECT_FALSE(shadow->IsWindowVisible());
    dlg.ShowWindow(SW_SHOW);
    EXPECT_TRUE(shadow->IsWindowVisible());
    dlg.SetShadowShow(FALSE);
    EXPECT_FALSE(shadow->IsWindowVisible());
}

TEST_F(Popups, TheLoadingWindowLoopsTheFramesOfLoadingGif) {
    LoadingWnd loading;
    ASSERT_TRUE(loading.CreateDlg(hwnd, CRect(10, 10, 112, 112)));
    EXPECT_EQ(loading.GetWindowRect(), CRect(110, 110, 212, 212));
    ASSERT_TRUE(loading.LoadGifImage(L"loading.gif"));
    ASSERT_EQ(loading.GetFrameCount(), 12);
    H::AdvanceClock(79);
    EXPECT_EQ(loading.GetCurrentFrame(), 0);
    H::AdvanceClock(1);
    EXPECT_EQ(loading.GetCurrentFrame(), 1);
    H::AdvanceClock(80 * 11);
    EXPECT_EQ(loading.GetCurrentFrame(), 0);  // wrapped
    EXPECT_FALSE(loading.LoadAnimateImage(L"no_such_animation.png", 4));
    EXPECT_EQ(loading.GetFrameCount(), 0);
}

TEST_F(Popups, KeyboardTipsSplitTheirKeysAndFitTheirTexts) {
    using Keys = std::vector<std::wstring>;
    EXPECT_EQ(CKeyboardTips::SplitKeys(L"Ctrl+Shift+R"), (Keys{L"Ctrl", L"Shift", L"R"}));
    EXPECT_EQ(CKeyboardTips::SplitKeys(L"Ctrl + +"), (Keys{L"Ctrl", L"+"}));
    EXPECT_EQ(CKeyboardTips::SplitKeys(L""), Keys{});
    CKeyboardTips tips;
    ASSERT_TRUE(tips.Init(hwnd));
    tips.SetAirBladderMsg(L"Title", L"", L"", POINT{1900, 1060});
    const CSize small = tips.MeasureTips();
    tips.SetAirBladderMsg(L"Title", L"A longer explanation that needs a few words", L"Ctrl+C", POINT{1900, 1060});
    const CSize big = tips.MeasureTips();
    EXPECT_GT(big.cy, small.cy);
    // Kept inside the work area (1920 x 1080).
    EXPECT_EQ(tips.GetWindowRect().right, 1920);
    EXPECT_EQ(tips.GetWindowRect().bottom, 1080);
}
