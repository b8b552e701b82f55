// The in-place edit box as its hosts open it: the text stays where the closed
// field drew it, the box follows the host's alignment, a page that goes away
// takes its open edit with it, and a new limit holds at once.
#include <algorithm>

#include "orvix/controls/DListBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/platform/Fonts.h"
#include "tests/orvix/controls/B_ControlsFixture.h"

namespace ToolkitTest {
namespace {

// The box around the light pixels inside `area` of the window's picture.
CRect InkBox(HWND hwnd, const CRect& area) {
    Platform::UpdateWindow(hwnd);
    const Canvas* image = Platform::GetPresentedImage(hwnd);
    CRect ink(area.right, area.bottom, area.left, area.top);
    if (!image) return {};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const Color c = image->GetPixel(x, y);
            if (c.GetR() + c.GetG() + c.GetB() < 3 * 128) continue;
            ink.left = std::min<int>(ink.left, x), ink.right = std::max<int>(ink.right, x + 1);
            ink.top = std::min<int>(ink.top, y), ink.bottom = std::max<int>(ink.bottom, y + 1);
        }
    return ink;
}

class InPlaceEditTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        ASSERT_TRUE(RegisterEmbeddedFont());
        hwnd = dlg.Open(CRect(0, 0, 500, 300));
        page = dlg.Add(new Box(&dlg, 40, CRect(0, 0, 500, 180)));
        edit = static_cast<MEdit*>(page->CreateControl(L"MEdit", 5, CRect(20, 20, 260, 56)));
        ASSERT_NE(edit, nullptr);
        edit->SetFont(kEmbeddedFontFamily, 16, 0);
        edit->SetTextColor(Color(0xFFFFFFFF));
        edit->SetTitle(L"Hello");
        other = static_cast<MEdit*>(dlg.CreateControl(L"MEdit", 6, CRect(20, 200, 260, 236)));
    }
    // The first glyph: its left edge, and the top of the ink in its first columns
    // (the caret at the end of the text stands taller than the letters).
    CPoint FirstGlyph() {
        const CRect area = edit->GetTextRect();
        const CRect ink = InkBox(hwnd, area);
        const CRect column = InkBox(hwnd, CRect(ink.left, area.top, ink.left + 3, area.bottom));
        return {ink.left, column.top};
    }
    Box* page = nullptr;
    MEdit* edit = nullptr;
    MEdit* other = nullptr;
};

TEST_F(InPlaceEditTest, OpeningTheEditLeavesTheTextWhereItWas) {
    const CPoint closed = FirstGlyph();
    ASSERT_GT(closed.x, edit->GetTextRect().left - 1);
    ASSERT_TRUE(edit->ShowEdit());
    const CPoint open = FirstGlyph();
    EXPECT_LE(std::abs(open.x - closed.x), 1) << "closed " << closed.x << ", open " << open.x;
    EXPECT_LE(std::abs(open.y - closed.y), 1) << "closed " << closed.y << ", open " << open.y;
}

TEST_F(InPlaceEditTest, ACentredFieldStaysCentredWhenOpenedAndWhileTyping) {
    edit->SetAlignment(1);
    const CRect closed = InkBox(hwnd, edit->GetTextRect());
    ASSERT_TRUE(edit->ShowEdit());
    const CRect open = InkBox(hwnd, edit->GetTextRect());
    // The caret stands after the text: compare the left edges.
    EXPECT_LE(std::abs(open.left - closed.left), 1) << closed.left << " / " << open.left;
    // More text grows both ways from the middle; a click hits the letter under it.
    Type(L"ooo");
    const CRect longer = InkBox(hwnd, edit->GetTextRect());
    EXPECT_LT(longer.left, open.left - 4);
    Headless::MouseMove(hwnd, longer.left + 1, 38);
    Headless::Click(hwnd, longer.left + 1, 38);
    Pump();
    EXPECT_EQ(edit->GetEditBox()->GetSelStart(), 0u);
}

TEST_F(InPlaceEditTest, HidingThePageClosesItsEditAndKeystrokesChangeNothing) {
    Click(100, 38);
    ASSERT_TRUE(edit->IsEditing());
    Type(L"ab");
    EXPECT_EQ(edit->GetEditText(), L"Helloab");
    page->SetVisible(FALSE);  // the page is switched from code
    EXPECT_FALSE(edit->IsEditing());
    EXPECT_EQ(Codes(5).back(), 29u);
    EXPECT_EQ(dlg.GetPaintManager().GetCurrentCaretObject(), nullptr);
    Type(L"xyz");
    Key(VK_BACK);
    EXPECT_EQ(edit->GetTitleEx(), L"Helloab");
    page->SetVisible(TRUE);
    EXPECT_EQ(edit->GetTitle(), L"Helloab");
}

TEST_F(InPlaceEditTest, DisablingAParentClosesTheEditToo) {
    Click(100, 38);
    ASSERT_TRUE(edit->IsEditing());
    page->SetEnabled(FALSE);
    EXPECT_FALSE(edit->IsEditing());
    Type(L"x");
    EXPECT_EQ(edit->GetTitleEx(), L"Hello");
    // An edit elsewhere is left alone by a page it does not sit on.
    page->SetEnabled(TRUE);
    Click(100, 218);
    ASSERT_TRUE(other->IsEditing());
    page->SetVisible(FALSE);
    EXPECT_TRUE(other->IsEditing());
    Type(L"k");
    EXPECT_EQ(other->GetEditText(), L"k");
}

TEST_F(InPlaceEditTest, ABoxWhoseParentWasHiddenBehindItsBackTakesNoKeys) {
    // Visibility stored without the usual call: the box still checks its parents.
    Click(100, 38);
    ASSERT_TRUE(edit->IsEditing());
    page->SetControlVisible(FALSE);
    Type(L"zz");
    EXPECT_FALSE(edit->IsEditing());
    EXPECT_EQ(edit->GetTitleEx(), L"Hello");
}

TEST_F(InPlaceEditTest, ANewLimitHoldsOnAnOpenEditAtOnce) {
    edit->SetTitle(L"");
    Click(100, 38);
    ASSERT_TRUE(edit->IsEditing());
    edit->SetLimitText(3);
    Type(L"abcdef");
    EXPECT_EQ(edit->GetEditText(), L"abc");
}

TEST_F(InPlaceEditTest, ARenamedRowKeepsItsNameWhereTheListDrewIt) {
    auto* list = static_cast<DListBox*>(page->CreateControl(L"DListBox", 8, CRect(280, 20, 480, 170)));
    ASSERT_NE(list, nullptr);
    list->SetFont(kEmbeddedFontFamily, 16, 0);
    list->SetTextColor(Color(0xFFFFFFFF));
    list->AddString(L"Office");
    list->EnableShowEdit(TRUE);
    const CRect row = list->GetItemRect(0);
    const CRect closed = InkBox(hwnd, row);
    ASSERT_TRUE(list->ShowEdit(0));
    // The box is white with dark text: find the dark ink on it.
    Platform::UpdateWindow(hwnd);
    const Canvas* image = Platform::GetPresentedImage(hwnd);
    int left = row.right;
    for (int y = row.top; y < row.bottom; ++y) {
        if (image->GetPixel(row.left + 10, y).GetValue() != 0xFFFFFFFFu) continue;  // a line of the box
        for (int x = row.left + 8; x < row.right - 8; ++x) {
            const Color c = image->GetPixel(x, y);
            if (c.GetR() + c.GetG() + c.GetB() < 3 * 100) left = std::min(left, x);
        }
    }
    EXPECT_LE(std::abs(left - closed.left), 1) << closed.left << " / " << left;
}

}  // namespace
}  // namespace ToolkitTest
