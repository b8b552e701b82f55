#pragma once
// Where the program finds its files and keeps the user's: the program folder
// (beside the executable), the skin folder, the per-user data folder and the
// settings folder. Every folder name ends with '/'; paths are built with
// JoinPath only, so that no caller glues separators by hand.
#include <string>
#include <string_view>

// The application name: it names the settings folder, the per-user folder, the
// single-instance lock and socket, the main window caption and the tray tip.
inline constexpr wchar_t kAppName[] = L"Vantorel Mouse";

// Joins two path parts with exactly one '/' between them. An empty part
// yields the other one unchanged.
std::wstring JoinPath(std::wstring_view head, std::wstring_view tail);

// Whether a name taken from a data file (a model's device_attr) stays a plain
// file-name stem: no path separator, no NUL and no "..", so it cannot reach
// outside the folder it is joined to. The empty name is plain.
bool IsPlainFileStem(std::wstring_view name);

// Folder of the running executable (/proc/self/exe), with a trailing '/'.
std::wstring GetProgramFolder();

// Program folder + "skins/" + the toolkit theme ("theme1/").
std::wstring GetSkinFolder();

// $XDG_DATA_HOME (default ~/.local/share) + "/Vantorel Mouse Files/".
std::wstring GetUserDataFolder();

// Per-user data folder + "db/": where the per-model databases live.
std::wstring GetDatabaseFolder();

// $XDG_CONFIG_HOME (default ~/.config) + "/Vantorel Mouse/": the settings store.
std::wstring GetSettingsFolder();

// $XDG_RUNTIME_DIR when it is usable, otherwise the per-user data folder:
// where the single-instance lock and socket live.
std::wstring GetRuntimeFolder();

// Creates every missing folder along path. True when path is a folder at the
// end (already there or created).
bool EnsureFolderTree(std::wstring_view path);
