// The window side: the dialog's dispatch order, raw messages offered to
// controls, focus and capture on presses, the caption drag, resizing and size
// limits, control timers, the animation ticker, the modal loop and centring.
#include <atomic>
#include <set>
#include <thread>

#include "Tracer.h"
#include "orvix/core/MText.h"

using namespace ToolkitTest;
namespace H = Orvix::Headless;

namespace {

// A dialog whose overridable hooks write to the test's log.
class HookDialog : public TestDialog {
  public:
    explicit HookDialog(Log* log) : m_log(log) {}
    LRESULT OnLButtonDown(UINT, CPoint pt) override {
        m_log->push_back(L"dlg:down " + At(pt));
        return 1;  // ignored: the controls still get the press
    }
    void OnTimer(UINT id) override { timerIds.push_back(id); }
    void UISize(CRect client) override { sizes.push_back(client); }
    LRESULT OnClose() override {
        ownerEnabledAtClose = owner && Platform::IsWindowEnabled(owner);
        return 1;
    }
    std::vector<UINT> timerIds;
    std::vector<CRect> sizes;
    HWND owner = nullptr;
    bool ownerEnabledAtClose = false;

  private:
    Log* m_log;
};

// A bare window of the layer, with no toolkit manager behind it.
struct PlainWindow : WindowProcedure {
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        return Platform::DefWindowProc(hwnd, msg, wParam, lParam);
    }
};

class WindowSide : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 400, 300));
        Pump();
    }
    Tracer* Make(UINT id, CRect rect) { return dlg.Add(new Tracer(&dlg, id, rect, &log)); }
    void Drag(int x, int y) {
        H::MouseMove(hwnd, x, y);
        H::MouseDown(hwnd, x, y);
        Pump();
        H::MouseMove(hwnd, x + 10, y + 10);
        H::MouseUp(hwnd, x + 10, y + 10);
        Pump();
    }

    Log log;
    HookDialog dlg{&log};
    HWND hwnd = nullptr;
};

}  // namespace

TEST_F(WindowSide, TheDialogsHooksSeeMessagesBeforeTheControls) {
    auto* c = Make(10, CRect(10, 10, 100, 100));
    H::MouseMove(hwnd, 20, 20);
    H::MouseDown(hwnd, 20, 20);
    Pump();
    ASSERT_GE(IndexOf(log, L"10:down 20,20"), 0);
    EXPECT_LT(IndexOf(log, L"dlg:down 20,20"), IndexOf(log, L"10:down 20,20"));

    ASSERT_TRUE(c->SetTimer(3, 10));
    H::AdvanceClock(10);
    EXPECT_EQ(dlg.timerIds.size(), 1u);  // control timers are native timers of the window too
    EXPECT_EQ(c->ticks, 1);
}

TEST_F(WindowSide, ControlsSeeRawMessagesFirstAndTheFirstClaimEndsTheToolkitsPart) {
    auto* first = Make(10, CRect(0, 0, 100, 100));
    auto* second = Make(11, CRect(100, 0, 200, 100));
    first->claim = second->claim = WM_KEYDOWN;
    second->takeKeys = true;
    H::MouseMove(hwnd, 150, 20);
    Pump();
    log.clear();
    H::KeyPress(hwnd, 'A');
    Pump();
    EXPECT_EQ(log, Log({L"10:raw"}));

    first->claim = WM_LBUTTONDOWN;
    log.clear();
    H::MouseDown(hwnd, 150, 20);
    Pump();
    EXPECT_EQ(log, Log({L"dlg:down 150,20", L"10:raw"}));
    EXPECT_EQ(dlg.GetPaintManager().GetFocusControl(), nullptr);
}

TEST_F(WindowSide, APressMovesTheFocusAndCapturesTheMouseUntilRelease) {
    auto* a = Make(10, CRect(10, 10, 100, 100));
    auto* b = Make(11, CRect(150, 10, 250, 100));
    PaintManager& pm = dlg.GetPaintManager();
    H::MouseMove(hwnd, 20, 20);
    H::MouseDown(hwnd, 20, 20);
    Pump();
    EXPECT_EQ(Platform::GetCapture(), hwnd);
    EXPECT_EQ(pm.GetFocusControl(), a);
    H::MouseMove(hwnd, 300, 250);  // dragged off while held: still a's
    Pump();
    EXPECT_EQ(pm.GetHoverControl(), a);
    EXPECT_EQ(log.back(), L"10:move 300,250");
    H::MouseUp(hwnd, 300, 250);
    Pump();
    EXPECT_EQ(Platform::GetCapture(), nullptr);
    EXPECT_TRUE(Has(log, L"10:up 300,250"));
    EXPECT_EQ(log.back(), L"10:move -1,-1");   // then it hears that the pointer is elsewhere
    EXPECT_EQ(pm.GetHoverControl(), nullptr);  // released outside it

    log.clear();
    H::MouseMove(hwnd, 160, 20);
    H::Click(hwnd, 160, 20);
    Pump();
    EXPECT_EQ(pm.GetFocusControl(), b);
    EXPECT_LT(IndexOf(log, L"10:blur"), IndexOf(log, L"11:focus"));

    dlg.EnableWndDrag(FALSE);
    H::MouseMove(hwnd, 350, 250);
    H::MouseDown(hwnd, 350, 250);  // empty background
    Pump();
    EXPECT_EQ(pm.GetFocusControl(), nullptr);
    EXPECT_EQ(Platform::GetCapture(), nullptr);
    EXPECT_TRUE(Has(log, L"11:blur"));
}

TEST_F(WindowSide, CaptionDragNeedsWindowDragOnAndAPressInsideTheCaptionRect) {
    Make(10, CRect(10, 10, 100, 100));
    const CRect start = dlg.GetWindowRect();
    dlg.EnableWndDrag(FALSE);
    Drag(300, 250);
    EXPECT_EQ(dlg.GetWindowRect(), start);

    dlg.EnableWndDrag(TRUE);
    dlg.SetCaptionRect(CRect(0, 0, 400, 30));
    Drag(300, 250);
    EXPECT_EQ(dlg.GetWindowRect(), start);
    Drag(20, 15);  // over the control, though inside the caption
    EXPECT_EQ(dlg.GetWindowRect(), start);
    Drag(300, 15);
    EXPECT_EQ(dlg.GetWindowRect().TopLeft(), start.TopLeft() + CPoint(10, 10));
}

TEST_F(WindowSide, ResizingLaysOutAgainAndMakesAllOfTheBackgroundACaption) {
    dlg.SetCaptionRect(CRect(0, 0, 10, 10));
    dlg.SetWindowAlpha(200);
    dlg.sizes.clear();
    Platform::BeginPaint(hwnd);
    dlg.MoveWindow(CRect(100, 100, 600, 500));
    ASSERT_EQ(dlg.sizes.size(), 1u);
    EXPECT_EQ(dlg.sizes[0], CRect(0, 0, 500, 400));
    EXPECT_EQ(dlg.GetPaintManager().GetCaptionRect(), CRect(0, 0, 500, 400));
    EXPECT_EQ(Platform::GetUpdateRect(hwnd), CRect(0, 0, 500, 400));
    EXPECT_TRUE(Platform::IsLayered(hwnd));  // translucency is applied again

    dlg.ShowWindow(SW_MINIMIZE);
    EXPECT_EQ(dlg.sizes.size(), 1u);
    dlg.ShowWindow(SW_RESTORE);
    EXPECT_EQ(dlg.sizes.size(), 2u);
    dlg.MoveWindow(CRect(100, 100, 101, 101));  // too small to lay out
    EXPECT_EQ(dlg.sizes.size(), 2u);
}

TEST_F(WindowSide, UserResizeKeepsWithinTheSizeLimitsAndMaximiseTakesTheWorkArea) {
    H::SetWorkArea(CRect(0, 0, 1920, 1040));
    PaintManager& pm = dlg.GetPaintManager();
    pm.SetWindowMixSize(200, 150);
    pm.SetWindowMaxSize(600, 0);
    H::Resize(hwnd, 100, 100);
    EXPECT_EQ(dlg.GetWindowRect().Size(), CSize(200, 150));
    H::Resize(hwnd, 900, 900);
    EXPECT_EQ(dlg.GetWindowRect().Size(), CSize(600, 900));
    dlg.MoveWindow(CRect(0, 0, 700, 100));  // the program itself is not limited
    EXPECT_EQ(dlg.GetWindowRect().Size(), CSize(700, 100));

    dlg.OnMaximize();
    EXPECT_TRUE(dlg.IsZoomed());
    EXPECT_EQ(dlg.GetWindowRect(), CRect(0, 0, 600, 1040));  // the work area, within the largest size
    pm.SetWindowMaxSize(0, 0);
    dlg.OnMaximize();
    dlg.OnMaximize();
    EXPECT_EQ(dlg.GetWindowRect(), CRect(0, 0, 1920, 1040));
    dlg.OnMaximize();
    EXPECT_EQ(dlg.GetWindowRect(), CRect(0, 0, 700, 100));

    // A window without the toolkit's limits covers the whole display.
    PlainWindow plain;
    WindowParams params;
    params.rect = CRect(10, 10, 50, 50);
    HWND w = Platform::CreateWindow(&plain, params);
    Platform::ShowWindow(w, SW_SHOWMAXIMIZED);
    EXPECT_EQ(Platform::GetWindowRect(w), CRect(0, 0, 1920, 1080));
    Platform::DestroyWindow(w);
}

TEST_F(WindowSide, ControlTimerIdsStayClearOfEachOtherAndOfTheBuiltInOnes) {
    auto* c = Make(10, CRect(0, 0, 10, 10));
    for (UINT key = 0; key < 236; ++key) ASSERT_TRUE(c->SetTimer(key, 5)) << key;
    EXPECT_FALSE(c->SetTimer(236, 5));  // every id below 240 is taken
    H::AdvanceClock(5);
    const std::set<UINT> ids(dlg.timerIds.begin(), dlg.timerIds.end());
    EXPECT_EQ(dlg.timerIds.size(), 236u);
    EXPECT_EQ(ids.size(), 236u);
    EXPECT_EQ(dlg.timerIds.front(), 17u);  // the counter starts at 4096: (4096 + 1) mod 240
    for (UINT builtIn : {0u, 66u, 88u, 99u}) EXPECT_EQ(ids.count(builtIn), 0u) << builtIn;
    EXPECT_LT(*ids.rbegin(), 240u);
    EXPECT_EQ(c->ticks, 236);

    // A killed record keeps its id and restarts with it; removing the
    // control's timers frees them all.
    EXPECT_TRUE(c->KillTimer(0));
    EXPECT_FALSE(c->SetTimer(500, 5));
    EXPECT_TRUE(c->SetTimer(0, 5));
    dlg.GetPaintManager().KillTimer(c);
    EXPECT_FALSE(c->KillTimer(0));
    EXPECT_TRUE(c->SetTimer(500, 5));
}

TEST_F(WindowSide, KillingAControlsTimersLeavesOtherControlsRunning) {
    auto* a = Make(10, CRect(0, 0, 10, 10));
    auto* b = Make(11, CRect(0, 0, 10, 10));
    a->SetTimer(1, 10);
    a->SetTimer(2, 10);
    b->SetTimer(1, 10);
    H::AdvanceClock(10);
    EXPECT_EQ(a->ticks, 2);
    EXPECT_EQ(b->ticks, 1);
    PaintManager& pm = dlg.GetPaintManager();
    EXPECT_FALSE(pm.KillTimer(a, 9));
    pm.KillTimer(a);
    H::AdvanceClock(30);
    EXPECT_EQ(a->ticks, 2);
    EXPECT_EQ(b->ticks, 4);
}

TEST_F(WindowSide, TheTickerSkipsStoppedControlsAndForgetsRemovedOnes) {
    auto* box = dlg.Add(new Box(&dlg, 30, CRect(0, 0, 100, 100)));
    auto* a = box->Add(new Tracer(box, 10, CRect(0, 0, 10, 10), &log));
    auto* b = Make(11, CRect(0, 0, 10, 10));
    a->AddMTimer();
    b->AddMTimer();
    a->SetRunTimer(TRUE);
    dlg.SetMTimer(10);
    H::AdvanceClock(30);
    EXPECT_EQ(a->ticks, 3);
    EXPECT_EQ(b->ticks, 0);  // run-timer off
    box->RemoveControl(a);
    b->SetRunTimer(TRUE);
    H::AdvanceClock(20);
    EXPECT_EQ(b->ticks, 2);
    dlg.DestroyWindow();  // its controls go; the ticker must not reach them
    H::AdvanceClock(30);
}

class ModalLoop : public HeadlessTest {
  protected:
    Log log;
};

TEST_F(ModalLoop, DoCloseAnswersCancelAndTheOwnerIsBackBeforeTheCloseIsHandled) {
    TestDialog owner;
    HWND ownerWnd = owner.Open();
    HookDialog dlg(&log);
    dlg.owner = ownerWnd;
    dlg.Create(ownerWnd, L"child", WS_POPUP, 0, CRect(0, 0, 100, 80));
    Platform::PostTask([&] {
        EXPECT_FALSE(Platform::IsWindowEnabled(ownerWnd));
        dlg.DoClose();
    });
    EXPECT_EQ(dlg.ShowModal(), 2u);
    EXPECT_TRUE(dlg.ownerEnabledAtClose);
    EXPECT_EQ(Platform::GetActiveWindow(), ownerWnd);
}

TEST_F(ModalLoop, TheProcessLoopSwallowsEverythingWhileAltAndF4AreHeld) {
    TestDialog dlg;
    HWND hwnd = dlg.Open();
    auto* c = dlg.Add(new Tracer(&dlg, 1, CRect(0, 0, 400, 300), &log));
    c->takeKeys = true;
    H::MouseMove(hwnd, 5, 5);
    H::KeyDown(hwnd, VK_MENU);
    H::KeyDown(hwnd, VK_F4);
    H::CloseRequest(hwnd);
    H::KeyUp(hwnd, VK_F4);
    H::KeyUp(hwnd, VK_MENU);
    Platform::PostQuitMessage(5);
    EXPECT_EQ(Manager::MessageLoop(), 5);
    EXPECT_TRUE(Platform::IsWindow(hwnd));  // the close came while both were held
    EXPECT_TRUE(Has(log, L"1:key 18/18"));  // Alt alone still reaches the controls
    for (const auto& e : log) EXPECT_EQ(e.find(L"key 115"), std::wstring::npos);
}

TEST_F(ModalLoop, CentringFallsBackToTheWorkAreaAndKeepsTheNearEdgesInside) {
    H::SetWorkArea(CRect(100, 50, 1100, 850));
    TestDialog lone;
    lone.Create(nullptr, L"lone", WS_POPUP, 0, CRect(0, 0, 300, 200));
    lone.CenterWindow();
    EXPECT_EQ(lone.GetWindowRect(), CRect(450, 350, 750, 550));

    TestDialog hidden, minimised;
    hidden.Create(nullptr, L"hidden", WS_POPUP, 0, CRect(0, 0, 50, 50));
    minimised.Open(CRect(0, 0, 50, 50));
    minimised.ShowWindow(SW_MINIMIZE);
    for (TestDialog* owner : {&hidden, &minimised}) {
        TestDialog child;
        child.Create(owner->GetSafeHwnd(), L"child", WS_POPUP, 0, CRect(0, 0, 300, 200));
        child.CenterWindow();
        EXPECT_EQ(child.GetWindowRect(), CRect(450, 350, 750, 550));
    }

    TestDialog big;
    big.Create(nullptr, L"big", WS_POPUP, 0, CRect(0, 0, 1200, 900));
    big.CenterWindow();
    EXPECT_EQ(big.GetWindowRect(), CRect(100, 50, 1300, 950));
}

// An animated control whose ticks other threads may watch.
class Spinner : public Tracer {
  public:
    using Tracer::Tracer;
    BOOL OnControlTimer() override {
        ++spins;
        return TRUE;
    }
    std::atomic<int> spins{0};
};

// Worker threads hand their work to the UI thread while it runs a modal loop
// with a ticking animation; the last one closes the dialog once the animation
// has run.
TEST(ModalConcurrency, WorkersDriveAModalDialogThroughPostedWork) {
    ASSERT_TRUE(Platform::Init(BackendKind::Headless));
    H::SetAutoAdvance(true);
    {
        Log log;
        TestDialog dlg;
        dlg.Open(CRect(0, 0, 200, 100));
        auto* label = static_cast<MText*>(dlg.CreateControl(L"MText", 5, CRect(0, 0, 200, 30), L""));
        auto* spinner = dlg.Add(new Spinner(&dlg, 6, CRect(0, 40, 20, 60), &log));
        spinner->AddMTimer();
        spinner->SetRunTimer(TRUE);
        dlg.SetMTimer(1);
        const std::thread::id ui = std::this_thread::get_id();
        constexpr int kThreads = 3, kEach = 200;
        std::atomic<int> finished{0};
        int done = 0, offThread = 0;
        std::vector<std::thread> workers;
        for (int t = 0; t < kThreads; ++t) {
            workers.emplace_back([&, t] {
                for (int i = 0; i < kEach; ++i) {
                    Platform::PostTask([&, t, i] {
                        offThread += std::this_thread::get_id() != ui;
                        label->SetTitle(std::to_wstring(t * 1000 + i));
                        ++done;
                    });
                }
                if (++finished < kThreads) return;
                while (spinner->spins < 3) std::this_thread::yield();
                dlg.DoOK();
            });
        }
        EXPECT_EQ(dlg.ShowModal(), 1u);
        for (auto& w : workers) w.join();
        EXPECT_EQ(done, kThreads * kEach);  // everything posted before the close ran first
        EXPECT_EQ(offThread, 0);
    }
    Platform::Shutdown();
}
