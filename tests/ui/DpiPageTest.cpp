// The DPI and performance page with the simulated mouse: levels typed, dragged,
// counted and reset, the mouse's own DPI button, the report rate and the
// performance options, each checked in the store and in what the mouse received.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "MainWindowFixture.h"
#include "pages/DpiPage.h"
#include "base/LanguageText.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CComboBoxList.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEditBox.h"
#include "orvix/controls/NumberEdit.h"
#include "orvix/widgets/DPIControl.h"
#include "orvix/widgets/DPISlider.h"
#include "orvix/widgets/ReporteCtrl.h"

using namespace Orvix;

class DpiPageTest : public MainWindowFixture {
  protected:
    // Cable plugged, the model shown on the DPI tab, the trace emptied.
    void StartOnDpiPage(bool receiver = false) {
        receiver ? PlugReceiver() : PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ASSERT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
        ClickTab(kTabDpi);
        Settle();
        page = dynamic_cast<DpiPage*>(dlg->GetPage(kTabDpi));
        ASSERT_NE(page, nullptr);
        levels = page->GetLevels();
        slider = page->GetSlider();
        sim->Trace().ClearReceived();
    }

    // The lower part of a level's card: a click that selects it (code 2).
    void ClickLevel(int level) {
        const CRect card = levels->GetCardRect(level);
        ClickAt(Hwnd(), CPoint(card.CenterPoint().x, card.bottom - 6));
    }

    // Opens the level's edit, replaces its number and confirms with Enter.
    void TypeLevel(int level, const std::wstring& text) {
        ClickAt(Hwnd(), levels->GetEditRect(level).CenterPoint());
        ASSERT_TRUE(levels->IsEditing());
        for (int i = 0; i < 6; ++i) PressKey(VK_BACK);
        hands.Type(text);
        PressKey(VK_RETURN);
        Settle();
    }

    // Presses and releases the slider's track where the value `value` lies
    // (where the thumb's centre stands for that value).
    void DragSliderTo(int value) {
        const int span = slider->GetMaxProgress() - slider->GetMinProgress();
        const int width = DPISlider::kTrack.Width();
        const int dx = (width * (value - slider->GetMinProgress()) + span / 2) / span;
        const CPoint at(slider->GetRect().left + DPISlider::kTrack.left + dx,
                        slider->GetThumbRect().CenterPoint().y);
        ClickAt(Hwnd(), at);
        Settle();
    }

    bool Received(const std::string& prefix) {
        const std::vector<std::string> reports = ReceivedReports();
        return std::any_of(reports.begin(), reports.end(),
                           [&](const std::string& r) { return r.rfind(prefix, 0) == 0; });
    }
    int CountReceived(const std::string& prefix) {
        const std::vector<std::string> reports = ReceivedReports();
        return int(std::count_if(reports.begin(), reports.end(),
                                 [&](const std::string& r) { return r.rfind(prefix, 0) == 0; }));
    }
    bool Checked(UINT id) { return Control<CCheckButton>(id)->GetCheck() != FALSE; }
    void StoreConfig(const std::wstring& key, const std::wstring& value) {
        ASSERT_TRUE(DataStore::Instance().SetConfigValue(dlg->GetState().GetCurrentProfile(), key, value));
    }

    DpiPage* page = nullptr;
    DPIControl* levels = nullptr;
    DPISlider* slider = nullptr;
};

TEST_F(DpiPageTest, TheReadFillsTheLevelsAndTheSlider) {
    StartOnDpiPage();
    ASSERT_EQ(levels->GetItemCount(), 7);
    // The mouse's stages as it reported them, their colours from the profile.
    for (int i = 0; i < 6; ++i) EXPECT_EQ(levels->GetDPIValue(i), sim->State().settings.dpi[i]) << i;
    EXPECT_EQ(levels->GetDPIColorValue(3), 13353215);
    EXPECT_EQ(levels->GetSelectItem(), 1);
    EXPECT_EQ(slider->GetProgress(), 1200 / 50);
    // Model 101 goes to 26000: the scale ends there.
    EXPECT_EQ(slider->GetMaxProgress(), 26000 / 50);
    EXPECT_EQ(Control<MComboBox>(DpiPage::IDC_DPI_COUNT)->GetCurData(), 7);
}

TEST_F(DpiPageTest, OneClickOnACardSendsTheLevelOnce) {
    StartOnDpiPage();
    Settle();
    sim->Trace().ClearReceived();
    // On the value (the press opens its edit, the release chooses the card) ...
    ClickAt(Hwnd(), levels->GetEditRect(3).CenterPoint());
    Settle();
    EXPECT_TRUE(levels->IsEditing());
    EXPECT_EQ(CountReceived("06 13 05 00 00 01"), 1) << ::testing::PrintToString(ReceivedReports());
    EXPECT_TRUE(Received("06 13 05 00 00 01 07 03"));
    EXPECT_EQ(Config(L"dpi_index"), L"3");
    // ... and lower on a card, away from an open edit: one report each.
    sim->Trace().ClearReceived();
    ClickLevel(5);
    Settle();
    EXPECT_EQ(CountReceived("06 13 05 00 00 01 07 05"), 1);
    // The click sends; confirming the value it left as it was sends nothing more,
    // and a changed value goes once.
    sim->Trace().ClearReceived();
    ClickAt(Hwnd(), levels->GetEditRect(2).CenterPoint());
    Settle();
    PressKey(VK_RETURN);
    Settle();
    EXPECT_EQ(CountReceived("06 13 05 00 00 01 07 02"), 1);
    sim->Trace().ClearReceived();
    ClickAt(Hwnd(), levels->GetEditRect(2).CenterPoint());
    Settle();
    for (int i = 0; i < 6; ++i) PressKey(VK_BACK);
    hands.Type(L"3200");
    PressKey(VK_RETURN);
    Settle();
    EXPECT_EQ(Config(L"dpi_group2_value"), L"3200");
    EXPECT_EQ(CountReceived("06 13 05 00 00 01 07 02"), 2);  // the click, then the new value
}

TEST_F(DpiPageTest, TheSliderScaleEndsAtTheModelsHighestDpi) {
    StartOnDpiPage();
    TypeLevel(1, L"26000");
    EXPECT_EQ(Config(L"dpi_group1_value"), L"26000");
    EXPECT_EQ(slider->GetProgress(), 520);
    // The thumb stands at the end of the track, not past it.
    const CRect thumb = slider->GetThumbRect();
    EXPECT_EQ(thumb.CenterPoint().x, slider->GetRect().left + DPISlider::kTrack.right);
    // 24000 is no longer the end.
    TypeLevel(1, L"24000");
    EXPECT_LT(slider->GetThumbRect().CenterPoint().x, thumb.CenterPoint().x);
}

TEST_F(DpiPageTest, SelectedTextInTheLevelEditReadsWell) {
    StartOnDpiPage();
    ClickAt(Hwnd(), levels->GetEditRect(1).CenterPoint());
    ASSERT_TRUE(levels->IsEditing());
    MEditBox* box = levels->GetEditWindow();
    box->SetSel(0, int(box->GetText().size()));
    Platform::InvalidateRect(Hwnd());
    Platform::UpdateWindow(Hwnd());
    const Canvas* picture = Platform::GetPresentedImage(Hwnd());
    ASSERT_NE(picture, nullptr);
    // The selection's fill is the commonest colour besides the card's; the text
    // on it must stand out from it as black on white nearly does.
    const CRect r = box->GetRect();
    const uint32_t card = Color::FromCOLORREF(0x141C23).GetValue();
    std::map<uint32_t, int> counts;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (picture->GetPixel(x, y).GetValue() != card) ++counts[picture->GetPixel(x, y).GetValue()];
    ASSERT_FALSE(counts.empty());
    const uint32_t fill = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                              return a.second < b.second;
                          })->first;
    auto luminance = [](Color c) {
        auto channel = [](int v) {
            const double x = v / 255.0;
            return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.GetR()) + 0.7152 * channel(c.GetG()) + 0.0722 * channel(c.GetB());
    };
    const double back = luminance(Color(fill));
    double contrast = 1;
    for (const auto& [colour, n] : counts) {
        const double l = luminance(Color(colour));
        contrast = std::max(contrast, (std::max(l, back) + 0.05) / (std::min(l, back) + 0.05));
    }
    EXPECT_GE(contrast, 7.0) << "selected text and its background are too alike";
}

TEST_F(DpiPageTest, TypedValuesAreCorrectedStoredAndSent) {
    StartOnDpiPage();
    // Level 1 is active: count 7, index 1, the DPI little-endian.
    TypeLevel(1, L"1650");
    EXPECT_EQ(Config(L"dpi_group1_value"), L"1600");
    EXPECT_EQ(levels->GetDPIValue(1), 1600);
    EXPECT_EQ(slider->GetProgress(), 32);
    EXPECT_TRUE(Received("06 13 05 00 00 01 07 01 40 06"));
    EXPECT_EQ(sim->State().settings.dpi[1], 1600);

    TypeLevel(1, L"50");
    EXPECT_EQ(Config(L"dpi_group1_value"), L"100");
    EXPECT_EQ(levels->GetDPIValue(1), 100);
    EXPECT_TRUE(Received("06 13 05 00 00 01 07 01 64 00"));

    // Model 101 reaches 26000; typing more stops there.
    TypeLevel(1, L"30000");
    EXPECT_EQ(Config(L"dpi_group1_value"), L"26000");
    EXPECT_EQ(levels->GetDPIValue(1), 26000);
    EXPECT_TRUE(Received("06 13 05 00 00 01 07 01 90 65"));

    // Typing into another level makes it the active one.
    TypeLevel(4, L"3333");
    EXPECT_EQ(Config(L"dpi_group4_value"), L"3300");
    EXPECT_EQ(Config(L"dpi_index"), L"4");
    EXPECT_TRUE(Received("06 13 05 00 00 01 07 04 E4 0C"));
    EXPECT_EQ(sim->State().settings.dpiIndex, 4);
}

TEST_F(DpiPageTest, TheSliderSetsTheSelectedLevelInFiftyDpiSteps) {
    StartOnDpiPage();
    ClickLevel(2);
    DragSliderTo(24);
    EXPECT_EQ(slider->GetProgress(), 24);
    EXPECT_EQ(levels->GetDPIValue(2), 1200);
    EXPECT_EQ(Config(L"dpi_group2_value"), L"1200");
    // Sent when the thumb is released.
    EXPECT_TRUE(Received("06 13 05 00 00 01 07 02 B0 04"));

    // The lowest position gives 50 DPI, below what typing allows.
    DragSliderTo(1);
    EXPECT_EQ(Config(L"dpi_group2_value"), L"50");
    EXPECT_TRUE(Received("06 13 05 00 00 01 07 02 32 00"));
}

TEST_F(DpiPageTest, FewerLevelsThanTheActiveOneMakeTheLastActive) {
    StartOnDpiPage();
    ClickLevel(5);
    EXPECT_EQ(Config(L"dpi_index"), L"5");
    ChooseComboItem(DpiPage::IDC_DPI_COUNT, 2);  // "3"
    EXPECT_EQ(Config(L"dpi_count"), L"3");
    EXPECT_EQ(Config(L"dpi_index"), L"2");
    EXPECT_EQ(levels->GetItemCount(), 3);
    EXPECT_EQ(levels->GetSelectItem(), 2);
    EXPECT_EQ(slider->GetProgress(), levels->GetDPIValue(2) / 50);
    EXPECT_EQ(sim->State().settings.dpiCount, 3);
    EXPECT_EQ(sim->State().settings.dpiIndex, 2);

    // More levels again: the cards come back with their stored values.
    ChooseComboItem(DpiPage::IDC_DPI_COUNT, 6);
    EXPECT_EQ(levels->GetItemCount(), 7);
    EXPECT_EQ(levels->GetDPIValue(6), 24000);
    EXPECT_EQ(Config(L"dpi_index"), L"2");
}

TEST_F(DpiPageTest, ADamagedStoredIndexShowsLevelZero) {
    StartOnDpiPage();
    StoreConfig(L"dpi_index", L"12");
    page->Reload();
    EXPECT_EQ(levels->GetSelectItem(), 0);
    EXPECT_EQ(slider->GetProgress(), levels->GetDPIValue(0) / 50);
    // Showing is not storing.
    EXPECT_EQ(Config(L"dpi_index"), L"12");
    // A new count keeps the level on screen active and repairs the store.
    ChooseComboItem(DpiPage::IDC_DPI_COUNT, 4);
    EXPECT_EQ(levels->GetSelectItem(), 0);
    EXPECT_EQ(Config(L"dpi_index"), L"0");
    EXPECT_EQ(sim->State().settings.dpiIndex, 0);
}

TEST_F(DpiPageTest, ResetsAskFirstAndCancelledOnesChangeNothing) {
    StartOnDpiPage();
    TypeLevel(0, L"4000");
    Control(DpiPage::IDC_RATE);
    sim->Trace().ClearReceived();

    AnswerMessageBoxes({CUIMessageBox::IDC_SECOND, CUIMessageBox::IDC_SECOND});
    ClickControl(DpiPage::IDC_DPI_RESET);
    ClickControl(DpiPage::IDC_RATE_RESET);
    Settle();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, GetLanguageText(L"LAN", 253));
    EXPECT_EQ(boxes[0].message, GetLanguageText(L"LAN", 258));
    EXPECT_EQ(boxes[1].message, GetLanguageText(L"LAN", 259));
    EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
    EXPECT_EQ(Config(L"dpi_group0_value"), L"4000");
    EXPECT_EQ(Config(L"report_rate"), L"3");

    // Accepted: the mouse resets its DPI settings, then receives the stage.
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    ClickControl(DpiPage::IDC_DPI_RESET);
    Settle();
    const std::vector<std::string> reports = ReceivedReports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].rfind("06 0F 01 00 00 08", 0), 0u) << reports[0];
    EXPECT_EQ(reports[1].rfind("06 13 05 00 00 01 07 01 B0 04", 0), 0u) << reports[1];
    EXPECT_EQ(Config(L"dpi_group0_value"), L"800");
    EXPECT_EQ(Config(L"dpi_group3_value"), L"2400");
    EXPECT_EQ(Config(L"dpi_group3_rgb"), L"13353215");
    EXPECT_EQ(levels->GetItemCount(), 7);
    EXPECT_EQ(levels->GetDPIValue(0), 800);
    EXPECT_EQ(levels->GetDPIColorValue(6), 16711680);
    EXPECT_EQ(levels->GetSelectItem(), 1);
    EXPECT_EQ(slider->GetProgress(), 24);

    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    ClickControl(DpiPage::IDC_RATE_RESET);
    Settle();
    EXPECT_EQ(Config(L"report_rate"), L"1");
    EXPECT_TRUE(Received("06 13 02 00 00 02 01"));
    EXPECT_EQ(page->GetReportRate()->GetItemKeyValue(page->GetReportRate()->GetSelectItem()), 1);
}

TEST_F(DpiPageTest, TheMousesDpiButtonMovesTheSelectionOnScreen) {
    StartOnDpiPage();
    ASSERT_EQ(levels->GetSelectItem(), 1);
    for (int expected : {2, 3, 4}) {
        sim->PressDpiButton();
        Settle();
        EXPECT_EQ(levels->GetSelectItem(), expected);
        EXPECT_EQ(slider->GetProgress(), levels->GetDPIValue(expected) / 50);
        EXPECT_EQ(Config(L"dpi_index"), std::to_wstring(expected));
    }
    // A level chosen on the page, then the button steps onto the level the
    // mouse reported before: that step is shown too.
    ClickLevel(0);
    Settle();
    sim->PressDpiButton();
    Settle();
    EXPECT_EQ(sim->State().settings.dpiIndex, 1);
    EXPECT_EQ(levels->GetSelectItem(), 1);
    EXPECT_EQ(Config(L"dpi_index"), L"1");
}

TEST_F(DpiPageTest, ReportRateCardsSendTheirRate) {
    StartOnDpiPage();
    ReporteCtrl* rate = page->GetReportRate();
    ASSERT_EQ(rate->GetItemCount(), 4);
    EXPECT_EQ(rate->GetItemKeyName(rate->GetSelectItem()), L"1000Hz");  // as the mouse reported
    ClickAt(Hwnd(), rate->GetCardRect(0).CenterPoint());
    Settle();
    EXPECT_EQ(Config(L"report_rate"), L"0");
    EXPECT_TRUE(Received("06 13 02 00 00 02 00"));
    ClickAt(Hwnd(), rate->GetCardRect(3).CenterPoint());
    Settle();
    EXPECT_EQ(Config(L"report_rate"), L"3");
    EXPECT_TRUE(Received("06 13 02 00 00 02 03"));
    EXPECT_EQ(sim->State().settings.reportRate, 3);
}

TEST_F(DpiPageTest, SensorBoxesShowAndStoreTheThreeBitsOnly) {
    StartOnDpiPage();
    StoreConfig(L"sensor_flag", L"53");
    page->Reload();
    EXPECT_TRUE(Checked(DpiPage::IDC_SENSOR_FIRST));
    EXPECT_FALSE(Checked(DpiPage::IDC_SENSOR_FIRST + 1));
    EXPECT_TRUE(Checked(DpiPage::IDC_SENSOR_LAST));
    ClickControl(DpiPage::IDC_SENSOR_FIRST + 1);
    Settle();
    EXPECT_EQ(Config(L"sensor_flag"), L"7");
    EXPECT_TRUE(Received("06 13 02 00 00 07 07"));
    ClickControl(DpiPage::IDC_SENSOR_FIRST);
    Settle();
    EXPECT_EQ(Config(L"sensor_flag"), L"6");
    EXPECT_EQ(sim->State().settings.sensorFlag, 6);
}

TEST_F(DpiPageTest, ResponseTimeIsKeptToOneToFiftyAndSent) {
    StartOnDpiPage();
    auto* edit = Control<NumberEdit>(DpiPage::IDC_RESPOND);
    EXPECT_EQ(edit->GetEditText(), std::to_wstring(sim->State().settings.buttonRespondTime));
    TypeInto(DpiPage::IDC_RESPOND, L"0");
    PressKey(VK_RETURN);
    Settle();
    EXPECT_EQ(edit->GetEditText(), L"1");
    EXPECT_EQ(Config(L"button_respondtime"), L"1");
    EXPECT_TRUE(Received("06 13 02 00 00 0A 01"));

    TypeInto(DpiPage::IDC_RESPOND, L"75");
    PressKey(VK_RETURN);
    Settle();
    EXPECT_EQ(edit->GetEditText(), L"50");
    EXPECT_EQ(Config(L"button_respondtime"), L"50");
    EXPECT_EQ(sim->State().settings.buttonRespondTime, 50);

    // The step buttons confirm at once.
    sim->Trace().ClearReceived();
    const CRect minus = edit->GetControl(NumberEdit::kDecreaseId)->GetRect();
    ClickAt(Hwnd(), minus.CenterPoint());
    Settle();
    EXPECT_EQ(Config(L"button_respondtime"), L"49");
    EXPECT_EQ(CountReceived("06 13 02 00 00 0A 31"), 1);
}

TEST_F(DpiPageTest, OnTheCableHighSpeedShowsOnAndCannotChange) {
    StartOnDpiPage();
    StoreConfig(L"highspeed_mode", L"0");
    page->Reload();
    auto* highspeed = Control<CCheckButton>(DpiPage::IDC_HIGHSPEED);
    EXPECT_TRUE(highspeed->GetCheck());
    EXPECT_FALSE(highspeed->IsEnabled());
    ClickControl(DpiPage::IDC_HIGHSPEED);
    Settle();
    EXPECT_TRUE(highspeed->GetCheck());
    EXPECT_EQ(Config(L"highspeed_mode"), L"0");
    EXPECT_FALSE(Received("06 13 02 00 00 08"));
}

TEST_F(DpiPageTest, OverTheReceiverHighSpeedFollowsTheProfile) {
    StartOnDpiPage(true);
    StoreConfig(L"highspeed_mode", L"0");
    page->Reload();
    auto* highspeed = Control<CCheckButton>(DpiPage::IDC_HIGHSPEED);
    EXPECT_FALSE(highspeed->GetCheck());
    EXPECT_TRUE(highspeed->IsEnabled());
    ClickControl(DpiPage::IDC_HIGHSPEED);
    Settle();
    EXPECT_TRUE(highspeed->GetCheck());
    EXPECT_EQ(Config(L"highspeed_mode"), L"1");
    EXPECT_TRUE(Received("06 13 02 00 00 08 01"));
}

TEST_F(DpiPageTest, LiftOffAndScrollRadiosStoreTheirChoice) {
    StartOnDpiPage();
    StoreConfig(L"liftoff_height", L"0");
    StoreConfig(L"scroll_flag", L"1");
    page->Reload();
    EXPECT_TRUE(Checked(DpiPage::IDC_LIFTOFF_1MM));
    EXPECT_FALSE(Checked(DpiPage::IDC_LIFTOFF_2MM));
    EXPECT_TRUE(Checked(DpiPage::IDC_SCROLL_SECOND));
    EXPECT_FALSE(Checked(DpiPage::IDC_SCROLL_FIRST));

    ClickControl(DpiPage::IDC_LIFTOFF_2MM);
    ClickControl(DpiPage::IDC_SCROLL_FIRST);
    Settle();
    EXPECT_FALSE(Checked(DpiPage::IDC_LIFTOFF_1MM));
    EXPECT_EQ(Config(L"liftoff_height"), L"1");
    EXPECT_EQ(Config(L"scroll_flag"), L"0");
    EXPECT_TRUE(Received("06 13 02 00 00 06 01"));
    EXPECT_TRUE(Received("06 13 04 00 00 05 00 00 00"));
}

TEST_F(DpiPageTest, MouseSettingsStartTheDesktopsToolOrSayThereIsNone) {
    namespace fs = std::filesystem;
    const fs::path bin = Root() / "bin";
    fs::create_directories(bin);
    SetEnv("PATH", bin.string());
    SetEnv("XDG_CURRENT_DESKTOP", "XFCE");
    StartOnDpiPage();
    MControl* button = Control(DpiPage::IDC_MOUSE_SETTINGS);
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_EQ(button->GetTooltip(), GetLanguageText(L"LAN", 995));

    // Installed while the program runs: the page looks again when it is shown.
    const fs::path started = Root() / "started";
    {
        std::ofstream script(bin / "xfce4-mouse-settings");
        script << "#!/bin/sh\necho \"$@\" > '" << started.string() << ".tmp'\n/bin/mv '" << started.string()
               << ".tmp' '" << started.string() << "'\n";
    }
    fs::permissions(bin / "xfce4-mouse-settings", fs::perms::owner_all);
    ClickTab(kTabKey);
    ClickTab(kTabDpi);
    EXPECT_TRUE(button->IsEnabled());
    EXPECT_EQ(button->GetTooltip(), L"");
    ClickControl(DpiPage::IDC_MOUSE_SETTINGS);
    for (int i = 0; i < 500 && !fs::exists(started); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(started));
}
