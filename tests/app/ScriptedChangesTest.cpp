// Changes asked for by a script, on a real store: what is stored, which task sends
// it, and what is refused and why (also when another program holds the store).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "../support/TempFolder.h"
#include "app/ScriptedChanges.h"
#include "base/ButtonFunction.h"
#include "storage/DataStore.h"
#include "storage/SQLiteDB.h"

namespace {

class ScriptedChanges : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(Orvix::WideToUtf8(folder.File("db")));
        ASSERT_TRUE(Store().OpenForDevice(folder.Folder(), L"vantorel_v8", L"Profile"));
    }
    void TearDown() override {
        SQLiteDB::SetBusyTimeout(SQLiteDB::kBusyTimeoutMs);
        Store().CloseIfOpen();
    }
    static DataStore& Store() { return DataStore::Instance(); }
    std::wstring Config(const std::wstring& key) {
        std::wstring value;
        Store().GetConfigValue(1, key, value);
        return value;
    }

    TempFolder folder;
};

TEST_F(ScriptedChanges, ASettingIsStoredWithTheTaskThatSendsIt) {
    ScriptOutcome outcome = StoreSetting(Store(), 1, 101, "report_rate", 3);
    ASSERT_TRUE(outcome.Ok()) << outcome.message;
    EXPECT_EQ(outcome.task, kTaskWriteReportRate);
    EXPECT_EQ(Config(L"report_rate"), L"3");
    // Kept in the store only: nothing to send.
    outcome = StoreSetting(Store(), 1, 101, "notify_dpi", 0);
    ASSERT_TRUE(outcome.Ok());
    EXPECT_EQ(outcome.task, kTaskNone);

    outcome = StoreSetting(Store(), 1, 101, "report_rate", 7);
    EXPECT_EQ(outcome.fault, ScriptOutcome::Fault::OutOfRange);
    EXPECT_EQ(Config(L"report_rate"), L"3");
    EXPECT_EQ(StoreSetting(Store(), 1, 101, "speed", 1).fault, ScriptOutcome::Fault::Usage);
}

TEST_F(ScriptedChanges, FewerDpiLevelsMoveTheActiveLevelOntoTheLastOneInUse) {
    ASSERT_TRUE(StoreSetting(Store(), 1, 101, "dpi_index", 5).Ok());
    const ScriptOutcome outcome = StoreSetting(Store(), 1, 101, "dpi_count", 3);
    ASSERT_TRUE(outcome.Ok());
    EXPECT_EQ(outcome.task, kTaskWriteDpiStage);
    EXPECT_EQ(Config(L"dpi_count"), L"3");
    EXPECT_EQ(Config(L"dpi_index"), L"2");
    // More levels leave it where it is.
    ASSERT_TRUE(StoreSetting(Store(), 1, 101, "dpi_count", 6).Ok());
    EXPECT_EQ(Config(L"dpi_index"), L"2");
}

TEST_F(ScriptedChanges, ButtonsProfilesAndTheResetAsThePagesStoreThem) {
    ScriptOutcome outcome = StoreButton(Store(), 1, {3, kFuncLaunch, 0, 0, 0, "/usr/bin/gnome-calculator"});
    ASSERT_TRUE(outcome.Ok()) << outcome.message;
    EXPECT_EQ(outcome.task, kTaskWriteButtonMap);
    KeyRecord stored;
    ASSERT_TRUE(Store().GetKey(1, 3, stored));
    EXPECT_EQ(stored.macroDesc, L"gnome-calculator");
    std::wstring description, param;
    int32_t type = 0;
    ASSERT_TRUE(Store().GetKeyOtherData(stored.macroValue, description, param, type));
    EXPECT_EQ(param, L"/usr/bin/gnome-calculator");

    outcome = StoreButton(Store(), 1, {3, kFuncWeb, 0, 0, 0, ""});
    EXPECT_EQ(outcome.fault, ScriptOutcome::Fault::Usage);
    EXPECT_EQ(outcome.message, "the web address is missing");
    EXPECT_EQ(StoreButton(Store(), 1, {9, kFuncDisabled, 0, 0, 0, ""}).message, "the button is a key code from 0 to 8");
    EXPECT_EQ(StoreButton(Store(), 1, {1, 3, 0, 0, 0, ""}).message, "unknown function type 3");

    EXPECT_TRUE(CheckProfile(Store(), 4).Ok());
    EXPECT_EQ(CheckProfile(Store(), 5).message, "there is no profile 5");

    ASSERT_TRUE(StoreSetting(Store(), 1, 101, "report_rate", 3).Ok());
    outcome = StoreFactoryDefaults(Store(), 1);
    ASSERT_TRUE(outcome.Ok());
    EXPECT_EQ(outcome.task, kTaskFactoryReset);
    EXPECT_EQ(Config(L"report_rate"), L"1");
    EXPECT_FALSE(Store().GetKey(1, 3, stored));
}

TEST_F(ScriptedChanges, AButtonThatCannotBeStoredLeavesNoAddressRowBehind) {
    // The store refuses new assignments, as a full disk would.
    SQLiteDB other;
    ASSERT_TRUE(other.Open(DatabasePathFor(folder.Folder(), L"vantorel_v8").c_str(), SQLITE_OPEN_READWRITE));
    ASSERT_EQ(other.Exec("CREATE TRIGGER refuse BEFORE INSERT ON t_key_macro_data "
                         "BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
              SQLITE_OK);
    auto rows = [&] {
        int count = -1;
        other.Exec(
            "SELECT count(*) FROM t_key_otherdata",
            [](void* out, int, char** values, char**) {
                *static_cast<int*>(out) = std::atoi(values[0]);
                return 0;
            },
            &count);
        return count;
    };
    const int before = rows();
    const ScriptOutcome outcome = StoreButton(Store(), 1, {3, kFuncWeb, 0, 0, 0, "example.org/a"});
    EXPECT_EQ(outcome.fault, ScriptOutcome::Fault::Store);
    KeyRecord stored;
    EXPECT_FALSE(Store().GetKey(1, 3, stored));
    EXPECT_EQ(rows(), before) << "an address row without its assignment was left";
}

TEST_F(ScriptedChanges, AStoreHeldByAnotherProgramIsNamedAndKeepsItsValue) {
    SQLiteDB other;
    ASSERT_TRUE(other.Open(DatabasePathFor(folder.Folder(), L"vantorel_v8").c_str(), SQLITE_OPEN_READWRITE));
    // The store's own connection waits this long for a lock (set before it opens).
    SQLiteDB::SetBusyTimeout(50);
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(folder.Folder(), L"vantorel_v8", L"Profile"));
    ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    const ScriptOutcome outcome = StoreSetting(Store(), 1, 101, "report_rate", 2);
    EXPECT_EQ(outcome.fault, ScriptOutcome::Fault::Store);
    // Busy, not broken: the words a script can tell apart from a store that cannot be used.
    EXPECT_EQ(outcome.message.rfind("store busy: ", 0), 0u) << outcome.message;
    EXPECT_NE(outcome.message.find("locked"), std::string::npos) << outcome.message;
    other.Exec("ROLLBACK");
    EXPECT_NE(Config(L"report_rate"), L"2");
}

}  // namespace
