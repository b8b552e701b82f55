// Scrolling containers: bars, offsets, wheel, dragging and shifted drawing.
#include "orvix/core/MScroll.h"
#include "tests/orvix/controls/B_ControlsFixture.h"

namespace ToolkitTest {
namespace {

// Fills its rect with one colour.
class Swatch : public MControl {
public:
    Swatch(MObject* parent, UINT id, CRect rect, Color color) : MControl(parent, id, rect), m_color(color) {}
    void DrawControl(Canvas& canvas, CRect) override { canvas.FillRect(m_rect, m_color); }

private:
    Color m_color;
};

class ScrollTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 400, 400));
        panel = dlg.Add(new Box(&dlg, 10, CRect(0, 0, 200, 200)));
        probe = panel->Add(new Probe(panel, 11, CRect(0, 250, 100, 300)));
        panel->UpdateScrollBars();
    }
    Box* panel = nullptr;
    Probe* probe = nullptr;
};

TEST_F(ScrollTest, ContentTallerThanThePanelShowsTheBarAndOneNotchMovesThreePixels) {
    MScroll* bar = panel->GetScrollVertical();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_FALSE(panel->GetScrollHorizontal()->IsVisible());
    EXPECT_EQ(panel->GetVirtualHeight(), 300);
    EXPECT_EQ(bar->GetRect(), CRect(195, 0, 200, 200));

    Headless::Wheel(hwnd, 50, 50, -120);
    Pump();
    EXPECT_EQ(bar->GetScrollCurrentPos(), 10);
    EXPECT_EQ(panel->GetScrollOffset(), CPoint(0, 3));  // 10 x 100 / 300

    // Children get content points: window y 117 is content y 120.
    Probe* upper = panel->Add(new Probe(panel, 12, CRect(0, 100, 100, 150)));
    Click(50, 117);
    ASSERT_FALSE(upper->events.empty());
    EXPECT_EQ(upper->events.back(), L"up 50,120");

    // Up at the top stays put but the wheel is still taken.
    for (int i = 0; i < 3; ++i) Headless::Wheel(hwnd, 50, 50, 120);
    Pump();
    EXPECT_EQ(bar->GetScrollCurrentPos(), 0);
}

TEST_F(ScrollTest, ContentThatFitsIgnoresTheWheelAndNeedsNoBar) {
    probe->SetRect(CRect(0, 100, 100, 150));
    panel->UpdateScrollBars();
    EXPECT_FALSE(panel->GetScrollVertical()->IsVisible());
    EXPECT_FALSE(panel->OnControlScroll(1, 1, CPoint(10, 10)));
    EXPECT_EQ(panel->GetScrollOffset(), CPoint(0, 0));
}

TEST_F(ScrollTest, TheFarthestChildSetsTheContentNotTheLastOne) {
    panel->Add(new Probe(panel, 12, CRect(0, 0, 50, 40)));
    panel->UpdateScrollBars();
    EXPECT_EQ(panel->GetVirtualHeight(), 300);
}

TEST_F(ScrollTest, DraggingTheThumbScrollsAndReportsTheBarsPosition) {
    MScroll* bar = panel->GetScrollVertical();
    CRect thumb = bar->GetThumbRect();
    ASSERT_TRUE(bar->IsThumbShown());
    EXPECT_EQ(thumb.Height(), 133);  // 200 of 300 in view
    Headless::MouseMove(hwnd, 197, thumb.top + 5);
    Headless::MouseDown(hwnd, 197, thumb.top + 5);
    Headless::MouseMove(hwnd, 197, thumb.top + 5 + 67);
    Headless::MouseUp(hwnd, 197, thumb.top + 5 + 67);
    Pump();
    EXPECT_EQ(bar->GetScrollCurrentPos(), 300);
    EXPECT_EQ(panel->GetScrollOffset(), CPoint(0, 100));
    ASSERT_FALSE(dlg.notifications.empty());
    EXPECT_EQ(dlg.notifications.back().id, 1u);
    EXPECT_EQ(dlg.notifications.back().code, 8u);
    EXPECT_EQ(dlg.notifications.back().wParam, 300u);
}

TEST_F(ScrollTest, ScrolledChildrenAreDrawnShiftedAndClippedToThePanel) {
    panel->Add(new Swatch(panel, 13, CRect(20, 180, 60, 240), Color(0xFFFF0000)));
    panel->UpdateScrollBars();
    Platform::UpdateWindow(hwnd);
    const Canvas* shot = Platform::GetPresentedImage(hwnd);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->GetPixel(30, 190), Color(0xFFFF0000));
    EXPECT_NE(shot->GetPixel(30, 205), Color(0xFFFF0000));  // below the panel: clipped

    panel->GetScrollVertical()->SetScrollFinalPos();  // offset 100
    panel->UpdateControl(TRUE);
    Platform::UpdateWindow(hwnd);
    shot = Platform::GetPresentedImage(hwnd);
    EXPECT_EQ(shot->GetPixel(30, 90), Color(0xFFFF0000));
    EXPECT_NE(shot->GetPixel(30, 150), Color(0xFFFF0000));
}

}  // namespace
}  // namespace ToolkitTest
