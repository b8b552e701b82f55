// The DPI cards (selection, colour zone, the value edit) and the stepped
// sliders (dragging, limits, the ticker while the pointer is outside).
#include <algorithm>
#include <string>

#include "A_WidgetsFixture.h"
#include "orvix/widgets/DPIControl.h"
#include "orvix/widgets/DPISlider.h"
#include "orvix/widgets/LightSlider.h"

using namespace WidgetsTest;

namespace {

class DpiCards : public WidgetsTest::WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        cards = InPage<DPIControl>(L"DPIControl", CRect(20, 40, 520, 140));
        for (int v : {800, 1200, 1600, 2400}) cards->AddItem(v, 0x0000FF);
    }
    // A point of card i, relative to its top-left corner.
    CPoint At(int i, int dx, int dy) const { return {20 + 130 * i + dx, 40 + dy}; }
    void OpenEdit(int i) {
        const CPoint p = At(i, 50, 55);  // inside the edit rect
        ClickAt(p.x, p.y);
    }
    DPIControl* cards = nullptr;
};

TEST_F(DpiCards, GettersAndSettersKeepToTheList) {
    EXPECT_EQ(cards->GetDPIValue(-1), 50);
    EXPECT_EQ(cards->GetDPIValue(4), 26000);
    EXPECT_EQ(cards->GetDPIValue(3), 2400);
    EXPECT_EQ(cards->GetDPIColorValue(4), 0);
    cards->SetDPIValue(4, 100);
    cards->SetDPIValue(-1, 100);
    cards->SetDPIColorValue(7, 0x00FF00);
    EXPECT_EQ(cards->GetItemCount(), 4);
    EXPECT_EQ(cards->GetDPIValue(0), 800);
    EXPECT_EQ(cards->AddItem(5000, 0x00FF00), 4);
    cards->SetSelectItem(3);
    cards->ClearList();
    EXPECT_EQ(cards->GetItemCount(), 0);
    EXPECT_EQ(cards->GetSelectItem(), 0);
}

TEST_F(DpiCards, TopOfACardPicksItsColourLowerDownSelectsIt) {
    const CPoint band = At(2, 50, 35);  // below the drawn band, still in the 40-pixel zone
    ClickAt(band.x, band.y);
    EXPECT_EQ(cards->GetSelectItem(), 2);
    EXPECT_EQ(cards->GetColorItem(), 2);
    ASSERT_EQ(Codes(9).size(), 1u);
    EXPECT_EQ(Codes(9)[0].id, 7u);
    EXPECT_TRUE(Codes(2).empty());

    const CPoint low = At(1, 50, 80);
    ClickAt(low.x, low.y);
    EXPECT_EQ(cards->GetSelectItem(), 1);
    EXPECT_EQ(cards->GetColorItem(), 2);  // the colour item stays
    EXPECT_EQ(Codes(2).size(), 1u);
    EXPECT_EQ(Codes(9).size(), 1u);

    ClickAt(20 + 115, 60);  // the gap between two cards
    EXPECT_EQ(cards->GetSelectItem(), 1);
    EXPECT_EQ(dlg.notifications.size(), 2u);
}

TEST_F(DpiCards, TypingANumberAndClickingElsewhereSetsTheCard) {
    OpenEdit(1);
    ASSERT_TRUE(cards->IsEditing());
    EXPECT_EQ(cards->GetEditText(), L"1200");
    Key('A', VK_CONTROL);
    Type(L"1600");
    EXPECT_EQ(cards->GetEditText(), L"1600");
    ClickAt(580, 380);  // empty page, away from the cards

    EXPECT_FALSE(cards->IsEditing());
    EXPECT_EQ(cards->GetDPIValue(1), 1600);
    EXPECT_EQ(cards->GetEditText(), L"1600");
    std::vector<UINT> codes = CodeSequence();
    std::erase(codes, 2u);  // the click that opened the box
    ASSERT_GE(codes.size(), 4u);
    EXPECT_EQ(codes.front(), 30u);
    EXPECT_EQ(codes.back(), 29u);
    EXPECT_GE(std::count(codes.begin(), codes.end(), 26u), 2);
    EXPECT_TRUE(std::all_of(codes.begin() + 1, codes.end() - 1, [](UINT c) { return c == 26u; }));
}

TEST_F(DpiCards, TheEditTakesFiveDigitsAndEmptyMeansZero) {
    OpenEdit(0);
    Key('A', VK_CONTROL);
    Type(L"123456");
    EXPECT_EQ(cards->GetEditText(), L"12345");
    Type(L"x");
    EXPECT_EQ(cards->GetEditText(), L"12345");
    Key('A', VK_CONTROL);
    Key(VK_BACK);
    Key(VK_RETURN);
    EXPECT_FALSE(cards->IsEditing());
    EXPECT_EQ(cards->GetDPIValue(0), 0);  // the owner has to reject it
}

// An owner that rounds the typed value down to hundreds on code 29.
class RoundingDialog : public ToolkitTest::TestDialog {
  public:
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override {
        if (code == Notify::EditEnded && cards) {
            const int typed = std::stoi(cards->GetEditText());
            cards->SetDPIValue(cards->GetSelectItem(), typed / 100 * 100);
            cards->SetSelectItem(cards->GetSelectItem());  // asks to close the box again
        }
        return TestDialog::OnMessage(id, code, wParam, lParam);
    }
    DPIControl* cards = nullptr;
};

TEST_F(DpiCards, AValueCorrectedByTheOwnerOnCloseIsKept) {
    // The same cards, owned by a dialog that corrects them.
    RoundingDialog owner;
    const HWND window = owner.Open(CRect(100, 100, 700, 500));
    Pump();
    auto* box = owner.Add(new ToolkitTest::Box(&owner, 90, CRect(0, 0, 600, 400)));
    owner.cards = dynamic_cast<DPIControl*>(box->CreateControl(L"DPIControl", 7, CRect(20, 40, 520, 140)));
    ASSERT_NE(owner.cards, nullptr);
    owner.cards->AddItem(800, 0x0000FF);
    H::MouseMove(window, 70, 95);
    H::Click(window, 70, 95);
    Pump();
    ASSERT_TRUE(owner.cards->IsEditing());
    H::KeyPress(window, VK_BACK);
    H::KeyPress(window, VK_BACK);
    H::TypeText(window, L"50");  // "850"
    H::KeyPress(window, VK_RETURN);
    Pump();
    EXPECT_FALSE(owner.cards->IsEditing());
    EXPECT_EQ(owner.cards->GetDPIValue(0), 800);
    EXPECT_EQ(owner.cards->GetEditText(), L"800");
    EXPECT_EQ(std::count_if(owner.notifications.begin(), owner.notifications.end(),
                            [](const ToolkitTest::Notification& n) { return n.code == 29; }),
              1);
}

class Sliders : public WidgetsTest::WidgetsTest {};

TEST_F(Sliders, DraggingPastTheEndStopsAtTheSpanAndNotifiesEachPositionOnce) {
    auto* slider = Make<DPISlider>(L"DPISlider", CRect(0, 100, 920, 180));
    slider->SetMaxProgress(10);  // span 9: positions 84 pixels apart
    const CRect thumb = slider->GetThumbRect();
    Press(thumb.CenterPoint().x, thumb.CenterPoint().y);
    EXPECT_TRUE(slider->IsHeld());
    for (int x = 80; x <= 900; x += 20) Move(x, 150);
    Move(2000, 150);
    EXPECT_EQ(slider->GetPosition(), 9);
    EXPECT_EQ(slider->GetProgress(), 10);
    std::vector<WPARAM> values;
    for (const auto& n : Codes(8)) values.push_back(n.wParam);
    ASSERT_EQ(values.size(), 9u);  // positions 1..9, each once
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(values[i], WPARAM(i + 2));
    EXPECT_TRUE(Codes(2).empty());
    Release(2000, 150);
    EXPECT_EQ(Codes(2).size(), 1u);
    EXPECT_FALSE(slider->IsHeld());
}

TEST_F(Sliders, SetProgressTakesOnePastTheSpanButADragCannot) {
    auto* slider = Make<DPISlider>(L"DPISlider", CRect(0, 100, 920, 180));
    EXPECT_EQ(slider->SetProgress(481), 480);
    EXPECT_EQ(slider->GetProgress(), 481);
    EXPECT_EQ(slider->GetThumbRect().CenterPoint().x, DPISlider::kTrack.right);
    EXPECT_EQ(slider->SetProgress(0), 480);  // below the minimum: refused
    EXPECT_TRUE(dlg.notifications.empty());
    slider->MoveThumbPos(CPoint(5000, 150));
    EXPECT_EQ(slider->GetProgress(), 480);
    ASSERT_EQ(Codes(8).size(), 1u);
    EXPECT_EQ(Codes(8)[0].wParam, WPARAM(480));
}

// The window holds the capture: the moves keep coming outside it, and no tick
// of the animation ticker pulls the thumb anywhere else meanwhile.
TEST_F(Sliders, AHeldThumbFollowsThePointerOutsideTheWindow) {
    auto* slider = Make<DPISlider>(L"DPISlider", CRect(0, 100, 920, 180));
    slider->SetMaxProgress(11);
    dlg.SetMTimer(10);
    const CRect thumb = slider->GetThumbRect();
    Press(thumb.CenterPoint().x, thumb.CenterPoint().y);
    H::MouseMove(hwnd, 500, 150);
    H::MouseMove(hwnd, 2500, 900);  // outside the window
    H::AdvanceClock(100);
    Pump();
    EXPECT_EQ(slider->GetProgress(), 11);
    Release(2500, 900);
    EXPECT_EQ(Codes(2).size(), 1u);
}

TEST_F(Sliders, LightSliderStepsFromZeroToTenAndJumpsToAPress) {
    auto* light = Make<LightSlider>(L"LightSlider", CRect(100, 200, 420, 240));
    EXPECT_EQ(light->GetProgress(), 5);
    EXPECT_EQ(light->GetMinProgress(), 0);
    EXPECT_EQ(light->GetMaxProgress(), 10);
    // The track leaves half a 30-pixel thumb at each end: 290 pixels for 10 steps.
    ClickAt(115 + 29 * 8 + 3, 220);
    EXPECT_EQ(light->GetProgress(), 8);
    ASSERT_EQ(Codes(8).size(), 1u);
    EXPECT_EQ(Codes(8)[0].wParam, WPARAM(8));
    EXPECT_EQ(Codes(2).size(), 1u);
    H::Wheel(hwnd, 200, 220, -120);
    Pump();
    EXPECT_EQ(light->GetProgress(), 8);
    light->SetEnabled(FALSE);
    ClickAt(120, 220);
    EXPECT_EQ(light->GetProgress(), 8);
}

}  // namespace

namespace {

TEST_F(DpiCards, SelectingAnotherCardOrClearingTheListEndsTheEdit) {
    OpenEdit(2);
    Type(L"9");
    cards->SetSelectItem(0);
    EXPECT_FALSE(cards->IsEditing());
    EXPECT_EQ(cards->GetDPIValue(2), 16009);
    EXPECT_EQ(Codes(29).size(), 1u);

    OpenEdit(1);
    Type(L"5");
    cards->ClearList();  // the card is gone: nothing to report
    EXPECT_FALSE(cards->IsEditing());
    EXPECT_EQ(Codes(29).size(), 1u);

    cards->AddItem(400, 0xFF0000);
    cards->SetEnabled(FALSE);
    cards->ShowEdit();
    EXPECT_FALSE(cards->IsEditing());
}

TEST_F(DpiCards, CardsShowTheirBandValueAndSelection) {
    cards->SetDPIColorValue(1, 0x00FF00);
    cards->SetSelectItem(1);
    const Canvas& shown = Paint();
    EXPECT_EQ(Px(shown, 20 + 130 + 5, 40 + 15), 0xFF00FF00u);  // the band in the level colour
    EXPECT_EQ(Px(shown, 20 + 130 + 5, 40 + 80), 0xFF231C14u);  // the card below it
    EXPECT_EQ(Px(shown, 20 + 130 + 55, 40 + 99), Manager::GetSelectColor().GetValue());  // the outline
    EXPECT_NE(Px(shown, 20 + 55, 40 + 99), Manager::GetSelectColor().GetValue());        // card 0: none
}

TEST_F(Sliders, APressBesideTheThumbJumpsAndHoldsIt) {
    auto* slider = Make<DPISlider>(L"DPISlider", CRect(0, 100, 920, 180));
    slider->SetMaxProgress(10);
    Press(80 + 84 * 5 + 1, 155);  // position 5
    EXPECT_EQ(slider->GetProgress(), 6);
    EXPECT_TRUE(slider->IsHeld());
    EXPECT_EQ(slider->GetSliderState(), StepSlider::SLIDER_HELD);
    Move(80 + 84 * 7 + 1, 155);
    EXPECT_EQ(slider->GetProgress(), 8);
    Release(80 + 84 * 7 + 1, 155);
    EXPECT_EQ(Codes(8).size(), 2u);
    EXPECT_EQ(Codes(2).size(), 1u);
    // A release that ends no press of the slider's is no click.
    slider->OnLButtonUp(0, CPoint(300, 155));
    EXPECT_EQ(Codes(2).size(), 1u);
}

}  // namespace
