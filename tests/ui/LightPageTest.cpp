// The lighting page in the real window with the simulated mouse: the default
// rows of a new profile, the controls each mode shows, brightness, speed and
// colour stored at once, the reset, and a model without lighting.
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "MainWindowFixture.h"
#include "pages/LightPage.h"
#include "base/LanguageText.h"
#include "features/LightingModes.h"
#include "orvix/controls/CArea.h"
#include "orvix/controls/CComboBoxList.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/controls/MSlider.h"
#include "orvix/widgets/CColorButton.h"
#include "orvix/widgets/HslColor.h"
#include "orvix/widgets/PaletteBar.h"
#include "base/SettingsStore.h"

using namespace Orvix;

class LightPageTest : public MainWindowFixture {
  protected:
    // Cable plugged, the model shown on the lighting tab, the trace emptied.
    void StartOnLightPage() {
        PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ASSERT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
        ClickTab(kTabLight);
        Settle();
        ASSERT_EQ(dlg->GetCurrentTabId(), kTabLight);
        page = dynamic_cast<LightPage*>(dlg->GetPage(kTabLight));
        ASSERT_NE(page, nullptr);
        sim->Trace().ClearReceived();
    }

    int32_t Profile() { return dlg->GetState().GetCurrentProfile(); }
    LightData Row(int32_t mode, int32_t profile = 0) {
        LightData row;
        EXPECT_TRUE(DataStore::Instance().GetLight(profile ? profile : Profile(), mode, row))
            << "mode " << mode;
        return row;
    }
    int LightingTasks() { return dlg->GetState().GetQueuedCount(kTaskLighting); }
    bool Visible(UINT id) {
        MControl* control = dlg->GetControl(id);
        return control && control->IsVisible();
    }
    std::vector<UINT> ColourControls() {
        std::vector<UINT> ids{LightPage::IDC_COLOUR_PANEL};
        for (UINT id = LightPage::IDC_PRESET_TEXT; id <= LightPage::IDC_BLUE; ++id) ids.push_back(id);
        return ids;
    }
    MSlider* Slider(UINT id) { return Control<MSlider>(id); }
    std::wstring EditText(UINT id) { return Control<MEdit>(id)->GetTitleEx(); }
    int AreaHeight() { return Control(LightPage::IDC_AREA)->GetRect().Height(); }

    // Opens the mode list and clicks the row of that mode, as a user would.
    void ChooseMode(int32_t mode) {
        auto* combo = Control<MComboBox>(LightPage::IDC_MODE);
        const int index = combo->FindData(LPARAM(mode));
        ASSERT_GE(index, 0) << "no mode " << mode;
        ChooseComboItem(LightPage::IDC_MODE, index);
    }

    // Presses the slider's thumb and lets it go `fraction` of the way along its track.
    void DragSlider(UINT id, double fraction) {
        MSlider* slider = Slider(id);
        const CPoint from = slider->GetThumbRect().CenterPoint();
        const int half = slider->GetThumbRect().Width() / 2;
        const int left = slider->GetRect().left + half;
        const int right = slider->GetRect().right - half - MSlider::kTextWidth;
        const int x = left + int((right - left) * fraction);
        hands.MoveTo(Hwnd(), from);
        hands.DragTo(UserHands::ToScreen(Hwnd(), CPoint(x, from.y)));
        Settle();
    }

    // Clears the box and types `text` into it; the box stays open.
    void TypeChannel(UINT id, const std::wstring& text) {
        ClickControl(id);
        ASSERT_TRUE(Control<MEdit>(id)->IsEditing());
        for (int i = 0; i < 4; ++i) PressKey(VK_BACK);
        hands.Type(text);
        Settle();
    }

    LightPage* page = nullptr;
};

TEST_F(LightPageTest, ANewProfileGetsSevenRowsAndShowsTheSpectrumCycle) {
    StartOnLightPage();
    std::vector<LightData> rows;
    ASSERT_EQ(DataStore::Instance().ListLights(Profile(), rows), 7);
    for (int32_t mode = 0; mode < 7; ++mode) {
        const LightData& row = rows[size_t(mode)];
        EXPECT_EQ(row.mode, mode);
        EXPECT_EQ(row.name, kLightModes[size_t(mode)].name);
        EXPECT_EQ(row.brightness, 255);
        EXPECT_EQ(row.speed, 128);
        EXPECT_EQ(row.colorful, 1);
        EXPECT_EQ(row.colorValue, 0x0000FF);
        EXPECT_EQ(row.reserved, 280 + mode);
        EXPECT_EQ(row.status, mode == 3 ? 1 : 0);
    }
    EXPECT_EQ(rows[1].configFunc, 17);
    EXPECT_EQ(rows[2].configFunc, 19);
    EXPECT_EQ(rows[6].configFunc, 3);

    auto* combo = Control<MComboBox>(LightPage::IDC_MODE);
    ASSERT_EQ(combo->GetItemCount(), 7);
    EXPECT_EQ(combo->GetItemText(combo->GetCurSel()), GetLanguageText(L"LAN", 283));
    EXPECT_EQ(page->GetCurrentMode(), 3);
    EXPECT_TRUE(Visible(LightPage::IDC_BRIGHTNESS_TEXT));
    EXPECT_TRUE(Visible(LightPage::IDC_SPEED));
    EXPECT_EQ(Slider(LightPage::IDC_BRIGHTNESS)->GetProgress(), 255);
    EXPECT_EQ(Slider(LightPage::IDC_SPEED)->GetProgress(), 128);
    for (UINT id : ColourControls()) EXPECT_FALSE(Visible(id)) << id;

    // Loading again (another read, the tab again) adds nothing.
    page->Reload();
    EXPECT_EQ(DataStore::Instance().CountLights(Profile()), 7);

    // Another profile gets its own rows on its first load.
    const int32_t first = Profile();
    const int32_t other = first == 2 ? 3 : 2;
    EXPECT_EQ(DataStore::Instance().CountLights(other), 0);
    dlg->SwitchProfile(other);
    Settle();
    EXPECT_EQ(DataStore::Instance().CountLights(other), 7);
    EXPECT_EQ(DataStore::Instance().GetActiveLightMode(other), 3);
    EXPECT_EQ(DataStore::Instance().CountLights(first), 7);
}

TEST_F(LightPageTest, EachModeShowsTheControlsItUses) {
    StartOnLightPage();
    const int tasks = LightingTasks();
    const int spectrumHeight = AreaHeight();

    ChooseMode(0);
    EXPECT_EQ(page->GetCurrentMode(), 0);
    for (UINT id : {LightPage::IDC_BRIGHTNESS_TEXT, LightPage::IDC_BRIGHTNESS, LightPage::IDC_SPEED_TEXT,
                    LightPage::IDC_SPEED, LightPage::IDC_PARAM_PANEL})
        EXPECT_FALSE(Visible(id)) << id;
    for (UINT id : ColourControls()) EXPECT_FALSE(Visible(id)) << id;
    EXPECT_LT(AreaHeight(), spectrumHeight);
    // The mode a user chooses becomes the profile's one active mode.
    EXPECT_EQ(DataStore::Instance().GetActiveLightMode(Profile()), 0);
    EXPECT_EQ(Row(3).status, 0);
    EXPECT_EQ(LightingTasks(), tasks + 1);

    // Static: brightness and colour, no speed, the tallest area.
    ChooseMode(1);
    EXPECT_TRUE(Visible(LightPage::IDC_BRIGHTNESS));
    EXPECT_FALSE(Visible(LightPage::IDC_SPEED));
    EXPECT_FALSE(Visible(LightPage::IDC_SPEED_TEXT));
    for (UINT id : ColourControls()) EXPECT_TRUE(Visible(id)) << id;
    EXPECT_GT(AreaHeight(), spectrumHeight);
    EXPECT_EQ(EditText(LightPage::IDC_RED), L"255");
    EXPECT_EQ(EditText(LightPage::IDC_GREEN), L"0");
    EXPECT_EQ(EditText(LightPage::IDC_BLUE), L"0");
    EXPECT_EQ(Control<CArea>(LightPage::IDC_PREVIEW)->GetAreaColor(), 0x0000FFu);
    EXPECT_TRUE(Control<CColorButton>(LightPage::IDC_PRESET_FIRST)->GetCheck());  // red is the first preset

    // Every visible control lies inside the area, below its caption bar.
    const CRect area = Control(LightPage::IDC_AREA)->GetRect();
    for (UINT id = LightPage::IDC_MODE_PANEL; id <= LightPage::IDC_BLUE; ++id) {
        if (!Visible(id)) continue;
        CRect inside;
        EXPECT_TRUE(inside.IntersectRect(area, Control(id)->GetRect()) && inside == Control(id)->GetRect())
            << "control " << id << " leaves the area";
        EXPECT_GE(Control(id)->GetRect().top, Control(LightPage::IDC_AREA + 1)->GetRect().bottom) << id;
    }

    // The page reloaded (a read, another profile and back) shows the chosen mode.
    page->Reload();
    EXPECT_EQ(page->GetCurrentMode(), 1);
    // Lighting stays in the store: the mouse is sent nothing for it.
    EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
}

TEST_F(LightPageTest, SlidersStoreBrightnessAndSpeedOfTheModeShown) {
    StartOnLightPage();
    const int tasks = LightingTasks();
    DragSlider(LightPage::IDC_BRIGHTNESS, 0.5);
    const int brightness = Slider(LightPage::IDC_BRIGHTNESS)->GetProgress();
    EXPECT_NEAR(brightness, 128, 3);
    EXPECT_EQ(Row(3).brightness, brightness);
    DragSlider(LightPage::IDC_SPEED, 0.0);
    EXPECT_EQ(Row(3).speed, 0);
    DragSlider(LightPage::IDC_SPEED, 1.0);
    EXPECT_EQ(Row(3).speed, 255);
    EXPECT_GE(LightingTasks(), tasks + 3);
    // Only the shown mode's row changed; name, mode and status stay.
    EXPECT_EQ(Row(4).brightness, 255);
    EXPECT_EQ(Row(4).speed, 128);
    EXPECT_EQ(Row(3).status, 1);
    EXPECT_EQ(Row(3).name, kLightModes[3].name);

    // What the mouse received for these tasks: nothing, so nothing contradicts the
    // stored row (lighting has no report on this mouse).
    EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
    // The values come back with the row when the mode is shown again.
    ChooseMode(0);
    ChooseMode(3);
    EXPECT_EQ(Slider(LightPage::IDC_BRIGHTNESS)->GetProgress(), brightness);
    EXPECT_EQ(Slider(LightPage::IDC_SPEED)->GetProgress(), 255);
}

TEST_F(LightPageTest, TypedChannelsAreHeldToByteRangeAndStored) {
    StartOnLightPage();
    ChooseMode(2);
    TypeChannel(LightPage::IDC_RED, L"12");
    EXPECT_EQ(Row(2).colorValue, 12);
    TypeChannel(LightPage::IDC_GREEN, L"300");
    EXPECT_EQ(EditText(LightPage::IDC_GREEN), L"255");
    EXPECT_EQ(Row(2).colorValue, 12 | 255 << 8);
    TypeChannel(LightPage::IDC_RED, L"300");
    EXPECT_EQ(EditText(LightPage::IDC_RED), L"255");
    EXPECT_EQ(Row(2).colorValue & 0xFF, 255);
    EXPECT_EQ(Control<CArea>(LightPage::IDC_PREVIEW)->GetAreaColor(), COLORREF(Row(2).colorValue));
    // Other modes keep their own colour.
    EXPECT_EQ(Row(1).colorValue, 0x0000FF);

    // A box emptied and left shows the colour's channel again; nothing is stored for it.
    const int32_t before = Row(2).colorValue;
    TypeChannel(LightPage::IDC_BLUE, L"");
    EXPECT_EQ(Row(2).colorValue, before);
    PressKey(VK_RETURN);
    Settle();
    EXPECT_EQ(EditText(LightPage::IDC_BLUE), L"0");
}

TEST_F(LightPageTest, PresetsPaletteAndSaturationSetTheColour) {
    StartOnLightPage();
    ChooseMode(5);
    ClickControl(LightPage::IDC_PRESET_FIRST + 2);  // 0xFF0C00
    Settle();
    EXPECT_EQ(EditText(LightPage::IDC_RED), L"0");
    EXPECT_EQ(EditText(LightPage::IDC_GREEN), L"12");
    EXPECT_EQ(EditText(LightPage::IDC_BLUE), L"255");
    EXPECT_EQ(Row(5).colorValue, 0xFF0C00);
    EXPECT_TRUE(Control<CColorButton>(LightPage::IDC_PRESET_FIRST + 2)->GetCheck());
    EXPECT_FALSE(Control<CColorButton>(LightPage::IDC_PRESET_FIRST)->GetCheck());
    // The hue bar's thumb moves to the preset's hue.
    auto* palette = Control<PaletteBar>(LightPage::IDC_PALETTE);
    EXPECT_NEAR(palette->GetHueDegrees(), 237, 2);

    // A third of the way along the hue bar, full saturation.
    const CRect bar = palette->GetRect();
    ClickAt(Hwnd(), CPoint(bar.left + bar.Width() / 3, bar.CenterPoint().y));
    Settle();
    const int hue = palette->GetHueDegrees();
    EXPECT_NEAR(hue, 120, 4);
    const COLORREF green = HSLToRGB(hue / 360.0, 1.0, 0.5);
    EXPECT_EQ(COLORREF(Row(5).colorValue), green);
    EXPECT_EQ(COLORREF(Row(5).colorValue), palette->PaletteHSLToRGB(200) & 0xFFFFFF);
    EXPECT_EQ(EditText(LightPage::IDC_GREEN), std::to_wstring((green >> 8) & 0xFF));
    for (UINT id = LightPage::IDC_PRESET_FIRST; id <= LightPage::IDC_PRESET_LAST; ++id)
        EXPECT_FALSE(Control<CColorButton>(id)->GetCheck()) << id;

    // No saturation: the grey of lightness one half.
    DragSlider(LightPage::IDC_SATURATION, 0.0);
    EXPECT_EQ(Slider(LightPage::IDC_SATURATION)->GetProgress(), 0);
    EXPECT_EQ(Row(5).colorValue, 127 | 127 << 8 | 127 << 16);
    EXPECT_EQ(EditText(LightPage::IDC_RED), L"127");
    EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
}

TEST_F(LightPageTest, ResetAsksThenRestoresTheRowsOfTheFirstLoad) {
    StartOnLightPage();
    DragSlider(LightPage::IDC_BRIGHTNESS, 0.2);
    // Stored behind the page's back, as an import would, and another mode chosen.
    LightData row = Row(3);
    row.speed = 40;
    ASSERT_TRUE(DataStore::Instance().UpdateLight(Profile(), 3, row));
    ChooseMode(5);
    ClickControl(LightPage::IDC_PRESET_FIRST + 2);
    Settle();
    const int resets = dlg->GetState().GetQueuedCount(kTaskResetLightingPage);

    AnswerMessageBoxes({CUIMessageBox::IDC_SECOND});
    ClickControl(LightPage::IDC_RESET);
    Settle();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, GetLanguageText(L"LAN", 276));
    EXPECT_EQ(boxes[0].message, GetLanguageText(L"LAN", 275));
    EXPECT_EQ(dlg->GetState().GetQueuedCount(kTaskResetLightingPage), resets);
    EXPECT_EQ(Row(3).speed, 40) << "cancelled: nothing changes";
    EXPECT_EQ(Row(5).colorValue, 0xFF0C00);

    // Confirmed: every mode as on the first load, the spectrum cycle shown.
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    ClickControl(LightPage::IDC_RESET);
    Settle();
    EXPECT_EQ(dlg->GetState().GetQueuedCount(kTaskResetLightingPage), resets + 1);
    for (const LightData& first : DefaultLightRows(Profile())) {
        const LightData now = Row(first.mode);
        EXPECT_EQ(now.brightness, first.brightness) << first.mode;
        EXPECT_EQ(now.speed, first.speed) << first.mode;
        EXPECT_EQ(now.colorValue, first.colorValue) << first.mode;
        EXPECT_EQ(now.configFunc, first.configFunc) << first.mode;
    }
    EXPECT_EQ(DataStore::Instance().GetActiveLightMode(Profile()), 3);
    EXPECT_EQ(Control<MComboBox>(LightPage::IDC_MODE)->GetCurData(), 3);
    EXPECT_EQ(Slider(LightPage::IDC_SPEED)->GetProgress(), 128);
    EXPECT_EQ(Slider(LightPage::IDC_BRIGHTNESS)->GetProgress(), 255);
    EXPECT_EQ(DataStore::Instance().CountLights(Profile()), 7);
    EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
}

TEST_F(LightPageTest, TheWheelOnTheHueBarSetsTheColourToo) {
    StartOnLightPage();
    ChooseMode(1);
    ClickControl(LightPage::IDC_PRESET_FIRST + 2);  // a blue: the bar's thumb stands inside it
    Settle();
    const int32_t before = Row(1).colorValue;
    const int tasks = LightingTasks();
    auto* palette = Control<PaletteBar>(LightPage::IDC_PALETTE);
    hands.MoveToControl(palette);
    for (int i = 0; i < 10; ++i) hands.Wheel(-1);
    Settle();
    const COLORREF shown =
        palette->PaletteHSLToRGB(Slider(LightPage::IDC_SATURATION)->GetProgress()) & 0xFFFFFF;
    EXPECT_NE(Row(1).colorValue, before);
    EXPECT_EQ(COLORREF(Row(1).colorValue), shown);
    EXPECT_EQ(EditText(LightPage::IDC_RED), std::to_wstring(shown & 0xFF));
    EXPECT_GT(LightingTasks(), tasks);
}

TEST_F(LightPageTest, TextsAndModeCaptionsFollowTheLanguage) {
    StartOnLightPage();
    ChooseMode(1);
    SetCurrentLcid(1036);
    Platform::SendMessage(Hwnd(), WM_LANGUAGE_CHANGED, 0, 0);
    auto* combo = Control<MComboBox>(LightPage::IDC_MODE);
    ASSERT_NE(GetLanguageText(L"LAN", 281), L"");
    EXPECT_EQ(combo->GetItemText(combo->GetCurSel()), GetLanguageText(L"LAN", 281));
    EXPECT_EQ(combo->GetItemText(combo->FindData(6)), GetLanguageText(L"LAN", 286));
    EXPECT_EQ(Control<MControlFont>(LightPage::IDC_SATURATION_TEXT)->GetTitle(),
              GetLanguageText(L"LAN", 272));
    EXPECT_EQ(Control<MControlFont>(LightPage::IDC_AREA + 2)->GetTitle(), GetLanguageText(L"LAN", 265));
    // The mode on screen and its row stay as they were.
    EXPECT_EQ(page->GetCurrentMode(), 1);
    EXPECT_EQ(Row(1).status, 1);
}

TEST_F(LightPageTest, AModelWithoutLightingHasNoTabAndNoRows) {
    sim = std::make_shared<SimBackend>(std::vector<int32_t>{102});
    DeviceManager::Instance().SetBackend(sim);
    ReadAppRegInt(L"DeviceType");  // creates the settings store
    ASSERT_TRUE(WriteAppRegInt(L"DeviceType", 102));
    PlugCable();
    Start();
    ClickDeviceCard(1);
    Settle();
    ASSERT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
    ASSERT_EQ(dlg->GetState().GetCurrentDeviceType(), 102);
    MTabCtrl* tabs = dlg->GetTabCtrl();
    for (int i = 0; i < tabs->GetItemCount(); ++i)
        EXPECT_EQ(tabs->GetItemVisible(i) != FALSE, int(tabs->GetItemID(i)) != kTabLight) << "tab " << i;

    // Neither the read, a reload by the worker, another profile nor the page's
    // own hooks make rows.
    dlg->GetPage(kTabLight)->Reload();
    dlg->SwitchProfile(2);
    Settle();
    dlg->GetPage(kTabLight)->OnShow(true);
    for (int32_t profile = 1; profile <= 4; ++profile)
        EXPECT_EQ(DataStore::Instance().CountLights(profile), 0) << profile;
    EXPECT_EQ(Control<MComboBox>(LightPage::IDC_MODE)->GetItemCount(), 0);
}

TEST_F(LightPageTest, TheScreenshotTourShowsLightingOnAModelThatHasIt) {
    // The model shown first has no lighting; another connected one has.
    sim = std::make_shared<SimBackend>(std::vector<int32_t>{102, 101});
    DeviceManager::Instance().SetBackend(sim);
    ReadAppRegInt(L"DeviceType");
    ASSERT_TRUE(WriteAppRegInt(L"DeviceType", 102));
    PlugCable();
    sim->Plug(SimEndpoint::Cable, 1);
    Start();
    ASSERT_FALSE(dlg->GetState().HasLightingPage());
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("light-tour-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(RunScreenshotTour(*dlg, sim.get(), folder.wstring()));
    EXPECT_TRUE(std::filesystem::exists(folder / "light.png"));
    EXPECT_TRUE(std::filesystem::exists(folder / "device.png"));
    // Back on the model it started with, whose store still has no lighting rows.
    EXPECT_EQ(dlg->GetState().GetCurrentDeviceType(), 102);
    EXPECT_FALSE(dlg->GetState().HasLightingPage());
    EXPECT_EQ(DataStore::Instance().CountLights(dlg->GetState().GetCurrentProfile()), 0);
    std::filesystem::remove_all(folder);
}
