#include "base/AppContext.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "base/TextConv.h"
#include "base/Folders.h"
#include "base/SettingsStore.h"
#include "base/Trace.h"

namespace {

std::atomic<int> g_currentLcid{kLcidEnglish};
std::atomic<void (*)(const char*)> g_textLanguageListener{nullptr};

// In the order of the language list: Latin names alphabetically, then the
// other scripts. French keeps its old rule: only fr_FR chooses it, and every
// other French locale ("fr" in English's list) starts the program in English.
constexpr LanguageInfo kLanguages[] = {
    {1031, L"Deutsch", "de", "de"},
    {kLcidEnglish, L"English", "en fr C POSIX", "en"},
    {3082, L"Español", "es", "es"},
    {kLcidFrench, L"Français", "fr_FR", "fr"},
    {1040, L"Italiano", "it", "it"},
    {1045, L"Polski", "pl", "pl"},
    {1046, L"Português (Brasil)", "pt_BR pt", "pt-br"},
    {1049, L"Русский", "ru", "ru"},
    {1041, L"日本語", "ja", "ja"},
    {1042, L"한국어", "ko", "ko"},
    // Traditional Chinese locales (zh_TW, zh_HK) are not matched: their users
    // read another script.
    {2052, L"简体中文", "zh_CN zh_SG", "zh-cn"},
};

bool IsRegularFile(const std::wstring& path) {
    struct stat st {};
    return ::stat(Orvix::WideToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Whether one of the blank-separated entries of `locales` is `entry`.
bool ListsLocale(std::string_view locales, std::string_view entry) {
    while (!locales.empty()) {
        const size_t blank = locales.find(' ');
        if (locales.substr(0, blank) == entry) return true;
        if (blank == std::string_view::npos) break;
        locales.remove_prefix(blank + 1);
    }
    return false;
}

std::vector<int> AllKnown() {
    std::vector<int> all;
    for (const LanguageInfo& language : kLanguages) all.push_back(language.lcid);
    return all;
}

}  // namespace

std::span<const LanguageInfo> KnownLanguages() {
    return kLanguages;
}

const LanguageInfo* FindLanguage(int lcid) {
    for (const LanguageInfo& language : kLanguages)
        if (language.lcid == lcid) return &language;
    return nullptr;
}

std::wstring LanguageFilePath(const std::wstring& programFolder, int lcid) {
    return JoinPath(programFolder, Orvix::FormatW(L"language/%d.lan", lcid));
}

std::vector<int> GetAvailableLanguages(const std::wstring& programFolder) {
    std::vector<int> available;
    for (const LanguageInfo& language : kLanguages)
        if (IsRegularFile(LanguageFilePath(programFolder, language.lcid))) available.push_back(language.lcid);
    return available;
}

int GetCurrentLcid() {
    return g_currentLcid.load(std::memory_order_relaxed);
}

void SetCurrentLcid(int lcid) {
    g_currentLcid.store(lcid, std::memory_order_relaxed);
    const LanguageInfo* language = FindLanguage(lcid);
    if (auto listener = g_textLanguageListener.load()) listener(language ? language->textLanguage : "en");
}

void SetTextLanguageListener(void (*listener)(const char* tag)) {
    g_textLanguageListener.store(listener);
}

int LanguageIdFromLocale(std::string_view locale, std::span<const int> available) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale.empty()) return 0;
    const std::string_view language = locale.substr(0, locale.find('_'));
    // The whole name first (pt_BR), then its language part (de for de_AT).
    for (const std::string_view entry : {locale, language}) {
        for (const LanguageInfo& known : kLanguages) {
            if (std::find(available.begin(), available.end(), known.lcid) == available.end()) continue;
            if (ListsLocale(known.locales, entry)) return known.lcid;
        }
    }
    return 0;
}

int LanguageIdFromLocale(std::string_view locale) {
    return LanguageIdFromLocale(locale, AllKnown());
}

int GetUserUiLanguage(std::span<const int> available) {
    if (const char* list = std::getenv("LANGUAGE"); list && *list) {
        std::string_view rest = list;
        while (!rest.empty()) {
            const size_t colon = rest.find(':');
            if (const int lcid = LanguageIdFromLocale(rest.substr(0, colon), available)) return lcid;
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
        }
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(variable); value && *value) {
            const int lcid = LanguageIdFromLocale(value, available);
            return lcid ? lcid : kLcidEnglish;
        }
    }
    return kLcidEnglish;
}

int GetUserUiLanguage() {
    return GetUserUiLanguage(AllKnown());
}

int ResolveLanguageId(int stored, int userUiLanguage, std::span<const int> available) {
    const int lcid = stored == 0 ? userUiLanguage : stored;
    const bool present = std::find(available.begin(), available.end(), lcid) != available.end();
    return present && FindLanguage(lcid) ? lcid : kLcidEnglish;
}

int ResolveLanguageId(int stored, int userUiLanguage) {
    return ResolveLanguageId(stored, userUiLanguage, AllKnown());
}

int ChooseLanguage(int stored) {
    const std::vector<int> available = GetAvailableLanguages(GetProgramFolder());
    return ResolveLanguageId(stored, GetUserUiLanguage(available), available);
}

int SettleLanguage() {
    // A store that exists but cannot be read starts the program in English.
    const int stored = ReadAppRegInt(L"LCID", kLcidEnglish);
    const int lcid = ChooseLanguage(stored);
    SetCurrentLcid(lcid);
    WriteAppRegInt(L"LCID", lcid);
    Vantorel::Trace("language: stored %d, current %d", stored, lcid);
    return lcid;
}

std::string GetCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

bool IsAutorunStart(std::string_view commandLine) {
    return commandLine.find("-autorun") != std::string_view::npos;
}

bool EnsureDatabaseFolder() {
    return EnsureFolderTree(GetDatabaseFolder());
}
