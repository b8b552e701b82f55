#pragma once
// Starting programs as the desktop does, never through a shell. An application
// entry (".desktop" file) goes through GIO's GDesktopAppInfo, which follows the
// entry rules: Exec with its quoting and field codes, TryExec, Path (the working
// folder), Terminal (the desktop's terminal emulator runs the command) and D-Bus
// activation. An executable file is started directly by its path. Both go with a
// launch context that carries a startup-notification id, which an X display is told
// of, so the desktop shows that something is starting and lets the new window take
// the focus.
#include <string>

enum class LaunchResult {
    Started,
    NotStartable,  // not an executable file, or an entry that cannot be started here
    Failed,        // it could be started, but starting it failed
};

// Starts the entry or executable at `path` (UTF-8). `error` (when given) says why not.
LaunchResult LaunchApplication(const std::string& path, std::string* error = nullptr);

// True when `path` is an application entry that GIO would start on this system
// (its type, Exec and TryExec hold), or an executable file.
bool IsLaunchable(const std::string& path);

// True when the path names an application entry by its extension.
bool IsDesktopEntryPath(const std::string& path);

// The startup-notification message (the text after "new:" or "remove:") for an id
// and the launched program, with every value quoted as the protocol wants it.
std::string StartupNotifyMessage(const std::string& kind, const std::string& id, const std::string& name,
                                 const std::string& binary, const std::string& icon,
                                 const std::string& applicationId);
