// The text-fit check: labels, buttons, check boxes and rows whose text does not
// show whole are reported; rows and combo boxes made to cut a long text show it
// whole as a tooltip instead. Also the combo box's arrow at other heights.
#include "A_ControlsFixture.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/MButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MListBox.h"
#include "orvix/core/MTooltipWnd.h"
#include "orvix/core/MText.h"
#include "orvix/core/PaintManager.h"
#include "orvix/core/TextFit.h"
#include "orvix/platform/Fonts.h"
#include "orvix/widgets/KeyFuncValue.h"
#include "orvix/widgets/MacroList.h"

using namespace ControlsTest;

namespace {

const std::wstring kLong = L"A caption far too long for the little box it was given";

class TextFitCheck : public ControlsTest::ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::ControlsTest::SetUp();
        TextFit::Enable(true);
        TextFit::TakeReports();
    }
    void TearDown() override {
        TextFit::Enable(false);
        ControlsTest::ControlsTest::TearDown();
    }
    template <typename T>
    T* MakeWithFont(const wchar_t* className, CRect rect, const wchar_t* title, UINT id) {
        T* control = Make<T>(className, rect, title, id);
        if (control) control->SetFont(kEmbeddedFontFamily, 14, 0);
        return control;
    }
    std::vector<UINT> ReportedIds() {
        Paint();
        std::vector<UINT> ids;
        for (const TextFitReport& r : TextFit::TakeReports()) ids.push_back(r.id);
        return ids;
    }
    PaintManager& Pm() { return dlg.GetPaintManager(); }
};

TEST_F(TextFitCheck, LabelsButtonsAndCheckBoxesThatCutTheirTextAreReported) {
    MakeWithFont<MText>(L"MText", CRect(10, 10, 300, 40), L"Fits", 11);
    MakeWithFont<MText>(L"MText", CRect(10, 50, 80, 80), kLong.c_str(), 12);
    auto* wrapped = MakeWithFont<MText>(L"MText", CRect(10, 90, 200, 115), kLong.c_str(), 13);
    wrapped->EnableMultiLine(TRUE);  // it takes two lines, and has room for one
    MakeWithFont<MButton>(L"MButton", CRect(10, 140, 300, 176), L"Save", 14);
    MakeWithFont<CCheckButton>(L"CCheckButton", CRect(10, 190, 120, 214), kLong.c_str(), 15);
    auto ids = ReportedIds();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<UINT>{12, 13, 15}));

    // Each finding names the control, its window and what it needed.
    wrapped->SetTitle(L"Short");
    auto* label = dynamic_cast<MText*>(dlg.GetControl(12));
    label->SetTitle(kLong + L"!");
    Paint();
    const std::vector<TextFitReport> reports = TextFit::TakeReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].className, L"Orvix::MText");
    EXPECT_EQ(reports[0].text, kLong + L"!");
    EXPECT_EQ(reports[0].rect, CSize(70, 30));
    EXPECT_GT(reports[0].needed.cx, 300);
}

TEST_F(TextFitCheck, AFramedButtonsTextMustKeepClearOfTheFrame) {
    auto* button = MakeWithFont<MButton>(L"MButton", CRect(10, 10, 120, 46), L"Restore", 21);
    button->SetImage(Strip({0xFF202020, 0xFF303030, 0xFF404040, 0xFF505050}, 20, 20).c_str(), 4);
    const int width = Canvas::MeasureText(L"Restore", button->GetTextStyle()).cx;
    // As wide as the text: it would touch the frame on both sides.
    button->SetControlRect(CRect(10, 10, 10 + width + 2, 46));
    EXPECT_EQ(ReportedIds(), std::vector<UINT>{21});
    button->SetControlRect(CRect(10, 10, 10 + width + 16, 46));
    EXPECT_EQ(ReportedIds(), std::vector<UINT>{});
}

TEST_F(TextFitCheck, NothingIsCheckedWhileTheCheckIsOff) {
    TextFit::Enable(false);
    MakeWithFont<MText>(L"MText", CRect(10, 50, 80, 80), kLong.c_str(), 12);
    EXPECT_EQ(ReportedIds(), std::vector<UINT>{});
}

TEST_F(TextFitCheck, ACutRowShowsItsWholeTextAsATooltipAndIsNotReported) {
    // Lists come from the container factory, as on the pages.
    auto* page = dlg.Add(new ToolkitTest::Box(&dlg, 30, CRect(0, 0, 600, 400)));
    auto* list = dynamic_cast<MacroList*>(page->CreateControl(L"MacroList", 31, CRect(10, 10, 170, 200)));
    ASSERT_NE(list, nullptr);
    list->SetFont(kEmbeddedFontFamily, 14, 0);
    list->AddString(kLong.c_str(), 1, -1);
    list->AddString(L"Short", 2, -1);
    EXPECT_EQ(ReportedIds(), std::vector<UINT>{});

    const CRect first = list->GetItemRect(0), second = list->GetItemRect(1);
    Move(first.CenterPoint().x, first.CenterPoint().y);
    MTooltipWnd* tip = Pm().GetTooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsWindowVisible());
    EXPECT_EQ(tip->GetText(), kLong);
    // A row that shows whole needs none.
    Move(second.CenterPoint().x, second.CenterPoint().y);
    EXPECT_FALSE(tip->IsWindowVisible());

    // The same for the value list beside the button map.
    auto* values =
        dynamic_cast<KeyFuncValue*>(page->CreateControl(L"KeyFuncValue", 32, CRect(200, 10, 330, 200)));
    ASSERT_NE(values, nullptr);
    values->SetFont(kEmbeddedFontFamily, 14, 0);
    values->AddItem(kLong, 1, L"");
    values->AddItem(L"Short", 2, L"");
    values->UpdateControl(TRUE);
    EXPECT_EQ(ReportedIds(), std::vector<UINT>{});
    const CRect row = values->GetRowRect(0);
    Move(row.CenterPoint().x, row.CenterPoint().y);
    EXPECT_TRUE(tip->IsWindowVisible());
    EXPECT_EQ(tip->GetText(), kLong);
}

TEST_F(TextFitCheck, AComboBoxShowsACutChoiceAsItsTooltip) {
    auto* combo = MakeWithFont<MComboBox>(L"MComboBox", CRect(10, 10, 150, 42), nullptr, 41);
    combo->AddItem(kLong.c_str(), 1);
    combo->AddItem(L"Short", 2);
    combo->SetCurSel(0);
    EXPECT_EQ(ReportedIds(), std::vector<UINT>{});
    EXPECT_EQ(combo->GetTooltip(), kLong);
    combo->SetCurSel(1);
    Paint();
    EXPECT_EQ(combo->GetTooltip(), L"");
}

// The rows of the arrow in the right 28 pixels of a combo box: where the
// skin's accent colour is.
int ArrowRows(const Canvas& c, const CRect& box) {
    int first = -1, last = -1;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.right - 28; x < box.right; ++x) {
            const Color p = c.GetPixel(x, y);
            if (p.GetG() > 180 && p.GetB() > 150 && p.GetR() < 140) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    return first < 0 ? 0 : last - first + 1;
}

int ArrowColumns(const Canvas& c, const CRect& box) {
    int count = 0;
    for (int x = box.left; x < box.right; ++x)
        for (int y = box.top; y < box.bottom; ++y) {
            const Color p = c.GetPixel(x, y);
            if (p.GetG() > 180 && p.GetB() > 150 && p.GetR() < 140) {
                ++count;
                break;
            }
        }
    return count;
}

class ComboArrow : public ControlsTest::ControlsTest {};

TEST_F(ComboArrow, KeepsItsShapeInABoxTallerThanTheSkin) {
    auto* low = Make<MComboBox>(L"MComboBox", CRect(10, 10, 200, 42), nullptr, 1);
    auto* tall = Make<MComboBox>(L"MComboBox", CRect(10, 60, 300, 110), nullptr, 2);
    for (MComboBox* combo : {low, tall}) ASSERT_TRUE(combo->SetBackImage(L"img_combobox.png"));
    const Canvas& c = Paint();
    const int natural = ArrowRows(c, low->GetRect());
    ASSERT_GT(natural, 2);
    EXPECT_EQ(ArrowRows(c, tall->GetRect()), natural);
    EXPECT_EQ(ArrowColumns(c, tall->GetRect()), ArrowColumns(c, low->GetRect()));
}

}  // namespace
