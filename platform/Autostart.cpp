#include "platform/Autostart.h"

#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "base/TextConv.h"
#include "platform/ApplicationId.h"
#include "base/FileUtil.h"
#include "base/Folders.h"

namespace {

constexpr wchar_t kOldEntryName[] = L"vantorel-mouse.desktop";
constexpr wchar_t kProgramName[] = L"VantorelMouse";
constexpr size_t kMaxEntryBytes = 64 * 1024;

// The settings folder is <config home>/<application name>/: its parent is the
// config home, found by the same XDG rule.
std::wstring ConfigHome() {
    std::wstring folder = GetSettingsFolder();
    if (!folder.empty() && folder.back() == L'/') folder.pop_back();
    return folder.substr(0, folder.rfind(L'/') + 1);
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The string escapes of the key file format for a value.
std::string EscapeString(std::string_view value) {
    std::string escaped;
    for (char c : value) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

// The [Desktop Entry] group's value of `key`, trimmed; empty when absent.
std::string EntryValue(const std::string& bytes, const std::string& key) {
    std::istringstream lines(bytes);
    std::string group;
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        if (!line.empty() && line.front() == '[') {
            group = line;
        } else if (group == "[Desktop Entry]" && line.rfind(key, 0) == 0) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos && Trim(line.substr(key.size(), equals - key.size())).empty())
                return Trim(line.substr(equals + 1));
        }
    }
    return {};
}

}  // namespace

std::wstring GetAutostartEntryPath() {
    return JoinPath(JoinPath(ConfigHome(), L"autostart"),
                    Orvix::Utf8ToWide(std::string(kApplicationId) + ".desktop"));
}

std::wstring GetOldAutostartEntryPath() {
    return JoinPath(JoinPath(ConfigHome(), L"autostart"), kOldEntryName);
}

std::wstring GetAutostartProgramPath() {
    return JoinPath(GetProgramFolder(), kProgramName);
}

std::string QuoteExecArgument(std::string_view argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return {};
        switch (c) {
            case '"':
            case '`':
            case '$':
                quoted += "\\\\";  // the quoting backslash, itself escaped for the file
                quoted += c;
                break;
            case '\\':
                quoted += "\\\\\\\\";
                break;
            case '%':
                quoted += "%%";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + "\"";
}

std::string BuildAutostartEntry(const std::wstring& programPath, bool hidden) {
    if (programPath.empty()) return {};
    const std::string program = QuoteExecArgument(Orvix::WideToUtf8(programPath));
    if (program.empty()) return {};
    std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Version=1.0\n"
        "Name=Vantorel Mouse\n"
        "Comment=Configuration tool for the Vantorel wireless gaming mouse\n"
        "Icon=";
    entry += kApplicationId;
    // TryExec is a plain string: only the file's string escaping applies.
    entry += "\nTryExec=" + EscapeString(Orvix::WideToUtf8(programPath)) + "\nExec=" + program;
    if (hidden) entry += " -autorun";
    entry +=
        "\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n";
    return entry;
}

bool WriteAutostartEntry(const std::wstring& entryPath, const std::wstring& programPath, bool hidden) {
    const std::string entry = BuildAutostartEntry(programPath, hidden);
    if (entry.empty()) return false;
    const size_t slash = entryPath.rfind(L'/');
    if (slash != std::wstring::npos && !EnsureFolderTree(entryPath.substr(0, slash))) return false;
    return ReplaceFileAtomically(Orvix::WideToUtf8(entryPath), entry);
}

bool RemoveAutostartEntry(const std::wstring& entryPath) {
    return unlink(Orvix::WideToUtf8(entryPath).c_str()) == 0 || errno == ENOENT;
}

bool IsAutostartEntryPresent(const std::wstring& entryPath) {
    std::string bytes;
    if (ReadFileBytes(Orvix::WideToUtf8(entryPath), bytes, kMaxEntryBytes) != 0) return false;
    return EntryValue(bytes, "Hidden") != "true";
}

bool MoveOldAutostartEntry(const std::wstring& oldPath, const std::wstring& entryPath,
                           const std::wstring& programPath) {
    std::string bytes;
    if (ReadFileBytes(Orvix::WideToUtf8(oldPath), bytes, kMaxEntryBytes) != 0) return true;
    if (IsAutostartEntryPresent(oldPath) && !IsAutostartEntryPresent(entryPath)) {
        const bool hidden = EntryValue(bytes, "Exec").find("-autorun") != std::string::npos;
        // The old entry stays until the new one is there: a start with the session is never lost.
        if (!WriteAutostartEntry(entryPath, programPath, hidden)) return false;
    }
    return RemoveAutostartEntry(oldPath);
}
