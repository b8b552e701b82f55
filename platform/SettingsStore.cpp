#include "platform/SettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "orvix/core/TextConv.h"
#include "platform/FileUtil.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/ParseInt.h"
#include "platform/Trace.h"

namespace {

constexpr wchar_t kSection[] = L"Vantorel Mouse";
// A handful of short lines; anything far larger is not a store we wrote.
constexpr size_t kMaxStoreBytes = 1 << 20;

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);
}

// Holds an exclusive flock on "registry.lock" beside the store for the whole
// read-modify-replace, so that concurrent writers (threads or processes) take
// turns and none loses another's value.
class StoreLock {
  public:
    explicit StoreLock(const std::string& storePath) {
        m_fd = open((FolderOf(storePath) + "registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && flock(m_fd, LOCK_EX) != 0) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~StoreLock() {
        if (m_fd >= 0) close(m_fd);  // closing releases the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Held() const { return m_fd >= 0; }

  private:
    int m_fd = -1;
};

// The store's own section. Only lines that end in '\n' count: every write
// ends its lines, so a last line without one was cut short.
SettingsStore::Status Load(const std::string& path, IniFile& ini) {
    std::string text;
    if (int error = ReadFileBytes(path, text, kMaxStoreBytes))
        return error == ENOENT ? SettingsStore::Status::NotFound : SettingsStore::Status::Unreadable;
    const size_t lastLineEnd = text.rfind('\n');
    text.erase(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
    IniFile parsed;
    parsed.Parse(Orvix::Utf8ToWide(text));
    for (const std::wstring& key : parsed.GetKeys(kSection)) {
        std::wstring value;
        parsed.Get(kSection, key, value);
        ini.Set(kSection, key, value);
    }
    return SettingsStore::Status::Found;
}

bool StorableInLine(std::wstring_view text) {
    return text.find_first_of(L"\r\n") == std::wstring_view::npos;
}

}  // namespace

SettingsStore::SettingsStore(std::wstring path) : m_path(std::move(path)) {}

bool SettingsStore::Exists() const {
    struct stat st {};
    return stat(Orvix::WideToUtf8(m_path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SettingsStore::Create() const {
    const std::string path = Orvix::WideToUtf8(m_path);
    if (!EnsureFolderTree(Orvix::Utf8ToWide(FolderOf(path)))) return false;
    StoreLock lock(path);
    if (!lock.Held()) return false;
    if (Exists()) return true;
    Vantorel::Trace("settings store created: %s", path.c_str());
    std::string header = Orvix::WideToUtf8(kSection);
    header.insert(header.begin(), '[');
    header += "]\n";
    return ReplaceFileAtomically(path, header);
}

SettingsStore::Status SettingsStore::Read(std::wstring_view name, std::wstring& value) const {
    IniFile ini;
    const Status status = Load(Orvix::WideToUtf8(m_path), ini);
    if (status != Status::Found) return status;
    return ini.Get(kSection, name, value) ? Status::Found : Status::NotFound;
}

bool SettingsStore::Write(std::wstring_view name, std::wstring_view value) const {
    if (name.empty() || name.find(L'=') != std::wstring_view::npos || name.front() == L'[' ||
        name.front() == L';' || !StorableInLine(name) || !StorableInLine(value))
        return false;
    const std::string path = Orvix::WideToUtf8(m_path);
    if (!Exists()) return false;
    StoreLock lock(path);
    if (!lock.Held()) return false;
    IniFile ini;
    if (Load(path, ini) == Status::Unreadable) return false;
    ini.Set(kSection, name, value);
    return ReplaceFileAtomically(path, ini.Serialize());
}

std::wstring GetSettingsStorePath() {
    return GetSettingsFolder() + L"registry.ini";
}

int ReadAppRegInt(std::wstring_view name) {
    return ReadAppRegInt(name, 0);
}

int ReadAppRegInt(std::wstring_view name, int unreadableResult) {
    SettingsStore store(GetSettingsStorePath());
    std::wstring value;
    switch (store.Read(name, value)) {
        case SettingsStore::Status::Found:
            return ParseInt(value);
        case SettingsStore::Status::Unreadable:
            return unreadableResult;
        case SettingsStore::Status::NotFound:
            if (!store.Exists()) store.Create();
            break;
    }
    return 0;
}

bool WriteAppRegInt(std::wstring_view name, int value) {
    return SettingsStore(GetSettingsStorePath()).Write(name, std::to_wstring(value));
}
