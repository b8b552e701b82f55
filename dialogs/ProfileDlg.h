#pragma once
// The profile pop-up above the main window's profile button: the four profiles
// with in-place renaming, and the import and export buttons. What the user
// chooses goes back to the main window as message 1705.
#include "orvix/core/MDialog.h"

class DataStore;

constexpr Orvix::UINT WM_PROFILE_COMMAND = Orvix::WM_USER + 681;  // 1705
// wParam of message 1705 (lParam is a profile id).
constexpr Orvix::WPARAM kProfileSwitch = 0;
constexpr Orvix::WPARAM kProfileImport = 1;
constexpr Orvix::WPARAM kProfileExport = 2;

class ProfileDlg : public Orvix::MDialog {
  public:
    static constexpr int kHeight = 205;
    enum : Orvix::UINT { IDC_LIST = 31, IDC_IMPORT = 32, IDC_EXPORT = 33 };

    ProfileDlg(DataStore& store, int32_t currentProfile, Orvix::HWND target);
    ~ProfileDlg() override;

    // The pop-up's screen rectangle for the profile button's screen rectangle:
    // same left and right edges, bottom 5 pixels above the button.
    static Orvix::CRect PlaceAbove(const Orvix::CRect& buttonScreenRect);
    // Creates it over `owner` (not yet modal).
    bool CreateAbove(Orvix::HWND owner, const Orvix::CRect& buttonScreenRect);

    // The pop-up while one is open (at most one is), else null.
    static ProfileDlg* GetOpen();

    const wchar_t* GetClassNameW() const override { return L"ProfileDlg"; }

  protected:
    Orvix::LRESULT OnWindowMessage(Orvix::UINT msg, Orvix::WPARAM wParam, Orvix::LPARAM lParam) override;
    Orvix::BOOL OnInitDialog() override;
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect) override {}
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    Orvix::LRESULT OnNcActivate(Orvix::BOOL active) override;
    // Esc and a press outside it (its own button's included) close it as
    // losing activation does, also without a window manager.
    Orvix::BOOL OnCancelKey() override;
    void OnCancelMode() override;

  private:
    void Post(Orvix::WPARAM command, int32_t profile);
    void Finish();
    void Dismiss();

    DataStore& m_store;
    int32_t m_lastEdited;
    Orvix::HWND m_target;
    bool m_nameChanged = false;
    bool m_closing = false;
};
