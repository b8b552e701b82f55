// The thread rule: controls are touched on the UI thread only. With the check
// on (debug and sanitizer builds), a touch from another thread aborts with a
// message; work posted to the UI thread passes.
#include <thread>

#include "tests/orvix/core/ToolkitFixture.h"

namespace ToolkitTest {
namespace {

TEST(ControlThreadDeathTest, AControlTouchedFromAnotherThreadAbortsLoudly) {
    if (!MControl::ThreadCheckEnabled()) GTEST_SKIP() << "the check is off in this build";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Probe probe(nullptr, 3, CRect(0, 0, 10, 10));
    EXPECT_DEATH(std::thread([&] { probe.SetVisible(FALSE); }).join(),
                 "SetVisible of control 3 .* thread other than its UI thread");
    EXPECT_DEATH(std::thread([&] { probe.SetTitle(L"from the worker"); }).join(), "SetTitle of control 3");
    EXPECT_DEATH(std::thread([&] { probe.SetRect(CRect(1, 1, 5, 5)); }).join(), "SetRect");
    EXPECT_DEATH(std::thread([&] { probe.UpdateControl(TRUE); }).join(), "repaint request");
    // The UI thread itself is never stopped.
    probe.SetVisible(FALSE);
    probe.SetTitle(L"here");
    EXPECT_EQ(probe.GetTitle(), L"here");
}

class ControlThreadConcurrency : public HeadlessTest {};

TEST_F(ControlThreadConcurrency, WorkPostedToTheUiThreadTouchesControlsThere) {
    TestDialog dlg;
    dlg.Open(CRect(0, 0, 200, 100));
    auto* probe = dlg.Add(new Probe(&dlg, 4, CRect(0, 0, 50, 20)));
    std::thread worker([probe] {
        for (int i = 0; i < 50; ++i)
            Platform::PostTask([probe, i] { probe->SetTitle(std::to_wstring(i).c_str()); });
        Platform::PostTask([probe] { probe->SetVisible(FALSE); });
    });
    worker.join();
    Pump();
    EXPECT_EQ(probe->GetTitle(), L"49");
    EXPECT_FALSE(probe->IsVisible());
}

}  // namespace
}  // namespace ToolkitTest
