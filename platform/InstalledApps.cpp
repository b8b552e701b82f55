#include "platform/InstalledApps.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "base/TextConv.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Image.h"
#include "base/AppContext.h"
#include "platform/DesktopEntry.h"
#include "base/Folders.h"

namespace {

constexpr size_t kMaxEntryBytes = 256 * 1024;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

std::string Home() {
    const std::string home = Env("HOME");
    return home.empty() ? "/tmp" : home;
}

// The XDG data folders, user's first.
std::vector<std::string> DataFolders() {
    std::vector<std::string> folders;
    const std::string home = Env("XDG_DATA_HOME");
    folders.push_back(WithSlash(home.size() && home[0] == '/' ? home : Home() + "/.local/share"));
    std::string dirs = Env("XDG_DATA_DIRS");
    if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
    std::stringstream in(dirs);
    std::string dir;
    while (std::getline(in, dir, ':'))
        if (!dir.empty() && dir[0] == '/') folders.push_back(WithSlash(dir));
    return folders;
}

bool ReadSmallFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream out;
    out << file.rdbuf();
    text = out.str();
    return text.size() <= kMaxEntryBytes;
}

bool IsTrue(const std::string& value) {
    return value == "true" || value == "1";
}

// The program a command line starts: past "env" and its assignments.
std::string ProgramOf(const std::vector<std::string>& argv) {
    size_t i = 0;
    if (i < argv.size() && (argv[i] == "env" || argv[i] == "/usr/bin/env")) {
        ++i;
        while (i < argv.size() && (argv[i].find('=') != std::string::npos || argv[i].rfind('-', 0) == 0)) ++i;
    }
    return i < argv.size() ? argv[i] : "";
}

std::string FileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a program name runs: itself when it has a slash, else the first on PATH.
std::string ResolveProgram(const std::string& program) {
    std::string found;
    if (program.find('/') != std::string::npos) {
        found = program;
    } else {
        std::stringstream in(Env("PATH").empty() ? "/usr/local/bin:/usr/bin:/bin" : Env("PATH"));
        std::string dir;
        while (std::getline(in, dir, ':')) {
            const std::string candidate = WithSlash(dir) + program;
            if (access(candidate.c_str(), X_OK) == 0) {
                found = candidate;
                break;
            }
        }
    }
    if (found.empty()) return "";
    char real[PATH_MAX];
    return realpath(found.c_str(), real) ? std::string(real) : found;
}

void ScanFolder(const std::string& root, const std::string& sub, const std::string& language,
                std::set<std::wstring>& seen, std::vector<AppEntry>& entries) {
    DIR* dir = opendir((root + sub).c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (dirent* item = readdir(dir)) names.push_back(item->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (name == "." || name == "..") continue;
        const std::string path = root + sub + name;
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (sub.size() < 200) ScanFolder(root, sub + name + "/", language, seen, entries);
            continue;
        }
        if (name.size() <= 8 || name.compare(name.size() - 8, 8, ".desktop") != 0) continue;
        // An id below a subfolder joins the folders with '-' ("kde4/foo.desktop" is "kde4-foo.desktop").
        std::string idText = sub + name;
        std::replace(idText.begin(), idText.end(), '/', '-');
        const std::wstring id = Orvix::Utf8ToWide(idText);
        // The first folder's entry of an id hides the others, a hidden one too.
        if (!seen.insert(id).second) continue;
        std::string text;
        AppEntry entry;
        if (!ReadSmallFile(path, text) || !ParseAppEntry(text, language, entry)) continue;
        entry.id = id;
        entries.push_back(std::move(entry));
    }
}

std::string CacheFolder() {
    const std::string cache = Env("XDG_CACHE_HOME");
    return WithSlash(cache.size() && cache[0] == '/' ? cache : Home() + "/.cache") + "Vantorel Mouse/icons/";
}

}  // namespace

bool ParseAppEntry(const std::string& text, const std::string& language, AppEntry& entry) {
    entry = AppEntry();
    std::string name, localName, icon, type;
    bool hidden = false;
    const std::string localKey = "Name[" + language + "]";
    for (const auto& [key, value] : DesktopEntryGroup(text)) {
        if (key == "Name")
            name = value;
        else if (!language.empty() && key == localKey)
            localName = value;
        else if (key == "Icon")
            icon = value;
        else if (key == "Type")
            type = value;
        else if (key == "StartupWMClass")
            entry.startupWmClass = Orvix::Utf8ToWide(value);
        else if (key == "NoDisplay" || key == "Hidden")
            hidden = hidden || IsTrue(value);
    }
    if (type != "Application" || hidden || name.empty()) return false;
    entry.name = Orvix::Utf8ToWide(localName.empty() ? name : localName);
    std::vector<std::string> argv;
    if (ParseDesktopEntryExec(text, argv)) {
        const std::string program = ProgramOf(argv);
        if (!program.empty()) {
            entry.execNames.push_back(FileName(program));
            const std::string real = FileName(ResolveProgram(program));
            if (!real.empty() && real != entry.execNames.front()) entry.execNames.push_back(real);
        }
    }
    if (!icon.empty()) entry.iconPath = FindIconFile(icon, 32);
    return true;
}

std::vector<std::string> ApplicationFolders() {
    std::vector<std::string> folders;
    for (const std::string& data : DataFolders()) folders.push_back(data + "applications/");
    return folders;
}

std::vector<AppEntry> ListInstalledApps(int languageId) {
    const std::string language = languageId == kLcidFrench ? "fr" : "";
    std::vector<AppEntry> entries;
    std::set<std::wstring> seen;
    for (const std::string& folder : ApplicationFolders()) ScanFolder(folder, "", language, seen, entries);
    auto lower = [](std::wstring s) {
        for (wchar_t& c : s) c = wchar_t(std::towlower(wint_t(c)));
        return s;
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const AppEntry& a, const AppEntry& b) { return lower(a.name) < lower(b.name); });
    return entries;
}

std::wstring FindIconFile(const std::string& icon, int size) {
    if (icon.empty()) return L"";
    if (icon[0] == '/') {
        const bool png = icon.size() > 4 && icon.compare(icon.size() - 4, 4, ".png") == 0;
        return png && access(icon.c_str(), R_OK) == 0 ? Orvix::Utf8ToWide(icon) : L"";
    }
    if (icon.find('/') != std::string::npos) return L"";
    // Nearest sizes first: a smaller picture scaled up looks worse than a larger scaled down.
    std::vector<int> sizes = {16, 22, 24, 32, 36, 48, 64, 72, 96, 128, 192, 256, 512};
    std::stable_sort(sizes.begin(), sizes.end(), [size](int a, int b) {
        const int da = a >= size ? a - size : 2 * (size - a);
        const int db = b >= size ? b - size : 2 * (size - b);
        return da < db;
    });
    const std::vector<std::string> folders = DataFolders();
    for (int s : sizes) {
        const std::string dims = std::to_string(s) + "x" + std::to_string(s);
        for (const std::string& data : folders) {
            const std::string path = data + "icons/hicolor/" + dims + "/apps/" + icon + ".png";
            if (access(path.c_str(), R_OK) == 0) return Orvix::Utf8ToWide(path);
        }
    }
    for (const std::string& data : folders) {
        const std::string path = data + "pixmaps/" + icon + ".png";
        if (access(path.c_str(), R_OK) == 0) return Orvix::Utf8ToWide(path);
    }
    return L"";
}

std::wstring SmallIconFile(const std::wstring& path, int size) {
    std::shared_ptr<Orvix::Image> image = Orvix::Image::Load(path);
    if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0) return L"";
    if (image->GetWidth() <= size && image->GetHeight() <= size) return path;
    // Named after the source path, so every entry with that icon shares one copy.
    const std::string cache = CacheFolder();
    const std::string key = std::to_string(std::hash<std::wstring>{}(path)) + "-" + std::to_string(size) + ".png";
    const std::wstring scaled = Orvix::Utf8ToWide(cache + key);
    struct stat source {}, copy {};
    if (stat(Orvix::WideToUtf8(scaled).c_str(), &copy) == 0 && stat(Orvix::WideToUtf8(path).c_str(), &source) == 0 &&
        copy.st_mtime >= source.st_mtime)
        return scaled;
    if (!EnsureFolderTree(Orvix::Utf8ToWide(cache))) return L"";
    const double factor = double(size) / std::max(image->GetWidth(), image->GetHeight());
    const int w = std::max(1, int(image->GetWidth() * factor + 0.5));
    const int h = std::max(1, int(image->GetHeight() * factor + 0.5));
    Orvix::Canvas canvas(w, h);
    canvas.DrawImage(*image, Orvix::CRect(0, 0, w, h), Orvix::CRect(0, 0, image->GetWidth(), image->GetHeight()));
    // Written aside and renamed: a list open in another instance never reads half a file.
    const std::wstring temp = scaled + L".tmp";
    if (!canvas.SavePng(temp) || rename(Orvix::WideToUtf8(temp).c_str(), Orvix::WideToUtf8(scaled).c_str()) != 0)
        return L"";
    return scaled;
}
