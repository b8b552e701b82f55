#include "storage/SQLiteDB.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "base/TextConv.h"
#include "base/Trace.h"

namespace {
std::atomic<int> g_busyTimeoutMs{SQLiteDB::kBusyTimeoutMs};
}  // namespace

void SQLiteDB::SetBusyTimeout(int ms) {
    g_busyTimeoutMs = ms;
}

int SQLiteDB::GetBusyTimeout() {
    return g_busyTimeoutMs.load();
}

void SQLiteDB::SetBusyWait(int ms) {
    m_busyWaitMs = ms;
    m_busyUntil.reset();
}

int SQLiteDB::OnBusy(void* self, int tries) {
    auto* db = static_cast<SQLiteDB*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (!db->m_busyUntil) db->m_busyUntil = now + std::chrono::milliseconds(db->m_busyWaitMs);
    if (now >= *db->m_busyUntil) return 0;
    // Short sleeps first, for the usual lock of a few milliseconds.
    const auto pause = std::min<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(std::min(1 << std::min(tries, 6), 50)), *db->m_busyUntil - now);
    std::this_thread::sleep_for(pause);
    return 1;
}

void SQLiteDB::NoteOutcome(int result) {
    if ((result & 0xFF) != SQLITE_BUSY) m_busyUntil.reset();
}

SQLiteDB::~SQLiteDB() {
    Close();
}

bool SQLiteDB::Open(const char* path, int flags) {
    Close();
    if (path == nullptr) return false;
    const int result = sqlite3_open_v2(path, &m_db, flags, nullptr);
    if (result != SQLITE_OK) {
        Vantorel::Trace("sqlite: cannot open %s (%d)", path, result);
        m_openError = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(result);
        // sqlite3_open_v2 may hand out a handle even when it fails.
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    m_busyWaitMs = g_busyTimeoutMs.load();
    m_busyUntil.reset();
    sqlite3_busy_handler(m_db, &SQLiteDB::OnBusy, this);
    // A power cut or a system crash must not take settings with it: a commit
    // returns once it is on the disk.
    Exec("PRAGMA synchronous = FULL; ");
    return true;
}

namespace {
// The store is used from two threads: both counters are atomic.
struct FaultCounter {
    std::atomic<long> killAt{0};
    std::atomic<long> count{0};
};
FaultCounter& Faults() {
    static FaultCounter faults;
    static const bool fromEnvironment = [] {
        if (const char* text = std::getenv("VANTOREL_STORE_KILL_AT"))
            faults.killAt = std::strtol(text, nullptr, 10);
        return true;
    }();
    (void)fromEnvironment;
    return faults;
}
}  // namespace

void SQLiteFaultPoint() {
    FaultCounter& faults = Faults();
    const long killAt = faults.killAt.load();
    if (killAt > 0 && ++faults.count == killAt) std::raise(SIGKILL);
}

void SQLiteSetKillAt(long statement) {
    FaultCounter& faults = Faults();
    faults.count = 0;
    faults.killAt = statement;
}

bool SQLiteDB::Close() {
    if (m_db == nullptr) return true;
    if (sqlite3_close(m_db) != SQLITE_OK) return false;
    m_db = nullptr;
    return true;
}

int SQLiteDB::Exec(const char* sql, RowCallback callback, void* arg) {
    if (m_db == nullptr || sql == nullptr) return SQLITE_MISUSE;
    SQLiteFaultPoint();
    const int result = sqlite3_exec(m_db, sql, callback, arg, nullptr);
    NoteOutcome(result);
    return result;
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length) {
    statement.Finalize();
    if (m_db == nullptr || sql == nullptr) return SQLITE_MISUSE;
    if (length < 0) length = static_cast<int>(std::strlen(sql)) + 1;
    statement.m_owner = this;
    const int result = sqlite3_prepare_v2(m_db, sql, length, &statement.m_stmt, nullptr);
    NoteOutcome(result);
    return result;
}

int64_t SQLiteDB::LastInsertRowId() const {
    if (m_db == nullptr) return -1;
    return sqlite3_last_insert_rowid(m_db);
}

std::string SQLiteDB::ErrorMessage(int result) const {
    if (m_db == nullptr || sqlite3_errcode(m_db) == SQLITE_OK) return sqlite3_errstr(result);
    return sqlite3_errmsg(m_db);
}

bool SQLiteDB::InTransaction() const {
    return m_db != nullptr && sqlite3_get_autocommit(m_db) == 0;
}

SQLiteParam::SQLiteParam(const std::wstring& value) : isText(true), text(Orvix::WideToUtf8(value)) {}

SQLiteStatement::~SQLiteStatement() {
    Finalize();
}

int SQLiteStatement::Finalize() {
    // sqlite3_finalize releases the statement even when it reports the error of
    // an earlier step, so the handle is dropped in every case.
    const int result = sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    return result;
}

int SQLiteStatement::BindInt(int index, int32_t value) {
    if (m_stmt == nullptr) return SQLITE_MISUSE;
    return sqlite3_bind_int(m_stmt, index, value);
}

int SQLiteStatement::BindText(int index, const char* text, int bytes) {
    if (m_stmt == nullptr) return SQLITE_MISUSE;
    return sqlite3_bind_text(m_stmt, index, text, bytes, SQLITE_STATIC);
}

int SQLiteStatement::BindAll(std::initializer_list<SQLiteParam> params) {
    int index = 1;
    for (const SQLiteParam& param : params) {
        const int result = param.isText
                               ? BindText(index, param.text.data(), static_cast<int>(param.text.size()))
                               : BindInt(index, param.number);
        if (result != SQLITE_OK) return result;
        ++index;
    }
    return SQLITE_OK;
}

int SQLiteStatement::Step() {
    if (m_stmt == nullptr) return SQLITE_MISUSE;
    if (!sqlite3_stmt_readonly(m_stmt)) SQLiteFaultPoint();
    const int result = sqlite3_step(m_stmt);
    if (m_owner != nullptr) m_owner->NoteOutcome(result);
    return result;
}

int SQLiteStatement::ColumnInt(int index) const {
    if (m_stmt == nullptr) return 0;
    return sqlite3_column_int(m_stmt, index);
}

const char* SQLiteStatement::ColumnText(int index) const {
    if (m_stmt == nullptr) return nullptr;
    return reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
}

std::wstring SQLiteStatement::ColumnWide(int index) const {
    const char* text = ColumnText(index);
    return text != nullptr ? Orvix::Utf8ToWide(text) : std::wstring();
}

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* db) : m_db(db) {
    if (m_db == nullptr) return;
    m_active = true;
    if (m_db->IsOpen()) m_db->Exec("BEGIN");
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
    if (!m_active || m_db == nullptr) return;
    if (m_db->IsOpen()) m_db->Exec("END");
    m_active = false;
}

bool SQLiteAutoTransaction::Begin() {
    if (m_db == nullptr || m_active) return false;
    m_active = true;
    if (!m_db->IsOpen()) return false;
    return m_db->Exec("BEGIN") == SQLITE_OK;
}

bool SQLiteAutoTransaction::Commit() {
    if (m_db == nullptr) return false;
    m_active = false;
    if (!m_db->IsOpen()) return false;
    return m_db->Exec("END") == SQLITE_OK;
}
