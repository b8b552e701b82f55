// The macro event list and the macro list: row bookkeeping, time stamps, the
// delay edit with its limits, notifications and the row buttons.
#include "orvix/core/MScroll.h"
#include "orvix/widgets/CRecordList.h"
#include "orvix/widgets/MacroList.h"
#include "tests/orvix/widgets/B_WidgetsFixture.h"

namespace ToolkitTest {
namespace {

class RecordListTest : public WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        list = Make<CRecordList>(L"CRecordList", 131, CRect(10, 10, 410, 310));
    }
    int RowY(int row) const { return 10 + row * 36 + 18; }
    void Fill(std::initializer_list<std::tuple<int, int, int>> rows) {  // type, value, delay
        for (auto [type, value, delay] : rows)
            list->AddString(L"K" + std::to_wstring(value), type, value, delay);
    }
    std::vector<int> Delays() const {
        std::vector<int> delays;
        for (const RecordItem* item : list->GetRecordItems()) delays.push_back(item->delay);
        return delays;
    }
    std::vector<int> Values() const {
        std::vector<int> values;
        for (const RecordItem* item : list->GetRecordItems()) values.push_back(item->value);
        return values;
    }
    // Opens the delay edit of a row, replaces its text and presses Enter.
    void EditDelay(int row, const std::wstring& text) {
        DoubleClick(200, RowY(row));
        list->SetEditText(L"");
        Type(text);
        Key(VK_RETURN);
    }
    CRecordList* list = nullptr;
};

TEST_F(RecordListTest, CountsAndDelayUpdatesOnEmptyAndFilledLists) {
    EXPECT_FALSE(list->UpdateDelayTime(50));
    EXPECT_EQ(list->GetItemCount(), 0);
    Fill({{2, 30, 0}, {1, 0, 0}, {3, 30, 0}});
    EXPECT_EQ(list->GetEventCount(), 2);
    EXPECT_TRUE(list->UpdateDelayTime(50));
    EXPECT_EQ(Delays(), (std::vector<int>{0, 0, 50}));
    EXPECT_EQ(list->GetRecrodTimeStamp(2), 50);
    EXPECT_EQ(list->GetRecrodTimeStamp(3), 0);
}

TEST_F(RecordListTest, SetCurSelAcceptsMinusOneAndRejectsTheCount) {
    Fill({{2, 4, 10}, {3, 4, 10}});
    EXPECT_TRUE(list->SetCurSel(1));
    EXPECT_TRUE(list->SetCurSel(-1));
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_FALSE(list->SetCurSel(2));
    EXPECT_FALSE(list->SetCurSel(-2));
}

TEST_F(RecordListTest, MoveTopMoveBottomAndSwapReorderRows) {
    Fill({{2, 0, 10}, {2, 1, 10}, {2, 2, 10}, {2, 3, 10}, {2, 4, 10}});
    list->MoveTop(3);
    EXPECT_EQ(Values(), (std::vector<int>{3, 0, 1, 2, 4}));
    EXPECT_EQ(list->GetCurSel(), 0);
    list->MoveBottom(1);
    EXPECT_EQ(Values(), (std::vector<int>{3, 1, 2, 4, 0}));
    EXPECT_EQ(list->GetCurSel(), 4);
    list->SwapItem(0, 2);
    list->SwapItem(1, 9);
    EXPECT_EQ(Values(), (std::vector<int>{2, 1, 3, 4, 0}));
    list->MoveTop(7);
    EXPECT_EQ(Values(), (std::vector<int>{2, 1, 3, 4, 0}));
}

TEST_F(RecordListTest, UpdateTimeStampStopsAtTheMatchingPress) {
    Fill({{2, 30, 1}, {3, 30, 2}, {2, 30, 3}, {2, 31, 4}, {3, 30, 5}, {3, 30, 6}});
    list->UpdateTimeStamp(3, 30, 120);
    EXPECT_EQ(Delays(), (std::vector<int>{1, 2, 120, 4, 120, 120}));
    // A type without a press partner reaches every matching row.
    list->UpdateTimeStamp(2, 31, 7);
    list->UpdateTimeStamp(3, 30, 8);
    EXPECT_EQ(Delays(), (std::vector<int>{1, 2, 8, 7, 8, 8}));
}

TEST_F(RecordListTest, TimeStampRowsAreRelabelledAndDeletedTogether) {
    Fill({{2, 1, 100}, {3, 1, 100}, {2, 2, 200}, {3, 2, 200}});
    list->SetCurSel(2);
    list->SetRecordInfo(100, 3, L"Up", 9);
    std::wstring text;
    int type = 0, value = 0, delay = 0;
    ASSERT_TRUE(list->GetRecordInfo(1, text, type, value, delay));
    EXPECT_EQ(text, L"Up");
    EXPECT_EQ(value, 9);
    EXPECT_FALSE(list->GetRecordInfo(4, text, type, value, delay));
    list->DeleteTimeStamp(100);
    EXPECT_EQ(Delays(), (std::vector<int>{200, 200}));
    EXPECT_EQ(list->GetCurSel(), 0);  // still on the row it was on
}

TEST_F(RecordListTest, DelayEditKeepsTheDelayWithinTenAnd65535) {
    Fill({{2, 4, 120}, {3, 4, 80}});
    DoubleClick(200, RowY(1));
    ASSERT_EQ(list->GetEditItem(), 1);
    EXPECT_EQ(Of(131, 30).size(), 1u);
    EXPECT_EQ(list->GetEditText(), L"80");
    list->SetEditText(L"");
    Type(L"5");
    EXPECT_FALSE(Of(131, 26).empty());
    Key(VK_RETURN);
    EXPECT_EQ(list->GetEditItem(), -1);
    EXPECT_EQ(list->GetRecrodTimeStamp(1), 10);
    ASSERT_EQ(Of(131, 29).size(), 1u);
    EXPECT_EQ(Of(131, 29)[0].lParam, 1);

    EditDelay(0, L"70000");
    EXPECT_EQ(list->GetRecrodTimeStamp(0), 65535);
    EditDelay(0, L"99999999999999999999");
    EXPECT_EQ(list->GetRecrodTimeStamp(0), 65535);
    EXPECT_EQ(Of(131, 29).size(), 2u);  // the second 65535 changed nothing
}

TEST_F(RecordListTest, ClosingTheDelayEditWithoutAChangeSendsNo29) {
    Fill({{2, 4, 120}, {3, 4, 80}});
    DoubleClick(200, RowY(0));
    ASSERT_EQ(list->GetEditItem(), 0);
    Click(200, RowY(1));  // a press elsewhere closes it
    EXPECT_EQ(list->GetEditItem(), -1);
    DoubleClick(200, RowY(1));
    Type(L"7");
    Key(VK_ESCAPE);  // restores the text it opened with
    EXPECT_TRUE(Of(131, 29).empty());
    EXPECT_EQ(Delays(), (std::vector<int>{120, 80}));
}

TEST_F(RecordListTest, DeletingTheEditedRowDropsTheEditInsteadOfRetimingAnother) {
    Fill({{2, 4, 120}, {3, 4, 80}, {2, 5, 40}});
    DoubleClick(200, RowY(1));
    list->SetEditText(L"999");
    list->DeleteItem(1);
    EXPECT_EQ(list->GetEditItem(), -1);
    list->HideEdit();
    EXPECT_EQ(Delays(), (std::vector<int>{120, 40}));
    EXPECT_TRUE(Of(131, 29).empty());
}

TEST_F(RecordListTest, PressReleaseAndRightReleaseNotifications) {
    list->SetMoreImage(
        Strip("more", 24, 24, {Color(0xFF101010), Color(0xFF202020), Color(0xFF49FFE6)}).c_str(), 3);
    Fill({{2, 4, 120}, {3, 4, 80}});
    Click(200, 250);  // below the rows
    ASSERT_EQ(Of(131, 1).size(), 1u);
    EXPECT_EQ(Of(131, 1)[0].wParam, WPARAM(-1));
    EXPECT_TRUE(Of(131, 2).empty());

    Click(200, RowY(1));
    EXPECT_EQ(Of(131, 1).back().wParam, 1u);
    EXPECT_EQ(Of(131, 2).size(), 1u);
    EXPECT_EQ(list->GetTimeStampSelect(), 80);

    const CRect more = list->GetMoreRect(0);
    EXPECT_EQ(more, CRect(410 - 24 - 15, 16, 410 - 15, 40));
    Click(more.CenterPoint().x, more.CenterPoint().y);
    EXPECT_EQ(Of(131, 9).size(), 1u);
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_EQ(Paint().GetPixel(more.CenterPoint().x, more.CenterPoint().y), Color(0xFF49FFE6));

    Click(200, RowY(1), true);
    ASSERT_EQ(Of(131, 5).size(), 1u);
    EXPECT_EQ(Of(131, 5)[0].wParam, 1u);
}

TEST_F(RecordListTest, AddingRowsShowsTheBarAndScrollsToTheEnd) {
    for (int i = 0; i < 12; ++i) list->AddString(L"A", 2, i, 10);
    MScroll* bar = list->GetScrollVertical();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollMaxRange(), 12 * 36);
    EXPECT_EQ(bar->GetScrollCurrentPos(), bar->GetScrollMaxRange());
    Click(200, 300);  // the last row shows at the bottom
    EXPECT_EQ(list->GetCurSel(), 11);
    EXPECT_EQ(list->InsertString(0, L"B", 2, 99, 10), 0);
    EXPECT_EQ(list->GetCurSel(), 12);  // the selection stays on its row
    EXPECT_EQ(list->InsertString(99, L"C", 2, 98, 10), 13);
    EXPECT_EQ(list->DeleteAllItems(), 1);
    EXPECT_FALSE(bar->IsVisible());
}

class MacroListTest : public WidgetsTest {
  protected:
    void SetUp() override {
        WidgetsTest::SetUp();
        macros = Make<MacroList>(L"MacroList", 119, CRect(10, 10, 260, 300));
        macros->SetEditImage(
            Strip("edit", 20, 20, {Color(0xFF111111), Color(0xFF222222), Color(0xFF333333)}).c_str(), 3);
        for (const wchar_t* name : {L"Rapid fire", L"Build order", L"Burst"}) macros->AddString(name, 7, -1);
    }
    int RowY(int row) const { return 10 + row * 36 + 18; }
    MacroList* macros = nullptr;
};

TEST_F(MacroListTest, ReleaseOnTheEditButtonSendsNineElseTwo) {
    const CRect button = macros->GetEditRect(1);
    EXPECT_EQ(button, CRect(260 - 20 - 15, 54, 260 - 15, 74));
    Click(button.CenterPoint().x, button.CenterPoint().y);
    EXPECT_EQ(macros->GetCurSel(), 1);
    EXPECT_EQ(Codes(119), (std::vector<UINT>{9}));  // a press sends nothing
    Click(60, RowY(2));
    EXPECT_EQ(Codes(119), (std::vector<UINT>{9, 2}));
    Click(60, RowY(0), true);
    ASSERT_EQ(Of(119, 5).size(), 1u);
    EXPECT_EQ(Of(119, 5)[0].wParam, 0u);
}

TEST_F(MacroListTest, RenameOnlyWhenEnabledAndOnlyAChangeIsReported) {
    DoubleClick(60, RowY(1));
    EXPECT_EQ(macros->GetEditItem(), -1);
    macros->EnableShowEdit(TRUE);
    DoubleClick(60, RowY(1));
    ASSERT_EQ(macros->GetEditItem(), 1);
    Key(VK_RETURN);
    EXPECT_TRUE(Of(119, 29).empty());
    DoubleClick(60, RowY(1));
    Type(L" 2");
    Key(VK_RETURN);
    ASSERT_EQ(Of(119, 29).size(), 1u);
    EXPECT_EQ(Of(119, 29)[0].lParam, 1);
    EXPECT_EQ(macros->GetItemText(1), L"Build order 2");
}

TEST_F(MacroListTest, InsertReturnsTheLastRowAndScaleSizesTheRows) {
    EXPECT_EQ(macros->InsertString(0, L"First", -1, 3), 3);
    EXPECT_EQ(macros->GetItemText(0), L"First");
    EXPECT_EQ(macros->InsertString(4, L"nowhere", -1, 0), -1);
    EXPECT_EQ(macros->FindItemData(3), 0);
    macros->SetScaleValue(1.5f);
    EXPECT_EQ(macros->GetItemRect(1), CRect(10, 64, 260, 118));
}

}  // namespace
}  // namespace ToolkitTest
