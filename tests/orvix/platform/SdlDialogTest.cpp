// A toolkit dialog on the sdl back end under SDL_VIDEODRIVER=offscreen: it is
// created and shown, paints through its own modal loop, runs a control timer
// and the animation ticker, takes work posted from another thread, and its
// screenshot holds what it painted.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "SdlOffscreen.h"
#include "orvix/platform/Image.h"
#include "tests/orvix/core/ToolkitFixture.h"

using namespace ToolkitTest;

namespace {

// A red square that counts its ticks where another thread can watch them.
class Swatch : public MControl {
  public:
    using MControl::MControl;
    void DrawControl(Canvas& canvas, CRect) override { canvas.FillRect(m_rect, Color(0xFFFF0000)); }
    BOOL OnControlTimer() override {
        ++ticks;
        return TRUE;
    }
    std::atomic<int> ticks{0};
};

}  // namespace

TEST(SdlDialog, AModalDialogPaintsTicksAndClosesWithWorkPostedFromAnotherThread) {
    SdlOffscreen offscreen;
    ASSERT_TRUE(Platform::Init(BackendKind::Sdl));
    const std::wstring shot = L"/tmp/orvix_sdl_dialog_" + std::to_wstring(getpid()) + L".png";
    {
        TestDialog dlg;
        HWND hwnd = dlg.Open(CRect(40, 40, 240, 160));
        ASSERT_NE(hwnd, nullptr);
        EXPECT_TRUE(dlg.IsWindowVisible());
        dlg.GetPaintManager().SetBackColor(0xFF0000, 0x00FF00);  // blue inside a green frame
        auto* timed = dlg.Add(new Swatch(&dlg, 5, CRect(20, 20, 60, 60)));
        auto* animated = dlg.Add(new Swatch(&dlg, 6, CRect(100, 20, 140, 60)));
        ASSERT_TRUE(timed->SetTimer(1, 20));
        animated->AddMTimer();
        animated->SetRunTimer(TRUE);
        ASSERT_NE(dlg.SetMTimer(10), 0u);

        const std::thread::id ui = std::this_thread::get_id();
        bool ranOnUi = false, saved = false;
        int timedTicks = 0, animatedTicks = 0;  // read before the dialog and its controls go
        std::thread worker([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while ((timed->ticks < 2 || animated->ticks < 3) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            Platform::PostTask([&] {
                ranOnUi = std::this_thread::get_id() == ui;
                timedTicks = timed->ticks;
                animatedTicks = animated->ticks;
                saved = Platform::SaveScreenshot(hwnd, shot);
                dlg.DoOK();
            });
        });
        EXPECT_EQ(dlg.ShowModal(), 1u);
        worker.join();
        EXPECT_GE(timedTicks, 2);
        EXPECT_GE(animatedTicks, 3);
        EXPECT_TRUE(ranOnUi);
        EXPECT_TRUE(saved);
        EXPECT_FALSE(Platform::IsWindow(hwnd));
    }
    Platform::Shutdown();

    auto image = Image::Load(shot);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 200);
    EXPECT_EQ(image->GetHeight(), 120);
    EXPECT_EQ(image->GetPixel(30, 30), Color(0xFFFF0000));
    EXPECT_EQ(image->GetPixel(120, 40), Color(0xFFFF0000));
    EXPECT_TRUE(Near(image->GetPixel(100, 100), Color::FromCOLORREF(0xFF0000, 254)));
    EXPECT_TRUE(Near(image->GetPixel(0, 0), Color::FromCOLORREF(0x00FF00, 254)));
    std::remove(WideToUtf8(shot).c_str());
}
