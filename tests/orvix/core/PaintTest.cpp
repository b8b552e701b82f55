// Painting checked pixel by pixel: nine-slice, show modes, strips, the window
// background, layered-window alpha, the image cache and text in the private font.
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "ToolkitFixture.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MRender.h"
#include "orvix/core/MText.h"
#include "orvix/platform/CairoImpl.h"
#include "orvix/platform/Fonts.h"

using namespace ToolkitTest;

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                   kGrey = 0xFF808080;

std::shared_ptr<Image> NineSliceSource() {
    Canvas c(12, 12);
    PaintNineSlice(c);
    return Image::FromCanvas(c);
}

uint32_t Px(const Canvas& c, int x, int y) { return c.GetPixel(x, y).GetValue(); }

const Color kBack = Color::FromCOLORREF(0x110B06, 254);

}  // namespace

TEST(Painter, NineSlicePlacesCornersEdgesAndCentre) {
    auto src = NineSliceSource();
    Canvas c(40, 30);
    MRender::DrawImageFrame(c, *src, CRect(0, 0, 40, 30), 0, 0, 12, 12, 4);
    EXPECT_EQ(Px(c, 0, 0), kRed);
    EXPECT_EQ(Px(c, 3, 3), kRed);
    EXPECT_EQ(Px(c, 39, 29), kRed);
    EXPECT_EQ(Px(c, 36, 0), kRed);
    EXPECT_EQ(Px(c, 20, 1), kGreen);   // top edge stretched
    EXPECT_EQ(Px(c, 1, 15), kGreen);   // left edge stretched
    EXPECT_EQ(Px(c, 38, 15), kGreen);  // right edge
    EXPECT_EQ(Px(c, 20, 15), kBlue);   // centre
    EXPECT_EQ(Px(c, 4, 4), kBlue);

    // Separate insets take a different source split.
    Canvas m(40, 30);
    MRender::DrawImageFrameMID(m, *src, CRect(0, 0, 40, 30), 0, 0, 12, 12, 4, 4, 2, 2);
    EXPECT_EQ(Px(m, 39, 29), kRed);
    EXPECT_EQ(Px(m, 37, 15), kGreen);  // right column is 2 wide now: green edge reaches 38

    // Smaller than its insets: the corners overlap, nothing is clamped.
    Canvas s(6, 6);
    MRender::DrawImageFrame(s, *src, CRect(0, 0, 6, 6), 0, 0, 12, 12, 4);
    EXPECT_EQ(Px(s, 0, 0), kRed);
    EXPECT_EQ(Px(s, 5, 5), kRed);
    EXPECT_EQ(Px(s, 3, 3), kRed);
}

TEST(Painter, StripFramesAreCutSideBySide) {
    Canvas strip(40, 10);
    const uint32_t colours[] = {kRed, kGreen, kBlue, kGrey};
    for (int i = 0; i < 4; ++i) strip.FillRect(CRect(i * 10, 0, i * 10 + 10, 10), Color(colours[i]));
    auto img = Image::FromCanvas(strip);
    Canvas c(20, 20);
    c.DrawImage(*img, CRect(0, 0, 20, 20), CRect(2 * 10, 0, 3 * 10, 10));  // frame 2, stretched
    EXPECT_EQ(Px(c, 0, 0), kBlue);
    EXPECT_EQ(Px(c, 19, 19), kBlue);  // no bleeding from the neighbouring frame
}

class Painting : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        Canvas frame(10, 6);
        frame.FillRect(CRect(0, 0, 10, 6), Color(kRed));
        framePath = TempPng("frame.png", frame);
        Canvas strip(40, 6);
        strip.FillRect(CRect(0, 0, 10, 6), Color(kGreen));
        strip.FillRect(CRect(10, 0, 40, 6), Color(kBlue));
        stripPath = TempPng("strip.png", strip);
        hwnd = dlg.Open(CRect(0, 0, 120, 100));
    }
    void TearDown() override {
        for (auto& p : {framePath, stripPath}) std::remove(WideToUtf8(p).c_str());
        HeadlessTest::TearDown();
    }
    const Canvas& Paint() {
        Platform::InvalidateRect(hwnd);
        Platform::UpdateWindow(hwnd);
        return *Platform::GetPresentedImage(hwnd);
    }
    MPicture* Picture(CRect rect, const std::wstring& file, int count = 1) {
        auto* pic = static_cast<MPicture*>(dlg.CreateControl(L"MPicture", 5, rect));
        EXPECT_TRUE(pic->SetImage(file.c_str(), count));
        return pic;
    }
    TestDialog dlg;
    HWND hwnd = nullptr;
    std::wstring framePath, stripPath;
};

TEST_F(Painting, BackgroundWithoutImageIsABorderFrameAroundTheBackColour) {
    const Canvas& c = Paint();
    EXPECT_TRUE(Near(c.GetPixel(0, 0), Color::FromCOLORREF(0xE6FF49, 254)));
    EXPECT_TRUE(Near(c.GetPixel(119, 50), Color::FromCOLORREF(0xE6FF49, 254)));
    EXPECT_TRUE(Near(c.GetPixel(1, 1), kBack));
    EXPECT_TRUE(Near(c.GetPixel(118, 98), kBack));
}

TEST_F(Painting, ShowModeNaturalFollowsTheAlignment) {
    MPicture* pic = Picture(CRect(10, 10, 50, 40), framePath);
    pic->SetAlignment(0, 4);  // left, vertically centred: rows 22..27
    const Canvas& c = Paint();
    EXPECT_EQ(Px(c, 10, 22), kRed);
    EXPECT_EQ(Px(c, 19, 27), kRed);
    EXPECT_NE(Px(c, 10, 21), kRed);
    EXPECT_NE(Px(c, 20, 22), kRed);
    pic->SetAlignment(2, 8);  // right, bottom
    const Canvas& d = Paint();
    EXPECT_EQ(Px(d, 49, 39), kRed);
    EXPECT_EQ(Px(d, 40, 34), kRed);
    EXPECT_NE(Px(d, 39, 34), kRed);
}

TEST_F(Painting, ShowModesTileStretchAndCustomRect) {
    MPicture* pic = Picture(CRect(0, 0, 25, 10), stripPath, 4);  // frame 0 is the green 10 x 6
    EXPECT_TRUE(pic->SetShowMode(SHOW_MODE_TILE));
    EXPECT_FALSE(pic->SetShowMode(SHOW_MODE_TILE));
    const Canvas& tiled = Paint();
    EXPECT_EQ(Px(tiled, 24, 9), kGreen);  // last tile cut at the edge
    EXPECT_TRUE(Near(tiled.GetPixel(24, 10), kBack));

    pic->SetShowMode(SHOW_MODE_STRETCH);
    const Canvas& stretched = Paint();
    EXPECT_EQ(Px(stretched, 24, 9), kGreen);  // always frame 0

    pic->SetCustomRect(CRect(20, 0, 30, 6));
    pic->SetShowMode(SHOW_MODE_CUSTOM);
    const Canvas& custom = Paint();
    EXPECT_EQ(Px(custom, 0, 0), kBlue);
    EXPECT_EQ(Px(custom, 24, 9), kBlue);
}

TEST_F(Painting, ImageCacheKeepsTheFirstCountAndRetriesFailures) {
    PaintManager& pm = dlg.GetPaintManager();
    ImgResInfo* first = pm.AddImgResInfo(stripPath.c_str(), 4);
    ASSERT_NE(first, nullptr);
    ImgResInfo* again = pm.AddImgResInfo(stripPath.c_str(), 8);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->frameWidth, 10);

    std::wstring late = L"/tmp/orvix_" + std::to_wstring(getpid()) + L"_late.png";
    EXPECT_EQ(pm.AddImgResInfo(late.c_str(), 1), nullptr);
    Canvas c(3, 3);
    c.SavePng(late);
    EXPECT_NE(pm.AddImgResInfo(late.c_str(), 1), nullptr);  // the failure was not cached
    std::remove(WideToUtf8(late).c_str());

    auto* control = static_cast<MControlFont*>(dlg.CreateControl(L"MText", 6, CRect(0, 0, 5, 5)));
    EXPECT_FALSE(control->SetImage(L"no_such_image.png", 4));
    EXPECT_EQ(control->GetImage(), nullptr);
    EXPECT_TRUE(control->SetImage(stripPath.c_str(), 2));
    EXPECT_EQ(control->GetImageSize(), CSize(10, 6));  // the cache's first count wins
    EXPECT_EQ(control->GetFrameRect(2), CRect(20, 0, 30, 6));
}

TEST_F(Painting, LayeredWindowIsTransparentWhereUntouchedAndTextIsOpaque) {
    Canvas clear(4, 4);
    std::wstring clearPath = TempPng("clear.png", clear);
    dlg.LoadBKImage(clearPath);
    dlg.SetLayeredWindow(TRUE);
    auto* text = static_cast<MText*>(dlg.CreateControl(L"MText", 9, CRect(0, 0, 120, 60), L"\u2588\u2588\u2588"));
    text->SetFont(kEmbeddedFontFamily, 40, 0);
    text->SetAlignment(0, 0);
    const Canvas& c = Paint();
    EXPECT_EQ(c.GetPixel(110, 90).GetA(), 0);  // untouched: fully transparent
    bool opaque = false;
    for (int y = 0; y < 60 && !opaque; ++y)
        for (int x = 0; x < 120 && !opaque; ++x) opaque = c.GetPixel(x, y) == Color(kWhite);
    EXPECT_TRUE(opaque);
    std::remove(WideToUtf8(clearPath).c_str());

    COLORREF black = 0;
    MRender::CheckAlphaColor(black);
    EXPECT_EQ(black, 1u);
}

TEST_F(Painting, TextIsDrawnInThePrivateFontAndNotInAnUnknownOne) {
    EXPECT_EQ(dlg.GetPaintManager().FindTempFont(kEmbeddedFontFamily), kEmbeddedFontFamily);
    EXPECT_TRUE(dlg.GetPaintManager().FindTempFont(L"No Such Family 123").empty());

    TextStyle semibold{kEmbeddedFontFamily, 20};
    TextStyle regular{L"Open Sans", 20};
    const std::wstring sample = L"Vantorel Mouse settings";
    CSize a = Canvas::MeasureText(sample, semibold), b = Canvas::MeasureText(sample, regular);
    EXPECT_GT(a.cx, b.cx);  // the semibold face is wider than the regular one

    auto* label = static_cast<MText*>(dlg.CreateControl(L"MText", 9, CRect(5, 5, 115, 45), L"Ag"));
    label->SetFont(kEmbeddedFontFamily, 24, 0);
    label->SetTextColor(Color(kRed));
    auto countRed = [](const Canvas& c) {
        int n = 0;
        for (int y = 0; y < c.GetHeight(); ++y)
            for (int x = 0; x < c.GetWidth(); ++x) n += c.GetPixel(x, y) == Color(kRed);
        return n;
    };
    EXPECT_GT(countRed(Paint()), 20);
    label->SetFont(L"No Such Family 123", 24, 0);
    label->SetTitle(L"Ag");
    EXPECT_EQ(countRed(Paint()), 0);
}

TEST_F(Painting, MultiLineTextWrapsAndEllipsisFitsOneLine) {
    TextStyle style{kEmbeddedFontFamily, 14};
    style.wrap = true;
    const std::wstring text = L"one two three four five six seven eight nine ten";
    EXPECT_GT(Canvas::CountLines(text, style, 80), 2);
    style.wrap = false;
    style.ellipsis = true;
    EXPECT_LE(Canvas::MeasureText(text, style, 80).cx, 80);
    EXPECT_EQ(Canvas::CountLines(text, style, 80), 1);
}

// Chinese and Korean labels in the toolkit's font: Open Sans has no CJK glyphs,
// so fontconfig's fallback must reach the system's CJK font even with the
// program folder's own font registered, and the text language must choose the
// regional forms of the characters the three languages share.
TEST_F(Painting, ChineseAndKoreanLabelsHaveAGlyphForEveryCharacter) {
    ASSERT_TRUE(RegisterEmbeddedFont());
    const std::wstring chinese = L"\u7b80\u4f53\u4e2d\u6587\uff1a\u9f20\u6807\u8bbe\u7f6e DPI";  // 简体中文：鼠标设置 DPI
    const std::wstring korean = L"\ud55c\uad6d\uc5b4 \ub9c8\uc6b0\uc2a4 \uc124\uc815";          // 한국어 마우스 설정
    SetTextLanguage("zh-cn");
    EXPECT_EQ(CountUnknownGlyphs(chinese, kEmbeddedFontFamily, 20), 0);
    SetTextLanguage("ko");
    EXPECT_EQ(CountUnknownGlyphs(korean, kEmbeddedFontFamily, 20), 0);
    // The check can fail: a private-use character no font draws.
    EXPECT_GT(CountUnknownGlyphs(L"a\U0010FFFDb", kEmbeddedFontFamily, 20), 0);

    auto* zh = static_cast<MText*>(dlg.CreateControl(L"MText", 9, CRect(2, 2, 118, 32), chinese.c_str()));
    auto* ko = static_cast<MText*>(dlg.CreateControl(L"MText", 10, CRect(2, 40, 118, 70), korean.c_str()));
    for (MText* label : {zh, ko}) {
        label->SetFont(kEmbeddedFontFamily, 16, 0);
        label->SetTextColor(Color(kRed));
    }
    const Canvas& c = Paint();
    auto redIn = [&c](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < c.GetWidth(); ++x) n += c.GetPixel(x, y) == Color(kRed);
        return n;
    };
    EXPECT_GT(redIn(2, 32), 40);
    EXPECT_GT(redIn(40, 70), 40);

    // 直 is written differently in Japan and in China.
    auto draw = [](const char* language) {
        SetTextLanguage(language);
        auto canvas = std::make_unique<Canvas>(60, 60);
        canvas->Clear();
        canvas->DrawText(L"\u76f4", canvas->GetRect(), Color(kWhite), TextStyle{kEmbeddedFontFamily, 48});
        return canvas;
    };
    const auto japanese = draw("ja"), simplified = draw("zh-cn");
    int differing = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) differing += japanese->GetPixel(x, y) != simplified->GetPixel(x, y);
    EXPECT_GT(differing, 20);
    SetTextLanguage("en");
}

namespace {

// A picture whose pixels are f(x, y), premultiplied.
std::shared_ptr<Image> Picture(int w, int h, const std::function<uint32_t(int, int)>& f) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) c.GetData()[y * c.GetStride() + x] = f(x, y);
    c.MarkDirty();
    return Image::FromCanvas(c);
}

// The stretch done the plain way: the source part scaled with cairo's filter.
std::vector<uint32_t> PlainStretch(const Image& image, const CRect& dst, const CRect& src, int w, int h,
                                   uint32_t back, double alpha) {
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgba(cr, ((back >> 16) & 0xFF) / 255.0, ((back >> 8) & 0xFF) / 255.0, (back & 0xFF) / 255.0,
                          1);
    cairo_paint(cr);
    cairo_surface_t* sub = cairo_surface_create_for_rectangle(image.GetFrame(0).surface, src.left, src.top,
                                                              src.Width(), src.Height());
    cairo_rectangle(cr, dst.left, dst.top, dst.Width(), dst.Height());
    cairo_clip(cr);
    cairo_translate(cr, dst.left, dst.top);
    cairo_scale(cr, double(dst.Width()) / src.Width(), double(dst.Height()) / src.Height());
    cairo_set_source_surface(cr, sub, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint_with_alpha(cr, alpha);
    cairo_destroy(cr);
    cairo_surface_destroy(sub);
    cairo_surface_flush(target);
    std::vector<uint32_t> pixels(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        std::memcpy(&pixels[size_t(y) * w], cairo_image_surface_get_data(target) + y * cairo_image_surface_get_stride(target),
                    size_t(w) * 4);
    cairo_surface_destroy(target);
    return pixels;
}

}  // namespace

// Frame pictures whose middle is a plain colour or a gradient are stretched through
// a strip: the pixels must be exactly those of the plain filtered stretch.
TEST(Painter, StretchedGradientsAndPlainPartsGiveThePixelsOfAPlainStretch) {
    const uint32_t back = 0xFF203040;
    const auto vertical = Picture(20, 16, [](int, int y) { return 0xFF000000u | uint32_t(y * 15) << 8 | 9u; });
    const auto horizontal = Picture(16, 20, [](int x, int) { return 0xC0000000u | uint32_t(x * 11) << 16; });
    const auto plain = Picture(10, 10, [](int, int) { return 0x80402010u; });
    const auto mixed = Picture(16, 16, [](int x, int y) { return 0xFF000000u | uint32_t(x * 13) << 16 | y * 9u; });
    struct Case {
        const Image* image;
        CRect src, dst;
        BYTE alpha;
    };
    const Case cases[] = {
        {vertical.get(), CRect(2, 2, 18, 14), CRect(5, 7, 301, 190), 255},
        {vertical.get(), CRect(2, 2, 18, 14), CRect(0, 0, 16, 97), 255},  // stretched one way only
        {horizontal.get(), CRect(3, 0, 13, 20), CRect(11, 3, 250, 160), 200},
        {plain.get(), CRect(0, 0, 10, 10), CRect(1, 2, 320, 200), 255},
        {mixed.get(), CRect(1, 1, 15, 15), CRect(4, 4, 200, 150), 255},
        {vertical.get(), CRect(2, 2, 18, 14), CRect(4, 4, 12, 10), 255},  // made smaller: the plain way
    };
    for (const Case& c : cases) {
        Canvas canvas(330, 210);
        canvas.FillRect(canvas.GetRect(), Color(back));
        canvas.DrawImage(*c.image, c.dst, c.src, 0, c.alpha);
        std::vector<uint32_t> drawn(330 * 210);
        for (int y = 0; y < 210; ++y)
            std::memcpy(&drawn[size_t(y) * 330], canvas.GetData() + y * canvas.GetStride(), 330 * 4);
        EXPECT_EQ(drawn, PlainStretch(*c.image, c.dst, c.src, 330, 210, back, c.alpha / 255.0))
            << c.dst.Width() << " x " << c.dst.Height();
    }
}
