#include "dialogs/AutoProfileSwitcher.h"

#include <vector>

#include "dialogs/ProfileDlg.h"
#include "base/LanguageText.h"
#include "base/TextConv.h"
#include "orvix/platform/Platform.h"
#include "base/AppContext.h"
#include "base/SettingsStore.h"
#include "base/Trace.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

constexpr int kTextActiveTitle = 1460;  // "{profile} is active"
constexpr int kTextRuleBody = 1461;     // "{app} is in front."
constexpr int kTextDefaultBody = 1462;  // "No rule names {app}: the default profile."

std::wstring Fill(std::wstring text, const wchar_t* field, const std::wstring& value) {
    const std::wstring key = std::wstring(L"{") + field + L"}";
    const size_t at = text.find(key);
    if (at != std::wstring::npos) text.replace(at, key.size(), value);
    return text;
}

}  // namespace

AutoProfileSwitcher::AutoProfileSwitcher(Host host, DataStore& store)
    : m_host(std::move(host)), m_store(store), m_alive(std::make_shared<bool>(true)) {}

AutoProfileSwitcher::~AutoProfileSwitcher() {
    *m_alive = false;
    Disarm();
    m_watch.Stop();
}

void AutoProfileSwitcher::ApplySetting() {
    const bool enabled = ReadAppRegInt(kAutoProfileSetting) == 1;
    if (enabled == m_enabled && (!enabled || m_watch.IsRunning())) return;
    m_enabled = enabled;
    if (m_enabled)
        StartWatch();
    else
        StopWatchUnlessNeeded();
}

void AutoProfileSwitcher::SetEnabled(bool enabled) {
    WriteAppRegInt(kAutoProfileSetting, enabled ? 1 : 0);
    ApplySetting();
}

void AutoProfileSwitcher::StartWatch() {
    if (m_watch.IsRunning()) return;
    if (!m_sessionSet) m_session = DetectWatchSession(ReadSessionEnvironment());
    m_debounce = FocusDebounce();
    // Reports come on the provider's thread; they are handled here, on the UI thread.
    std::weak_ptr<bool> alive = m_alive;
    m_watch.Start(m_session, [this, alive](const FocusReport& report) {
        Platform::PostTask([this, alive, report] {
            const std::shared_ptr<bool> live = alive.lock();
            if (live && *live) OnReport(report);
        });
    });
}

void AutoProfileSwitcher::StopWatchUnlessNeeded() {
    if (m_enabled || m_capturing) return;
    m_watch.Stop();
    Disarm();
    m_waiting = false;
}

bool AutoProfileSwitcher::BeginCapture() {
    m_capturing = true;
    StartWatch();
    return m_watch.IsRunning();
}

bool AutoProfileSwitcher::EndCapture(FocusedWindow& window, std::wstring& entryId) {
    m_capturing = false;
    StopWatchUnlessNeeded();
    if (!m_hasLastForeign) return false;
    window = m_lastForeign;
    entryId = m_lastForeignEntry;
    return true;
}

void AutoProfileSwitcher::OnReport(const FocusReport& report) {
    if (!report.window.own) {
        m_lastForeign = report.window;
        m_lastForeignEntry = report.entryId;
        m_hasLastForeign = true;
    }
    if (!m_enabled) return;
    if (m_debounce.Feed(report.window, int64_t(Platform::GetTickCount()))) {
        m_pendingEntry = report.entryId;
        m_settledSince = report.atMs;
        m_pendingName = report.appName;
    }
    if (!m_waiting) Arm(UINT(m_debounce.TimeUntilDue(int64_t(Platform::GetTickCount()))));
}

void AutoProfileSwitcher::Arm(UINT ms) {
    Disarm();
    std::weak_ptr<bool> alive = m_alive;
    m_ticker = Platform::StartTicker(ms, [this, alive] {
        const std::shared_ptr<bool> live = alive.lock();
        if (!live || !*live) return;
        Disarm();
        Settle();
    });
}

void AutoProfileSwitcher::Disarm() {
    if (m_ticker) Platform::StopTicker(m_ticker);
    m_ticker = 0;
}

void AutoProfileSwitcher::Settle() {
    if (m_waiting) {
        TrySwitch();
        return;
    }
    const int64_t now = int64_t(Platform::GetTickCount());
    FocusedWindow window;
    if (!m_debounce.TakeSettled(now, window)) {
        const int64_t left = m_debounce.TimeUntilDue(now);
        if (left >= 0) Arm(UINT(left));
        return;
    }
    m_settled = window;
    m_settledEntry = m_pendingEntry;
    m_settledName = m_pendingName;
    m_waiting = true;
    TrySwitch();
}

void AutoProfileSwitcher::TrySwitch() {
    if (!m_enabled) {
        m_waiting = false;
        return;
    }
    // The program's own window in front changes nothing: its user is editing.
    if (m_settled.own || !m_host.connected || !m_host.connected()) {
        if (!m_settled.own) Vantorel::Trace("auto profile: no mouse connected, no switch");
        m_waiting = false;
        return;
    }
    if (m_host.busy && m_host.busy()) {
        // A dialog is open or a macro records: the switch waits for it to end.
        Arm(kBusyRetryMs);
        return;
    }
    m_waiting = false;
    std::vector<ProfileData> profiles;
    m_store.ListProfiles(profiles, GetCurrentLcid());
    std::vector<ProfileRules> rules;
    for (const ProfileData& p : profiles) rules.push_back({p.profile, DecodeProfileApps(p.app)});
    const ProfileChoice choice = ChooseProfile(rules, m_settled, m_settledEntry);
    const int32_t current = m_host.currentProfile ? m_host.currentProfile() : 0;
    Vantorel::Trace("auto profile: \"%s\" in front -> profile %d (current %d)",
                    Orvix::WideToUtf8(m_settledName).c_str(), choice.profile, current);
    if (choice.profile <= 0 || choice.profile == current) return;
    // What a click on the profile in the pop-up sends.
    Platform::PostMessage(m_host.window, WM_PROFILE_COMMAND, kProfileSwitch, LPARAM(choice.profile));
    if (m_observer) m_observer(choice.profile, m_settledSince);
    if (m_host.notify && ReadAppRegInt(kAutoProfileNotifySetting) == 1) {
        std::wstring name;
        for (const ProfileData& p : profiles)
            if (p.profile == choice.profile) name = p.name;
        m_host.notify(Fill(GetLanguageText(L"LAN", kTextActiveTitle), L"profile", name), Reason(choice, m_settled));
    }
}

std::wstring AutoProfileSwitcher::Reason(const ProfileChoice& choice, const FocusedWindow&) const {
    const int textId = choice.reason == ProfileChoice::Reason::Rule ? kTextRuleBody : kTextDefaultBody;
    return Fill(GetLanguageText(L"LAN", textId), L"app", m_settledName);
}
