#pragma once
// The process-wide data-access object: one SQLite file per device model, every
// table operation a member. Used from the UI thread and the device worker; each
// operation holds the re-entrant store lock for its whole run, so an operation
// may call another and a caller may hold Lock() around several of them.
//
// Failures are quiet: with the store closed, inserts return 0, single-row reads
// report "not found", list reads return empty lists and writes return false.
// Every operation of more than one statement is one transaction, so a process
// killed in the middle leaves the state before it. The file keeps a write-ahead
// log and every commit is synced: a power cut or a system crash loses at most
// the change under way, and readers never wait for a writer. A failure of the
// file itself (locked past the busy time-out, read-only, damaged, full, not
// open) makes the store "unusable" until a write succeeds again; callers ask for
// the reason rather than guess it from a false.
//
// Another program holding the write lock is waited for once, up to the busy
// time-out (5 s); then the store is "busy" and, until a write goes through
// again, later statements fail at once instead of waiting anew, so that no
// command or device task waits the time-out more than once.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "storage/SQLiteDB.h"
#include "base/StoreRecords.h"

// A stored profile name as the lists show it: under English (language id 1033),
// names stored with another language's default prefix are shown as
// "Profile ...". The stored name itself never changes.
std::wstring ProfileDisplayName(const std::wstring& stored, int languageId);

// "<dataFolder>db/<deviceAttr>_data1.db"; empty when deviceAttr could lead out
// of the db folder (a path separator or "..").
std::string DatabasePathFor(const std::wstring& userDataFolder, const std::wstring& deviceAttr);

// What opening a store had to do to a file that was not whole. Taken once.
struct StoreNotice {
    enum class Kind { None, Repaired, MovedAside };
    Kind kind = Kind::None;
    std::string path;     // the store file
    std::string movedTo;  // MovedAside: the damaged file's new name
    std::string detail;   // what was added back, or why the file was moved
};

class DataStore {
  public:
    static DataStore& Instance();

    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    // Opens the file of a device model under the per-user data folder, whose
    // "db" subfolder must exist. A missing file is built whole in a temporary
    // file and linked into place: the schema and, when profileText is given,
    // the four initial profiles ("<profileText> 1" ...) with their settings and
    // profile 1 active. An existing file is checked: what is missing (tables,
    // indexes, settings rows, profiles up to four, the active profile) is added
    // back without touching good rows; a file that is no usable database is
    // renamed "<name>.damaged-<date>" and a new one built. Either is told once
    // through TakeOpenNotice. Rows that belong to no profile, macro or button
    // (left by older versions or by profiles deleted outside the program) are
    // removed without a word. A connection still open on another model's file
    // is closed first; a rejected deviceAttr leaves the store closed.
    bool OpenForDevice(const std::wstring& userDataFolder, const std::wstring& deviceAttr,
                       const std::wstring& profileText = {});
    // The repair or move of the last open, or a repair made since (profiles
    // made again, settings out of range put back to their defaults), once;
    // Kind::None afterwards.
    StoreNotice TakeOpenNotice();
    bool HasNotice() const;

    // True after an open or write failed for a reason of the file itself, until
    // a write succeeds again.
    bool IsUnusable() const;
    std::string GetUnusableReason() const;
    // True once for each time the store becomes unusable, with the reason: the
    // window shows one notice for a condition rather than one per write.
    bool TakeUnusableNotice(std::string& reason);
    // True while another program holds the store locked past the busy time-out.
    bool IsBusy() const;
    // Takes the write lock and lets it go (waiting the busy time-out for another
    // connection): false, and the store unusable, when it cannot be written.
    bool CheckWritable();
    // Closes the connection, also one whose schema creation failed.
    void CloseIfOpen();
    // The result of the last open.
    bool IsOpened() const;
    // The file of the model last opened (UTF-8).
    std::string GetPath() const;

    // For callers that need several operations as one step. Re-entrant.
    void Lock() { m_lock.lock(); }
    void Unlock() { m_lock.unlock(); }
    // Runs work as one transaction under the lock: its writes are committed when
    // it returns true and rolled back, all of them, when it returns false or the
    // commit fails. True when they were committed. RunInTransaction does not
    // nest; the store's own multi-statement operations join it.
    bool RunInTransaction(const std::function<bool()>& work);

    // ---- configuration rows: decimal texts per profile and key ----
    bool GetConfigValue(int32_t profile, const std::wstring& key, std::wstring& value);
    // Never inserts: a key without a row changes nothing and still succeeds.
    bool SetConfigValue(int32_t profile, const std::wstring& key, const std::wstring& value);
    // Both true only when every row was written (one transaction each).
    bool InsertDefaultConfig(int32_t profile);
    bool ResetConfigToDefaults(int32_t profile);
    // Writes those values that differ from the stored ones, in one transaction;
    // nothing at all when every one is as stored. False when a write failed.
    bool StoreConfigValues(int32_t profile, const std::vector<std::pair<std::wstring, std::wstring>>& values);
    // The profile's settings as they may be sent: each value checked against
    // its key's range (ConfigDefaults.h), "dpi_index" also against
    // "dpi_count". A value out of range reads as its default (level 0 for an
    // index beyond the count), which is stored back and told through
    // TakeOpenNotice. Returns the number of values put back.
    int LoadCheckedConfig(int32_t profile, std::map<std::wstring, std::wstring>& values);

    // ---- profiles ----
    // Inserts the profile (inactive) and its default configuration rows.
    int32_t AddProfile(const ProfileData& record);
    bool RenameProfile(int32_t profile, const std::wstring& name);
    // The profile's `app` text: the applications that switch to it
    // (features/AppProfileRules writes and reads it). False also for no such profile.
    bool SetProfileApp(int32_t profile, const std::wstring& app);
    // Names pass through ProfileDisplayName with the given language id.
    bool GetProfileName(int32_t profile, std::wstring& name, int languageId);
    int ListProfiles(std::vector<ProfileData>& profiles, int languageId);
    bool SetActiveProfile(int32_t profile);
    int32_t GetActiveProfile();
    // Run at every device load: a store without profiles gets four, named
    // "<profileText> 1" to "<profileText> 4" ("Profile" when the text is
    // empty), and profile 1 becomes active when none is; all in one
    // transaction. Profiles made again after the store's own were deleted are
    // told through TakeOpenNotice, and the rows the deleted ones left go.
    // Returns the active profile id (0 when the store is closed).
    int32_t InitProfiles(const std::wstring& profileText);

    // ---- button assignments (function layer 0) ----
    // Replaces the button's row; a record with macroValue and macroValue2 both 0
    // only deletes it (the button returns to its default) and returns 0.
    // Delete and insert are one transaction; `stored` tells whether it was
    // written. The parameter row of a launch or web assignment it replaces goes
    // with it (unless another assignment names it).
    int32_t SaveKey(const KeyRecord& record, bool* stored = nullptr);
    // A launch or web assignment with its parameter row, both in one
    // transaction: the row's id becomes the record's macroValue.
    int32_t SaveKeyWithParameters(KeyRecord record, const std::wstring& description, const std::wstring& param,
                                  bool* stored = nullptr);
    bool GetKey(int32_t profile, int32_t keyCode, KeyRecord& record);
    bool SetKeyDescription(int32_t profile, int32_t keyCode, const std::wstring& description);
    int ListKeys(int32_t profile, std::vector<KeyRecord>& keys);
    // The profile's assignments and the parameter rows only they used.
    bool DeleteProfileKeys(int32_t profile);
    int32_t AddKeyOtherData(const std::wstring& description, const std::wstring& param, int32_t type);
    // Always true; the outputs are written only when the row exists.
    bool GetKeyOtherData(int32_t id, std::wstring& description, std::wstring& param, int32_t& type);

    // ---- macros and their events ----
    int32_t AddMacro(const std::wstring& name);
    int32_t AddMacroFull(const std::wstring& name, int32_t playType, int32_t playTimes, int32_t delayType,
                         int32_t delayTime);
    bool RenameMacro(int32_t macroId, const std::wstring& name);
    bool UpdateMacro(int32_t macroId, const std::wstring& name, int32_t playType, int32_t playTimes,
                     int32_t delayType, int32_t delayTime);
    // Deletes the macro and then its events.
    bool DeleteMacro(int32_t macroId);
    bool GetMacro(int32_t macroId, MacroData& record);
    // Row-id order: a macro's position here is its number on the mouse.
    int ListMacros(std::vector<MacroData>& macros);
    int32_t AddMacroRecord(int32_t macroId, int32_t type, int32_t recordIndex, const std::wstring& desc,
                           int32_t value, int32_t delayTime);
    // One transaction for the whole batch; a failed row does not stop the
    // others. True when every row was stored.
    bool AddMacroRecords(std::vector<MacroEvent> events);
    // Sorted by record index.
    int ListMacroRecords(int32_t macroId, std::vector<MacroEvent>& events);
    // The whole library as the mouse's memory is built from it: the macros in
    // ListMacros order, each with its events. The number of macros.
    int ListMacroLibrary(std::vector<int32_t>& macroIds, std::vector<std::vector<MacroEvent>>& events);
    bool DeleteMacroRecords(int32_t macroId);

    // ---- lighting rows, one per mode and profile ----
    int CountLights(int32_t profile);
    int32_t AddLight(const LightData& record);
    // Sets brightness to reserved; name, mode and status stay.
    bool UpdateLight(int32_t profile, int32_t mode, const LightData& record);
    bool SetActiveLightMode(int32_t profile, int32_t mode);
    // 0 when no row is active, the same as an active mode 0.
    int32_t GetActiveLightMode(int32_t profile);
    bool GetLight(int32_t profile, int32_t mode, LightData& record);
    int ListLights(int32_t profile, std::vector<LightData>& lights);

    // ---- text library ----
    int32_t AddText(const TextData& record);
    bool DeleteText(int32_t textId);
    bool RenameText(int32_t textId, const std::wstring& name);
    bool GetTextName(int32_t textId, std::wstring& name);
    bool SetTextContent(int32_t textId, const std::wstring& content);
    bool GetTextContent(int32_t textId, std::wstring& content);
    int ListTexts(std::vector<TextData>& texts);

  private:
    DataStore() = default;
    ~DataStore();

    using Params = std::initializer_list<SQLiteParam>;
    using RowReader = std::function<void(const SQLiteStatement&)>;

    // Each prepares its text anew, binds, steps and finalises, all under the lock.
    bool Write(const char* sql, Params params);
    int32_t Insert(const char* sql, Params params);
    // Calls read for the first row only; true when there is one.
    bool ReadRow(const char* sql, Params params, const RowReader& read);
    // Calls read for every row; returns the number of rows.
    int ReadRows(const char* sql, Params params, const RowReader& read);

    void CloseLocked();
    bool CreateSchema();
    // Runs work in one transaction, or inside the caller's when one is open.
    bool Atomically(const std::function<bool()>& work);
    // Records a result: a failure of the file makes the store unusable, a
    // successful write usable again.
    void NoteResult(int result, bool write);
    void SetUnusable(const std::string& reason);
    // The four initial profiles; `again` tells whether the store had profiles
    // before (deleted since).
    int32_t InitProfilesLocked(const std::wstring& profileText, bool* again = nullptr);
    // Rows of profiles, macros and assignments that no longer exist: counted,
    // and deleted (inside the caller's transaction).
    int CountOrphans();
    bool DeleteOrphans();
    // Parameter rows of launch and web assignments no assignment refers to.
    bool DeleteUnusedParameterRows();
    // The parameter row of a launch or web assignment that is gone, unless
    // another assignment names it.
    bool DeleteParameterRowIfUnused(const KeyRecord& assignment);
    bool GetKeyOnLayer(int32_t profile, int32_t layer, int32_t keyCode, KeyRecord& record);
    // Records a repair to tell (added to one not yet taken).
    void NoteRepair(const std::string& what);
    void SetBusy();
    // Makes the file keep a write-ahead log; false (and nothing changed) when
    // another connection has it open.
    void UseWriteAheadLog();

    // The steps of OpenForDevice.
    bool OpenChecked(const std::string& path, const std::wstring& profileText);
    bool CreateWhole(const std::string& path, const std::wstring& profileText);
    bool MoveAside(const std::string& path, const std::string& why);
    // Adds back what is missing; `added` lists it (empty when the file was whole).
    bool Repair(const std::wstring& profileText, std::string& added);

    SQLiteDB m_db;
    mutable std::recursive_mutex m_lock;
    std::string m_path;
    bool m_opened = false;
    StoreNotice m_notice;
    bool m_unusable = false;
    bool m_busy = false;
    bool m_unusableNoticePending = false;
    std::string m_unusableReason;
};
