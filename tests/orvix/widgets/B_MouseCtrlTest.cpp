// The button map and the key list: lookups by key value, the press/release
// protocol, label and row geometry, hover, tooltip and the label look.
#include "orvix/widgets/MouseCtrl.h"
#include "orvix/widgets/MouseKeyCtrl.h"
#include "tests/orvix/widgets/B_WidgetsFixture.h"

namespace ToolkitTest {
namespace {

class MouseCtrlTest : public WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        map = Make<MouseCtrl>(L"MouseCtrl", 82, CRect(20, 20, 580, 440));
        map->AddItem(L"Forward", 3, 0, CPoint(128, 90), CPoint(235, 90));  // label (21, 97)-(147, 123)
        map->AddItem(L"Back", 5, 1, CPoint(325, 90), CPoint(432, 90));     // label (453, 97)-(579, 123)
        map->AddItem(L"Left click", 0, 1, CPoint(280, 130), CPoint(432, 130));
    }
    MouseCtrl* map = nullptr;
};

TEST_F(MouseCtrlTest, SetItemKeyDescFindsTheItemByKeyValueNotByIndex) {
    EXPECT_EQ(map->SetItemKeyDesc(5, L"Page back"), 1);
    EXPECT_EQ(map->GetItemText(1), L"Page back");  // key value 5 sits at index 1
    EXPECT_EQ(map->GetItemText(0), L"Forward");
    EXPECT_EQ(map->SetItemKeyDesc(7, L"nobody"), 1);
    for (int i = 0; i < map->GetItemCount(); ++i) EXPECT_NE(map->GetItemText(i), L"nobody");

    EXPECT_EQ(map->GetItemKeyValue(1), 5);
    EXPECT_EQ(map->GetItemKeyValue(-1), 0);
    EXPECT_EQ(map->GetItemKeyValue(map->GetItemCount()), 0);
    map->SetItemText(9, L"ignored");
    EXPECT_EQ(map->GetItemText(9), L"");
}

TEST_F(MouseCtrlTest, LabelsLieBesideTheirLineOnTheGivenSideAndScale) {
    EXPECT_EQ(map->GetLabelRect(0), CRect(21, 97, 147, 123));
    EXPECT_EQ(map->GetLabelRect(1), CRect(453, 97, 579, 123));
    EXPECT_EQ(map->GetDotRect(1), CRect(340, 107, 346, 113));  // on the first point for side 1
    EXPECT_EQ(map->GetDotRect(0), CRect(254, 107, 260, 113));  // on the second point otherwise
    map->SetSelectItem(0);
    EXPECT_EQ(map->GetLabelRect(0).right, 145);  // a lit left label keeps 3 pixels off the line
    map->SetScaleValue(0.5f);
    EXPECT_EQ(map->GetLabelRect(1), CRect(237, 58, 300, 72));
}

TEST_F(MouseCtrlTest, PressOnAnEmptyPartSendsMinusOneAndTheReleaseSendsNothing) {
    Click(60, 110);  // the Forward label
    EXPECT_EQ(map->GetSelectItem(), 0);
    ASSERT_EQ(Of(82, 1).size(), 1u);
    EXPECT_EQ(Of(82, 1)[0].wParam, 0u);
    ASSERT_EQ(Of(82, 2).size(), 1u);
    EXPECT_EQ(Of(82, 2)[0].wParam, 0u);

    dlg.notifications.clear();
    Click(300, 300);  // on the picture, no label
    EXPECT_EQ(map->GetSelectItem(), -1);
    ASSERT_EQ(Of(82, 1).size(), 1u);
    EXPECT_EQ(Of(82, 1)[0].wParam, WPARAM(-1));
    EXPECT_TRUE(Of(82, 2).empty());

    dlg.notifications.clear();
    Click(650, 300);  // outside the control
    EXPECT_TRUE(Codes(82).empty());
}

TEST_F(MouseCtrlTest, ReleaseOverAnotherLabelSelectsThatOne) {
    Headless::MouseMove(hwnd, 500, 110);
    Headless::MouseDown(hwnd, 500, 110);
    Headless::MouseMove(hwnd, 500, 150);
    Headless::MouseUp(hwnd, 500, 150);
    Pump();
    EXPECT_EQ(map->GetSelectItem(), 2);
    ASSERT_EQ(Of(82, 2).size(), 1u);
    EXPECT_EQ(Of(82, 2)[0].wParam, 2u);
}

TEST_F(MouseCtrlTest, TheHoveredLabelIsDrawnWithItsSecondFrameAndDarkText) {
    map->SetImage(Strip("label", 20, 20, {Color(0xFF202830), Color(0xFF49FFE6)}).c_str(), 2);
    Move(650, 300);
    EXPECT_EQ(Paint().GetPixel(500, 100), Color(0xFF202830));
    Move(500, 110);
    EXPECT_EQ(map->GetHoverItem(), 1);
    EXPECT_EQ(Paint().GetPixel(500, 100), Color(0xFF49FFE6));
    Move(650, 300);
    EXPECT_EQ(map->GetHoverItem(), -1);
}

TEST_F(MouseCtrlTest, DeleteAllItemsClearsHoverAndSelection) {
    Move(60, 110);
    map->SetSelectItem(1);
    EXPECT_EQ(map->DeleteAllItems(), 1);
    EXPECT_EQ(map->GetItemCount(), 0);
    EXPECT_EQ(map->GetSelectItem(), -1);
    EXPECT_EQ(map->GetHoverItem(), -1);
}

class MouseKeyCtrlTest : public WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        keys = Make<MouseKeyCtrl>(L"MouseKeyCtrl", 60, CRect(10, 10, 310, 300));
        keys->AddItem(L"Ctrl+C", L"Copy", 6);
        keys->AddItem(L"Ctrl+V", L"Paste", 25);
        keys->AddItem(L"Ctrl+Z", L"Undo", 29);
    }
    MouseKeyCtrl* keys = nullptr;
};

TEST_F(MouseKeyCtrlTest, RowsAre27HighWithAFivePixelGapAndTheGapHasNoHover) {
    EXPECT_EQ(keys->GetRowRect(1), CRect(10, 42, 310, 69));
    Move(100, 50);
    EXPECT_EQ(keys->GetHoverItem(), 1);
    Move(100, 40);  // between rows 0 and 1
    EXPECT_EQ(keys->GetHoverItem(), -1);
    Click(100, 80);
    EXPECT_EQ(keys->GetSelectItem(), 2);
    ASSERT_EQ(Of(60, 2).size(), 1u);
    EXPECT_EQ(Of(60, 2)[0].wParam, 2u);
}

TEST_F(MouseKeyCtrlTest, StayingOnARowShowsItsDescriptionAsTooltip) {
    Move(100, 50);
    Move(110, 52);
    EXPECT_EQ(dlg.GetPaintManager().GetTooltipText(), L"Paste");
    Move(100, 80);  // another row: the tip goes first
    EXPECT_EQ(dlg.GetPaintManager().GetTooltipText(), L"");
    Move(101, 81);
    EXPECT_EQ(dlg.GetPaintManager().GetTooltipText(), L"Undo");
}

TEST_F(MouseKeyCtrlTest, KeyValueLookupsReplaceTheDescription) {
    EXPECT_EQ(keys->SetItemKeyDesc(29, L"Undo last"), 1);
    EXPECT_EQ(keys->GetItemKeyDesc(2), L"Undo last");
    EXPECT_EQ(keys->GetItemKeyName(2), L"Ctrl+Z");
    EXPECT_EQ(keys->GetItemKeyName(3), L"");
    EXPECT_EQ(keys->GetItemKeyValue(-1), 0);
}

}  // namespace
}  // namespace ToolkitTest
