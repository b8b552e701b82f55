// The function type and value lists: data lookups, press and release, icons
// and scrolling.
#include "orvix/core/MScroll.h"
#include "orvix/widgets/KeyFuncType.h"
#include "orvix/widgets/KeyFuncValue.h"
#include "tests/orvix/widgets/B_WidgetsFixture.h"

namespace ToolkitTest {
namespace {

class FunctionListTest : public WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        types = Make<KeyFuncType>(L"KeyFuncType", 69, CRect(10, 10, 210, 210));
        icon = Strip("keytype", 24, 20, {Color(0xFF808080), Color(0xFF49FFE6)});
        types->AddItem(L"Default", 0, L"/nonexistent/icon/keytype_0.png");
        types->AddItem(L"Mouse", 1, icon);
        types->AddItem(L"Keyboard", 2, L"");
        types->AddItem(L"Macro", 5, icon);
    }
    int RowY(int row) const { return 10 + row * 40 + 20; }
    KeyFuncType* types = nullptr;
    std::wstring icon;
};

TEST_F(FunctionListTest, SelectionByDataKeepsThePreviousOneWhenNoItemMatches) {
    EXPECT_EQ(types->GetCurData(), 0);  // nothing selected
    types->SetCurData(5);
    EXPECT_EQ(types->GetSelectItem(), 3);
    EXPECT_EQ(types->GetCurData(), 5);
    types->SetCurData(42);
    EXPECT_EQ(types->GetSelectItem(), 3);
    EXPECT_EQ(types->GetItemData(-1), 0);
    EXPECT_EQ(types->GetItemData(4), 0);
    EXPECT_FALSE(types->SetItemText(4, L"x"));
    EXPECT_TRUE(types->SetItemText(2, L"Key"));
    EXPECT_EQ(types->GetItemText(2), L"Key");
    EXPECT_EQ(types->GetItemText(7), L"");
}

TEST_F(FunctionListTest, AMissingIconFileLeavesTheTextAndDrawsNoIcon) {
    const KeyFuncItem* missing = types->GetItem(0);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->icon, nullptr);
    EXPECT_EQ(missing->text, L"Default");
    const KeyFuncItem* mouse = types->GetItem(1);
    ASSERT_NE(mouse->icon, nullptr);
    EXPECT_EQ(mouse->iconWidth, 24);  // two frames side by side
    // The icon of row 1 at x 20, centred; row 0 has none there.
    Move(300, 300);
    const Canvas& c = Paint();
    EXPECT_EQ(c.GetPixel(25, RowY(1)), Color(0xFF808080));
    EXPECT_NE(c.GetPixel(25, RowY(0)), Color(0xFF808080));
    Move(100, RowY(1));
    EXPECT_EQ(Paint().GetPixel(25, RowY(1)), Color(0xFF49FFE6));  // hovered: frame 1
}

TEST_F(FunctionListTest, PressSelectsAndReleaseReportsTheSelectionInLParam) {
    Click(100, RowY(2));
    EXPECT_EQ(types->GetSelectItem(), 2);
    ASSERT_EQ(Of(69, 2).size(), 1u);
    EXPECT_EQ(Of(69, 2)[0].wParam, 0u);
    EXPECT_EQ(Of(69, 2)[0].lParam, 2);
    Click(100, 190);  // below the last row
    EXPECT_EQ(types->GetSelectItem(), 2);
    EXPECT_EQ(Of(69, 2).size(), 1u);
}

TEST_F(FunctionListTest, ValueRowsAre30HighAndScrollWhenTheyOverflow) {
    auto* values = Make<KeyFuncValue>(L"KeyFuncValue", 74, CRect(300, 10, 500, 130));
    for (int i = 0; i < 8; ++i) values->AddItem(L"Value " + std::to_wstring(i), 100 + i, icon);
    EXPECT_EQ(values->GetRowHeight(), 30);
    MScroll* bar = values->GetScrollVertical();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetRect(), CRect(495, 10, 500, 130));
    values->SetRect(CRect(300, 20, 520, 140));
    EXPECT_EQ(bar->GetRect(), CRect(515, 20, 520, 140));

    Headless::MouseMove(hwnd, 400, 60);
    Headless::Wheel(hwnd, 400, 60, -120 * 24);
    Pump();
    EXPECT_GT(bar->GetScrollCurrentPos(), 0);
    Click(400, 135);  // the bottom of the list now shows the last row
    EXPECT_EQ(values->GetSelectItem(), 7);
    EXPECT_EQ(values->GetCurData(), 107);

    values->ClearList();
    EXPECT_EQ(values->GetItemCount(), 0);
    EXPECT_EQ(values->GetSelectItem(), -1);
    EXPECT_FALSE(bar->IsVisible());
}

}  // namespace
}  // namespace ToolkitTest
