#pragma once
// The lighting page: the profile's lighting mode with its brightness, speed and
// colour. Each profile keeps one row per mode in the store; the page makes the
// seven default rows on a profile's first load, shows the controls the chosen
// mode uses, stores every change at once and queues the lighting task. Absent
// (and no rows made) for a model whose description has no lighting.
#include <cstdint>

#include "pages/MainPage.h"
#include "base/StoreRecords.h"

namespace Orvix {
class CColorButton;
class MComboBox;
class MEdit;
class MSlider;
class PaletteBar;
}  // namespace Orvix

class LightPage : public MainPage {
  public:
    enum : Orvix::UINT {
        IDC_AREA = 173,  // 173 to 175: background, caption bar, caption
        IDC_MODE_PANEL = 176,
        IDC_MODE_TEXT = 177,
        IDC_MODE = 178,
        IDC_PARAM_PANEL = 179,
        IDC_COLOUR_PANEL = 180,
        IDC_RESET_TEXT = 181,
        IDC_RESET = 182,
        IDC_BRIGHTNESS_TEXT = 183,
        IDC_BRIGHTNESS = 184,
        IDC_SPEED_TEXT = 185,
        IDC_SPEED = 186,
        IDC_PRESET_TEXT = 187,
        IDC_PRESET_FIRST = 188,  // 188 to 195: the preset colours
        IDC_PRESET_LAST = 195,
        IDC_PALETTE_TEXT = 196,
        IDC_PALETTE = 197,
        IDC_PREVIEW = 198,
        IDC_SATURATION_TEXT = 199,
        IDC_SATURATION = 200,
        IDC_RED_TEXT = 201,
        IDC_GREEN_TEXT = 202,
        IDC_BLUE_TEXT = 203,
        IDC_RED = 204,
        IDC_GREEN = 205,
        IDC_BLUE = 206,
    };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    // The current profile's rows (made first when it has none) and its active mode.
    void Reload() override;
    void OnLanguageChanged() override;
    void OnShow(bool shown) override;
    void OnPageEvent(PageEvent event) override;

    // The mode on screen, -1 before a load.
    int32_t GetCurrentMode() const { return m_mode; }

  private:
    bool HasLighting() const;
    void Clear();
    // Shows the mode's row and makes it the profile's active mode.
    void ShowMode(int32_t mode, bool chosenByUser);
    void ShowParameterControls(bool brightness, bool speed, bool colour);
    // The colour in the R, G, B boxes, the preview and the presets; the hue
    // bar follows it unless the bar chose it.
    void ShowColour(int32_t colour, bool movePalette);
    void CheckPreset(int32_t colour);

    void OnModeChosen();
    void OnLevelMoved(Orvix::UINT id, int value);
    void OnPresetPressed(Orvix::UINT id);
    void OnPaletteUsed();
    void OnChannelTyped(Orvix::UINT id);
    void OnChannelLeft(Orvix::UINT id);
    void ResetLighting();

    // Reads the current mode's row, lets `change` edit it, stores it and queues
    // the lighting task when something changed.
    template <class Change>
    void ChangeRow(Change change);
    void SetColour(int32_t colour, bool movePalette);
    int ChannelOf(Orvix::UINT editId, int32_t colour) const;

    Orvix::MComboBox* Modes() const;
    Orvix::MSlider* Slider(Orvix::UINT id) const;
    Orvix::PaletteBar* Palette() const;
    Orvix::MEdit* Edit(Orvix::UINT id) const;
    Orvix::CColorButton* Preset(Orvix::UINT id) const;

    int32_t m_profile = 0;  // the profile the page shows
    int32_t m_mode = -1;
    int32_t m_colour = 0;  // the current mode's colour as shown
    bool m_showsColour = false;
    bool m_showsBrightness = false;
    bool m_showsSpeed = false;
};
