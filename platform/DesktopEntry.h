#pragma once
// Application entries (".desktop" files) read for the list of installed
// applications and for matching a window's executable: the main group's keys and
// the command of its Exec line as an argument vector (quoting by the desktop
// entry rules, field codes dropped). Launching goes through GIO instead.
#include <string>
#include <utility>
#include <vector>

// The keys of an entry text's [Desktop Entry] group with their values, blanks
// around both removed, escapes left as written, in file order.
std::vector<std::pair<std::string, std::string>> DesktopEntryGroup(const std::string& text);

// The command of an entry's text; false when there is no usable Exec line in
// the [Desktop Entry] group (missing, empty, or with unbalanced quotes).
bool ParseDesktopEntryExec(const std::string& text, std::vector<std::string>& argv);
