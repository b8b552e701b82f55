#include "base/Folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "base/TextConv.h"

namespace {

// The toolkit's theme folder under "skins/"; the program never changes it.
constexpr wchar_t kTheme[] = L"theme1/";

std::wstring AsFolder(std::wstring path) {
    if (!path.empty() && path.back() != L'/') path.push_back(L'/');
    return path;
}

std::wstring HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return Orvix::Utf8ToWide(home);
    std::vector<char> buf(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
        return Orvix::Utf8ToWide(found->pw_dir);
    return L"/tmp";  // no home at all: still somewhere writable rather than the working folder
}

// An XDG base folder: the variable when it holds an absolute path (the XDG
// rules ignore relative ones), otherwise the default under the home folder.
std::wstring XdgFolder(const char* variable, const wchar_t* homeRelativeDefault) {
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return AsFolder(Orvix::Utf8ToWide(value));
    return AsFolder(JoinPath(HomeFolder(), homeRelativeDefault));
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool IsPlainFileStem(std::wstring_view name) {
    return name.find_first_of(std::wstring_view(L"/\\\0", 3)) == std::wstring_view::npos &&
           name.find(L"..") == std::wstring_view::npos;
}

std::wstring JoinPath(std::wstring_view head, std::wstring_view tail) {
    if (head.empty()) return std::wstring(tail);
    if (tail.empty()) return std::wstring(head);
    std::wstring out(head);
    const bool headSlash = out.back() == L'/';
    const bool tailSlash = tail.front() == L'/';
    if (headSlash && tailSlash)
        tail.remove_prefix(1);
    else if (!headSlash && !tailSlash)
        out.push_back(L'/');
    out.append(tail);
    return out;
}

std::wstring GetProgramFolder() {
    // The executable does not move while it runs: resolve it once.
    static const std::wstring folder = [] {
        std::vector<char> buf(4096);
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
        if (n <= 0) return std::wstring(L"./");
        std::wstring path = Orvix::Utf8ToWide(std::string_view(buf.data(), static_cast<size_t>(n)));
        return path.substr(0, path.rfind(L'/') + 1);
    }();
    return folder;
}

std::wstring GetSkinFolder() {
    return JoinPath(JoinPath(GetProgramFolder(), L"skins/"), kTheme);
}

std::wstring GetUserDataFolder() {
    return AsFolder(
        JoinPath(XdgFolder("XDG_DATA_HOME", L".local/share"), std::wstring(kAppName) + L" Files"));
}

std::wstring GetDatabaseFolder() {
    return JoinPath(GetUserDataFolder(), L"db/");
}

std::wstring GetSettingsFolder() {
    return AsFolder(JoinPath(XdgFolder("XDG_CONFIG_HOME", L".config"), kAppName));
}

std::wstring GetRuntimeFolder() {
    if (const char* value = std::getenv("XDG_RUNTIME_DIR"); value && value[0] == '/' && IsFolder(value))
        return AsFolder(Orvix::Utf8ToWide(value));
    return GetUserDataFolder();
}

bool EnsureFolderTree(std::wstring_view path) {
    if (path.empty()) return false;
    const std::string full = Orvix::WideToUtf8(path);
    if (IsFolder(full)) return true;
    // Every prefix ending before a separator (the root excluded); failures are
    // left to the last step, which decides.
    for (size_t slash = full.find('/', 1); slash != std::string::npos; slash = full.find('/', slash + 1))
        mkdir(full.substr(0, slash).c_str(), 0700);
    if (mkdir(full.c_str(), 0700) == 0) return true;
    // Something already there counts only when it is a folder: a plain file
    // of that name would make every later file operation inside it fail.
    return errno == EEXIST && IsFolder(full);
}
