// The pointer as a person moves it over real controls: each motion, press and
// release is hit-tested afresh, wherever the pointer came from; decoration lets
// it through; enter and leave follow it; a press holds the capture until its
// release; tooltips follow the hover; a control that moves repaints where it
// was and where it is.
#include "A_ControlsFixture.h"
#include "orvix/controls/MButton.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/widgets/DPISlider.h"
#include "tests/support/UserHands.h"

namespace ControlsTest {
namespace {

class Pointer : public ControlsTest {
  protected:
    // A window laid out as the settings dialog is: a full-size background
    // picture and a caption picture made before the buttons over them.
    void SetUp() override {
        ControlsTest::SetUp();
        background = Make<MPicture>(L"MPicture", CRect(0, 0, 600, 400), nullptr, 30);
        caption = Make<MPicture>(L"MPicture", CRect(1, 1, 599, 44), nullptr, 31);
        close = Make<MButton>(L"MButton", CRect(558, 8, 590, 36), L"x", 32);
        apply = Make<MButton>(L"MButton", CRect(100, 300, 200, 340), L"Apply", 33);
        label = Make<MText>(L"MText", CRect(20, 10, 400, 40), L"Settings", 34);
        Pump();
    }
    CPoint Screen(int x, int y) { return UserHands::ToScreen(hwnd, CPoint(x, y)); }
    int Clicks(UINT id) {
        int n = 0;
        for (const Notification& note : Codes(2)) n += note.id == id;
        return n;
    }

    UserHands hands;
    MPicture* background = nullptr;
    MPicture* caption = nullptr;
    MButton* close = nullptr;
    MButton* apply = nullptr;
    MText* label = nullptr;
};

TEST_F(Pointer, AButtonOverAFullSizeBackgroundTakesEveryClickWhereverThePointerCameFrom) {
    const CPoint starts[] = {
        Screen(-30, 20),    // outside the window
        Screen(300, 200),   // across the background
        Screen(200, 25),    // along the caption, over its label
        Screen(150, 320),   // from another button
        Screen(575, 390),   // from below, over the background
    };
    int expected = 0;
    for (const CPoint& from : starts) {
        hands.JumpTo(from);
        hands.MoveTo(Screen(574, 22));
        EXPECT_EQ(dlg.GetPaintManager().GetHoverLeaf(), close);
        EXPECT_EQ(close->GetState(), STATE_HOVER);
        hands.Click();
        EXPECT_EQ(Clicks(32), ++expected) << "from " << from.x << "," << from.y;
    }
    // Neither picture nor the label ever took a press.
    for (const Notification& note : dlg.notifications) EXPECT_TRUE(note.id == 32 || note.id == 33) << note.id;
}

TEST_F(Pointer, TheTopmostControlThatTakesInputGetsThePointerAndDecorationPassesItThrough) {
    PaintManager& pm = dlg.GetPaintManager();
    EXPECT_EQ(pm.ControlAt(CPoint(300, 200)), nullptr);  // bare background
    EXPECT_EQ(pm.ControlAt(CPoint(574, 22)), close);
    EXPECT_EQ(pm.ControlAt(CPoint(30, 25)), nullptr);  // the label over the caption
    // A later button over the first takes its overlap; a picture laid over
    // both still lets the pointer through to it.
    auto* over = Make<MButton>(L"MButton", CRect(150, 310, 250, 350), L"Over", 35);
    Make<MPicture>(L"MPicture", CRect(0, 290, 600, 360), nullptr, 36);
    EXPECT_EQ(pm.ControlAt(CPoint(160, 320)), over);
    EXPECT_EQ(pm.ControlAt(CPoint(120, 320)), apply);
    // A disabled control takes no press (what lies beneath does), but shows
    // its tooltip: the pointer rests on it for that.
    over->SetEnabled(FALSE);
    EXPECT_EQ(pm.ControlAt(CPoint(160, 320), 0, true), apply);
    EXPECT_EQ(pm.ControlAt(CPoint(160, 320)), apply);
    over->SetTooltip(L"not now");
    EXPECT_EQ(pm.ControlAt(CPoint(160, 320)), over);
    EXPECT_EQ(pm.ControlAt(CPoint(160, 320), 0, true), apply);
    hands.JumpTo(Screen(400, 200));
    hands.MoveTo(Screen(240, 320));
    EXPECT_EQ(pm.GetTooltipText(), L"not now");
    // A picture with a tooltip shows it, and presses still pass through it.
    caption->SetTooltip(L"the caption");
    EXPECT_EQ(pm.ControlAt(CPoint(300, 30)), caption);
    EXPECT_EQ(pm.ControlAt(CPoint(300, 30), 0, true), nullptr);
}

TEST_F(Pointer, EnterAndLeaveFollowTheHitTestAndTheTooltipFollowsTheHover) {
    close->SetTooltip(L"Close");
    apply->SetTooltip(L"Apply the changes");
    PaintManager& pm = dlg.GetPaintManager();
    hands.JumpTo(Screen(300, 200));
    hands.MoveTo(Screen(150, 320));
    EXPECT_EQ(apply->GetState(), STATE_HOVER);
    EXPECT_EQ(pm.GetTooltipText(), L"Apply the changes");
    hands.MoveTo(Screen(574, 22));
    EXPECT_EQ(apply->GetState(), STATE_NORMAL);  // left on the way
    EXPECT_EQ(close->GetState(), STATE_HOVER);
    EXPECT_EQ(pm.GetTooltipText(), L"Close");
    hands.MoveTo(Screen(300, 200));
    EXPECT_EQ(close->GetState(), STATE_NORMAL);
    EXPECT_TRUE(pm.GetTooltipText().empty());
    EXPECT_EQ(pm.GetHoverControl(), nullptr);
    // Off the window: the desktop takes the pointer and the window hears the leave.
    hands.MoveTo(Screen(150, 320));
    hands.MoveTo(Screen(150, -40));
    EXPECT_EQ(apply->GetState(), STATE_NORMAL);
}

TEST_F(Pointer, APressHoldsThePointerUntilItsRelease) {
    hands.JumpTo(Screen(300, 200));
    hands.MoveTo(Screen(150, 320));
    hands.Press();
    EXPECT_EQ(apply->GetState(), STATE_PRESSED);
    EXPECT_EQ(Platform::GetCapture(), hwnd);
    // Over the other button and out of the window with the button held: still
    // the pressed one's; the other is never hovered meanwhile.
    hands.MoveTo(Screen(574, 22));
    EXPECT_EQ(close->GetState(), STATE_NORMAL);
    EXPECT_EQ(apply->GetState(), STATE_PRESSED);
    hands.MoveTo(Screen(700, -50));
    EXPECT_EQ(apply->GetState(), STATE_PRESSED);
    hands.Release();
    EXPECT_EQ(Clicks(33), 0);  // let go elsewhere: no click
    EXPECT_EQ(apply->GetState(), STATE_NORMAL);
    EXPECT_EQ(Platform::GetCapture(), nullptr);
    // Back on the window the hit test rules again.
    hands.MoveTo(Screen(574, 22));
    EXPECT_EQ(close->GetState(), STATE_HOVER);
}

// A press whose handler runs a modal loop (a question asked on the press)
// loses its end to that loop: afterwards the window is not stuck in a press.
class ModalOnPress : public TestDialog {
  public:
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override {
        TestDialog::OnMessage(id, code, wParam, lParam);
        if (code != Notify::Pressed || id != 33) return 0;
        TestDialog question;
        question.Create(GetSafeHwnd(), L"question", WS_POPUP | WS_VISIBLE, 0, CRect(150, 150, 350, 250));
        Platform::PostTask([&question] {
            UserHands hands;
            hands.Release();  // the button comes up while the question shows
            question.DoCancel();
        });
        question.ShowModal();
        return 0;
    }
};

TEST_F(Pointer, APressWhoseHandlerRunsAModalLoopLeavesNothingHeld) {
    ModalOnPress owner;
    const HWND ownerHwnd = owner.Open(CRect(800, 100, 1400, 500));
    auto* button = dynamic_cast<MButton*>(owner.CreateControl(L"MButton", 33, CRect(100, 300, 200, 340), L"Ask"));
    auto* other = dynamic_cast<MButton*>(owner.CreateControl(L"MButton", 34, CRect(300, 300, 400, 340), L"Other"));
    Pump();
    hands.JumpTo(UserHands::ToScreen(ownerHwnd, CPoint(150, 200)));
    hands.MoveTo(UserHands::ToScreen(ownerHwnd, CPoint(150, 320)));
    hands.Press();  // the question runs and ends inside this
    EXPECT_FALSE(owner.GetPaintManager().IsButtonHeld());
    EXPECT_EQ(Platform::GetCapture(), nullptr);
    hands.MoveTo(UserHands::ToScreen(ownerHwnd, CPoint(350, 320)));
    EXPECT_EQ(other->GetState(), STATE_HOVER);
    EXPECT_NE(button->GetState(), STATE_PRESSED);
}

TEST_F(Pointer, AControlThatMovesRepaintsWhereItWasAndWhereItIs) {
    Paint();
    Platform::BeginPaint(hwnd);
    apply->SetControlRect(CRect(100, 200, 200, 240));  // as a page's layout moves it
    const CRect pending = Platform::GetUpdateRect(hwnd);
    EXPECT_TRUE((pending & CRect(100, 300, 200, 340)) == CRect(100, 300, 200, 340)) << "where it was";
    EXPECT_TRUE((pending & CRect(100, 200, 200, 240)) == CRect(100, 200, 200, 240)) << "where it is";
    // Painted, the old place shows the background again.
    const Canvas& shown = Paint();
    EXPECT_EQ(shown.GetPixel(150, 320).GetValue(), shown.GetPixel(300, 320).GetValue());
}

// The DPI slider's thumb: a press on it changes nothing, a drag moves it by
// the distance dragged, held while the pointer leaves the window.
TEST_F(Pointer, TheDpiThumbFollowsTheDistanceDragged) {
    auto* slider = Make<DPISlider>(L"DPISlider", CRect(0, 100, 920, 180), nullptr, 40);
    slider->SetMinProgress(1);
    slider->SetMaxProgress(480);
    slider->SetProgress(100);
    Pump();
    const CPoint thumb = slider->GetThumbRect().CenterPoint();
    hands.JumpTo(Screen(400, 300));
    hands.MoveTo(Screen(thumb.x, thumb.y));
    hands.Press();
    EXPECT_EQ(slider->GetProgress(), 100) << "a press on the thumb moved it";
    EXPECT_TRUE(Codes(8).empty());
    for (int dx : {40, 120, -60}) {
        hands.MoveTo(Screen(thumb.x + dx, thumb.y + 30));  // off the slider vertically too
        const int expected = 100 + int(std::lround(dx * 479.0 / DPISlider::kTrack.Width()));
        EXPECT_NEAR(slider->GetProgress(), expected, 1) << dx;
        EXPECT_NEAR(slider->GetThumbRect().CenterPoint().x, thumb.x + dx, 1) << dx;
    }
    hands.MoveTo(Screen(2500, 300));  // far outside the window: the track's end
    EXPECT_EQ(slider->GetProgress(), 480);
    hands.Release();
    EXPECT_EQ(Codes(2).size(), 1u);
    EXPECT_FALSE(slider->IsHeld());
}

}  // namespace
}  // namespace ControlsTest
