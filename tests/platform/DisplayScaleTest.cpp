#include <gtest/gtest.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "orvix/platform/Headless.h"
#include "orvix/platform/Platform.h"
#include "platform/DisplayScale.h"
#include "tests/platform/ScratchHome.h"

using namespace Orvix;

TEST(DisplayScale, TheMainWindowFitsTheWorkAreaOfTheUsualScreens) {
    // A 1366 x 768 laptop: 1280 x 800 is too tall; with a 24-pixel panel the
    // whole window still shows at 0.93.
    EXPECT_DOUBLE_EQ(FitScale(kMainDesign, CSize(1366, 768)), 0.96);
    EXPECT_DOUBLE_EQ(FitScale(kMainDesign, CSize(1366, 744)), 0.93);
    EXPECT_DOUBLE_EQ(FitScale(kMainDesign, CSize(1920, 1080)), 1.35);
    EXPECT_DOUBLE_EQ(FitScale(kMainDesign, CSize(3840, 2160)), 2.7);
    // Rounded down: 1280 x 0.93 = 1190.4 pixels, so 1190 wide needs 0.92.
    EXPECT_DOUBLE_EQ(FitScale(kMainDesign, CSize(1190, 2000)), 0.92);
    // A tiny work area never gives a factor the toolkit cannot draw at.
    EXPECT_DOUBLE_EQ(FitScale(kMainDesign, CSize(300, 200)), kMinScale);
}

TEST(DisplayScale, TheDesktopsFactorIsLoweredOnlyWhereTheWindowWouldNotFit) {
    const DesktopScale twice{2.0, "GDK_SCALE"}, once{1.0, "default"};
    ScaleDecision d = DecideScale(0, 0, twice, CSize(3840, 2160));
    EXPECT_DOUBLE_EQ(d.factor, 2.0);
    EXPECT_FALSE(d.lowered);
    EXPECT_EQ(d.source, "GDK_SCALE");
    d = DecideScale(0, 0, twice, CSize(1920, 1080));
    EXPECT_DOUBLE_EQ(d.factor, 1.35);
    EXPECT_DOUBLE_EQ(d.wanted, 2.0);
    EXPECT_TRUE(d.lowered);
    d = DecideScale(0, 0, once, CSize(1366, 744));
    EXPECT_DOUBLE_EQ(d.factor, 0.93);
    // The stored setting stands in for the desktop, and is fitted the same way.
    d = DecideScale(0, 150, once, CSize(1366, 768));
    EXPECT_EQ(d.source, "setting");
    EXPECT_DOUBLE_EQ(d.wanted, 1.5);
    EXPECT_DOUBLE_EQ(d.factor, 0.96);
    // The command line is taken as it is, fitting or not.
    d = DecideScale(2.0, 150, once, CSize(1366, 768));
    EXPECT_EQ(d.source, "--scale");
    EXPECT_DOUBLE_EQ(d.factor, 2.0);
    // No work area (offscreen pictures): nothing to fit.
    EXPECT_DOUBLE_EQ(DecideScale(0, 0, twice, CSize()).factor, 2.0);
}

class ProgramScale : public ScratchHome {
  protected:
    void TearDown() override {
        SetScaleOption(0);
        Platform::Shutdown();
        ScratchHome::TearDown();
    }
};

TEST_F(ProgramScale, TheSettingOverridesTheDesktopAndTheOptionOverridesBoth) {
    ASSERT_TRUE(Platform::Init(BackendKind::Headless));
    DesktopScaleSources desktop;
    desktop.gdkScale = "2";
    Headless::SetDesktopScaleSources(desktop);
    EXPECT_EQ(GetScaleSetting(), 0);
    EXPECT_DOUBLE_EQ(UpdateProgramScale().factor, 2.0);
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 2.0);
    SetScaleSetting(125);
    EXPECT_EQ(GetScaleSetting(), 125);
    EXPECT_DOUBLE_EQ(UpdateProgramScale().factor, 1.25);
    SetScaleOption(1.5);
    EXPECT_DOUBLE_EQ(UpdateProgramScale().factor, 1.5);
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 1.5);
}

// The sdl back end on a display of its own (the offscreen driver has one):
// the work area it reports lowers a factor that would not fit.
TEST_F(ProgramScale, OnARealDisplayTheWorkAreaLowersTheFactor) {
#if defined(__SANITIZE_ADDRESS__)
    // SDL unloads the helper libraries it opened at quit, so their one-time
    // allocations can no longer be told apart by library name.
    __lsan::ScopedDisabler sdlAllocations;
#endif
    SetEnv("SDL_VIDEODRIVER", "offscreen");
    SetEnv("GDK_SCALE", "4");
    ASSERT_TRUE(Platform::Init(BackendKind::Sdl));
    const CRect work = Platform::GetWorkArea(POINT{1, 1});
    ASSERT_FALSE(work.IsRectEmpty());
    const ScaleDecision d = UpdateProgramScale();
    EXPECT_DOUBLE_EQ(d.wanted, 4.0);
    EXPECT_DOUBLE_EQ(d.factor, std::min(4.0, FitScale(kMainDesign, work.Size())));
    EXPECT_DOUBLE_EQ(Platform::GetScale(), d.factor);
}
