#include "base/SettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/TextConv.h"
#include "base/FileUtil.h"
#include "base/Folders.h"
#include "base/IniFile.h"
#include "base/ParseInt.h"
#include "base/Trace.h"

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
        m_fd = open((FolderOf(storePath) + "registry.lock").c_str(),
                    O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
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

// The file as it stands: its encoding and its text as UTF-8, byte for byte for
// a UTF-8 file (whatever lines it holds that the store does not own).
struct StoreFile {
    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be } encoding = Encoding::Utf8;
    std::string text;

    std::string Encode() const {
        if (encoding == Encoding::Utf8) return text;
        if (encoding == Encoding::Utf8Bom) return "\xEF\xBB\xBF" + text;
        const bool big = encoding == Encoding::Utf16Be;
        std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : Orvix::WideToUtf16(Orvix::Utf8ToWide(text))) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += big ? high : low;
            bytes += big ? low : high;
        }
        return bytes;
    }
};

SettingsStore::Status LoadFile(const std::string& path, StoreFile& file) {
    std::string bytes;
    if (int error = ReadFileBytes(path, bytes, kMaxStoreBytes)) {
        Vantorel::Trace("settings store %s: %s", path.c_str(), DescribeFileError(error).c_str());
        return error == ENOENT ? SettingsStore::Status::NotFound : SettingsStore::Status::Unreadable;
    }
    const std::string_view view(bytes);
    if (view.starts_with("\xFF\xFE") || view.starts_with("\xFE\xFF")) {
        file.encoding = view[0] == '\xFF' ? StoreFile::Encoding::Utf16Le : StoreFile::Encoding::Utf16Be;
        file.text = Orvix::WideToUtf8(IniFile::Decode(view));
    } else if (view.starts_with("\xEF\xBB\xBF")) {
        file.encoding = StoreFile::Encoding::Utf8Bom;
        file.text = bytes.substr(3);
    } else {
        file.text = std::move(bytes);
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
    StoreFile file;
    const Status status = LoadFile(Orvix::WideToUtf8(m_path), file);
    if (status != Status::Found) return status;
    IniFile ini;
    ini.Parse(Orvix::Utf8ToWide(file.text));
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
    StoreFile file;
    if (LoadFile(path, file) == Status::Unreadable) return false;
    file.text = IniFile::SetValueInText(std::move(file.text), Orvix::WideToUtf8(kSection),
                                        Orvix::WideToUtf8(name), Orvix::WideToUtf8(value));
    return ReplaceFileAtomically(path, file.Encode());
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
