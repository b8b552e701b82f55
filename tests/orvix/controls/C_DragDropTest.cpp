// Drag and drop between controls: a press on an armed control, a move past the
// threshold, and a release over another control delivers the drop there.
#include "orvix/controls/DListBox.h"
#include "orvix/core/DragDrop.h"
#include "orvix/platform/Image.h"
#include "tests/orvix/controls/B_ControlsFixture.h"

namespace ToolkitTest {
namespace {

class DropDialog : public TestDialog {
  public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == STM_SETIMAGE && wParam == IMAGE_BITMAP)
            dropped.push_back(*reinterpret_cast<const std::shared_ptr<Image>*>(lParam));
        return TestDialog::OnWindowMessage(msg, wParam, lParam);
    }
    std::vector<std::shared_ptr<Image>> dropped;
};

class DragDropTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open(CRect(0, 0, 500, 300));
        source = Make(10, CRect(10, 10, 210, 190));
        target = Make(11, CRect(260, 10, 460, 190));
        source->SetDragDrop(TRUE);
    }
    DListBox* Make(UINT id, CRect rect) {
        auto* list = static_cast<DListBox*>(dlg.CreateControl(L"DListBox", id, rect));
        for (const wchar_t* name : {L"Office", L"Shooter", L"Strategy"}) list->AddString(name);
        return list;
    }
    std::vector<UINT> Codes(UINT id) const {
        std::vector<UINT> codes;
        for (const Notification& n : dlg.notifications)
            if (n.id == id) codes.push_back(n.code);
        return codes;
    }
    void Move(int x, int y) {
        Headless::MouseMove(hwnd, x, y);
        Pump();
    }
    DropDialog dlg;
    HWND hwnd = nullptr;
    DListBox* source = nullptr;
    DListBox* target = nullptr;
};

TEST_F(DragDropTest, ARowDraggedOntoAnotherListIsDroppedThere) {
    Move(100, 64);  // the second row of the source (rows are 36 high)
    Headless::MouseDown(hwnd, 100, 64);
    Pump();
    EXPECT_EQ(source->GetCurSel(), 1);
    Move(140, 70);  // past the threshold: the drag starts
    EXPECT_TRUE(DragTracker::IsDragging());
    ASSERT_NE(DragTracker::GetDragImage(), nullptr);
    EXPECT_EQ(DragTracker::GetDragImage()->GetWidth(), 200);  // a picture of the source
    Move(300, 110);  // over the target's third row: no mouse input while dragging
    EXPECT_EQ(target->GetCurSel(), -1);
    Headless::MouseUp(hwnd, 300, 110);
    Pump();
    EXPECT_FALSE(DragTracker::IsDragging());
    // The window was handed the picture; the target saw the button come up on its row.
    ASSERT_EQ(dlg.dropped.size(), 1u);
    EXPECT_EQ(dlg.dropped[0]->GetHeight(), 180);
    EXPECT_EQ(target->GetCurSel(), 2);
    EXPECT_EQ(Codes(11), (std::vector<UINT>{2}));
    // The source's press ended when the drag began: no click on it.
    EXPECT_EQ(source->GetCurSel(), 1);
    for (UINT code : Codes(10)) EXPECT_NE(code, 2u);
}

TEST_F(DragDropTest, AClickIsNoDragAndUnarmedControlsNeverDrag) {
    Move(100, 64);
    Headless::MouseDown(hwnd, 100, 64);
    Move(102, 65);  // within the threshold
    Headless::MouseUp(hwnd, 102, 65);
    Pump();
    EXPECT_FALSE(DragTracker::IsDragging());
    EXPECT_TRUE(dlg.dropped.empty());
    EXPECT_EQ(Codes(10).back(), 2u);  // an ordinary click
    Move(300, 64);
    Headless::MouseDown(hwnd, 300, 64);
    Move(100, 100);
    EXPECT_FALSE(DragTracker::IsDragging());
    Headless::MouseUp(hwnd, 100, 100);
    Pump();
    EXPECT_TRUE(dlg.dropped.empty());
}

TEST_F(DragDropTest, EscapeCancelsADrag) {
    Move(100, 64);
    Headless::MouseDown(hwnd, 100, 64);
    Move(300, 110);
    ASSERT_TRUE(DragTracker::IsDragging());
    Headless::KeyPress(hwnd, VK_ESCAPE);
    Pump();
    EXPECT_FALSE(DragTracker::IsDragging());
    Headless::MouseUp(hwnd, 300, 110);
    Pump();
    EXPECT_TRUE(dlg.dropped.empty());
}

}  // namespace
}  // namespace ToolkitTest
