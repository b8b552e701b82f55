// Which factory makes which standard control, and the class names that group
// exclusivity relies on.
#include "A_ControlsFixture.h"
#include "orvix/controls/CArea.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/CSelectButton.h"
#include "orvix/controls/MButton2.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/controls/MenuItem.h"

using namespace ControlsTest;

class Factories : public ControlsTest::ControlsTest {};

TEST_F(Factories, EachNameIsMadeByTheFactoriesThatListIt) {
    auto* box = dlg.Add(new ToolkitTest::Box(&dlg, 50, CRect(0, 0, 400, 300)));
    const struct {
        const wchar_t* name;
        bool window, container;
    } names[] = {
        {L"CArea", true, true},          {L"MButton", true, true},        {L"CImageButton", true, true},
        {L"CTextButton", true, true},    {L"CCheckButton", true, true},   {L"CRadioButton", true, true},
        {L"CSelectButton", true, true},  {L"CSwitchButton", true, true},  {L"CIconButton", true, true},
        {L"CTimerButton", true, true},   {L"CHelpButton", true, true},    {L"CPhotoFrame", true, true},
        {L"CSliderPicture", true, true}, {L"CGifPicture", true, true},    {L"MProgress", true, true},
        {L"MSlider", true, true},        {L"MLevelCtrl", true, true},     {L"MTabCtrl", true, true},
        {L"MTabLayout", true, true},     {L"MenuItem", true, true},       {L"CRoundArea", true, true},
        {L"TextCheckButton", true, false}, {L"CTabCtrl1", true, false},   {L"UpgradeButton", false, true},
        {L"DownloadButton", false, true},  {L"LongPressButton", false, true}, {L"MButton2", false, true},
        {L"MButton3", false, true},
    };
    UINT id = 100;
    for (const auto& n : names) {
        EXPECT_EQ(dlg.CreateControl(n.name, id++, CRect(0, 0, 10, 10)) != nullptr, n.window) << WideToUtf8(n.name);
        EXPECT_EQ(box->CreateControl(n.name, id++, CRect(0, 0, 10, 10)) != nullptr, n.container) << WideToUtf8(n.name);
    }
}

TEST_F(Factories, OnlyGroupedClassesAnswerTheirOwnClassName) {
    auto* box = dlg.Add(new ToolkitTest::Box(&dlg, 50, CRect(0, 0, 400, 300)));
    EXPECT_TRUE(dlg.CreateControl(L"CRadioButton", 1, CRect())->IsClass(L"CRadioButton"));
    EXPECT_TRUE(dlg.CreateControl(L"CSelectButton", 2, CRect())->IsClass(L"CSelectButton"));
    EXPECT_TRUE(dlg.CreateControl(L"MenuItem", 3, CRect())->IsClass(L"MenuItem"));
    EXPECT_TRUE(box->CreateControl(L"MButton2", 4, CRect())->IsClass(L"MButton2"));
    for (const wchar_t* plain : {L"MButton", L"CCheckButton", L"MTabCtrl", L"CArea"})
        EXPECT_TRUE(dlg.CreateControl(plain, 5, CRect())->IsClass(L"MControl")) << WideToUtf8(plain);
}
