#pragma once
// The parts of the program's start that need no window: the language rule and
// the process-wide language id, the hidden-start switch and the per-user
// database folder. main() runs, in this order: SingleInstance::Acquire (a false
// result ends the process with exit code 0), SettleLanguage,
// EnsureDatabaseFolder, then IsAutorunStart(GetCommandLine(argc, argv)) to
// choose between a hidden and a shown main window.
#include <string>
#include <string_view>

inline constexpr int kLcidEnglish = 1033;
inline constexpr int kLcidFrench = 1036;

// The current language id: 1033 or 1036 once settled (1033 before). Every text
// lookup reads it; the settings dialog changes it.
int GetCurrentLcid();
void SetCurrentLcid(int lcid);

// The language id of a POSIX locale name (language[_territory][.codeset][@modifier]):
// 1036 for French (France), 1033 for every other locale, other French ones included.
int LanguageIdFromLocale(std::string_view locale);

// The user's interface language: the locale of LC_ALL, else LC_MESSAGES, else LANG.
int GetUserUiLanguage();

// The start-up rule: a stored 0 (nothing stored) takes the user's interface
// language; 1036 stays; every other value becomes 1033.
int ResolveLanguageId(int stored, int userUiLanguage);

// Reads "LCID" from the settings store (an unreadable store counts as 2052),
// applies the start-up rule, makes the result the current language id and
// writes it back under "LCID". Returns it.
int SettleLanguage();

// The program's command line: the arguments after the program name, joined by blanks.
std::string GetCommandLine(int argc, const char* const* argv);

// True when the command line asks for a hidden start: "-autorun" anywhere in
// it, inside another word too.
bool IsAutorunStart(std::string_view commandLine);

// Creates the per-user folder's "db" folder, with every folder above it.
bool EnsureDatabaseFolder();
