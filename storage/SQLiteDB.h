#pragma once
// A thin object layer over the SQLite C interface. Results are SQLite result
// codes; SQLITE_MISUSE (21) stands for "nothing open or prepared", so a closed
// store makes every operation fail quietly instead of crashing.
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class SQLiteStatement;

class SQLiteDB {
  public:
    SQLiteDB() = default;
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;
    virtual ~SQLiteDB();

    // Closes whatever is open first; on success makes every commit durable
    // ("PRAGMA synchronous = FULL": with a write-ahead log, one sync of the log
    // per transaction) and makes a call that meets another connection's lock
    // wait for it, up to the busy time-out, rather than fail at once.
    //
    // The time-out is one wait, not one per try: it runs from the first time a
    // call meets the lock until a call gets past it (or finishes without
    // meeting it). Calls that fail on the lock after it ran out fail at once, so
    // a call that tries the lock twice inside (reading the schema, then the
    // table) waits once.
    bool Open(const char* path, int flags);
    static constexpr int kBusyTimeoutMs = 5000;
    // Changes the busy time-out of connections opened afterwards (tests).
    static void SetBusyTimeout(int ms);
    static int GetBusyTimeout();
    // This connection's time-out (0: a lock fails at once); starts a new wait.
    void SetBusyWait(int ms);
    // Why the last Open failed, in words.
    const std::string& OpenError() const { return m_openError; }
    bool Close();
    bool IsOpen() const { return m_db != nullptr; }

    using RowCallback = int (*)(void* arg, int columns, char** values, char** names);
    int Exec(const char* sql, RowCallback callback = nullptr, void* arg = nullptr);

    // A negative length passes the text with its terminating zero byte.
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);
    int64_t LastInsertRowId() const;
    // The connection's last error in words ("database is locked"); the result
    // code's own text when closed.
    std::string ErrorMessage(int result) const;
    // True while a transaction is open on the connection.
    bool InTransaction() const;

  private:
    friend class SQLiteStatement;
    static int OnBusy(void* self, int tries);
    // A call ended: unless it failed on the lock, the next lock starts a new wait.
    void NoteOutcome(int result);

    sqlite3* m_db = nullptr;
    std::string m_openError;
    int m_busyWaitMs = kBusyTimeoutMs;
    std::optional<std::chrono::steady_clock::time_point> m_busyUntil;
};

// Fault injection for crash tests: when the environment names
// VANTOREL_STORE_KILL_AT=N, the process kills itself (SIGKILL) just before its
// Nth writing statement, so a test can stop a run between any two statements.
void SQLiteFaultPoint();
// Sets N in-process (0 turns it off) and restarts the count.
void SQLiteSetKillAt(long statement);

// One bound parameter: integers travel as signed 32-bit values, texts as UTF-8.
// The UTF-8 copy lives in the parameter, which must outlive the statement's steps
// because texts are bound without being copied.
struct SQLiteParam {
    SQLiteParam(int32_t value) : number(value) {}
    SQLiteParam(const std::wstring& text);
    SQLiteParam(const wchar_t* text) : SQLiteParam(std::wstring(text)) {}

    bool isText = false;
    int32_t number = 0;
    std::string text;
};

class SQLiteStatement {
  public:
    SQLiteStatement() = default;
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;
    virtual ~SQLiteStatement();

    // Indices are 1-based. Texts are bound as they stand (no copy): keep them
    // alive until the last Step.
    int BindInt(int index, int32_t value);
    int BindText(int index, const char* text, int bytes);
    // Binds parameters 1..n in order; stops at the first failure and returns its code.
    int BindAll(std::initializer_list<SQLiteParam> params);

    int Step();
    // Indices are 0-based.
    int ColumnInt(int index) const;
    const char* ColumnText(int index) const;
    // The column's UTF-8 text as a wide string; empty for NULL.
    std::wstring ColumnWide(int index) const;

  private:
    friend class SQLiteDB;
    int Finalize();

    sqlite3_stmt* m_stmt = nullptr;
    SQLiteDB* m_owner = nullptr;  // the connection it was prepared on
};

// BEGIN at construction, END when it goes out of scope. There is no rollback:
// ending always commits what was written so far.
class SQLiteAutoTransaction {
  public:
    explicit SQLiteAutoTransaction(SQLiteDB* db);
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;
    virtual ~SQLiteAutoTransaction();

    bool Begin();
    bool Commit();

  private:
    SQLiteDB* m_db = nullptr;
    bool m_active = false;
};
