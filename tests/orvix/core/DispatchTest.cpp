// Input reaching controls through the real dispatcher, focus, timers, the modal
// loop and the close protocol, on the headless back end.
#include "ToolkitFixture.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MText.h"

using namespace ToolkitTest;
namespace H = Orvix::Headless;

class Dispatch : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open();
        outer = dlg.Add(new Box(&dlg, 50, CRect(10, 10, 300, 250)));
        inner = outer->Add(new Box(outer, 51, CRect(20, 20, 280, 240)));
        probe = inner->Add(new Probe(inner, 7, CRect(40, 40, 140, 100)));
        Pump();
    }
    TestDialog dlg;
    HWND hwnd = nullptr;
    Box* outer = nullptr;
    Box* inner = nullptr;
    Probe* probe = nullptr;
};

TEST_F(Dispatch, MouseAndKeysReachANestedControlAndItsIdReachesTheDialog) {
    H::MouseMove(hwnd, 50, 60);
    H::Click(hwnd, 50, 60);
    H::Wheel(hwnd, 60, 70, -2 * WHEEL_DELTA);
    H::KeyPress(hwnd, 'A');
    Pump();
    std::vector<std::wstring> expected = {L"move 50,60", L"down 50,60", L"up 50,60", L"wheel-down 60,70",
                                          L"wheel-down 60,70", L"key 65/0"};
    EXPECT_EQ(probe->events, expected);
    ASSERT_EQ(dlg.notifications.size(), 1u);
    EXPECT_EQ(dlg.notifications[0].id, 7u);  // the raising control's id, however deep
    EXPECT_EQ(dlg.notifications[0].code, 2u);
    EXPECT_EQ(dlg.GetPaintManager().GetFocusControl(), probe);
}

TEST_F(Dispatch, DoubleClickWithoutTheDoubleClickPropertyIsAPress) {
    H::MouseMove(hwnd, 50, 60);
    H::DoubleClick(hwnd, 50, 60);
    Pump();
    std::vector<std::wstring> expected = {L"move 50,60", L"down 50,60", L"up 50,60", L"down 50,60", L"up 50,60"};
    EXPECT_EQ(probe->events, expected);

    probe->events.clear();
    probe->SetDblClk(TRUE);
    probe->SetNotifyDblClk(TRUE);
    dlg.notifications.clear();
    H::DoubleClick(hwnd, 50, 60);
    Pump();
    EXPECT_EQ(probe->events[2], L"dblclk 50,60");
    ASSERT_GE(dlg.notifications.size(), 2u);
    EXPECT_EQ(dlg.notifications[1].code, 3u);
}

TEST_F(Dispatch, ModifierValueAndShiftedKeys) {
    probe->acceptKeys = true;
    H::MouseMove(hwnd, 50, 60);
    H::KeyDown(hwnd, VK_SHIFT);
    H::KeyPress(hwnd, 'B');
    H::KeyUp(hwnd, VK_SHIFT);
    H::KeyDown(hwnd, VK_CONTROL);
    H::KeyPress(hwnd, 'C');
    H::KeyUp(hwnd, VK_CONTROL);
    Pump();
    EXPECT_NE(std::find(probe->events.begin(), probe->events.end(), L"key 66/16"), probe->events.end());
    EXPECT_NE(std::find(probe->events.begin(), probe->events.end(), L"key 67/17"), probe->events.end());
}

TEST_F(Dispatch, InvisibleControlGetsNoInput) {
    probe->SetVisible(FALSE);
    H::MouseMove(hwnd, 50, 60);
    H::Click(hwnd, 50, 60);
    Pump();
    EXPECT_TRUE(probe->events.empty());
    EXPECT_TRUE(dlg.notifications.empty());
}

TEST_F(Dispatch, WheelGoesToAnotherControlWhenTheHoverControlDeclines) {
    probe->acceptWheel = false;
    // A list beneath the boxes (earlier in the list of controls).
    auto* list = new Probe(&dlg, 8, CRect(0, 0, 400, 300));
    list->SetManager(&dlg.GetPaintManager());
    dlg.GetControls().insert(dlg.GetControls().begin(), list);
    H::MouseMove(hwnd, 50, 60);  // the nested probe is hovered; it and its boxes decline
    H::Wheel(hwnd, 50, 60, WHEEL_DELTA);
    Pump();
    ASSERT_FALSE(list->events.empty());
    EXPECT_EQ(list->events.back(), L"wheel-up 50,60");
}

TEST_F(Dispatch, LeavingTheWindowAndLosingActivationRestoreTheReleasedLook) {
    H::MouseMove(hwnd, 50, 60);
    Pump();
    H::MouseLeave(hwnd);
    Pump();
    EXPECT_EQ(probe->events.back(), L"move -1,-1");
    EXPECT_EQ(dlg.GetPaintManager().GetHoverControl(), nullptr);

    H::MouseMove(hwnd, 50, 60);
    H::MouseDown(hwnd, 50, 60);
    Pump();
    ASSERT_TRUE(probe->pressed);
    H::Activate(hwnd, false);
    Pump();
    EXPECT_FALSE(probe->pressed);
    EXPECT_EQ(probe->events.back(), L"up -1,-1");
    EXPECT_TRUE(dlg.notifications.empty());  // released outside: no click
}

TEST_F(Dispatch, PressOnEmptyBackgroundMovesTheWindowButNotOverAControl) {
    CRect before = dlg.GetWindowRect();
    H::MouseMove(hwnd, 350, 280);
    H::MouseDown(hwnd, 350, 280);
    Pump();
    H::MouseMove(hwnd, 360, 300);
    H::MouseUp(hwnd, 360, 300);
    Pump();
    CRect after = dlg.GetWindowRect();
    EXPECT_EQ(after.left - before.left, 10);
    EXPECT_EQ(after.top - before.top, 20);

    H::MouseMove(hwnd, 50, 60);
    H::MouseDown(hwnd, 50, 60);
    H::MouseMove(hwnd, 70, 90);
    H::MouseUp(hwnd, 70, 90);
    Pump();
    EXPECT_EQ(dlg.GetWindowRect(), after);
}

TEST_F(Dispatch, TabCyclesOverFocusableTopLevelControlsBothWays) {
    auto* a = dlg.Add(new Probe(&dlg, 21, CRect(310, 10, 320, 20)));
    auto* hidden = dlg.Add(new Probe(&dlg, 22, CRect(310, 30, 320, 40)));
    auto* b = dlg.Add(new Probe(&dlg, 23, CRect(310, 50, 320, 60)));
    auto* disabled = dlg.Add(new Probe(&dlg, 24, CRect(310, 70, 320, 80)));
    auto* notStop = dlg.Add(new Probe(&dlg, 25, CRect(310, 90, 320, 100)));
    probe->SetTabStop(FALSE);
    notStop->SetTabStop(FALSE);
    hidden->SetVisible(FALSE);
    disabled->SetEnabled(FALSE);
    PaintManager& pm = dlg.GetPaintManager();
    // Tab works in any loop: it is handled when the key is dispatched.
    auto tab = [&](bool shift) {
        if (shift) H::KeyDown(hwnd, VK_SHIFT);
        H::KeyPress(hwnd, VK_TAB);
        if (shift) H::KeyUp(hwnd, VK_SHIFT);
        Pump();
        return pm.GetFocusControl();
    };
    EXPECT_EQ(tab(false), a);
    EXPECT_EQ(tab(false), b);
    EXPECT_EQ(tab(false), a);  // wraps round
    EXPECT_EQ(tab(true), b);
    EXPECT_TRUE(b->IsFocused());
    EXPECT_FALSE(a->IsFocused());

    // With Ctrl or Alt held Tab is not the window's.
    for (UINT modifier : {VK_CONTROL, VK_MENU}) {
        H::KeyDown(hwnd, modifier);
        H::KeyPress(hwnd, VK_TAB);
        H::KeyUp(hwnd, modifier);
        Pump();
        EXPECT_EQ(pm.GetFocusControl(), b);
    }
}

TEST_F(Dispatch, ControlTimersKeepTheFirstAndTickTheirOwnControl) {
    auto* other = dlg.Add(new Probe(&dlg, 30, CRect(0, 0, 1, 1)));
    EXPECT_TRUE(probe->SetTimer(1, 100));
    EXPECT_FALSE(probe->SetTimer(1, 10));  // second start refused, first kept
    EXPECT_TRUE(other->SetTimer(1, 50));
    H::AdvanceClock(300);
    EXPECT_EQ(probe->ticks, 3);
    EXPECT_EQ(other->ticks, 6);
    EXPECT_TRUE(probe->KillTimer(1));
    H::AdvanceClock(200);
    EXPECT_EQ(probe->ticks, 3);
    EXPECT_TRUE(probe->SetTimer(1, 100));  // a killed timer restarts
    H::AdvanceClock(100);
    EXPECT_EQ(probe->ticks, 4);
    // A removed control's timer goes with it.
    inner->RemoveControl(probe);
    H::AdvanceClock(200);
    EXPECT_EQ(other->ticks, 16);
}

TEST_F(Dispatch, AnimationTickerTicksVisibleRunningControlsOnly) {
    probe->AddMTimer();
    probe->SetRunTimer(TRUE);
    UINT id = dlg.SetMTimer(10);
    H::AdvanceClock(100);
    EXPECT_EQ(probe->ticks, 10);
    outer->SetVisible(FALSE);  // a hidden container stops its children's ticks
    H::AdvanceClock(50);
    EXPECT_EQ(probe->ticks, 10);
    outer->SetVisible(TRUE);
    dlg.KillMTimer(id);
    H::AdvanceClock(50);
    EXPECT_EQ(probe->ticks, 10);
}

// An idle window must not wake for ticks nobody uses: after two seconds without
// any control animating, the ticker parks until a message reaches the window.
TEST_F(Dispatch, AnIdleAnimationTickerParksUntilTheWindowHearsFromTheUser) {
    struct Animated : Probe {
        using Probe::Probe;
        BOOL OnControlTimer() override {
            ++ticks;
            return busy;
        }
        bool busy = false;
    };
    auto* animated = dlg.Add(new Animated(&dlg, 60, CRect(0, 0, 10, 10)));
    animated->AddMTimer();
    animated->SetRunTimer(TRUE);
    const UINT id = dlg.SetMTimer(10);
    H::AdvanceClock(1990);
    EXPECT_EQ(animated->ticks, 199);
    H::AdvanceClock(1000);
    EXPECT_EQ(animated->ticks, 200) << "parked after two idle seconds";

    H::MouseMove(hwnd, 300, 250);
    Pump();
    H::AdvanceClock(100);
    EXPECT_EQ(animated->ticks, 210);
    animated->busy = true;  // animating: it never parks
    H::AdvanceClock(5000);
    EXPECT_EQ(animated->ticks, 710);
    animated->busy = false;
    H::AdvanceClock(3000);
    EXPECT_EQ(animated->ticks, 910);
    dlg.KillMTimer(id);  // a parked ticker is killed by the id SetMTimer gave
    H::MouseMove(hwnd, 310, 250);
    Pump();
    H::AdvanceClock(100);
    EXPECT_EQ(animated->ticks, 910);
}

TEST_F(Dispatch, RepaintRequestWidensOverLaterOverlappingControls) {
    Platform::BeginPaint(hwnd);
    auto* over = dlg.Add(new Probe(&dlg, 40, CRect(250, 200, 380, 290)));
    auto* apart = dlg.Add(new Probe(&dlg, 41, CRect(390, 0, 400, 10)));
    Canvas target(1, 1);
    over->UpdateMemDC(target, 1, 1);  // a valid cache to be invalidated
    EXPECT_TRUE(over->GetUpdate());
    outer->UpdateControl(TRUE);
    EXPECT_FALSE(over->GetUpdate());
    EXPECT_EQ(Platform::GetUpdateRect(hwnd), CRect(10, 10, 380, 290));
    EXPECT_FALSE(apart->GetUpdate());
}

TEST_F(Dispatch, FactoriesKnowTheirNamesAndCreateOnlyBuiltClasses) {
    EXPECT_EQ(dlg.CreateControl(L"NoSuchControl", 90, CRect(0, 0, 10, 10)), nullptr);
    size_t before = dlg.GetControls().size();
    auto* text = dynamic_cast<MText*>(dlg.CreateControl(L"MText", 91, CRect(0, 0, 10, 10), L"hi"));
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->IsEnabled());  // labels are created not enabled
    EXPECT_EQ(dlg.GetControls().size(), before + 1);
    EXPECT_EQ(dlg.GetControl(91), text);
    // Known names whose classes are not built yet, and names of the other factory.
    EXPECT_TRUE(IsWindowFactoryName(L"MButton"));
    EXPECT_FALSE(IsWindowFactoryName(L"MacroList"));
    EXPECT_TRUE(IsContainerFactoryName(L"MacroList"));
    EXPECT_FALSE(IsContainerFactoryName(L"CTabCtrl1"));
    EXPECT_NE(inner->CreateControl(L"MPicture", 92, CRect(0, 0, 5, 5)), nullptr);
    EXPECT_EQ(inner->CreateControl(L"CTabCtrl1", 93, CRect(0, 0, 5, 5)), nullptr);
    // Depth first: a grandchild before a later sibling of its parent.
    dlg.Add(new Probe(&dlg, 92, CRect(0, 0, 1, 1)));
    EXPECT_EQ(dlg.GetControl(92)->GetParantObject(), inner);
}

TEST_F(Dispatch, ParentVisibilityAndCursorNames) {
    EXPECT_TRUE(outer->IsParentVisible());  // its parent is the dialog
    outer->SetVisible(FALSE);
    EXPECT_FALSE(probe->IsParentVisible());
    probe->SetCursorEx(L"hand");
    probe->SetCursorEx(L"no-such-cursor");
    EXPECT_EQ(probe->GetCursor(), CursorKind::Hand);
}

class Modal : public HeadlessTest {};

TEST_F(Modal, CloseProtocolResults) {
    struct Case {
        void (MDialog::*close)();
        UINT result;
    } cases[] = {{&MDialog::DoOK, 1}, {&MDialog::DoCancel, 2}, {&MDialog::DoYes, 6}, {&MDialog::DoNo, 7}};
    for (const Case& c : cases) {
        TestDialog dlg;
        dlg.Open();
        Platform::PostTask([&] { (dlg.*c.close)(); });
        EXPECT_EQ(dlg.ShowModal(), c.result);
        EXPECT_FALSE(Platform::IsWindow(dlg.GetSafeHwnd()));
    }
}

TEST_F(Modal, DestroyedWithoutCloseReturnsZeroAndOwnerComesBack) {
    TestDialog owner;
    HWND ownerWnd = owner.Open();
    TestDialog dlg;
    dlg.Create(ownerWnd, L"child", WS_POPUP, 0, CRect(0, 0, 100, 80));
    Platform::PostTask([&] {
        EXPECT_FALSE(Platform::IsWindowEnabled(ownerWnd));  // disabled while modal
        dlg.DestroyWindow();
    });
    EXPECT_EQ(dlg.ShowModal(), 0u);
    EXPECT_TRUE(Platform::IsWindowEnabled(ownerWnd));
    EXPECT_EQ(Platform::GetActiveWindow(), ownerWnd);

    TestDialog never;
    EXPECT_EQ(never.ShowModal(), UINT(-1));
}

TEST_F(Modal, AltF4NeverReachesTheWindowAndQuitEndsTheLoop) {
    TestDialog dlg;
    HWND hwnd = dlg.Open();
    auto* probe = dlg.Add(new Probe(&dlg, 1, CRect(0, 0, 400, 300)));
    probe->acceptKeys = true;
    Platform::PostTask([&] {
        H::MouseMove(hwnd, 5, 5);
        H::KeyDown(hwnd, VK_MENU);
        H::KeyDown(hwnd, VK_F4);
        Platform::PostQuitMessage(3);
    });
    EXPECT_EQ(dlg.ShowModal(), 0u);
    for (const auto& e : probe->events) EXPECT_EQ(e.find(L"key 115"), std::wstring::npos);
    MSG msg;
    EXPECT_FALSE(Platform::GetMessage(msg));  // the quit is passed on
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Modal, CenterWindowKeepsInsideTheWorkArea) {
    H::SetWorkArea(CRect(0, 0, 800, 600));
    TestDialog owner;
    owner.Open(CRect(600, 400, 800, 600));
    TestDialog dlg;
    dlg.Create(owner.GetSafeHwnd(), L"c", WS_POPUP, 0, CRect(0, 0, 300, 200));
    dlg.CenterWindow();
    EXPECT_EQ(dlg.GetWindowRect(), CRect(500, 400, 800, 600));  // pushed back from the far edges
}
