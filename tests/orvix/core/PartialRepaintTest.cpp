// A repaint after a change redraws only the damaged rect of the kept back buffer;
// the result must be, pixel for pixel, what a full repaint gives. Also the text
// layout cache of labels: laid out once, redrawn as a blit until an input changes.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Tracer.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"

using namespace ToolkitTest;

namespace {

constexpr CRect kWindow(0, 0, 320, 200);

// A window with a nine-slice background image, labels (single and multi-line)
// and translucent cached controls lying over and under them.
class Scene {
  public:
    explicit Scene(const std::wstring& background) {
        hwnd = dlg.Open(kWindow);
        Platform::RunPending();
        if (!background.empty()) {
            dlg.LoadBKImage(background);
            dlg.SetBackMode(BACK_MODE_NINE, 4);
        }
        under = dlg.Add(new Tracer(&dlg, 10, CRect(5, 5, 150, 90), &log));
        under->fill = Color(0x8000FF00);
        title = Label(11, CRect(20, 20, 200, 50), L"Title", false);
        body = Label(12, CRect(20, 60, 160, 120), L"A wrapped text that runs over several lines", true);
        over = dlg.Add(new Tracer(&dlg, 13, CRect(120, 30, 260, 100), &log));
        over->fill = Color(0x400000FF);
        apart = Label(14, CRect(200, 150, 310, 190), L"Apart", false);
    }
    ~Scene() { dlg.DestroyWindow(); }

    MText* Label(UINT id, CRect rect, const wchar_t* text, bool multiLine) {
        auto* label = static_cast<MText*>(dlg.CreateControl(L"MText", id, rect, text));
        label->SetFont(kEmbeddedFontFamily, 15, 0);
        label->SetTextColor(Color(0xFFFFE040));
        label->EnableMultiLine(multiLine);
        return label;
    }
    const Canvas& Paint() {
        Platform::UpdateWindow(hwnd);
        return *Platform::GetPresentedImage(hwnd);
    }
    const Canvas& PaintAll() {
        Platform::InvalidateRect(hwnd);
        return Paint();
    }

    Log log;
    TestDialog dlg;
    HWND hwnd = nullptr;
    Tracer* under = nullptr;
    Tracer* over = nullptr;
    MText* title = nullptr;
    MText* body = nullptr;
    MText* apart = nullptr;
};

// The first pixel where two images differ, or an empty text.
std::string FirstDifference(const Canvas& a, const Canvas& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return "sizes differ";
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetData()[y * a.GetStride() + x] != b.GetData()[y * b.GetStride() + x]) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d): %08X != %08X", x, y,
                              a.GetData()[y * a.GetStride() + x], b.GetData()[y * b.GetStride() + x]);
                return text;
            }
    return {};
}

std::unique_ptr<Canvas> Copy(const Canvas& c) {
    auto copy = std::make_unique<Canvas>(c.GetWidth(), c.GetHeight());
    copy->DrawCanvas(c, c.GetRect(), c.GetRect(), Canvas::Blend::Copy);
    return copy;
}

class PartialRepaint : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        RegisterEmbeddedFont();
        Canvas source(12, 12);
        PaintNineSlice(source);
        background = TempPng("partial_back.png", source);
    }
    void TearDown() override {
        std::remove(WideToUtf8(background).c_str());
        HeadlessTest::TearDown();
    }
    std::wstring background;
};

}  // namespace

TEST_F(PartialRepaint, AChangedLabelGivesTheBufferOfAWindowPaintedWholeWithIt) {
    for (bool withImage : {true, false}) {
        Scene changed(withImage ? background : L"");
        changed.PaintAll();
        changed.title->SetTitle(L"Changed");
        changed.body->SetTitle(L"Another wrapped text, over lines again");
        const CRect damaged = Platform::GetUpdateRect(changed.hwnd);
        EXPECT_LT(damaged.Width() * damaged.Height(), kWindow.Width() * kWindow.Height() / 2)
            << damaged.right;
        const auto partial = Copy(changed.Paint());

        Scene fresh(withImage ? background : L"");
        fresh.title->SetTitle(L"Changed");
        fresh.body->SetTitle(L"Another wrapped text, over lines again");
        EXPECT_EQ(FirstDifference(*partial, fresh.PaintAll()), "") << (withImage ? "image" : "colours");
        EXPECT_EQ(FirstDifference(*partial, changed.PaintAll()), "");
    }
}

TEST_F(PartialRepaint, EverySmallChangeMatchesAFullRepaint) {
    Scene scene(background);
    scene.PaintAll();
    const std::function<void()> changes[] = {
        [&] { scene.apart->SetTitle(L"Moved on"); },
        [&] { scene.over->SetVisible(FALSE); },
        [&] { scene.title->SetRect(CRect(40, 30, 220, 60)); },
        [&] { scene.over->SetVisible(TRUE); },
        [&] { scene.under->UpdateControl(TRUE); },  // repainted from scratch under the others
        [&] { scene.body->SetTextColor(Color(0xFF40E0FF)), scene.body->UpdateControl(TRUE); },
        [&] {
            CRect corner(300, 0, 320, 20);
            Platform::InvalidateRect(scene.hwnd, &corner);  // damage with no control in it
        },
    };
    int step = 0;
    for (const auto& change : changes) {
        change();
        const auto partial = Copy(scene.Paint());
        EXPECT_EQ(FirstDifference(*partial, scene.PaintAll()), "") << "step " << step;
        ++step;
    }
}

TEST_F(PartialRepaint, AWrappedLabelIsLaidOutAgainOnlyWhenAnInputChanged) {
    Canvas a(200, 100), b(200, 100);
    TextStyle style;
    style.family = kEmbeddedFontFamily;
    style.pixelSize = 15;
    style.wrap = true;
    style.clip = false;
    const CRect rect(10, 10, 120, 40);  // the text runs below it: not clipped
    const std::wstring text = L"A wrapped text that runs over several lines";
    a.DrawText(text, rect, Color(0xFFFFFFFF), style);

    TextBlock block;
    block.Draw(b, text, rect, Color(0xFFFFFFFF), style);
    EXPECT_FALSE(block.WasReused());
    EXPECT_EQ(FirstDifference(a, b), "") << "the blit draws what direct drawing draws";
    b.Clear();
    block.Draw(b, text, rect, Color(0xFFFFFFFF), style);
    EXPECT_TRUE(block.WasReused());
    EXPECT_EQ(FirstDifference(a, b), "");

    TextStyle bold = style;
    bold.style = 1;
    for (auto draw : std::vector<std::function<void()>>{
             [&] { block.Draw(b, text + L"!", rect, Color(0xFFFFFFFF), style); },
             [&] { block.Draw(b, text, CRect(10, 10, 100, 40), Color(0xFFFFFFFF), style); },
             [&] { block.Draw(b, text, rect, Color(0xFFFF0000), style); },
             [&] { block.Draw(b, text, rect, Color(0xFFFF0000), bold); }}) {
        draw();
        EXPECT_FALSE(block.WasReused());
    }
}
