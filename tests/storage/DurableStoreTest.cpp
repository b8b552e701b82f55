// A store that survives being killed, damaged or locked: creation and
// multi-statement operations are all-or-nothing, opening repairs what is missing
// or moves a file that is no database aside, and failures of the file are told
// apart from "not found".
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <algorithm>
#include <functional>
#include <random>
#include <thread>

#include "StoreTestSupport.h"
#include "base/AppContext.h"
#include "storage/ConfigDefaults.h"

namespace {

using DurableStore = StoreTest;

// Runs `work` in a child process and waits for it; true when it was killed by
// SIGKILL (the fault hook) rather than ending by itself.
bool KilledInChild(const std::function<void()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// The files of the db folder, without the log and shared-memory files an open
// store keeps beside its file.
long StoreFiles(const std::filesystem::path& folder) {
    return std::count_if(std::filesystem::directory_iterator(folder), {}, [](const auto& entry) {
        const std::string name = entry.path().filename().string();
        return !name.ends_with("-wal") && !name.ends_with("-shm");
    });
}

// A whole store: ten tables, four profiles with their 40 rows, one active.
std::string WholeStoreSummary(const std::function<std::string(const char*)>& query) {
    return query("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name LIKE 't_%'") + " " +
           query("SELECT count(*) FROM t_profile_data") + " " + query("SELECT count(*) FROM t_configdata") +
           " " + query("SELECT count(*) FROM t_profile_data WHERE status = 1");
}

TEST_F(DurableStore, ANewStoreWithProfileTextIsCreatedWholeAndTheTextNeverLeavesABlankName) {
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M2", L"Profil"));
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);
    EXPECT_EQ(Store().GetActiveProfile(), 1);
    std::vector<ProfileData> profiles;
    ASSERT_EQ(Store().ListProfiles(profiles, kLcidFrench), 4);
    EXPECT_EQ(profiles[3].name, L"Profil 4");
    // No temporary file of the creation is left beside it.
    EXPECT_EQ(StoreFiles(m_root / "db"), 2);

    // An empty language text gives "Profile 1", never " 1".
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M3"));
    EXPECT_EQ(Store().InitProfiles(L""), 1);
    std::wstring name;
    ASSERT_TRUE(Store().GetProfileName(1, name, kLcidFrench));
    EXPECT_EQ(name, L"Profile 1");
}

TEST_F(DurableStore, OpeningAddsBackWhatIsMissingWithoutTouchingGoodRowsAndSaysSoOnce) {
    ASSERT_EQ(Store().InitProfiles(L"Profile"), 1);
    ASSERT_TRUE(Store().SetConfigValue(2, L"dpi_index", L"3"));
    ASSERT_TRUE(Store().SetActiveProfile(2));
    Store().CloseIfOpen();
    Exec("DELETE FROM t_configdata WHERE profile = 3 AND key IN ('report_rate', 'dpi_count')");
    Exec("DELETE FROM t_profile_data WHERE profile = 4");
    Exec("UPDATE t_profile_data SET status = 0");
    Exec("DROP TABLE t_macrorecord");

    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    const StoreNotice notice = Store().TakeOpenNotice();
    EXPECT_EQ(notice.kind, StoreNotice::Kind::Repaired);
    for (const char* part : {"t_macrorecord", "2 settings rows", "profile 4", "the active profile"})
        EXPECT_NE(notice.detail.find(part), std::string::npos) << part << " in " << notice.detail;
    EXPECT_EQ(Query("SELECT count(*) FROM t_configdata WHERE profile = 3"), "40");
    EXPECT_EQ(Query("SELECT value FROM t_configdata WHERE profile = 2 AND key = 'dpi_index'"), "3");
    EXPECT_EQ(Query("SELECT count(*) FROM t_profile_data"), "4");
    EXPECT_EQ(Query("SELECT count(*) FROM t_configdata JOIN t_profile_data USING (profile)"), "160");
    EXPECT_EQ(Query("SELECT group_concat(status) FROM t_profile_data"), "1,0,0,0");

    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);
}

TEST_F(DurableStore, AFileThatIsNoDatabaseIsMovedAsideAndAFreshStoreCreated) {
    Store().CloseIfOpen();
    const std::filesystem::path file = m_root / "db" / "M1_data1.db";
    std::mt19937 random(7);
    const std::vector<std::pair<const char*, std::function<void()>>> damages = {
        {"random bytes",
         [&] {
             std::ofstream out(file, std::ios::binary | std::ios::trunc);
             for (int i = 0; i < 8192; ++i) out.put(static_cast<char>(random()));
         }},
        {"truncated",
         [&] {
             std::filesystem::resize_file(file, 1500);  // the header says more pages than there are
         }},
        {"folder", [&] { std::filesystem::create_directory(file); }},
        {"fifo", [&] { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        // A whole store with a row to lose, then the damage.
        ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
        Store().InitProfiles(L"Profile");
        Store().TakeOpenNotice();
        Store().CloseIfOpen();
        if (std::string(what) != "truncated") std::filesystem::remove_all(file);
        damage();

        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1", L"Profile"));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        const StoreNotice notice = Store().TakeOpenNotice();
        EXPECT_EQ(notice.kind, StoreNotice::Kind::MovedAside);
        EXPECT_TRUE(std::filesystem::exists(notice.movedTo)) << notice.movedTo;
        EXPECT_NE(notice.movedTo.find("M1_data1.db.damaged-"), std::string::npos);
        EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);
        EXPECT_EQ(WholeStoreSummary([&](const char* sql) { return Query(sql); }), "10 4 160 1");
        EXPECT_FALSE(Store().IsUnusable());
        Store().CloseIfOpen();
        std::filesystem::remove_all(notice.movedTo);
        std::filesystem::remove_all(file);
    }

    // A zero-byte file is an empty database: the tables are added back.
    { std::ofstream touch(file); }
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1", L"Profile"));
    const StoreNotice notice = Store().TakeOpenNotice();
    EXPECT_EQ(notice.kind, StoreNotice::Kind::Repaired);
    EXPECT_NE(notice.detail.find("the tables"), std::string::npos) << notice.detail;
    EXPECT_EQ(WholeStoreSummary([&](const char* sql) { return Query(sql); }), "10 4 160 1");
}

TEST_F(DurableStore, AKillBetweenTheStatementsOfAnOperationKeepsTheStateBeforeIt) {
    ASSERT_EQ(Store().InitProfiles(L"Profile"), 1);
    KeyRecord key;
    key.profile = 1;
    key.keyCode = 2;
    key.macroType = 2;
    key.macroValue = 4;
    ASSERT_GT(Store().SaveKey(key), 0);

    // Statements of SaveKey: BEGIN, DELETE, INSERT, COMMIT. The third is killed:
    // the row was deleted but the transaction never committed.
    key.macroValue = 5;
    ASSERT_TRUE(KilledInChild([&] {
        SQLiteSetKillAt(3);
        Store().SaveKey(key);
    }));
    // SetActiveProfile: BEGIN, clear all, set one, COMMIT.
    ASSERT_TRUE(KilledInChild([&] {
        SQLiteSetKillAt(3);
        Store().SetActiveProfile(3);
    }));
    // And the creation of a profile between its row and its settings.
    ASSERT_TRUE(KilledInChild([&] {
        SQLiteSetKillAt(10);
        Store().AddProfile(ProfileData{});
    }));
    Store().CloseIfOpen();
    EXPECT_EQ(QueryAll("SELECT macro_value FROM t_key_macro_data WHERE profile = 1 AND key_code = 2"),
              std::vector<std::string>{"4"});
    EXPECT_EQ(Query("SELECT group_concat(status) FROM t_profile_data"), "1,0,0,0");
    EXPECT_EQ(Query("SELECT count(*) FROM t_configdata"), "160");
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);
}

TEST_F(DurableStore, ACreationKilledAtAnyStatementLeavesNoFileOrAWholeOne) {
    Store().CloseIfOpen();
    const std::string path = PathOf(L"M1");
    std::filesystem::remove(path);
    int killed = 0;
    for (long statement = 1;; statement += 7) {
        const bool wasKilled = KilledInChild([&] {
            SQLiteSetKillAt(statement);
            DataStore::Instance().OpenForDevice(m_userFolder, L"M1", L"Profile");
            SQLiteSetKillAt(0);
        });
        if (!wasKilled) break;
        ++killed;
        if (std::filesystem::exists(path)) {
            EXPECT_EQ(WholeStoreSummary([&](const char* sql) { return Query(sql); }), "10 4 160 1")
                << "killed at statement " << statement;
        }
        std::filesystem::remove(path);
    }
    EXPECT_GT(killed, 20);
    // The temporary files of the killed creations are cleared by the next one.
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1", L"Profile"));
    EXPECT_EQ(StoreFiles(m_root / "db"), 1);
}

TEST_F(DurableStore, AWriterWaitsForAShortLockAndAFailureMakesTheStoreUnusableOnce) {
    ASSERT_EQ(Store().InitProfiles(L"Profile"), 1);
    {
        SQLiteDB other;
        ASSERT_TRUE(other.Open(PathOf(L"M1").c_str(), SQLITE_OPEN_READWRITE));
        ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            other.Exec("COMMIT");
        });
        EXPECT_TRUE(Store().SetConfigValue(1, L"report_rate", L"3"));
        release.join();
    }
    EXPECT_FALSE(Store().IsUnusable());

    // Held past the busy time-out (shortened here): writes fail and say why,
    // reads of what is there still work.
    SQLiteDB::SetBusyTimeout(200);
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    SQLiteDB other;
    ASSERT_TRUE(other.Open(PathOf(L"M1").c_str(), SQLITE_OPEN_READWRITE));
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    EXPECT_FALSE(Store().SetConfigValue(1, L"report_rate", L"2"));
    EXPECT_FALSE(Store().SetActiveProfile(2));
    EXPECT_EQ(Store().SaveKey(KeyRecord{}), 0);
    EXPECT_TRUE(Store().IsUnusable());
    EXPECT_TRUE(Store().IsBusy());
    EXPECT_EQ(Store().GetUnusableReason(),
              "store busy: another program has held " + PathOf(L"M1") + " locked for more than 1 s");
    std::string reason;
    EXPECT_TRUE(Store().TakeUnusableNotice(reason));
    EXPECT_FALSE(Store().TakeUnusableNotice(reason));  // one notice, not one per write
    EXPECT_FALSE(Store().CheckWritable());
    std::wstring value;
    EXPECT_TRUE(Store().GetConfigValue(1, L"report_rate", value));
    EXPECT_EQ(value, L"3");
    EXPECT_EQ(Query("SELECT group_concat(status) FROM t_profile_data"), "1,0,0,0");

    ASSERT_EQ(other.Exec("COMMIT"), SQLITE_OK);
    EXPECT_TRUE(Store().SetConfigValue(1, L"report_rate", L"2"));
    EXPECT_FALSE(Store().IsUnusable());
    SQLiteDB::SetBusyTimeout(SQLiteDB::kBusyTimeoutMs);
}

}  // namespace
