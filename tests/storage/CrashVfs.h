#pragma once
// A power cut for SQLite, in process: a VFS over the system's one that keeps, for
// every file it writes, the contents as of that file's last sync and the writes
// made since. Armed, it cuts the power at its Nth write, sync or truncation: that
// call and every later one fails, as on a machine that stopped. Recover() then
// rewrites each file as a disk may hold it after the cut: the synced contents
// plus, for each later write in turn, all of it, some of its 512-byte sectors or
// none. What SQLite promises against exactly that is what the store relies on.
#include <cstdint>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

struct sqlite3_vfs;

class CrashVfs {
  public:
    // Registers the VFS as SQLite's default; connections opened afterwards use it.
    CrashVfs();
    // Puts the system's VFS back as the default.
    ~CrashVfs();
    CrashVfs(const CrashVfs&) = delete;
    CrashVfs& operator=(const CrashVfs&) = delete;

    // The cut happens at the `operation`th write, sync or truncation from now
    // (1 = the next one); 0 disarms.
    void CutAt(long operation);
    bool HasCut() const;
    // Writes, syncs and truncations since the last CutAt.
    long Operations() const;

    // Counts what is on disk now as synced and forgets files that are gone.
    void Settle();

    // After a cut, with every connection closed: each file as the disk may keep
    // it. The power is back afterwards and everything on disk counts as synced.
    void Recover(std::mt19937& random);

    // The files' state, for the VFS methods.
    struct File;
    // A write (or, with `truncate`, a truncation to `offset`) about to be made;
    // false when the power is cut.
    bool BeforeChange(const std::string& path, int64_t offset, const void* data, int size, bool truncate);
    bool BeforeSync(const std::string& path);
    void Synced(const std::string& path);
    void Deleted(const std::string& path);
    // Called at each open: takes the file's contents on disk as synced the first time.
    void Opened(const std::string& path);
    bool IsCut() const { return HasCut(); }

  private:
    struct Change {
        bool truncate = false;
        int64_t offset = 0;
        std::string data;
    };
    struct State {
        std::string synced;            // the contents as of the last sync
        std::vector<Change> pending;   // made since, in order
    };
    bool CountOperation();
    static void Apply(std::string& contents, const Change& change);

    mutable std::mutex m_lock;
    std::map<std::string, State> m_files;
    long m_cutAt = 0;
    long m_operations = 0;
    bool m_cut = false;
    sqlite3_vfs* m_vfs = nullptr;
    sqlite3_vfs* m_system = nullptr;
};
