#include "dialogs/AppPickerDlg.h"

#include "base/LanguageText.h"
#include "orvix/controls/MListBox.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "base/AppContext.h"
#include "platform/InstalledApps.h"

using namespace Orvix;

namespace {

constexpr int kIconSize = 32;
constexpr int kTextTitle = 1468;    // "Installed applications"
constexpr int kTextAdd = 1469;      // "Add"
constexpr int kTextCancel = 25;     // "Cancel"
constexpr int kTextLoading = 1471;  // "Reading the installed applications…"
constexpr int kTextNone = 1472;     // "No installed applications were found."

std::function<void(AppPickerDlg&)>& Hook() {
    static std::function<void(AppPickerDlg&)> hook;
    return hook;
}

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

}  // namespace

void SetAppPickerHook(std::function<void(AppPickerDlg&)> hook) {
    Hook() = std::move(hook);
}

AppPickerDlg::AppPickerDlg(Loader load) : m_load(std::move(load)), m_alive(std::make_shared<bool>(true)) {
    if (!m_load) {
        const int language = GetCurrentLcid();
        m_load = [language] {
            std::vector<AppEntry> apps = ListInstalledApps(language);
            // List rows are 36 pixels high: larger icons get a small copy.
            for (AppEntry& app : apps)
                if (!app.iconPath.empty()) app.iconPath = SmallIconFile(app.iconPath, kIconSize);
            return apps;
        };
    }
}

AppPickerDlg::~AppPickerDlg() {
    *m_alive = false;
    // The reading thread ends by itself; its result is dropped.
    if (m_loading.valid()) m_loading.wait();
}

BOOL AppPickerDlg::OnInitDialog() {
    MDialog::OnInitDialog();
    std::weak_ptr<bool> alive = m_alive;
    Loader load = m_load;
    m_loading = std::async(std::launch::async, [this, alive, load] {
        auto apps = std::make_shared<std::vector<AppEntry>>(load());
        Platform::PostTask([this, alive, apps] {
            const std::shared_ptr<bool> live = alive.lock();
            if (live && *live) Fill(std::move(*apps));
        });
    });
    if (Hook()) {
        Platform::PostTask([hwnd = GetSafeHwnd(), this] {
            if (Platform::IsWindow(hwnd) && Hook()) Hook()(*this);
        });
    }
    return TRUE;
}

void AppPickerDlg::InitUI(CRect client) {
    const int w = client.Width();
    const int h = client.Height();
    // The list on a panel of its own, as on the pages.
    if (auto* bkg = dynamic_cast<MPicture*>(CreateControl(L"MPicture", IDC_BKG, CRect(14, 50, w - 14, h - 60)))) {
        bkg->SetImage(L"img_area_content.png", 1);
        bkg->SetShowMode(SHOW_MODE_NINE, 8);
    }
    auto* title = dynamic_cast<MText*>(CreateControl(L"MText", IDC_TITLE, CRect(20, 12, w - 20, 44), Text(kTextTitle).c_str()));
    SetWindowTextW(Text(kTextTitle).c_str());  // the desktop names the window by its caption
    if (title) {
        title->SetFont(kEmbeddedFontFamily, 17, 0);
        title->SetTextColor(Color(0xFFE8F0F5));
        title->SetAlignment(0, 1);
    }
    if (auto* list = dynamic_cast<MListBox*>(CreateControl(L"MListBox", IDC_LIST, CRect(16, 52, w - 16, h - 62)))) {
        list->SetFont(kEmbeddedFontFamily, 15, 0);
        list->SetTextColor(Color(0xFFE8F0F5));
        list->SetItemHeight(40);
        list->SetImageList(&m_icons);
    }
    auto* loading = dynamic_cast<MText*>(
        CreateControl(L"MText", IDC_LOADING, CRect(30, 52, w - 30, h - 62), Text(kTextLoading).c_str()));
    if (loading) {
        loading->SetFont(kEmbeddedFontFamily, 15, 0);
        loading->SetTextColor(Color(0xFF8FA0B0));
        loading->SetAlignment(1, 1);
        loading->EnableMultiLine(TRUE);
    }
    auto addButton = [this](UINT id, CRect rect, int textId, bool enabled) {
        auto* button =
            dynamic_cast<MControlFont*>(CreateControl(L"MButton", id, rect, Text(textId).c_str(), 1, enabled ? 1 : 0));
        if (!button) return;
        button->SetImage(L"img_button.png", 4);
        button->SetFont(kEmbeddedFontFamily, 15, 0);
    };
    addButton(IDC_ADD, CRect(w / 2 - 150, h - 48, w / 2 - 10, h - 14), kTextAdd, false);
    addButton(IDC_CANCEL, CRect(w / 2 + 10, h - 48, w / 2 + 150, h - 14), kTextCancel, true);
    SetCancelButton(IDC_CANCEL);  // Esc cancels
    SetDefaultButton(IDC_ADD);    // Enter adds the chosen application, once there is one
}

void AppPickerDlg::Fill(std::vector<AppEntry> apps) {
    m_apps = std::move(apps);
    m_loaded = true;
    auto* list = dynamic_cast<MListBox*>(GetControl(IDC_LIST));
    if (!list) return;
    m_icons.DelAllImages();
    list->DeleteAllItems();
    for (size_t i = 0; i < m_apps.size(); ++i) {
        int image = -1;
        if (!m_apps[i].iconPath.empty()) image = m_icons.AddImage(m_apps[i].iconPath.c_str(), 1, int(i));
        list->AddString(m_apps[i].name.c_str(), LPARAM(i), image);
    }
    if (auto* loading = dynamic_cast<MControlFont*>(GetControl(IDC_LOADING))) {
        loading->SetTitle(Text(kTextNone));
        loading->SetVisible(m_apps.empty());
    }
}

void AppPickerDlg::Choose() {
    auto* list = dynamic_cast<MListBox*>(GetControl(IDC_LIST));
    if (!list || list->GetCurSel() < 0) return;
    const size_t index = size_t(list->GetItemData(list->GetCurSel()));
    if (index >= m_apps.size()) return;
    m_chosen = m_apps[index].id;
    DoOK();
}

LRESULT AppPickerDlg::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (id == IDC_LIST && code == Notify::Pressed) {
        auto* list = dynamic_cast<MListBox*>(GetControl(IDC_LIST));
        if (MControl* add = GetControl(IDC_ADD)) add->SetEnabled(list && list->GetCurSel() >= 0);
        return 1;
    }
    if (code != Notify::Clicked) return 0;
    if (id == IDC_ADD) {
        Choose();
        return 1;
    }
    if (id == IDC_CANCEL) {
        DoCancel();
        return 1;
    }
    return 0;
}

std::wstring PickInstalledApp(HWND owner, AppPickerDlg::Loader load) {
    auto dlg = std::make_unique<AppPickerDlg>(std::move(load));
    // Opaque, as the main window: the list must stay readable over whatever is below.
    dlg->LoadBKImage(L"main_bkg.png");
    dlg->SetBackMode(BACK_MODE_NINE, 8);
    if (!dlg->Create(owner, L"AppPickerDlg", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                     WS_EX_TOOLWINDOW, CRect(0, 0, AppPickerDlg::kWidth, AppPickerDlg::kHeight)))
        return L"";
    dlg->CenterWindow(nullptr);
    const UINT result = dlg->ShowModal(SW_SHOWNORMAL);
    std::wstring chosen = result == IDOK ? dlg->GetChosen() : L"";
    if (dlg->GetSafeHwnd()) dlg->DestroyWindow();
    return chosen;
}
