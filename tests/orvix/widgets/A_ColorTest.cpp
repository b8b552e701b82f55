// Colour conversions, the hue bar, the ring, the palettes and the colour
// buttons with their groups and value edit; which factory makes each widget.
#include <cstdlib>

#include "A_WidgetsFixture.h"
#include "orvix/widgets/CColorButton.h"
#include "orvix/widgets/CColorPalette.h"
#include "orvix/widgets/CColorSelect.h"
#include "orvix/widgets/CirclePalette.h"
#include "orvix/widgets/ColorButtonEx.h"
#include "orvix/widgets/HslColor.h"
#include "orvix/widgets/MPalette.h"
#include "orvix/widgets/PaletteBar.h"

using namespace WidgetsTest;

namespace {

class Colours : public WidgetsTest::WidgetsTest {};

TEST(HslColour, GreyAndPureRedAndBackAgain) {
    EXPECT_EQ(HSLToRGB(0.3, 0, 0.5), RGB(127, 127, 127));
    EXPECT_EQ(HSLToRGB(0, 1, 0.5), RGB(255, 0, 0));
    EXPECT_EQ(HSLToRGB(1, 1, 0.5), RGB(255, 0, 0));  // hue wraps
    EXPECT_EQ(HSLToRGB(1.0 / 3, 1, 0.5), RGB(0, 255, 0));
    for (COLORREF c : {COLORREF(0x0108F1), COLORREF(0x20A3FF), COLORREF(0xCBC0FF), COLORREF(0x800080)}) {
        const Hsl hsl = RGBToHSL(c);
        const COLORREF back = HSLToRGB(hsl.h, hsl.s, hsl.l);
        for (int shift : {0, 8, 16})
            EXPECT_LE(std::abs(int((back >> shift) & 0xFF) - int((c >> shift) & 0xFF)), 1) << std::hex << c;
    }
}

TEST_F(Colours, HueBarColoursCarryTheAlphaByte) {
    auto* bar = InPage<PaletteBar>(L"PaletteBar", CRect(20, 20, 390, 44));
    EXPECT_EQ(bar->GetCurrentHue(), 180);
    EXPECT_EQ(bar->PaletteHSLToRGB(0), 0xFF7F7F7Fu);
    bar->SetCurrentHue(0);
    EXPECT_EQ(bar->PaletteHSLToRGB(200), 0xFF0000FFu);
    bar->SetCurrentHue(120);  // 120 x 360 / 360 = 120 degrees: green
    EXPECT_EQ(bar->PaletteHSLToRGB(200), 0xFF00FF00u);
}

TEST_F(Colours, HueBarFollowsPressesDragsAndTheWheelWithinItsEnds) {
    auto* bar = InPage<PaletteBar>(L"PaletteBar", CRect(20, 20, 390, 44));
    ClickAt(120, 30);
    EXPECT_EQ(bar->GetCurrentHue(), 95);
    EXPECT_EQ(Codes(2).size(), 1u);
    Press(20 + 95 + 3, 30);  // on the thumb: dragging
    EXPECT_TRUE(bar->IsDragging());
    Move(1000, 30);
    EXPECT_EQ(bar->GetCurrentHue(), 360);
    Release(1000, 300);  // outside: no click
    EXPECT_EQ(Codes(2).size(), 1u);
    H::Wheel(hwnd, 100, 30, 120);
    Pump();
    EXPECT_EQ(bar->GetCurrentHue(), 360);
    H::Wheel(hwnd, 100, 30, -240);
    Pump();
    EXPECT_EQ(bar->GetCurrentHue(), 356);
}

TEST_F(Colours, RingTakesOnlyPointsOnTheRing) {
    auto* ring = Make<CirclePalette>(L"CirclePalette", CRect(100, 50, 340, 290));
    const CPoint c(220, 170);
    const CRect before = ring->GetThumbRect();
    ClickAt(c.x + 40, c.y);   // the middle
    ClickAt(c.x + 118, c.y);  // beyond the ring, still on the control
    EXPECT_TRUE(Codes(27).empty());
    EXPECT_EQ(ring->GetThumbRect(), before);
    EXPECT_EQ(ring->GetDistanse(CPoint(c.x + 3, c.y + 4)), 5);

    ClickAt(c.x, c.y + 90);  // straight down: a quarter turn from red
    ASSERT_EQ(Codes(27).size(), 1u);
    EXPECT_EQ(COLORREF(Codes(27)[0].lParam), HSLToRGB(0.25, 1, 0.5));
    EXPECT_EQ(ring->GetSelectColor(), HSLToRGB(0.25, 1, 0.5));
    EXPECT_EQ(ring->GetThumbRect().CenterPoint(), CPoint(c.x, c.y + 90));
}

TEST_F(Colours, PaletteSquareAndLightnessBarMakeTheColour) {
    auto* palette = Make<MPalette>(L"MPalette", CRect(50, 50, 450, 250));
    EXPECT_EQ(palette->GetSelectColor(), HSLToRGB(0.5, 1, 0.6));
    palette->SetSelectColor(RGB(255, 0, 0));
    EXPECT_EQ(palette->GetHue(), 0);
    EXPECT_EQ(palette->GetSaturation(), 200);
    EXPECT_EQ(palette->GetLightness(), 100);
    EXPECT_TRUE(dlg.notifications.empty());
    const CRect bar = palette->GetBarRect();
    EXPECT_EQ(bar, CRect(450 - 32, 50, 450 - 16, 200));
    Press(bar.CenterPoint().x, bar.bottom - 1);  // darkest
    ASSERT_EQ(Codes(27).size(), 1u);
    EXPECT_EQ(COLORREF(Codes(27)[0].wParam), RGB(0, 0, 0));
    Move(bar.CenterPoint().x, 2000);  // a drag below the bar stays black: nothing new
    EXPECT_EQ(Codes(27).size(), 1u);
    Release(bar.CenterPoint().x, 2000);
    const CRect sq = palette->GetPaletteRect();
    const CRect travel = palette->GetSquareTravel();  // the thumb's centre stays half a thumb inside
    ClickAt(travel.left + ((travel.Width() - 1) * 120 + 180) / 360, sq.top);  // a third of the way: green
    EXPECT_EQ(palette->GetHue(), 120);
    EXPECT_EQ(palette->GetSaturation(), 200);
}

TEST_F(Colours, PresetPalettesSendTheChosenColour) {
    auto* palette = InPage<CColorPalette>(L"CColorPalette", CRect(20, 20, 300, 120));
    const CRect cell = palette->GetCellRect(4);
    ClickAt(cell.CenterPoint().x, cell.CenterPoint().y);
    ASSERT_EQ(Codes(27).size(), 1u);
    EXPECT_EQ(COLORREF(Codes(27)[0].lParam), palette->GetColors()[4]);
    EXPECT_EQ(palette->GetSelectColor(), palette->GetColors()[4]);
    palette->SetSelectColor(0x123456);
    EXPECT_EQ(palette->GetSelectIndex(), -1);
    EXPECT_EQ(palette->GetSelectColor(), 0x123456u);

    auto* row = InPage<CColorSelect>(L"CColorSelect", CRect(20, 140, 500, 180), 8);
    row->SetColorIndex(2);
    EXPECT_EQ(row->GetSelectColor(), 0xFF0C00u);
    EXPECT_EQ(Codes(27).size(), 1u);
}

class ColourButtons : public WidgetsTest::WidgetsTest {
  protected:
    CColorButton* Button(UINT id, int x, const wchar_t* group) {
        auto* b = Make<CColorButton>(L"CColorButton", CRect(x, 300, x + 30, 330), nullptr, id);
        b->SetGroupName(group);
        return b;
    }
};

TEST_F(ColourButtons, PressingOneUnchecksOnlyItsGroup) {
    CColorButton* a1 = Button(11, 20, L"DEFAULTCOLOR");
    CColorButton* a2 = Button(12, 60, L"DEFAULTCOLOR");
    CColorButton* a3 = Button(13, 100, L"DEFAULTCOLOR");
    CColorButton* b1 = Button(14, 140, L"OTHER");
    a2->SetCheck(TRUE);
    b1->SetCheck(TRUE);
    a3->SetControlCheck(TRUE);  // no group reset
    EXPECT_TRUE(a2->GetCheck());
    a3->SetVisible(FALSE);
    ClickAt(35, 315);
    EXPECT_TRUE(a1->GetCheck());
    EXPECT_FALSE(a2->GetCheck());
    EXPECT_TRUE(a3->GetCheck());  // hidden members are left alone
    EXPECT_TRUE(b1->GetCheck());
    ASSERT_EQ(dlg.notifications.size(), 2u);
    EXPECT_EQ(dlg.notifications[0].code, 1u);
    EXPECT_EQ(dlg.notifications[1].code, 2u);
    EXPECT_EQ(dlg.notifications[1].id, 11u);
}

TEST_F(ColourButtons, ADisabledButtonKeepsItsCheckAndLooksPressedWhenChecked) {
    CColorButton* b = Button(11, 20, L"G");
    b->SetColor(0x0000FF);
    b->SetCheck(TRUE);
    const Canvas& shown = Paint();
    EXPECT_EQ(Px(shown, 20, 315), 0xFFFFFFFFu);  // the white frame of the pressed look
    EXPECT_EQ(Px(shown, 35, 315), 0xFFFF0000u);
    b->SetEnabled(FALSE);
    EXPECT_TRUE(b->SetCheck(FALSE));
    EXPECT_TRUE(b->GetCheck());
}

TEST_F(ColourButtons, ValueButtonEditsItsNumberAndChecksByKeyboard) {
    auto* b = InPage<ColorButtonEx>(L"ColorButtonEx", CRect(20, 300, 100, 340));
    b->SetValue(50);
    dlg.GetPaintManager().SetFocusControl(b);
    Key(VK_SPACE);
    ASSERT_EQ(Codes(7).size(), 1u);
    EXPECT_EQ(Codes(7)[0].lParam, LPARAM(1));
    EXPECT_TRUE(b->GetCheck());
    ClickAt(60, 320);  // checked already: the press opens the edit
    ASSERT_TRUE(b->IsEditing());
    Key(VK_BACK);
    Type(L"7");
    Key(VK_RETURN);
    EXPECT_FALSE(b->IsEditing());
    EXPECT_EQ(b->GetValue(), 57);
    EXPECT_EQ(Codes(30).size(), 1u);
    EXPECT_EQ(Codes(26).size(), 2u);
    EXPECT_EQ(Codes(29).size(), 1u);
}

TEST_F(Colours, EachWidgetIsMadeByTheFactoriesThatListIt) {
    const struct {
        const wchar_t* name;
        bool window, container;
    } names[] = {
        {L"DPIControl", false, true},  {L"DPISlider", true, true},      {L"LightSlider", true, true},
        {L"CDeviceList", true, true},  {L"BatteryCtrl", true, false},   {L"CDeviceState", true, false},
        {L"ReporteCtrl", false, true}, {L"PaletteBar", false, true},    {L"CirclePalette", true, true},
        {L"MPalette", true, true},     {L"CColorPalette", true, true},  {L"CColorSelect", true, true},
        {L"CColorButton", true, true}, {L"ColorButtonEx", false, true},
    };
    UINT id = 100;
    for (const auto& n : names) {
        MControl* top = dlg.CreateControl(n.name, id++, CRect(0, 0, 10, 10));
        MControl* inner = page->CreateControl(n.name, id++, CRect(0, 0, 10, 10));
        EXPECT_EQ(top != nullptr, n.window) << WideToUtf8(n.name);
        EXPECT_EQ(inner != nullptr, n.container) << WideToUtf8(n.name);
        if (inner) {
            EXPECT_STREQ(inner->GetClassNameW(), n.name);
        }
    }
}

}  // namespace

namespace {

TEST_F(Colours, ARingImageGivesThePickedColour) {
    auto* ring = Make<CirclePalette>(L"CirclePalette", CRect(100, 50, 340, 290));
    ASSERT_TRUE(ring->SetImage(Strip({0xFF2040C0}, 240, 240).c_str()));
    ClickAt(220 - 100, 170);
    ASSERT_EQ(Codes(27).size(), 1u);
    EXPECT_EQ(COLORREF(Codes(27)[0].lParam), RGB(0x20, 0x40, 0xC0));
}

TEST_F(Colours, ABarNoWiderThanItsThumbStaysAtTheFirstHue) {
    auto* bar = InPage<PaletteBar>(L"PaletteBar", CRect(20, 20, 30, 44));
    EXPECT_EQ(bar->GetCurrentHue(), 180);  // as made; the first move brings it in
    ClickAt(25, 30);
    EXPECT_EQ(bar->GetCurrentHue(), 0);
    EXPECT_EQ(bar->PaletteHSLToRGB(200), 0xFF0000FFu);
}

TEST_F(Colours, GreysAndWhiteConvertWithoutSaturation) {
    auto* palette = Make<MPalette>(L"MPalette", CRect(50, 50, 450, 250));
    palette->SetSelectColor(RGB(255, 255, 255));
    EXPECT_EQ(palette->GetSaturation(), 0);
    EXPECT_EQ(palette->GetLightness(), 200);
    EXPECT_EQ(palette->GetSelectColor(), RGB(255, 255, 255));
    palette->SetSelectColor(RGB(0, 0, 255));
    EXPECT_EQ(palette->GetHue(), 240);
}

TEST_F(ColourButtons, LosingTheFocusEndsTheValueEdit) {
    auto* b = InPage<ColorButtonEx>(L"ColorButtonEx", CRect(20, 300, 100, 340));
    b->SetValue(10);
    b->SetCheck(TRUE);
    ClickAt(60, 320);
    ASSERT_TRUE(b->IsEditing());
    Type(L"0");
    ClickAt(500, 100);
    EXPECT_FALSE(b->IsEditing());
    EXPECT_EQ(b->GetValue(), 100);
    EXPECT_EQ(b->GetEditText(), L"100");
}

}  // namespace
