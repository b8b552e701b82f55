#include "base/LanguageText.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/TextConv.h"
#include "base/AppContext.h"
#include "base/FileUtil.h"
#include "base/Folders.h"
#include "base/IniFile.h"

namespace {

constexpr size_t kMaxLanguageFileBytes = 4 << 20;
constexpr int64_t kRecheckNs = 1000000;
constexpr wchar_t kTextSection[] = L"LAN";

// What tells one version of a file from another without reading it.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = st.st_mtim;
    stamp.changed = st.st_ctim;
    return stamp;
}

int64_t NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// File times advance in clock ticks: a file written in the tick in which it
// was read may be written again with the very same stamp. Such a stamp proves
// nothing, and the file's bytes are compared until the tick has passed.
bool IsRecent(const FileStamp& stamp) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const auto newest = std::max(stamp.modified.tv_sec, stamp.changed.tv_sec);
    return now.tv_sec - newest < 2;
}

int ParseTextId(std::wstring_view key) {
    // Keys are the id as "%d" writes it: "061" or "+61" are not the key of 61.
    if (key.empty() || key.size() > 9 || (key[0] == L'0' && key.size() > 1)) return -1;
    int id = 0;
    for (wchar_t c : key) {
        if (c < L'0' || c > L'9') return -1;
        id = id * 10 + (c - L'0');
    }
    return id;
}

// One language file, parsed: the texts of section "LAN" by id for the lookups
// the program makes, the whole file for any other section.
struct ParsedFile {
    FileStamp stamp;
    bool recent = false;
    int64_t checkedNs = 0;  // when the stamp was last compared
    std::string bytes;
    IniFile ini;
    std::unordered_map<int, std::wstring> texts;
    bool hasTexts = false;  // a file without texts falls back to English, as a missing one

    void Parse(std::string contents) {
        bytes = std::move(contents);
        ini.Parse(IniFile::Decode(bytes));
        texts.clear();
        // The first value of each id counts, as a lookup of the key finds it.
        ini.VisitEntries(kTextSection, [this](std::wstring_view key, std::wstring_view text) {
            const int id = ParseTextId(key);
            if (id >= 0) texts.try_emplace(id, text.substr(0, kMaxLanguageTextLength));
        });
        hasTexts = !texts.empty();
    }
};

class LanguageCache {
  public:
    // The language file of `lcid` in `programFolder` as it is now; null when it
    // cannot be read.
    std::shared_ptr<const ParsedFile> Get(const std::wstring& programFolder, int lcid) {
        std::lock_guard<std::mutex> lock(m_lock);
        Slot& slot = SlotOf(programFolder, lcid);
        std::shared_ptr<ParsedFile>& entry = slot.file;
        // A file untouched for a while is looked at once a millisecond at most:
        // the stamp costs a system call, more than the lookup itself.
        const int64_t now = NowNs();
        if (entry && !entry->recent && now - entry->checkedNs < kRecheckNs) return entry;
        const FileStamp stamp = StampOf(slot.path);
        if (entry && entry->stamp == stamp && !entry->recent) {
            entry->checkedNs = now;
            return entry;
        }
        std::string bytes;
        if (!stamp.exists || ReadFileBytes(slot.path, bytes, kMaxLanguageFileBytes) != 0) {
            entry.reset();
            return nullptr;
        }
        if (!entry || entry->bytes != bytes) {
            // Lookups of other threads may still hold the old version.
            auto parsed = std::make_shared<ParsedFile>();
            parsed->Parse(std::move(bytes));
            entry = std::move(parsed);
        }
        entry->stamp = stamp;
        entry->recent = IsRecent(stamp);
        entry->checkedNs = now;
        return entry;
    }

    void Clear() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_slots.clear();
    }

  private:
    // One language file: where it is, resolved once, and its parsed contents.
    struct Slot {
        std::wstring folder;
        int lcid = 0;
        std::string path;
        std::shared_ptr<ParsedFile> file;
    };

    Slot& SlotOf(const std::wstring& programFolder, int lcid) {
        for (Slot& slot : m_slots)
            if (slot.lcid == lcid && slot.folder == programFolder) return slot;
        Slot& slot = m_slots.emplace_back();
        slot.folder = programFolder;
        slot.lcid = lcid;
        slot.path = Orvix::WideToUtf8(GetLanguageFilePath(programFolder, lcid));
        return slot;
    }

    std::mutex m_lock;
    std::vector<Slot> m_slots;
};

LanguageCache& GetCache() {
    static LanguageCache cache;
    return cache;
}

struct Observers {
    std::mutex lock;
    int nextHandle = 1;
    std::vector<std::pair<int, std::function<void()>>> list;
};

Observers& GetObservers() {
    static Observers observers;
    return observers;
}

}  // namespace

std::wstring GetLanguageFilePath(const std::wstring& programFolder, int lcid) {
    return LanguageFilePath(programFolder, lcid);
}

std::wstring ReadLanguageText(const std::wstring& programFolder, int lcid, const wchar_t* section, int id) {
    if (!section) return {};
    LanguageCache& cache = GetCache();
    std::shared_ptr<const ParsedFile> file = cache.Get(programFolder, lcid);
    if ((!file || !file->hasTexts) && lcid != kLcidEnglish) file = cache.Get(programFolder, kLcidEnglish);
    if (!file) return {};
    if (std::wstring_view(section) == kTextSection) {
        auto it = file->texts.find(id);
        return it == file->texts.end() ? std::wstring() : it->second;
    }
    std::wstring text;
    if (!file->ini.Get(section, Orvix::FormatW(L"%d", id), text)) return {};
    if (text.size() > kMaxLanguageTextLength) text.resize(kMaxLanguageTextLength);
    return text;
}

std::wstring GetLanguageText(const wchar_t* section, int id) {
    return ReadLanguageText(GetProgramFolder(), GetCurrentLcid(), section, id);
}

void DropLanguageCache() {
    GetCache().Clear();
}

int AddLanguageObserver(std::function<void()> reload) {
    Observers& o = GetObservers();
    std::lock_guard<std::mutex> lock(o.lock);
    o.list.emplace_back(o.nextHandle, std::move(reload));
    return o.nextHandle++;
}

void RemoveLanguageObserver(int handle) {
    Observers& o = GetObservers();
    std::lock_guard<std::mutex> lock(o.lock);
    std::erase_if(o.list, [handle](const auto& entry) { return entry.first == handle; });
}

void NotifyLanguageChanged() {
    DropLanguageCache();
    std::vector<std::pair<int, std::function<void()>>> list;
    {
        // Run outside the lock, so that a reload may add or remove observers.
        Observers& o = GetObservers();
        std::lock_guard<std::mutex> lock(o.lock);
        list = o.list;
    }
    for (const auto& entry : list) entry.second();
}
