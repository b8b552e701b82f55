#pragma once
// The desktop's own tools the program hands the user over to: the mouse settings
// of GNOME, KDE Plasma, Xfce, LXQt, MATE, Cinnamon, Budgie or LXDE, whichever is
// installed, and the character map (gnome-characters, gucharmap, kcharselect). A
// tool is an argument vector whose first element is the program's absolute path;
// it is started directly, never through a shell.
#include <string>
#include <vector>

using DesktopCommand = std::vector<std::string>;

// The full path of `name` in a PATH-style list of folders ("" when it is not an
// executable file in any of them). Empty entries are skipped rather than taken as
// the current folder.
std::string FindOnPath(const std::string& name, const std::string& path);

// The mouse settings command for a desktop: the tools of the desktops named in
// `currentDesktop` (XDG_CURRENT_DESKTOP, a colon-separated list) first, then any
// other desktop's that is installed. Empty when none is on `path`.
DesktopCommand FindMouseSettingsCommand(const std::string& currentDesktop, const std::string& path);
// The same for this session (XDG_CURRENT_DESKTOP and PATH of the environment).
DesktopCommand FindMouseSettingsCommand();

// The character map of the session's desktop, else any installed one. Empty when
// none is on `path`.
DesktopCommand FindCharacterMapCommand(const std::string& currentDesktop, const std::string& path);
DesktopCommand FindCharacterMapCommand();

// Starts the command detached from the program: the program's descriptors beyond
// the standard three are not passed on (a tool that outlives the program must not
// hold its lock file or device handles). False when it could not be started.
bool StartDesktopCommand(const DesktopCommand& command);
