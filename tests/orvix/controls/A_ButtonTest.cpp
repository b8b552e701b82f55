// The button family through the real dispatcher: states, codes, hot keys,
// check toggles, group exclusivity and the long-press repeat.
#include "A_ControlsFixture.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CImageButton.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/CSelectButton.h"
#include "orvix/controls/CSwitchButton.h"
#include "orvix/controls/CTimerButton.h"
#include "orvix/controls/LongPressButton.h"
#include "orvix/controls/MButton.h"
#include "orvix/controls/MButton2.h"
#include "orvix/controls/MButton3.h"
#include "orvix/controls/MenuItem.h"
#include "orvix/controls/TextCheckButton.h"
#include "orvix/controls/UpgradeButton.h"

using namespace ControlsTest;

namespace {
constexpr uint32_t kFrames[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080};
}

class Buttons : public ControlsTest::ControlsTest {};

TEST_F(Buttons, PressSendsOneReleaseInsideSendsTwoAndTheStateFollowsThePointer) {
    auto* b = Make<MButton>(L"MButton", CRect(10, 10, 110, 40), L"OK");
    Move(50, 20);
    EXPECT_EQ(b->GetState(), STATE_HOVER);
    EXPECT_EQ(Platform::GetCursor(), CursorKind::Hand);
    Press(50, 20);
    EXPECT_EQ(b->GetState(), STATE_PRESSED);
    ASSERT_EQ(dlg.notifications.size(), 1u);
    EXPECT_EQ(dlg.notifications[0].code, 1u);
    Release(60, 25);
    EXPECT_EQ(b->GetState(), STATE_HOVER);
    ASSERT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(Codes(2)[0].id, 7u);

    // Released outside: back to normal, no click.
    dlg.notifications.clear();
    Press(50, 20);
    H::MouseMove(hwnd, 300, 300);
    Release(300, 300);
    EXPECT_EQ(b->GetState(), STATE_NORMAL);
    EXPECT_TRUE(Codes(2).empty());
    EXPECT_EQ(Platform::GetCursor(), CursorKind::Arrow);
}

TEST_F(Buttons, HoveringOneButtonIsNotUndoneByItsNeighbours) {
    auto* a = Make<MButton>(L"MButton", CRect(10, 10, 110, 40), L"A", 1);
    auto* b = Make<MButton>(L"MButton", CRect(120, 10, 220, 40), L"B", 2);
    Move(50, 20);
    EXPECT_EQ(a->GetState(), STATE_HOVER);
    EXPECT_EQ(b->GetState(), STATE_NORMAL);
    EXPECT_EQ(Platform::GetCursor(), CursorKind::Hand);
    Move(150, 20);
    EXPECT_EQ(a->GetState(), STATE_NORMAL);
    EXPECT_EQ(b->GetState(), STATE_HOVER);
    EXPECT_EQ(Platform::GetCursor(), CursorKind::Hand);
}

TEST_F(Buttons, ADisabledButtonShowsFrameThreeAndSendsNothing) {
    auto* b = Make<MButton>(L"MButton", CRect(10, 10, 110, 40));
    ASSERT_TRUE(b->SetImage(Strip({kFrames[0], kFrames[1], kFrames[2], kFrames[3]}, 20, 20).c_str(), 4));
    EXPECT_EQ(Px(Paint(), 60, 25), kFrames[0]);
    b->SetEnabled(FALSE);
    EXPECT_EQ(b->GetState(), STATE_DISABLED);
    EXPECT_EQ(Px(Paint(), 60, 25), kFrames[3]);
    ClickAt(60, 25);
    EXPECT_TRUE(dlg.notifications.empty());
    EXPECT_EQ(Px(Paint(), 60, 25), kFrames[3]);
    // Enabled again it is clickable and shows frame 0 at rest.
    b->SetEnabled(TRUE);
    Move(400, 300);
    EXPECT_EQ(Px(Paint(), 60, 25), kFrames[0]);
    ClickAt(60, 25);
    EXPECT_EQ(Codes(2).size(), 1u);
}

TEST_F(Buttons, CheckedLooksOfAFourFrameStripUseThePressedFrame) {
    auto* box = dlg.Add(new ToolkitTest::Box(&dlg, 50, CRect(0, 0, 400, 300)));
    auto* b = static_cast<MButton3*>(box->CreateControl(L"MButton3", 3, CRect(10, 10, 110, 40)));
    ASSERT_TRUE(b->SetImage(Strip({kFrames[0], kFrames[1], kFrames[2], kFrames[3]}, 20, 20).c_str(), 4));
    b->SetCheck(TRUE);
    EXPECT_EQ(Px(Paint(), 60, 25), kFrames[2]);
    b->SetEnabled(FALSE);
    EXPECT_EQ(Px(Paint(), 60, 25), kFrames[3]);
}

TEST_F(Buttons, AHotKeyClicksTheButton) {
    auto* b = Make<MButton>(L"MButton", CRect(10, 10, 110, 40));
    b->SetHotKey(VK_F4, 0);
    H::KeyPress(hwnd, VK_F4);
    Pump();
    EXPECT_EQ(Codes(2).size(), 1u);
    H::KeyPress(hwnd, VK_F1);
    Pump();
    EXPECT_EQ(Codes(2).size(), 1u);
}

TEST_F(Buttons, ASwitchClickedTwiceSendsOneThenZero) {
    auto* s = Make<CSwitchButton>(L"CSwitchButton", CRect(10, 10, 110, 40));
    ClickAt(30, 20);
    ClickAt(30, 20);
    auto clicks = Codes(2);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].lParam, 1);
    EXPECT_EQ(clicks[1].lParam, 0);
    EXPECT_FALSE(s->GetCheck());
    // A press that leaves the switch changes nothing.
    Press(30, 20);
    Move(300, 300);
    Release(300, 300);
    EXPECT_FALSE(s->GetCheck());
    EXPECT_EQ(Codes(2).size(), 2u);
}

TEST_F(Buttons, TheSwitchDrawsItsOnAndOffStrips) {
    auto* s = Make<CSwitchButton>(L"CSwitchButton", CRect(10, 10, 110, 40));
    const std::wstring on = Strip({0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00}, 20, 10);
    const std::wstring off = Strip({0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000}, 20, 10);
    ASSERT_TRUE(s->SetImage(on.c_str(), off.c_str(), 4));
    EXPECT_EQ(Px(Paint(), 15, 25), 0xFFFF0000u);
    s->SetCheck(TRUE);
    EXPECT_EQ(Px(Paint(), 15, 25), 0xFF00FF00u);
    EXPECT_FALSE(s->SetImage(on.c_str(), L"missing.png", 4));
}

TEST_F(Buttons, ACheckBoxTogglesByClickAndBySpaceOnlyWhileFocused) {
    auto* c = Make<CCheckButton>(L"CCheckButton", CRect(10, 10, 110, 40));
    Make<MButton>(L"MButton", CRect(200, 10, 300, 40), nullptr, 9);
    H::KeyPress(hwnd, VK_SPACE);  // not focused yet
    Pump();
    EXPECT_FALSE(c->GetCheck());
    ClickAt(20, 20);
    EXPECT_TRUE(c->GetCheck());
    ASSERT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(Codes(2)[0].lParam, 1);
    EXPECT_TRUE(Codes(1).empty());  // a check box reports the click only

    H::KeyPress(hwnd, VK_SPACE);
    Pump();
    EXPECT_FALSE(c->GetCheck());
    ASSERT_EQ(Codes(7).size(), 1u);
    EXPECT_EQ(Codes(7)[0].lParam, 0);

    H::KeyDown(hwnd, VK_SHIFT);
    H::KeyPress(hwnd, VK_SPACE);  // with a modifier it is not the toggle key
    H::KeyUp(hwnd, VK_SHIFT);
    Pump();
    EXPECT_EQ(Codes(7).size(), 1u);

    ClickAt(250, 20);  // the focus moves away
    H::KeyPress(hwnd, VK_SPACE);
    Pump();
    EXPECT_EQ(Codes(7).size(), 1u);
}

TEST_F(Buttons, RadioGroupsResetOnlySiblingsWithTheSameParentClassAndGroup) {
    auto radio = [&](UINT id, CRect r, const wchar_t* group) {
        auto* b = Make<CRadioButton>(L"CRadioButton", r, nullptr, id);
        b->SetGroupName(group);
        return b;
    };
    auto* a1 = radio(1, CRect(10, 10, 90, 30), L"g");
    auto* a2 = radio(2, CRect(10, 40, 90, 60), L"g");
    auto* other = radio(3, CRect(10, 70, 90, 90), L"h");
    auto* select = Make<CSelectButton>(L"CSelectButton", CRect(10, 100, 90, 120), nullptr, 4);
    select->SetGroupName(L"g");
    auto* box = dlg.Add(new ToolkitTest::Box(&dlg, 50, CRect(200, 0, 500, 300)));
    auto* inner = static_cast<CRadioButton*>(box->CreateControl(L"CRadioButton", 5, CRect(210, 10, 290, 30)));
    inner->SetGroupName(L"g");
    for (CCheckButton* b : std::initializer_list<CCheckButton*>{a1, other, select, inner}) b->SetCheck(TRUE);
    ASSERT_TRUE(a1->GetCheck());

    ClickAt(20, 50);  // a2
    EXPECT_TRUE(a2->GetCheck());
    EXPECT_FALSE(a1->GetCheck());
    EXPECT_TRUE(other->GetCheck());   // another group
    EXPECT_TRUE(select->GetCheck());  // another class
    EXPECT_TRUE(inner->GetCheck());   // another parent
    ASSERT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(Codes(2)[0].id, 2u);

    ClickAt(220, 20);  // the radio inside the container leaves the top level alone
    EXPECT_TRUE(inner->GetCheck());
    EXPECT_TRUE(a2->GetCheck());

    // A click on the checked radio keeps it checked.
    ClickAt(20, 50);
    EXPECT_TRUE(a2->GetCheck());
}

TEST_F(Buttons, MButton2GroupsAndMButton3Toggles) {
    auto* box = dlg.Add(new ToolkitTest::Box(&dlg, 50, CRect(0, 0, 400, 300)));
    auto* p1 = static_cast<MButton2*>(box->CreateControl(L"MButton2", 1, CRect(10, 10, 90, 40)));
    auto* p2 = static_cast<MButton2*>(box->CreateControl(L"MButton2", 2, CRect(100, 10, 180, 40)));
    auto* t = static_cast<MButton3*>(box->CreateControl(L"MButton3", 3, CRect(200, 10, 280, 40)));
    p1->SetGroupName(L"profile");
    p2->SetGroupName(L"profile");
    p1->SetCheck(TRUE);
    ClickAt(120, 20);
    EXPECT_TRUE(p2->GetCheck());
    EXPECT_FALSE(p1->GetCheck());
    ClickAt(220, 20);
    ClickAt(220, 20);
    auto clicks = Codes(2);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[1].lParam, 1);
    EXPECT_EQ(clicks[2].lParam, 0);
    EXPECT_FALSE(t->GetCheck());
    EXPECT_TRUE(p2->GetCheck());  // a toggle is in no group
}

TEST_F(Buttons, ALongPressRepeatsEveryThreeHundredMillisecondsWhileHeld) {
    dlg.SetMTimer(10);
    EXPECT_EQ(dlg.CreateControl(L"LongPressButton", 8, CRect(10, 10, 90, 40)), nullptr);  // containers only
    auto* box = dlg.Add(new ToolkitTest::Box(&dlg, 50, CRect(0, 0, 400, 300)));
    ASSERT_NE(box->CreateControl(L"LongPressButton", 8, CRect(10, 10, 90, 40)), nullptr);
    Press(20, 20);
    EXPECT_EQ(Codes(1).size(), 1u);
    H::AdvanceClock(290);
    EXPECT_TRUE(Codes(32).empty());
    H::AdvanceClock(20);
    EXPECT_EQ(Codes(32).size(), 1u);
    H::AdvanceClock(300);
    EXPECT_EQ(Codes(32).size(), 2u);
    Release(20, 20);
    H::AdvanceClock(1000);
    EXPECT_EQ(Codes(32).size(), 2u);
    EXPECT_EQ(Codes(2).size(), 1u);
}

TEST_F(Buttons, ATimerButtonSendsATickCountWhileRunning) {
    auto* t = Make<CTimerButton>(L"CTimerButton", CRect(10, 10, 110, 40));
    ASSERT_TRUE(t->SetRun(TRUE, 100));
    H::AdvanceClock(350);
    auto ticks = Codes(2);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_EQ(ticks[2].wParam, 3u);
    t->SetRun(FALSE);
    H::AdvanceClock(500);
    EXPECT_EQ(Codes(2).size(), 3u);
}

TEST_F(Buttons, MenuItemsSendTheirValueAndSeparatorsTakeNoInput) {
    auto* item = Make<MenuItem>(L"MenuItem", CRect(10, 10, 200, 35), L"Copy", 11);
    item->SetValue(42);
    auto* sep = Make<MenuItem>(L"MenuItem", CRect(10, 35, 200, 39), nullptr, 12);
    sep->SetSeparator(TRUE);
    auto* a = Make<MenuItem>(L"MenuItem", CRect(10, 40, 200, 65), L"By name", 13);
    auto* b = Make<MenuItem>(L"MenuItem", CRect(10, 70, 200, 95), L"By date", 14);
    a->SetGroupName(L"sort");
    b->SetGroupName(L"sort");
    a->SetCheck(TRUE);
    ClickAt(50, 20);
    ASSERT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(Codes(2)[0].wParam, 42u);
    EXPECT_TRUE(Codes(1).empty());
    ClickAt(50, 37);
    EXPECT_EQ(Codes(2).size(), 1u);
    ClickAt(50, 80);
    EXPECT_TRUE(b->GetCheck());
    EXPECT_FALSE(a->GetCheck());
    EXPECT_FALSE(item->GetCheck());  // a plain entry does not check itself
}

TEST_F(Buttons, AnImageButtonWithABubbleModeShowsItsTitleBesideIt) {
    auto* right = Make<CImageButton>(L"CImageButton", CRect(100, 100, 130, 120), L"Reset", 1);
    auto* left = Make<CImageButton>(L"CImageButton", CRect(300, 100, 330, 120), L"Undo", 2);
    right->SetAlrBladderMode(AIRBLADDER_MODE_RIGHT);
    left->SetAlrBladderMode(AIRBLADDER_MODE_LEFT);
    Move(110, 110);
    MAirBladder* bubble = dlg.GetPaintManager().GetAirBladder();
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->GetText(), L"Reset");
    EXPECT_EQ(bubble->GetWindowRect().TopLeft(), CPoint(100 + 130, 100 + 110));  // right edge, centre
    Move(310, 110);
    EXPECT_EQ(bubble->GetText(), L"Undo");
    EXPECT_EQ(bubble->GetWindowRect().right, 100 + 300);  // ends at the left edge
    Move(500, 300);
    EXPECT_FALSE(bubble->IsShown());
    // Without a mode, hovering shows no bubble.
    right->SetAlrBladderMode(AIRBLADDER_MODE_NONE);
    Move(110, 110);
    EXPECT_FALSE(bubble->IsShown());
}

TEST_F(Buttons, AnUpgradeInProgressTakesNoClicksAndTextChecksAnswerTheSpaceKey) {
    auto* box = dlg.Add(new ToolkitTest::Box(&dlg, 50, CRect(0, 0, 200, 100)));
    auto* up = static_cast<UpgradeButton*>(box->CreateControl(L"UpgradeButton", 245, CRect(10, 10, 110, 40)));
    up->SetUpgradeStatus(UpgradeButton::UPGRADE_RUNNING);
    ClickAt(50, 20);
    EXPECT_TRUE(dlg.notifications.empty());
    up->SetUpgradeStatus(UpgradeButton::UPGRADE_AVAILABLE);
    ClickAt(50, 20);
    EXPECT_EQ(Codes(2).size(), 1u);

    auto* check = Make<TextCheckButton>(L"TextCheckButton", CRect(300, 10, 400, 40), L"Snap", 9);
    ClickAt(350, 20);
    EXPECT_TRUE(check->GetCheck());
    H::KeyPress(hwnd, VK_SPACE);
    Pump();
    ASSERT_EQ(Codes(7).size(), 1u);
    EXPECT_EQ(Codes(7)[0].id, 9u);
    EXPECT_FALSE(check->GetCheck());
}
