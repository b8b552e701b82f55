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
#include "base/TextConv.h"
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
        EXPECT_EQ(folder.Read(tag + ".err"), "vantorelctl: store busy: another program has held " + StorePath() +
                                                 " locked for more than 5 s\n");
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

// Reads never wait on another program's write lock: a command that only reads,
// on a mouse whose values are stored already, writes nothing.
TEST_F(CtlStore, AReadOnlyCommandNeverWaitsOnAWriter) {
    ASSERT_EQ(Run("--simulate info"), 0) << folder.Read("run.err");
    SQLiteDB other;
    ASSERT_TRUE(other.Open(StorePath().c_str(), SQLITE_OPEN_READWRITE));
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    ASSERT_EQ(other.Exec("UPDATE t_configdata SET value = value WHERE key = 'version'"), SQLITE_OK);
    for (const char* command : {"get report_rate", "info", "profile", "macro-upload"}) {
        SCOPED_TRACE(command);
        const auto start = Clock::now();
        const pid_t pid = Start(std::string("--simulate ") + command, "read");
        int status = 0;
        // The one that waited took 86 s: it is stopped long before that.
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (Clock::now() - start > std::chrono::seconds(20)) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                FAIL() << "still running after 20 s";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << folder.Read("read.err");
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));
    }
    EXPECT_EQ(folder.Read("read.err"), "");
    other.Exec("ROLLBACK");
}

// A program that keeps even readers out (an exclusive lock) is waited for once,
// the busy time-out, and named as the cause.
TEST_F(CtlStore, AnExclusiveLockEndsTheRunAfterOneTimeOutWithStoreBusy) {
    ASSERT_EQ(Run("--simulate info"), 0) << folder.Read("run.err");
    SQLiteDB other;
    ASSERT_TRUE(other.Open(StorePath().c_str(), SQLITE_OPEN_READWRITE));
    ASSERT_EQ(other.Exec("PRAGMA locking_mode = EXCLUSIVE"), SQLITE_OK);
    ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    ASSERT_EQ(other.Exec("UPDATE t_configdata SET value = value WHERE key = 'version'"), SQLITE_OK);
    for (const char* command : {"get report_rate", "set report_rate 2"}) {
        SCOPED_TRACE(command);
        const auto start = Clock::now();
        EXPECT_EQ(Run(std::string("--simulate ") + command, "locked"), 1);
        const auto took = Clock::now() - start;
        EXPECT_GT(took, std::chrono::milliseconds(4900));
        EXPECT_LT(took, std::chrono::milliseconds(8000));
        const std::string err = folder.Read("locked.err");
        EXPECT_EQ(err, "vantorelctl: store busy: another program has held " + StorePath() +
                           " locked for more than 5 s\n");
        // Stopped before the mouse is even read: nothing was sent.
        EXPECT_EQ(folder.Read("locked.log"), "");
    }
    other.Exec("ROLLBACK");
}

// Values out of range in the store go back to their defaults before anything is
// sent; a change the mouse does not take is a failure.
TEST_F(CtlStore, StoredValuesAreCheckedBeforeTheyAreSentAndARefusedChangeFails) {
    ASSERT_EQ(Run("--simulate info"), 0) << folder.Read("run.err");
    {
        SQLiteDB db;
        ASSERT_TRUE(db.Open(StorePath().c_str(), SQLITE_OPEN_READWRITE));
        ASSERT_EQ(db.Exec("UPDATE t_configdata SET value = '99999' WHERE profile = 2 AND key IN "
                          "('dpi_count', 'report_rate', 'button_respondtime')"),
                  SQLITE_OK);
    }
    ASSERT_EQ(Run("--simulate profile 2"), 0) << folder.Read("run.err");
    const std::string err = folder.Read("run.err");
    EXPECT_NE(err.find("was repaired"), std::string::npos) << err;
    for (const char* key : {"dpi_count (99999)", "report_rate (99999)", "button_respondtime (99999)"})
        EXPECT_NE(err.find(key), std::string::npos) << err;
    const std::string trace = folder.Read("run.log");
    EXPECT_EQ(trace.find("REJECTED"), std::string::npos) << trace;
    EXPECT_EQ(trace.find(" 9F "), std::string::npos) << trace;
    EXPECT_NE(trace.find("host->dev 06 13 02 00 00 02 01 "), std::string::npos) << trace;  // rate default 1
    SQLiteDB db;
    ASSERT_TRUE(db.Open(StorePath().c_str(), SQLITE_OPEN_READWRITE));
    SQLiteStatement read;
    ASSERT_EQ(db.Prepare(read, "SELECT group_concat(value) FROM (SELECT value FROM t_configdata WHERE profile = 2 "
                               "AND key IN ('button_respondtime', 'dpi_count', 'report_rate') ORDER BY key)"),
              SQLITE_OK);
    ASSERT_EQ(read.Step(), SQLITE_ROW);
    EXPECT_EQ(std::string(read.ColumnText(0)), "1,7,1");

    // A simulated firmware that refuses report-rate settings: the run fails and says so.
    EXPECT_EQ(Run("--simulate set report_rate 2", "run", "VANTOREL_SIM_REFUSE=13:02"), 1);
    EXPECT_EQ(folder.Read("run.err"),
              "vantorelctl: the mouse did not take the change (it left the report unanswered)\n");
    EXPECT_EQ(Run("--simulate set report_rate 3"), 0) << folder.Read("run.err");
}

// A program or web button leaves no parameter row behind, wherever a run is
// killed, and neither do a reassignment or a reset.
TEST_F(CtlStore, ProgramAndWebButtonsLeaveNoUnusedParameterRows) {
    ASSERT_EQ(Run("--simulate info"), 0) << folder.Read("run.err");
    const auto unused = [&] {
        SQLiteDB db;
        SQLiteStatement read;
        if (!db.Open(StorePath().c_str(), SQLITE_OPEN_READWRITE) ||
            db.Prepare(read, "SELECT count(*) FROM t_key_otherdata WHERE macro_value NOT IN "
                             "(SELECT macro_value FROM t_key_macro_data WHERE macro_type IN (9, 10))") !=
                SQLITE_OK ||
            read.Step() != SQLITE_ROW)
            return std::string("?");
        return std::string(read.ColumnText(0));
    };
    int killed = 0;
    for (int statement = 1;; ++statement) {
        const char* command = statement % 2 ? "--simulate button 1 10 www.example.org"
                                            : "--simulate button 1 9 /usr/bin/true";
        const pid_t pid = Start(command, "kill", "VANTOREL_STORE_KILL_AT=" + std::to_string(statement));
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_EQ(unused(), "0") << "killed at statement " << statement;
        if (WIFEXITED(status)) break;
        ++killed;
    }
    EXPECT_GT(killed, 3);
    ASSERT_EQ(Run("--simulate button 2 9 /usr/bin/true"), 0) << folder.Read("run.err");
    ASSERT_EQ(Run("--simulate button 2 10 www.example.org"), 0) << folder.Read("run.err");
    EXPECT_EQ(unused(), "0");
    ASSERT_EQ(Run("--simulate reset"), 0) << folder.Read("run.err");
    EXPECT_EQ(unused(), "0");
}

// A program folder whose catalog or model description is missing or damaged
// says so, and how to mend it.
TEST_F(CtlStore, AMissingOrDamagedCatalogIsNamedWithItsFix) {
    namespace fs = std::filesystem;
    const fs::path program = fs::path(Home()) / "program";
    fs::create_directories(program / "device");
    fs::create_directories(program / "language");
    for (const char* file : {"vantorelctl", "libOrvix.so"})
        fs::create_hard_link(fs::path(VANTOREL_BINARY_DIR) / file, program / file);
    fs::copy(fs::path(VANTOREL_BINARY_DIR) / "language", program / "language", fs::copy_options::recursive);
    fs::copy(fs::path(VANTOREL_BINARY_DIR) / "device", program / "device", fs::copy_options::recursive);
    const std::string run = "'" + (program / "vantorelctl").string() + "'";
    const auto runCopy = [&](const std::string& arguments) {
        const std::string home = Home();
        const std::string command = "cd '" + home + "' && exec env HOME='" + home + "' XDG_CONFIG_HOME='" +
                                    home + "config' XDG_DATA_HOME='" + home + "data' " + run + " " + arguments +
                                    " >run.out 2>run.err";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string catalog = (program / "config.xml").string();
    EXPECT_EQ(runCopy("--simulate info"), 1);
    EXPECT_EQ(folder.Read("run.err"), "vantorelctl: the device catalog " + catalog +
                                          " is missing; install Vantorel Mouse again to restore it\n");
    folder.Write("program/config.xml", "<config><device><mouse name=\"V8\" device_type=\"101\"");
    EXPECT_EQ(runCopy("--simulate info"), 1);
    EXPECT_EQ(folder.Read("run.err"), "vantorelctl: the device catalog " + catalog +
                                          " is damaged: it is not well-formed XML; install Vantorel Mouse "
                                          "again to restore it\n");

    // The catalog whole, the model's description gone: said, and the run goes on.
    fs::copy_file(fs::path(VANTOREL_BINARY_DIR) / "config.xml", catalog, fs::copy_options::overwrite_existing);
    fs::remove(program / "device" / "vantorel_v8.xml");
    EXPECT_EQ(runCopy("--simulate info"), 0);
    EXPECT_EQ(folder.Read("run.err"), "vantorelctl: the description of Vantorel V8 Wireless " +
                                          (program / "device" / "vantorel_v8.xml").string() +
                                          " is missing; install Vantorel Mouse again to restore it\n");
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
