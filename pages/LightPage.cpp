#include "pages/LightPage.h"

#include <cmath>
#include <tuple>
#include <vector>

#include "device/DeviceMainDef.h"
#include "pages/MainPageHost.h"
#include "pages/PagePlacement.h"
#include "dialogs/CUIMessageBox.h"
#include "features/LightingModes.h"
#include "orvix/controls/CArea.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/controls/MSlider.h"
#include "orvix/core/MPicture.h"
#include "orvix/platform/Fonts.h"
#include "orvix/widgets/CColorButton.h"
#include "orvix/widgets/HslColor.h"
#include "orvix/widgets/PaletteBar.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

// Notification codes of the controls.

constexpr int kTextCaption = 265;
constexpr int kTextMode = 266;
constexpr int kTextReset = 267;
constexpr int kTextBrightness = 268;
constexpr int kTextSpeed = 269;
constexpr int kTextPresets = 270;
constexpr int kTextCustom = 271;
constexpr int kTextSaturation = 272;
constexpr int kTextResetQuestion = 275;
constexpr int kTextResetTitle = 276;

constexpr int kSaturationMax = 200;
const wchar_t kPresetGroup[] = L"DEFAULTCOLOR";

// Layout, in the 780-pixel-high page coordinates.
constexpr int kRowPitch = 50;
constexpr int kRowHeight = 34;
constexpr int kPanelPad = 16;
constexpr int kPanelGap = 15;
constexpr int kLabelLeft = 60;
constexpr int kControlLeft = 270;
constexpr int kControlWidth = 420;
constexpr int kPresetSize = 34;
constexpr int kPresetPitch = 48;
constexpr int kPreviewSize = 134;

// The channel each edit holds.
int ChannelIndex(UINT editId) {
    return int(editId - LightPage::IDC_RED);
}

}  // namespace

MComboBox* LightPage::Modes() const {
    return GetControlAs<MComboBox>(IDC_MODE);
}

MSlider* LightPage::Slider(UINT id) const {
    return GetControlAs<MSlider>(id);
}

PaletteBar* LightPage::Palette() const {
    return GetControlAs<PaletteBar>(IDC_PALETTE);
}

MEdit* LightPage::Edit(UINT id) const {
    return GetControlAs<MEdit>(id);
}

CColorButton* LightPage::Preset(UINT id) const {
    return GetControlAs<CColorButton>(id);
}

// ---------------------------------------------------------------- building

void LightPage::Create() {
    AddArea(IDC_AREA, kTextCaption);
    for (UINT id : {IDC_MODE_PANEL, IDC_PARAM_PANEL, IDC_COLOUR_PANEL}) {
        if (auto* panel = AddControlAs<MPicture>(L"MPicture", id, CRect())) {
            panel->SetImage(L"img_area_content.png", 1);
            panel->SetShowMode(SHOW_MODE_NINE, 8);
        }
    }

    AddLabel(IDC_MODE_TEXT, CRect(), Text(kTextMode), 15);
    if (auto* modes = AddControlAs<MComboBox>(L"MComboBox", IDC_MODE, CRect())) {
        modes->SetBackImage(L"img_combobox.png");
        modes->SetFont(kEmbeddedFontFamily, 14, 0);
        modes->SetTextColor(kPageTextColor);
    }
    if (auto* label = AddLabel(IDC_RESET_TEXT, CRect(), Text(kTextReset))) label->SetAlignment(2, 1);
    AddResetButton(IDC_RESET, Text(kTextResetTitle));

    auto slider = [this](UINT id, int maximum, int value) {
        auto* s = AddControlAs<MSlider>(L"MSlider", id, CRect());
        if (!s) return;
        s->SetImage(L"img_slider_bk.png");
        s->SetThumbImage(L"img_slider_thumb.png", 4);
        s->SetFont(kEmbeddedFontFamily, 13, 0);
        s->SetTextColor(kPageTextColor);
        s->SetShowText(TRUE);
        s->SetMaxProgress(maximum);
        s->SetProgress(value);
    };
    AddLabel(IDC_BRIGHTNESS_TEXT, CRect(), Text(kTextBrightness));
    slider(IDC_BRIGHTNESS, kLightMaxLevel, kLightMaxLevel);
    AddLabel(IDC_SPEED_TEXT, CRect(), Text(kTextSpeed));
    slider(IDC_SPEED, kLightMaxLevel, 128);

    AddLabel(IDC_PRESET_TEXT, CRect(), Text(kTextPresets));
    for (UINT id = IDC_PRESET_FIRST; id <= IDC_PRESET_LAST; ++id) {
        auto* button = AddControlAs<CColorButton>(L"CColorButton", id, CRect());
        if (!button) continue;
        button->SetColor(COLORREF(kLightPresetColours[id - IDC_PRESET_FIRST]));
        button->SetGroupName(kPresetGroup);
        button->SetVisibleBorder(true);
    }
    AddLabel(IDC_PALETTE_TEXT, CRect(), Text(kTextCustom));
    if (auto* palette = AddControlAs<PaletteBar>(L"PaletteBar", IDC_PALETTE, CRect()))
        palette->SetImage(L"img_palette_bar_thumb.png", 1);
    AddLabel(IDC_SATURATION_TEXT, CRect(), Text(kTextSaturation));
    slider(IDC_SATURATION, kSaturationMax, kSaturationMax);
    if (auto* preview = AddControlAs<CArea>(L"CArea", IDC_PREVIEW, CRect())) {
        preview->SetAreaColor(0x0000FF);
        preview->SetFrame(1, Color(0xFF5A6672), 3);
    }
    const wchar_t* channelNames[] = {L"R", L"G", L"B"};
    for (UINT i = 0; i < 3; ++i) {
        if (auto* label = AddLabel(IDC_RED_TEXT + i, CRect(), channelNames[i], 15)) label->SetAlignment(1, 1);
        auto* edit = AddControlAs<MEdit>(L"MEdit", IDC_RED + i, CRect(), L"255");
        if (!edit) continue;
        edit->SetImage(L"img_edit.png", 4);
        edit->SetFont(kEmbeddedFontFamily, 14, 0);
        edit->SetTextColor(kPageTextColor);
        edit->SetAlignment(1, 1);
        edit->SetNumberOnly(TRUE);
        edit->SetLimitText(3);
    }
    // Until a profile is loaded the page shows the default mode's controls.
    ShowParameterControls(true, true, false);
    SetLabels(
        {{IDC_MODE, IDC_MODE_TEXT}, {IDC_BRIGHTNESS, IDC_BRIGHTNESS_TEXT}, {IDC_SPEED, IDC_SPEED_TEXT}});
}

void LightPage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    const int right = page.right - 20;
    const PagePlacement at(page, scale);

    // The mode row, then a panel for the levels and one for the colour, each
    // only as tall as what the mode shows: the area ends below the last.
    int top = 60;
    Place(IDC_MODE_PANEL, CRect(at.X(40), at.Y(top), right - 20, at.Y(top + 2 * kPanelPad + kRowHeight)));
    const int modeRow = top + kPanelPad;
    Place(IDC_MODE_TEXT, at.Box(kLabelLeft, modeRow, 200, kRowHeight));
    Place(IDC_MODE, at.Box(kControlLeft, modeRow, 240, kRowHeight));
    const int resetRight = right - 20 - at.Len(20), resetLeft = resetRight - at.Len(24);
    Place(IDC_RESET, CRect(resetLeft, at.Y(modeRow + 5), resetRight, at.Y(modeRow + 29)));
    Place(IDC_RESET_TEXT,
          CRect(resetLeft - at.Len(210), at.Y(modeRow), resetLeft - at.Len(10), at.Y(modeRow + kRowHeight)));
    top += 2 * kPanelPad + kRowHeight;

    const int levelRows = int(m_showsBrightness) + int(m_showsSpeed);
    if (levelRows > 0) {
        top += kPanelGap;
        Place(IDC_PARAM_PANEL,
              CRect(at.X(40), at.Y(top), right - 20,
                    at.Y(top + 2 * kPanelPad + levelRows * kRowPitch - (kRowPitch - kRowHeight))));
        int row = top + kPanelPad;
        for (auto [shown, label, slider] :
             {std::tuple{m_showsBrightness, IDC_BRIGHTNESS_TEXT, IDC_BRIGHTNESS},
              std::tuple{m_showsSpeed, IDC_SPEED_TEXT, IDC_SPEED}}) {
            if (!shown) continue;
            Place(label, at.Box(kLabelLeft, row, 200, kRowHeight));
            Place(slider, at.Box(kControlLeft, row + 5, kControlWidth + MSlider::kTextWidth, 24));
            row += kRowPitch;
        }
        top = row - (kRowPitch - kRowHeight) + kPanelPad;
    }

    if (m_showsColour) {
        top += kPanelGap;
        const int rows = 4;
        Place(IDC_COLOUR_PANEL, CRect(at.X(40), at.Y(top), right - 20,
                                      at.Y(top + 2 * kPanelPad + rows * kRowPitch - (kRowPitch - kRowHeight))));
        int row = top + kPanelPad;
        Place(IDC_PRESET_TEXT, at.Box(kLabelLeft, row, 200, kRowHeight));
        for (UINT id = IDC_PRESET_FIRST; id <= IDC_PRESET_LAST; ++id)
            Place(id, at.Box(kControlLeft + kPresetPitch * int(id - IDC_PRESET_FIRST), row, kPresetSize,
                          kPresetSize));
        row += kRowPitch;
        // The preview stands right of the three rows it sums up.
        Place(IDC_PREVIEW, at.Box(kControlLeft + kControlWidth + MSlider::kTextWidth + 40,
                               row + (3 * kRowPitch - (kRowPitch - kRowHeight) - kPreviewSize) / 2,
                               kPreviewSize, kPreviewSize));
        Place(IDC_PALETTE_TEXT, at.Box(kLabelLeft, row, 200, kRowHeight));
        Place(IDC_PALETTE, at.Box(kControlLeft, row + 3, kControlWidth, 28));
        row += kRowPitch;
        Place(IDC_SATURATION_TEXT, at.Box(kLabelLeft, row, 200, kRowHeight));
        Place(IDC_SATURATION, at.Box(kControlLeft, row + 5, kControlWidth + MSlider::kTextWidth, 24));
        row += kRowPitch;
        for (UINT i = 0; i < 3; ++i) {
            const int left = kControlLeft + 150 * int(i);
            Place(IDC_RED_TEXT + i, at.Box(left, row, 24, kRowHeight));
            Place(IDC_RED + i, at.Box(left + 30, row, 90, kRowHeight));
        }
        top = row + kRowHeight + kPanelPad;
    }
    PlaceArea(IDC_AREA, CRect(page.left + 20, at.Y(10), right, at.Y(top + 20)));
}

void LightPage::OnLanguageChanged() {
    auto title = [this](UINT id, int text) {
        if (auto* control = GetControlAs<MControlFont>(id)) control->SetTitle(Text(text));
    };
    title(IDC_AREA + 2, kTextCaption);
    title(IDC_MODE_TEXT, kTextMode);
    title(IDC_RESET_TEXT, kTextReset);
    title(IDC_BRIGHTNESS_TEXT, kTextBrightness);
    title(IDC_SPEED_TEXT, kTextSpeed);
    title(IDC_PRESET_TEXT, kTextPresets);
    title(IDC_PALETTE_TEXT, kTextCustom);
    title(IDC_SATURATION_TEXT, kTextSaturation);
    if (MControl* reset = GetControl(IDC_RESET)) reset->SetTooltip(Text(kTextResetTitle).c_str());
    // The modes' captions are language texts kept in their rows.
    if (MComboBox* modes = Modes(); modes && m_profile > 0) {
        std::vector<LightData> rows;
        m_host.GetStore().ListLights(m_profile, rows);
        for (const LightData& row : rows)
            if (const int index = modes->FindData(LPARAM(row.mode)); index >= 0)
                modes->SetItemText(index, Text(row.reserved).c_str());
    }
}

void LightPage::OnShow(bool shown) {
    // A page not loaded since the profile changed (no mouse read it) loads now.
    if (shown && m_profile != m_host.GetState().GetCurrentProfile()) Reload();
}

void LightPage::OnPageEvent(PageEvent event) {
    if (event == PageEvent::ProfileChanged) Reload();
    // Another model has its own store: its rows load with its read or when shown.
    if (event == PageEvent::ModelChanged) Clear();
}

// ---------------------------------------------------------------- loading

bool LightPage::HasLighting() const {
    return m_host.GetState().HasLightingPage();
}

void LightPage::Clear() {
    if (MComboBox* modes = Modes()) modes->DelAllItems();
    m_profile = 0;
    m_mode = -1;
}

void LightPage::Reload() {
    const int32_t profile = m_host.GetState().GetCurrentProfile();
    if (!HasLighting() || profile <= 0) {
        Clear();
        return;
    }
    DataStore& store = m_host.GetStore();
    if (store.CountLights(profile) < 1) {
        // All seven rows and the active mode, or none: a half-made set would
        // never be completed (rows are made only for a profile without any).
        store.RunInTransaction([&] {
            for (const LightData& row : DefaultLightRows(profile))
                if (store.AddLight(row) == 0) return false;
            return store.SetActiveLightMode(profile, kLightDefaultActiveMode);
        });
    }
    std::vector<LightData> rows;
    store.ListLights(profile, rows);
    MComboBox* modes = Modes();
    if (!modes) return;
    modes->DelAllItems();
    for (const LightData& row : rows) modes->AddItem(Text(row.reserved).c_str(), LPARAM(row.mode));
    m_profile = profile;
    m_mode = -1;
    if (rows.empty()) return;
    int32_t active = store.GetActiveLightMode(profile);
    // A store whose active mode has no row shows the first mode it has.
    if (modes->FindData(LPARAM(active)) < 0) active = rows.front().mode;
    ShowMode(active, false);
}

void LightPage::ShowMode(int32_t mode, bool chosenByUser) {
    DataStore& store = m_host.GetStore();
    LightData row;
    if (!store.GetLight(m_profile, mode, row)) return;
    store.SetActiveLightMode(m_profile, mode);
    m_mode = mode;
    if (MComboBox* modes = Modes()) modes->SelectData(LPARAM(mode));
    const LightControls shown = LightControlsFor(row.configFunc);
    if (shown.brightness) Slider(IDC_BRIGHTNESS)->SetProgress(ClampLightLevel(row.brightness));
    if (shown.speed) Slider(IDC_SPEED)->SetProgress(ClampLightLevel(row.speed));
    ShowParameterControls(shown.brightness, shown.speed, shown.colour);
    Layout(m_host.GetScale());
    // After the layout: the palette's thumb is placed along its laid-out width.
    if (shown.colour) ShowColour(ColourWithoutAlpha(uint32_t(row.colorValue)), true);
    m_container.UpdateControl(TRUE);
    if (chosenByUser) m_host.QueueTask(kTaskLighting);
}

void LightPage::ShowParameterControls(bool brightness, bool speed, bool colour) {
    m_showsBrightness = brightness;
    m_showsSpeed = speed;
    m_showsColour = colour;
    auto show = [this](UINT id, bool visible) {
        if (MControl* control = GetControl(id)) control->SetVisible(visible ? TRUE : FALSE);
    };
    show(IDC_PARAM_PANEL, brightness || speed);
    show(IDC_BRIGHTNESS_TEXT, brightness);
    show(IDC_BRIGHTNESS, brightness);
    show(IDC_SPEED_TEXT, speed);
    show(IDC_SPEED, speed);
    show(IDC_COLOUR_PANEL, colour);
    for (UINT id = IDC_PRESET_TEXT; id <= IDC_BLUE; ++id) show(id, colour);
}

void LightPage::ShowColour(int32_t colour, bool movePalette) {
    m_colour = colour;
    const LightRgb rgb = ColourChannels(colour);
    const int channels[] = {rgb.red, rgb.green, rgb.blue};
    for (UINT i = 0; i < 3; ++i) {
        MEdit* edit = Edit(IDC_RED + i);
        const std::wstring text = std::to_wstring(channels[i]);
        // The box being typed in keeps its text (and caret) when it already says it.
        if (edit && edit->GetEditText() != text) edit->SetTitle(text);
    }
    if (auto* preview = GetControlAs<CArea>(IDC_PREVIEW)) preview->SetAreaColor(COLORREF(colour));
    if (PaletteBar* palette = Palette()) {
        palette->SetSelectColor(COLORREF(colour));
        // The hue bar's thumb stands on the colour's hue; a grey has none.
        const Hsl hsl = RGBToHSL(COLORREF(colour));
        const int range = palette->GetRect().Width() - PaletteBar::kThumbWidth;
        if (movePalette && hsl.s > 0 && range > 0) palette->SetCurrentHue(int(std::lround(hsl.h * range)));
    }
    CheckPreset(colour);
}

void LightPage::CheckPreset(int32_t colour) {
    const int preset = PresetIndexOf(colour);
    for (UINT id = IDC_PRESET_FIRST; id <= IDC_PRESET_LAST; ++id)
        if (CColorButton* button = Preset(id)) button->SetControlCheck(int(id - IDC_PRESET_FIRST) == preset);
}

// ---------------------------------------------------------------- notifications

LRESULT LightPage::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM) {
    if (id >= IDC_PRESET_FIRST && id <= IDC_PRESET_LAST) {
        if (code == Notify::Pressed) OnPresetPressed(id);
        return 1;
    }
    switch (id) {
        case IDC_MODE:
            if (code == Notify::Clicked) OnModeChosen();
            return 1;
        case IDC_BRIGHTNESS:
        case IDC_SPEED:
            if (code == Notify::Moved) OnLevelMoved(id, int(wParam));
            return 1;
        case IDC_PALETTE:
            if (code == Notify::Clicked) OnPaletteUsed();
            return 1;
        case IDC_SATURATION:
            if (code == Notify::Moved) OnPaletteUsed();
            return 1;
        case IDC_RED:
        case IDC_GREEN:
        case IDC_BLUE:
            if (code == Notify::TextChanged)
                OnChannelTyped(id);
            else if (code == Notify::EditEnded)
                OnChannelLeft(id);
            return 1;
        case IDC_RESET:
            if (code == Notify::Clicked) ResetLighting();
            return 1;
        default:
            return OwnsControl(id) ? 1 : 0;
    }
}

template <class Change>
void LightPage::ChangeRow(Change change) {
    if (m_profile <= 0 || m_mode < 0) return;
    DataStore& store = m_host.GetStore();
    // Read at the moment of the change: what is stored beside the edited field
    // (an import, another page) stays as it is.
    LightData row;
    if (!store.GetLight(m_profile, m_mode, row)) return;
    const LightData before = row;
    change(row);
    if (row.brightness == before.brightness && row.speed == before.speed &&
        row.colorValue == before.colorValue)
        return;
    store.UpdateLight(m_profile, m_mode, row);
    m_host.QueueTask(kTaskLighting);
}

void LightPage::OnModeChosen() {
    MComboBox* modes = Modes();
    if (!modes || modes->GetCurSel() < 0 || m_profile <= 0) return;
    ShowMode(int32_t(modes->GetCurData()), true);
}

void LightPage::OnLevelMoved(UINT id, int value) {
    const int32_t level = ClampLightLevel(value);
    ChangeRow([&](LightData& row) { (id == IDC_BRIGHTNESS ? row.brightness : row.speed) = level; });
}

void LightPage::SetColour(int32_t colour, bool movePalette) {
    ShowColour(colour, movePalette);
    ChangeRow([&](LightData& row) { row.colorValue = colour; });
}

void LightPage::OnPresetPressed(UINT id) {
    CColorButton* button = Preset(id);
    if (!button) return;
    SetColour(ColourWithoutAlpha(button->GetColor()), true);
}

void LightPage::OnPaletteUsed() {
    PaletteBar* palette = Palette();
    MSlider* saturation = Slider(IDC_SATURATION);
    if (!palette || !saturation) return;
    const int32_t colour = ColourWithoutAlpha(palette->PaletteHSLToRGB(saturation->GetProgress()));
    SetColour(colour, false);
    // A colour from the palette is no preset, even where it equals one.
    for (UINT id = IDC_PRESET_FIRST; id <= IDC_PRESET_LAST; ++id)
        if (CColorButton* button = Preset(id)) button->SetControlCheck(FALSE);
}

int LightPage::ChannelOf(UINT editId, int32_t colour) const {
    const LightRgb rgb = ColourChannels(colour);
    const int channels[] = {rgb.red, rgb.green, rgb.blue};
    int value = channels[ChannelIndex(editId)];
    if (MEdit* edit = Edit(editId)) ParseChannel(edit->GetEditText(), value);
    return value;
}

void LightPage::OnChannelTyped(UINT id) {
    MEdit* edit = Edit(id);
    int value = 0;
    if (!edit || !ParseChannel(edit->GetEditText(), value)) return;
    const std::wstring shown = std::to_wstring(value);
    if (edit->GetEditText() != shown) edit->SetTitle(shown);
    SetColour(ColourFromChannels(ChannelOf(IDC_RED, m_colour), ChannelOf(IDC_GREEN, m_colour),
                                 ChannelOf(IDC_BLUE, m_colour)),
              true);
}

void LightPage::OnChannelLeft(UINT id) {
    // A box left empty shows the channel the colour has.
    MEdit* edit = Edit(id);
    if (edit && edit->GetEditText().empty()) edit->SetTitle(std::to_wstring(ChannelOf(id, m_colour)));
}

void LightPage::ResetLighting() {
    if (m_host.ShowMessage(kTextResetTitle, kTextResetQuestion, CUIMessageBox::kKindOkCancel) != 1) return;
    // The question promises a reset: the profile gets back the rows of its first
    // load (each mode's brightness, speed and colour) with the first load's mode.
    const int32_t profile = m_host.GetState().GetCurrentProfile();
    if (HasLighting() && profile > 0) {
        DataStore& store = m_host.GetStore();
        store.RunInTransaction([&] {
            for (const LightData& row : DefaultLightRows(profile)) {
                LightData stored;
                const bool ok = store.GetLight(profile, row.mode, stored)
                                    ? store.UpdateLight(profile, row.mode, row)
                                    : store.AddLight(row) != 0;
                if (!ok) return false;
            }
            return store.SetActiveLightMode(profile, kLightDefaultActiveMode);
        });
    }
    m_host.QueueTask(kTaskResetLightingPage);
}
