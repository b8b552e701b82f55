#include <gtest/gtest.h>

#include "app/DeviceMainDlg.h"
#include "orvix/core/MControlFont.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Headless.h"

using namespace Orvix;

class DeviceMainDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Platform::Init(BackendKind::Headless) && Manager::InitGdiplus()); }
    void TearDown() override { Manager::UnInitGdiplus(); }
};

TEST_F(DeviceMainDlgTest, CreatedHiddenAndCentredOnTheWorkArea) {
    Headless::SetWorkArea(CRect(0, 30, 1920, 1080));
    DeviceMainDlg dlg;
    ASSERT_TRUE(dlg.CreateMainWindow());
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.GetWindowRect(), CRect(320, 155, 1600, 955));
    EXPECT_EQ(dlg.GetWindowTextW(), L"Vantorel Mouse");
    auto* caption = dynamic_cast<MControlFont*>(dlg.GetControl(IDC_CAPTION_TEXT));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->GetTitle(), L"Vantorel Mouse");
    EXPECT_EQ(dlg.GetControl(IDC_FOOTER_BAR)->GetRect(), CRect(1, 750, 1279, 799));
}

TEST_F(DeviceMainDlgTest, ShowMainWindowBringsAHiddenOrMinimisedWindowBack) {
    DeviceMainDlg dlg;
    ASSERT_TRUE(dlg.CreateMainWindow());
    dlg.ShowMainWindow();
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(Platform::GetActiveWindow(), dlg.GetSafeHwnd());
    // What a second start finds after the window was hidden or minimised.
    dlg.ShowWindow(SW_HIDE);
    dlg.ShowMainWindow();
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.OnMinimize();
    ASSERT_TRUE(dlg.IsIconic());
    dlg.ShowMainWindow();
    EXPECT_FALSE(dlg.IsIconic());
    EXPECT_TRUE(dlg.IsWindowVisible());
    // The painted frame is there at once.
    ASSERT_NE(Platform::GetPresentedImage(dlg.GetSafeHwnd()), nullptr);
    EXPECT_EQ(Platform::GetPresentedImage(dlg.GetSafeHwnd())->GetWidth(), DeviceMainDlg::kWidth);
}

TEST_F(DeviceMainDlgTest, ClosingEndsTheModalLoopWithoutAnExitRequest) {
    DeviceMainDlg dlg;
    ASSERT_TRUE(dlg.CreateMainWindow());
    Platform::PostTask([&dlg] { dlg.CloseMainWindow(); });
    dlg.ShowModal(SW_HIDE);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(dlg.IsExitRequested());
}
