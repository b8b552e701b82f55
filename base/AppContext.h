#pragma once
// The parts of the program's start that need no window: the language rule and
// the process-wide language id, the hidden-start switch and the per-user
// database folder. main() runs, in this order: SingleInstance::Acquire (a false
// result ends the process with exit code 0), SettleLanguage,
// EnsureDatabaseFolder, then IsAutorunStart(GetCommandLine(argc, argv)) to
// choose between a hidden and a shown main window.
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kLcidEnglish = 1033;
inline constexpr int kLcidFrench = 1036;

// A language the program can speak when its file lies in the program folder.
struct LanguageInfo {
    int lcid;
    // What the language list shows: the language's name in itself.
    const wchar_t* nativeName;
    // The locales that choose it (language or language_TERRITORY, as in
    // "de" or "pt_BR"); a locale matches exactly first, then by its language.
    std::string_view locales;
    // The text language for font choice (an RFC 3066 tag): Chinese, Japanese
    // and Korean share characters that each draws in its own forms.
    const char* textLanguage;
};

// Every language the program knows, in the order the language list shows them.
std::span<const LanguageInfo> KnownLanguages();
// The entry of a language id; null for one the program does not know.
const LanguageInfo* FindLanguage(int lcid);

// The language file of a language id in a program folder.
std::wstring LanguageFilePath(const std::wstring& programFolder, int lcid);

// The known languages whose file is present in `programFolder`, in list order.
std::vector<int> GetAvailableLanguages(const std::wstring& programFolder);

// The current language id: settled at start (1033 before). Every text lookup
// reads it; the settings dialog changes it. Setting it also tells the toolkit
// the language its texts are in, through the listener below.
int GetCurrentLcid();
void SetCurrentLcid(int lcid);
// Told the text language (the LanguageInfo's tag, "en" for an unknown id) each
// time the language id is set. The toolkit, which sits above this layer, sets it
// when it is loaded; one listener.
void SetTextLanguageListener(void (*listener)(const char* tag));

// The language id of a POSIX locale name (language[_territory][.codeset][@modifier])
// among `available`: the exact language_territory first, then the language
// alone (de_AT is German). French stays what it always was: fr_FR is French and
// every other French locale is English. "C" and "POSIX" are English. 0 when no
// available language matches.
int LanguageIdFromLocale(std::string_view locale, std::span<const int> available);
// The same among every known language.
int LanguageIdFromLocale(std::string_view locale);

// The user's interface language among `available`: the first entry of the
// colon-separated LANGUAGE list that matches one, else the locale of LC_ALL,
// else LC_MESSAGES, else LANG; English when nothing matches.
int GetUserUiLanguage(std::span<const int> available);
// The same among every known language.
int GetUserUiLanguage();

// The start-up rule: a stored 0 (nothing stored) takes the user's interface
// language; a stored language whose file is available stays; any other value
// becomes 1033.
int ResolveLanguageId(int stored, int userUiLanguage, std::span<const int> available);
// The same with every known language available.
int ResolveLanguageId(int stored, int userUiLanguage);

// The start-up rule for a stored value with the language files of the
// program folder and the user's interface language.
int ChooseLanguage(int stored);

// Reads "LCID" from the settings store (an unreadable store gives English),
// applies ChooseLanguage, makes the result the current language id and writes
// it back under "LCID". Returns it.
int SettleLanguage();

// The program's command line: the arguments after the program name, joined by blanks.
std::string GetCommandLine(int argc, const char* const* argv);

// True when the command line asks for a hidden start: "-autorun" anywhere in
// it, inside another word too.
bool IsAutorunStart(std::string_view commandLine);

// Creates the per-user folder's "db" folder, with every folder above it.
bool EnsureDatabaseFolder();
