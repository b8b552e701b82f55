#pragma once
// The application settings window: interface language, start with the desktop
// session (the autostart entry), start hidden, what closing the main window does,
// and an about page with the version and the maker's links. Every change is stored
// the moment the control changes; there is no OK or Cancel.
#include <string>

#include "device/DeviceCatalog.h"
#include "orvix/core/MDialog.h"

class DesktopServices;

class SettingDlg : public Orvix::MDialog {
  public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 500;
    enum : Orvix::UINT {
        IDC_CAPTION = 30,
        IDC_CLOSE = 31,
        IDC_TITLE = 32,
        IDC_TABS = 33,
        IDC_AREA = 34,
        IDC_PAGE_SETTINGS = 35,
        IDC_PAGE_ABOUT = 36,
        IDC_LANGUAGE_LABEL = 38,
        IDC_LANGUAGE = 40,
        IDC_STARTUP_LABEL = 41,
        IDC_AUTORUN = 42,
        IDC_AUTORUN_HIDDEN = 43,
        IDC_EXITMODE_LABEL = 44,
        IDC_EXITMODE_NOTE = 46,
        IDC_EXITMODE_HIDE = 47,
        IDC_EXITMODE_EXIT = 48,
        IDC_VERSION_LABEL = 51,
        IDC_VERSION = 52,
        IDC_UPDATES = 53,
        IDC_LOGO = 54,
        IDC_LINK_WEBSITE = 55,
        IDC_LINK_STORE = 56,
        IDC_LINK_SUPPORT = 57,
        IDC_RIGHTS = 58,
        IDC_SCALE_LABEL = 59,
        IDC_SCALE = 60,
    };

    // `entryPath` is the autostart entry, `programPath` the program it starts.
    SettingDlg(SoftwareInfo software, DesktopServices& desktop, std::wstring entryPath,
               std::wstring programPath);
    ~SettingDlg() override;

    // Creates the window centred over `owner` without running its modal loop.
    bool CreateOver(Orvix::HWND owner);
    // Creates it, runs it modally, and returns the loop's result.
    Orvix::UINT Show(Orvix::HWND owner);

    // Shows the page of a tab: 0 settings, 1 about.
    void SelectPage(int index);
    // Whether the main window has its notification-area icon: without one, closing
    // the window always exits, and the hide option is shown off with the reason.
    // Before the window is created.
    void SetTrayAvailable(bool available) { m_trayAvailable = available; }

    const wchar_t* GetClassNameW() const override { return L"SettingDlg"; }

  protected:
    Orvix::BOOL OnInitDialog() override;
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect) override {}
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;

  private:
    void BuildSettingsPage(Orvix::MControl* page);
    void BuildAboutPage(Orvix::MControl* page);
    // Sets every text of the window from the language file of the current language.
    void SetTexts();
    void ReadInitialStates();
    void ChangeLanguage();
    // The display scale combo: its "as the desktop" item reads the current language.
    void FillScaleChoices();
    void ChangeScale();
    void OnAutorunClicked();
    void OnHiddenClicked();
    void OnExitModeClicked();
    void OpenLink(Orvix::UINT id);
    bool IsChecked(Orvix::UINT id);
    void SetChecked(Orvix::UINT id, bool check);

    SoftwareInfo m_software;
    DesktopServices& m_desktop;
    std::wstring m_entryPath;
    std::wstring m_programPath;
    bool m_trayAvailable = true;
};

// What the main window runs for its settings button: the dialog over `owner`, on
// the desktop of this machine and the program's own autostart entry.
Orvix::UINT ShowSettingDlg(Orvix::HWND owner, const SoftwareInfo& software, bool trayAvailable = true);

// Hook for the program's tests and screenshots: called on the UI thread once the
// settings window runs its modal loop. Null to stop.
using SettingDialogHook = void (*)(SettingDlg& dlg, void* context);
void SetSettingDialogHook(SettingDialogHook hook, void* context);
