// Pictures, bars and areas: frame animation with the ticker, slider and level
// input, progress drawing, the photo frame and the area fill.
#include "A_ControlsFixture.h"
#include "orvix/controls/CArea.h"
#include "orvix/controls/CGifPicture.h"
#include "orvix/controls/CPhotoFrame.h"
#include "orvix/controls/CSliderPicture.h"
#include "orvix/controls/MLevelCtrl.h"
#include "orvix/controls/MProgress.h"
#include "orvix/controls/MSlider.h"

using namespace ControlsTest;

class Pictures : public ControlsTest::ControlsTest {};

TEST_F(Pictures, AGifPictureShowsTheNextFrameEveryFifthTick) {
    dlg.SetMTimer(10);
    auto* gif = Make<CGifPicture>(L"CGifPicture", CRect(1, 1, 101, 101));
    ASSERT_TRUE(gif->SetImage(L"loading.gif"));
    ASSERT_EQ(gif->GetFrameCount(), 12);  // the frames of the animation, not a strip
    H::AdvanceClock(100);
    EXPECT_EQ(gif->GetCurrentFrame(), 0);  // not running yet
    ASSERT_TRUE(gif->SetRunState(1));
    H::AdvanceClock(40);
    EXPECT_EQ(gif->GetCurrentFrame(), 0);
    H::AdvanceClock(10);
    EXPECT_EQ(gif->GetCurrentFrame(), 1);
    H::AdvanceClock(50 * 11);
    EXPECT_EQ(gif->GetCurrentFrame(), 0);  // wrapped round
    gif->SetRunState(0, 5);
    H::AdvanceClock(200);
    EXPECT_EQ(gif->GetCurrentFrame(), 5);
    // Invisible controls get no ticks.
    gif->SetRunState(1);
    gif->SetVisible(FALSE);
    H::AdvanceClock(200);
    EXPECT_EQ(gif->GetCurrentFrame(), 5);
}

TEST_F(Pictures, AGifPictureRefusesOneFrameAndCanRunOnlyWhileHovered) {
    dlg.SetMTimer(10);
    auto* still = Make<CGifPicture>(L"CGifPicture", CRect(200, 1, 220, 21));
    ASSERT_TRUE(still->SetImage(Strip({0xFFFF0000}, 20, 20).c_str(), 1));
    EXPECT_FALSE(still->SetRunState(1));
    auto* strip = Make<CGifPicture>(L"CGifPicture", CRect(1, 1, 21, 21));
    ASSERT_TRUE(strip->SetImage(Strip({0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, 20, 20).c_str(), 3));
    EXPECT_EQ(strip->GetFrameCount(), 3);
    strip->SetMouseMoveActive(true);
    ASSERT_TRUE(strip->SetRunState(1));
    H::AdvanceClock(100);
    EXPECT_EQ(strip->GetCurrentFrame(), 0);
    Move(10, 10);
    H::AdvanceClock(50);
    EXPECT_EQ(strip->GetCurrentFrame(), 1);
    EXPECT_EQ(Px(Paint(), 10, 10), 0xFF00FF00u);
    Move(300, 300);  // leaving rests it on its first frame
    EXPECT_EQ(strip->GetCurrentFrame(), 0);
    H::AdvanceClock(100);
    EXPECT_EQ(strip->GetCurrentFrame(), 0);
}

TEST_F(Pictures, ASliderJumpsDragsAndReportsEachNewValueOnce) {
    auto* s = Make<MSlider>(L"MSlider", CRect(100, 100, 316, 124), nullptr, 184);
    s->SetMaxProgress(200);  // track 108..308: one value per pixel
    EXPECT_EQ(s->SetProgress(50), 50);
    EXPECT_TRUE(dlg.notifications.empty());  // setting a value does not notify
    Press(208, 112);  // beside the thumb: it jumps there
    ASSERT_EQ(Codes(8).size(), 1u);
    EXPECT_EQ(Codes(8)[0].wParam, 100u);
    EXPECT_EQ(s->GetSliderState(), 2);  // and is held
    H::MouseMove(hwnd, 218, 150);       // dragging below the slider still counts
    H::MouseMove(hwnd, 218, 150);
    H::MouseMove(hwnd, 500, 150);  // past the end
    Pump();
    auto moves = Codes(8);
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[1].wParam, 110u);
    EXPECT_EQ(moves[2].wParam, 200u);
    Release(500, 150);
    ASSERT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(s->GetProgress(), 200);
    EXPECT_EQ(s->GetSliderState(), 0);

    // Minimum 1, maximum 480: values stay within, positions are 0-based.
    s->SetMinProgress(1);
    s->SetMaxProgress(480);
    EXPECT_EQ(s->SetProgress(481), 479);
    EXPECT_EQ(s->GetProgress(), 480);
    EXPECT_EQ(s->SetProgress(-5), 0);
    EXPECT_EQ(s->GetProgress(), 1);
    // The wheel never moves it.
    H::Wheel(hwnd, 200, 112, -WHEEL_DELTA);
    Pump();
    EXPECT_EQ(s->GetProgress(), 1);
}

TEST_F(Pictures, ALevelBarPicksTheClickedLevel) {
    auto* level = Make<MLevelCtrl>(L"MLevelCtrl", CRect(10, 10, 10 + 5 * 20 + 4 * 3, 30));
    ASSERT_TRUE(level->SetRangeValue(1, 5));
    EXPECT_FALSE(level->SetRangeValue(5, 1));
    EXPECT_EQ(level->GetSegmentRect(1), CRect(33, 10, 53, 30));
    ClickAt(85, 20);  // the fourth segment
    EXPECT_EQ(level->GetLevelValue(), 4);
    ASSERT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(Codes(2)[0].wParam, 4u);
    ClickAt(31, 20);  // the gap between segments
    Press(15, 20);    // pressed on one level, released on another
    Move(90, 20);
    Release(90, 20);
    EXPECT_EQ(Codes(2).size(), 1u);
    level->SetLevelValue(9);
    EXPECT_EQ(level->GetLevelValue(), 5);
}

TEST_F(Pictures, AProgressBarWithoutImagesDrawsALineAndABarAlongTheBottom) {
    auto* p = Make<MProgress>(L"MProgress", CRect(10, 10, 210, 30));
    p->SetProgress(150);
    EXPECT_EQ(p->GetProgress(), 100);  // clamped to the maximum
    p->SetMaxProgress(4);
    EXPECT_EQ(p->GetProgress(), 4);
    p->SetProgress(1);
    const Canvas& c = Paint();
    const uint32_t accent = Manager::GetSelectColor().GetValue();
    EXPECT_EQ(Px(c, 20, 27), accent);   // the 3-pixel bar over a quarter of the width
    EXPECT_EQ(Px(c, 59, 29), accent);
    EXPECT_NE(Px(c, 60, 27), accent);
    EXPECT_NE(Px(c, 100, 29), 0u);      // the line goes on
    EXPECT_NE(Px(c, 20, 26), accent);
}

TEST_F(Pictures, AProgressBarCoversItsForegroundUpToTheProgress) {
    auto* p = Make<MProgress>(L"MProgress", CRect(10, 10, 110, 30));
    ASSERT_TRUE(p->SetBackGroundImage(Strip({0xFFFF0000}, 8, 8).c_str()));
    ASSERT_TRUE(p->SetForeGroundImage(Strip({0xFF00FF00}, 8, 8).c_str()));
    p->SetProgress(30);
    const Canvas& c = Paint();
    EXPECT_EQ(Px(c, 20, 20), 0xFF00FF00u);
    EXPECT_EQ(Px(c, 39, 20), 0xFF00FF00u);
    EXPECT_EQ(Px(c, 40, 20), 0xFFFF0000u);
    EXPECT_EQ(Px(c, 100, 20), 0xFFFF0000u);
}

TEST_F(Pictures, APhotoFrameHoldsItsPhotoInsideTheFrameAndReportsClicks) {
    auto* photo = Make<CPhotoFrame>(L"CPhotoFrame", CRect(10, 10, 110, 90));
    ASSERT_TRUE(photo->SetPhotoFrame(Strip({0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080}, 20, 20).c_str(), 4));
    ASSERT_TRUE(photo->SetImage(Strip({0xFFFFFF00}, 10, 10).c_str()));
    EXPECT_EQ(photo->GetPhoto()->GetRect(), CRect(16, 16, 104, 84));
    photo->SetFrameSize(4);
    EXPECT_EQ(photo->GetPhoto()->GetRect(), CRect(14, 14, 106, 86));
    photo->SetRect(CRect(0, 0, 50, 50));
    EXPECT_EQ(photo->GetPhoto()->GetRect(), CRect(4, 4, 46, 46));
    ClickAt(25, 25);
    EXPECT_EQ(Codes(1).size(), 1u);
    EXPECT_EQ(Codes(2).size(), 1u);
}

TEST_F(Pictures, ASlidingPictureWrapsRound) {
    auto* slide = Make<CSliderPicture>(L"CSliderPicture", CRect(0, 0, 40, 10));
    ASSERT_TRUE(slide->SetImage(Strip({0xFFFF0000, 0xFF00FF00}, 20, 10).c_str(), 1));  // red left, green right
    slide->SetShowMode(SHOW_MODE_STRETCH);
    EXPECT_EQ(Px(Paint(), 5, 5), 0xFFFF0000u);
    slide->SetRun(TRUE, SLIDER_LEFT, 10);
    for (int i = 0; i < 3; ++i) slide->OnControlTimer();
    EXPECT_EQ(slide->GetOffset(), 30);
    const Canvas& c = Paint();
    EXPECT_EQ(Px(c, 5, 5), 0xFF00FF00u);   // x 35 of the picture
    EXPECT_EQ(Px(c, 15, 5), 0xFFFF0000u);  // wrapped: x 5 again
    slide->OnControlTimer();
    EXPECT_EQ(slide->GetOffset(), 0);
    slide->SetRun(FALSE);
    EXPECT_FALSE(slide->OnControlTimer());
}

TEST_F(Pictures, AnAreaIsFilledAtAlpha254AndFramedOnRequest) {
    auto* area = Make<CArea>(L"CArea", CRect(10, 10, 50, 50));
    area->SetAreaColor(0x0000FF);  // red as COLORREF
    Canvas plain(60, 60);
    area->DrawControl(plain, plain.GetRect());
    EXPECT_EQ(plain.GetPixel(30, 30).GetA(), 254);
    EXPECT_GE(plain.GetPixel(30, 30).GetR(), 254);
    EXPECT_EQ(plain.GetPixel(30, 30).GetG(), 0);
    area->SetFrame(1, Color(0xFF00FF00), 3);
    Canvas framed(60, 60);
    area->DrawControl(framed, framed.GetRect());
    EXPECT_EQ(Px(framed, 10, 30), 0xFF00FF00u);
    EXPECT_EQ(framed.GetPixel(12, 30).GetA(), 0);  // the gap inside the frame
    EXPECT_GE(framed.GetPixel(14, 30).GetR(), 254);
    // A fade runs between its two alpha values.
    area->SetTransparent(255, 0, 0x00FF00, true);
    Canvas fade(60, 60);
    area->DrawControl(fade, fade.GetRect());
    EXPECT_GT(fade.GetPixel(30, 15).GetA(), 230);  // inside the frame
    EXPECT_LT(fade.GetPixel(30, 45).GetA(), 25);
}
