// How a control hands mouse, wheel and key events down its tree: the hover
// child, a press held inside, the scroll bars' raw points, double clicks,
// the wheel, the focused chain and the modifier value of keys.
#include "Tracer.h"

using namespace ToolkitTest;
namespace H = Orvix::Headless;

namespace {

// Keeps the point a double-click notification points at, while it is valid.
class PointDialog : public TestDialog {
  public:
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override {
        if (code == Notify::DoubleClicked && lParam) dblClkPoint = *reinterpret_cast<const CPoint*>(lParam);
        return TestDialog::OnMessage(id, code, wParam, lParam);
    }
    CPoint dblClkPoint{-7, -7};
};

class Routing : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 400, 300));
        box = dlg.Add(new Tracer(&dlg, 50, CRect(0, 0, 300, 200), &log));
        a = box->Add(new Tracer(box, 10, CRect(10, 10, 100, 100), &log));
        b = box->Add(new Tracer(box, 11, CRect(150, 10, 250, 100), &log));
        Pump();
        log.clear();
    }
    Log log;  // outlives the dialog, whose controls write to it when they go
    PointDialog dlg;
    HWND hwnd = nullptr;
    Tracer* box = nullptr;
    Tracer* a = nullptr;
    Tracer* b = nullptr;
};

}  // namespace

TEST_F(Routing, APressInsideKeepsTheMovesOnThePressedChildUntilRelease) {
    box->OnMouseMove(0, CPoint(50, 50));
    ASSERT_EQ(box->GetHoverChild(), a);
    box->OnLButtonDown(0, CPoint(50, 50));
    EXPECT_TRUE(box->IsMouseDownInside());
    log.clear();
    box->OnMouseMove(0, CPoint(200, 50));  // over b now, but the button is still down
    EXPECT_EQ(log, Log({L"10:move 200,50"}));
    box->OnLButtonUp(0, CPoint(200, 50));
    EXPECT_FALSE(box->IsMouseDownInside());
    EXPECT_TRUE(Has(log, L"10:up 200,50"));  // the release goes where the press went

    log.clear();
    EXPECT_TRUE(box->OnMouseMove(0, CPoint(200, 50)));
    EXPECT_EQ(box->GetHoverChild(), b);
    // The old hover child hears that the pointer left it (a move to nowhere)
    // and restores its look; the new one gets the move.
    EXPECT_EQ(log, Log({L"10:move -1,-1", L"11:move 200,50"}));
}

TEST_F(Routing, APressGoesToTheLastChildThatTakesItElseTheControlTakesFocus) {
    // Overlaps a and comes later in the list.
    auto* over = box->Add(new Tracer(box, 12, CRect(50, 10, 140, 100), &log));
    box->OnLButtonDown(0, CPoint(60, 50));
    EXPECT_TRUE(Has(log, L"12:down 60,50"));
    EXPECT_FALSE(Has(log, L"10:down 60,50"));
    box->OnLButtonUp(0, CPoint(60, 50));

    for (auto refuse :
         {+[](Tracer* t) { t->SetEnabled(FALSE); }, +[](Tracer* t) { t->SetRresponse(FALSE); }}) {
        over->SetEnabled(TRUE);
        over->SetRresponse(TRUE);
        refuse(over);
        log.clear();
        box->OnLButtonDown(0, CPoint(60, 50));
        box->OnLButtonUp(0, CPoint(60, 50));
        EXPECT_TRUE(Has(log, L"10:down 60,50"));
        EXPECT_FALSE(Has(log, L"12:down 60,50"));
    }

    // No child under the point: the control itself becomes the focus control,
    // and the release comes back to it, even when the child that was last
    // under the pointer went away meanwhile.
    over->SetVisible(FALSE);
    box->OnMouseMove(0, CPoint(50, 50));
    ASSERT_EQ(box->GetHoverChild(), a);
    dlg.SetFocusControl(a);
    a->SetVisible(FALSE);
    log.clear();
    box->OnLButtonDown(0, CPoint(50, 50));
    EXPECT_EQ(log, Log({L"10:blur", L"50:focus", L"50:down 50,50"}));
    EXPECT_EQ(dlg.GetPaintManager().GetFocusControl(), box);
    box->OnLButtonUp(0, CPoint(50, 50));
    EXPECT_EQ(log.back(), L"50:up 50,50");
}

TEST_F(Routing, ScrollBarsOfAScrolledControlGetRawPointsForEveryEvent) {
    box->shift = CPoint(0, 100);
    auto* bar = box->Add(new Tracer(box, 1, CRect(290, 0, 300, 200), &log));
    box->Add(new Tracer(box, 2, CRect(0, 190, 280, 200), &log));
    auto* item = box->Add(new Tracer(box, 9, CRect(0, 100, 100, 200), &log));  // in content coordinates
    bar->takeWheel = item->takeWheel = true;
    item->SetDblClk(TRUE);
    box->OnLButtonDown(0, CPoint(295, 20));
    box->OnLButtonUp(0, CPoint(295, 20));
    box->OnRButtonDown(0, CPoint(100, 195));
    box->OnLButtonDown(0, CPoint(20, 20));
    box->OnLButtonDblClk(0, CPoint(20, 20));
    box->OnLButtonUp(0, CPoint(20, 20));
    box->OnScroll(1, 1, CPoint(295, 30));
    box->OnScroll(1, 0, CPoint(20, 30));
    // The bar under the pointer takes the wheel before its container is asked.
    Log expected = {L"1:down 295,20",   L"1:up 295,20",       L"2:rdown 100,195",     L"9:down 20,120",
                    L"9:dblclk 20,120", L"9:up 20,120",       L"1:wheel-down 295,30", L"9:wheel-up 20,130"};
    Log seen;
    for (const auto& e : log)
        if (e.find(L"focus") == std::wstring::npos && e.find(L"blur") == std::wstring::npos &&
            e.find(L"move") == std::wstring::npos)
            seen.push_back(e);
    EXPECT_EQ(seen, expected);
}

TEST_F(Routing, DoubleClickRules) {
    // A child with the double-click property that does not take it gets no press instead.
    a->SetDblClk(TRUE);
    a->takeDblClk = false;
    box->OnLButtonDown(0, CPoint(50, 50));
    box->OnLButtonUp(0, CPoint(50, 50));
    log.clear();
    EXPECT_FALSE(box->OnLButtonDblClk(0, CPoint(50, 50)));
    EXPECT_EQ(log, Log({L"10:dblclk 50,50"}));

    // Without the property a double click is just another press.
    a->SetDblClk(FALSE);
    log.clear();
    EXPECT_TRUE(box->OnLButtonDblClk(0, CPoint(50, 50)));
    EXPECT_EQ(log, Log({L"10:down 50,50"}));

    // With the property and notify-double-click the owner hears code 3 with
    // the flags and the point, before the control's own handler runs.
    a->SetDblClk(TRUE);
    a->SetNotifyDblClk(TRUE);
    a->takeDblClk = true;
    log.clear();
    EXPECT_TRUE(box->OnLButtonDblClk(MK_LBUTTON, CPoint(60, 70)));
    ASSERT_EQ(dlg.notifications.size(), 1u);
    EXPECT_EQ(dlg.notifications[0].id, 10u);
    EXPECT_EQ(dlg.notifications[0].code, 3u);
    EXPECT_EQ(dlg.notifications[0].wParam, WPARAM(MK_LBUTTON));
    EXPECT_EQ(dlg.dblClkPoint, CPoint(60, 70));
    EXPECT_EQ(log, Log({L"10:dblclk 60,70"}));
    // Outside its rect there is nothing to report.
    a->OnLButtonDblClk(0, CPoint(200, 150));
    EXPECT_EQ(dlg.notifications.size(), 1u);
}

TEST_F(Routing, TheWheelGoesToTheChildUnderThePointThenUpToTheControlThenToTheChildrenBeneath) {
    box->takeWheel = true;
    box->OnMouseMove(0, CPoint(50, 50));
    // The child under the pointer first; a step it declines goes up to its
    // container (a button inside a scrolled page lets the page scroll).
    log.clear();
    EXPECT_TRUE(box->OnScroll(1, 1, CPoint(50, 50)));
    EXPECT_EQ(log, Log({L"10:wheel-down 50,50", L"50:wheel-down 50,50"}));
    // One that declines the point is passed over.
    a->declinePoint = true;
    log.clear();
    EXPECT_TRUE(box->OnScroll(1, 1, CPoint(50, 50)));
    EXPECT_EQ(log, Log({L"50:wheel-down 50,50"}));
    EXPECT_FALSE(box->OnScroll(1, 1, CPoint(350, 50)));  // outside the control
    a->declinePoint = false;

    // The topmost child takes it when it can.
    box->takeWheel = false;
    auto* over = box->Add(new Tracer(box, 12, CRect(50, 10, 140, 100), &log));
    over->takeWheel = true;
    log.clear();
    EXPECT_TRUE(box->OnScroll(1, 0, CPoint(60, 50)));
    EXPECT_EQ(log, Log({L"12:wheel-up 60,50"}));
    // Neither it nor the control does: the children beneath under the point are asked in order.
    over->takeWheel = false;
    a->takeWheel = true;
    log.clear();
    EXPECT_TRUE(box->OnScroll(1, 0, CPoint(60, 50)));
    EXPECT_EQ(log, Log({L"12:wheel-up 60,50", L"50:wheel-up 60,50", L"10:wheel-up 60,50"}));

    box->SetEnabled(FALSE);
    log.clear();
    EXPECT_FALSE(box->OnScroll(1, 0, CPoint(60, 50)));
    EXPECT_TRUE(log.empty());
}

TEST_F(Routing, KeysFollowTheFocusedChainElseHoverControlThenChildren) {
    box->SetHotKey('K', 0);
    auto* inner = b->Add(new Tracer(b, 20, CRect(160, 20, 200, 60), &log));
    box->OnMouseMove(0, CPoint(50, 50));  // a is the hover child
    b->OnFocus(TRUE);
    inner->OnFocus(TRUE);
    inner->takeKeys = true;
    log.clear();
    EXPECT_TRUE(box->OnKeyDown('K', 1, 0));
    EXPECT_EQ(log, Log({L"20:key 75/0"}));  // neither the hover child nor the control's own hot key

    inner->OnFocus(FALSE);
    b->OnFocus(FALSE);
    log.clear();
    EXPECT_TRUE(box->OnKeyDown('K', 1, 0));  // hover child first, then the control's hot key
    EXPECT_EQ(log, Log({L"10:key 75/0", L"50:key 75/0"}));

    inner->takeKeys = false;
    log.clear();
    EXPECT_FALSE(box->OnKeyDown('J', 1, 0));  // nobody above takes it: the children in order
    EXPECT_EQ(log, Log({L"10:key 74/0", L"50:key 74/0", L"11:key 74/0", L"20:key 74/0"}));

    box->SetHotKey('S', 17);
    EXPECT_FALSE(box->OnControlKeyDown('S', 1, 16));
    EXPECT_TRUE(box->OnControlKeyDown('S', 1, 17));
}

TEST_F(Routing, AHiddenOrUnresponsiveControlTakesNothing) {
    a->takeKeys = a->takeWheel = true;
    for (bool hide : {true, false}) {
        a->SetVisible(!hide);
        a->SetRresponse(hide);
        log.clear();
        const CPoint p(50, 50);
        EXPECT_FALSE(a->OnMouseMove(0, p));
        EXPECT_FALSE(a->OnLButtonDown(0, p));
        EXPECT_FALSE(a->OnLButtonUp(0, p));
        EXPECT_FALSE(a->OnLButtonDblClk(0, p));
        EXPECT_FALSE(a->OnRButtonDown(0, p));
        EXPECT_FALSE(a->OnRButtonUp(0, p));
        EXPECT_FALSE(a->OnRButtonDblClk(0, p));
        EXPECT_FALSE(a->OnScroll(1, 1, p));
        EXPECT_FALSE(a->OnKeyDown('A', 1, 0));
        EXPECT_TRUE(log.empty());
    }
}

// The value passed with keys is the bitwise OR of 16 (Shift), 17 (Ctrl) and 18 (Alt).
TEST_F(Routing, ModifierValueIsTheOrOfTheHeldModifiers) {
    a->takeKeys = true;
    H::MouseMove(hwnd, 50, 50);
    Pump();
    struct Case {
        std::vector<UINT> held;
        UINT value;
    } cases[] = {{{}, 0},
                 {{VK_MENU}, 18},
                 {{VK_SHIFT, VK_CONTROL}, 17},
                 {{VK_SHIFT, VK_MENU}, 18},
                 {{VK_CONTROL, VK_MENU}, 19},
                 {{VK_SHIFT, VK_CONTROL, VK_MENU}, 19}};
    for (const Case& c : cases) {
        for (UINT vk : c.held) H::KeyDown(hwnd, vk);
        H::KeyDown(hwnd, 'Q');
        H::KeyUp(hwnd, 'Q');
        for (UINT vk : c.held) H::KeyUp(hwnd, vk);
        log.clear();
        Pump();
        EXPECT_TRUE(Has(log, L"10:key 81/" + std::to_wstring(c.value))) << c.value;
    }
}
