// Tab strips: layout of both types, item sizes, selection and pages, the page
// slide, tooltips over tabs, and the plain text tab list.
#include "A_ControlsFixture.h"
#include "orvix/controls/CTabCtrl1.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/controls/MTabLayout.h"
#include "orvix/core/MTooltipWnd.h"

using namespace ControlsTest;

class Tabs : public ControlsTest::ControlsTest {
protected:
    // A vertical strip of three 180 x 60 tabs at (10, 20) with a page each.
    MTabCtrl* VerticalStrip() {
        auto* strip = Make<MTabCtrl>(L"MTabCtrl", CRect(10, 20, 190, 380), nullptr, 48);
        strip->SetTabType(1);
        strip->SetTabCtrlWidth(180);
        strip->SetTabCtrlHeight(60);
        for (int i = 0; i < 3; ++i) {
            pages[i] = static_cast<MTabLayout*>(strip->CreatePanel(UINT(60 + i), CRect(200, 20, 580, 380)));
            strip->InsertItem(UINT(i + 1), names[i], nullptr, pages[i]);
        }
        return strip;
    }
    const wchar_t* names[3] = {L"Home", L"Keys", L"Light"};
    MTabLayout* pages[3] = {};
};

TEST_F(Tabs, AVerticalStripStacksTabsWithAOnePixelGapAndHiddenTabsTakeNoRoom) {
    MTabCtrl* strip = VerticalStrip();
    EXPECT_EQ(strip->GetItemRect(0), CRect(10, 20, 190, 80));
    EXPECT_EQ(strip->GetItemRect(2).top, 20 + 122);
    strip->SetItemVisible(1, FALSE);
    EXPECT_TRUE(strip->GetItemRect(1).IsRectEmpty());
    EXPECT_EQ(strip->GetItemRect(2).top, 20 + 61);
    strip->SetTopBottomPading(5, 0);
    EXPECT_EQ(strip->GetItemRect(2).top, 25 + 61);
    // The strip follows its own rect.
    strip->SetRect(CRect(0, 0, 180, 360));
    EXPECT_EQ(strip->GetItemRect(0), CRect(0, 5, 180, 65));
}

TEST_F(Tabs, HorizontalTabsTakeTheItemWidthOrTheFirstTabsWidth) {
    auto* strip = Make<MTabCtrl>(L"MTabCtrl", CRect(0, 0, 400, 60));
    strip->SetTabCtrlHeight(50);
    for (UINT i = 0; i < 4; ++i) strip->InsertItem(i, L"t", nullptr, nullptr, -1, i == 0 ? 120 : 70);
    EXPECT_EQ(strip->GetItemRect(1), CRect(120, 0, 240, 50));
    strip->SetLeftRightPading(10, 10);
    // Share (400 - 20) / 4 = 95 lies between minimum 60 and preferred 110.
    strip->SetItemWidth(110, 60);
    EXPECT_EQ(strip->GetItemWidth(), 95);
    EXPECT_EQ(strip->GetItemRect(2), CRect(10 + 190, 0, 10 + 285, 50));
    strip->SetItemWidth(90, 60);  // the share reaches the preferred width
    EXPECT_EQ(strip->GetItemWidth(), 90);
    strip->SetItemWidth(200, 100);  // the share is below the minimum
    EXPECT_EQ(strip->GetItemWidth(), 100);
    strip->SetItemWidth(80, 0, FALSE);  // stored, laid out later
    EXPECT_EQ(strip->GetItemRect(1).Width(), 100);
    strip->SetTabCtrlHeight(40);
    EXPECT_EQ(strip->GetItemRect(1), CRect(90, 0, 170, 40));
}

TEST_F(Tabs, SelectingShowsOnePageAndTheCurrentIndexSendsNothing) {
    MTabCtrl* strip = VerticalStrip();
    EXPECT_EQ(strip->SetSelectItem(1), -1);
    ASSERT_EQ(Codes(1).size(), 1u);
    EXPECT_EQ(Codes(1)[0].id, 48u);
    EXPECT_EQ(Codes(1)[0].wParam, 1u);
    EXPECT_FALSE(pages[0]->IsVisible());
    EXPECT_TRUE(pages[1]->IsVisible());
    EXPECT_FALSE(pages[2]->IsVisible());

    EXPECT_EQ(strip->SetSelectItem(1), 1);
    EXPECT_EQ(Codes(1).size(), 1u);
    EXPECT_EQ(strip->SetSelectItem(7), 1);  // out of range: nothing
    EXPECT_EQ(strip->SetSelectItem(2), 1);
    EXPECT_TRUE(pages[2]->IsVisible());
    EXPECT_FALSE(pages[1]->IsVisible());
    EXPECT_EQ(strip->GetItemID(2), 3u);
    EXPECT_EQ(strip->GetItemID(3), 0u);
}

TEST_F(Tabs, APressOnATabSelectsItButOnTheSelectedTabSendsNothing) {
    MTabCtrl* strip = VerticalStrip();
    strip->SetSelectItem(0);
    dlg.notifications.clear();
    ClickAt(50, 50);  // tab 0, already selected
    EXPECT_TRUE(dlg.notifications.empty());
    ClickAt(50, 20 + 61 + 10);  // tab 1
    ASSERT_EQ(Codes(1).size(), 1u);
    EXPECT_EQ(strip->GetSelectItem(), 1);
    ClickAt(50, 20 + 60);  // the gap between tabs
    EXPECT_EQ(Codes(1).size(), 1u);
}

TEST_F(Tabs, HoveringATabShowsItsTextAsTooltipAndLeavingHidesIt) {
    MTabCtrl* strip = VerticalStrip();
    Move(50, 100);
    EXPECT_EQ(strip->GetHoverItem(), 1);
    MTooltipWnd* tip = dlg.GetPaintManager().GetTooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsWindowVisible());
    EXPECT_EQ(tip->GetText(), L"Keys");
    EXPECT_EQ(dlg.GetPaintManager().GetTooltipRect(), strip->GetItemRect(1));
    Move(50, 150);
    EXPECT_EQ(tip->GetText(), L"Light");
    Move(400, 390);  // off the strip
    EXPECT_EQ(strip->GetHoverItem(), -1);
    EXPECT_FALSE(tip->IsWindowVisible());
    Move(50, 40);
    EXPECT_TRUE(tip->IsWindowVisible());
    H::MouseLeave(hwnd);
    Pump();
    EXPECT_FALSE(tip->IsWindowVisible());
}

TEST_F(Tabs, KeysAndTheWheelOverTheSelectedTabGoToItsPage) {
    MTabCtrl* strip = VerticalStrip();
    auto* probe = new ToolkitTest::Probe(pages[1], 70, CRect(210, 30, 300, 60));
    probe->acceptKeys = true;
    probe->SetManager(&dlg.GetPaintManager());
    pages[1]->AddChild(probe, 1);
    strip->SetSelectItem(1);
    Move(50, 100);
    H::KeyPress(hwnd, 'K');
    Pump();
    EXPECT_EQ(probe->events.back(), L"key 75/0");
    EXPECT_TRUE(strip->OnControlKeyDown('L', 1, 0));
    strip->SetSelectItem(0);
    EXPECT_FALSE(strip->OnControlKeyDown('L', 1, 0));  // page 0 has nobody who wants keys
}

TEST_F(Tabs, PagesSlideOverTenTicksAndComeBackToTheirPlaces) {
    MTabCtrl* strip = VerticalStrip();
    auto* label = pages[1]->CreateControl(L"MText", 80, CRect(220, 40, 320, 60), L"x");
    strip->SetSelectItem(0);
    strip->EnableAnimateChangeTab(TRUE);
    strip->SetSelectItem(1);
    EXPECT_TRUE(strip->IsSliding());
    EXPECT_TRUE(pages[0]->IsVisible());
    EXPECT_TRUE(pages[1]->IsVisible());
    EXPECT_FALSE(pages[2]->IsVisible());
    EXPECT_EQ(pages[1]->GetRect().left, 200 + 380);  // comes in from the right
    H::AdvanceClock(50);
    const int half = pages[1]->GetRect().left;
    EXPECT_LT(half, 580);
    EXPECT_GT(half, 200);
    EXPECT_EQ(label->GetRect().left - 220, half - 200);  // children move with their page
    EXPECT_EQ(pages[0]->GetRect().right, 580 - (580 - half));
    EXPECT_EQ(pages[1]->GetClipRect(), CRect(200, 20, 580, 380));
    H::AdvanceClock(100);
    EXPECT_FALSE(strip->IsSliding());
    EXPECT_FALSE(pages[0]->IsVisible());
    EXPECT_EQ(pages[0]->GetRect(), CRect(200, 20, 580, 380));
    EXPECT_EQ(pages[1]->GetRect(), CRect(200, 20, 580, 380));
    EXPECT_EQ(label->GetRect(), CRect(220, 40, 320, 60));
    EXPECT_TRUE(pages[1]->GetClipRect().IsRectEmpty());

    // A new selection during a slide ends the slide first.
    strip->SetSelectItem(2);
    H::AdvanceClock(30);
    strip->SetSelectItem(0);
    H::AdvanceClock(200);
    EXPECT_TRUE(pages[0]->IsVisible());
    EXPECT_FALSE(pages[1]->IsVisible());
    EXPECT_FALSE(pages[2]->IsVisible());
    EXPECT_EQ(pages[2]->GetRect(), CRect(200, 20, 580, 380));
}

TEST_F(Tabs, VerticalTabsShowTheSelectedAndHoverLooksOverTheNormalOne) {
    auto* strip = Make<MTabCtrl>(L"MTabCtrl", CRect(10, 20, 190, 380), nullptr, 48);
    strip->SetTabType(1);
    strip->SetTabCtrlWidth(180);
    strip->SetTabCtrlHeight(60);
    ASSERT_TRUE(strip->SetImage(Strip({0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, 10, 10).c_str(), 3));
    const std::wstring icon = Strip({0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF}, 10, 10);
    for (UINT i = 0; i < 3; ++i) strip->InsertItem(i, L"", icon.c_str(), nullptr);
    strip->SetSelectItem(0);
    Move(150, 100);  // hover tab 1
    const Canvas& c = Paint();
    // Backgrounds: the selected look, the hover look, none for the normal look.
    EXPECT_EQ(Px(c, 15, 25), 0xFF0000FFu);
    EXPECT_EQ(Px(c, 15, 85), 0xFF00FF00u);
    EXPECT_NE(Px(c, 15, 145), 0xFFFF0000u);
    // Icons 26 x 26 at 20 pixels in, vertically centred, framed by look.
    EXPECT_EQ(Px(c, 30, 20 + 17), 0xFFFF00FFu);
    EXPECT_EQ(Px(c, 30 + 25, 20 + 17 + 25), 0xFFFF00FFu);
    EXPECT_NE(Px(c, 30 + 26, 20 + 30), 0xFFFF00FFu);
    EXPECT_EQ(Px(c, 40, 81 + 30), 0xFF00FFFFu);
    EXPECT_EQ(Px(c, 40, 142 + 30), 0xFFFFFF00u);
    // Leaving puts tab 1 back to its normal look.
    Move(400, 390);
    EXPECT_NE(Px(Paint(), 15, 85), 0xFF00FF00u);
}

TEST_F(Tabs, HorizontalTabsCentreTheirIconTenPixelsBelowTheTop) {
    auto* strip = Make<MTabCtrl>(L"MTabCtrl", CRect(0, 0, 300, 60));
    strip->SetTabCtrlHeight(60);
    const std::wstring icon = Strip({0xFFFFFF00, 0xFF00FFFF}, 10, 8);
    strip->InsertItem(1, L"", icon.c_str(), nullptr, 2, 100);
    strip->InsertItem(2, L"", icon.c_str(), nullptr, 2, 100);
    strip->SetSelectItem(1);
    const Canvas& c = Paint();
    EXPECT_EQ(Px(c, 45, 10), 0xFFFFFF00u);  // tab 0: (45..55, 10..18), frame 0
    EXPECT_EQ(Px(c, 54, 17), 0xFFFFFF00u);
    EXPECT_NE(Px(c, 45, 9), 0xFFFFFF00u);
    EXPECT_EQ(Px(c, 145, 10), 0xFF00FFFFu);  // tab 1 selected: the last frame of two
}

TEST_F(Tabs, NewTabTextIsDrawnAtTheNextPaintWithoutARepaintOfItsOwn) {
    MTabCtrl* strip = VerticalStrip();
    Paint();
    EXPECT_TRUE(strip->GetUpdate());
    EXPECT_TRUE(strip->SetItemText(1, L"Buttons"));
    EXPECT_FALSE(strip->SetItemText(3, L"none"));
    EXPECT_TRUE(Platform::GetUpdateRect(hwnd).IsRectEmpty());  // no repaint requested
    EXPECT_FALSE(strip->GetUpdate());                          // but the looks render again
    EXPECT_EQ(strip->GetItemText(1), L"Buttons");
}

TEST_F(Tabs, CTabCtrl1SelectsOnReleaseAndSelectingInCodeSendsNothing) {
    auto* list = Make<CTabCtrl1>(L"CTabCtrl1", CRect(10, 10, 160, 200), nullptr, 30);
    MTabLayout* page[2];
    for (int i = 0; i < 2; ++i) {
        page[i] = Make<MTabLayout>(L"MTabLayout", CRect(200, 10, 400, 200), nullptr, UINT(40 + i));
        EXPECT_EQ(list->AddItem(i ? L"About" : L"General", i * 10, page[i]), i);
    }
    EXPECT_EQ(list->GetItemRect(1), CRect(10, 70, 160, 130));
    list->SetSelectItem(0);
    EXPECT_TRUE(dlg.notifications.empty());
    EXPECT_FALSE(page[1]->IsVisible());
    ClickAt(50, 100);
    EXPECT_EQ(list->GetSelectItem(), 1);
    ASSERT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(Codes(2)[0].lParam, 1);
    EXPECT_TRUE(page[1]->IsVisible());
    EXPECT_FALSE(page[0]->IsVisible());
    ClickAt(50, 150);  // below the last item
    EXPECT_EQ(Codes(2).size(), 1u);
    list->ClearList();
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->GetSelectItem(), -1);
}
