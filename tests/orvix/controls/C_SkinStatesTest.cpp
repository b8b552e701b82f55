// The default skin's state strips: every look of a four-state strip differs
// from the others, so hover and press are seen.
#include <string>

#include "orvix/core/Manager.h"
#include "orvix/platform/Image.h"
#include "tests/orvix/core/ToolkitFixture.h"

namespace ToolkitTest {
namespace {

bool SameFrame(const Image& strip, int a, int b, int width) {
    for (int y = 0; y < strip.GetHeight(); ++y)
        for (int x = 0; x < width; ++x)
            if (strip.GetPixel(a * width + x, y).GetValue() != strip.GetPixel(b * width + x, y).GetValue())
                return false;
    return true;
}

TEST(SkinStates, EveryLookOfTheButtonStripsIsDistinct) {
    for (const wchar_t* name :
         {L"btn_reset.png", L"img_help.png", L"img_switch_btn_on.png", L"img_switch_btn_off.png",
          L"img_edit_clear.png", L"btn_openfile.png", L"btn_more.png", L"img_menu_copy.png",
          L"img_menuitem_copy.png", L"img_button.png", L"img_btn_abc.png"}) {
        std::shared_ptr<Image> strip = Image::Load(Manager::GetSkinPath(name));
        ASSERT_NE(strip, nullptr) << WideToUtf8(name);
        const int width = strip->GetWidth() / 4;
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                EXPECT_FALSE(SameFrame(*strip, a, b, width))
                    << WideToUtf8(name) << ": frames " << a << " and " << b;
    }
}

}  // namespace
}  // namespace ToolkitTest
