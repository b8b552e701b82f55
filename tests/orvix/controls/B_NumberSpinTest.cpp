// Number edits and spin boxes: steps within the range, typing, code 28.
#include "orvix/controls/MSpinButton.h"
#include "orvix/controls/NumberEdit.h"
#include "tests/orvix/controls/B_ControlsFixture.h"

namespace ToolkitTest {
namespace {

class NumberTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 400, 300));
        // Number edits are made by containers.
        page = dlg.Add(new Box(&dlg, 50, CRect(0, 0, 400, 300)));
        number = static_cast<NumberEdit*>(page->CreateControl(L"NumberEdit", 3, CRect(20, 20, 120, 50)));
        ASSERT_NE(number, nullptr);
    }
    void ClickChild(UINT id) {
        CRect r = number->GetControl(id)->GetRect();
        Click(r.CenterPoint().x, r.CenterPoint().y);
    }
    Box* page = nullptr;
    NumberEdit* number = nullptr;
};

TEST_F(NumberTest, IncreaseAtTheTopOfTheRangeKeepsFiftyAndSendsNothing) {
    number->SetEditText(L"50");
    ClickChild(NumberEdit::kIncreaseId);
    EXPECT_EQ(number->GetEditText(), L"50");
    for (UINT code : Codes(3)) EXPECT_NE(code, 2u);
}

TEST_F(NumberTest, IncreaseFromSevenShowsEightAndSendsTwo) {
    number->SetEditText(L"7");
    ClickChild(NumberEdit::kIncreaseId);
    EXPECT_EQ(number->GetEditText(), L"8");
    ASSERT_FALSE(dlg.notifications.empty());
    EXPECT_EQ(dlg.notifications.back().code, 2u);
    EXPECT_EQ(dlg.notifications.back().wParam, 8u);
    ClickChild(NumberEdit::kDecreaseId);
    ClickChild(NumberEdit::kDecreaseId);
    EXPECT_EQ(number->GetEditText(), L"6");
}

TEST_F(NumberTest, TypedNumbersAreKeptToTheRangeWhenTheEditCloses) {
    number->SetEditText(L"5");
    Click(70, 35);
    ASSERT_TRUE(number->IsEditing());
    Type(L"99");  // the opening selection is replaced
    Key(VK_RETURN);
    EXPECT_FALSE(number->IsEditing());
    EXPECT_EQ(number->GetEditText(), L"50");
    EXPECT_EQ(Codes(3).back(), 29u);
}

TEST_F(NumberTest, NumberEdit2StepsWithinOneToTwenty) {
    auto* small = static_cast<NumberEdit*>(page->CreateControl(L"NumberEdit2", 4, CRect(20, 100, 80, 124)));
    small->SetEditText(L"20");
    EXPECT_FALSE(small->Step(1));
    EXPECT_TRUE(small->Step(-1));
    EXPECT_EQ(small->GetEditText(), L"19");
    EXPECT_EQ(small->GetControl(NumberEdit::kIncreaseId)->GetRect().Width(), 10);
}

TEST_F(NumberTest, SpinBoxSendsTwentyEightOnEveryValueChange) {
    auto* spin = static_cast<MSpinButton*>(page->CreateControl(L"MSpinButton", 8, CRect(200, 20, 300, 50)));
    ASSERT_NE(spin, nullptr);
    spin->SetRange(0, 10);
    Click(230, 35);
    Key(VK_UP);
    EXPECT_EQ(spin->GetCurValue(), 1);
    Key('A', VK_CONTROL);
    Type(L"7");
    EXPECT_EQ(spin->GetCurValue(), 7);
    CRect down = spin->GetSpin()->GetDownRect();
    Click(down.CenterPoint().x, down.CenterPoint().y);
    EXPECT_EQ(spin->GetCurValue(), 6);
    EXPECT_EQ(Codes(8), (std::vector<UINT>{28, 26, 28, 28}));  // typing also reports the text (26)
    EXPECT_TRUE(spin->SetCurValue(50));
    EXPECT_EQ(spin->GetCurValue(), 10);
    EXPECT_FALSE(spin->SetCurValue(10));
}

}  // namespace
}  // namespace ToolkitTest
