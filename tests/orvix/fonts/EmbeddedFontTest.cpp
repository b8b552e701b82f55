// The embedded font on a machine without the font package: fontconfig is
// pointed at an empty configuration before anything starts it, so only the
// copy in the program folder can give text.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/TextConv.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/ProgramFolder.h"

namespace {

using namespace Orvix;

// Runs before main, so before fontconfig reads its configuration.
const std::string kEmptyConfig = [] {
    std::string path = "/tmp/orvix_empty_fonts_" + std::to_string(getpid()) + ".conf";
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        std::fputs(
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM "
            "\"fonts.dtd\">\n<fontconfig></fontconfig>\n",
            f);
        std::fclose(f);
    }
    setenv("FONTCONFIG_FILE", path.c_str(), 1);
    std::atexit(
        [] { std::remove(("/tmp/orvix_empty_fonts_" + std::to_string(getpid()) + ".conf").c_str()); });
    return path;
}();

int InkPixels(const Canvas& c) {
    int ink = 0;
    for (int y = 0; y < c.GetHeight(); ++y)
        for (int x = 0; x < c.GetWidth(); ++x)
            if (c.GetPixel(x, y).GetA() > 0) ++ink;
    return ink;
}

TEST(EmbeddedFont, TextIsDrawnFromTheProgramFolderCopyWithoutTheFontPackage) {
    // The empty configuration holds: no system family is known.
    ASSERT_FALSE(FontFamilyInstalled(L"DejaVu Sans"));
    ASSERT_TRUE(RegisterEmbeddedFont());
    EXPECT_EQ(EmbeddedFontPath(), ExecutableFolder() + kEmbeddedFontFile);
    EXPECT_TRUE(FontFamilyInstalled(kEmbeddedFontFamily));

    for (const wchar_t* family : {kEmbeddedFontFamily, L"Segoe UI"}) {
        TextStyle style;
        style.family = ResolveFontFamily(family);
        ASSERT_FALSE(style.family.empty()) << WideToUtf8(family);
        style.pixelSize = 16;
        Canvas canvas(120, 30);
        canvas.Clear();
        canvas.DrawText(L"Vantorel", canvas.GetRect(), Color(0xFFFFFFFF), style);
        EXPECT_GT(InkPixels(canvas), 50) << WideToUtf8(family);
    }
}

}  // namespace
