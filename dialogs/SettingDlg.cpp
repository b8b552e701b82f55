#include "dialogs/SettingDlg.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/LanguageText.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CImageButton.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/CRoundArea.h"
#include "orvix/controls/CTabCtrl1.h"
#include "orvix/controls/CTextButton.h"
#include "orvix/controls/MButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/core/MPanel.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "base/AppContext.h"
#include "platform/Autostart.h"
#include "platform/DisplayScale.h"
#include "platform/DesktopServices.h"
#include "base/Folders.h"
#include "base/SettingsStore.h"
#include "base/Trace.h"

using namespace Orvix;

namespace {

constexpr wchar_t kAutorunMinimize[] = L"autorun_minimize";
constexpr wchar_t kExitMode[] = L"exit_mode";
constexpr wchar_t kLcid[] = L"LCID";
constexpr wchar_t kExitModeGroup[] = L"IDC_SET_STC_EXITMODE";

const Color kText(0xFFE8F0F5);
const Color kDimText(0xFF9FB3C2);

// Which language text each label and button of the window shows.
struct TextOf {
    UINT id;
    int text;
};
constexpr TextOf kTexts[] = {
    {SettingDlg::IDC_TITLE, 650},          {SettingDlg::IDC_LANGUAGE_LABEL, 656},
    {SettingDlg::IDC_STARTUP_LABEL, 657},  {SettingDlg::IDC_AUTORUN, 658},
    {SettingDlg::IDC_AUTORUN_HIDDEN, 659}, {SettingDlg::IDC_EXITMODE_LABEL, 660},
    {SettingDlg::IDC_EXITMODE_HIDE, 661},  {SettingDlg::IDC_EXITMODE_EXIT, 662},
    {SettingDlg::IDC_EXITMODE_NOTE, 663},  {SettingDlg::IDC_VERSION_LABEL, 671},
    {SettingDlg::IDC_UPDATES, 672},        {SettingDlg::IDC_LINK_WEBSITE, 685},
    {SettingDlg::IDC_LINK_STORE, 686},     {SettingDlg::IDC_LINK_SUPPORT, 687},
    {SettingDlg::IDC_RIGHTS, 3},           {SettingDlg::IDC_SCALE_LABEL, 1252},
};
constexpr int kTextScaleDesktop = 1253;
// The display scales offered besides the desktop's (percent).
constexpr int kScaleChoices[] = {75, 100, 125, 150, 175, 200, 250, 300};
constexpr int kTextClose = 5;
constexpr int kTextTabSettings = 651;
constexpr int kTextTabAbout = 655;
constexpr int kTextNoTray = 1163;

SettingDialogHook g_hook = nullptr;
void* g_hookContext = nullptr;

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

}  // namespace

void SetSettingDialogHook(SettingDialogHook hook, void* context) {
    g_hook = hook;
    g_hookContext = context;
}

SettingDlg::SettingDlg(SoftwareInfo software, DesktopServices& desktop, std::wstring entryPath,
                       std::wstring programPath)
    : m_software(std::move(software)),
      m_desktop(desktop),
      m_entryPath(std::move(entryPath)),
      m_programPath(std::move(programPath)) {}

SettingDlg::~SettingDlg() = default;

bool SettingDlg::CreateOver(HWND owner) {
    if (!Create(owner, L"Setting Window", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                CRect(0, 0, kWidth, kHeight)))
        return false;
    CenterWindow(nullptr);
    return true;
}

UINT SettingDlg::Show(HWND owner) {
    if (!GetSafeHwnd() && !CreateOver(owner)) return 0;
    return ShowModal(SW_SHOW);
}

BOOL SettingDlg::OnInitDialog() {
    m_pm.SetBackColor(0x121500, 0xE6FF49);
    MDialog::OnInitDialog();
    if (g_hook) {
        Platform::PostTask([hwnd = GetSafeHwnd(), this] {
            if (Platform::IsWindow(hwnd) && g_hook) g_hook(*this, g_hookContext);
        });
    }
    return TRUE;
}

void SettingDlg::InitUI(CRect client) {
    auto* back = static_cast<MPicture*>(CreateControl(L"MPicture", IDC_CAPTION - 1, client));
    back->SetImage(L"main_bkg.png", 1);
    back->SetShowMode(SHOW_MODE_NINE, 8);
    auto* caption =
        static_cast<MPicture*>(CreateControl(L"MPicture", IDC_CAPTION, CRect(1, 1, client.right - 1, 44)));
    caption->SetImage(L"img_caption.png", 1);
    caption->SetShowMode(SHOW_MODE_STRETCH, 0);
    auto* close = static_cast<CImageButton*>(
        CreateControl(L"CImageButton", IDC_CLOSE, CRect(client.right - 42, 8, client.right - 10, 36)));
    close->SetImage(L"sysbtn_close.png", 4);
    SetCancelButton(IDC_CLOSE);  // Esc does what the close button does
    auto* title = static_cast<MText*>(CreateControl(L"MText", IDC_TITLE, CRect(20, 1, 400, 44)));
    title->SetFont(kEmbeddedFontFamily, 18, 0);
    title->SetTextColor(kText);
    title->SetAlignment(0, 4);

    auto* tabs = static_cast<CTabCtrl1*>(CreateControl(L"CTabCtrl1", IDC_TABS, CRect(16, 64, 176, 184)));
    tabs->SetImage(L"img_tabctrl1.png", 3);
    tabs->SetFont(kEmbeddedFontFamily, 15, 0);
    const CRect area(188, 60, client.right - 16, client.bottom - 16);
    auto* round = static_cast<CRoundArea*>(CreateControl(L"CRoundArea", IDC_AREA, area));
    round->SetColor(Color(0xFF16212E));
    round->SetRadius(10);
    MControl* settings = CreateControl(L"MTabLayout", IDC_PAGE_SETTINGS, area);
    MControl* about = CreateControl(L"MTabLayout", IDC_PAGE_ABOUT, area, nullptr, 0);
    tabs->AddItem(L"", 0, settings);
    tabs->AddItem(L"", 1, about);
    tabs->SetSelectItem(0);
    BuildSettingsPage(settings);
    BuildAboutPage(about);
    SetTexts();
    ReadInitialStates();
}

namespace {

// A one-line label of the dialog's pages, vertically centred in its rect.
MText* AddLabel(MPanel* page, UINT id, CRect rect, int size, Color color) {
    auto* label = static_cast<MText*>(page->CreateControl(L"MText", id, rect));
    label->SetFont(kEmbeddedFontFamily, size, 0);
    label->SetTextColor(color);
    label->SetAlignment(0, 4);
    return label;
}

}  // namespace

void SettingDlg::BuildSettingsPage(MControl* parent) {
    auto* page = static_cast<MPanel*>(parent);
    const int x = 212;
    const int right = kWidth - 40;
    AddLabel(page, IDC_LANGUAGE_LABEL, CRect(x, 76, right, 100), 16, kText);
    auto* language =
        static_cast<MComboBox*>(page->CreateControl(L"MComboBox", IDC_LANGUAGE, CRect(x, 106, x + 240, 138)));
    language->SetBackImage(L"img_combobox.png");
    language->SetShowModeMID(8, 8, 30, 8);
    language->SetFont(kEmbeddedFontFamily, 14, 0);
    language->SetTextColor(kText);
    // Each language whose file is present, under its own name whatever the
    // current language.
    for (int lcid : GetAvailableLanguages(GetProgramFolder()))
        language->AddItem(FindLanguage(lcid)->nativeName, lcid);
    language->SelectData(GetCurrentLcid());

    // Beside the language: how large everything is drawn.
    const int scaleLeft = x + 270;
    AddLabel(page, IDC_SCALE_LABEL, CRect(scaleLeft, 76, right, 100), 16, kText);
    auto* scale = static_cast<MComboBox*>(
        page->CreateControl(L"MComboBox", IDC_SCALE, CRect(scaleLeft, 106, scaleLeft + 240, 138)));
    scale->SetBackImage(L"img_combobox.png");
    scale->SetShowModeMID(8, 8, 30, 8);
    scale->SetFont(kEmbeddedFontFamily, 14, 0);
    scale->SetTextColor(kText);

    AddLabel(page, IDC_STARTUP_LABEL, CRect(x, 160, right, 184), 16, kText);
    for (UINT id : {UINT(IDC_AUTORUN), UINT(IDC_AUTORUN_HIDDEN)}) {
        const int top = id == IDC_AUTORUN ? 190 : 220;
        auto* check = static_cast<CCheckButton*>(
            page->CreateControl(L"CCheckButton", id, CRect(x, top, right, top + 24)));
        check->SetImage(L"btn_checkbox.png", 8);
        check->SetFont(kEmbeddedFontFamily, 14, 0);
        check->SetTextColor(kText);
    }

    AddLabel(page, IDC_EXITMODE_LABEL, CRect(x, 264, right, 288), 16, kText);
    for (UINT id : {UINT(IDC_EXITMODE_HIDE), UINT(IDC_EXITMODE_EXIT)}) {
        const int top = id == IDC_EXITMODE_HIDE ? 294 : 324;
        auto* radio = static_cast<CRadioButton*>(
            page->CreateControl(L"CRadioButton", id, CRect(x, top, right, top + 24)));
        radio->SetImage(L"btn_radiobox.png", 8);
        radio->SetGroupName(kExitModeGroup);
        radio->SetFont(kEmbeddedFontFamily, 14, 0);
        radio->SetTextColor(kText);
    }
    auto* note = AddLabel(page, IDC_EXITMODE_NOTE, CRect(x + 26, 356, right, 410), 13, kDimText);
    note->SetAlignment(0, 0);
    note->EnableMultiLine(TRUE);
}

void SettingDlg::BuildAboutPage(MControl* parent) {
    auto* page = static_cast<MPanel*>(parent);
    const int x = 212;
    const int right = kWidth - 40;
    auto* logo = static_cast<MPicture*>(
        page->CreateControl(L"MPicture", IDC_LOGO, CRect(right - 160, 76, right, 156)));
    logo->SetImage(L"logo/logo.png", 1);
    logo->SetShowMode(SHOW_MODE_NATURAL, 0);
    AddLabel(page, IDC_VERSION_LABEL, CRect(x, 80, x + 150, 104), 16, kText);
    AddLabel(page, IDC_VERSION, CRect(x + 150, 80, right - 170, 104), 16, kText);
    auto* updates =
        static_cast<MButton*>(page->CreateControl(L"MButton", IDC_UPDATES, CRect(x, 120, x + 260, 154)));
    updates->SetImage(L"img_button.png", 4);
    updates->SetFont(kEmbeddedFontFamily, 14, 0);
    int top = 196;
    for (UINT id : {UINT(IDC_LINK_WEBSITE), UINT(IDC_LINK_STORE), UINT(IDC_LINK_SUPPORT)}) {
        auto* link = static_cast<CTextButton*>(
            page->CreateControl(L"CTextButton", id, CRect(x, top, x + 260, top + 26)));
        link->SetFont(kEmbeddedFontFamily, 15, 0);
        link->SetAlignment(0, 4);
        top += 34;
    }
    AddLabel(page, IDC_RIGHTS, CRect(x, kHeight - 64, right, kHeight - 36), 13, kDimText);
}

void SettingDlg::SetTexts() {
    for (const TextOf& entry : kTexts)
        if (auto* control = dynamic_cast<MControlFont*>(GetControl(entry.id)))
            control->SetTitle(Text(entry.text));
    if (auto* version = dynamic_cast<MControlFont*>(GetControl(IDC_VERSION)))
        version->SetTitle(L"v" + m_software.version);
    if (!m_trayAvailable) {
        // The hide option cannot work: the note says why in place of what it does.
        if (auto* note = dynamic_cast<MControlFont*>(GetControl(IDC_EXITMODE_NOTE)))
            note->SetTitle(Text(kTextNoTray));
        if (MControl* hide = GetControl(IDC_EXITMODE_HIDE)) hide->SetTooltip(Text(kTextNoTray).c_str());
    }
    if (MControl* close = GetControl(IDC_CLOSE)) close->SetTooltip(Text(kTextClose).c_str());
    if (auto* tabs = dynamic_cast<CTabCtrl1*>(GetControl(IDC_TABS))) {
        tabs->SetItemText(0, Text(kTextTabSettings));
        tabs->SetItemText(1, Text(kTextTabAbout));
    }
    FillScaleChoices();
    // The desktop (taskbar, switcher) names the window by its caption.
    if (auto* title = dynamic_cast<MControlFont*>(GetControl(IDC_TITLE))) SetWindowTextW(title->GetTitle().c_str());
}

bool SettingDlg::IsChecked(UINT id) {
    auto* button = dynamic_cast<MButtonBase*>(GetControl(id));
    return button && button->GetCheck();
}

void SettingDlg::SetChecked(UINT id, bool check) {
    if (auto* button = dynamic_cast<CCheckButton*>(GetControl(id))) button->SetCheck(check);
}

void SettingDlg::ReadInitialStates() {
    MControl* hidden = GetControl(IDC_AUTORUN_HIDDEN);
    hidden->SetEnabled(FALSE);
    SetChecked(IDC_AUTORUN_HIDDEN, false);
    if (IsAutostartEntryPresent(m_entryPath)) {
        SetChecked(IDC_AUTORUN, true);
        hidden->SetEnabled(TRUE);
        SetChecked(IDC_AUTORUN_HIDDEN, ReadAppRegInt(kAutorunMinimize) == 1);
    }
    // Without a notification-area icon closing exits, whatever is stored: the
    // radios show what closing does, and the stored choice waits for an icon.
    const bool hides = m_trayAvailable && ReadAppRegInt(kExitMode) != 1;
    SetChecked(hides ? IDC_EXITMODE_HIDE : IDC_EXITMODE_EXIT, true);
    if (MControl* hide = GetControl(IDC_EXITMODE_HIDE)) hide->SetEnabled(m_trayAvailable ? TRUE : FALSE);
}

void SettingDlg::SelectPage(int index) {
    if (auto* tabs = dynamic_cast<CTabCtrl1*>(GetControl(IDC_TABS))) tabs->SetSelectItem(index);
}

LRESULT SettingDlg::OnMessage(UINT id, UINT code, WPARAM, LPARAM lParam) {
    if (code != Notify::Clicked) return 0;
    switch (id) {
        case IDC_CLOSE:
            DoCancel();
            return 1;
        case IDC_TABS:
            SelectPage(int(lParam));
            return 1;
        case IDC_LANGUAGE:
            ChangeLanguage();
            return 1;
        case IDC_SCALE:
            ChangeScale();
            return 1;
        case IDC_AUTORUN:
            OnAutorunClicked();
            return 1;
        case IDC_AUTORUN_HIDDEN:
            OnHiddenClicked();
            return 1;
        case IDC_EXITMODE_HIDE:
        case IDC_EXITMODE_EXIT:
            OnExitModeClicked();
            return 1;
        case IDC_UPDATES:
            return 1;
        case IDC_LINK_WEBSITE:
        case IDC_LINK_STORE:
        case IDC_LINK_SUPPORT:
            OpenLink(id);
            return 1;
        default:
            return 0;
    }
}

void SettingDlg::ChangeLanguage() {
    auto* language = dynamic_cast<MComboBox*>(GetControl(IDC_LANGUAGE));
    if (!language) return;
    const int lcid = int(language->GetCurData());
    if (!FindLanguage(lcid) || lcid == GetCurrentLcid()) return;
    SetCurrentLcid(lcid);
    WriteAppRegInt(kLcid, lcid);
    SetTexts();
    // After a change of language the version says what it is.
    if (auto* version = dynamic_cast<MControlFont*>(GetControl(IDC_VERSION)))
        version->SetTitle(L"v" + m_software.version);  // the label beside it says "Version"
    if (HWND owner = GetParentHwnd()) Platform::PostMessage(owner, kLanguageChangedMessage, 0, 0);
}

void SettingDlg::FillScaleChoices() {
    auto* scale = dynamic_cast<MComboBox*>(GetControl(IDC_SCALE));
    if (!scale) return;
    // Filled afresh: only the first item's text depends on the language.
    scale->DelAllItems();
    scale->AddItem(Text(kTextScaleDesktop).c_str(), 0);
    for (int percent : kScaleChoices) scale->AddItem((std::to_wstring(percent) + L"%").c_str(), percent);
    const int stored = GetScaleSetting();
    scale->SelectData(std::find(std::begin(kScaleChoices), std::end(kScaleChoices), stored) !=
                              std::end(kScaleChoices)
                          ? stored
                          : 0);
}

void SettingDlg::ChangeScale() {
    auto* scale = dynamic_cast<MComboBox*>(GetControl(IDC_SCALE));
    if (!scale) return;
    const int percent = int(scale->GetCurData());
    if (percent == GetScaleSetting()) return;
    SetScaleSetting(percent);
    // Every window follows at once, this one included; the main window stays
    // inside the work area.
    UpdateProgramScale(GetParentHwnd());
    CenterWindow(nullptr);
}

void SettingDlg::OnAutorunClicked() {
    MControl* hidden = GetControl(IDC_AUTORUN_HIDDEN);
    if (IsChecked(IDC_AUTORUN)) {
        // A box that shows a start the desktop will not make would mislead: it
        // goes back when the entry cannot be written.
        if (!WriteAutostartEntry(m_entryPath, m_programPath, false)) {
            Vantorel::Trace("settings: cannot write the autostart entry");
            SetChecked(IDC_AUTORUN, false);
            return;
        }
        hidden->SetEnabled(TRUE);
    } else {
        SetChecked(IDC_AUTORUN_HIDDEN, false);
        hidden->SetEnabled(FALSE);
        WriteAppRegInt(kAutorunMinimize, 0);
        if (!RemoveAutostartEntry(m_entryPath)) {
            Vantorel::Trace("settings: cannot remove the autostart entry");
            SetChecked(IDC_AUTORUN, true);
            hidden->SetEnabled(TRUE);
        }
    }
}

void SettingDlg::OnHiddenClicked() {
    const bool hidden = IsChecked(IDC_AUTORUN_HIDDEN);
    if (!WriteAutostartEntry(m_entryPath, m_programPath, hidden)) {
        Vantorel::Trace("settings: cannot write the autostart entry");
        SetChecked(IDC_AUTORUN_HIDDEN, !hidden);
        return;
    }
    WriteAppRegInt(kAutorunMinimize, hidden ? 1 : 0);
}

void SettingDlg::OnExitModeClicked() {
    WriteAppRegInt(kExitMode, IsChecked(IDC_EXITMODE_HIDE) ? 0 : 1);
}

void SettingDlg::OpenLink(UINT id) {
    std::wstring address = id == IDC_LINK_STORE     ? m_software.store
                           : id == IDC_LINK_SUPPORT ? m_software.upgrade
                                                    : m_software.website;
    if (address.empty()) address = m_software.website;
    if (address.empty()) return;
    m_desktop.OpenWebAddress(address);
}

UINT ShowSettingDlg(HWND owner, const SoftwareInfo& software, bool trayAvailable) {
    SettingDlg dlg(software, GetDesktopServices(), GetAutostartEntryPath(), GetAutostartProgramPath());
    dlg.SetTrayAvailable(trayAvailable);
    const UINT result = dlg.Show(owner);
    if (dlg.GetSafeHwnd()) dlg.DestroyWindow();
    return result;
}
