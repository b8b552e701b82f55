#include "storage/DataStore.h"

#include <sqlite3.h>
#include <unistd.h>

#include "orvix/core/TextConv.h"
#include "platform/AppContext.h"
#include "platform/Folders.h"
#include "platform/Trace.h"
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

bool IsWriteSuccess(int result) {
    return result == SQLITE_OK || result == SQLITE_ROW || result == SQLITE_DONE;
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

bool DataStore::OpenForDevice(const std::wstring& userDataFolder, const std::wstring& deviceAttr) {
    const std::lock_guard lock(m_lock);
    const std::string path = DatabasePathFor(userDataFolder, deviceAttr);
    // A connection left open on another model's file must not answer for this one.
    if (m_db.IsOpen() && path != m_path) CloseLocked();
    m_path = path;
    if (path.empty()) {
        Vantorel::Trace("store: rejected device_attr %s", Orvix::WideToUtf8(deviceAttr).c_str());
        m_opened = false;
        return false;
    }
    if (m_db.IsOpen()) {
        m_opened = true;
    } else if (::access(path.c_str(), F_OK) == 0) {
        m_opened = m_db.Open(path.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX);
    } else {
        m_opened =
            m_db.Open(path.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX) &&
            CreateSchema();
    }
    Vantorel::Trace("store: open %s -> %d", path.c_str(), m_opened ? 1 : 0);
    return m_opened;
}

bool DataStore::CreateSchema() {
    bool all = true;
    for (const char* statement : kSchema) all = (m_db.Exec(statement) == SQLITE_OK) && all;
    return all;
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

bool DataStore::RunInTransaction(const std::function<bool()>& work) {
    const std::lock_guard lock(m_lock);
    if (m_db.Exec("BEGIN") != SQLITE_OK) return false;
    if (work() && m_db.Exec("COMMIT") == SQLITE_OK) return true;
    m_db.Exec("ROLLBACK");
    return false;
}

bool DataStore::Write(const char* sql, Params params) {
    const std::lock_guard lock(m_lock);
    SQLiteStatement statement;
    if (m_db.Prepare(statement, sql) != SQLITE_OK || statement.BindAll(params) != SQLITE_OK) return false;
    return IsWriteSuccess(statement.Step());
}

int32_t DataStore::Insert(const char* sql, Params params) {
    const std::lock_guard lock(m_lock);
    if (!Write(sql, params)) return 0;
    return static_cast<int32_t>(m_db.LastInsertRowId());
}

bool DataStore::ReadRow(const char* sql, Params params, const RowReader& read) {
    const std::lock_guard lock(m_lock);
    SQLiteStatement statement;
    if (m_db.Prepare(statement, sql) != SQLITE_OK || statement.BindAll(params) != SQLITE_OK) return false;
    if (statement.Step() != SQLITE_ROW) return false;
    read(statement);
    return true;
}

int DataStore::ReadRows(const char* sql, Params params, const RowReader& read) {
    const std::lock_guard lock(m_lock);
    SQLiteStatement statement;
    if (m_db.Prepare(statement, sql) != SQLITE_OK || statement.BindAll(params) != SQLITE_OK) return 0;
    int count = 0;
    while (statement.Step() == SQLITE_ROW) {
        read(statement);
        ++count;
    }
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

void DataStore::InsertDefaultConfig(int32_t profile) {
    const std::lock_guard lock(m_lock);
    for (const ConfigDefault& row : kConfigDefaults) {
        Insert("INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);",
               {profile, row.key, row.insertValue});
    }
}

void DataStore::ResetConfigToDefaults(int32_t profile) {
    const std::lock_guard lock(m_lock);
    for (const ConfigDefault& row : kConfigDefaults) {
        if (row.resetValue != nullptr) SetConfigValue(profile, row.key, row.resetValue);
    }
}

// ---- profiles ----

int32_t DataStore::AddProfile(const ProfileData& record) {
    const std::lock_guard lock(m_lock);
    const int32_t id = Insert("INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);",
                              {record.name, 0, record.app, 0});
    // A failed insert must not leave settings rows for profile 0 behind.
    if (id != 0) InsertDefaultConfig(id);
    return id;
}

bool DataStore::RenameProfile(int32_t profile, const std::wstring& name) {
    return Write("UPDATE t_profile_data SET name = ? WHERE profile = ?", {name, profile});
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
    const std::lock_guard lock(m_lock);
    Write("UPDATE t_profile_data SET status = ?", {0});
    return Write("UPDATE t_profile_data SET status = ? WHERE profile = ?", {1, profile});
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
        for (int number = 1; number <= 4; ++number) {
            ProfileData record;
            record.name = Orvix::FormatW(L"%ls %d", profileText.c_str(), number);
            AddProfile(record);
        }
        SetActiveProfile(1);
    }
    int32_t active = GetActiveProfile();
    if (active < 1) {
        SetActiveProfile(1);
        active = GetActiveProfile();
    }
    return active;
}
