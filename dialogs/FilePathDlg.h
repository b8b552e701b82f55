#pragma once
// The file chooser of last resort: a small toolkit window with the request's
// title, one path edit (starting in the home folder) and two buttons, for
// desktops with neither a portal nor zenity. Enter in the edit confirms, Esc
// cancels; a path that must exist and does not is said under the edit.
#include <string>

#include "orvix/core/MDialog.h"

class FilePathDlg : public Orvix::MDialog {
  public:
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 220;
    enum : Orvix::UINT { IDC_TITLE = 31, IDC_PATH = 32, IDC_OK = 33, IDC_CANCEL = 34, IDC_PROBLEM = 35 };

    // `mustExist`: the chosen file is opened (a save only needs its folder).
    FilePathDlg(std::wstring title, std::wstring path, bool mustExist);
    const wchar_t* GetClassNameW() const override { return L"FilePathDlg"; }
    const std::wstring& GetPath() const { return m_path; }

    // Runs the dialog over `owner`, starting from `path` (the home folder when
    // empty); true with the path when confirmed.
    static bool Ask(Orvix::HWND owner, const std::wstring& title, std::wstring& path, bool mustExist = true);

    // Hook for tests: called on the UI thread once the dialog runs its modal loop.
    using OpenHook = void (*)(FilePathDlg& dlg, void* context);
    static void SetOpenHook(OpenHook hook, void* context);

  protected:
    Orvix::BOOL OnInitDialog() override;
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect) override {}
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    Orvix::LRESULT OnDestroy() override { return 0; }

  private:
    // Takes the edit's path, or says what is wrong with it and stays open.
    void Confirm();

    std::wstring m_title;
    std::wstring m_path;
    bool m_mustExist;
};
