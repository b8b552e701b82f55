#pragma once
// Starting with the desktop session: the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/com.vantorel.mouse.desktop (default ~/.config), named
// with the application id like the program's desktop entry. Its Exec line starts
// the program by its quoted path, with " -autorun" for a hidden start; TryExec
// makes the desktop skip it once that program is gone, Icon shows the program's
// icon in the desktop's list of start-up programs. The entry exists exactly while
// start-with-session is on.
#include <string>
#include <string_view>

// The entry's file: <config home>/autostart/com.vantorel.mouse.desktop.
std::wstring GetAutostartEntryPath();
// Where earlier versions wrote it: <config home>/autostart/vantorel-mouse.desktop.
std::wstring GetOldAutostartEntryPath();

// The program the entry starts: the running executable beside its files.
std::wstring GetAutostartProgramPath();

// One argument of an Exec line, quoted as desktop entries want it: in double
// quotes, with '"', '`', '$' and '\' escaped by a backslash, and the backslashes
// of the result doubled again by the string escaping of the file; '%' becomes
// "%%". Empty when the argument holds a control character, which no Exec line
// can carry.
std::string QuoteExecArgument(std::string_view argument);

// The whole entry for `programPath`; empty when the path cannot be written in it.
std::string BuildAutostartEntry(const std::wstring& programPath, bool hidden);

// Writes the entry (creating the autostart folder); false when it cannot.
bool WriteAutostartEntry(const std::wstring& entryPath, const std::wstring& programPath, bool hidden);

// Removes the entry; true when it is gone afterwards (also when it never was).
bool RemoveAutostartEntry(const std::wstring& entryPath);

// True when the entry is there and not switched off by the desktop ("Hidden=true",
// the autostart way of deleting an entry that a system folder provides).
bool IsAutostartEntryPresent(const std::wstring& entryPath);

// An entry an earlier version wrote under `oldPath` is moved to `entryPath`: written
// anew there for `programPath` (hidden start kept), unless one is there already,
// and removed. An entry the desktop switched off is only removed. True when
// nothing is left at the old path.
bool MoveOldAutostartEntry(const std::wstring& oldPath, const std::wstring& entryPath,
                           const std::wstring& programPath);
