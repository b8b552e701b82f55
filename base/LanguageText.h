#pragma once
// Language texts: every caption, label, list item, tooltip and message is
// looked up by number, when it is shown, in section "LAN" of the language file
// "<program folder>language/<current language id>.lan". Each file is parsed
// once and kept; lookups check that the file is unchanged (its size, times and
// inode; at most once a millisecond for a file untouched for seconds) and read
// it again when it is not, and a language change (NotifyLanguageChanged) drops
// what is kept. So lookups answer as a file read at every call would, without
// the read. A missing or empty language file
// falls back to the English one of the same folder; a missing section or key
// gives an empty text.
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

// Forgets every parsed language file; the next lookup reads its file again.
void DropLanguageCache();

// Observers of language changes: the main window calls NotifyLanguageChanged
// when message 2022 arrives; the parsed files are dropped, then every
// registered reload runs, in registration order, on the calling thread.
int AddLanguageObserver(std::function<void()> reload);  // returns a handle for removal
void RemoveLanguageObserver(int handle);
void NotifyLanguageChanged();
