// The windowing layer on its own: the loop, posting from other threads,
// timers, capture, leave tracking, screenshots, and the sdl back end offscreen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "SdlOffscreen.h"
#include "base/TextConv.h"
#include "orvix/platform/Backend.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Headless.h"
#include "orvix/platform/Image.h"
#include "orvix/platform/Platform.h"

using namespace Orvix;
namespace H = Orvix::Headless;

namespace {

MSG Msg(UINT msg, WPARAM w, LPARAM l) {
    MSG m;
    m.message = msg, m.wParam = w, m.lParam = l;
    return m;
}

// Records the messages its window receives.
class Recorder : public WindowProcedure {
public:
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        log.push_back(Msg(msg, wParam, lParam));
        return Platform::DefWindowProc(hwnd, msg, wParam, lParam);
    }
    int Count(UINT msg) const {
        int n = 0;
        for (const MSG& m : log) n += m.message == msg;
        return n;
    }
    const MSG* Last(UINT msg) const {
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if (it->message == msg) return &*it;
        return nullptr;
    }
    std::vector<MSG> log;
};

class Layer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Platform::Init(BackendKind::Headless)); }
    void TearDown() override { Platform::Shutdown(); }
    // Recorders outlive the windows, which Shutdown destroys.
    Recorder a, b;
    HWND Open(Recorder& r, CRect rect, HWND owner = nullptr) {
        WindowParams p;
        p.owner = owner;
        p.rect = rect;
        p.style = WS_POPUP | WS_VISIBLE;
        return Platform::CreateWindow(&r, p);
    }
};

}  // namespace

TEST_F(Layer, TimersFireAtTheirTimesAndStopWhenKilled) {
    Recorder& r = a;
    HWND w = Open(r, CRect(0, 0, 50, 50));
    Platform::SetTimer(w, 5, 30);
    H::AdvanceClock(29);
    EXPECT_EQ(r.Count(WM_TIMER), 0);
    H::AdvanceClock(61);
    EXPECT_EQ(r.Count(WM_TIMER), 3);
    EXPECT_EQ(r.Last(WM_TIMER)->wParam, 5u);
    Platform::KillTimer(w, 5);
    H::AdvanceClock(100);
    EXPECT_EQ(r.Count(WM_TIMER), 3);

    int ticks = 0;
    UINT ticker = Platform::StartTicker(10, [&] { ++ticks; });
    H::AdvanceClock(55);
    EXPECT_EQ(ticks, 5);
    Platform::StopTicker(ticker);
    H::AdvanceClock(50);
    EXPECT_EQ(ticks, 5);
}

TEST_F(Layer, CaptureRedirectsMouseInputAndLeaveIsPostedOncePerRequest) {
    HWND wa = Open(a, CRect(0, 0, 100, 100));
    HWND wb = Open(b, CRect(200, 0, 300, 100));
    Platform::SetCapture(wa);
    H::MouseMove(wb, 10, 10);
    Platform::RunPending();
    ASSERT_NE(a.Last(WM_MOUSEMOVE), nullptr);
    EXPECT_EQ(GET_X_LPARAM(a.Last(WM_MOUSEMOVE)->lParam), 210);  // in wa's client coordinates
    EXPECT_EQ(b.Count(WM_MOUSEMOVE), 0);
    Platform::ReleaseCapture();

    H::MouseMove(wa, 5, 5);
    Platform::TrackMouseLeave(wa);
    H::MouseMove(wb, 5, 5);  // entering another window leaves the first
    H::MouseLeave(wa);
    Platform::RunPending();
    EXPECT_EQ(a.Count(WM_MOUSELEAVE), 1);
}

TEST_F(Layer, PressActivatesAndDeactivatesWithNcActivate) {
    HWND wa = Open(a, CRect(0, 0, 100, 100));
    HWND wb = Open(b, CRect(200, 0, 300, 100));
    EXPECT_EQ(Platform::GetActiveWindow(), wb);
    H::Click(wa, 5, 5);
    EXPECT_EQ(Platform::GetActiveWindow(), wa);
    ASSERT_NE(b.Last(WM_NCACTIVATE), nullptr);
    EXPECT_EQ(b.Last(WM_NCACTIVATE)->wParam, WPARAM(FALSE));
    // A disabled window gets no input.
    Platform::EnableWindow(wb, FALSE);
    H::Click(wb, 5, 5);
    Platform::RunPending();
    EXPECT_EQ(b.Count(WM_LBUTTONDOWN), 0);
}

TEST_F(Layer, DestroyedWindowsDropTheirMessagesAndOwnedWindowsGoFirst) {
    Recorder& owner = a;
    Recorder& owned = b;
    HWND wo = Open(owner, CRect(0, 0, 100, 100));
    HWND wd = Open(owned, CRect(0, 0, 10, 10), wo);
    EXPECT_TRUE(Platform::PostMessage(wd, WM_USER + 1));
    Platform::DestroyWindow(wo);
    EXPECT_FALSE(Platform::IsWindow(wd));
    EXPECT_EQ(owned.Count(WM_NCDESTROY), 1);
    EXPECT_FALSE(Platform::PostMessage(wd, WM_USER + 2));
    EXPECT_EQ(Platform::RunPending(), 0);
    EXPECT_EQ(owned.Count(WM_USER + 1), 0);
}

TEST_F(Layer, PresentedImageIsKeptAndSavedAsPng) {
    Recorder& r = a;
    HWND w = Open(r, CRect(0, 0, 40, 20));
    Canvas back(40, 20);
    back.FillRect(CRect(0, 0, 40, 20), Color(0xFF102030));
    Platform::Present(w, back, CRect(0, 0, 20, 20));  // only the rect reaches the window
    const Canvas* shown = Platform::GetPresentedImage(w);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetPixel(5, 5), Color(0xFF102030));
    EXPECT_EQ(shown->GetPixel(30, 5).GetA(), 0);
    std::wstring path = L"/tmp/orvix_shot_" + std::to_wstring(getpid()) + L".png";
    ASSERT_TRUE(Platform::SaveScreenshot(w, path));
    auto loaded = Image::Load(path);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetWidth(), 40);
    EXPECT_EQ(loaded->GetPixel(5, 5), Color(0xFF102030));
    std::remove(WideToUtf8(path).c_str());
}

TEST_F(Layer, TextInputDropsAndClipboard) {
    Recorder& r = a;
    HWND w = Open(r, CRect(100, 50, 200, 150));
    Platform::StartTextInput(w, CRect(10, 10, 12, 30));
    EXPECT_EQ(H::GetTextInputRect(), CRect(110, 60, 112, 80));
    H::TypeText(w, L"\u00e9t\u00e9");
    H::DropFiles(w, 3, 4, {L"/tmp/a.xml"});
    Platform::RunPending();
    EXPECT_EQ(r.Count(WM_CHAR), 3);
    EXPECT_EQ(r.Last(WM_CHAR)->wParam, WPARAM(L'\u00e9'));
    Platform::StopTextInput();
    EXPECT_FALSE(Platform::IsTextInputActive());
    Platform::SetClipboardText(L"copied");
    EXPECT_EQ(Platform::GetClipboardText(), L"copied");
}

TEST_F(Layer, UndecodableImagesAreRefused) {
    EXPECT_EQ(Image::Load(L"/nonexistent/file.png"), nullptr);
    const char junk[] = "GIF89a-not-really";
    EXPECT_EQ(Image::LoadFromMemory(junk, sizeof junk), nullptr);
    const char png[] = "\x89PNG\r\n\x1a\n broken";
    EXPECT_EQ(Image::LoadFromMemory(png, sizeof png), nullptr);
}

// Posts from worker threads wake the UI thread's GetMessage; closures run on
// the UI thread in posting order per thread.
TEST(PlatformConcurrency, PostsFromOtherThreadsWakeTheLoop) {
    ASSERT_TRUE(Platform::Init(BackendKind::Headless));
    Recorder r;
    WindowParams p;
    p.rect = CRect(0, 0, 10, 10);
    HWND w = Platform::CreateWindow(&r, p);
    const std::thread::id ui = std::this_thread::get_id();
    constexpr int kThreads = 4, kEach = 200;
    std::vector<int> lastSeen(kThreads, -1);
    std::atomic<int> outOfOrder{0}, offThread{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                Platform::PostTask([&, t, i] {
                    if (std::this_thread::get_id() != ui) ++offThread;
                    if (i != lastSeen[t] + 1) ++outOfOrder;
                    lastSeen[t] = i;
                });
                Platform::PostMessage(w, WM_USER + 5, WPARAM(t), i);
            }
        });
    }
    int tasks = 0, messages = 0;
    MSG msg;
    while (tasks + messages < 2 * kThreads * kEach && Platform::GetMessage(msg)) {
        if (msg.message == WM_ORVIX_TASK) ++tasks;
        if (msg.message == WM_USER + 5) ++messages;
        Platform::DispatchMessage(msg);
    }
    for (auto& t : workers) t.join();
    EXPECT_EQ(tasks, kThreads * kEach);
    EXPECT_EQ(r.Count(WM_USER + 5), kThreads * kEach);
    EXPECT_EQ(outOfOrder.load(), 0);
    EXPECT_EQ(offThread.load(), 0);
    Platform::Shutdown();
}

// The sdl back end with the offscreen driver: a real window, its loop and a screenshot.
TEST(SdlBackend, OffscreenWindowPaintsAndRunsClosures) {
    SdlOffscreen offscreen;
    ASSERT_TRUE(Platform::Init(BackendKind::Sdl));
    EXPECT_EQ(Platform::GetPaintDelay(), 15);
    Recorder r;
    WindowParams p;
    p.rect = CRect(10, 10, 70, 50);
    p.style = WS_POPUP | WS_VISIBLE;
    HWND w = Platform::CreateWindow(&r, p);
    ASSERT_NE(w, nullptr);
    Canvas back(60, 40);
    back.FillRect(back.GetRect(), Color(0xFF00FF00));
    Platform::Present(w, back, back.GetRect());
    std::thread poster([] { Platform::PostTask([] { Platform::PostQuitMessage(7); }); });
    MSG msg;
    while (Platform::GetMessage(msg)) Platform::DispatchMessage(msg);
    poster.join();
    EXPECT_EQ(msg.wParam, 7u);
    UINT_PTR timer = Platform::SetTimer(w, 1, 5);
    EXPECT_EQ(timer, 1u);
    while (r.Count(WM_TIMER) == 0 && Platform::GetMessage(msg)) Platform::DispatchMessage(msg);
    EXPECT_EQ(Platform::GetPresentedImage(w)->GetPixel(30, 20), Color(0xFF00FF00));

    // The window keeps its own pixels (no second copy): a later partial present
    // lands over the earlier whole one, and a copy once asked for stays current.
    Canvas red(60, 40);
    red.FillRect(red.GetRect(), Color(0xFFFF0000));
    Platform::Present(w, red, CRect(0, 0, 10, 10));
    const Canvas* shown = Platform::GetPresentedImage(w);
    EXPECT_EQ(shown->GetPixel(5, 5), Color(0xFFFF0000));
    EXPECT_EQ(shown->GetPixel(30, 20), Color(0xFF00FF00));
    Platform::Present(w, back, CRect(0, 0, 10, 10));
    EXPECT_EQ(shown->GetPixel(5, 5), Color(0xFF00FF00));
    Platform::Shutdown();
}

// ---------------------------------------------------------------- the desktop's pointer and keys

// The pointer reaches the window it is over: the one raised last among those
// there, the topmost ones above the rest, tips and bubbles never.
TEST_F(Layer, ThePointerReachesTheWindowOnTopUnderItAndLeavesTheOneItLeft) {
    HWND back = Open(a, CRect(0, 0, 400, 300));
    HWND front = Open(b, CRect(200, 100, 600, 400));
    Recorder tipRecorder;
    WindowParams tip;
    tip.rect = CRect(250, 150, 350, 200);
    tip.style = WS_POPUP | WS_VISIBLE;
    tip.exStyle = WS_EX_NOACTIVATE | WS_EX_TOPMOST;
    const HWND tipHwnd = Platform::CreateWindow(&tipRecorder, tip);
    ASSERT_NE(tipHwnd, nullptr);
    EXPECT_EQ(Platform::WindowFromPoint(POINT{300, 160}), front);  // under the tip
    EXPECT_EQ(Platform::WindowFromPoint(POINT{100, 50}), back);
    EXPECT_EQ(Platform::WindowFromPoint(POINT{900, 900}), nullptr);
    Platform::SetActiveWindow(back);  // raised
    EXPECT_EQ(Platform::WindowFromPoint(POINT{300, 160}), back);

    Platform::TrackMouseLeave(back);
    H::PointerTo(100, 50);
    H::PointerTo(500, 350);  // over the other one only
    Platform::RunPending();
    EXPECT_EQ(a.Count(WM_MOUSELEAVE), 1);
    ASSERT_NE(b.Last(WM_MOUSEMOVE), nullptr);
    EXPECT_EQ(b.Last(WM_MOUSEMOVE)->lParam, MAKELPARAM(300, 250));  // in its own client coordinates
    EXPECT_EQ(tipRecorder.Count(WM_MOUSEMOVE), 0);
    // A press over no window is the desktop's: the program's window is no longer active.
    H::PointerTo(900, 900);
    H::PointerButton(true);
    H::PointerButton(false);
    Platform::RunPending();
    EXPECT_EQ(Platform::GetActiveWindow(), nullptr);
    Platform::DestroyWindow(tipHwnd);  // before its recorder goes
}

// A pop-up that closes on a press outside it hears of every such press, the
// one on its disabled owner included, and none of its own or its own windows'.
TEST_F(Layer, APressOutsideAPopupThatClosesOnOutsidePressesTellsItEvenOnItsDisabledOwner) {
    HWND owner = Open(a, CRect(0, 0, 800, 600));
    HWND popup = Open(b, CRect(100, 100, 300, 300), owner);
    Platform::SetDismissOnOutsidePress(popup, TRUE);
    Platform::EnableWindow(owner, FALSE);  // the pop-up runs modally
    H::PointerTo(150, 150);
    H::PointerButton(true);
    H::PointerButton(false);
    Platform::RunPending();
    EXPECT_EQ(b.Count(WM_CANCELMODE), 0);
    H::PointerTo(600, 500);
    H::PointerButton(true);
    H::PointerButton(false);
    Platform::RunPending();
    EXPECT_EQ(b.Count(WM_CANCELMODE), 1);
    EXPECT_EQ(a.Count(WM_LBUTTONDOWN), 0);  // the disabled owner itself takes nothing
}

// A close meant for a running modal loop is left for that loop: a handler
// that runs the queue on its own does not take the loop's result from it.
TEST_F(Layer, RunPendingLeavesAModalLoopsCloseForTheLoop) {
    HWND w = Open(a, CRect(0, 0, 100, 100));
    Platform::SetInModalLoop(w, TRUE);
    Platform::PostMessage(w, WM_CLOSE, 2, 0);
    Platform::PostMessage(w, WM_USER + 5, 0, 0);
    Platform::RunPending();
    EXPECT_EQ(a.Count(WM_CLOSE), 0);
    EXPECT_TRUE(Platform::IsWindow(w));
    MSG msg;
    ASSERT_TRUE(Platform::PeekMessage(msg));
    EXPECT_EQ(msg.message, WM_CLOSE);  // still the next one
    Platform::SetInModalLoop(w, FALSE);
}

// While a window holds the capture, the pointer's position is the one its
// events carry (the desktop's own can lag behind during a grab).
TEST_F(Layer, ThePointerPositionDuringACaptureIsTheOneItsEventsCarry) {
    HWND w = Open(a, CRect(100, 100, 500, 400));
    Platform::SetCapture(w);
    Input::MouseMove(w, CPoint(700, 20));
    EXPECT_EQ(Platform::GetCursorPos(), CPoint(800, 120));
    Platform::ReleaseCapture();
    EXPECT_EQ(a.Count(WM_CAPTURECHANGED), 1);
}
