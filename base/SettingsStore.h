#pragma once
// The per-user settings store: the values that live under the application's
// registry key elsewhere ("LCID", "DeviceType", "exit_mode", ...), kept in one
// small text file, $XDG_CONFIG_HOME/Vantorel Mouse/registry.ini:
//
//   [Vantorel Mouse]
//   LCID=1033
//
// Every write replaces the whole file atomically (temporary file + rename)
// under an flock on a lock file beside it, so readers never see half a file
// and two processes writing at once both keep their values. A write changes
// only its own line: other sections, comments, the file's encoding (UTF-8 or
// UTF-16 with a byte-order mark) and a last line without a line end stay as
// they are. A missing or garbled file reads as missing values; a FIFO, device
// or folder at the path reads as unreadable without blocking; nothing throws.
#include <string>
#include <string_view>

class SettingsStore {
  public:
    enum class Status { Found, NotFound, Unreadable };

    explicit SettingsStore(std::wstring path);

    const std::wstring& GetPath() const { return m_path; }
    bool Exists() const;

    // Creates the store (and its folder) when it does not exist yet. True when
    // the store exists afterwards.
    bool Create() const;

    // Looks a value up (names compare without regard to ASCII case). NotFound
    // covers a missing store as well as a missing value; Unreadable means the
    // file is there but could not be read.
    Status Read(std::wstring_view name, std::wstring& value) const;

    // Stores one value, keeping the others. Like the registry key it stands
    // for, a store that does not exist is not created: false then, and on any
    // failure or a name or value that cannot be stored in a line.
    bool Write(std::wstring_view name, std::wstring_view value) const;

  private:
    std::wstring m_path;
};

// GetSettingsFolder() + "registry.ini".
std::wstring GetSettingsStorePath();

// Reads a value of the settings store as a decimal integer. The store is
// created when it does not exist yet (the result is then 0); a missing value,
// a value that is not a number and an unreadable store all give 0.
int ReadAppRegInt(std::wstring_view name);

// Like ReadAppRegInt, but an unreadable store is told apart from a missing one:
// Unreadable gives unreadableResult instead of 0 (the start-up reads "LCID"
// this way).
int ReadAppRegInt(std::wstring_view name, int unreadableResult);

// Stores value as decimal text "%d"; false when the store does not exist or
// cannot be written. Failures are never shown to the user.
bool WriteAppRegInt(std::wstring_view name, int value);
