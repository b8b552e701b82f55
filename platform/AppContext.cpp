#include "platform/AppContext.h"

#include <atomic>
#include <cstdlib>

#include "platform/Folders.h"
#include "platform/SettingsStore.h"
#include "platform/Trace.h"

namespace {

std::atomic<int> g_currentLcid{kLcidEnglish};

// What the store read yields when the store exists but cannot be read; the
// start-up rule turns it into English like any other unknown language.
constexpr int kUnreadableLcid = 2052;

}  // namespace

int GetCurrentLcid() {
    return g_currentLcid.load(std::memory_order_relaxed);
}

void SetCurrentLcid(int lcid) {
    g_currentLcid.store(lcid, std::memory_order_relaxed);
}

int LanguageIdFromLocale(std::string_view locale) {
    return locale.substr(0, locale.find_first_of(".@")) == "fr_FR" ? kLcidFrench : kLcidEnglish;
}

int GetUserUiLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(variable); value && *value) return LanguageIdFromLocale(value);
    }
    return kLcidEnglish;
}

int ResolveLanguageId(int stored, int userUiLanguage) {
    const int lcid = stored == 0 ? userUiLanguage : stored;
    return lcid == kLcidFrench ? kLcidFrench : kLcidEnglish;
}

int SettleLanguage() {
    const int stored = ReadAppRegInt(L"LCID", kUnreadableLcid);
    const int lcid = ResolveLanguageId(stored, GetUserUiLanguage());
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
