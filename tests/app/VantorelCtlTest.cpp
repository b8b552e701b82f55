// The command-line tool: its options, and the program itself run against the
// simulated mouse with a scratch home.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "../support/TempFolder.h"
#include "app/VantorelCtl.h"
#include "orvix/core/TextConv.h"

namespace {

TEST(VantorelCtlOptions, CommandsAndTheirArguments) {
    CtlOptions o;
    std::string error;
    EXPECT_EQ(ParseCtlOptions({"--simulate=receiver", "set", "report_rate", "3"}, o, error), kCtlSuccess);
    EXPECT_TRUE(o.simulate && o.simulateReceiver);
    EXPECT_EQ(o.command, "set");
    EXPECT_EQ(o.arguments, (std::vector<std::string>{"report_rate", "3"}));
    EXPECT_EQ(ParseCtlOptions({"button", "1", "2", "4", "6", "0"}, o, error), kCtlSuccess);
    EXPECT_FALSE(o.simulate);
    EXPECT_EQ(ParseCtlOptions({"--help"}, o, error), kCtlSuccess);
    EXPECT_TRUE(o.help);

    EXPECT_EQ(ParseCtlOptions({}, o, error), kCtlUsage);
    EXPECT_EQ(ParseCtlOptions({"set", "report_rate"}, o, error), kCtlUsage);
    EXPECT_EQ(error, "wrong number of arguments for set");
    EXPECT_EQ(ParseCtlOptions({"--simulate=usb", "info"}, o, error), kCtlUsage);
    EXPECT_EQ(ParseCtlOptions({"flash"}, o, error), kCtlUsage);
    EXPECT_EQ(ParseCtlOptions({"profile", "1", "2"}, o, error), kCtlUsage);
}

class VantorelCtlProgram : public ::testing::Test {
  protected:
    // Runs the tool in the scratch folder; returns its exit code.
    int Run(const std::string& arguments) {
        const std::string home = Orvix::WideToUtf8(folder.Folder());
        const std::string command = "cd '" + home + "' && HOME='" + home + "' XDG_CONFIG_HOME='" + home +
                                    "config' XDG_DATA_HOME='" + home + "data' VANTOREL_SIM_TRACE=t.log '" +
                                    VANTOREL_BINARY_DIR "/vantorelctl' " + arguments + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempFolder folder;
};

TEST_F(VantorelCtlProgram, SetReportRateOnTheSimulatedMouse) {
    ASSERT_EQ(Run("--simulate set report_rate 3"), 0) << folder.Read("err.txt");
    const std::string trace = folder.Read("t.log");
    const size_t handshake = trace.find("host->dev 06 05 +62x00");
    const size_t read = trace.find("host->dev 06 05 +62x00", handshake + 1);
    const size_t receiver = trace.find("host->dev 06 07 +62x00");
    const size_t setting = trace.find("host->dev 06 13 02 00 00 02 03 +57x00");
    ASSERT_NE(handshake, std::string::npos) << trace;
    ASSERT_NE(read, std::string::npos) << trace;
    ASSERT_NE(setting, std::string::npos) << trace;
    EXPECT_LT(read, receiver);
    EXPECT_LT(receiver, setting);
    EXPECT_EQ(trace.find("REJECTED"), std::string::npos) << trace;

    ASSERT_EQ(Run("--simulate=receiver info"), 0);
    EXPECT_NE(folder.Read("out.txt").find("receiver firmware: 1.1.3"), std::string::npos)
        << folder.Read("out.txt");
    ASSERT_EQ(Run("--simulate get light_sleep"), 0);
    EXPECT_EQ(folder.Read("out.txt"), "60\n");
}

TEST_F(VantorelCtlProgram, ExitCodes) {
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_EQ(folder.Read("out.txt").rfind("usage: vantorelctl", 0), 0u);
    EXPECT_EQ(Run("--simulate"), 2);
    EXPECT_EQ(Run("--simulate set report_rate fast"), 2);
    EXPECT_EQ(Run("--simulate get no_such_key"), 2);
    EXPECT_EQ(Run("--simulate button 9 8 1"), 2);
    EXPECT_EQ(Run("--simulate profile 7"), 2);
    EXPECT_EQ(Run("info"), 1);  // the hidraw back end finds no mouse here
    EXPECT_NE(folder.Read("err.txt").find("is reachable"), std::string::npos);
}

}  // namespace
