// Indicators drawn whole inside their controls (thumbs, selection rings, check
// marks, the charging mark, slider notches), device cards that show only what
// belongs to them, and a disabled level bar that still shows its level.
#include <algorithm>

#include "orvix/controls/MLevelCtrl.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Fonts.h"
#include "orvix/widgets/CColorPalette.h"
#include "orvix/widgets/CColorSelect.h"
#include "orvix/widgets/CDeviceList.h"
#include "orvix/widgets/LightSlider.h"
#include "orvix/widgets/MPalette.h"
#include "tests/orvix/widgets/A_WidgetsFixture.h"

namespace WidgetsTest {
namespace {

bool IsWhite(Color c) {
    return c.GetR() > 200 && c.GetG() > 200 && c.GetB() > 200;
}
bool IsGrey(Color c) {
    return std::abs(c.GetR() - c.GetG()) < 24 && std::abs(c.GetG() - c.GetB()) < 24;
}

// The rows of column `x` between `top` and `bottom` whose pixel passes `test`.
template <typename Test>
std::pair<int, int> RowsWhere(const Canvas& c, int x, int top, int bottom, Test test) {
    int first = bottom, last = top - 1;
    for (int y = top; y < bottom; ++y)
        if (test(c.GetPixel(x, y))) first = std::min(first, y), last = std::max(last, y);
    return {first, last};
}

// Every pixel that differs between two pictures lies inside `inside`.
::testing::AssertionResult ChangesOnlyInside(const Canvas& a, const Canvas& b, const CRect& inside) {
    int changed = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            if (a.GetPixel(x, y).GetValue() == b.GetPixel(x, y).GetValue()) continue;
            ++changed;
            if (!inside.PtInRect(CPoint(x, y)))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " changed outside";
        }
    if (!changed) return ::testing::AssertionFailure() << "nothing changed";
    return ::testing::AssertionSuccess();
}

bool Same(const Canvas& a, const Canvas& b) {
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetPixel(x, y).GetValue() != b.GetPixel(x, y).GetValue()) return false;
    return true;
}

std::unique_ptr<Canvas> Copy(const Canvas& c) {
    auto copy = std::make_unique<Canvas>(c.GetWidth(), c.GetHeight());
    copy->DrawCanvas(c, c.GetRect(), c.GetRect(), Canvas::Blend::Copy);
    return copy;
}

class IndicatorTest : public WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        ASSERT_TRUE(RegisterEmbeddedFont());
    }
};

TEST_F(IndicatorTest, ThePaletteThumbAtFullSaturationIsWholeInsideTheSquare) {
    auto* palette = Make<MPalette>(L"MPalette", CRect(20, 20, 300, 200));
    ASSERT_NE(palette, nullptr);
    palette->SetSelectColor(RGB(255, 0, 0));  // saturation 200: the square's top row
    EXPECT_EQ(palette->GetSaturation(), 200);
    const CPoint c = palette->GetSquareThumb();
    const Canvas& img = Paint();
    // Its black and white ring stands out of the saturated red: it starts below
    // the control's top and reaches as far up as down.
    auto [top, bottom] = RowsWhere(img, c.x, 20, c.y + 12, IsGrey);
    EXPECT_GT(top, 20);
    EXPECT_LE(std::abs((c.y - top) - (bottom - c.y)), 1) << top << ".." << bottom << " around " << c.y;
    // A press at the thumb picks what it shows: full saturation.
    ClickAt(c.x, c.y);
    EXPECT_EQ(palette->GetSaturation(), 200);
}

TEST_F(IndicatorTest, TheColourRowsRingIsWholeInALowRow) {
    auto* row = Make<CColorSelect>(L"CColorSelect", CRect(20, 20, 360, 50));
    ASSERT_NE(row, nullptr);
    row->SetColorIndex(5);
    const CRect cell = row->GetCellRect(5);
    ASSERT_GE(cell.top, 20);
    const Canvas& img = Paint();
    auto [top, bottom] = RowsWhere(img, cell.CenterPoint().x, 20, 50, IsWhite);
    EXPECT_LT(top, cell.top);        // ring above the swatch
    EXPECT_GE(bottom, cell.bottom);  // and below it
    EXPECT_GE(top, 20);              // all inside the control
    EXPECT_LT(bottom, 50);
}

TEST_F(IndicatorTest, ThePaletteCheckMarkLeavesItsNeighboursAlone) {
    auto* grid = Make<CColorPalette>(L"CColorPalette", CRect(20, 20, 244, 194));
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE(grid->SetThumbImage(L"img_color_check.png"));
    grid->SetSelectColor(grid->GetColors()[9]);
    ASSERT_EQ(grid->GetSelectIndex(), 9);
    const Canvas& img = Paint();
    for (int neighbour : {8, 10, 1, 17}) {
        const CRect n = grid->GetCellRect(neighbour);
        const uint32_t colour = Color::FromCOLORREF(grid->GetColors()[size_t(neighbour)]).GetValue();
        const int y = n.CenterPoint().y, x = n.CenterPoint().x;
        for (int px = n.left; px < n.right; ++px)
            EXPECT_EQ(img.GetPixel(px, y).GetValue(), colour) << neighbour;
        for (int py = n.top; py < n.bottom; ++py)
            EXPECT_EQ(img.GetPixel(x, py).GetValue(), colour) << neighbour;
    }
    const CRect first = grid->GetCellRect(0);
    EXPECT_GT(first.left, 20);  // room for an edge cell's ring
    EXPECT_GT(first.top, 20);
}

TEST_F(IndicatorTest, TheFirstNotchOfTheLightSliderLiesOnTheTrack) {
    auto* slider = Make<LightSlider>(L"LightSlider", CRect(20, 20, 420, 52));
    ASSERT_NE(slider, nullptr);
    slider->SetProgress(0);
    const int first = slider->GetThumbRect().CenterPoint().x;  // position 0 is the first notch
    slider->SetProgress(5);
    const Canvas& img = Paint();
    const Color left = img.GetPixel(first - 2, 36);  // the notch's left edge
    const Color before = img.GetPixel(first - 3, 36);
    // The filled (accent) track, not the dark backdrop.
    EXPECT_TRUE(before.GetG() > 150 && before.GetB() > 150 && before.GetR() < 120)
        << std::hex << before.GetValue();
    EXPECT_NE(left.GetValue(), img.GetPixel(first - 12, 36).GetValue());
}

class DeviceCardTest : public IndicatorTest {
  protected:
    void SetUp() override {
        IndicatorTest::SetUp();
        list = Make<CDeviceList>(L"CDeviceList", CRect(20, 20, 480, 204));
        ASSERT_NE(list, nullptr);
        list->SetBatteryBkg(L"icon/icon_battery_bkg.png");
        ASSERT_TRUE(list->SetBatteryIcon(L"icon/icon_batteryvalue.png", L"icon/icon_charge.png"));
        list->AddDevice(L"V6 Lite", 102, Manager::GetSkinPath(L"device/vantorel_v6.png"));
        list->SetDeviceState(102, 0, 1);  // on its cable
    }
    // The first card: 200 wide, the control's height, inside its 2-pixel frame.
    CRect CardInside() const { return CRect(22, 22, 218, 202); }
    CDeviceList* list = nullptr;
};

TEST_F(DeviceCardTest, TheChargingMarkIsDrawnInsideTheCard) {
    auto before = Copy(Paint());
    list->SetDeviceBattery(102, 1, 55);
    EXPECT_TRUE(ChangesOnlyInside(*before, Paint(), CardInside()));
}

TEST_F(DeviceCardTest, OnlyReceiverCardsShowTheWirelessMark) {
    auto plain = Copy(Paint());
    list->SetDevModeImage(L"device_mode.png");
    EXPECT_TRUE(Same(*plain, Paint()));  // nothing on a cable card
    list->ClearList();
    list->SetDevModeImage(L"");
    list->AddDevice(L"V8", 101, Manager::GetSkinPath(L"device/vantorel_v8.png"));
    list->SetDeviceState(101, 1, 1);
    auto receiver = Copy(Paint());
    list->SetDevModeImage(L"device_mode.png");
    EXPECT_TRUE(ChangesOnlyInside(*receiver, Paint(), CardInside()));
}

TEST_F(DeviceCardTest, TheNameIsNotDrawnOverThePicture) {
    list->ClearList();
    list->AddDevice(L"", 102, L"/no/picture.png");
    list->SetDeviceState(102, 0, 1);
    auto bare = Copy(Paint());
    list->ClearList();
    list->AddDevice(L"", 102, Manager::GetSkinPath(L"device/vantorel_v6.png"));
    list->SetDeviceState(102, 0, 1);
    auto picture = Copy(Paint());
    list->ClearList();
    list->AddDevice(L"WWWWWWWWWWWW", 102, L"/no/picture.png");
    list->SetDeviceState(102, 0, 1);
    const Canvas& named = Paint();
    int pictureBottom = 0, nameTop = 1000;
    for (int y = 0; y < bare->GetHeight(); ++y)
        for (int x = 0; x < bare->GetWidth(); ++x) {
            const uint32_t b = bare->GetPixel(x, y).GetValue();
            if (picture->GetPixel(x, y).GetValue() != b) pictureBottom = std::max(pictureBottom, y);
            if (named.GetPixel(x, y).GetValue() != b) nameTop = std::min(nameTop, y);
        }
    ASSERT_GT(pictureBottom, 0);
    ASSERT_LT(nameTop, 1000);
    EXPECT_LT(pictureBottom, nameTop);
}

TEST_F(IndicatorTest, ADisabledLevelBarStillShowsItsLevel) {
    auto* level = Make<MLevelCtrl>(L"MLevelCtrl", CRect(20, 20, 200, 40));
    ASSERT_NE(level, nullptr);
    level->SetRangeValue(1, 6);
    level->SetLevelValue(3);
    level->SetEnabled(FALSE);
    const Canvas& img = Paint();
    const CRect lit = level->GetSegmentRect(0), dark = level->GetSegmentRect(5);
    EXPECT_NE(img.GetPixel(lit.CenterPoint().x, lit.CenterPoint().y).GetValue(),
              img.GetPixel(dark.CenterPoint().x, dark.CenterPoint().y).GetValue());
    level->SetImage(L"img_level.png", 4);
    const Canvas& skinned = Paint();
    EXPECT_NE(skinned.GetPixel(lit.CenterPoint().x, lit.CenterPoint().y).GetValue(),
              skinned.GetPixel(dark.CenterPoint().x, dark.CenterPoint().y).GetValue());
}

}  // namespace
}  // namespace WidgetsTest
