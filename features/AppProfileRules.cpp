#include "features/AppProfileRules.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

constexpr wchar_t kEntryKind[] = L"desktop";
constexpr wchar_t kClassKind[] = L"class";
constexpr wchar_t kDefaultKind[] = L"default";
constexpr wchar_t kDesktopSuffix[] = L".desktop";

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = wchar_t(std::towlower(wint_t(c)));
    return text;
}

bool SameNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && Lower(a) == Lower(b);
}

std::wstring Escape(const std::wstring& value) {
    std::wstring out;
    for (wchar_t c : value) {
        if (c == L'%')
            out += L"%25";
        else if (c == L';')
            out += L"%3B";
        else
            out += c;
    }
    return out;
}

std::wstring Unescape(const std::wstring& value) {
    std::wstring out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == L'%' && value.compare(i, 3, L"%25") == 0) {
            out += L'%';
            i += 2;
        } else if (value[i] == L'%' && value.compare(i, 3, L"%3B") == 0) {
            out += L';';
            i += 2;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::wstring WithoutDesktopSuffix(const std::wstring& id) {
    const size_t n = std::wcslen(kDesktopSuffix);
    if (id.size() > n && id.compare(id.size() - n, n, kDesktopSuffix) == 0) return id.substr(0, id.size() - n);
    return id;
}

std::string FileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A desktop file name as KDE reports it may be a path, and may lack the suffix.
std::wstring EntryIdFromAppId(const std::wstring& appId) {
    std::wstring id = appId;
    const size_t slash = id.rfind(L'/');
    if (slash != std::wstring::npos) id = id.substr(slash + 1);
    return WithoutDesktopSuffix(id);
}

template <class Pred>
std::wstring FirstEntry(const std::vector<AppEntry>& entries, Pred pred) {
    for (const AppEntry& entry : entries)
        if (pred(entry)) return entry.id;
    return L"";
}

}  // namespace

ProfileApps DecodeProfileApps(const std::wstring& text) {
    ProfileApps result;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L';', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring token = text.substr(start, end - start);
        start = end + 1;
        if (token.empty()) continue;
        const size_t eq = token.find(L'=');
        const std::wstring kind = eq == std::wstring::npos ? token : token.substr(0, eq);
        const std::wstring value = eq == std::wstring::npos ? L"" : Unescape(token.substr(eq + 1));
        if (kind == kEntryKind || kind == kClassKind) {
            // An empty name names no application.
            AddApp(result, {kind == kEntryKind ? AppRef::Kind::Entry : AppRef::Kind::Class, value});
        } else if (kind == kDefaultKind) {
            result.isDefault = value == L"1";
        } else {
            // Written by another version (or by hand): not ours to drop.
            result.unknown.push_back(token);
        }
    }
    return result;
}

std::wstring EncodeProfileApps(const ProfileApps& apps) {
    std::wstring text;
    auto add = [&text](const std::wstring& token) {
        if (!text.empty()) text += L';';
        text += token;
    };
    for (const AppRef& app : apps.apps)
        add(std::wstring(app.kind == AppRef::Kind::Entry ? kEntryKind : kClassKind) + L"=" + Escape(app.value));
    if (apps.isDefault) add(std::wstring(kDefaultKind) + L"=1");
    for (const std::wstring& token : apps.unknown) add(token);
    return text;
}

bool AddApp(ProfileApps& apps, const AppRef& app) {
    if (app.value.empty() || std::find(apps.apps.begin(), apps.apps.end(), app) != apps.apps.end()) return false;
    apps.apps.push_back(app);
    return true;
}

bool RemoveApp(ProfileApps& apps, const AppRef& app) {
    const auto before = apps.apps.size();
    std::erase(apps.apps, app);
    return apps.apps.size() != before;
}

bool FocusedWindow::SameApplication(const FocusedWindow& other) const {
    if (own || other.own) return own == other.own;
    return appId == other.appId && SameNoCase(wmClass, other.wmClass) && SameNoCase(wmInstance, other.wmInstance) &&
           executable == other.executable;
}

std::wstring ResolveEntryId(const FocusedWindow& window, const std::vector<AppEntry>& entries) {
    if (!window.appId.empty()) {
        const std::wstring told = EntryIdFromAppId(window.appId);
        std::wstring id = FirstEntry(entries, [&](const AppEntry& e) { return WithoutDesktopSuffix(e.id) == told; });
        if (id.empty())
            id = FirstEntry(entries, [&](const AppEntry& e) { return SameNoCase(WithoutDesktopSuffix(e.id), told); });
        if (!id.empty()) return id;
    }
    const std::wstring* names[] = {&window.wmClass, &window.wmInstance};
    for (const std::wstring* name : names) {
        if (name->empty()) continue;
        std::wstring id = FirstEntry(entries, [&](const AppEntry& e) { return e.startupWmClass == *name; });
        if (id.empty())
            id = FirstEntry(entries, [&](const AppEntry& e) { return SameNoCase(e.startupWmClass, *name); });
        if (!id.empty()) return id;
    }
    if (!window.executable.empty()) {
        const std::string exe = FileName(window.executable);
        // Several entries may start the same program (an interpreter, a launcher):
        // then one whose id also names the window wins, else the first.
        std::vector<const AppEntry*> byExec;
        for (const AppEntry& e : entries)
            if (std::find(e.execNames.begin(), e.execNames.end(), exe) != e.execNames.end()) byExec.push_back(&e);
        for (const AppEntry* e : byExec) {
            const std::wstring bare = WithoutDesktopSuffix(e->id);
            if (SameNoCase(bare, window.wmClass) || SameNoCase(bare, window.wmInstance)) return e->id;
        }
        if (byExec.size() == 1) return byExec.front()->id;
    }
    for (const std::wstring* name : names) {
        if (name->empty()) continue;
        std::wstring id = FirstEntry(entries, [&](const AppEntry& e) {
            const std::wstring bare = WithoutDesktopSuffix(e.id);
            // "org.gnome.Calculator" for the class "gnome-calculator" does not match; the last
            // part of a reverse-domain id does ("org.kde.dolphin" for "dolphin").
            const size_t dot = bare.rfind(L'.');
            return SameNoCase(bare, *name) || (dot != std::wstring::npos && SameNoCase(bare.substr(dot + 1), *name));
        });
        if (!id.empty()) return id;
    }
    return L"";
}

AppRef AppRefFor(const FocusedWindow& window, const std::wstring& entryId) {
    if (!entryId.empty()) return {AppRef::Kind::Entry, entryId};
    if (!window.wmClass.empty()) return {AppRef::Kind::Class, window.wmClass};
    if (!window.appId.empty()) return {AppRef::Kind::Class, window.appId};
    return {AppRef::Kind::Class, window.wmInstance};
}

ProfileChoice ChooseProfile(const std::vector<ProfileRules>& rules, const FocusedWindow& window,
                            const std::wstring& entryId) {
    ProfileChoice choice;
    if (!entryId.empty()) {
        for (const ProfileRules& profile : rules) {
            for (const AppRef& app : profile.apps.apps) {
                if (app.kind == AppRef::Kind::Entry && app.value == entryId)
                    return {profile.profile, ProfileChoice::Reason::Rule, app};
            }
        }
    }
    for (const ProfileRules& profile : rules) {
        for (const AppRef& app : profile.apps.apps) {
            if (app.kind != AppRef::Kind::Class) continue;
            if (SameNoCase(app.value, window.wmClass) || SameNoCase(app.value, window.wmInstance) ||
                (!window.appId.empty() && SameNoCase(app.value, window.appId)))
                return {profile.profile, ProfileChoice::Reason::Rule, app};
        }
    }
    for (const ProfileRules& profile : rules)
        if (profile.apps.isDefault) return {profile.profile, ProfileChoice::Reason::Default, {}};
    return choice;
}

bool FocusDebounce::Feed(const FocusedWindow& window, int64_t nowMs) {
    if (m_hasPending && m_pending.SameApplication(window)) return false;
    m_pending = window;
    m_hasPending = true;
    m_since = nowMs;
    return true;
}

int64_t FocusDebounce::TimeUntilDue(int64_t nowMs) const {
    if (!m_hasPending) return -1;
    return std::max<int64_t>(0, m_since + m_settleMs - nowMs);
}

bool FocusDebounce::TakeSettled(int64_t nowMs, FocusedWindow& window) {
    if (!m_hasPending || nowMs < m_since + m_settleMs) return false;
    m_hasPending = false;
    if (m_hasReported && m_reported.SameApplication(m_pending)) return false;
    m_reported = m_pending;
    m_hasReported = true;
    window = m_pending;
    return true;
}

WatchSession DetectWatchSession(const SessionEnvironment& env) {
    const bool wayland = !env.waylandDisplay.empty() || env.sessionType == "wayland";
    if (!wayland) return env.display.empty() ? WatchSession::None : WatchSession::X11;
    auto hasDesktop = [&env](const std::string& name) {
        size_t start = 0;
        while (start <= env.currentDesktop.size()) {
            size_t end = env.currentDesktop.find(':', start);
            if (end == std::string::npos) end = env.currentDesktop.size();
            std::string token = env.currentDesktop.substr(start, end - start);
            std::transform(token.begin(), token.end(), token.begin(), [](unsigned char c) { return std::toupper(c); });
            if (token == name || token.rfind(name + "-", 0) == 0) return true;
            start = end + 1;
        }
        return false;
    };
    if (hasDesktop("KDE") || env.kdeSession == "true") return WatchSession::KWin;
    if (hasDesktop("GNOME")) return WatchSession::Gnome;
    return WatchSession::Wlroots;
}
