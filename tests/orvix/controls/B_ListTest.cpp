// Text lists: selection, data lookups, row bookkeeping, renames and scrolling.
#include "orvix/controls/DListBox.h"
#include "orvix/controls/MListBox.h"
#include "orvix/core/MScroll.h"
#include "tests/orvix/controls/B_ControlsFixture.h"

namespace ToolkitTest {
namespace {

// Keeps the row text the list shows when Notify::EditEnded arrives.
class RenameOwner : public OwnerDialog {
public:
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override {
        if (code == Notify::EditEnded && list) textAt29 = list->GetItemText(int(lParam));
        return OwnerDialog::OnMessage(id, code, wParam, lParam);
    }
    MListBase* list = nullptr;
    std::wstring textAt29;
};

class ListTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 400, 400));
        list = static_cast<DListBox*>(dlg.CreateControl(L"DListBox", 9, CRect(10, 10, 210, 190)));
        ASSERT_NE(list, nullptr);
        dlg.list = list;
        for (int i = 0; i < 4; ++i) list->AddString((L"Profile " + std::to_wstring(i + 1)).c_str(), 100 + i, -1);
        dlg.CreateControl(L"DListBox", 10, CRect(250, 10, 390, 100));
    }
    void Click(int x, int y, bool right = false) {
        Headless::MouseMove(hwnd, x, y);
        Headless::Click(hwnd, x, y, right);
        Pump();
    }
    int RowY(int row) const { return 10 + row * 36 + 18; }
    std::vector<Notification> Of(UINT code) const {
        std::vector<Notification> out;
        for (const Notification& n : dlg.notifications)
            if (n.id == 9 && n.code == code) out.push_back(n);
        return out;
    }
    RenameOwner dlg;
    HWND hwnd = nullptr;
    DListBox* list = nullptr;
};

TEST_F(ListTest, ARenameThatKeepsTheTextSendsNothingAChangedOneArrivesWithTheRowUpdated) {
    list->EnableShowEdit(TRUE);
    Click(100, RowY(1), true);  // a right press opens the rename edit
    ASSERT_EQ(list->GetEditItem(), 1);
    EXPECT_EQ(list->GetCurSel(), 1);
    Click(300, 50);  // focus moves away: closes unchanged
    EXPECT_EQ(list->GetEditItem(), -1);
    EXPECT_TRUE(Of(29).empty());

    Click(100, RowY(2), true);
    Headless::KeyPress(hwnd, VK_END);
    Headless::TypeText(hwnd, L" new");
    Headless::KeyPress(hwnd, VK_RETURN);
    Pump();
    ASSERT_EQ(Of(29).size(), 1u);
    EXPECT_EQ(Of(29)[0].lParam, 2);
    EXPECT_EQ(dlg.textAt29, L"Profile 3 new");
    EXPECT_EQ(list->GetItemText(2), L"Profile 3 new");
}

TEST_F(ListTest, ALeftPressOnAnotherRowClosesTheRenameAndKeepsTheText) {
    list->EnableShowEdit(TRUE);
    Click(100, RowY(0), true);
    Headless::TypeText(hwnd, L"X");
    Pump();
    Click(100, RowY(3));
    EXPECT_EQ(list->GetEditItem(), -1);
    EXPECT_EQ(list->GetItemText(0), L"Profile 1X");
    EXPECT_EQ(list->GetCurSel(), 3);
    ASSERT_FALSE(Of(2).empty());  // the release on a row
}

TEST_F(ListTest, SelectionByDataAndLookups) {
    ASSERT_TRUE(list->SetCurSel(2));
    EXPECT_EQ(list->SetCurData(999), -1);
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(list->SetCurData(101), 1);
    EXPECT_EQ(list->GetCurData(), 101);
    EXPECT_FALSE(list->SetCurSel(4));
    EXPECT_TRUE(list->SetCurSel(-1));
    EXPECT_EQ(list->GetCurData(), 0);
    EXPECT_EQ(list->FindString(L"Profile 4"), 3);
    EXPECT_EQ(list->FindItemData(102), 2);
}

TEST_F(ListTest, InsertAndDeleteKeepTheSelectionOnItsRow) {
    list->SetCurSel(2);
    EXPECT_EQ(list->InsertString(0, L"first"), 4);  // the last row's index, not the new row's
    EXPECT_EQ(list->GetItemText(0), L"first");
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_EQ(list->InsertString(9, L"nowhere"), -1);
    EXPECT_TRUE(list->DeleteItem(1));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(list->GetItemText(2), L"Profile 3");
    EXPECT_TRUE(list->DeleteItem(2));
    EXPECT_EQ(list->GetCurSel(), -1);
}

TEST_F(ListTest, RightReleaseSendsFiveWithTheHoverRowAndLeftReleaseSendsTwo) {
    Click(100, RowY(3), true);
    ASSERT_EQ(Of(5).size(), 1u);
    EXPECT_EQ(Of(5)[0].wParam, 3u);
    Click(100, RowY(1));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(Of(2).size(), 1u);
}

TEST_F(ListTest, RowsTallerThanTheListScrollTenPerNotch) {
    for (int i = 0; i < 6; ++i) list->AddString(L"more", 0, -1);
    MScroll* bar = list->GetScrollVertical();
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollMaxRange(), 360);
    Headless::MouseMove(hwnd, 100, 100);
    Headless::Wheel(hwnd, 100, 100, -120 * 3);
    Pump();
    EXPECT_EQ(bar->GetScrollCurrentPos(), 30);
    // (360 - 180) x 30 / 360 = 15 pixels: the first row's middle is now at y 13.
    Click(100, 14);
    EXPECT_EQ(list->GetCurSel(), 0);
    Click(100, 10 + 36 - 15 + 1);
    EXPECT_EQ(list->GetCurSel(), 1);
}

TEST_F(ListTest, MListBoxPressSelectsTheRowUnderThePointerOrNone) {
    auto* plain = static_cast<MListBox*>(dlg.CreateControl(L"MListBox", 11, CRect(10, 220, 210, 390)));
    plain->AddString(L"a");
    plain->AddString(L"b");
    Click(100, 220 + 36 + 5);
    EXPECT_EQ(plain->GetCurSel(), 1);
    Click(100, 380);  // below the rows
    EXPECT_EQ(plain->GetCurSel(), -1);
    std::vector<WPARAM> ones;
    for (const Notification& n : dlg.notifications)
        if (n.id == 11 && n.code == Notify::Pressed) ones.push_back(n.wParam);
    EXPECT_EQ(ones, (std::vector<WPARAM>{1, WPARAM(-1)}));
}

}  // namespace
}  // namespace ToolkitTest
