#pragma once
// The list of installed applications, with their icons and names, from which
// the device page's rules editor adds one to a profile. The list is read on a
// thread of its own while the window shows "loading"; Add (or a double click)
// closes it with the chosen application, Cancel without.
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "features/AppProfileRules.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MImageList.h"

class AppPickerDlg : public Orvix::MDialog {
  public:
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 540;
    enum : Orvix::UINT { IDC_TITLE = 31, IDC_LIST = 32, IDC_ADD = 33, IDC_CANCEL = 34, IDC_LOADING = 35, IDC_BKG = 36 };

    // `load` reads the applications (ListInstalledApps by default); tests pass their own.
    using Loader = std::function<std::vector<AppEntry>()>;
    explicit AppPickerDlg(Loader load = {});
    ~AppPickerDlg() override;

    const wchar_t* GetClassNameW() const override { return L"AppPickerDlg"; }
    // The applications once loaded (empty before).
    const std::vector<AppEntry>& GetApps() const { return m_apps; }
    // The chosen application's entry id after Add ("" otherwise).
    const std::wstring& GetChosen() const { return m_chosen; }
    bool IsLoaded() const { return m_loaded; }

  protected:
    Orvix::BOOL OnInitDialog() override;
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect) override {}
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;

  private:
    void Fill(std::vector<AppEntry> apps);
    void Choose();

    Loader m_load;
    std::future<void> m_loading;
    std::shared_ptr<bool> m_alive;
    std::vector<AppEntry> m_apps;
    Orvix::MImageList m_icons;
    std::wstring m_chosen;
    bool m_loaded = false;
};

// Shows the list modally over `owner`; the chosen entry id, "" when cancelled.
std::wstring PickInstalledApp(Orvix::HWND owner, AppPickerDlg::Loader load = {});
// Tests: called on the UI thread once a picker is shown (null to stop).
void SetAppPickerHook(std::function<void(AppPickerDlg&)> hook);
