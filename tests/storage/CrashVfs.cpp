#include "CrashVfs.h"

#include <sqlite3.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr int64_t kSector = 512;

struct CrashFile {
    sqlite3_file base;
    CrashVfs* owner;
    std::string* path;  // empty for files without a name (never tracked)
    sqlite3_file* real;
};

CrashFile* Of(sqlite3_file* file) {
    return reinterpret_cast<CrashFile*>(file);
}
sqlite3_file* Real(sqlite3_file* file) {
    return Of(file)->real;
}
bool Tracked(sqlite3_file* file) {
    return !Of(file)->path->empty();
}

int Close(sqlite3_file* file) {
    const int result = Real(file)->pMethods->xClose(Real(file));
    delete Of(file)->path;
    return result;
}
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    if (Of(file)->owner->IsCut()) return SQLITE_IOERR_READ;
    return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    if (Tracked(file) && !Of(file)->owner->BeforeChange(*Of(file)->path, offset, data, amount, false))
        return SQLITE_IOERR_WRITE;
    return Real(file)->pMethods->xWrite(Real(file), data, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    if (Tracked(file) && !Of(file)->owner->BeforeChange(*Of(file)->path, size, nullptr, 0, true))
        return SQLITE_IOERR_TRUNCATE;
    return Real(file)->pMethods->xTruncate(Real(file), size);
}
int Sync(sqlite3_file* file, int) {
    if (!Tracked(file)) return SQLITE_OK;
    if (!Of(file)->owner->BeforeSync(*Of(file)->path)) return SQLITE_IOERR_FSYNC;
    // The disk is simulated: what a sync promises is recorded, not waited for.
    Of(file)->owner->Synced(*Of(file)->path);
    return SQLITE_OK;
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    return Real(file)->pMethods->xFileSize(Real(file), size);
}
int Lock(sqlite3_file* file, int level) {
    return Real(file)->pMethods->xLock(Real(file), level);
}
int Unlock(sqlite3_file* file, int level) {
    return Real(file)->pMethods->xUnlock(Real(file), level);
}
int CheckReservedLock(sqlite3_file* file, int* out) {
    return Real(file)->pMethods->xCheckReservedLock(Real(file), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
    return Real(file)->pMethods->xFileControl(Real(file), op, arg);
}
int SectorSize(sqlite3_file* file) {
    return Real(file)->pMethods->xSectorSize(Real(file));
}
int DeviceCharacteristics(sqlite3_file* file) {
    return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
}
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** out) {
    return Real(file)->pMethods->xShmMap(Real(file), region, size, extend, out);
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return Real(file)->pMethods->xShmLock(Real(file), offset, n, flags);
}
void ShmBarrier(sqlite3_file* file) {
    Real(file)->pMethods->xShmBarrier(Real(file));
}
int ShmUnmap(sqlite3_file* file, int deleteFlag) {
    return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag);
}
// Pages are read, never mapped: every read goes through Read.
int Fetch(sqlite3_file*, sqlite3_int64, int, void** out) {
    *out = nullptr;
    return SQLITE_OK;
}
int Unfetch(sqlite3_file*, sqlite3_int64, void*) {
    return SQLITE_OK;
}

const sqlite3_io_methods kMethods = {
    3,           Close,   Read,      Write,    Truncate,   Sync,       FileSize, Lock, Unlock,
    CheckReservedLock, FileControl, SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier,
    ShmUnmap,    Fetch,   Unfetch,
};

CrashVfs* Owner(sqlite3_vfs* vfs) {
    return static_cast<CrashVfs*>(vfs->pAppData);
}
sqlite3_vfs* System() {
    return sqlite3_vfs_find("unix");
}

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    CrashFile* crash = Of(file);
    crash->base.pMethods = nullptr;
    crash->owner = Owner(vfs);
    crash->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + sizeof(CrashFile));
    const int result = System()->xOpen(System(), name, crash->real, flags, outFlags);
    if (result != SQLITE_OK) return result;
    crash->path = new std::string(name ? name : "");
    if (!crash->path->empty()) crash->owner->Opened(*crash->path);
    crash->base.pMethods = &kMethods;
    return SQLITE_OK;
}
int Delete(sqlite3_vfs* vfs, const char* name, int syncDir) {
    if (Owner(vfs)->IsCut()) return SQLITE_IOERR_DELETE;
    const int result = System()->xDelete(System(), name, syncDir);
    if (result == SQLITE_OK) Owner(vfs)->Deleted(name);
    return result;
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
    return System()->xAccess(System(), name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return System()->xFullPathname(System(), name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) {
    return System()->xDlOpen(System(), name);
}
void DlError(sqlite3_vfs*, int size, char* out) {
    System()->xDlError(System(), size, out);
}
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return System()->xDlSym(System(), handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) {
    System()->xDlClose(System(), handle);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
    return System()->xRandomness(System(), size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
    return System()->xSleep(System(), microseconds);
}
int CurrentTime(sqlite3_vfs*, double* out) {
    return System()->xCurrentTime(System(), out);
}
int GetLastError(sqlite3_vfs*, int size, char* out) {
    return System()->xGetLastError(System(), size, out);
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
    return System()->xCurrentTimeInt64(System(), out);
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

CrashVfs::CrashVfs() : m_system(System()) {
    m_vfs = new sqlite3_vfs{};
    m_vfs->iVersion = 2;
    m_vfs->szOsFile = static_cast<int>(sizeof(CrashFile)) + m_system->szOsFile;
    m_vfs->mxPathname = m_system->mxPathname;
    m_vfs->zName = "crash";
    m_vfs->pAppData = this;
    m_vfs->xOpen = ::Open;
    m_vfs->xDelete = ::Delete;
    m_vfs->xAccess = ::Access;
    m_vfs->xFullPathname = ::FullPathname;
    m_vfs->xDlOpen = ::DlOpen;
    m_vfs->xDlError = ::DlError;
    m_vfs->xDlSym = ::DlSym;
    m_vfs->xDlClose = ::DlClose;
    m_vfs->xRandomness = ::Randomness;
    m_vfs->xSleep = ::Sleep;
    m_vfs->xCurrentTime = ::CurrentTime;
    m_vfs->xGetLastError = ::GetLastError;
    m_vfs->xCurrentTimeInt64 = ::CurrentTimeInt64;
    sqlite3_vfs_register(m_vfs, 1);
}

CrashVfs::~CrashVfs() {
    sqlite3_vfs_unregister(m_vfs);
    sqlite3_vfs_register(m_system, 1);
    delete m_vfs;
}

void CrashVfs::CutAt(long operation) {
    const std::lock_guard lock(m_lock);
    m_cutAt = operation;
    m_operations = 0;
}

bool CrashVfs::HasCut() const {
    const std::lock_guard lock(m_lock);
    return m_cut;
}

long CrashVfs::Operations() const {
    const std::lock_guard lock(m_lock);
    return m_operations;
}

bool CrashVfs::CountOperation() {
    if (m_cut) return false;
    ++m_operations;
    if (m_cutAt > 0 && m_operations >= m_cutAt) m_cut = true;
    return !m_cut;
}

bool CrashVfs::BeforeChange(const std::string& path, int64_t offset, const void* data, int size, bool truncate) {
    const std::lock_guard lock(m_lock);
    if (!CountOperation()) return false;
    Change change;
    change.truncate = truncate;
    change.offset = offset;
    if (!truncate) change.data.assign(static_cast<const char*>(data), static_cast<size_t>(size));
    m_files[path].pending.push_back(std::move(change));
    return true;
}

bool CrashVfs::BeforeSync(const std::string&) {
    const std::lock_guard lock(m_lock);
    return CountOperation();
}

void CrashVfs::Synced(const std::string& path) {
    const std::lock_guard lock(m_lock);
    State& state = m_files[path];
    for (const Change& change : state.pending) Apply(state.synced, change);
    state.pending.clear();
}

void CrashVfs::Deleted(const std::string& path) {
    const std::lock_guard lock(m_lock);
    m_files.erase(path);
}

void CrashVfs::Opened(const std::string& path) {
    const std::lock_guard lock(m_lock);
    if (!m_files.contains(path)) m_files[path].synced = ReadWhole(path);
}

void CrashVfs::Settle() {
    const std::lock_guard lock(m_lock);
    for (auto it = m_files.begin(); it != m_files.end();) {
        std::ifstream in(it->first, std::ios::binary);
        if (!in) {
            it = m_files.erase(it);
            continue;
        }
        it->second.synced = std::string(std::istreambuf_iterator<char>(in), {});
        it->second.pending.clear();
        ++it;
    }
}

void CrashVfs::Apply(std::string& contents, const Change& change) {
    if (change.truncate) {
        contents.resize(static_cast<size_t>(change.offset));
        return;
    }
    const size_t end = static_cast<size_t>(change.offset) + change.data.size();
    if (contents.size() < end) contents.resize(end);
    std::memcpy(contents.data() + change.offset, change.data.data(), change.data.size());
}

void CrashVfs::Recover(std::mt19937& random) {
    const std::lock_guard lock(m_lock);
    for (auto& [path, state] : m_files) {
        if (state.pending.empty()) continue;
        std::string contents = state.synced;
        for (const Change& change : state.pending) {
            const unsigned fate = random() % 3;
            if (fate == 0) continue;  // lost
            if (fate == 1 || change.truncate) {
                Apply(contents, change);
                continue;
            }
            // Torn: some of its sectors reached the disk, others did not.
            for (int64_t start = change.offset; start < change.offset + int64_t(change.data.size());) {
                const int64_t next = std::min<int64_t>((start / kSector + 1) * kSector,
                                                       change.offset + int64_t(change.data.size()));
                if (random() % 2) {
                    Change part;
                    part.offset = start;
                    part.data = change.data.substr(size_t(start - change.offset), size_t(next - start));
                    Apply(contents, part);
                }
                start = next;
            }
        }
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(contents.data(),
                                                                      std::streamsize(contents.size()));
        state.synced = std::move(contents);
        state.pending.clear();
    }
    m_cut = false;
    m_cutAt = 0;
    m_operations = 0;
}
