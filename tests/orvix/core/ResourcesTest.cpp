// Images, image lists, overlays, the caret, geometry rules and the container
// rules that do not need a mouse.
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "ToolkitFixture.h"
#include "orvix/core/MImageList.h"
#include "base/TextConv.h"

using namespace ToolkitTest;
namespace H = Orvix::Headless;

namespace {

// A 1 x 1 GIF with two frames: white for 100 ms, then black for 200 ms.
const unsigned char kTwoFrameGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00,
    0x00, 0x00, 0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x21, 0xF9, 0x04, 0x00, 0x14, 0x00, 0x00, 0x00, 0x2C,
    0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x4C, 0x01, 0x00, 0x3B};

}  // namespace

TEST(Geometry, RectsFollowWin32Rules) {
    CRect r(10, 10, 20, 20);
    EXPECT_TRUE(r.PtInRect(CPoint(10, 10)));
    EXPECT_FALSE(r.PtInRect(CPoint(20, 15)));  // right and bottom are exclusive
    CRect out;
    EXPECT_FALSE(out.IntersectRect(r, CRect(20, 10, 30, 20)));
    EXPECT_TRUE(out.IsRectNull());
    EXPECT_EQ(r | CRect(), r);  // empty rects take no part in a union
    EXPECT_EQ(r | CRect(0, 0, 5, 5), CRect(0, 0, 20, 20));
    EXPECT_EQ(GET_X_LPARAM(MAKELPARAM(-1, -1)), -1);
    EXPECT_EQ(Color::FromCOLORREF(RGB(1, 2, 3)).GetValue(), 0xFF010203u);
    EXPECT_EQ(Color(0x80112233).ToCOLORREF(), RGB(0x11, 0x22, 0x33));
}

TEST(Geometry, PositionItemModes) {
    EXPECT_EQ(MControl::PositionItem2Value({0, FALSE, 5}, 10, 110), 15);
    EXPECT_EQ(MControl::PositionItem2Value({0, TRUE, 5}, 10, 110), 105);
    EXPECT_EQ(MControl::PositionItem2Value({1, FALSE, 5}, 10, 110), 65);
    EXPECT_EQ(MControl::PositionItem2Value({1, TRUE, 5}, 10, 110), 55);
    EXPECT_EQ(MControl::PositionItem2Value({2, FALSE, 50}, 10, 110), 60);
    EXPECT_EQ(MControl::PositionItem2Value({2, FALSE, 150}, 10, 110), 110);  // capped
    EXPECT_EQ(MControl::PositionItem2Value({7, FALSE, 5}, 10, 110), 0);
}

TEST(Images, GifFramesAndDelaysAreDecoded) {
    auto gif = Image::LoadFromMemory(kTwoFrameGif, sizeof kTwoFrameGif);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(gif->GetFrameCount(), 2);
    EXPECT_EQ(gif->GetFrameDelay(0), 100);
    EXPECT_EQ(gif->GetFrameDelay(1), 200);
    EXPECT_EQ(gif->GetPixel(0, 0, 0), Color(0xFFFFFFFF));
    EXPECT_EQ(gif->GetPixel(0, 0, 1), Color(0xFF000000));
    // A truncated file is refused, not half-decoded.
    EXPECT_EQ(Image::LoadFromMemory(kTwoFrameGif, 30), nullptr);
}

// A one-colour PNG written to `path`.
bool WritePicture(const std::wstring& path, int width, uint32_t argb) {
    Canvas canvas(width, 2);
    canvas.FillRect(canvas.GetRect(), Color(argb));
    return Image::FromCanvas(canvas)->SavePng(path);
}

TEST(Images, LoadsOfAFileShareOneImageUntilTheFileChanges) {
    const std::wstring path = L"/tmp/orvix_cache_" + std::to_wstring(getpid()) + L".png";
    ASSERT_TRUE(WritePicture(path, 3, 0xFFFF0000));
    auto first = Image::Load(path);
    auto second = Image::Load(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);

    // Rewritten (another size, so the change shows even within one clock tick).
    ASSERT_TRUE(WritePicture(path, 5, 0xFF0000FF));
    auto changed = Image::Load(path);
    ASSERT_NE(changed, nullptr);
    EXPECT_NE(changed, first);
    EXPECT_EQ(changed->GetWidth(), 5);
    EXPECT_EQ(changed->GetPixel(0, 0), Color(0xFF0000FF));

    // Nobody holds it: the next load decodes again and still gives the picture.
    first.reset(), second.reset(), changed.reset();
    auto again = Image::Load(path);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetWidth(), 5);
    std::remove(WideToUtf8(path).c_str());
    EXPECT_EQ(Image::Load(path), nullptr);
    EXPECT_EQ(Image::Load(L"/tmp"), nullptr);  // a folder is no picture
}

TEST(ImagesConcurrency, APreloadOnAnotherThreadIsWhatTheFirstLoadGets) {
    const std::wstring a = L"/tmp/orvix_preload_a_" + std::to_wstring(getpid()) + L".png";
    const std::wstring b = L"/tmp/orvix_preload_b_" + std::to_wstring(getpid()) + L".png";
    ASSERT_TRUE(WritePicture(a, 4, 0xFF00FF00));
    ASSERT_TRUE(WritePicture(b, 6, 0xFF00FF00));
    std::thread preload([&] { Image::Preload({a, b, L"/tmp/orvix_no_such_picture.png"}); });
    // Whether the decode has finished or not, the load waits for it or does it itself.
    auto loaded = Image::Load(a);
    preload.join();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetWidth(), 4);
    EXPECT_EQ(Image::Load(a), loaded);

    // A preloaded picture let go before anybody took it is decoded again when asked for.
    std::thread again([&] { Image::Preload({b}); });
    again.join();
    Image::ReleasePreloaded();
    auto fresh = Image::Load(b);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->GetWidth(), 6);
    std::remove(WideToUtf8(a).c_str());
    std::remove(WideToUtf8(b).c_str());
}

TEST(Images, ImageListIndexesStatesAndPaths) {
    Canvas strip(30, 10);
    strip.FillRect(CRect(0, 0, 10, 10), Color(0xFFFF0000));
    strip.FillRect(CRect(10, 0, 30, 10), Color(0xFF0000FF));
    std::wstring path = L"/tmp/orvix_list_" + std::to_wstring(getpid()) + L".png";
    ASSERT_TRUE(strip.SavePng(path));
    MImageList list;
    EXPECT_EQ(list.AddImage(path.c_str(), 3, 7), 0);
    EXPECT_EQ(list.InsertImage(0, path.c_str(), 1, 8), 0);
    EXPECT_EQ(list.InsertImage(5, path.c_str(), 1, 9), -1);
    EXPECT_EQ(list.InsertImage(0, nullptr, 1, 9), -1);
    EXPECT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(list.GetImagePathByID(7), path);
    EXPECT_EQ(list.GetImageDataByID(7)->frameWidth, 10);

    Canvas c(20, 20);
    list.DrawItemIcon(c, CRect(0, 0, 20, 20), 1, 9);  // state past the end: the last frame
    EXPECT_EQ(c.GetPixel(10, 10), Color(0xFF0000FF));
    EXPECT_EQ(c.GetPixel(2, 2).GetA(), 0);  // natural size, centred
    list.DrawItemIcon(c, CRect(0, 0, 20, 20), 5);  // out of range: nothing
    std::remove(WideToUtf8(path).c_str());
}

class Window : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 200, 150));
        Pump();
    }
    TestDialog dlg;
    HWND hwnd = nullptr;
};

TEST_F(Window, ProgressOverlayAnimatesThenFadesAway) {
    PaintManager& pm = dlg.GetPaintManager();
    pm.SetProgress(100, L"Saving", CRect());
    H::AdvanceClock(100);
    EXPECT_EQ(pm.GetProgressShown(), 20);  // two percent every 10 ms
    H::AdvanceClock(400);
    EXPECT_EQ(pm.GetProgressShown(), 100);
    EXPECT_FALSE(pm.GetMessageText().empty());
    H::AdvanceClock(2000);
    EXPECT_TRUE(pm.GetMessageText().empty());  // faded out and cleared
}

TEST_F(Window, MessageOverlayCoversItsRect) {
    dlg.SetMessage(L"Hello", CRect(20, 20, 180, 100));
    Platform::UpdateWindow(hwnd);
    const Canvas* shown = Platform::GetPresentedImage(hwnd);
    EXPECT_EQ(shown->GetPixel(21, 21), Color(0xFF6D6D6D));  // the 2-pixel outline
    EXPECT_EQ(shown->GetPixel(30, 90), Color(0xFF141414));
}

TEST_F(Window, CaretBlinksOnlyInTheActiveWindow) {
    PaintManager& pm = dlg.GetPaintManager();
    auto* owner = dlg.Add(new Probe(&dlg, 3, CRect(10, 10, 100, 40)));
    pm.CreateCaret(owner, 2, 16, Color(0xFFFF0000));
    pm.SetCaretPos(CPoint(50, 20));
    pm.ShowCaret(TRUE);
    Platform::UpdateWindow(hwnd);
    EXPECT_GT(Platform::GetPresentedImage(hwnd)->GetPixel(50, 25).GetR(), 0xF0);  // alpha 0xFE over the back
    H::AdvanceClock(Platform::GetCaretBlinkTime());
    EXPECT_FALSE(pm.IsCaretVisible());
    EXPECT_LT(Platform::GetPresentedImage(hwnd)->GetPixel(50, 25).GetR(), 0x20);
    H::AdvanceClock(Platform::GetCaretBlinkTime());
    EXPECT_TRUE(pm.IsCaretVisible());
    dlg.GetPaintManager().RemoveControl(owner);  // its caret goes with it
    EXPECT_EQ(pm.GetCurrentCaretObject(), nullptr);
}

TEST_F(Window, HidingOrMovingAControlRepaintsWhereItWas) {
    auto* probe = dlg.Add(new Probe(&dlg, 3, CRect(10, 10, 50, 40)));
    Platform::BeginPaint(hwnd);
    probe->SetVisible(FALSE);
    EXPECT_EQ(Platform::GetUpdateRect(hwnd), CRect(10, 10, 50, 40));
    probe->SetVisible(TRUE);
    Platform::BeginPaint(hwnd);
    probe->SetRect(CRect(100, 100, 120, 120));
    EXPECT_EQ(Platform::GetUpdateRect(hwnd), CRect(10, 10, 120, 120));
}

TEST_F(Window, ScrollBarsOfAContainerGetUntranslatedPoints) {
    auto* box = dlg.Add(new ScrolledBox(&dlg, 50, CRect(0, 0, 200, 150)));
    auto* bar = box->Add(new Probe(box, 1, CRect(190, 0, 200, 150)));
    auto* item = box->Add(new Probe(box, 9, CRect(0, 100, 100, 200)));
    H::MouseMove(hwnd, 195, 20);
    H::MouseMove(hwnd, 20, 20);  // content point (20, 120)
    Pump();
    EXPECT_EQ(bar->events.front(), L"move 195,20");
    EXPECT_NE(std::find(item->events.begin(), item->events.end(), L"move 20,120"), item->events.end());
}

TEST_F(Window, RemovingTheFocusControlTakesItsFocus) {
    auto* box = dlg.Add(new Box(&dlg, 50, CRect(0, 0, 200, 150)));
    auto* probe = box->Add(new Probe(box, 9, CRect(0, 0, 100, 100)));
    dlg.SetFocusControl(probe);
    ASSERT_TRUE(probe->IsFocused());
    box->RemoveControl(probe);
    EXPECT_EQ(dlg.GetPaintManager().GetFocusControl(), nullptr);
    EXPECT_EQ(dlg.GetControl(9), nullptr);
}
