#include "dialogs/FilePathDlg.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "base/LanguageText.h"
#include "orvix/controls/MEdit.h"
#include "orvix/core/MText.h"
#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"

using namespace Orvix;

namespace {
constexpr int kTextConfirm = 23;
constexpr int kTextCancel = 25;
constexpr int kTextNoSuchFile = 1164;
constexpr int kTextNoSuchFolder = 1165;
constexpr int kTextNoFileName = 1166;
constexpr int kPathLimit = 4096;
const Color kText(0xFFE8F0F5);
const Color kWarning(0xFFFFC857);

FilePathDlg::OpenHook g_hook = nullptr;
void* g_hookContext = nullptr;

std::wstring HomeFolder() {
    const char* home = std::getenv("HOME");
    std::wstring folder = home && *home ? Utf8ToWide(home) : L"/";
    if (folder.back() != L'/') folder += L'/';
    return folder;
}

bool Exists(const std::wstring& path, bool folder) {
    struct stat st {};
    if (stat(WideToUtf8(path).c_str(), &st) != 0) return false;
    return folder ? S_ISDIR(st.st_mode) : !S_ISDIR(st.st_mode);
}

std::wstring Filled(int textId, const std::wstring& path) {
    std::wstring text = GetLanguageText(L"LAN", textId);
    if (const size_t at = text.find(L"{path}"); at != std::wstring::npos) text.replace(at, 6, path);
    return text;
}

}  // namespace

void FilePathDlg::SetOpenHook(OpenHook hook, void* context) {
    g_hook = hook;
    g_hookContext = context;
}

FilePathDlg::FilePathDlg(std::wstring title, std::wstring path, bool mustExist)
    : m_title(std::move(title)),
      m_path(path.empty() ? HomeFolder() : std::move(path)),
      m_mustExist(mustExist) {}

BOOL FilePathDlg::OnInitDialog() {
    MDialog::OnInitDialog();
    // Ready to type: the edit opens with the caret after the starting folder.
    Platform::PostTask([hwnd = GetSafeHwnd(), this] {
        if (!Platform::IsWindow(hwnd)) return;
        if (auto* edit = dynamic_cast<MEdit*>(GetControl(IDC_PATH))) edit->ShowEdit();
        if (g_hook) g_hook(*this, g_hookContext);
    });
    return TRUE;
}

void FilePathDlg::InitUI(CRect client) {
    const int w = client.Width(), h = client.Height();
    auto* title =
        static_cast<MText*>(CreateControl(L"MText", IDC_TITLE, CRect(20, 15, w - 20, 45), m_title.c_str()));
    SetWindowTextW(m_title.c_str());  // the desktop names the window by its caption
    title->SetFont(kEmbeddedFontFamily, 16, 0);
    title->SetTextColor(kText);
    title->SetAlignment(0, 1);
    auto* edit =
        static_cast<MEdit*>(CreateControl(L"MEdit", IDC_PATH, CRect(20, 60, w - 20, 96), m_path.c_str()));
    edit->SetImage(L"img_edit.png", 4);
    edit->SetFont(kEmbeddedFontFamily, 14, 0);
    edit->SetTextColor(kText);
    edit->SetLimitText(kPathLimit);
    auto* problem = static_cast<MText*>(CreateControl(L"MText", IDC_PROBLEM, CRect(20, 102, w - 20, 156)));
    problem->SetFont(kEmbeddedFontFamily, 13, 0);
    problem->SetTextColor(kWarning);
    problem->SetAlignment(0, 0);
    problem->EnableMultiLine(TRUE);
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

void FilePathDlg::Confirm() {
    auto* edit = dynamic_cast<MEdit*>(GetControl(IDC_PATH));
    auto* problem = dynamic_cast<MControlFont*>(GetControl(IDC_PROBLEM));
    std::wstring path = edit ? edit->GetEditText() : L"";
    if (path.rfind(L"~/", 0) == 0) path = HomeFolder() + path.substr(2);
    std::wstring issue;
    if (path.empty() || path.back() == L'/') {
        issue = GetLanguageText(L"LAN", kTextNoFileName);  // a folder is no file
    } else if (m_mustExist) {
        if (!Exists(path, false)) issue = Filled(kTextNoSuchFile, path);
    } else {
        const size_t slash = path.find_last_of(L'/');
        const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
        if (!Exists(folder, true)) issue = Filled(kTextNoSuchFolder, folder);
    }
    if (!issue.empty()) {
        if (problem) problem->SetTitle(issue);
        if (edit) edit->ShowEdit();
        return;
    }
    m_path = path;
    DoOK();
}

LRESULT FilePathDlg::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM) {
    if (id == IDC_PATH && code == Notify::EditEnded) {
        if (wParam == VK_RETURN) Confirm();
        if (wParam == VK_ESCAPE) DoCancel();
        return 1;
    }
    if (code != Notify::Clicked) return 0;
    if (id == IDC_OK) {
        Confirm();
        return 1;
    }
    if (id == IDC_CANCEL) {
        DoCancel();
        return 1;
    }
    return 0;
}

bool FilePathDlg::Ask(HWND owner, const std::wstring& title, std::wstring& path, bool mustExist) {
    auto dlg = std::make_unique<FilePathDlg>(title, path, mustExist);
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
