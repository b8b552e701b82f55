#pragma once
// The file chooser of last resort: a small toolkit window with the request's
// title, one path edit and two buttons, for desktops with neither a portal nor
// zenity.
#include <string>

#include "orvix/core/MDialog.h"

class FilePathDlg : public Orvix::MDialog {
  public:
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 200;
    enum : Orvix::UINT { IDC_TITLE = 31, IDC_PATH = 32, IDC_OK = 33, IDC_CANCEL = 34 };

    FilePathDlg(std::wstring title, std::wstring path);
    const wchar_t* GetClassNameW() const override { return L"FilePathDlg"; }
    const std::wstring& GetPath() const { return m_path; }

    // Runs the dialog over `owner`; true with a non-empty path when confirmed.
    static bool Ask(Orvix::HWND owner, const std::wstring& title, std::wstring& path);

  protected:
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect) override {}
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    Orvix::LRESULT OnDestroy() override { return 0; }

  private:
    std::wstring m_title;
    std::wstring m_path;
};
