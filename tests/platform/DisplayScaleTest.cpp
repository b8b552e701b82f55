#include <gtest/gtest.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "orvix/platform/Platform.h"
#include "platform/DisplayScale.h"

TEST(DisplayScale, DensitiesOfTheUsualScaleSettings) {
    EXPECT_EQ(ScalePercentFromDpi(0), 100);  // the display reports none
    EXPECT_EQ(ScalePercentFromDpi(96), 100);
    EXPECT_EQ(ScalePercentFromDpi(120), 125);
    EXPECT_EQ(ScalePercentFromDpi(144), 150);
    EXPECT_EQ(ScalePercentFromDpi(192), 200);
    // Densities between the steps (a physical measurement) are not a scale setting.
    EXPECT_EQ(ScalePercentFromDpi(110), 100);
    EXPECT_EQ(ScalePercentFromDpi(150), 100);
}

TEST(DisplayScale, SmallScreensAndScaledFullHdAreScaleAware) {
    EXPECT_TRUE(IsScaleAwareScreen(1920, 1080, 150));
    EXPECT_TRUE(IsScaleAwareScreen(1920, 1080, 200));
    EXPECT_FALSE(IsScaleAwareScreen(1920, 1080, 125));
    EXPECT_FALSE(IsScaleAwareScreen(1920, 1080, 100));
    EXPECT_TRUE(IsScaleAwareScreen(1366, 768, 100));
    EXPECT_TRUE(IsScaleAwareScreen(1399, 1050, 100));
    EXPECT_TRUE(IsScaleAwareScreen(1600, 787, 100));
    EXPECT_FALSE(IsScaleAwareScreen(1400, 788, 100));
    // Only full HD takes the scale into account.
    EXPECT_FALSE(IsScaleAwareScreen(2560, 1440, 150));
    EXPECT_FALSE(IsScaleAwareScreen(1920, 1200, 150));
}

// The display as the sdl back end reads it (the offscreen driver has one).
TEST(DisplayScale, DecisionReadsThePrimaryDisplayOfTheWindowingLayer) {
#if defined(__SANITIZE_ADDRESS__)
    // SDL unloads the helper libraries it opened at quit, so their one-time
    // allocations can no longer be told apart by library name.
    __lsan::ScopedDisabler sdlAllocations;
#endif
    using namespace Orvix;
    EXPECT_FALSE(DecideScaleAwareness());  // no windowing layer, no display
    ASSERT_TRUE(Platform::Init(BackendKind::Sdl));
    DisplayInfo info;
    ASSERT_TRUE(Platform::GetDisplayInfo(POINT{1, 1}, info));
    EXPECT_GT(info.bounds.Width(), 0);
    EXPECT_GT(info.bounds.Height(), 0);
    DisplayInfo far;
    ASSERT_TRUE(Platform::GetDisplayInfo(POINT{-50000, 50000}, far));  // the nearest display
    EXPECT_EQ(far.bounds, info.bounds);
    EXPECT_EQ(DecideScaleAwareness(),
              IsScaleAwareScreen(info.bounds.Width(), info.bounds.Height(), ScalePercentFromDpi(info.dpi)));
    Platform::Shutdown();
}
