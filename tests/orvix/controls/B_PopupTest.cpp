// Combo drop-downs and menus: size, placement, choosing, closing, self-deletion.
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MComboBox2.h"
#include "orvix/core/MScroll.h"
#include "orvix/controls/MenuWnd.h"
#include "tests/orvix/controls/B_ControlsFixture.h"

namespace ToolkitTest {
namespace {

constexpr UINT kNotify = 1709;

class PopupTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        hwnd = dlg.Open(CRect(100, 100, 600, 500));
        combo = static_cast<MComboBox*>(dlg.CreateControl(L"MComboBox", 4, CRect(20, 20, 220, 52)));
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < 12; ++i) combo->AddItem((L"Rate " + std::to_wstring(i)).c_str(), 1000 + i);
    }
    MComboBox* combo = nullptr;
};

TEST_F(PopupTest, TwelveItemsOpenADropDownOf252PixelsRightBelowTheCombo) {
    Click(100, 36);
    ComboWnd* drop = combo->GetDropDown();
    ASSERT_NE(drop, nullptr);
    EXPECT_STREQ(drop->GetWindowClassName(), L"ComboWnd");
    EXPECT_EQ(drop->GetWindowRect(), CRect(120, 152, 320, 152 + 252));
    ASSERT_NE(drop->GetList(), nullptr);
    EXPECT_EQ(drop->GetList()->GetItemCount(), 12);
    EXPECT_TRUE(drop->GetList()->GetScrollVertical()->IsVisible());
}

TEST_F(PopupTest, ChoosingAnItemSelectsItNotifiesTheOwnerAndCloses) {
    Click(100, 36);
    HWND drop = combo->GetDropDown()->GetSafeHwnd();
    // Row 3 of the list, which starts 6 pixels into the drop-down.
    Headless::MouseMove(drop, 50, 6 + 3 * 30 + 15);
    Headless::Click(drop, 50, 6 + 3 * 30 + 15);
    Pump();
    EXPECT_EQ(combo->GetCurSel(), 3);
    EXPECT_EQ(combo->GetTitle(), L"Rate 3");
    EXPECT_EQ(combo->GetCurData(), 1003);
    ASSERT_FALSE(dlg.notifications.empty());
    EXPECT_EQ(dlg.notifications.back().code, 2u);
    EXPECT_EQ(dlg.notifications.back().wParam, 3u);
    EXPECT_EQ(combo->GetDropDown(), nullptr);
    EXPECT_FALSE(Platform::IsWindow(drop));
}

TEST_F(PopupTest, ClickingOutsideClosesWithoutChoosingAndTheComboDoesNotReopen) {
    combo->SetCurSel(1);
    Click(100, 36);
    HWND drop = combo->GetDropDown()->GetSafeHwnd();
    Click(100, 36);  // the press on the combo that closes its drop-down
    EXPECT_FALSE(Platform::IsWindow(drop));
    EXPECT_EQ(combo->GetDropDown(), nullptr);
    Click(400, 300);
    EXPECT_EQ(combo->GetCurSel(), 1);
    for (const Notification& n : dlg.notifications) EXPECT_NE(n.code, 2u);
}

TEST_F(PopupTest, SelectionRangeAndDataLookups) {
    EXPECT_FALSE(combo->SetCurSel(12));
    EXPECT_TRUE(combo->SelectData(1005));
    EXPECT_EQ(combo->GetCurSel(), 5);
    EXPECT_FALSE(combo->SelectData(7));
    EXPECT_TRUE(combo->SetCurSel(-1));
    EXPECT_EQ(combo->GetTitle(), L"");
    EXPECT_TRUE(combo->DeleteItem(0));
    EXPECT_EQ(combo->FindData(1005), 4);
}

TEST_F(PopupTest, CheckingAComboBox2ClearsItsGroupOnly) {
    auto make = [&](UINT id, const wchar_t* group) {
        auto* c = static_cast<MComboBox2*>(dlg.CreateControl(L"MComboBox2", id, CRect(20, 300, 100, 330)));
        if (!c) c = new MComboBox2(&dlg, id, CRect(20, 300, 100, 330));  // a container-only class
        c->SetGroupName(group);
        return c;
    };
    MComboBox2* a = dlg.Add(make(30, L"g"));
    MComboBox2* b = dlg.Add(make(31, L"g"));
    MComboBox2* other = dlg.Add(make(32, L"h"));
    a->SetCheck(TRUE);
    other->SetCheck(TRUE);
    b->SetCheck(TRUE);
    EXPECT_FALSE(a->GetCheck());
    EXPECT_TRUE(b->GetCheck());
    EXPECT_TRUE(other->GetCheck());
}

// ---- menus ----

class TrackedMenu : public MenuWnd {
public:
    explicit TrackedMenu(bool* gone) : m_gone(gone) {}
    ~TrackedMenu() override { *m_gone = true; }

private:
    bool* m_gone;
};

class MenuTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        hwnd = dlg.Open(CRect(100, 100, 600, 500));
        menu = new TrackedMenu(&gone);
        ASSERT_NE(menu->Create(hwnd, CPoint(300, 200), kNotify, 160), nullptr);
        menu->AddMenu(L"Copy", 41);
        menu->AddSeparator(42);
        menu->AddMenu(L"Delete", 43);
        Pump();
    }
    bool gone = false;
    TrackedMenu* menu = nullptr;
};

TEST_F(MenuTest, TwoEntriesAndASeparatorMakeA66PixelMenu) {
    EXPECT_EQ(menu->GetWindowRect(), CRect(300, 200, 460, 266));
    EXPECT_EQ(menu->GetItem(43)->GetRect(), CRect(2, 35, 158, 60));
    menu->SetItemVisible(41, FALSE);
    EXPECT_EQ(menu->GetWindowRect().Height(), 41);
}

TEST_F(MenuTest, ChoosingAnEntryPostsItsIdAndTheMenuDeletesItself) {
    HWND window = menu->GetSafeHwnd();
    Headless::MouseMove(window, 50, 45);
    Headless::Click(window, 50, 45);
    Pump();
    ASSERT_FALSE(dlg.posted.empty());
    EXPECT_EQ(dlg.posted.back().lParam, 43);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(Platform::IsWindow(window));
}

TEST_F(MenuTest, ClickingOutsideClosesWithoutPosting) {
    Click(20, 20);
    EXPECT_TRUE(dlg.posted.empty());
    EXPECT_TRUE(gone);
}

TEST_F(MenuTest, AMenuNearTheBottomOfTheScreenOpensUpwards) {
    bool otherGone = false;
    auto* low = new TrackedMenu(&otherGone);
    low->Create(hwnd, CPoint(300, 1060), kNotify, 160);
    low->AddMenu(L"Only", 1);
    EXPECT_EQ(low->GetWindowRect(), CRect(300, 1060 - 37, 460, 1060));
    low->CloseWindow();
    Pump();
    EXPECT_TRUE(otherGone);
}

}  // namespace
}  // namespace ToolkitTest
