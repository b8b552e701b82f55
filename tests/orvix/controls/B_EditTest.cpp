// The edit box through MEdit: typing, limits, caret, selection, clipboard,
// composition and the notifications of opening, changing and closing.
#include "orvix/controls/EditModel.h"
#include "orvix/controls/MEdit.h"
#include "tests/orvix/controls/B_ControlsFixture.h"

namespace ToolkitTest {
namespace {

class EditTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 400, 300));
        edit = static_cast<MEdit*>(dlg.CreateControl(L"MEdit", 5, CRect(20, 20, 220, 56)));
        ASSERT_NE(edit, nullptr);
        dlg.CreateControl(L"MEdit", 6, CRect(20, 100, 220, 136));
    }
    MEditBox* Box() { return edit->GetEditBox(); }
    MEdit* edit = nullptr;
};

TEST_F(EditTest, PressOpensTheBoxAndTypingBecomesTheTitleUntilFocusMoves) {
    Click(100, 38);
    ASSERT_TRUE(edit->IsEditing());
    EXPECT_EQ(Codes(5), (std::vector<UINT>{30, 1, 2}));
    EXPECT_EQ(edit->GetLook(), 2);
    Type(L"abc");
    EXPECT_EQ(edit->GetEditText(), L"abc");
    EXPECT_EQ(edit->GetTitleEx(), L"abc");
    EXPECT_EQ(Codes(5).size(), 6u);  // 26 for each change
    Click(100, 118);                 // the other field takes the focus
    EXPECT_FALSE(edit->IsEditing());
    EXPECT_EQ(Codes(5).back(), 29u);
    EXPECT_EQ(edit->GetTitle(), L"abc");
}

TEST_F(EditTest, TypingHonoursTheLimitAndDigitsOnly) {
    edit->SetLimitText(5);
    edit->SetNumberOnly(TRUE);
    Click(100, 38);
    Type(L"12a34-5678");
    EXPECT_EQ(edit->GetEditText(), L"12345");
}

TEST_F(EditTest, CaretMovesAndShiftSelectsWhatTheNextCharacterReplaces) {
    edit->SetTitle(L"hello world");
    Click(100, 38);
    EXPECT_EQ(Box()->GetSelStart(), 11u);  // opens with the caret at the end
    Key(VK_HOME);
    for (int i = 0; i < 5; ++i) Key(VK_RIGHT, VK_SHIFT);
    EXPECT_EQ(Box()->GetSelEnd() - Box()->GetSelStart(), 5u);
    Type(L"J");
    EXPECT_EQ(edit->GetEditText(), L"J world");
    Key(VK_RIGHT, VK_CONTROL);  // to the next word
    Key(VK_BACK, VK_CONTROL);   // and back over it
    EXPECT_EQ(edit->GetEditText(), L"world");
}

TEST_F(EditTest, PasteIsCutToTheLimitAndCutCopiesThenRemoves) {
    edit->SetLimitText(5);
    edit->SetTitle(L"ab");
    Click(100, 38);
    Platform::SetClipboardText(L"cdefgh");
    Key('V', VK_CONTROL);
    EXPECT_EQ(edit->GetEditText(), L"abcde");
    Key('A', VK_CONTROL);
    Key('X', VK_CONTROL);
    EXPECT_EQ(Platform::GetClipboardText(), L"abcde");
    EXPECT_EQ(edit->GetEditText(), L"");
}

TEST_F(EditTest, APasswordIsMaskedAndNeverCopiedOut) {
    edit->EnablePassWord(TRUE);
    Click(100, 38);
    Type(L"secret");
    Platform::SetClipboardText(L"before");
    Key('A', VK_CONTROL);
    Key('C', VK_CONTROL);
    EXPECT_EQ(Platform::GetClipboardText(), L"before");
    EXPECT_EQ(edit->GetEditText(), L"secret");
}

TEST_F(EditTest, EscapeRestoresTheTextItOpenedWithAndCloses) {
    edit->SetTitle(L"keep");
    Click(100, 38);
    Type(L"xyz");
    Key(VK_ESCAPE);
    EXPECT_FALSE(edit->IsEditing());
    EXPECT_EQ(edit->GetTitle(), L"keep");
}

TEST_F(EditTest, PressesInsideTheOpenBoxPlaceTheCaretAndDragSelects) {
    edit->SetTitle(L"abcdef");
    Click(100, 38);
    CRect box = Box()->GetRect();
    Click(box.left + 2, 38);  // before the first character
    EXPECT_EQ(Box()->GetSelStart(), 0u);
    EXPECT_TRUE(edit->IsEditing());  // the press did not take the focus away
    Headless::MouseDown(hwnd, box.left + 2, 38);
    Headless::MouseMove(hwnd, box.right - 2, 38);
    Headless::MouseUp(hwnd, box.right - 2, 38);
    Pump();
    EXPECT_EQ(Box()->GetSelStart(), 0u);
    EXPECT_EQ(Box()->GetSelEnd(), 6u);
    EXPECT_EQ(Platform::GetCapture(), nullptr);
}

TEST_F(EditTest, CompositionShowsUntilTheCommittedTextArrives) {
    Click(100, 38);
    Headless::Compose(hwnd, L"ni", 2);
    Pump();
    EXPECT_EQ(Box()->GetComposition(), L"ni");
    EXPECT_EQ(edit->GetEditText(), L"");
    EXPECT_FALSE(Headless::GetTextInputRect().IsRectEmpty());
    Type(L"\x4F60");
    EXPECT_EQ(Box()->GetComposition(), L"");
    EXPECT_EQ(edit->GetEditText(), L"\x4F60");
}

TEST_F(EditTest, KeysThatTypeStayInTheBoxSpaceAlsoReachesTheField) {
    Probe* hot = dlg.Add(new Probe(&dlg, 7, CRect(300, 20, 340, 60)));
    hot->acceptKeys = true;
    Click(100, 38);
    Key('Q');
    for (const std::wstring& e : hot->events) EXPECT_NE(e, L"key 81/0");
    dlg.notifications.clear();
    Key(VK_SPACE);
    EXPECT_EQ(Codes(5), (std::vector<UINT>{1, 2}));
}

TEST_F(EditTest, GetTitleClosesAnOpenEditFirst) {
    Click(100, 38);
    Type(L"x");
    EXPECT_EQ(edit->GetTitle(), L"x");
    EXPECT_FALSE(edit->IsEditing());
    EXPECT_EQ(Codes(5).back(), 29u);
}

// ---- the text model alone ----

TEST(EditModel, InsertReplacesTheSelectionWithinTheRoomTheLimitLeaves) {
    EditModel m;
    m.SetLimit(6);
    m.SetText(L"abcdef");
    EXPECT_FALSE(m.Insert(L"x"));  // full
    m.SetSel(1, 3);
    EXPECT_TRUE(m.Insert(L"WXYZ"));  // two free places after removing "bc"
    EXPECT_EQ(m.GetText(), L"aWXdef");
    EXPECT_EQ(m.GetCaret(), 3u);
}

TEST(EditModel, DigitsOnlyRefusesAnyTextWithOtherCharacters) {
    EditModel m;
    m.SetDigitsOnly(true);
    EXPECT_FALSE(m.Insert(L"1,200"));
    EXPECT_TRUE(m.Insert(L"1200"));
    EXPECT_EQ(m.GetText(), L"1200");
}

TEST(EditModel, MovesCollapseOrExtendTheSelectionAndFollowLines) {
    EditModel m;
    m.SetText(L"one two\nthree");
    m.SetSel(0, 3);
    m.MoveRight(false, false);
    EXPECT_EQ(m.GetCaret(), 3u);
    EXPECT_FALSE(m.HasSelection());
    m.MoveTo(10, false);
    m.MoveHome(true);
    EXPECT_EQ(m.GetCaret(), 8u);
    EXPECT_EQ(m.GetSelectedText(), L"th");
    m.MoveEnd(false);
    EXPECT_EQ(m.GetCaret(), 13u);
    m.SelectWordAt(5);
    EXPECT_EQ(m.GetSelectedText(), L"two");
}

}  // namespace
}  // namespace ToolkitTest
