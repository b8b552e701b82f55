#pragma once
// Application entries (".desktop" files): the command their Exec line gives, as
// an argument vector. Quoting follows the desktop entry rules; field codes
// (%f, %u, ...) are dropped, since a launch button passes no files. Nothing here
// goes through a shell.
#include <string>
#include <utility>
#include <vector>

// The keys of an entry text's [Desktop Entry] group with their values, blanks
// around both removed, escapes left as written, in file order.
std::vector<std::pair<std::string, std::string>> DesktopEntryGroup(const std::string& text);

// The command of an entry's text; false when there is no usable Exec line in
// the [Desktop Entry] group (missing, empty, or with unbalanced quotes).
bool ParseDesktopEntryExec(const std::string& text, std::vector<std::string>& argv);
// The same for an entry file; false also when the file cannot be read.
bool DesktopEntryCommand(const std::wstring& path, std::vector<std::string>& argv);
