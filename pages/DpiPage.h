#pragma once
// The DPI and performance page: the DPI levels with their slider and count, the
// report rate, and the performance options (lift-off distance, sensor options,
// scroll direction, high-speed mode, button response time) with the desktop's
// mouse settings. Each change is stored in the current profile and sent by the
// worker task of that one setting.
#include <string>

#include "pages/MainPage.h"
#include "platform/DesktopTools.h"

namespace Orvix {
class DPIControl;
class DPISlider;
class MComboBox;
class ReporteCtrl;
}  // namespace Orvix

class DpiPage : public MainPage {
  public:
    enum : Orvix::UINT {
        IDC_AREA = 97,  // 97 to 99: background, caption bar, caption
        IDC_SUBTITLE = 100,
        IDC_DPI_HELP = 101,
        IDC_DPI_RESET = 102,
        IDC_DPI_LEVELS = 103,
        IDC_DPI_SLIDER = 104,
        IDC_DPI_APPLY = 105,
        IDC_DPI_COUNT_TEXT = 106,
        IDC_DPI_COUNT = 107,
        IDC_RATE_PANEL = 108,
        IDC_RATE_CAPTION = 109,
        IDC_RATE_HELP = 110,
        IDC_RATE_RESET = 111,
        IDC_RATE = 112,
        IDC_PERF_AREA = 207,  // 207 to 209: background, caption bar, caption
        IDC_LIFTOFF_TEXT = 210,
        IDC_LIFTOFF_HELP = 212,
        IDC_LIFTOFF_1MM = 213,
        IDC_LIFTOFF_2MM = 214,
        IDC_SENSOR_TEXT = 216,
        IDC_SENSOR_FIRST = 218,  // 218 to 220: the three sensor options
        IDC_SENSOR_LAST = 220,
        IDC_SCROLL_TEXT = 226,
        IDC_SCROLL_FIRST = 227,
        IDC_SCROLL_SECOND = 228,
        IDC_HIGHSPEED_TEXT = 230,
        IDC_HIGHSPEED = 231,
        IDC_HIGHSPEED_NOTE = 232,
        IDC_RESPOND_TEXT = 234,
        IDC_RESPOND = 235,
        IDC_MOUSE_SETTINGS = 238,
    };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    // Every control from the current profile's store.
    void Reload() override;
    void OnLanguageChanged() override;
    void OnShow(bool shown) override;
    void OnPageEvent(PageEvent event) override;
    void OnDpiStageChanged(int index) override;

    Orvix::DPIControl* GetLevels() const;
    Orvix::DPISlider* GetSlider() const;
    Orvix::ReporteCtrl* GetReportRate() const;
    // The command button 238 starts (empty when the desktop has none).
    const DesktopCommand& GetMouseSettingsCommand() const { return m_mouseSettings; }

  private:
    // ---- DPI area ----
    void ReloadDpi();
    // Rebuilds the level cards 0 .. count - 1 from the store.
    void FillLevels(int count);
    void OnLevelClicked();
    void OnLevelFocused();
    void OnLevelTyped();
    void OnSliderMoved(int position);
    void OnCountChosen();
    void ResetDpi();
    void StoreActiveLevel(int index);
    void ShowLevelOnSlider(int level);

    // ---- performance area ----
    void ReloadPerformance();
    void ResetReportRate();
    void OnReportRateChosen(int item);
    void OnSensorClicked();
    void OnRespondTimeClosed();
    void OnRespondTimeConfirmed();
    void UpdateMouseSettingsButton();
    void OpenMouseSettings();

    int ReadInt(const std::wstring& key, int fallback = 0) const;
    void Store(const std::wstring& key, int value);
    bool IsChecked(Orvix::UINT id) const;
    void SetChecked(Orvix::UINT id, bool checked);
    void SetTitle(Orvix::UINT id, const std::wstring& text);

    DesktopCommand m_mouseSettings;
    // A level chosen by opening its edit and not sent yet: the click that
    // opened it, or else the edit's closing, sends it.
    bool m_levelUnsent = false;
};
