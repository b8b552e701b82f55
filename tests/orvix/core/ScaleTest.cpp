// Drawing at the program's display scale: canvases in logical units over
// device pixels, render caches on the same pixel grid, skin pictures at 1x
// and 2x, windows that keep their logical size, and pointer input converted
// once from device pixels.
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "ToolkitFixture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Image.h"

using namespace ToolkitTest;

namespace {

const Color kRed(0xFFFF0000), kBlue(0xFF0000FF), kGreen(0xFF00FF00);

// The rows of a canvas that hold a pixel brighter than `level`.
std::pair<int, int> InkRows(const Canvas& c, int level = 128) {
    int top = -1, bottom = -1;
    for (int y = 0; y < c.GetPixelHeight(); ++y)
        for (int x = 0; x < c.GetPixelWidth(); ++x)
            if (c.GetPixel(x, y).GetA() > level) {
                if (top < 0) top = y;
                bottom = y + 1;
                break;
            }
    return {top, bottom};
}

// Largest channel difference between two canvases of one pixel size, and
// where it is.
int Difference(const Canvas& a, const Canvas& b, CPoint* where = nullptr) {
    int worst = 0;
    for (int y = 0; y < a.GetPixelHeight(); ++y)
        for (int x = 0; x < a.GetPixelWidth(); ++x) {
            const Color p = a.GetPixel(x, y), q = b.GetPixel(x, y);
            const int d = std::max({std::abs(p.GetA() - q.GetA()), std::abs(p.GetR() - q.GetR()),
                                    std::abs(p.GetG() - q.GetG()), std::abs(p.GetB() - q.GetB())});
            if (d > worst && where) *where = CPoint(x, y);
            worst = std::max(worst, d);
        }
    return worst;
}

// What a control might draw: a frame, a fill, a circle, a line; text apart.
void PaintControl(Canvas& c, const CRect& r) {
    c.FillRect(r, Color(0xFF203040));
    c.DrawRect(r, kGreen, 1);
    c.FillEllipse(CRect(r.left + 3, r.top + 3, r.left + 17, r.top + 17), kRed);
    c.DrawLine(CPoint(r.left + 2, r.bottom - 4), CPoint(r.right - 2, r.bottom - 4), kBlue, 1);
}

void PaintLabel(Canvas& c, const CRect& r) {
    TextStyle style;
    style.family = kEmbeddedFontFamily;
    style.pixelSize = 13;
    style.hAlign = 1;
    style.vAlign = 4;
    c.DrawText(L"Scale 1.5", r, Color(0xFFFFFFFF), style);
}

// The device pixels that hold ink: first and last row and column.
CRect InkBox(const Canvas& c) {
    CRect box(c.GetPixelWidth(), c.GetPixelHeight(), 0, 0);
    for (int y = 0; y < c.GetPixelHeight(); ++y)
        for (int x = 0; x < c.GetPixelWidth(); ++x)
            if (c.GetPixel(x, y).GetA() > 128)
                box = CRect(std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                            std::max<int>(box.bottom, y + 1));
    return box;
}

}  // namespace

TEST(ScaledCanvas, PixelsAreLogicalUnitsTimesTheScaleAndEdgesAreWholePixels) {
    Canvas c(10, 8, 1.5);
    EXPECT_EQ(c.GetWidth(), 10);
    EXPECT_EQ(c.GetPixelWidth(), 15);
    EXPECT_EQ(c.GetPixelHeight(), 12);
    EXPECT_EQ(c.ToPixels(CRect(1, 1, 3, 3)), CRect(2, 2, 5, 5));
    // A rect whose edges fall between pixels is filled whole pixels wide: no
    // half-covered seam where two controls meet.
    c.FillRect(CRect(1, 1, 3, 3), kRed);
    c.FillRect(CRect(3, 1, 5, 3), kBlue);
    for (int y = 0; y < c.GetPixelHeight(); ++y)
        for (int x = 0; x < c.GetPixelWidth(); ++x) {
            const BYTE a = c.GetPixel(x, y).GetA();
            EXPECT_TRUE(a == 0 || a == 255) << x << "," << y;
        }
    EXPECT_EQ(c.GetPixel(4, 3).GetValue(), kRed.GetValue());
    EXPECT_EQ(c.GetPixel(5, 3).GetValue(), kBlue.GetValue());
    // One-pixel lines stay one device pixel at 1.5, two at 2.
    Canvas line(10, 10, 1.5), wide(10, 10, 2.0);
    for (Canvas* l : {&line, &wide}) l->DrawLine(CPoint(0, 4), CPoint(9, 4), kRed, 1);
    auto rows = [](const Canvas& l) { return InkRows(l, 0).second - InkRows(l, 0).first; };
    EXPECT_EQ(rows(line), 2);  // a one-unit line, 1.5 pixels: two full rows
    EXPECT_EQ(rows(wide), 2);
}

TEST(ScaledCanvas, ARenderCacheBlitsBackExactlyWhatDirectDrawingGives) {
    // Controls draw into layers of the back buffer and are copied back: at any
    // scale and any place that must be the same pixels as drawing in place.
    for (double scale : {1.0, 1.25, 1.5, 2.0, 0.93}) {
        for (CRect r : {CRect(7, 5, 97, 35), CRect(10, 10, 100, 40), CRect(3, 11, 88, 42)}) {
            Canvas direct(120, 60, scale), cached(120, 60, scale);
            direct.Clear(Color(0xFF000000));
            cached.Clear(Color(0xFF000000));
            PaintControl(direct, r);
            std::unique_ptr<Canvas> layer = cached.MakeLayer(r);
            EXPECT_TRUE(layer->IsLayerOf(cached, r));
            PaintControl(*layer, CRect(0, 0, r.Width(), r.Height()));
            cached.DrawCanvas(*layer, r, layer->GetRect(), Canvas::Blend::Copy);
            CPoint at;
            EXPECT_LE(Difference(direct, cached, &at), 2)
                << scale << " at " << r.left << "," << r.top << ", pixel " << at.x << "," << at.y;
            // Text lands on the same pixels (glyph shapes may differ in their
            // antialiasing by where they fall within a pixel).
            Canvas directText(120, 60, scale), cachedText(120, 60, scale);
            PaintLabel(directText, r);
            std::unique_ptr<Canvas> textLayer = cachedText.MakeLayer(r);
            PaintLabel(*textLayer, CRect(0, 0, r.Width(), r.Height()));
            cachedText.DrawCanvas(*textLayer, r, textLayer->GetRect(), Canvas::Blend::Copy);
            EXPECT_EQ(InkBox(directText), InkBox(cachedText)) << scale << " at " << r.left << "," << r.top;
        }
    }
}

TEST(ScaledCanvas, TextIsDrawnAtTheScaledSize) {
    TextStyle style;
    style.family = kEmbeddedFontFamily;
    style.pixelSize = 14;
    int heights[3] = {};
    const double scales[] = {1.0, 1.5, 2.0};
    for (int i = 0; i < 3; ++i) {
        Canvas c(200, 40, scales[i]);
        c.DrawText(L"Vantorel Mouse", CRect(0, 0, 200, 40), Color(0xFFFFFFFF), style);
        const auto [top, bottom] = InkRows(c);
        heights[i] = bottom - top;
    }
    ASSERT_GT(heights[0], 8);
    EXPECT_NEAR(heights[1], 1.5 * heights[0], 2);
    EXPECT_NEAR(heights[2], 2.0 * heights[0], 2);
    // Measuring stays in logical units, whatever the scale.
    EXPECT_EQ(Canvas::MeasureText(L"Vantorel Mouse", style).cy, Canvas::MeasureText(L"Vantorel Mouse", style).cy);
}

TEST(ScaledCanvas, LaidOutTextFollowsTheCanvasScale) {
    TextStyle style;
    style.family = kEmbeddedFontFamily;
    style.pixelSize = 14;
    TextBlock block;
    Canvas one(100, 30), two(100, 30, 2.0);
    block.Draw(one, L"Hello", CRect(0, 0, 100, 30), kRed, style);
    block.Draw(two, L"Hello", CRect(0, 0, 100, 30), kRed, style);
    EXPECT_FALSE(block.WasReused());  // laid out again at the new resolution
    Canvas direct(100, 30, 2.0);
    direct.DrawText(L"Hello", CRect(0, 0, 100, 30), kRed, style);
    EXPECT_LE(Difference(direct, two), 2);
}

class SkinPictures : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() / ("orvix_twins_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        Image::SetDensity(1);
    }
    void TearDown() override {
        Image::SetDensity(1);
        std::filesystem::remove_all(m_folder);
    }
    // A plain 4 x 4 red picture, and its twin: 8 x 8 blue and green stripes
    // one pixel wide, which only a sharp 2x drawing shows as they are.
    std::wstring Write(bool twin, CSize twinSize = CSize(8, 8)) {
        const std::wstring plain = Utf8ToWide((m_folder / "pic.png").string());
        Canvas one(4, 4);
        one.FillRect(one.GetRect(), kRed);
        EXPECT_TRUE(one.SavePng(plain));
        if (twin) {
            Canvas two(twinSize.cx, twinSize.cy);
            for (int x = 0; x < twinSize.cx; ++x)
                two.FillRect(CRect(x, 0, x + 1, twinSize.cy), x % 2 ? kGreen : kBlue);
            EXPECT_TRUE(two.SavePng(Image::DensityFile(plain, 2)));
        }
        return plain;
    }
    std::filesystem::path m_folder;
};

TEST_F(SkinPictures, TheTwinIsNamedAfterThePlainFile) {
    EXPECT_EQ(Image::DensityFile(L"/a/b/icon/tab_key.png", 2), L"/a/b/icon/tab_key@2x.png");
    EXPECT_EQ(Image::DensityFile(L"/a/b.c/loading", 2), L"/a/b.c/loading@2x");
    EXPECT_EQ(Image::DensityFile(L"x.png", 1), L"x.png");
}

TEST_F(SkinPictures, AboveOneXTheTwinIsDrawnPixelForPixel) {
    const std::wstring file = Write(true);
    Image::SetDensity(2);
    std::shared_ptr<Image> image = Image::Load(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 4);  // the same logical size either way
    EXPECT_DOUBLE_EQ(image->GetDensity(), 2.0);
    Canvas c(4, 4, 2.0);
    c.DrawImage(*image, 0, 0);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(c.GetPixel(x, 3).GetValue(), (x % 2 ? kGreen : kBlue).GetValue()) << x;
    // Back at 1x the plain file replaces it at the next drawing.
    Image::SetDensity(1);
    Canvas plain(4, 4);
    plain.DrawImage(*image, 0, 0);
    EXPECT_DOUBLE_EQ(image->GetDensity(), 1.0);
    EXPECT_EQ(plain.GetPixel(1, 1).GetValue(), kRed.GetValue());
}

TEST_F(SkinPictures, ATwinOfAnotherSizeOrNoneLeavesThePlainPicture) {
    const std::wstring file = Write(true, CSize(6, 8));
    Image::SetDensity(2);
    std::shared_ptr<Image> image = Image::Load(file);
    ASSERT_TRUE(image);
    EXPECT_DOUBLE_EQ(image->GetDensity(), 1.0);
    EXPECT_EQ(image->GetWidth(), 4);
    // Stretched to 2x it is still the plain picture.
    Canvas c(4, 4, 2.0);
    c.DrawImage(*image, 0, 0);
    EXPECT_EQ(c.GetPixel(5, 5).GetValue(), kRed.GetValue());

    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    const std::wstring alone = Write(false);
    EXPECT_DOUBLE_EQ(Image::Load(alone)->GetDensity(), 1.0);
}

namespace {

class ScaleProbe : public TestDialog {
  public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_DPICHANGED) dpiChanges.push_back(LOWORD(wParam));
        if (msg == WM_SIZE) sizes.push_back(CSize(LOWORD(lParam), HIWORD(lParam)));
        return TestDialog::OnWindowMessage(msg, wParam, lParam);
    }
    std::vector<int> dpiChanges;
    std::vector<CSize> sizes;
};

using ScaledWindows = HeadlessTest;

}  // namespace

TEST_F(ScaledWindows, AWindowKeepsItsLogicalSizeAndPaintsItsDevicePixels) {
    Platform::SetScale(2.0);
    ScaleProbe dlg;
    const HWND hwnd = dlg.Open(CRect(100, 100, 500, 400));
    EXPECT_EQ(Platform::GetClientRect(hwnd), CRect(0, 0, 400, 300));
    EXPECT_EQ(Platform::GetDeviceClientSize(hwnd), CSize(800, 600));
    EXPECT_EQ(Platform::ClientToDeviceScreen(hwnd, CRect(10, 10, 20, 20)), CRect(220, 220, 240, 240));
    Platform::UpdateWindow(hwnd);
    const Canvas* shown = Platform::GetPresentedImage(hwnd);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->GetWidth(), 800);
    EXPECT_EQ(shown->GetHeight(), 600);
    // The one-pixel border of a window without a background is two pixels here.
    const Color border = Color::FromCOLORREF(0xE6FF49, 254);
    EXPECT_TRUE(Near(shown->GetPixel(1, 300), border));
    EXPECT_FALSE(Near(shown->GetPixel(2, 300), border));
}

TEST_F(ScaledWindows, PointerInputInDevicePixelsReachesControlsInLogicalUnits) {
    Platform::SetScale(1.5);
    TestDialog dlg;
    const HWND hwnd = dlg.Open(CRect(0, 0, 400, 300));
    auto* probe = dlg.Add(new Probe(&dlg, 7, CRect(100, 100, 200, 150)));
    // The centre of device pixel (225, 190) lies in logical unit (150, 127).
    Headless::MouseMove(hwnd, 225, 190);
    Headless::Click(hwnd, 225, 190);
    Pump();
    ASSERT_FALSE(probe->events.empty());
    EXPECT_EQ(probe->events.back(), L"up 150,127");
    // Just outside the control's right edge on the screen: not the control's.
    probe->events.clear();
    Headless::MouseMove(hwnd, 300, 190);
    Headless::Click(hwnd, 300, 190);
    Pump();
    for (const std::wstring& e : probe->events) EXPECT_EQ(e.find(L"down"), std::wstring::npos) << WideToUtf8(e);
}

TEST_F(ScaledWindows, ANewScaleKeepsLogicalSizesAndRepaintsEverything) {
    ScaleProbe dlg;
    const HWND hwnd = dlg.Open(CRect(100, 100, 500, 400));
    Platform::UpdateWindow(hwnd);
    dlg.sizes.clear();
    Platform::SetScale(1.5);
    EXPECT_EQ(dlg.dpiChanges, std::vector<int>{144});
    EXPECT_TRUE(dlg.sizes.empty());  // nothing to lay out again
    EXPECT_EQ(Platform::GetClientRect(hwnd), CRect(0, 0, 400, 300));
    EXPECT_EQ(Platform::GetDeviceClientSize(hwnd), CSize(600, 450));
    // Its corner stays on the same device pixel.
    EXPECT_EQ(Platform::ClientToDeviceScreen(hwnd, CRect()).TopLeft(), CPoint(100, 100));
    EXPECT_FALSE(Platform::GetUpdateRect(hwnd).IsRectEmpty());
    Platform::UpdateWindow(hwnd);
    EXPECT_EQ(Platform::GetPresentedImage(hwnd)->GetWidth(), 600);
    // The same factor again changes nothing.
    Platform::SetScale(1.5);
    EXPECT_EQ(dlg.dpiChanges.size(), 1u);
}

TEST_F(ScaledWindows, AWindowThatFollowsItsSizeSetsTheProgramsScale) {
    ScaleProbe dlg;
    const HWND hwnd = dlg.Open(CRect(0, 0, 1280, 800));
    Platform::SetScaleFollowsSize(hwnd, CSize(1280, 800), 0.75, 4.0);
    // The user drags it to 1920 x 1200: the design fills it at 1.5.
    Headless::Resize(hwnd, 1920, 1200);
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 1.5);
    EXPECT_EQ(Platform::GetClientRect(hwnd), CRect(0, 0, 1280, 800));
    EXPECT_EQ(Platform::GetDeviceClientSize(hwnd), CSize(1920, 1200));
    // Wider than the design's shape: the height decides, the rest is width.
    Headless::Resize(hwnd, 1920, 1000);
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 1.25);
    EXPECT_EQ(Platform::GetClientRect(hwnd), CRect(0, 0, 1536, 800));
    EXPECT_EQ(dlg.sizes.back(), CSize(1536, 800));
    // Smaller than the smallest factor allows: held at that size.
    Headless::Resize(hwnd, 400, 300);
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 0.75);
    EXPECT_EQ(Platform::GetDeviceClientSize(hwnd), CSize(960, 600));
    // Maximised on the 1920 x 1080 work area and restored again.
    Headless::Resize(hwnd, 1280, 800);
    Platform::ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 1.35);
    EXPECT_EQ(Platform::GetDeviceClientSize(hwnd), CSize(1920, 1080));
    Platform::ShowWindow(hwnd, SW_RESTORE);
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 1.0);
    EXPECT_EQ(Platform::GetDeviceClientSize(hwnd), CSize(1280, 800));
}

TEST_F(ScaledWindows, OtherWindowsFollowWhenTheFollowingWindowSetsTheScale) {
    ScaleProbe main, other;
    const HWND hwnd = main.Open(CRect(0, 0, 1280, 800));
    const HWND dialog = other.Open(CRect(300, 200, 700, 500));
    Platform::SetScaleFollowsSize(hwnd, CSize(1280, 800), 0.75, 4.0);
    Headless::Resize(hwnd, 2560, 1600);
    EXPECT_DOUBLE_EQ(Platform::GetScale(), 2.0);
    EXPECT_EQ(Platform::GetClientRect(dialog), CRect(0, 0, 400, 300));
    EXPECT_EQ(Platform::GetDeviceClientSize(dialog), CSize(800, 600));
    EXPECT_EQ(other.dpiChanges, std::vector<int>{192});
}

TEST_F(ScaledWindows, TheDesktopAnnouncingNewSettingsReachesTheListenerOnTheUiThread) {
    int heard = 0;
    Platform::SetDesktopScaleListener([&heard] { ++heard; });
    DesktopScaleSources twice;
    twice.gdkScale = "2";
    Headless::AnnounceDesktopScaleChange(twice);
    EXPECT_EQ(heard, 0);  // posted, not called from the announcing thread
    Pump();
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(Platform::GetDesktopScaleSources().gdkScale, "2");
    Platform::SetDesktopScaleListener(nullptr);
    Headless::AnnounceDesktopScaleChange(twice);
    Pump();
    EXPECT_EQ(heard, 1);
}

TEST_F(ScaledWindows, WindowsTellTheDesktopWhatTheyAreAndKeepTheirNamesForTheProgram) {
    TestDialog dlg;
    const HWND hwnd = dlg.Open();
    Platform::SetWindowText(hwnd, L"Settings");
    EXPECT_EQ(Platform::GetWindowText(hwnd), L"Settings");
    // Found by the name it was made with and by what it shows.
    EXPECT_EQ(Platform::FindWindows(L"test"), std::vector<HWND>{hwnd});
    EXPECT_EQ(Platform::FindWindows(L"Settings"), std::vector<HWND>{hwnd});
}
