#include "dialogs/ProfileDlg.h"

#include <vector>

#include "base/LanguageText.h"
#include "orvix/controls/DListBox.h"
#include "orvix/core/MPicture.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "base/AppContext.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

constexpr int kTextImport = 26;
constexpr int kTextExport = 27;
constexpr int kTextTitle = 1250;

ProfileDlg* g_open = nullptr;

}  // namespace

ProfileDlg::ProfileDlg(DataStore& store, int32_t currentProfile, HWND target)
    : m_store(store), m_lastEdited(currentProfile), m_target(target) {}

ProfileDlg::~ProfileDlg() {
    if (g_open == this) g_open = nullptr;
}

ProfileDlg* ProfileDlg::GetOpen() {
    return g_open;
}

CRect ProfileDlg::PlaceAbove(const CRect& button) {
    return CRect(button.left, button.top - 5 - kHeight, button.right, button.top - 5);
}

bool ProfileDlg::CreateAbove(HWND owner, const CRect& buttonScreenRect) {
    return Create(owner, L"ProfileDlg", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                  PlaceAbove(buttonScreenRect)) != nullptr;
}

LRESULT ProfileDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return MDialog::OnWindowMessage(msg, wParam, lParam);
}

BOOL ProfileDlg::OnInitDialog() {
    g_open = this;
    SetDismissOnOutsidePress(TRUE);
    MDialog::OnInitDialog();
    // No caption to show: the desktop names the window by what it lists.
    SetWindowTextW(GetLanguageText(L"LAN", kTextTitle).c_str());
    return TRUE;
}

void ProfileDlg::InitUI(CRect client) {
    const int w = client.Width();
    const int h = client.Height();
    if (auto* bkg = dynamic_cast<MPicture*>(CreateControl(L"MPicture", 30, client))) {
        bkg->SetImage(L"img_area_content.png", 1);
        bkg->SetShowMode(SHOW_MODE_NINE, 8);
    }
    auto* list = dynamic_cast<DListBox*>(CreateControl(L"DListBox", IDC_LIST, CRect(6, 6, w - 6, h - 42)));
    if (list) {
        list->SetAlignment(1);
        list->SetFont(kEmbeddedFontFamily, 18, 0);
        list->SetItemHeight(36);
        list->EnableShowEdit(TRUE);
        std::vector<ProfileData> profiles;
        m_store.ListProfiles(profiles, GetCurrentLcid());
        for (const ProfileData& p : profiles) list->AddString(p.name.c_str(), LPARAM(p.profile), -1);
        list->SetCurData(LPARAM(m_lastEdited));
    }
    auto addButton = [this](UINT id, CRect rect, int textId) {
        auto* button = dynamic_cast<MControlFont*>(
            CreateControl(L"MButton", id, rect, GetLanguageText(L"LAN", textId).c_str()));
        if (!button) return;
        button->SetImage(L"img_button.png", 4);
        button->SetFont(kEmbeddedFontFamily, 14, 0);
    };
    // As wide as the pop-up allows, for the longer words of some languages.
    addButton(IDC_IMPORT, CRect(6, h - 35, w / 2 - 3, h - 7), kTextImport);
    addButton(IDC_EXPORT, CRect(w / 2 + 3, h - 35, w - 6, h - 7), kTextExport);
}

void ProfileDlg::Post(WPARAM command, int32_t profile) {
    if (m_target) Platform::PostMessage(m_target, WM_PROFILE_COMMAND, command, LPARAM(profile));
}

void ProfileDlg::Finish() {
    if (m_closing) return;
    m_closing = true;
    DoCancel();
}

LRESULT ProfileDlg::OnMessage(UINT id, UINT code, WPARAM, LPARAM lParam) {
    auto* list = dynamic_cast<DListBox*>(GetControl(IDC_LIST));
    if (!list || m_closing) return 0;
    if (id == IDC_LIST && code == Notify::Clicked) {
        const int row = list->GetCurSel();
        if (row < 0) return 1;
        list->SetControlFocus(FALSE);
        Post(kProfileSwitch, int32_t(list->GetItemData(row)));
        Finish();
        return 1;
    }
    if (id == IDC_LIST && code == Notify::EditEnded) {
        const int row = int(lParam);
        if (list->GetCurSel() < 0 || row < 0 || row >= list->GetItemCount()) return 1;
        const std::wstring name = list->GetItemText(row);
        if (name.empty()) return 1;
        const int32_t profile = int32_t(list->GetItemData(row));
        m_store.RenameProfile(profile, name);
        m_lastEdited = profile;
        m_nameChanged = true;
        return 1;
    }
    if ((id == IDC_IMPORT || id == IDC_EXPORT) && code == Notify::Clicked) {
        const int row = list->GetCurSel();
        const int32_t profile = row >= 0 ? int32_t(list->GetItemData(row)) : m_lastEdited;
        if (m_nameChanged) Post(kProfileSwitch, profile);
        Post(id == IDC_IMPORT ? kProfileImport : kProfileExport, profile);
        Finish();
        return 1;
    }
    return 0;
}

LRESULT ProfileDlg::OnNcActivate(BOOL active) {
    if (!active) Dismiss();
    return 0;
}

BOOL ProfileDlg::OnCancelKey() {
    Dismiss();
    return TRUE;
}

void ProfileDlg::OnCancelMode() { Dismiss(); }

void ProfileDlg::Dismiss() {
    if (m_closing) return;
    // A rename in progress ends (and is kept) first; a renamed profile becomes the active one.
    if (auto* list = dynamic_cast<DListBox*>(GetControl(IDC_LIST))) list->SetControlFocus(FALSE);
    if (m_nameChanged) Post(kProfileSwitch, m_lastEdited);
    Finish();
}
