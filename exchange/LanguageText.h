#pragma once
// Language texts: every caption, label, list item, tooltip and message is
// looked up by number, when it is shown, in section "LAN" of the language file
// "<program folder>language/<current language id>.lan". The file is read anew
// at every lookup (nothing is cached), so a language change shows at the next
// lookup; a missing file, section or key gives an empty text.
#include <functional>
#include <string>

// Sent by the settings dialog to the main window after a language change.
inline constexpr unsigned kLanguageChangedMessage = 2022;  // WM_USER + 998

// Longest text a lookup returns; longer values are cut.
inline constexpr size_t kMaxLanguageTextLength = 259;

// The language file of a language id in a program folder.
std::wstring GetLanguageFilePath(const std::wstring& programFolder, int lcid);

// Text id of section in the language file of lcid under programFolder. Keys
// are the id written as "%d": "061" is not the key of 61.
std::wstring ReadLanguageText(const std::wstring& programFolder, int lcid, const wchar_t* section, int id);

// The same for the program folder and the current language id.
std::wstring GetLanguageText(const wchar_t* section, int id);

// Observers of language changes: the main window calls NotifyLanguageChanged
// when message 2022 arrives, and every registered reload runs, in registration
// order, on the calling thread.
int AddLanguageObserver(std::function<void()> reload);  // returns a handle for removal
void RemoveLanguageObserver(int handle);
void NotifyLanguageChanged();
