// Tree operations of controls: lookups, removal, the repaint requests of
// state changes, parent visibility, cursors and tooltips.
#include "Tracer.h"
#include "orvix/core/MText.h"

using namespace ToolkitTest;
namespace H = Orvix::Headless;

namespace {

class Tree : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 400, 300));
        Pump();
        Validate();
    }
    void Validate() { Platform::BeginPaint(hwnd); }
    CRect Pending() const { return Platform::GetUpdateRect(hwnd); }
    Tracer* Make(MObject* parent, UINT id, CRect rect) { return new Tracer(parent, id, rect, &log); }

    Log log;
    TestDialog dlg;
    HWND hwnd = nullptr;
};

}  // namespace

TEST_F(Tree, LookupsGoDepthFirstThroughTheControlsBeforeTheAreas) {
    auto* top = dlg.Add(Make(&dlg, 40, CRect(0, 0, 200, 200)));
    dlg.Add(Make(&dlg, 7, CRect(0, 0, 10, 10)), 0);  // a top-level area
    auto* mid = top->Add(Make(top, 41, CRect(0, 0, 100, 100)));
    top->Add(Make(top, 8, CRect(0, 0, 10, 10)), 0);  // an area of the top control
    auto* deep7 = mid->Add(Make(mid, 7, CRect(0, 0, 10, 10)));
    auto* deep8 = mid->Add(Make(mid, 8, CRect(0, 0, 10, 10)));
    EXPECT_EQ(dlg.GetControl(7), deep7);
    EXPECT_EQ(top->GetControl(8), deep8);
    EXPECT_EQ(dlg.GetControl(999), nullptr);
}

TEST_F(Tree, RemovingTheFocusControlTakesItsFocusBeforeDeletingIt) {
    auto* box = dlg.Add(new Box(&dlg, 30, CRect(0, 0, 200, 200)));
    auto* nested = box->Add(Make(box, 10, CRect(10, 10, 50, 50)));
    dlg.SetFocusControl(nested);
    log.clear();
    EXPECT_EQ(box->RemoveControl(nested), 0);
    EXPECT_EQ(log, Log({L"10:blur", L"10:gone"}));
    EXPECT_EQ(dlg.GetPaintManager().GetFocusControl(), nullptr);

    Tracer stranger(&dlg, 11, CRect(), nullptr);
    EXPECT_EQ(box->RemoveControl(&stranger), 0);  // not its child: left alone

    // A top-level control that is hovered, focused and pressed goes from every role.
    auto* top = dlg.Add(Make(&dlg, 20, CRect(250, 10, 300, 50)));
    H::MouseMove(hwnd, 260, 20);
    H::MouseDown(hwnd, 260, 20);
    Pump();
    PaintManager& pm = dlg.GetPaintManager();
    ASSERT_EQ(pm.GetHoverControl(), top);
    ASSERT_EQ(pm.GetFocusControl(), top);
    log.clear();
    pm.RemoveControl(top);
    EXPECT_EQ(log, Log({L"20:blur", L"20:gone"}));
    EXPECT_EQ(pm.GetHoverControl(), nullptr);
    EXPECT_EQ(pm.GetFocusControl(), nullptr);
    log.clear();
    H::MouseMove(hwnd, 262, 22);
    H::MouseUp(hwnd, 262, 22);
    H::Wheel(hwnd, 262, 22, WHEEL_DELTA);
    H::KeyPress(hwnd, 'A');
    Pump();
    EXPECT_TRUE(log.empty());
}

TEST_F(Tree, RemovingAllChildrenDeletesTheAreasFirst) {
    auto* top = dlg.Add(Make(&dlg, 40, CRect(0, 0, 200, 200)));
    top->Add(Make(top, 41, CRect(0, 0, 10, 10)));
    top->Add(Make(top, 42, CRect(0, 0, 10, 10)), 0);
    log.clear();
    top->RemoveAllControl();
    EXPECT_EQ(log, Log({L"42:gone", L"41:gone"}));
    EXPECT_TRUE(top->GetControls().empty());
    EXPECT_TRUE(top->GetAreas().empty());
}

TEST_F(Tree, StateChangesAskForARepaintOnlyWhenSomethingShows) {
    auto* c = dlg.Add(Make(&dlg, 10, CRect(10, 10, 50, 40)));
    c->SetVisible(TRUE);
    c->SetEnabled(TRUE);
    EXPECT_TRUE(Pending().IsRectEmpty());  // unchanged: no-ops

    c->SetVisible(FALSE, FALSE);
    EXPECT_FALSE(c->IsVisible());
    EXPECT_TRUE(Pending().IsRectEmpty());
    c->SetEnabled(FALSE);
    c->SetRect(CRect(60, 60, 80, 80));
    EXPECT_FALSE(c->IsEnabled());
    EXPECT_TRUE(Pending().IsRectEmpty());  // hidden: nothing to repaint

    c->SetVisible(TRUE);
    EXPECT_EQ(Pending(), CRect(60, 60, 80, 80));
    Validate();
    c->SetEnabled(TRUE);
    EXPECT_EQ(Pending(), CRect(60, 60, 80, 80));
    Validate();
    c->SetRect(100, 100, 30, 20);  // width and height
    EXPECT_EQ(c->GetRect(), CRect(100, 100, 130, 120));
    EXPECT_EQ(Pending(), CRect(60, 60, 130, 120));

    // A label repaints (re-rendered) for a new title, not for the alignment it already has.
    auto* label = static_cast<MText*>(dlg.CreateControl(L"MText", 11, CRect(200, 10, 300, 40), L"a"));
    Platform::InvalidateRect(hwnd);
    Platform::UpdateWindow(hwnd);
    ASSERT_TRUE(label->GetUpdate());
    label->SetAlignment(0, 4);
    EXPECT_TRUE(Pending().IsRectEmpty());
    label->SetTitle(L"b");
    EXPECT_EQ(Pending(), CRect(200, 10, 300, 40));
    EXPECT_FALSE(label->GetUpdate());
    Validate();
    label->SetVisible(FALSE);
    Validate();
    label->SetTitle(L"c");
    EXPECT_EQ(label->GetTitle(), L"c");
    EXPECT_TRUE(Pending().IsRectEmpty());
}

TEST_F(Tree, ParentVisibilityFollowsTheChainNotTheControlItself) {
    Tracer orphan(nullptr, 1, CRect(), nullptr);
    EXPECT_FALSE(orphan.IsParentVisible());
    auto* box = dlg.Add(new Box(&dlg, 30, CRect(0, 0, 200, 200)));
    auto* inner = box->Add(new Box(box, 31, CRect(0, 0, 100, 100)));
    auto* leaf = inner->Add(Make(inner, 32, CRect(0, 0, 10, 10)));
    leaf->SetVisible(FALSE);
    EXPECT_TRUE(leaf->IsParentVisible());
    inner->SetVisible(FALSE);
    EXPECT_FALSE(leaf->IsParentVisible());
    EXPECT_TRUE(inner->IsParentVisible());
}

TEST_F(Tree, StaleCachesReachOnlyChildrenOverTheControl) {
    auto* top = dlg.Add(Make(&dlg, 40, CRect(0, 0, 100, 100)));
    auto* over = top->Add(Make(top, 41, CRect(90, 90, 120, 120)));
    auto* apart = top->Add(Make(top, 42, CRect(150, 150, 160, 160)));
    Canvas target(1, 1);
    for (MControl* c :
         {static_cast<MControl*>(top), static_cast<MControl*>(over), static_cast<MControl*>(apart)})
        c->UpdateMemDC(target, 1, 1);
    top->SetUpdate(FALSE, 0);
    EXPECT_FALSE(top->GetUpdate());
    EXPECT_FALSE(over->GetUpdate());
    EXPECT_TRUE(apart->GetUpdate());
}

TEST_F(Tree, CursorAndTooltipFollowThePointer) {
    auto* c = dlg.Add(Make(&dlg, 10, CRect(10, 10, 50, 40)));
    for (auto [name, kind] : {std::pair{L"arrow", CursorKind::Arrow},
                              {L"wait", CursorKind::Wait},
                              {L"cross", CursorKind::Cross},
                              {L"sizewe", CursorKind::SizeWE},
                              {L"sizens", CursorKind::SizeNS},
                              {L"help", CursorKind::Help},
                              {L"hand", CursorKind::Hand}}) {
        c->SetCursorEx(name);
        EXPECT_EQ(c->GetCursor(), kind);
    }
    c->SetCursorEx(nullptr);
    EXPECT_EQ(c->GetCursor(), CursorKind::Hand);
    c->SetTooltip(L"Report rate");
    Platform::SetCursor(CursorKind::Arrow);

    PaintManager& pm = dlg.GetPaintManager();
    H::MouseMove(hwnd, 20, 20);
    Pump();
    EXPECT_EQ(Platform::GetCursor(), CursorKind::Hand);
    EXPECT_EQ(pm.GetTooltipText(), L"Report rate");
    EXPECT_EQ(pm.GetTooltipOwner(), 10u);
    EXPECT_EQ(pm.GetTooltipRect(), CRect(10, 10, 50, 40));

    H::MouseMove(hwnd, 200, 200);  // off the control: the tooltip goes
    Pump();
    EXPECT_TRUE(pm.GetTooltipText().empty());
    EXPECT_EQ(pm.GetTooltipOwner(), 0u);

    c->declinePoint = true;  // a control that declines the point shows nothing
    H::MouseMove(hwnd, 20, 20);
    Pump();
    EXPECT_TRUE(pm.GetTooltipText().empty());
}
