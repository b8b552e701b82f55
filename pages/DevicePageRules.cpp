// The device page's section "profiles by application": the on/off switch, what
// this desktop lets the program see, the applications of each profile (added
// from the installed applications or taken from the front after a countdown,
// removed), the profile for applications no rule names, and the notification.
#include "dialogs/AutoProfileSwitcher.h"
#include "device/DeviceMainDef.h"
#include "pages/DevicePage.h"
#include "pages/DevicePageText.h"
#include "pages/MainPageHost.h"
#include "dialogs/AppPickerDlg.h"
#include "dialogs/CUIMessageBox.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CSwitchButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MListBox.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "base/AppContext.h"
#include "platform/InstalledApps.h"
#include "base/SettingsStore.h"
#include "storage/DataStore.h"

using namespace Orvix;
using namespace DevicePageText;

namespace {

constexpr int kIconSize = 32;

std::wstring Fill(std::wstring text, const wchar_t* field, const std::wstring& value) {
    const std::wstring key = std::wstring(L"{") + field + L"}";
    const size_t at = text.find(key);
    if (at != std::wstring::npos) text.replace(at, key.size(), value);
    return text;
}

std::wstring WithoutDesktopSuffix(const std::wstring& id) {
    const std::wstring suffix = L".desktop";
    if (id.size() > suffix.size() && id.compare(id.size() - suffix.size(), suffix.size(), suffix) == 0)
        return id.substr(0, id.size() - suffix.size());
    return id;
}

}  // namespace

DevicePage::~DevicePage() {
    // The controls may be gone already: only the ticker is stopped.
    *m_alive = false;
    if (m_countdownTicker) Platform::StopTicker(m_countdownTicker);
}

void DevicePage::CreateRules() {
    AddArea(IDC_RULES_AREA, kTextRulesCaption);
    if (auto* sw = AddControlAs<CSwitchButton>(L"CSwitchButton", IDC_RULES_SWITCH, CRect())) {
        sw->SetImage(L"img_switch_btn_on.png", L"img_switch_btn_off.png", 4);
        sw->SetCheck(FALSE);
    }
    if (auto* label = dynamic_cast<MText*>(AddLabel(IDC_RULES_SWITCH_TEXT, CRect(), Text(kTextSwitch), 14)))
        label->EnableMultiLine(TRUE);
    if (auto* status = dynamic_cast<MText*>(AddLabel(IDC_RULES_STATUS, CRect(), L"", 12))) {
        status->EnableMultiLine(TRUE);
        status->SetTextColor(kPageDimTextColor);
        status->SetAlignment(0, 0);
    }
    AddLabel(IDC_RULES_PROFILE_TEXT, CRect(), Text(kTextProfile), 14);
    for (UINT id : {IDC_RULES_PROFILE, IDC_RULES_DEFAULT}) {
        if (auto* combo = AddControlAs<MComboBox>(L"MComboBox", id, CRect())) {
            combo->SetBackImage(L"img_combobox.png");
            combo->SetFont(kEmbeddedFontFamily, 14, 0);
            combo->SetTextColor(kPageTextColor);
        }
    }
    if (auto* bkg = AddControlAs<MPicture>(L"MPicture", IDC_RULES_LIST_BKG, CRect())) {
        bkg->SetImage(L"img_area_content.png", 1);
        bkg->SetShowMode(SHOW_MODE_NINE, 8);
    }
    if (auto* list = AddControlAs<MListBox>(L"MListBox", IDC_RULES_LIST, CRect())) {
        list->SetFont(kEmbeddedFontFamily, 14, 0);
        list->SetTextColor(kPageTextColor);
        list->SetItemHeight(36);
        list->SetImageList(&m_ruleIcons);
    }
    AddButton(IDC_RULES_ADD, CRect(), Text(kTextAdd));
    AddButton(IDC_RULES_REMOVE, CRect(), Text(kTextRemove));
    AddButton(IDC_RULES_FRONT, CRect(), Text(kTextFront));
    AddLabel(IDC_RULES_DEFAULT_TEXT, CRect(), Text(kTextDefault), 14);
    if (auto* box = AddControlAs<CCheckButton>(L"CCheckButton", IDC_RULES_NOTIFY, CRect(), Text(kTextNotify).c_str())) {
        box->SetImage(L"btn_checkbox.png", 8);
        box->SetFont(kEmbeddedFontFamily, 13, 0);
        box->SetTextColor(Color(0xFFC9D3DC));
    }
}

void DevicePage::LayoutRules(double scale) {
    const CRect page = m_container.GetRect();
    const CRect area(page.left + 715, page.top + 15, page.right - 20, page.bottom - 15);
    PlaceArea(IDC_RULES_AREA, area);
    const int left = area.left + 18, right = area.right - 18;
    auto y = [&](int at) { return area.top + int(at * scale); };
    auto h = [&](int height) { return std::max(1, int(height * scale)); };
    Place(IDC_RULES_SWITCH, CRect(left, y(58), left + 56, y(58) + h(30)));
    Place(IDC_RULES_SWITCH_TEXT, CRect(left + 64, y(52), right, y(52) + h(42)));
    Place(IDC_RULES_STATUS, CRect(left, y(100), right, y(100) + h(66)));
    Place(IDC_RULES_PROFILE_TEXT, CRect(left, y(170), right, y(170) + h(26)));
    Place(IDC_RULES_PROFILE, CRect(left, y(198), right, y(198) + h(32)));
    Place(IDC_RULES_LIST_BKG, CRect(left, y(238), right, y(238) + h(180)));
    Place(IDC_RULES_LIST, CRect(left + 2, y(238) + 2, right - 2, y(238) + h(180) - 2));
    const int middle = left + (right - left) * 2 / 3;
    Place(IDC_RULES_ADD, CRect(left, y(426), middle - 5, y(426) + h(32)));
    Place(IDC_RULES_REMOVE, CRect(middle + 5, y(426), right, y(426) + h(32)));
    Place(IDC_RULES_FRONT, CRect(left, y(466), right, y(466) + h(32)));
    Place(IDC_RULES_DEFAULT_TEXT, CRect(left, y(510), right, y(510) + h(26)));
    Place(IDC_RULES_DEFAULT, CRect(left, y(538), right, y(538) + h(32)));
    Place(IDC_RULES_NOTIFY, CRect(left, y(584), right, y(584) + h(30)));
}

void DevicePage::RulesTexts() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_RULES_AREA + 2)) caption->SetTitle(Text(kTextRulesCaption));
    const std::pair<UINT, int> texts[] = {{IDC_RULES_SWITCH_TEXT, kTextSwitch}, {IDC_RULES_PROFILE_TEXT, kTextProfile},
                                          {IDC_RULES_ADD, kTextAdd},           {IDC_RULES_REMOVE, kTextRemove},
                                          {IDC_RULES_DEFAULT_TEXT, kTextDefault}, {IDC_RULES_NOTIFY, kTextNotify}};
    for (const auto& [id, text] : texts)
        if (auto* control = GetControlAs<MControlFont>(id)) control->SetTitle(Text(text));
    if (m_countdown == 0)
        if (auto* front = GetControlAs<MControlFont>(IDC_RULES_FRONT)) front->SetTitle(Text(kTextFront));
    ReloadRules();
}

std::vector<ProfileRules> DevicePage::ReadRules() {
    std::vector<ProfileData> profiles;
    m_host.GetStore().ListProfiles(profiles, GetCurrentLcid());
    std::vector<ProfileRules> rules;
    for (const ProfileData& p : profiles) rules.push_back({p.profile, DecodeProfileApps(p.app)});
    return rules;
}

bool DevicePage::StoreRules(const std::vector<ProfileRules>& rules) {
    DataStore& store = m_host.GetStore();
    std::vector<ProfileData> stored;
    store.ListProfiles(stored, 0);
    return store.RunInTransaction([&] {
        for (const ProfileRules& r : rules) {
            for (const ProfileData& p : stored) {
                if (p.profile != r.profile) continue;
                const std::wstring text = EncodeProfileApps(r.apps);
                if (text != p.app && !store.SetProfileApp(r.profile, text)) return false;
            }
        }
        return true;
    });
}

int32_t DevicePage::GetRulesProfile() const {
    auto* combo = GetControlAs<MComboBox>(IDC_RULES_PROFILE);
    return combo && combo->GetCurSel() >= 0 ? int32_t(combo->GetCurData()) : 0;
}

void DevicePage::ReloadRules() {
    std::vector<ProfileData> profiles;
    m_host.GetStore().ListProfiles(profiles, GetCurrentLcid());
    if (auto* combo = GetControlAs<MComboBox>(IDC_RULES_PROFILE)) {
        int32_t keep = GetRulesProfile();
        if (keep == 0) keep = m_host.GetState().GetCurrentProfile();
        combo->DelAllItems();
        for (const ProfileData& p : profiles) combo->AddItem(p.name.c_str(), LPARAM(p.profile));
        if (!combo->SelectData(LPARAM(keep)) && combo->GetItemCount() > 0) combo->SetCurSel(0);
    }
    if (auto* combo = GetControlAs<MComboBox>(IDC_RULES_DEFAULT)) {
        combo->DelAllItems();
        combo->AddItem(Text(kTextKeep).c_str(), 0);
        int32_t chosen = 0;
        for (const ProfileData& p : profiles) {
            combo->AddItem(p.name.c_str(), LPARAM(p.profile));
            if (DecodeProfileApps(p.app).isDefault && chosen == 0) chosen = p.profile;
        }
        combo->SelectData(LPARAM(chosen));
    }
    AutoProfileSwitcher* switcher = m_host.GetAutoProfile();
    if (auto* sw = GetControlAs<CCheckButton>(IDC_RULES_SWITCH)) sw->SetCheck(switcher && switcher->IsEnabled());
    if (auto* box = GetControlAs<CCheckButton>(IDC_RULES_NOTIFY))
        box->SetCheck(ReadAppRegInt(kAutoProfileNotifySetting) == 1);
    FillRulesList();
    UpdateRulesStatus();
}

const AppEntry* DevicePage::FindInstalled(const std::wstring& id) {
    if (!m_installedRead) {
        m_installed = ListInstalledApps(GetCurrentLcid());
        m_installedRead = true;
    }
    for (const AppEntry& entry : m_installed)
        if (entry.id == id) return &entry;
    return nullptr;
}

void DevicePage::FillRulesList() {
    auto* list = GetControlAs<MListBox>(IDC_RULES_LIST);
    if (!list) return;
    const int32_t profile = GetRulesProfile();
    m_shownApps.clear();
    for (const ProfileRules& r : ReadRules())
        if (r.profile == profile) m_shownApps = r.apps.apps;
    list->DeleteAllItems();
    m_ruleIcons.DelAllImages();
    for (size_t i = 0; i < m_shownApps.size(); ++i) {
        const AppRef& app = m_shownApps[i];
        std::wstring name;
        int image = -1;
        if (app.kind == AppRef::Kind::Entry) {
            const AppEntry* entry = FindInstalled(app.value);
            name = entry ? entry->name : WithoutDesktopSuffix(app.value);
            if (entry && !entry->iconPath.empty()) {
                const std::wstring icon = SmallIconFile(entry->iconPath, kIconSize);
                if (!icon.empty()) image = m_ruleIcons.AddImage(icon.c_str(), 1, int(i));
            }
        } else {
            name = Fill(Text(kTextWindowClass), L"class", app.value);
        }
        list->AddString(name.c_str(), LPARAM(i), image);
    }
}

void DevicePage::UpdateRulesStatus() {
    auto* status = GetControlAs<MControlFont>(IDC_RULES_STATUS);
    if (!status) return;
    AutoProfileSwitcher* switcher = m_host.GetAutoProfile();
    const WatchSession session =
        switcher && switcher->IsWatching() ? switcher->GetSession() : DetectWatchSession(ReadSessionEnvironment());
    int text = kTextAllWindows;
    if (session == WatchSession::None)
        text = kTextNoDisplay;
    else if (session == WatchSession::Gnome)
        text = kTextGnome;
    else if (switcher && switcher->IsWatching() && switcher->GetCoverage() == WindowWatch::Coverage::X11WindowsOnly)
        text = kTextX11Only;
    std::wstring line = Text(text);
    if (!switcher || !switcher->IsEnabled()) line = Text(kTextOff) + L" " + line;
    status->SetTitle(line);
}

bool DevicePage::AddAppRule(int32_t profile, const AppRef& app) {
    if (profile <= 0 || app.value.empty()) return false;
    std::vector<ProfileRules> rules = ReadRules();
    // An application switches to one profile: it leaves any other.
    for (ProfileRules& r : rules) {
        if (r.profile == profile)
            AddApp(r.apps, app);
        else
            RemoveApp(r.apps, app);
    }
    const bool stored = StoreRules(rules);
    FillRulesList();
    return stored;
}

void DevicePage::OnAddApp() {
    const int32_t profile = GetRulesProfile();
    if (profile <= 0) return;
    const std::wstring id = PickInstalledApp(m_host.GetDialog().GetSafeHwnd());
    if (!id.empty()) AddAppRule(profile, {AppRef::Kind::Entry, id});
}

void DevicePage::OnRemoveApp() {
    auto* list = GetControlAs<MListBox>(IDC_RULES_LIST);
    if (!list || list->GetCurSel() < 0) return;
    const size_t index = size_t(list->GetItemData(list->GetCurSel()));
    if (index >= m_shownApps.size()) return;
    const AppRef app = m_shownApps[index];
    const int32_t profile = GetRulesProfile();
    std::vector<ProfileRules> rules = ReadRules();
    for (ProfileRules& r : rules)
        if (r.profile == profile) RemoveApp(r.apps, app);
    StoreRules(rules);
    FillRulesList();
}

void DevicePage::OnDefaultChosen() {
    auto* combo = GetControlAs<MComboBox>(IDC_RULES_DEFAULT);
    if (!combo || combo->GetCurSel() < 0) return;
    const int32_t chosen = int32_t(combo->GetCurData());
    std::vector<ProfileRules> rules = ReadRules();
    for (ProfileRules& r : rules) r.apps.isDefault = r.profile == chosen;
    StoreRules(rules);
}

void DevicePage::StartFrontCountdown() {
    AutoProfileSwitcher* switcher = m_host.GetAutoProfile();
    if (m_countdown > 0 || !switcher) return;
    if (!switcher->BeginCapture()) {
        FocusedWindow none;
        std::wstring id;
        switcher->EndCapture(none, id);
        m_host.ShowMessageText(Text(kTextNotice), Text(kTextNoDisplay), CUIMessageBox::kKindOk);
        return;
    }
    m_countdown = kFrontCountdown;
    if (auto* front = GetControlAs<MControlFont>(IDC_RULES_FRONT))
        front->SetTitle(Fill(Text(kTextCountdown), L"n", std::to_wstring(m_countdown)));
    std::weak_ptr<bool> alive = m_alive;
    m_countdownTicker = Platform::StartTicker(1000, [this, alive] {
        const std::shared_ptr<bool> live = alive.lock();
        if (live && *live) OnCountdownTick();
    });
}

void DevicePage::OnCountdownTick() {
    if (m_countdown <= 0) return;
    auto* front = GetControlAs<MControlFont>(IDC_RULES_FRONT);
    if (--m_countdown > 0) {
        if (front) front->SetTitle(Fill(Text(kTextCountdown), L"n", std::to_wstring(m_countdown)));
        return;
    }
    StopCountdown();
    AutoProfileSwitcher* switcher = m_host.GetAutoProfile();
    FocusedWindow window;
    std::wstring entryId;
    if (!switcher || !switcher->EndCapture(window, entryId)) {
        m_host.ShowMessageText(Text(kTextNotice), Text(kTextNothingInFront), CUIMessageBox::kKindOk);
        return;
    }
    AddAppRule(GetRulesProfile(), AppRefFor(window, entryId));
}

void DevicePage::StopCountdown() {
    if (m_countdownTicker) Platform::StopTicker(m_countdownTicker);
    m_countdownTicker = 0;
    const bool wasRunning = m_countdown > 0;
    m_countdown = 0;
    if (auto* front = GetControlAs<MControlFont>(IDC_RULES_FRONT)) front->SetTitle(Text(kTextFront));
    if (wasRunning) {
        // Cut short (the mouse went): the watch started for it stops again.
        FocusedWindow window;
        std::wstring id;
        if (AutoProfileSwitcher* switcher = m_host.GetAutoProfile()) switcher->EndCapture(window, id);
    }
}

bool DevicePage::OnRulesMessage(UINT id, UINT code) {
    switch (id) {
        case IDC_RULES_SWITCH:
            if (code != Notify::Clicked) return true;
            if (AutoProfileSwitcher* switcher = m_host.GetAutoProfile()) {
                auto* sw = GetControlAs<CCheckButton>(IDC_RULES_SWITCH);
                switcher->SetEnabled(sw && sw->GetCheck());
            }
            UpdateRulesStatus();
            return true;
        case IDC_RULES_NOTIFY:
            if (code != Notify::Clicked) return true;
            if (auto* box = GetControlAs<CCheckButton>(IDC_RULES_NOTIFY))
                WriteAppRegInt(kAutoProfileNotifySetting, box->GetCheck() ? 1 : 0);
            return true;
        case IDC_RULES_PROFILE:
            if (code == Notify::Clicked) FillRulesList();
            return true;
        case IDC_RULES_DEFAULT:
            if (code == Notify::Clicked) OnDefaultChosen();
            return true;
        case IDC_RULES_LIST:
            return code == Notify::Pressed;
        case IDC_RULES_ADD:
            if (code == Notify::Clicked) OnAddApp();
            return true;
        case IDC_RULES_REMOVE:
            if (code == Notify::Clicked) OnRemoveApp();
            return true;
        case IDC_RULES_FRONT:
            if (code == Notify::Clicked) StartFrontCountdown();
            return true;
        default:
            return false;
    }
}
