// The keyboard over real controls: Tab and Shift+Tab walk the focus chain in
// reading order, the skin's ring shows on the focused control (or its current
// row) once the keyboard is used, Space and Enter do what a click does, arrows
// move inside lists, tab strips, radio groups, sliders, number fields and combo
// boxes, Esc and Enter are the window's Cancel and default button, and a
// field that has the text caret keeps its keys.
#include "A_ControlsFixture.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/DListBox.h"
#include "orvix/controls/MButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/controls/MEditBox.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/controls/MTabLayout.h"
#include "orvix/controls/NumberEdit.h"
#include "orvix/core/FocusChain.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/widgets/LightSlider.h"
#include "tests/support/UserHands.h"

namespace ControlsTest {
namespace {

class Keyboard : public ControlsTest {
  protected:
    PaintManager& Pm() { return dlg.GetPaintManager(); }
    MControl* Focus() { return Pm().GetFocusControl(); }
    std::vector<UINT> Ids(const FocusChain& chain) {
        std::vector<UINT> ids;
        for (MControl* c : chain.Controls()) ids.push_back(c->GetID());
        return ids;
    }
    int Count(UINT id, UINT code) {
        int n = 0;
        for (const Notification& note : dlg.notifications) n += note.id == id && note.code == code;
        return n;
    }
    UserHands hands;
};

TEST_F(Keyboard, TabWalksTheControlsInReadingOrderAndShiftTabGoesBack) {
    Make<MPicture>(L"MPicture", CRect(0, 0, 600, 400), nullptr, 1);  // no stop for decoration
    Make<MText>(L"MText", CRect(10, 10, 200, 30), L"label", 2);
    // Made in no particular order: a row of three, then a panel at the left
    // whose two buttons stay together, and a row below it.
    Make<MButton>(L"MButton", CRect(400, 50, 480, 80), L"c", 13);
    Make<MButton>(L"MButton", CRect(20, 52, 100, 82), L"a", 11);  // a little lower: still the first row
    Make<MButton>(L"MButton", CRect(200, 50, 280, 80), L"b", 12);
    auto* panel = Make<MTabLayout>(L"MTabLayout", CRect(20, 120, 300, 300), nullptr, 20);
    panel->CreateControl(L"MButton", 22, CRect(40, 200, 120, 230), L"panel 2");
    panel->CreateControl(L"MButton", 21, CRect(40, 140, 120, 170), L"panel 1");
    Make<MButton>(L"MButton", CRect(400, 160, 480, 190), L"right", 30);
    auto* hidden = Make<MButton>(L"MButton", CRect(400, 220, 480, 250), L"hidden", 31);
    auto* off = Make<MButton>(L"MButton", CRect(400, 260, 480, 290), L"disabled", 32);
    auto* notStop = Make<MButton>(L"MButton", CRect(400, 320, 480, 350), L"no stop", 33);
    Make<MButton>(L"MButton", CRect(20, 340, 100, 370), L"last", 40);
    hidden->SetVisible(FALSE);
    off->SetEnabled(FALSE);
    notStop->SetTabStop(FALSE);
    EXPECT_EQ(Ids(FocusChain(Pm())), (std::vector<UINT>{11, 12, 13, 21, 22, 30, 40}));

    std::vector<UINT> walked;
    for (int i = 0; i < 8; ++i) {
        hands.Key(VK_TAB);
        walked.push_back(Focus()->GetID());
    }
    EXPECT_EQ(walked, (std::vector<UINT>{11, 12, 13, 21, 22, 30, 40, 11}));  // round again
    hands.Chord(VK_SHIFT, VK_TAB);
    EXPECT_EQ(Focus()->GetID(), 40u);
    hands.Chord(VK_SHIFT, VK_TAB);
    EXPECT_EQ(Focus()->GetID(), 30u);
    // With Ctrl or Alt held Tab is not the window's.
    hands.Chord(VK_CONTROL, VK_TAB);
    hands.Chord(VK_MENU, VK_TAB);
    EXPECT_EQ(Focus()->GetID(), 30u);
}

TEST_F(Keyboard, TheRingShowsOnceTheKeyboardIsUsedAndGoesWithAPress) {
    auto* a = Make<MButton>(L"MButton", CRect(50, 50, 150, 90), L"a", 11);
    Make<MButton>(L"MButton", CRect(250, 50, 350, 90), L"b", 12);
    // A press gives the focus but no ring.
    hands.ClickControl(a);
    EXPECT_EQ(Focus(), a);
    EXPECT_TRUE(Pm().FocusRingRect().IsRectEmpty());
    const Canvas& before = Paint();
    const uint32_t plain = Px(before, 150 + kFocusRingGap - 1, 70);
    hands.Key(VK_TAB);
    EXPECT_EQ(Focus()->GetID(), 12u);
    CRect ring = Pm().FocusRingRect();
    EXPECT_EQ(ring, CRect(250 - kFocusRingGap, 50 - kFocusRingGap, 350 + kFocusRingGap, 90 + kFocusRingGap));
    // Drawn just outside the control, over whatever lies there; none round the other.
    const Canvas& shown = Paint();
    EXPECT_NE(Px(shown, 350 + kFocusRingGap - 2, 70), Px(shown, 350 + kFocusRingGap + 6, 70));
    EXPECT_EQ(Px(shown, 150 + kFocusRingGap - 1, 70), plain);
    hands.ClickControl(a);
    EXPECT_TRUE(Pm().FocusRingRect().IsRectEmpty());
}

TEST_F(Keyboard, SpaceAndEnterDoWhatAClickDoes) {
    auto* button = Make<MButton>(L"MButton", CRect(50, 50, 150, 90), L"Apply", 11);
    auto* check = Make<CCheckButton>(L"CCheckButton", CRect(50, 120, 250, 150), L"Start", 12);
    hands.Key(VK_TAB);
    ASSERT_EQ(Focus(), button);
    hands.Key(VK_SPACE);
    hands.Key(VK_RETURN);
    EXPECT_EQ(Count(11, 1), 2);
    EXPECT_EQ(Count(11, 2), 2);
    EXPECT_EQ(button->GetState(), STATE_NORMAL);  // the pointer is elsewhere: no hovered look stays
    hands.Key(VK_TAB);
    ASSERT_EQ(Focus(), check);
    hands.Key(VK_SPACE);
    EXPECT_TRUE(check->GetCheck());
    EXPECT_EQ(Count(12, 2), 1);  // what its owner acts on, as for a click
    ASSERT_EQ(Codes(7).size(), 1u);  // and the keyboard's own notice
    EXPECT_EQ(Codes(7)[0].lParam, LPARAM(TRUE));
    hands.Key(VK_SPACE);
    EXPECT_FALSE(check->GetCheck());
}

TEST_F(Keyboard, ArrowsMoveInsideListsTabStripsRadioGroupsSlidersNumberFieldsAndComboBoxes) {
    // A list: arrows move the ring, Enter chooses the row.
    auto* list = Make<DListBox>(L"DListBox", CRect(20, 20, 220, 130), nullptr, 11);
    for (const wchar_t* name : {L"one", L"two", L"three", L"four", L"five"}) list->AddString(name, 0, -1);
    list->SetCurSel(0);
    hands.Key(VK_TAB);
    ASSERT_EQ(Focus(), list);
    hands.Key(VK_DOWN);
    hands.Key(VK_DOWN);
    hands.Key(VK_DOWN);
    EXPECT_EQ(list->GetCurSel(), 0);  // not chosen yet
    EXPECT_EQ(list->GetKeyItem(), 3);
    // The fourth row lay below the list's edge: it was scrolled into view.
    CRect row = list->GetKeyItemRect(3);
    EXPECT_TRUE((row & list->GetRect()) == row);
    // The ring goes round that row.
    EXPECT_EQ(Pm().FocusRingRect(), CRect(row.left - kFocusRingGap, row.top - kFocusRingGap,
                                          row.right + kFocusRingGap, row.bottom + kFocusRingGap));
    hands.Key(VK_RETURN);
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_EQ(Count(11, 2), 1);

    // A radio group: the arrow checks the next radio and moves the focus to it.
    auto* r1 = Make<CRadioButton>(L"CRadioButton", CRect(300, 20, 450, 45), L"one", 21);
    auto* r2 = Make<CRadioButton>(L"CRadioButton", CRect(300, 50, 450, 75), L"two", 22);
    r1->SetGroupName(L"g");
    r2->SetGroupName(L"g");
    r1->SetCheck(TRUE);
    Pm().SetFocusControl(r1);
    hands.Key(VK_DOWN);
    EXPECT_EQ(Focus(), r2);
    EXPECT_TRUE(r2->GetCheck());
    EXPECT_FALSE(r1->GetCheck());
    EXPECT_EQ(Count(22, 2), 1);

    // A slider: one step, told as a move and its release.
    auto* slider = Make<LightSlider>(L"LightSlider", CRect(300, 100, 560, 140), nullptr, 31);
    Pm().SetFocusControl(slider);
    const int before = slider->GetProgress();
    hands.Key(VK_RIGHT);
    EXPECT_EQ(slider->GetProgress(), before + 1);
    EXPECT_EQ(Count(31, 8), 1);
    EXPECT_EQ(Count(31, 2), 1);

    // A number field: Up and Down step it as its buttons do.
    // (number fields are made by containers)
    auto* box = Make<MTabLayout>(L"MTabLayout", CRect(300, 160, 400, 190), nullptr, 40);
    auto* number = static_cast<NumberEdit*>(box->CreateControl(L"NumberEdit", 41, CRect(300, 160, 400, 190), L"7"));
    ASSERT_NE(number, nullptr);
    Pm().SetFocusControl(number);
    hands.Key(VK_UP);
    EXPECT_EQ(number->GetEditText(), L"8");
    hands.Key(VK_DOWN);
    hands.Key(VK_DOWN);
    EXPECT_EQ(number->GetEditText(), L"6");
    const FocusChain chain(Pm());
    for (MControl* c : chain.Controls())
        EXPECT_NE(c->GetParantObject(), number) << "its buttons are served by its keys";

    // A combo box: an arrow chooses the next item at once.
    auto* combo = Make<MComboBox>(L"MComboBox", CRect(300, 220, 460, 250), nullptr, 51);
    combo->AddItem(L"a", 1);
    combo->AddItem(L"b", 2);
    combo->SetCurSel(0);
    Pm().SetFocusControl(combo);
    hands.Key(VK_DOWN);
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(Count(51, 2), 1);
    // Space opens its drop-down, whose list has the keyboard; Enter chooses there.
    hands.Key(VK_SPACE);
    ASSERT_NE(combo->GetDropDown(), nullptr);
    hands.Key(VK_UP);
    hands.Key(VK_RETURN);
    Pump();
    EXPECT_EQ(combo->GetDropDown(), nullptr);
    EXPECT_EQ(combo->GetCurSel(), 0);
}

TEST_F(Keyboard, ArrowsSwitchTabs) {
    auto* tabs = Make<MTabCtrl>(L"MTabCtrl", CRect(20, 20, 320, 60), nullptr, 11);
    tabs->SetTabCtrlHeight(40);
    for (UINT id : {1u, 2u, 3u}) tabs->InsertItem(id, L"tab", nullptr, nullptr, -1, 100);
    tabs->SetSelectItem(0);
    Pm().SetFocusControl(tabs);
    hands.Key(VK_RIGHT);
    EXPECT_EQ(tabs->GetSelectItem(), 1);
    hands.Key(VK_RIGHT);
    hands.Key(VK_RIGHT);  // the last one: it stays
    EXPECT_EQ(tabs->GetSelectItem(), 2);
    hands.Key(VK_LEFT);
    EXPECT_EQ(tabs->GetSelectItem(), 1);
}

// The window's keys: Esc is its Cancel, Enter its default button; a field
// being typed in hands them on after ending the typing.
class DialogKeys : public Keyboard {
  protected:
    void SetUp() override {
        Keyboard::SetUp();
        field = Make<MEdit>(L"MEdit", CRect(20, 20, 300, 50), L"/usr/bin", 11);
        ok = Make<MButton>(L"MButton", CRect(20, 300, 120, 340), L"OK", 12);
        cancel = Make<MButton>(L"MButton", CRect(140, 300, 240, 340), L"Cancel", 13);
        dlg.SetDefaultButton(12);
        dlg.SetCancelButton(13);
    }
    MEdit* field = nullptr;
    MButton* ok = nullptr;
    MButton* cancel = nullptr;
};

TEST_F(DialogKeys, EscIsCancelAndEnterIsTheDefaultButtonEvenFromATextField) {
    hands.Key(VK_ESCAPE);
    EXPECT_EQ(Count(13, 2), 1);
    hands.Key(VK_RETURN);
    EXPECT_EQ(Count(12, 2), 1);
    // Typing in the field: Enter ends it (the field keeps the text) and is OK.
    hands.ClickControl(field);
    ASSERT_TRUE(field->IsEditing());
    hands.Key(VK_END);
    hands.Type(L"/true");
    hands.Key(VK_RETURN);
    EXPECT_FALSE(field->IsEditing());
    EXPECT_EQ(field->GetEditText(), L"/usr/bin/true");
    EXPECT_EQ(Count(12, 2), 2);
    // Esc in the field drops what was typed, then is the window's Cancel.
    hands.ClickControl(field);
    hands.Type(L"x");
    hands.Key(VK_ESCAPE);
    EXPECT_EQ(field->GetEditText(), L"/usr/bin/true");
    EXPECT_EQ(Count(13, 2), 2);
    // Enter on a focused button is that button's, not the default's.
    Pm().SetFocusControl(cancel);
    hands.Key(VK_RETURN);
    EXPECT_EQ(Count(13, 2), 3);
    EXPECT_EQ(Count(12, 2), 2);
}

TEST_F(DialogKeys, ARenameBoxKeepsEscAndEnterForItself) {
    // A list's in-place rename box takes Esc and Enter as the end of the rename only.
    auto* list = Make<DListBox>(L"DListBox", CRect(320, 20, 520, 200), nullptr, 21);
    list->AddString(L"Profile 1", 1, -1);
    list->EnableShowEdit(TRUE);
    list->SetCurSel(0);
    hands.ClickAt(hwnd, list->GetItemRect(0).CenterPoint(), true);  // a right click opens the rename
    ASSERT_EQ(list->GetEditItem(), 0);
    hands.Key(VK_ESCAPE);
    EXPECT_EQ(list->GetEditItem(), -1);
    EXPECT_EQ(Count(13, 2), 0) << "Esc ended the rename only";
    hands.ClickAt(hwnd, list->GetItemRect(0).CenterPoint(), true);
    hands.Type(L"x");
    hands.Key(VK_RETURN);
    EXPECT_EQ(Count(12, 2), 0) << "Enter ended the rename only";
}

// Keys go to the window that is active, whichever window the desktop named.
TEST_F(Keyboard, KeysGoToTheActiveWindow) {
    TestDialog other;
    const HWND otherHwnd = other.Open(CRect(800, 100, 1000, 300));
    auto* button = dynamic_cast<MButton*>(other.CreateControl(L"MButton", 61, CRect(10, 10, 100, 50), L"b"));
    Pump();
    ASSERT_EQ(Platform::GetActiveWindow(), otherHwnd);
    other.SetFocusControl(button);
    H::KeyPress(hwnd, VK_SPACE);  // named for the first window
    Pump();
    ASSERT_EQ(other.notifications.size(), 2u);
    EXPECT_EQ(other.notifications[1].code, 2u);
    EXPECT_TRUE(dlg.notifications.empty());
}

}  // namespace
}  // namespace ControlsTest

namespace ControlsTest {
namespace {

// A drop-down closed by Esc (or a choice) while the pointer rests on its combo
// box: the next click on the combo opens it again. Only a press on the combo
// that takes the drop-down's activation away is not taken as a new opening.
TEST_F(Keyboard, AComboBoxOpensAgainAfterItsDropDownClosedWithEscUnderThePointer) {
    auto* combo = Make<MComboBox>(L"MComboBox", CRect(100, 100, 260, 130), nullptr, 51);
    combo->AddItem(L"a", 1);
    combo->AddItem(L"b", 2);
    hands.ClickControl(combo);
    ASSERT_NE(combo->GetDropDown(), nullptr);
    hands.Key(VK_ESCAPE);
    Pump();
    ASSERT_EQ(combo->GetDropDown(), nullptr);
    hands.Click();  // the pointer never moved
    ASSERT_NE(combo->GetDropDown(), nullptr) << "the click after Esc was lost";
    hands.Click();  // a press on the combo while open closes it, and opens nothing
    Pump();
    EXPECT_EQ(combo->GetDropDown(), nullptr);
}

}  // namespace
}  // namespace ControlsTest
