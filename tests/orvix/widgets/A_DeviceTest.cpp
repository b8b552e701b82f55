// The device list (state and selection rules, cards), the battery gauge, the
// report-rate cards and the device tile.
#include "A_WidgetsFixture.h"
#include "orvix/core/MScroll.h"
#include "orvix/platform/Image.h"
#include "orvix/widgets/BatteryCtrl.h"
#include "orvix/widgets/CDeviceCtrl.h"
#include "orvix/widgets/CDeviceList.h"
#include "orvix/widgets/CDeviceState.h"
#include "orvix/widgets/ReporteCtrl.h"

using namespace WidgetsTest;

namespace {

class DeviceList : public WidgetsTest::WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        list = Make<CDeviceList>(L"CDeviceList", CRect(10, 20, 590, 320));
        list->AddDevice(L"V8 Wireless", 101, Strip({0xFF808080}, 60, 40));
        list->AddDevice(L"V6 Lite", 102, L"/nonexistent/picture.png");
        list->AddDevice(L"V8 Pro", 103, L"");
    }
    CDeviceList* list = nullptr;
};

TEST_F(DeviceList, AnEntryShowsOnlyOnceItsStateIsAboveZero) {
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetOnlineDevCount(), 0);
    EXPECT_TRUE(list->GetCardRect(0).IsRectEmpty());
    ClickAt(100, 150);
    EXPECT_TRUE(dlg.notifications.empty());

    list->SetDeviceState(102, 1, 1);
    EXPECT_EQ(list->GetOnlineDevCount(), 1);
    EXPECT_EQ(list->GetCardRect(1), CRect(10, 20, 210, 320));  // the first card, whatever the index
    list->SetDeviceState(103, 0, 2);
    EXPECT_EQ(list->GetCardRect(2), CRect(240, 20, 440, 320));
    EXPECT_EQ(list->GetDeviceState(999), 0);
}

TEST_F(DeviceList, AnOnlineEntryKeepsItsStateUnlessTheNewModeIsWired) {
    list->SetDeviceState(101, 1, 1);
    list->SetDeviceState(101, 1, 2);
    EXPECT_EQ(list->GetDeviceState(101), 1);
    list->SetDeviceState(101, 1, 0);
    EXPECT_EQ(list->GetDeviceState(101), 1);
    list->SetDeviceState(101, 0, 2);
    EXPECT_EQ(list->GetDeviceState(101), 2);
    EXPECT_EQ(list->GetDeviceMode(101), 0);
    list->SetAllDeviceState(0);
    EXPECT_EQ(list->GetOnlineDevCount(), 0);
}

TEST_F(DeviceList, SelectionFallsBackToTheFirstOnlineEntry) {
    list->SetDeviceState(102, 0, 1);
    list->SetDeviceState(103, 1, 1);
    list->SetSelectDevice(101);  // offline
    EXPECT_EQ(list->GetSelectItem(), 1);
    list->SetSelectDevice(103);
    EXPECT_EQ(list->GetSelectDevice(), 103);
    list->SetAllDeviceState(0);
    list->SetSelectDevice(103);
    EXPECT_EQ(list->GetSelectItem(), -1);
    EXPECT_EQ(list->GetSelectDevice(), 101);  // a negative selection reads as the first entry
    EXPECT_EQ(list->GetSelectItem(), 0);
    list->ClearList();
    EXPECT_EQ(list->GetSelectDevice(), 0);
}

TEST_F(DeviceList, AClickOnACardSelectsItAndNotifies) {
    list->SetDeviceState(101, 1, 1);
    list->SetDeviceState(103, 0, 1);
    ClickAt(300, 200);  // the second card: entry 103
    ASSERT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(Codes(2)[0].id, 7u);
    EXPECT_EQ(list->GetSelectDevice(), 103);
    ClickAt(500, 200);  // right of the last card
    EXPECT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(list->GetSelectDevice(), 103);
}

TEST_F(DeviceList, PicturesAreShrunkToFitNeverEnlarged) {
    const CRect box(0, 0, 100, 50);
    EXPECT_EQ(CDeviceList::GetImageRect(200, 50, box), CRect(0, 12, 100, 37));
    EXPECT_EQ(CDeviceList::GetImageRect(40, 100, box), CRect(40, 0, 60, 50));
    EXPECT_EQ(CDeviceList::GetImageRect(20, 10, box), CRect(40, 20, 60, 30));
}

class Battery : public WidgetsTest::WidgetsTest {
  protected:
    // A level bar of two colours: A left of x = 26, B from there on.
    static constexpr uint32_t kA = 0xFF00C000, kB = 0xFF0000C0;
    void SetUp() override {
        WidgetsTest::SetUp();
        Canvas bar(40, 20);
        bar.FillRect(CRect(0, 0, 26, 20), Color(kA));
        bar.FillRect(CRect(26, 0, 40, 20), Color(kB));
        const std::wstring path = Strip({0}, 1, 1);
        ASSERT_TRUE(bar.SavePng(path));
        barImage = Image::Load(path);
        outline = Image::Load(Strip({0x40FFFFFF}, 50, 20));
        ASSERT_TRUE(barImage && outline);
    }
    // Draws the gauge at (0, 0) on black.
    std::unique_ptr<Canvas> Gauge(int level) {
        auto c = std::make_unique<Canvas>(60, 20);
        c->Clear(Color(0xFF000000));
        BatteryCtrl::DrawGauge(*c, CPoint(0, 0), nullptr, barImage.get(), level);
        return c;
    }
    std::shared_ptr<Image> barImage, outline;
};

TEST_F(Battery, EightyShowsFourSegmentsTwentyFourTheRedBarNegativeNothing) {
    // Segments are (40 - 6) / 5 = 6 wide, 2 apart, from x = 4: 4, 12, 20, 28, 36.
    auto four = Gauge(80);
    for (int x : {5, 13, 21}) EXPECT_EQ(Px(*four, x, 10), kA) << x;
    EXPECT_EQ(Px(*four, 11, 10), 0xFF000000u);  // a gap
    // The last segment reads 5 pixels further left: 23..28 of the bar, A then B.
    EXPECT_EQ(Px(*four, 29, 10), kA);
    EXPECT_EQ(Px(*four, 32, 10), kB);
    EXPECT_EQ(Px(*four, 37, 10), 0xFF000000u);  // no fifth

    auto five = Gauge(95);
    EXPECT_EQ(Px(*five, 29, 10), kB);  // the fourth is not the last any more
    EXPECT_EQ(Px(*five, 40, 10), kB);  // the fifth: 31..36 of the bar, inside it

    auto red = Gauge(24);
    EXPECT_EQ(Px(*red, 6, 10), 0xFFFF0000u);
    EXPECT_EQ(Px(*red, 13, 10), 0xFF000000u);

    auto none = Gauge(-1);
    for (int x = 0; x < 60; x += 3) EXPECT_EQ(Px(*none, x, 10), 0xFF000000u) << x;
    EXPECT_EQ(BatteryCtrl::SegmentsFor(50), 3);
    EXPECT_EQ(BatteryCtrl::SegmentsFor(49), 2);
    EXPECT_EQ(BatteryCtrl::SegmentsFor(25), 2);
}

TEST_F(Battery, TheControlDrawsItsGaugeAndBlinksTheChargeMarkOnEveryFifthTick) {
    auto* battery = Make<BatteryCtrl>(L"BatteryCtrl", CRect(200, 300, 280, 320));
    ASSERT_TRUE(battery->SetImage(Strip({0x40FFFFFF}, 50, 20).c_str()));
    ASSERT_TRUE(battery->SetBatteryIcon(Strip({kA}, 40, 20).c_str(), Strip({0xFFFFFF00}, 12, 20).c_str()));
    battery->SetBatteryInfo(80, 1);
    const Canvas& shown = Paint();
    EXPECT_EQ(Px(shown, 205, 310), kA);
    EXPECT_EQ(Px(shown, 255, 310), 0xFFFFFF00u);  // the mark right of the outline
    for (int i = 0; i < 4; ++i) battery->OnTimer();
    EXPECT_TRUE(battery->IsChargeMarkLit());
    battery->OnTimer();
    EXPECT_FALSE(battery->IsChargeMarkLit());
    battery->SetBatteryInfo(80, 0);
    EXPECT_NE(Px(Paint(), 255, 310), 0xFFFFFF00u);
}

class ReportRate : public WidgetsTest::WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        rates = InPage<ReporteCtrl>(L"ReporteCtrl", CRect(20, 200, 560, 260));
        const wchar_t* texts[] = {L"125Hz", L"250Hz", L"500Hz", L"1000Hz"};
        const int colours[] = {0x0108F1, 0xED6B00, 0x4DF600, 0x20A3FF};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(rates->AddItem(texts[i], i, colours[i]), i);
    }
    ReporteCtrl* rates = nullptr;
};

TEST_F(ReportRate, AValueNoItemHasKeepsTheSelection) {
    EXPECT_EQ(rates->GetSelectItem(), -1);
    rates->SetSelectItemValue(3);
    EXPECT_EQ(rates->GetSelectItem(), 3);
    rates->SetSelectItemValue(9);
    EXPECT_EQ(rates->GetSelectItem(), 3);
    EXPECT_EQ(rates->GetItemKeyValue(4), 0);
    EXPECT_EQ(rates->GetItemKeyName(2), L"500Hz");
    EXPECT_EQ(rates->GetItemKeyName(-1), L"");
    EXPECT_EQ(rates->DeleteAllItems(), 1);
    EXPECT_EQ(rates->GetSelectItem(), -1);
}

TEST_F(ReportRate, PressAndReleaseOnACardSendTheirCodesWithTheIndex) {
    ClickAt(20 + 260 + 50, 230);
    ASSERT_EQ(dlg.notifications.size(), 2u);
    EXPECT_EQ(dlg.notifications[0].code, 1u);
    EXPECT_EQ(dlg.notifications[1].code, 2u);
    EXPECT_EQ(dlg.notifications[1].wParam, WPARAM(2));
    EXPECT_EQ(rates->GetSelectItem(), 2);
    EXPECT_EQ(Px(Paint(), 20 + 260 + 5, 230), Color::FromCOLORREF(0x4DF600).GetValue());  // its band
    ClickAt(20 + 120, 230);                                                               // between two cards
    EXPECT_EQ(dlg.notifications.size(), 2u);
}

TEST_F(DeviceList, TilesIgnoreTheMouseWhileInactiveAndTheStatusLineTakesNone) {
    auto* tile = dlg.Add(new CDeviceCtrl(&dlg, 30, CRect(400, 330, 500, 390)));
    ClickAt(450, 360);
    EXPECT_TRUE(Codes(1).empty());
    tile->SetDeviceStatus(1);
    ClickAt(450, 360);
    EXPECT_EQ(Codes(1).size(), 1u);
    EXPECT_EQ(Codes(2).size(), 1u);
    auto* state = Make<CDeviceState>(L"CDeviceState", CRect(10, 330, 200, 360), L"Connected", 31);
    ASSERT_NE(state, nullptr);
    ClickAt(100, 345);
    EXPECT_EQ(dlg.notifications.size(), 2u);
}

}  // namespace

namespace {

TEST_F(DeviceList, ARowWiderThanTheListScrollsSidewaysAndClicksFollowIt) {
    for (int id = 104; id < 108; ++id) list->AddDevice(L"Spare", id, L"");
    list->SetAllDeviceState(1);  // seven cards: 7 x 230 - 30 pixels
    ASSERT_NE(list->GetScrollHorizontal(), nullptr);
    EXPECT_TRUE(list->GetScrollHorizontal()->IsVisible());
    const CRect before = list->GetCardRect(3);
    for (int i = 0; i < 40; ++i) H::Wheel(hwnd, 300, 150, -120);
    Pump();
    const CRect after = list->GetCardRect(3);
    ASSERT_LT(after.left, before.left);
    ClickAt(after.left + 20, 150);
    EXPECT_EQ(list->GetSelectDevice(), 104);
}

TEST_F(DeviceList, ACardShowsItsPictureFittedAndTheHoverOutline) {
    list->SetDeviceState(101, 1, 1);
    Move(110, 100);
    EXPECT_EQ(list->GetHoverItem(), 0);
    const Canvas& shown = Paint();
    // The 60 x 40 picture sits in the middle of the card above the two lines the
    // model's name may take (rows 140 to 179), not enlarged.
    EXPECT_EQ(Px(shown, 110, 160), 0xFF808080u);
    EXPECT_NE(Px(shown, 110, 135), 0xFF808080u);
    EXPECT_NE(Px(shown, 110, 185), 0xFF808080u);
    EXPECT_EQ(Px(shown, 110, 21), Manager::GetSelectColor().GetValue());
}

TEST_F(ReportRate, AReleaseAwayFromTheCardsIsNoChoice) {
    Press(20 + 50, 230);
    Release(20 + 50, 300);
    EXPECT_EQ(Codes(1).size(), 1u);
    EXPECT_TRUE(Codes(2).empty());
    EXPECT_EQ(rates->GetSelectItem(), 0);  // the press selected it already
}

}  // namespace

TEST_F(DeviceList, ALongModeTextIsMadeSmallerToStayInsideItsBox) {
    list->SetDeviceState(101, 1, 1);
    // Just inside the left edge of the mode box, (60, 40)-(140, 70) on the first
    // card: no glyph there, whatever the text (a cut text would reach the edges).
    auto leftOfTheBox = [&] {
        const Canvas& shown = Paint();
        std::vector<uint32_t> pixels;
        for (int y = 42; y < 68; ++y)
            for (int x = 61; x < 63; ++x) pixels.push_back(Px(shown, x, y));
        return pixels;
    };
    list->SetDevModeDesc(L"Wired", L"Wireless");
    const auto shortText = leftOfTheBox();
    list->SetDevModeDesc(L"Wired", L"Mode sans fil");
    EXPECT_EQ(leftOfTheBox(), shortText);
}
