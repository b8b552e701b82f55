// The paint pipeline: dirty-rect widening, render caches and what lies beneath
// them, layered windows, background images, label text layout, the overlays'
// timing, the image cache and the image list.
#include <cstdio>

#include "Tracer.h"
#include "orvix/core/MImageList.h"
#include "orvix/core/MRender.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"

using namespace ToolkitTest;
namespace H = Orvix::Headless;

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
const Color kBack = Color::FromCOLORREF(0x110B06, 254), kBorder = Color::FromCOLORREF(0xE6FF49, 254);

// The bounding box of the reddish pixels (red text over the dark back colour).
CRect RedInk(const Canvas& c, CRect within = CRect(0, 0, 10000, 10000)) {
    CRect box;
    within = within & c.GetRect();
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x) {
            Color p = c.GetPixel(x, y);
            if (p.GetR() < 0x80 || p.GetG() > 0x60) continue;
            box = box | CRect(x, y, x + 1, y + 1);
        }
    return box;
}

// The ink boxes of the text lines: runs of rows with reddish pixels.
std::vector<CRect> RedLines(const Canvas& c) {
    std::vector<CRect> lines;
    bool inLine = false;
    for (int y = 0; y < c.GetHeight(); ++y) {
        CRect row = RedInk(c, CRect(0, y, c.GetWidth(), y + 1));
        if (row.IsRectEmpty()) {
            inLine = false;
            continue;
        }
        if (!inLine) lines.emplace_back();
        lines.back() = lines.back() | row;
        inLine = true;
    }
    return lines;
}

class Pipeline : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 200, 150));
        Pump();
    }
    void TearDown() override {
        for (const auto& f : files) std::remove(WideToUtf8(f).c_str());
        HeadlessTest::TearDown();
    }
    const Canvas& Paint() {
        Platform::UpdateWindow(hwnd);
        return *Platform::GetPresentedImage(hwnd);
    }
    const Canvas& PaintAll() {
        Platform::InvalidateRect(hwnd);
        return Paint();
    }
    CRect Pending() const { return Platform::GetUpdateRect(hwnd); }
    Tracer* Make(UINT id, CRect rect, int kind = 1) {
        return dlg.Add(new Tracer(&dlg, id, rect, &log), kind);
    }
    std::wstring Png(const char* name, const Canvas& c) { return files.emplace_back(TempPng(name, c)); }
    MText* Label(const wchar_t* text, CRect rect, UINT h, UINT v, bool multiLine = false) {
        auto* label = static_cast<MText*>(dlg.CreateControl(L"MText", 9, rect, text));
        label->SetFont(kEmbeddedFontFamily, 20, 0);
        label->SetTextColor(Color(kRed));
        label->SetAlignment(h, v);
        label->EnableMultiLine(multiLine);
        return label;
    }

    Log log;
    TestDialog dlg;
    HWND hwnd = nullptr;
    std::vector<std::wstring> files;
};

}  // namespace

TEST_F(Pipeline, ARepaintRequestWidensOverLaterVisibleOverlappingControlsOnly) {
    auto* area = Make(60, CRect(0, 0, 50, 50), 0);
    auto* earlier = Make(61, CRect(20, 20, 70, 70));
    auto* changed = Make(62, CRect(40, 40, 90, 90));
    auto* later = Make(63, CRect(80, 80, 120, 120));
    auto* hidden = Make(64, CRect(60, 60, 150, 150));
    hidden->SetVisible(FALSE);
    PaintAll();
    changed->UpdateControl(TRUE);
    EXPECT_EQ(Pending(), CRect(40, 40, 120, 120));
    EXPECT_FALSE(changed->GetUpdate());
    EXPECT_FALSE(later->GetUpdate());
    EXPECT_TRUE(earlier->GetUpdate());
    EXPECT_TRUE(area->GetUpdate());

    // Every control paints over the areas.
    Paint();
    area->UpdateControl(FALSE);
    EXPECT_EQ(Pending(), CRect(0, 0, 90, 90));
    EXPECT_TRUE(area->GetUpdate());  // no re-render asked
    EXPECT_FALSE(earlier->GetUpdate());
    EXPECT_FALSE(changed->GetUpdate());
    EXPECT_TRUE(later->GetUpdate());
}

TEST_F(Pipeline, AContainerWidensAmongItsChildrenThenShiftsByItsScrollOffset) {
    auto* box = dlg.Add(new ScrolledBox(&dlg, 30, CRect(0, 0, 100, 100)));
    auto* child = box->Add(new Tracer(box, 31, CRect(10, 110, 60, 160), &log));  // shows at (10, 10)
    auto* below = box->Add(new Tracer(box, 32, CRect(10, 150, 60, 250), &log));  // reaches past the box
    auto* cover = Make(33, CRect(50, 50, 150, 140));
    PaintAll();
    child->UpdateControl(TRUE);
    EXPECT_FALSE(below->GetUpdate());
    EXPECT_FALSE(cover->GetUpdate());
    EXPECT_EQ(Pending(), CRect(10, 10, 150, 140));  // (10, 10, 60, 100) inside the box, then the cover
}

TEST_F(Pipeline, ARenderCacheIsRenderedAgainOnlyWhenStale) {
    auto* earlier = Make(11, CRect(0, 0, 30, 30));
    auto* c = Make(10, CRect(10, 10, 60, 60));
    auto* later = Make(12, CRect(50, 50, 80, 80));
    c->fill = Color(kRed);
    PaintAll();
    PaintAll();
    EXPECT_EQ(c->renders, 1);
    c->UpdateControl(FALSE);
    Paint();
    later->UpdateControl(TRUE);
    Paint();
    EXPECT_EQ(c->renders, 1);  // repainted from its cache
    c->UpdateControl(TRUE);
    Paint();
    EXPECT_EQ(c->renders, 2);
    earlier->UpdateControl(TRUE);  // c lies over it and must paint over it afresh
    Paint();
    EXPECT_EQ(c->renders, 3);
    c->SetRect(CRect(10, 10, 70, 70));
    EXPECT_EQ(Paint().GetPixel(65, 45).GetValue(), kRed);
    EXPECT_EQ(c->renders, 4);
}

TEST_F(Pipeline, TheBackgroundBeneathACacheIsWholeThoughThePaintThatMadeItCoveredOnlyPart) {
    PaintAll();
    auto* c = Make(10, CRect(20, 20, 120, 80));  // a look with nothing opaque in it
    CRect left(0, 0, 60, 150);
    Platform::InvalidateRect(hwnd, &left);
    Paint();
    const Canvas& shown = PaintAll();
    EXPECT_EQ(c->renders, 1);
    EXPECT_TRUE(Near(shown.GetPixel(100, 50), kBack));
}

TEST_F(Pipeline, ALayeredWindowRepaintsAsAWhole) {
    auto* c = Make(10, CRect(10, 10, 20, 20));
    dlg.SetLayeredWindow(TRUE);
    Paint();
    c->UpdateControl(FALSE);
    EXPECT_EQ(Pending(), CRect(0, 0, 200, 150));
    Paint();
    c->InvalidateRect(nullptr);
    EXPECT_EQ(Pending(), CRect(0, 0, 200, 150));
}

TEST_F(Pipeline, BackgroundImageModesAndAFailedLoad) {
    Canvas source(12, 12);
    PaintNineSlice(source);
    EXPECT_TRUE(dlg.LoadBKImage(Png("back.png", source)));
    dlg.SetBackMode(BACK_MODE_NINE, 4);
    const Canvas& nine = PaintAll();
    for (CPoint p : {CPoint(0, 0), CPoint(199, 149), CPoint(196, 0), CPoint(3, 146)})
        EXPECT_EQ(nine.GetPixel(p.x, p.y).GetValue(), kRed) << p.x << "," << p.y;
    EXPECT_EQ(nine.GetPixel(100, 1).GetValue(), kGreen);
    EXPECT_EQ(nine.GetPixel(1, 75).GetValue(), kGreen);
    EXPECT_EQ(nine.GetPixel(100, 75).GetValue(), kBlue);

    dlg.SetBackMode(BACK_MODE_NORMAL);
    const Canvas& natural = PaintAll();
    EXPECT_EQ(natural.GetPixel(0, 0).GetValue(), kRed);
    EXPECT_EQ(natural.GetPixel(5, 5).GetValue(), kBlue);
    EXPECT_EQ(natural.GetPixel(50, 50).GetA(), 0);  // only the image: nothing beyond it

    EXPECT_FALSE(dlg.LoadBKImage(L"no_such_background.png"));
    const Canvas& plain = PaintAll();  // the old image is gone: plain colours again
    EXPECT_TRUE(Near(plain.GetPixel(0, 0), kBorder));
    EXPECT_TRUE(Near(plain.GetPixel(100, 75), kBack));
}

TEST_F(Pipeline, SingleLineLabelsAlignInTheirRectAndStayInsideIt) {
    const CRect rect(10, 10, 190, 140);
    MText* label = Label(L"Ag", rect, 0, 0);
    CRect ink = RedInk(PaintAll());
    EXPECT_LE(ink.left, 13);
    EXPECT_LE(ink.top, 22);
    label->SetAlignment(1, 4);
    ink = RedInk(PaintAll());
    EXPECT_LE(std::abs(ink.CenterPoint().x - 100), 3);
    EXPECT_LE(std::abs(ink.CenterPoint().y - 75), 6);
    label->SetAlignment(2, 8);
    ink = RedInk(PaintAll());
    EXPECT_GE(ink.right, 186);
    EXPECT_GE(ink.bottom, 130);

    label->SetTitle(L"Ag    ");  // trailing spaces count when the text is placed
    EXPECT_LT(RedInk(PaintAll()).right, ink.right - 10);

    label->SetTitle(L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    label->SetAlignment(1, 4);
    ink = RedInk(PaintAll());
    EXPECT_EQ(ink.left, rect.left);  // cut at both sides, nothing outside
    EXPECT_EQ(ink.right, rect.right);
}

TEST_F(Pipeline, MultiLineLabelsWrapAlignPerLineAndAreNotClipped) {
    MText* label = Label(L"Vantorel Mouse settings for the button map", CRect(10, 10, 190, 140), 2, 8, true);
    const Canvas& shown = PaintAll();
    std::vector<CRect> lines = RedLines(shown);
    ASSERT_GE(lines.size(), 2u);
    for (const CRect& line : lines) EXPECT_GE(line.right, 186);  // each line on its own against the right
    EXPECT_GE(lines.back().bottom, 130);
    EXPECT_GT(RedInk(shown).left, 20);  // no line is as wide as the rect

    label->SetRect(CRect(10, 10, 190, 30));
    label->SetAlignment(0, 0);
    EXPECT_GT(RedInk(PaintAll()).bottom, 60);  // runs on below its rect
}

TEST_F(Pipeline, ProgressFadesByTenEveryFiftyMillisecondsUntilBelowTwenty) {
    PaintManager& pm = dlg.GetPaintManager();
    pm.SetProgress(100, L"Saving", CRect());
    H::AdvanceClock(500);
    EXPECT_EQ(pm.GetProgressShown(), 100);
    H::AdvanceClock(1190);  // 23 fade steps: 255 - 230 = 25 is still shown
    EXPECT_EQ(pm.GetMessageText(), L"Saving");
    H::AdvanceClock(10);  // the 24th step falls below 20
    EXPECT_TRUE(pm.GetMessageText().empty());
}

TEST_F(Pipeline, ProgressBelowFiveStopsAFadeAndTheBandSitsAtTheBottom) {
    PaintManager& pm = dlg.GetPaintManager();
    pm.SetProgress(100, L"Saving", CRect());
    H::AdvanceClock(600);  // fading
    pm.SetProgress(3, L"Again", CRect());
    H::AdvanceClock(5000);
    EXPECT_EQ(pm.GetMessageText(), L"Again");
    EXPECT_EQ(pm.GetProgressShown(), 3);

    // The band runs from 60 pixels above the bottom to 2 above it, outlined.
    const Canvas& c = PaintAll();
    EXPECT_EQ(c.GetPixel(100, 90).GetValue(), 0xFF6D6D6Du);
    EXPECT_EQ(c.GetPixel(100, 147).GetValue(), 0xFF6D6D6Du);
    EXPECT_TRUE(Near(c.GetPixel(100, 89), kBack));
    EXPECT_TRUE(Near(c.GetPixel(100, 148), kBack));
}

TEST_F(Pipeline, TheImageCacheLivesWithTheWindowsDataAndKeepsModulesApart) {
    Canvas strip(40, 6), square(6, 6);
    const std::wstring stripPath = Png("cache_strip.png", strip),
                       squarePath = Png("cache_square.png", square);
    PaintManager& pm = dlg.GetPaintManager();
    EXPECT_EQ(pm.AddImgResInfo(stripPath.c_str(), 4)->frameWidth, 10);

    MRender::RegisterResource(9001, L"PNG", stripPath, true);
    MRender::RegisterResource(9001, L"PNG", squarePath, false);
    ImgResInfo* app = pm.AddImgResInfo(9001, L"PNG", 4, TRUE);
    ImgResInfo* lib = pm.AddImgResInfo(9001, L"PNG", 1, FALSE);
    ASSERT_NE(app, nullptr);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(app->frameWidth, 10);
    EXPECT_EQ(lib->frameWidth, 6);
    EXPECT_EQ(pm.AddImgResInfo(9001, L"PNG", 2, TRUE), app);

    pm.DestroyData();
    EXPECT_EQ(pm.AddImgResInfo(stripPath.c_str(), 8)->frameWidth, 5);  // a fresh entry

    MText loose(nullptr, 1, CRect(0, 0, 10, 10), L"");
    EXPECT_FALSE(loose.SetImage(stripPath.c_str(), 4));  // no window yet
    EXPECT_EQ(loose.GetImage(), nullptr);
}

TEST_F(Pipeline, ImageListAppendsInsertsAndStretchesTheFirstFrame) {
    Canvas strip(30, 10);
    strip.FillRect(CRect(0, 0, 10, 10), Color(kRed));
    strip.FillRect(CRect(10, 0, 30, 10), Color(kBlue));
    const std::wstring path = Png("list.png", strip);
    MImageList list;
    EXPECT_EQ(list.AddImage(path.c_str(), 3, 1), 0);
    EXPECT_EQ(list.InsertImage(-1, path.c_str(), 3, 2), 1);
    EXPECT_EQ(list.InsertImage(2, path.c_str(), 3, 3), 2);  // before the end: appended
    EXPECT_EQ(list.InsertImage(-2, path.c_str(), 3, 4), -1);
    EXPECT_EQ(list.GetImagePath(2), path);

    Canvas c(40, 20);
    list.DrawItemIcon(c, CRect(0, 0, 40, 20), 0);
    EXPECT_EQ(c.GetPixel(0, 0).GetValue(), kRed);
    EXPECT_EQ(c.GetPixel(39, 19).GetValue(), kRed);  // frame 0 only, stretched

    list.DelAllImages();
    EXPECT_EQ(list.GetImageCount(), 0);
    EXPECT_EQ(list.GetItemImageData(0), nullptr);
    EXPECT_TRUE(list.GetImagePath(0).empty());
}
