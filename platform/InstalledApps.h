#pragma once
// The applications installed for this user: the desktop entries of
// $XDG_DATA_HOME/applications and of every $XDG_DATA_DIRS/applications (an id
// found twice is the first one's), with their names in the program's language,
// a picture file for their icon and what resolving a window to an entry needs.
// Entries that are hidden, not applications or not shown in menus are left out.
#include <string>
#include <vector>

#include "features/AppProfileRules.h"

// One entry file's text. False when it is no shown application (Type other
// than Application, NoDisplay or Hidden true, no Name). `language` chooses
// Name[xx] ("fr"; "" takes the plain Name).
bool ParseAppEntry(const std::string& text, const std::string& language, AppEntry& entry);

// The folders searched, in order of precedence ("<dir>/applications/").
std::vector<std::string> ApplicationFolders();

// Every installed application, sorted by name (case ignored). Reads a few
// hundred small files: not for the UI thread of a busy loop.
std::vector<AppEntry> ListInstalledApps(int languageId);

// A PNG picture for an icon name or path: the hicolor theme's sizes nearest to
// `size` first, then pixmaps. "" when there is none (scalable-only icons).
std::wstring FindIconFile(const std::string& icon, int size);

// A picture of at most size × size pixels for a list row: the file itself when
// it is small enough, else a scaled copy kept in the user's cache folder.
std::wstring SmallIconFile(const std::wstring& path, int size);
