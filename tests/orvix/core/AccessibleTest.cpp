// What a screen reader is told: the events between two snapshots of the
// control tree, and how real controls of a window describe themselves and are
// acted on.
#include <algorithm>

#include "ToolkitFixture.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/core/AccessibleHub.h"
#include "orvix/core/MText.h"

using namespace ToolkitTest;

namespace {

AccessibleNode Node(const std::string& name, AccessibleRole role = AccessibleRole::PushButton) {
    AccessibleNode node;
    node.path = std::string(AccessibleSnapshot::kPathPrefix) + name;
    node.name = name;
    node.role = role;
    node.states.Set(AccessibleState::Showing);
    node.extents = CRect(0, 0, 100, 100);
    return node;
}

// The application, one window "w" and the named controls in it.
AccessibleSnapshot Window(const std::vector<AccessibleNode>& controls) {
    AccessibleSnapshot s;
    AccessibleNode app = Node("root", AccessibleRole::Application);
    app.path = AccessibleSnapshot::kRootPath;
    s.Add(app, -1);
    const int w = s.Add(Node("w", AccessibleRole::Frame), 0);
    for (const AccessibleNode& c : controls) s.Add(c, w);
    return s;
}

std::string Describe(const AccessibleEvent& e) {
    const std::string who = e.path.substr(e.path.rfind('/') + 1);
    using K = AccessibleEvent::Kind;
    switch (e.kind) {
        case K::StateChanged:
            return who + ":" + e.detail + "=" + std::to_string(e.detail1);
        case K::NameChanged:
            return who + ":name=" + e.text;
        case K::ChildAdded:
            return who + ":add " + std::to_string(e.detail1) + " " + e.child.substr(e.child.rfind('/') + 1);
        case K::ChildRemoved:
            return who + ":remove " + std::to_string(e.detail1) + " " +
                   e.child.substr(e.child.rfind('/') + 1);
        case K::TextInserted:
            return who + ":insert " + std::to_string(e.detail1) + " " + e.text;
        case K::TextRemoved:
            return who + ":delete " + std::to_string(e.detail1) + " " + e.text;
        case K::WindowCreated:
            return who + ":window-create";
        case K::WindowDestroyed:
            return who + ":window-destroy";
        case K::WindowActivated:
            return who + ":activate";
        case K::WindowDeactivated:
            return who + ":deactivate";
        case K::ValueChanged:
            return who + ":value";
        case K::SelectionChanged:
            return who + ":selection";
        case K::DescriptionChanged:
            return who + ":description";
    }
    return "?";
}

std::vector<std::string> Events(const AccessibleSnapshot& before, const AccessibleSnapshot& after) {
    std::vector<std::string> out;
    for (const AccessibleEvent& e : DiffSnapshots(before, after)) out.push_back(Describe(e));
    return out;
}

AccessibleNode Focused(AccessibleNode node) {
    node.states.Set(AccessibleState::Focused);
    return node;
}

}  // namespace

TEST(AccessibleEvents, FocusIsLostBeforeItIsGainedAndAnUnchangedTreeSaysNothing) {
    const AccessibleSnapshot a = Window({Focused(Node("ok")), Node("cancel")});
    const AccessibleSnapshot b = Window({Node("ok"), Focused(Node("cancel"))});
    EXPECT_EQ(Events(a, b), (std::vector<std::string>{"ok:focused=0", "cancel:focused=1"}));
    EXPECT_EQ(Events(b, b), std::vector<std::string>{});
    // The focus on a control that just appeared: only the gain (nothing to lose on the one that went).
    const AccessibleSnapshot c = Window({Focused(Node("new"))});
    EXPECT_EQ(Events(b, c), (std::vector<std::string>{"w:remove 1 cancel", "w:remove 0 ok", "w:add 0 new",
                                                      "new:focused=1"}));
}

TEST(AccessibleEvents, WindowsAndChildrenComeAndGoWithTheirIndices) {
    AccessibleSnapshot a = Window({Node("a"), Node("b"), Node("c")});
    AccessibleSnapshot b = Window({Node("a"), Node("c"), Node("d")});
    const int dialog = b.Add(Node("dlg", AccessibleRole::Dialog), 0);
    b.Add(Node("yes"), dialog);
    EXPECT_EQ(Events(a, b),
              (std::vector<std::string>{"root:add 1 dlg", "w:remove 1 b", "w:add 2 d", "dlg:window-create"}));
    // Removed again: the window goes, and only the window.
    EXPECT_EQ(Events(b, a), (std::vector<std::string>{"dlg:window-destroy", "root:remove 1 dlg",
                                                      "w:remove 2 d", "w:add 1 b"}));
}

TEST(AccessibleEvents, NamesStatesTextsAndActivationOfWhatStayed) {
    AccessibleNode box = Node("box", AccessibleRole::CheckBox);
    AccessibleNode field = Node("field", AccessibleRole::Entry);
    field.hasText = true;
    field.text = L"800 DPI";
    AccessibleSnapshot a = Window({box, field});
    box.name = "Boîte";
    box.states.Set(AccessibleState::Checked);
    field.text = L"1600 DPI";
    AccessibleSnapshot b = Window({box, field});
    EXPECT_EQ(Events(a, b), (std::vector<std::string>{"box:name=Boîte", "box:checked=1", "field:delete 0 8",
                                                      "field:insert 0 16"}));
    // The window becomes active: activation and the state, once.
    AccessibleSnapshot c = Window({box, field});
    const_cast<AccessibleNode&>(c.At(1)).states.Set(AccessibleState::Active);
    EXPECT_EQ(Events(b, c), (std::vector<std::string>{"w:activate", "w:active=1"}));
    EXPECT_EQ(Events(c, b), (std::vector<std::string>{"w:deactivate", "w:active=0"}));
}

TEST(AccessibleEvents, TextEditsAreTheShortestAndNeverOverlap) {
    auto edit = [](const wchar_t* a, const wchar_t* b) {
        const TextEdit e = DiffText(a, b);
        return std::to_string(e.offset) + "-" + std::to_string(e.removed) + "+" + std::to_string(e.inserted);
    };
    EXPECT_EQ(edit(L"abc", L"abc"), "3-0+0");
    EXPECT_EQ(edit(L"", L"abc"), "0-0+3");
    EXPECT_EQ(edit(L"abc", L""), "0-3+0");
    EXPECT_EQ(edit(L"aXc", L"aYYc"), "1-1+2");
    // Repeated letters: prefix and suffix must not both claim the same character.
    EXPECT_EQ(edit(L"aa", L"aaa"), "2-0+1");
    EXPECT_EQ(edit(L"aaa", L"a"), "1-2+0");
}

TEST(AccessibleEvents, ThePointFindsTheTopmostShowingNode) {
    AccessibleNode under = Node("under");
    under.extents = CRect(0, 0, 50, 50);
    AccessibleNode over = Node("over");
    over.extents = CRect(10, 10, 30, 30);
    AccessibleNode hidden = Node("hidden");
    hidden.extents = CRect(0, 0, 50, 50);
    hidden.states.Set(AccessibleState::Showing, false);
    const AccessibleSnapshot s = Window({under, over, hidden});
    EXPECT_EQ(s.NodeAt(1, CPoint(20, 20))->name, "over");
    EXPECT_EQ(s.NodeAt(1, CPoint(40, 40))->name, "under");
    EXPECT_EQ(s.NodeAt(1, CPoint(60, 60)), nullptr);
}

// ---- real controls in a window ----

namespace {

class AccessibleWindow : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ASSERT_TRUE(Manager::InitGdiplus());
        hwnd = dlg.Open(CRect(100, 50, 500, 350));
        Platform::SetActiveWindow(hwnd);
        check = static_cast<CCheckButton*>(
            dlg.CreateControl(L"CCheckButton", 10, CRect(10, 10, 110, 30), L"Wake up"));
        panel = dlg.Add(new Box(&dlg, 20, CRect(10, 40, 300, 260)));
        label =
            static_cast<MText*>(panel->CreateControl(L"MText", 21, CRect(20, 50, 120, 70), L"Sleep after"));
        picture = panel->CreateControl(L"MPicture", 22, CRect(130, 50, 160, 80));
        tabs = static_cast<MTabCtrl*>(panel->CreateControl(L"MTabCtrl", 23, CRect(20, 100, 200, 222)));
        tabs->SetTabType(1);
        tabs->SetTabCtrlWidth(180);
        tabs->SetTabCtrlHeight(60);
        tabs->InsertItem(1, L"Keys", nullptr, nullptr);
        tabs->InsertItem(2, L"DPI", nullptr, nullptr);
        tabs->SetSelectItem(1);
        Pump();
    }
    void TearDown() override {
        AccessibleHub::SetListener(nullptr);
        dlg.DestroyWindow();
        Manager::UnInitGdiplus();
        HeadlessTest::TearDown();
    }
    std::shared_ptr<AccessibleSnapshot> Snapshot() { return DescribeWindows({&dlg}, L"App"); }
    static const AccessibleNode* Named(const AccessibleSnapshot& s, const std::string& name) {
        for (const AccessibleNode& n : s.Nodes())
            if (n.name == name) return &n;
        return nullptr;
    }

    TestDialog dlg;
    HWND hwnd = nullptr;
    CCheckButton* check = nullptr;
    MPanel* panel = nullptr;
    MText* label = nullptr;
    MControl* picture = nullptr;
    MTabCtrl* tabs = nullptr;
};

}  // namespace

TEST_F(AccessibleWindow, ControlsSayWhatTheyAreAndDecorationStaysOut) {
    auto s = Snapshot();
    const AccessibleNode& window = s->At(1);
    EXPECT_EQ(window.role, AccessibleRole::Frame);
    EXPECT_EQ(window.name, "test");
    EXPECT_TRUE(window.states.Has(AccessibleState::Active));
    EXPECT_EQ(window.extents, Platform::GetWindowRect(hwnd));
    // The bare panel and the nameless picture are left out; the panel's children sit in the window.
    std::vector<std::string> names;
    for (int c : window.children) names.push_back(s->At(c).name);
    EXPECT_EQ(names, (std::vector<std::string>{"Wake up", "Sleep after", ""}));
    const AccessibleNode* box = Named(*s, "Wake up");
    EXPECT_EQ(box->role, AccessibleRole::CheckBox);
    EXPECT_EQ(box->action, "toggle");
    EXPECT_FALSE(box->states.Has(AccessibleState::Checked));
    EXPECT_TRUE(box->states.Has(AccessibleState::Focusable));
    // Extents on the screen: the window's client origin plus the control's rect.
    CPoint origin(0, 0);
    Platform::ClientToScreen(hwnd, origin);
    EXPECT_EQ(box->extents, CRect(10 + origin.x, 10 + origin.y, 110 + origin.x, 30 + origin.y));
    EXPECT_EQ(Named(*s, "Sleep after")->role, AccessibleRole::Label);
    const AccessibleNode& strip = s->At(window.children[2]);
    EXPECT_EQ(strip.role, AccessibleRole::PageTabList);
    ASSERT_EQ(strip.children.size(), 2u);
    EXPECT_EQ(s->At(strip.children[0]).role, AccessibleRole::PageTab);
    EXPECT_FALSE(s->At(strip.children[0]).states.Has(AccessibleState::Selected));
    EXPECT_TRUE(s->At(strip.children[1]).states.Has(AccessibleState::Selected));
    EXPECT_TRUE(strip.selection);

    // A picture with a name counts; a hidden container takes its children away; a disabled one disables them.
    picture->SetAccessibleName(L"Mouse");
    check->SetCheck(TRUE);
    s = Snapshot();
    EXPECT_EQ(Named(*s, "Mouse")->role, AccessibleRole::Image);
    EXPECT_TRUE(Named(*s, "Wake up")->states.Has(AccessibleState::Checked));
    panel->SetEnabled(FALSE);
    s = Snapshot();
    EXPECT_FALSE(Named(*s, "Sleep after")->states.Has(AccessibleState::Enabled));
    EXPECT_FALSE(Named(*s, "Keys")->states.Has(AccessibleState::Sensitive));
    panel->SetVisible(FALSE);
    s = Snapshot();
    EXPECT_EQ(Named(*s, "Sleep after"), nullptr);
    EXPECT_EQ(Named(*s, "Keys"), nullptr);
}

TEST_F(AccessibleWindow, TheFocusGoesToTheCurrentItemOfAStrip) {
    dlg.GetPaintManager().SetFocusControl(tabs);
    auto s = Snapshot();
    ASSERT_NE(s->Focused(), nullptr);
    EXPECT_EQ(s->Focused()->name, "DPI");
    EXPECT_EQ(s->Focused()->item, 1);
    dlg.GetPaintManager().SetFocusControl(check);
    s = Snapshot();
    EXPECT_EQ(s->Focused()->name, "Wake up");
}

TEST_F(AccessibleWindow, ActionsClickThroughTheControlsOwnInputAndNotInABlockedWindow) {
    std::vector<std::vector<AccessibleEvent>> heard;
    AccessibleHub::SetListener(
        [&](std::shared_ptr<const AccessibleSnapshot>, std::vector<AccessibleEvent> events) {
            heard.push_back(std::move(events));
        });
    AccessibleHub::Rebuild();
    bool answered = false, answer = false;
    auto then = [&](bool ok) { answered = true, answer = ok; };
    // The check box toggles and its owner hears the click, as from a person's click.
    dlg.notifications.clear();
    EXPECT_TRUE(AccessibleHub::DoAction(check->GetSerial(), -1, then));
    EXPECT_TRUE(answered && answer);
    EXPECT_TRUE(check->GetCheck());
    EXPECT_TRUE(std::any_of(dlg.notifications.begin(), dlg.notifications.end(),
                            [](const Notification& n) { return n.id == 10 && n.code == 2; }));
    // The change reaches the listener as an event, once the window has run.
    Pump();
    bool checkedHeard = false;
    for (const auto& events : heard)
        for (const AccessibleEvent& e : events) checkedHeard |= e.detail == "checked" && e.detail1 == 1;
    EXPECT_TRUE(checkedHeard);
    // Selecting the first tab is a click on it.
    EXPECT_TRUE(AccessibleHub::SelectItem(tabs->GetSerial(), 0, then));
    EXPECT_EQ(tabs->GetSelectItem(), 0);
    // A window a modal dialog blocks takes nothing; gone controls neither.
    Platform::EnableWindow(hwnd, FALSE);
    answered = false;
    EXPECT_FALSE(AccessibleHub::DoAction(check->GetSerial(), -1, then));
    EXPECT_TRUE(answered);
    EXPECT_FALSE(answer);
    EXPECT_TRUE(check->GetCheck());
    Platform::EnableWindow(hwnd, TRUE);
    const uint64_t gone = label->GetSerial();
    panel->RemoveControl(label);
    EXPECT_FALSE(AccessibleHub::DoAction(gone, -1, then));
}

TEST_F(AccessibleWindow, NothingIsDescribedWhileNoOneListens) {
    EXPECT_FALSE(AccessibleHub::IsActive());
    check->SetTitle(L"Changed");
    Pump();
    // No listener: the last snapshot is still the empty one.
    EXPECT_EQ(AccessibleHub::Current()->Nodes().size(), 0u);
}
