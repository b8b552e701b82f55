#pragma once
// Starting with the desktop session: the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/vantorel-mouse.desktop (default ~/.config). Its Exec
// line starts the program by its quoted path, with " -autorun" for a hidden start.
// The entry exists exactly while start-with-session is on.
#include <string>
#include <string_view>

// The entry's file: <config home>/autostart/vantorel-mouse.desktop.
std::wstring GetAutostartEntryPath();

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
