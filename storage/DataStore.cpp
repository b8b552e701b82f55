#include "storage/DataStore.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <set>
#include <utility>

#include "base/TextConv.h"
#include "base/AppContext.h"
#include "base/Folders.h"
#include "base/ParseInt.h"
#include "base/Trace.h"
#include "storage/ConfigDefaults.h"

namespace {

// Ten tables and nine indexes. Column order matters: list reads use SELECT * and
// take the columns by position. They run only when the file is created.
const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "key TEXT, value TEXT)",
    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
    "status INTEGER, app TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)",
    "CREATE TABLE IF NOT EXISTS t_text_data(text_id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
    "status INTEGER, content TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS textindex ON t_text_data(text_id)",
    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, macro_type INTEGER, "
    "macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT)",
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)",
    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, "
    "macro_desc TEXT, param TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)",
    "CREATE TABLE IF NOT EXISTS t_key_textdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, type INTEGER, "
    "text_caption TEXT, text_desc TEXT)",
    "CREATE INDEX IF NOT EXISTS t_key_textdataindex ON t_key_textdata(macro_value)",
    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
    "play_type INTEGER, play_times INTEGER, delay_type INTEGER, delay_time INTEGER)",
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)",
    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, macro_id INTEGER, "
    "type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time INTEGER)",
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)",
    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, direction INTEGER, colorful INTEGER, "
    "colorindex INTEGER, color_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)",
    "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, light_id INTEGER, key_code INTEGER, key_rgb INTEGER)",
    "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id)",
};

// Indexes for the lookups the pages make (a macro's events in order, a setting
// of a profile, a button of a profile, a lighting mode of a profile); added to
// new files and, without a word, to older files at their next open.
const char* const kLookupIndexes[] = {
    "CREATE INDEX IF NOT EXISTS macrorecord_macro ON t_macrorecord(macro_id, record_index)",
    "CREATE INDEX IF NOT EXISTS configdata_profile_key ON t_configdata(profile, key)",
    "CREATE INDEX IF NOT EXISTS keymacro_profile_key ON t_key_macro_data(profile, fn_layer, key_code)",
    "CREATE INDEX IF NOT EXISTS lightdata_profile_mode ON t_light_data(profile, mode)",
};

// The object a schema statement creates: the word after "IF NOT EXISTS".
std::string CreatedName(const char* statement) {
    std::string text = statement;
    const std::string marker = "IF NOT EXISTS ";
    const size_t start = text.find(marker) + marker.size();
    return text.substr(start, text.find_first_of(" (", start) - start);
}

bool IsWriteSuccess(int result) {
    return result == SQLITE_OK || result == SQLITE_ROW || result == SQLITE_DONE;
}

bool IsBusyResult(int result) {
    return (result & 0xFF) == SQLITE_BUSY;
}

// Failures of the file rather than of one statement: they make the store unusable.
bool IsStoreFailure(int result) {
    switch (result & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_READONLY:
        case SQLITE_IOERR:
        case SQLITE_CORRUPT:
        case SQLITE_FULL:
        case SQLITE_CANTOPEN:
        case SQLITE_NOTADB:
        case SQLITE_PERM:
        case SQLITE_NOMEM:
        case SQLITE_MISUSE:
            return true;
        default:
            return false;
    }
}

std::string DateStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// Temporary files of creations that were killed before they linked their file
// into place; those of a process that still runs are left alone.
void RemoveStaleCreations(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const std::string prefix = target.filename().string() + ".new-";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(target.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix)) continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) continue;
        fs::remove(entry.path(), error);
    }
}

}  // namespace

std::wstring ProfileDisplayName(const std::wstring& stored, int languageId) {
    if (languageId != kLcidEnglish) return stored;
    // Profiles created under another language keep their default name prefix.
    for (const std::wstring_view prefix : {L"配置", L"配寘", L"Perfil"}) {
        if (stored.starts_with(prefix)) return L"Profile " + stored.substr(prefix.size());
    }
    return stored;
}

std::string DatabasePathFor(const std::wstring& userDataFolder, const std::wstring& deviceAttr) {
    // device_attr comes from a data file: it must stay a plain file-name stem.
    if (!IsPlainFileStem(deviceAttr)) return {};
    std::wstring path = userDataFolder;
    if (!path.empty() && path.back() != L'/') path += L'/';
    path += L"db/" + deviceAttr + L"_data1.db";
    return Orvix::WideToUtf8(path);
}

DataStore& DataStore::Instance() {
    static DataStore store;
    return store;
}

DataStore::~DataStore() {
    CloseLocked();
    m_path.clear();
}

bool DataStore::OpenForDevice(const std::wstring& userDataFolder, const std::wstring& deviceAttr,
                              const std::wstring& profileText) {
    const std::lock_guard lock(m_lock);
    const std::string path = DatabasePathFor(userDataFolder, deviceAttr);
    // A connection left open on another model's file must not answer for this one.
    if (m_db.IsOpen() && path != m_path) CloseLocked();
    m_path = path;
    if (path.empty()) {
        Vantorel::Trace("store: rejected device_attr %s", Orvix::WideToUtf8(deviceAttr).c_str());
        SetUnusable("the model name \"" + Orvix::WideToUtf8(deviceAttr) + "\" cannot name a store file");
        m_opened = false;
        return false;
    }
    if (m_db.IsOpen()) {
        m_opened = true;
    } else {
        m_opened = OpenChecked(path, profileText);
        if (!m_opened) m_db.Close();
    }
    if (m_opened) {
        m_unusable = false;
        m_busy = false;
        m_unusableNoticePending = false;
    }
    Vantorel::Trace("store: open %s -> %d", path.c_str(), m_opened ? 1 : 0);
    return m_opened;
}

bool DataStore::OpenChecked(const std::string& path, const std::wstring& profileText) {
    RemoveStaleCreations(path);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            SetUnusable("cannot reach " + path + ": " + std::strerror(errno));
            return false;
        }
        return CreateWhole(path, profileText);
    }
    // A folder, FIFO or device in its place is no database; opening one could block.
    if (!S_ISREG(info.st_mode))
        return MoveAside(path, "it is not a regular file") && CreateWhole(path, profileText);
    if (!m_db.Open(path.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX)) {
        SetUnusable("cannot open " + path + ": " + m_db.OpenError());
        return false;
    }
    // quick_check reads every page: a file of random bytes, a truncated or
    // damaged one fails here rather than at some later write.
    std::string verdict;
    int result = SQLITE_OK;
    {
        SQLiteStatement check;
        result = m_db.Prepare(check, "PRAGMA quick_check(1)");
        if (result == SQLITE_OK) result = check.Step();
        if (result == SQLITE_ROW && check.ColumnText(0) != nullptr) verdict = check.ColumnText(0);
    }
    const int primary = result & 0xFF;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || (result == SQLITE_ROW && verdict != "ok")) {
        const std::string why = verdict.empty() ? m_db.ErrorMessage(result) : verdict;
        m_db.Close();
        return MoveAside(path, why) && CreateWhole(path, profileText);
    }
    if (result != SQLITE_ROW) {
        if (IsBusyResult(result))
            SetBusy();
        else
            SetUnusable("cannot read " + path + ": " + m_db.ErrorMessage(result));
        return false;
    }
    std::string added;
    if (!Repair(profileText, added)) return false;
    if (!added.empty()) {
        Vantorel::Trace("store: repaired %s: %s", path.c_str(), added.c_str());
        NoteRepair("added back " + added);
    }
    UseWriteAheadLog();
    return true;
}

bool DataStore::CreateWhole(const std::string& path, const std::wstring& profileText) {
    // Built aside and linked into place, so that a process killed at any moment
    // leaves no file or a whole one, and one of two processes creating the same
    // file at once wins.
    const std::string temp = path + ".new-" + std::to_string(::getpid());
    constexpr const char* kSideFiles[] = {"", "-journal", "-wal", "-shm"};
    for (const char* suffix : kSideFiles) ::unlink((temp + suffix).c_str());
    if (!m_db.Open(temp.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX)) {
        SetUnusable("cannot create " + path + ": " + m_db.OpenError());
        return false;
    }
    // Kept in the file's header: every later connection writes ahead to the log.
    m_db.Exec("PRAGMA journal_mode = WAL");
    bool built = Atomically([&] {
        if (!CreateSchema()) return false;
        return profileText.empty() || InitProfilesLocked(profileText) > 0;
    });
    built = m_db.Close() && built;
    // Closing the last connection folded the log into the file and removed it.
    const int linkError = built && ::link(temp.c_str(), path.c_str()) != 0 ? errno : 0;
    for (const char* suffix : kSideFiles) ::unlink((temp + suffix).c_str());
    if (!built || (linkError != 0 && linkError != EEXIST)) {
        SetUnusable("cannot create " + path +
                    (linkError ? std::string(": ") + std::strerror(linkError) : ""));
        return false;
    }
    // EEXIST: another process created it meanwhile; that file is used.
    if (!m_db.Open(path.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX)) {
        SetUnusable("cannot open " + path + ": " + m_db.OpenError());
        return false;
    }
    return true;
}

bool DataStore::MoveAside(const std::string& path, const std::string& why) {
    std::string aside = path + ".damaged-" + DateStamp();
    for (int n = 2; ::access(aside.c_str(), F_OK) == 0; ++n)
        aside = path + ".damaged-" + DateStamp() + "-" + std::to_string(n);
    if (::rename(path.c_str(), aside.c_str()) != 0) {
        SetUnusable(path + " is damaged (" + why + ") and cannot be moved aside: " + std::strerror(errno));
        return false;
    }
    // A journal or log left beside it belongs to the damaged file, never to the new one.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        ::rename((path + suffix).c_str(), (aside + suffix).c_str());
    Vantorel::Trace("store: %s moved aside to %s (%s)", path.c_str(), aside.c_str(), why.c_str());
    m_notice = StoreNotice{StoreNotice::Kind::MovedAside, path, aside, why};
    return true;
}

bool DataStore::Repair(const std::wstring& profileText, std::string& added) {
    std::set<std::string> present;
    ReadRows("SELECT name FROM sqlite_master", {},
             [&](const SQLiteStatement& row) { present.insert(row.ColumnText(0) ? row.ColumnText(0) : ""); });
    std::vector<const char*> missingSchema, missingLookups;
    for (const char* statement : kSchema)
        if (!present.contains(CreatedName(statement))) missingSchema.push_back(statement);
    for (const char* statement : kLookupIndexes)
        if (!present.contains(CreatedName(statement))) missingLookups.push_back(statement);

    std::vector<std::string> notes;
    if (missingSchema.size() == std::size(kSchema))
        notes.push_back("the tables");
    else
        for (const char* statement : missingSchema) notes.push_back(CreatedName(statement));
    auto work = [&]() -> bool {
        for (const char* statement : missingSchema)
            if (m_db.Exec(statement) != SQLITE_OK) return false;
        for (const char* statement : missingLookups)
            if (m_db.Exec(statement) != SQLITE_OK) return false;
        std::vector<ProfileData> profiles;
        ListProfiles(profiles, 0);
        if (profiles.empty()) {
            if (profileText.empty()) return DeleteOrphans();
            bool again = false;
            if (InitProfilesLocked(profileText, &again) == 0) return false;
            if (again) notes.push_back("the profiles, deleted outside the program");
            return true;
        }
        int rows = 0;
        for (const ProfileData& profile : profiles) {
            std::set<std::wstring> keys;
            ReadRows("SELECT key FROM t_configdata WHERE profile = ?", {profile.profile},
                     [&](const SQLiteStatement& row) { keys.insert(row.ColumnWide(0)); });
            for (const ConfigDefault& row : kConfigDefaults) {
                if (keys.contains(row.key)) continue;
                if (Insert("INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);",
                           {profile.profile, row.key, row.insertValue}) == 0)
                    return false;
                ++rows;
            }
        }
        if (rows > 0) notes.push_back(std::to_string(rows) + " settings rows");
        const std::wstring text = profileText.empty() ? L"Profile" : profileText;
        for (size_t number = profiles.size() + 1; number <= 4; ++number) {
            ProfileData record;
            record.name = Orvix::FormatW(L"%ls %d", text.c_str(), static_cast<int>(number));
            if (AddProfile(record) == 0) return false;
            notes.push_back("profile " + std::to_string(number));
        }
        int active = 0;
        ReadRow("SELECT count(*) FROM t_profile_data WHERE status = 1", {},
                [&](const SQLiteStatement& row) { active = row.ColumnInt(0); });
        if (active != 1) {
            // None active: the first; several: the first of them stays.
            const int32_t keep = active == 0 ? profiles.front().profile : GetActiveProfile();
            if (!SetActiveProfile(keep)) return false;
            notes.push_back("the active profile");
        }
        // The rows of profiles made again are gone with their profiles.
        return DeleteOrphans();
    };
    // Read first: a whole file is opened without taking the write lock.
    bool whole = missingSchema.empty() && missingLookups.empty() && present.contains("t_configdata") &&
                 present.contains("t_profile_data");
    if (whole) {
        int profiles = 0, rows = 0, active = 0;
        ReadRow("SELECT count(*), sum(status = 1) FROM t_profile_data", {}, [&](const SQLiteStatement& row) {
            profiles = row.ColumnInt(0);
            active = row.ColumnInt(1);
        });
        ReadRow("SELECT count(*) FROM t_configdata c JOIN t_profile_data p ON c.profile = p.profile", {},
                [&](const SQLiteStatement& row) { rows = row.ColumnInt(0); });
        whole = profiles == 0 ? profileText.empty()
                              : profiles >= 4 && active == 1 &&
                                    rows >= profiles * static_cast<int>(kConfigDefaults.size());
        whole = whole && CountOrphans() == 0;
    }
    if (whole) return true;
    if (!Atomically(work)) {
        if (!m_unusable) SetUnusable("cannot repair " + m_path);
        return false;
    }
    for (const std::string& note : notes) added += (added.empty() ? "" : ", ") + note;
    return true;
}

bool DataStore::CreateSchema() {
    bool all = true;
    for (const char* statement : kSchema) all = (m_db.Exec(statement) == SQLITE_OK) && all;
    for (const char* statement : kLookupIndexes) all = (m_db.Exec(statement) == SQLITE_OK) && all;
    return all;
}

StoreNotice DataStore::TakeOpenNotice() {
    const std::lock_guard lock(m_lock);
    return std::exchange(m_notice, StoreNotice{});
}

bool DataStore::HasNotice() const {
    const std::lock_guard lock(m_lock);
    return m_notice.kind != StoreNotice::Kind::None;
}

void DataStore::NoteRepair(const std::string& what) {
    // A move aside says more than any repair of the new file after it.
    if (m_notice.kind == StoreNotice::Kind::MovedAside) return;
    if (m_notice.kind == StoreNotice::Kind::Repaired) {
        m_notice.detail += "; " + what;
        return;
    }
    m_notice = StoreNotice{StoreNotice::Kind::Repaired, m_path, {}, what};
}

bool DataStore::IsBusy() const {
    const std::lock_guard lock(m_lock);
    return m_unusable && m_busy;
}

void DataStore::SetBusy() {
    // The time-out was waited once; until a write goes through again, the next
    // statements fail at once rather than each wait it anew.
    m_busy = true;
    m_db.SetBusyWait(0);
    SetUnusable("store busy: another program has held " + m_path + " locked for more than " +
                std::to_string((SQLiteDB::GetBusyTimeout() + 999) / 1000) + " s");
}

void DataStore::UseWriteAheadLog() {
    std::string mode;
    ReadRow("PRAGMA journal_mode", {}, [&](const SQLiteStatement& row) {
        if (row.ColumnText(0)) mode = row.ColumnText(0);
    });
    if (mode == "wal") return;
    // A file of an older version: changed while no other program has it open,
    // otherwise at a later open.
    m_db.SetBusyWait(0);
    const int result = m_db.Exec("PRAGMA journal_mode = WAL");
    m_db.SetBusyWait(SQLiteDB::GetBusyTimeout());
    Vantorel::Trace("store: %s to a write-ahead log -> %d", m_path.c_str(), result);
}

bool DataStore::IsUnusable() const {
    const std::lock_guard lock(m_lock);
    return m_unusable;
}

std::string DataStore::GetUnusableReason() const {
    const std::lock_guard lock(m_lock);
    return m_unusable ? m_unusableReason : std::string();
}

bool DataStore::TakeUnusableNotice(std::string& reason) {
    const std::lock_guard lock(m_lock);
    if (!m_unusableNoticePending) return false;
    m_unusableNoticePending = false;
    reason = m_unusableReason;
    return true;
}

bool DataStore::CheckWritable() {
    const std::lock_guard lock(m_lock);
    if (m_db.InTransaction()) return true;
    const int result = m_db.Exec("BEGIN IMMEDIATE");
    NoteResult(result, true);
    if (result != SQLITE_OK) return false;
    m_db.Exec("ROLLBACK");
    return true;
}

void DataStore::SetUnusable(const std::string& reason) {
    if (!m_unusable) m_unusableNoticePending = true;
    m_unusable = true;
    m_unusableReason = reason;
    Vantorel::Trace("store unusable: %s", reason.c_str());
}

void DataStore::NoteResult(int result, bool write) {
    if (IsWriteSuccess(result)) {
        // A write that went through ends the condition, told or not.
        if (write) {
            m_unusable = m_unusableNoticePending = false;
            if (m_busy) m_db.SetBusyWait(SQLiteDB::GetBusyTimeout());
            m_busy = false;
        }
        return;
    }
    if (!IsStoreFailure(result)) return;
    if (IsBusyResult(result)) {
        SetBusy();
        return;
    }
    if ((result & 0xFF) == SQLITE_MISUSE && !m_db.IsOpen())
        SetUnusable(m_path.empty() ? "no store is open" : "the store " + m_path + " is not open");
    else
        SetUnusable(m_db.ErrorMessage(result));
}

bool DataStore::Atomically(const std::function<bool()>& work) {
    const std::lock_guard lock(m_lock);
    if (m_db.InTransaction()) return work();  // part of the caller's transaction
    const int begun = m_db.Exec("BEGIN IMMEDIATE");
    NoteResult(begun, true);
    if (begun != SQLITE_OK) return false;
    if (work()) {
        const int committed = m_db.Exec("COMMIT");
        NoteResult(committed, true);
        if (committed == SQLITE_OK) return true;
    }
    m_db.Exec("ROLLBACK");
    return false;
}

void DataStore::CloseIfOpen() {
    const std::lock_guard lock(m_lock);
    CloseLocked();
}

void DataStore::CloseLocked() {
    // Also closes a connection whose schema creation failed (opened flag clear).
    m_db.Close();
    m_opened = false;
}

bool DataStore::IsOpened() const {
    const std::lock_guard lock(m_lock);
    return m_opened;
}

std::string DataStore::GetPath() const {
    const std::lock_guard lock(m_lock);
    return m_path;
}

bool DataStore::RunInTransaction(const std::function<bool()>& work) {
    const std::lock_guard lock(m_lock);
    if (!m_db.IsOpen() || m_db.InTransaction()) {
        NoteResult(SQLITE_MISUSE, true);
        return false;
    }
    return Atomically(work);
}

bool DataStore::Write(const char* sql, Params params) {
    const std::lock_guard lock(m_lock);
    SQLiteStatement statement;
    int result = m_db.Prepare(statement, sql);
    if (result == SQLITE_OK) result = statement.BindAll(params);
    if (result == SQLITE_OK) result = statement.Step();
    NoteResult(result, true);
    return IsWriteSuccess(result);
}

int32_t DataStore::Insert(const char* sql, Params params) {
    const std::lock_guard lock(m_lock);
    if (!Write(sql, params)) return 0;
    return static_cast<int32_t>(m_db.LastInsertRowId());
}

bool DataStore::ReadRow(const char* sql, Params params, const RowReader& read) {
    const std::lock_guard lock(m_lock);
    SQLiteStatement statement;
    int result = m_db.Prepare(statement, sql);
    if (result == SQLITE_OK) result = statement.BindAll(params);
    if (result == SQLITE_OK) result = statement.Step();
    NoteResult(result, false);
    if (result != SQLITE_ROW) return false;
    read(statement);
    return true;
}

int DataStore::ReadRows(const char* sql, Params params, const RowReader& read) {
    const std::lock_guard lock(m_lock);
    SQLiteStatement statement;
    int result = m_db.Prepare(statement, sql);
    if (result == SQLITE_OK) result = statement.BindAll(params);
    int count = 0;
    while (result == SQLITE_OK || result == SQLITE_ROW) {
        result = statement.Step();
        if (result != SQLITE_ROW) break;
        read(statement);
        ++count;
    }
    NoteResult(result, false);
    return count;
}

// ---- configuration rows ----

bool DataStore::GetConfigValue(int32_t profile, const std::wstring& key, std::wstring& value) {
    value.clear();
    return ReadRow("SELECT value FROM t_configdata WHERE profile = ? and key = ?", {profile, key},
                   [&](const SQLiteStatement& row) { value = row.ColumnWide(0); });
}

bool DataStore::SetConfigValue(int32_t profile, const std::wstring& key, const std::wstring& value) {
    return Write("UPDATE t_configdata SET value = ? WHERE profile = ? and key = ?", {value, profile, key});
}

bool DataStore::InsertDefaultConfig(int32_t profile) {
    return Atomically([&] {
        for (const ConfigDefault& row : kConfigDefaults) {
            if (Insert("INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);",
                       {profile, row.key, row.insertValue}) == 0)
                return false;
        }
        return true;
    });
}

bool DataStore::ResetConfigToDefaults(int32_t profile) {
    return Atomically([&] {
        for (const ConfigDefault& row : kConfigDefaults) {
            if (row.resetValue != nullptr && !SetConfigValue(profile, row.key, row.resetValue)) return false;
        }
        return true;
    });
}

bool DataStore::StoreConfigValues(int32_t profile,
                                  const std::vector<std::pair<std::wstring, std::wstring>>& values) {
    const std::lock_guard lock(m_lock);
    std::map<std::wstring, std::wstring> stored;
    ReadRows("SELECT key, value FROM t_configdata WHERE profile = ?", {profile},
             [&](const SQLiteStatement& row) { stored.emplace(row.ColumnWide(0), row.ColumnWide(1)); });
    std::vector<const std::pair<std::wstring, std::wstring>*> changed;
    for (const auto& value : values) {
        // A key without a row is never written (an update inserts nothing).
        const auto found = stored.find(value.first);
        if (found != stored.end() && found->second != value.second) changed.push_back(&value);
    }
    // What is read back unchanged is no write: a reader never waits for the lock.
    if (changed.empty()) return true;
    return Atomically([&] {
        for (const auto* value : changed)
            if (!SetConfigValue(profile, value->first, value->second)) return false;
        return true;
    });
}

int DataStore::LoadCheckedConfig(int32_t profile, std::map<std::wstring, std::wstring>& values) {
    const std::lock_guard lock(m_lock);
    values.clear();
    // The first row of a key, as GetConfigValue reads it.
    ReadRows("SELECT key, value FROM t_configdata WHERE profile = ?", {profile},
             [&](const SQLiteStatement& row) { values.emplace(row.ColumnWide(0), row.ColumnWide(1)); });
    std::vector<std::pair<std::wstring, std::wstring>> repairs;  // key, the value found
    for (auto& [key, value] : values) {
        const ConfigDefault* row = FindConfigDefault(key);
        if (!row || IsStoredValueValid(*row, value)) continue;
        repairs.emplace_back(key, value);
        value = row->insertValue;
    }
    // The active level must be one in use; the page shows level 0 for another.
    const auto index = values.find(L"dpi_index");
    const auto count = values.find(L"dpi_count");
    if (index != values.end() && count != values.end() && ParseInt(index->second) >= ParseInt(count->second)) {
        if (std::none_of(repairs.begin(), repairs.end(), [](const auto& r) { return r.first == L"dpi_index"; }))
            repairs.emplace_back(L"dpi_index", index->second);
        index->second = L"0";
    }
    if (repairs.empty()) return 0;
    std::string what;
    for (const auto& [key, found] : repairs) {
        what += (what.empty() ? "" : ", ") + Orvix::WideToUtf8(key) + " (" + Orvix::WideToUtf8(found) + ")";
    }
    Vantorel::Trace("store: profile %d values out of range: %s", profile, what.c_str());
    // Sent or not, the values are the defaults; stored back when the store can be written.
    Atomically([&] {
        for (const auto& repair : repairs)
            if (!SetConfigValue(profile, repair.first, values[repair.first])) return false;
        return true;
    });
    NoteRepair("put back the defaults of values out of range in profile " + std::to_string(profile) + ": " +
               what);
    return int(repairs.size());
}

// ---- profiles ----

int32_t DataStore::AddProfile(const ProfileData& record) {
    int32_t id = 0;
    // The profile and its settings rows come together or not at all.
    const bool added = Atomically([&] {
        id = Insert("INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);",
                    {record.name, 0, record.app, 0});
        return id != 0 && InsertDefaultConfig(id);
    });
    return added ? id : 0;
}

bool DataStore::RenameProfile(int32_t profile, const std::wstring& name) {
    return Write("UPDATE t_profile_data SET name = ? WHERE profile = ?", {name, profile});
}

bool DataStore::SetProfileApp(int32_t profile, const std::wstring& app) {
    // A missing row is a failure: the caller would otherwise believe the rules stored.
    bool exists = false;
    return Atomically([&] {
        ReadRow("SELECT 1 FROM t_profile_data WHERE profile = ?", {profile},
                [&](const SQLiteStatement&) { exists = true; });
        return exists && Write("UPDATE t_profile_data SET app = ? WHERE profile = ?", {app, profile});
    });
}

bool DataStore::GetProfileName(int32_t profile, std::wstring& name, int languageId) {
    name.clear();
    return ReadRow(
        "SELECT name FROM t_profile_data WHERE profile = ?", {profile},
        [&](const SQLiteStatement& row) { name = ProfileDisplayName(row.ColumnWide(0), languageId); });
}

int DataStore::ListProfiles(std::vector<ProfileData>& profiles, int languageId) {
    profiles.clear();
    return ReadRows("SELECT * FROM t_profile_data", {}, [&](const SQLiteStatement& row) {
        ProfileData& record = profiles.emplace_back();
        record.profile = row.ColumnInt(0);
        record.name = ProfileDisplayName(row.ColumnWide(1), languageId);
        record.status = row.ColumnInt(2);
        record.app = row.ColumnWide(3);
        record.type = row.ColumnInt(4);
    });
}

bool DataStore::SetActiveProfile(int32_t profile) {
    // Cleared and set in one step: a process killed between them keeps the
    // previous active profile.
    return Atomically([&] {
        return Write("UPDATE t_profile_data SET status = ?", {0}) &&
               Write("UPDATE t_profile_data SET status = ? WHERE profile = ?", {1, profile});
    });
}

int32_t DataStore::GetActiveProfile() {
    int32_t profile = 0;
    ReadRow("SELECT profile FROM t_profile_data WHERE status = ?", {1},
            [&](const SQLiteStatement& row) { profile = row.ColumnInt(0); });
    return profile;
}

int32_t DataStore::InitProfiles(const std::wstring& profileText) {
    // One lock for the whole rule, so two loads can never both find the store
    // empty and create eight profiles.
    const std::lock_guard lock(m_lock);
    std::vector<ProfileData> profiles;
    if (ListProfiles(profiles, 0) < 1) {
        bool again = false;
        if (InitProfilesLocked(profileText, &again) > 0 && again)
            NoteRepair("made the profiles again, deleted outside the program");
    }
    int32_t active = GetActiveProfile();
    if (active < 1) {
        SetActiveProfile(1);
        active = GetActiveProfile();
    }
    return active;
}

int32_t DataStore::InitProfilesLocked(const std::wstring& profileText, bool* again) {
    // A missing language text must not give names such as " 1".
    const bool blank = profileText.find_first_not_of(L" \t") == std::wstring::npos;
    const std::wstring text = blank ? std::wstring(L"Profile") : profileText;
    // Profile ids are never given twice: a used one means profiles were deleted.
    int32_t lastId = 0;
    ReadRow("SELECT seq FROM sqlite_sequence WHERE name = 't_profile_data'", {},
            [&](const SQLiteStatement& row) { lastId = row.ColumnInt(0); });
    if (again) *again = lastId > 0;
    int32_t first = 0;
    const bool created = Atomically([&] {
        for (int number = 1; number <= 4; ++number) {
            ProfileData record;
            record.name = Orvix::FormatW(L"%ls %d", text.c_str(), number);
            const int32_t id = AddProfile(record);
            if (id == 0) return false;
            if (number == 1) first = id;
        }
        // What the deleted profiles left must not be taken for theirs.
        return SetActiveProfile(first) && (lastId == 0 || DeleteOrphans());
    });
    return created ? first : 0;
}

namespace {
// Rows whose owner is gone; the parameter rows belong to launch and web assignments.
const char* const kOrphans[] = {
    "t_configdata WHERE profile NOT IN (SELECT profile FROM t_profile_data)",
    "t_key_macro_data WHERE profile NOT IN (SELECT profile FROM t_profile_data)",
    "t_light_data WHERE profile NOT IN (SELECT profile FROM t_profile_data)",
    "t_macrorecord WHERE macro_id NOT IN (SELECT macro_id FROM t_macro_data)",
};
}  // namespace

int DataStore::CountOrphans() {
    int count = 0;
    for (const char* rows : kOrphans)
        ReadRow((std::string("SELECT count(*) FROM ") + rows).c_str(), {},
                [&](const SQLiteStatement& row) { count += row.ColumnInt(0); });
    ReadRow(
        "SELECT count(*) FROM t_key_otherdata WHERE macro_value NOT IN (SELECT macro_value FROM "
        "t_key_macro_data WHERE macro_type IN (?, ?))",
        {kKeyTypeLaunch, kKeyTypeWeb}, [&](const SQLiteStatement& row) { count += row.ColumnInt(0); });
    return count;
}

bool DataStore::DeleteOrphans() {
    for (const char* rows : kOrphans)
        if (!Write((std::string("DELETE FROM ") + rows).c_str(), {})) return false;
    return DeleteUnusedParameterRows();
}
