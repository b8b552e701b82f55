// The frame of the offscreen renderings: the exit code follows whether the picture
// was written, and the toolkit's font is what it was before.
#include <gtest/gtest.h>

#include <string>

#include "orvix/demo/OffscreenRender.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"

using namespace Orvix;

TEST(OffscreenRender, ExitCodeFollowsThePictureAndTheFontIsPutBack) {
    const std::wstring font = Manager::GetFontName();
    const int size = Manager::GetFontWidth();
    bool ranHeadless = false;
    EXPECT_EQ(RenderOffscreen("test", "out.png",
                              [&] {
                                  ranHeadless = Platform::IsInitialized();
                                  Manager::SetFont(kEmbeddedFontFamily, size + 7);
                                  return true;
                              }),
              0);
    EXPECT_TRUE(ranHeadless);
    EXPECT_EQ(Manager::GetFontName(), font);
    EXPECT_EQ(Manager::GetFontWidth(), size);

    testing::internal::CaptureStderr();
    EXPECT_EQ(RenderOffscreen("test", "out.png", [] { return false; }), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "test: cannot write out.png\n");
}
