// What keeps a store honest over years of use: a lock of another program waited
// for once, reads that never wait and never write what did not change, values
// checked before they are sent, and no row left behind by a profile, a button
// or a program that was deleted.
#include <chrono>
#include <thread>

#include "StoreTestSupport.h"
#include "base/ButtonFunction.h"
#include "storage/ConfigDefaults.h"

namespace {

using Clock = std::chrono::steady_clock;

class StoreUpkeep : public StoreTest {
  protected:
    void TearDown() override {
        SQLiteDB::SetBusyTimeout(SQLiteDB::kBusyTimeoutMs);
        StoreTest::TearDown();
    }
    static long Ms(Clock::duration d) {
        return long(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    }
    std::string Count(const char* table) const {
        return Query((std::string("SELECT count(*) FROM ") + table).c_str());
    }
    static KeyRecord Web(int32_t profile, int32_t keyCode) {
        KeyRecord record;
        record.profile = profile;
        record.keyCode = keyCode;
        record.macroType = kFuncWeb;
        record.macroDesc = L"www.example.org";
        return record;
    }
};

static_assert(kKeyTypeLaunch == kFuncLaunch && kKeyTypeWeb == kFuncWeb);

TEST_F(StoreUpkeep, AnotherProgramsLockIsWaitedForOnceAndReadsNeverWait) {
    ASSERT_EQ(Store().InitProfiles(L"Profile"), 1);
    constexpr int kTimeoutMs = 400;
    SQLiteDB::SetBusyTimeout(kTimeoutMs);
    Store().CloseIfOpen();

    // A file of an older version, without a log, held by a program that even
    // keeps readers out: the open waits one time-out, not one per try.
    SQLiteDB other;
    ASSERT_TRUE(other.Open(PathOf(L"M1").c_str(), SQLITE_OPEN_READWRITE));
    ASSERT_EQ(other.Exec("PRAGMA journal_mode = DELETE"), SQLITE_OK);
    ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    auto start = Clock::now();
    EXPECT_FALSE(Store().OpenForDevice(m_userFolder, L"M1"));
    const long opening = Ms(Clock::now() - start);
    EXPECT_GE(opening, kTimeoutMs - 20);
    EXPECT_LT(opening, kTimeoutMs + kTimeoutMs / 2);
    EXPECT_TRUE(Store().IsBusy());
    EXPECT_EQ(Store().GetUnusableReason().rfind("store busy: another program has held ", 0), 0u)
        << Store().GetUnusableReason();
    ASSERT_EQ(other.Exec("ROLLBACK"), SQLITE_OK);

    // Opened again, the file keeps a log from now on.
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    EXPECT_FALSE(Store().IsBusy());
    EXPECT_EQ(Query("PRAGMA journal_mode"), "wal");

    // A writer now holds the write lock: reads answer at once, and writing back
    // what is stored already is no write.
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    ASSERT_EQ(other.Exec("UPDATE t_configdata SET value = value WHERE key = 'version'"), SQLITE_OK);
    start = Clock::now();
    std::wstring value;
    EXPECT_TRUE(Store().GetConfigValue(1, L"report_rate", value));
    std::vector<ProfileData> profiles;
    EXPECT_EQ(Store().ListProfiles(profiles, 0), 4);
    EXPECT_EQ(Store().InitProfiles(L"Profile"), 1);
    std::map<std::wstring, std::wstring> values;
    EXPECT_EQ(Store().LoadCheckedConfig(1, values), 0);
    EXPECT_TRUE(Store().StoreConfigValues(1, {{L"report_rate", value}, {L"light_sleep", L"60"}}));
    EXPECT_LT(Ms(Clock::now() - start), kTimeoutMs / 2);
    EXPECT_FALSE(Store().IsUnusable());

    // The first write waits the time-out; the next ones, of every kind, fail at
    // once while the lock is held, and the store says why, once.
    start = Clock::now();
    EXPECT_FALSE(Store().StoreConfigValues(1, {{L"report_rate", L"3"}}));
    EXPECT_GE(Ms(Clock::now() - start), kTimeoutMs - 20);
    start = Clock::now();
    EXPECT_FALSE(Store().SetConfigValue(1, L"report_rate", L"2"));
    EXPECT_FALSE(Store().SetActiveProfile(2));
    EXPECT_EQ(Store().SaveKeyWithParameters(Web(1, 3), L"www.example.org", L""), 0);
    EXPECT_FALSE(Store().CheckWritable());
    EXPECT_LT(Ms(Clock::now() - start), kTimeoutMs / 2);
    EXPECT_TRUE(Store().IsBusy());
    std::string reason;
    EXPECT_TRUE(Store().TakeUnusableNotice(reason));
    EXPECT_FALSE(Store().TakeUnusableNotice(reason));
    EXPECT_TRUE(Store().GetConfigValue(1, L"report_rate", value));  // reading still works

    // Released: the next write goes through and a new lock is waited for again.
    ASSERT_EQ(other.Exec("COMMIT"), SQLITE_OK);
    EXPECT_TRUE(Store().SetConfigValue(1, L"report_rate", L"2"));
    EXPECT_FALSE(Store().IsBusy());
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kTimeoutMs / 4));
        other.Exec("COMMIT");
    });
    EXPECT_TRUE(Store().SetConfigValue(1, L"report_rate", L"3"));
    release.join();
    EXPECT_EQ(Query("SELECT value FROM t_configdata WHERE profile = 1 AND key = 'report_rate'"), "3");
}

TEST_F(StoreUpkeep, ValuesOutOfRangeReadAsTheirDefaultsAndAreStoredBackWithANotice) {
    ASSERT_EQ(Store().InitProfiles(L"Profile"), 1);
    Store().TakeOpenNotice();
    for (const auto& [key, value] : {std::pair<const char*, const char*>{"report_rate", "99999"},
                                     {"dpi_count", "99999"},
                                     {"button_respondtime", "fast"},
                                     {"dpi_group2_value", "777"},
                                     {"deep_sleep", "-1"},
                                     {"dpi_group1_rgb", "16777216"}})
        Exec(("UPDATE t_configdata SET value = '" + std::string(value) + "' WHERE profile = 2 AND key = '" + key +
              "'")
                 .c_str());

    std::map<std::wstring, std::wstring> values;
    EXPECT_EQ(Store().LoadCheckedConfig(2, values), 6);
    EXPECT_EQ(values.size(), kConfigDefaults.size());
    EXPECT_EQ(values[L"report_rate"], L"1");
    EXPECT_EQ(values[L"dpi_count"], L"7");
    EXPECT_EQ(values[L"button_respondtime"], L"1");
    EXPECT_EQ(values[L"dpi_group2_value"], L"1600");
    EXPECT_EQ(values[L"deep_sleep"], L"60");
    EXPECT_EQ(values[L"dpi_group1_rgb"], L"16776960");
    EXPECT_EQ(values[L"version"], L"1.0.1");
    EXPECT_EQ(Query("SELECT value FROM t_configdata WHERE profile = 2 AND key = 'report_rate'"), "1");
    const StoreNotice notice = Store().TakeOpenNotice();
    EXPECT_EQ(notice.kind, StoreNotice::Kind::Repaired);
    EXPECT_NE(notice.detail.find("report_rate (99999)"), std::string::npos) << notice.detail;
    EXPECT_NE(notice.detail.find("profile 2"), std::string::npos) << notice.detail;

    // An active level beyond the levels in use becomes level 0, as the page shows it.
    ASSERT_TRUE(Store().SetConfigValue(2, L"dpi_count", L"3"));
    ASSERT_TRUE(Store().SetConfigValue(2, L"dpi_index", L"5"));
    EXPECT_EQ(Store().LoadCheckedConfig(2, values), 1);
    EXPECT_EQ(values[L"dpi_index"], L"0");
    Store().TakeOpenNotice();

    // Whole values: nothing to write and nothing to tell, other profiles untouched.
    EXPECT_EQ(Store().LoadCheckedConfig(2, values), 0);
    EXPECT_FALSE(Store().HasNotice());
    EXPECT_EQ(Query("SELECT count(*) FROM t_configdata WHERE value = '99999'"), "0");

    // A store that cannot be written still gives the defaults to send.
    SQLiteDB::SetBusyTimeout(100);
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    Exec("UPDATE t_configdata SET value = '4' WHERE profile = 3 AND key = 'report_rate'");
    SQLiteDB other;
    ASSERT_TRUE(other.Open(PathOf(L"M1").c_str(), SQLITE_OPEN_READWRITE));
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    EXPECT_EQ(Store().LoadCheckedConfig(3, values), 1);
    EXPECT_EQ(values[L"report_rate"], L"1");
    EXPECT_TRUE(Store().IsBusy());
    other.Exec("ROLLBACK");
}

TEST_F(StoreUpkeep, ProfilesDeletedOutsideTheProgramAreMadeAgainOnceWithoutTheirOldRows) {
    ASSERT_EQ(Store().InitProfiles(L"Profile"), 1);
    ASSERT_GT(Store().SaveKeyWithParameters(Web(3, 1), L"www.example.org", L""), 0);
    LightData light;
    light.profile = 2;
    ASSERT_GT(Store().AddLight(light), 0);
    Store().CloseIfOpen();

    // Another program deletes every profile while the program is closed.
    Exec("DELETE FROM t_profile_data");
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1", L"Profile"));
    StoreNotice notice = Store().TakeOpenNotice();
    EXPECT_EQ(notice.kind, StoreNotice::Kind::Repaired);
    EXPECT_NE(notice.detail.find("the profiles"), std::string::npos) << notice.detail;
    EXPECT_EQ(Query("SELECT group_concat(profile) FROM t_profile_data"), "5,6,7,8");
    EXPECT_EQ(Count("t_configdata"), "160");
    EXPECT_EQ(Count("t_key_macro_data"), "0");
    EXPECT_EQ(Count("t_key_otherdata"), "0");
    EXPECT_EQ(Count("t_light_data"), "0");
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1", L"Profile"));
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);  // told once

    // And while the program runs: the next device load makes them again.
    Exec("DELETE FROM t_profile_data");
    EXPECT_EQ(Store().InitProfiles(L"Profile"), 9);
    notice = Store().TakeOpenNotice();
    EXPECT_EQ(notice.kind, StoreNotice::Kind::Repaired);
    EXPECT_EQ(Count("t_configdata"), "160");
    EXPECT_EQ(Store().InitProfiles(L"Profile"), 9);
    EXPECT_FALSE(Store().HasNotice());

    // A brand-new store has nothing to tell.
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M9", L"Profile"));
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);
}

TEST_F(StoreUpkeep, ParameterRowsLiveExactlyAsLongAsTheAssignmentsThatNameThem) {
    ASSERT_EQ(Store().InitProfiles(L"Profile"), 1);
    bool stored = false;
    const int32_t first = Store().SaveKeyWithParameters(Web(1, 2), L"www.example.org", L"", &stored);
    ASSERT_GT(first, 0);
    EXPECT_TRUE(stored);
    KeyRecord read;
    ASSERT_TRUE(Store().GetKey(1, 2, read));
    std::wstring desc, param;
    int32_t type = 0;
    Store().GetKeyOtherData(read.macroValue, desc, param, type);
    EXPECT_EQ(desc, L"www.example.org");
    EXPECT_EQ(type, kFuncWeb);

    // Replaced by another web address, then by a key: the old rows go with them.
    ASSERT_GT(Store().SaveKeyWithParameters(Web(1, 2), L"www.example.com", L""), 0);
    EXPECT_EQ(Count("t_key_otherdata"), "1");
    KeyRecord key;
    key.profile = 1;
    key.keyCode = 2;
    key.macroType = kFuncKey;
    key.macroValue = 4;
    ASSERT_GT(Store().SaveKey(key), 0);
    EXPECT_EQ(Count("t_key_otherdata"), "0");

    // A reset of one profile takes its rows and leaves the other profiles' alone.
    ASSERT_GT(Store().SaveKeyWithParameters(Web(1, 3), L"www.a.test", L""), 0);
    KeyRecord launch = Web(2, 3);
    launch.macroType = kFuncLaunch;
    ASSERT_GT(Store().SaveKeyWithParameters(launch, L"editor", L"/usr/bin/editor"), 0);
    ASSERT_TRUE(Store().DeleteProfileKeys(1));
    EXPECT_EQ(Query("SELECT group_concat(param) FROM t_key_otherdata"), "/usr/bin/editor");

    // A parameter row that cannot be named by its assignment is not stored either.
    Exec("CREATE TRIGGER fail BEFORE INSERT ON t_key_macro_data BEGIN SELECT RAISE(ABORT, 'full'); END");
    EXPECT_EQ(Store().SaveKeyWithParameters(Web(1, 4), L"www.b.test", L"", &stored), 0);
    EXPECT_FALSE(stored);
    EXPECT_EQ(Count("t_key_otherdata"), "1");
    Exec("DROP TRIGGER fail");

    // Rows an older version left behind go at the next open, without a word;
    // what is in use stays.
    Store().CloseIfOpen();
    Exec("INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES ('old', '/bin/old', 9)");
    Exec("INSERT INTO t_configdata(profile, key, value) VALUES (77, 'report_rate', '1')");
    Exec("INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) "
         "VALUES (999, 2, 0, 'A', 4, 10)");
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1", L"Profile"));
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);
    EXPECT_EQ(Query("SELECT group_concat(param) FROM t_key_otherdata"), "/usr/bin/editor");
    EXPECT_EQ(Count("t_configdata"), "160");
    EXPECT_EQ(Count("t_macrorecord"), "0");
}

}  // namespace
