#pragma once
// The device page: the firmware versions of the mouse and the receiver with their
// upgrade buttons, the power options (deep-sleep time, wake on movement),
// receiver pairing and the factory reset; beside them the rules of the profiles
// that follow the application in front (DevicePageRules.cpp).
#include <memory>
#include <string>
#include <vector>

#include "pages/MainPage.h"
#include "features/AppProfileRules.h"
#include "orvix/core/MImageList.h"

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
        // Profiles by application.
        IDC_RULES_AREA = 460,  // 460 to 462: background, caption bar, caption
        IDC_RULES_SWITCH = 463,
        IDC_RULES_SWITCH_TEXT = 464,
        IDC_RULES_STATUS = 465,
        IDC_RULES_PROFILE_TEXT = 466,
        IDC_RULES_PROFILE = 467,
        IDC_RULES_LIST = 468,
        IDC_RULES_ADD = 469,
        IDC_RULES_FRONT = 470,
        IDC_RULES_REMOVE = 471,
        IDC_RULES_DEFAULT_TEXT = 472,
        IDC_RULES_DEFAULT = 473,
        IDC_RULES_NOTIFY = 474,
        IDC_RULES_LIST_BKG = 475,
    };
    // The countdown of "the application in front", in seconds.
    static constexpr int kFrontCountdown = 3;

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

    // ---- profiles by application ----
    // The rules shown: the applications of the profile chosen in the combo box.
    int32_t GetRulesProfile() const;
    const std::vector<AppRef>& GetShownApps() const { return m_shownApps; }
    // Adds an application to a profile (taking it from any other profile).
    bool AddAppRule(int32_t profile, const AppRef& app);
    // Seconds left of the countdown, 0 when none runs.
    int GetCountdown() const { return m_countdown; }

  private:
    void CreateRules();
    void LayoutRules(double scale);
    bool OnRulesMessage(Orvix::UINT id, Orvix::UINT code);
    void RulesTexts();
    void ReloadRules();
    void FillRulesList();
    void UpdateRulesStatus();
    void OnAddApp();
    void OnRemoveApp();
    void OnDefaultChosen();
    void StartFrontCountdown();
    void OnCountdownTick();
    void StopCountdown();
    bool StoreRules(const std::vector<ProfileRules>& rules);
    std::vector<ProfileRules> ReadRules();
    // Name and icon of an entry id from the installed applications (read once).
    const AppEntry* FindInstalled(const std::wstring& id);

    void ShowUpgradeNotice();
    void FillSleepChoices();
    void OnSleepChosen();
    void OnWakeClicked();
    void UpdatePairingButton();

    std::vector<AppRef> m_shownApps;
    Orvix::MImageList m_ruleIcons;
    std::vector<AppEntry> m_installed;
    bool m_installedRead = false;
    int m_countdown = 0;
    Orvix::UINT m_countdownTicker = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

  public:
    ~DevicePage() override;
};
