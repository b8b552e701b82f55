// vantorelctl against stores that are locked, damaged or whose first creation was
// killed: honest exit codes, one line on standard error, nothing sent to the
// mouse for a change that was not stored, and a whole store after any kill.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "../support/TempFolder.h"
#include "orvix/core/TextConv.h"
#include "storage/SQLiteDB.h"

namespace {

using Clock = std::chrono::steady_clock;

class CtlStore : public ::testing::Test {
  protected:
    std::string Home() const { return Orvix::WideToUtf8(folder.Folder()); }
    std::string StorePath() const { return Home() + "data/Vantorel Mouse Files/db/vantorel_v8_data1.db"; }

    // The shell command of one run; `tag` names its output files.
    std::string Command(const std::string& arguments, const std::string& tag, const std::string& env = "") {
        const std::string home = Home();
        return "cd '" + home + "' && exec env HOME='" + home + "' XDG_CONFIG_HOME='" + home +
               "config' XDG_DATA_HOME='" + home + "data' VANTOREL_SIM_TRACE=" + tag + ".log " + env + " '" +
               VANTOREL_BINARY_DIR "/vantorelctl' " + arguments + " >" + tag + ".out 2>" + tag + ".err";
    }
    int Run(const std::string& arguments, const std::string& tag = "run", const std::string& env = "") {
        const int status = std::system(Command(arguments, tag, env).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t Start(const std::string& arguments, const std::string& tag, const std::string& env = "") {
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", Command(arguments, tag, env).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }

    // "tables profiles rows active" of the store file, or "none" without one.
    std::string Summary() const {
        if (!std::filesystem::exists(StorePath())) return "none";
        SQLiteDB db;
        // Read-write: a journal left by a killed write is rolled back, as the next run would.
        if (!db.Open(StorePath().c_str(), SQLITE_OPEN_READWRITE)) return "unopenable";
        std::string summary;
        for (const char* sql : {"SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name LIKE 't_%'",
                                "SELECT count(*) FROM t_profile_data", "SELECT count(*) FROM t_configdata",
                                "SELECT count(*) FROM t_profile_data WHERE status = 1"}) {
            SQLiteStatement statement;
            const char* text = nullptr;
            if (db.Prepare(statement, sql) == SQLITE_OK && statement.Step() == SQLITE_ROW)
                text = statement.ColumnText(0);
            summary += (summary.empty() ? "" : " ") + std::string(text ? text : "?");
        }
        return summary;
    }

    // Reports the mouse received that change it (settings, button map, profile data).
    static bool HasWrites(const std::string& trace) {
        for (const char* command :
             {"host->dev 06 13", "host->dev 06 12", "host->dev 06 31", "host->dev 06 0F"})
            if (trace.find(command) != std::string::npos) return true;
        return false;
    }

    TempFolder folder;
};

TEST_F(CtlStore, SetChecksTheRangeItsPageAllows) {
    EXPECT_EQ(Run("--simulate set report_rate 4"), 2);
    EXPECT_EQ(folder.Read("run.err"), "vantorelctl: the value of report_rate must be 0 to 3\n");
    EXPECT_EQ(Run("--simulate set dpi_count 5"), 0);
    EXPECT_EQ(Run("--simulate set dpi_index 5"), 2);
    EXPECT_EQ(folder.Read("run.err"), "vantorelctl: the value of dpi_index must be 0 to 4\n");
    EXPECT_EQ(Run("--simulate set dpi_index 4"), 0);
    EXPECT_EQ(Run("--simulate set deep_sleep 100"), 2);
    EXPECT_NE(folder.Read("run.err").find("one of 180 240"), std::string::npos);
    EXPECT_EQ(Run("--simulate set dpi_group2_value 26000"), 0);  // model 101 goes to 26000
    EXPECT_EQ(Run("--simulate set version 2"), 2);
    EXPECT_EQ(Run("--simulate get dpi_index"), 0);
    EXPECT_EQ(folder.Read("run.out"), "4 (level 5)\n");
}

TEST_F(CtlStore, AShortLockIsWaitedForAndALongOneEndsTheRunWithNothingSent) {
    ASSERT_EQ(Run("--simulate info"), 0) << folder.Read("run.err");
    SQLiteDB other;
    ASSERT_TRUE(other.Open(StorePath().c_str(), SQLITE_OPEN_READWRITE));

    // Held for 100 ms: each command waits and succeeds.
    for (const char* command : {"set report_rate 2", "button 1 8 1", "profile 2"}) {
        SCOPED_TRACE(command);
        ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            other.Exec("COMMIT");
        });
        EXPECT_EQ(Run(std::string("--simulate ") + command), 0) << folder.Read("run.err");
        release.join();
        EXPECT_TRUE(HasWrites(folder.Read("run.log")));
    }

    // Held for the whole run (30 s): all three end with code 1 within the busy
    // time-out, say why, and the mouse receives nothing.
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    const auto start = Clock::now();
    const char* commands[] = {"set report_rate 3", "button 1 8 1", "profile 3"};
    pid_t runs[3];
    for (int i = 0; i < 3; ++i)
        runs[i] = Start(std::string("--simulate ") + commands[i], "held" + std::to_string(i));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(commands[i]);
        int status = 0;
        waitpid(runs[i], &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
        const std::string tag = "held" + std::to_string(i);
        EXPECT_EQ(folder.Read(tag + ".err"), "vantorelctl: store unusable: database is locked\n");
        EXPECT_FALSE(HasWrites(folder.Read(tag + ".log"))) << folder.Read(tag + ".log");
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    SQLiteStatement read;
    // "profile 3" did not happen: profile 2 stays the active one.
    ASSERT_EQ(other.Prepare(read, "SELECT group_concat(profile) FROM t_profile_data WHERE status = 1"),
              SQLITE_OK);
    ASSERT_EQ(read.Step(), SQLITE_ROW);
    EXPECT_STREQ(read.ColumnText(0), "2");
    other.Exec("ROLLBACK");
}

TEST_F(CtlStore, ADamagedStoreIsMovedAsideWithOneLineAndAStoreThatCannotBeOpenedIsNamed) {
    ASSERT_EQ(Run("--simulate set report_rate 2"), 0);
    folder.Write("data/Vantorel Mouse Files/db/vantorel_v8_data1.db", std::string(4096, '\x5a'));
    ASSERT_EQ(Run("--simulate info"), 0) << folder.Read("run.err");
    const std::string err = folder.Read("run.err");
    EXPECT_NE(err.find("was unusable"), std::string::npos) << err;
    EXPECT_NE(err.find("moved aside to "), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_EQ(Summary(), "10 4 160 1");
    ASSERT_EQ(Run("--simulate get report_rate"), 0);
    EXPECT_EQ(folder.Read("run.err"), "");  // said once

    // No folder for the store: "store unusable", not "unknown key".
    std::filesystem::remove_all(Home() + "data");
    folder.Write("data/Vantorel Mouse Files", "a file where the folder belongs");
    EXPECT_EQ(Run("--simulate get report_rate"), 1);
    EXPECT_EQ(folder.Read("run.err").rfind("vantorelctl: store unusable: ", 0), 0u) << folder.Read("run.err");
}

TEST_F(CtlStore, AFirstRunKilledAtAnyMomentLeavesNoStoreOrAWholeOne) {
    // The length of a whole first run sets the range of the random moments.
    auto start = Clock::now();
    ASSERT_EQ(Run("--simulate info"), 0);
    const auto length = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    std::mt19937 random(20261209);
    std::uniform_int_distribution<long> moment(0, length.count());
    int whole = 0, none = 0;
    for (int run = 0; run < 200; ++run) {
        std::filesystem::remove_all(Home() + "data");
        const pid_t pid = Start("--simulate info", "kill");
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const std::string summary = Summary();
        ASSERT_TRUE(summary == "none" || summary == "10 4 160 1") << "run " << run << ": " << summary;
        (summary == "none" ? none : whole)++;
        if (run % 50 == 0) {  // and the run after it finds a whole store and nothing to repair
            ASSERT_EQ(Run("--simulate info"), 0);
            EXPECT_EQ(folder.Read("run.err"), "");
            EXPECT_EQ(Summary(), "10 4 160 1");
        }
    }
    EXPECT_GT(whole, 0);
    EXPECT_GT(none, 0);

    // And at statements chosen by the fault hook, through the creation and the
    // writes of the first state read.
    int killed = 0;
    for (int statement = 1;; statement += 11) {
        std::filesystem::remove_all(Home() + "data");
        const pid_t pid =
            Start("--simulate info", "kill", "VANTOREL_STORE_KILL_AT=" + std::to_string(statement));
        int status = 0;
        waitpid(pid, &status, 0);
        const std::string summary = Summary();
        ASSERT_TRUE(summary == "none" || summary == "10 4 160 1") << statement << ": " << summary;
        if (WIFEXITED(status)) break;
        ++killed;
    }
    EXPECT_GT(killed, 10);
}

}  // namespace
