#pragma once
// The device page: the firmware versions of the mouse and the receiver with their
// upgrade buttons, the power options (deep-sleep time, wake on movement),
// receiver pairing and the factory reset.
#include <string>

#include "app/pages/MainPage.h"

class DevicePage : public MainPage {
  public:
    enum : Orvix::UINT {
        IDC_WAKE_TEXT = 222,
        IDC_WAKE_ON = 223,
        IDC_WAKE_OFF = 224,
        IDC_AREA = 239,  // 239 to 241: background, caption bar, caption
        IDC_MOUSE_VERSION = 242,
        IDC_MOUSE_UPGRADE = 245,
        IDC_RECEIVER_VERSION = 246,
        IDC_RECEIVER_UPGRADE = 249,
        IDC_PAIRING = 252,
        IDC_FACTORY_RESET = 255,
        IDC_SLEEP_TEXT = 257,
        IDC_SLEEP = 258,
    };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    void OnLanguageChanged() override;
    // The power options from the current profile's store.
    void Reload() override;
    void OnShow(bool shown) override;
    void OnPageEvent(PageEvent event) override;

    // The version labels as the worker's read leaves them (whole texts).
    void SetMouseVersionLabel(const std::wstring& text);
    void SetReceiverVersionLabel(const std::wstring& text);

    // Confirmation, then the profile's keys and settings back to their defaults,
    // the device reset (task 23) and the wait dialog until it ends.
    void FactoryReset();

  private:
    void ShowUpgradeNotice();
    void FillSleepChoices();
    void OnSleepChosen();
    void OnWakeClicked();
    void UpdatePairingButton();
};
