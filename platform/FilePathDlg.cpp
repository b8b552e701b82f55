#include "platform/FilePathDlg.h"

#include <memory>

#include "exchange/LanguageText.h"
#include "orvix/controls/MEdit.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"

using namespace Orvix;

namespace {
constexpr UINT kClicked = 2;
constexpr int kTextConfirm = 23;
constexpr int kTextCancel = 25;
constexpr int kPathLimit = 4096;
}  // namespace

FilePathDlg::FilePathDlg(std::wstring title, std::wstring path)
    : m_title(std::move(title)), m_path(std::move(path)) {}

void FilePathDlg::InitUI(CRect client) {
    const int w = client.Width(), h = client.Height();
    auto* title =
        static_cast<MText*>(CreateControl(L"MText", IDC_TITLE, CRect(20, 15, w - 20, 45), m_title.c_str()));
    SetWindowTextW(m_title.c_str());  // the desktop names the window by its caption
    title->SetFont(kEmbeddedFontFamily, 16, 0);
    title->SetTextColor(Color(0xFFE8F0F5));
    title->SetAlignment(0, 1);
    auto* edit =
        static_cast<MEdit*>(CreateControl(L"MEdit", IDC_PATH, CRect(20, 70, w - 20, 106), m_path.c_str()));
    edit->SetImage(L"img_edit.png", 4);
    edit->SetFont(kEmbeddedFontFamily, 14, 0);
    edit->SetTextColor(Color(0xFFE8F0F5));
    edit->SetLimitText(kPathLimit);
    auto addButton = [this](UINT id, CRect rect, int textId) {
        auto* button = static_cast<MControlFont*>(
            CreateControl(L"MButton", id, rect, GetLanguageText(L"LAN", textId).c_str()));
        button->SetImage(L"img_button.png", 4);
        button->SetFont(kEmbeddedFontFamily, 16, 0);
    };
    addButton(IDC_OK, CRect(w / 2 - 120, h - 50, w / 2 - 20, h - 14), kTextConfirm);
    addButton(IDC_CANCEL, CRect(w / 2 + 20, h - 50, w / 2 + 120, h - 14), kTextCancel);
    // Return confirms the path (also straight from the field), Esc cancels.
    SetDefaultButton(IDC_OK);
    SetCancelButton(IDC_CANCEL);
}

LRESULT FilePathDlg::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (code != kClicked) return 0;
    if (id == IDC_OK) {
        if (auto* edit = dynamic_cast<MEdit*>(GetControl(IDC_PATH))) m_path = edit->GetEditText();
        DoOK();
        return 1;
    }
    if (id == IDC_CANCEL) {
        DoCancel();
        return 1;
    }
    return 0;
}

bool FilePathDlg::Ask(HWND owner, const std::wstring& title, std::wstring& path) {
    auto dlg = std::make_unique<FilePathDlg>(title, path);
    dlg->LoadBKImage(L"bk_prompt.png");
    dlg->SetBackMode(BACK_MODE_NINE, 30);
    if (!dlg->Create(owner, L"FilePathDlg", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                     WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CRect(0, 0, kWidth, kHeight)))
        return false;
    dlg->CenterWindow(nullptr);
    const UINT result = dlg->ShowModal(SW_SHOWNORMAL);
    const std::wstring chosen = dlg->GetPath();
    if (dlg->GetSafeHwnd()) dlg->DestroyWindow();
    if (result != 1 || chosen.empty()) return false;
    path = chosen;
    return true;
}
