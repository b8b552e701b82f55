// The command-line tool: its options, and the program itself run against the
// simulated mouse with a scratch home.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "../support/TempFolder.h"
#include "JsonReader.h"
#include "app/VantorelCtl.h"
#include "base/TextConv.h"

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
    EXPECT_EQ(folder.Read("out.txt"), "60 (1 min)\n");
    // The raw value first, its meaning beside it.
    ASSERT_EQ(Run("--simulate get report_rate"), 0);
    EXPECT_EQ(folder.Read("out.txt"), "3 (1000 Hz)\n");
    ASSERT_EQ(Run("--simulate get version"), 0);
    EXPECT_EQ(folder.Read("out.txt"), "1.0.1\n");
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
    // The same with --json: the codes do not change, the error stays words.
    EXPECT_EQ(Run("--json info"), 1);
    EXPECT_EQ(folder.Read("out.txt"), "");
    EXPECT_EQ(Run("--simulate --json get no_such_key"), 2);
    EXPECT_EQ(Run("--simulate --json set report_rate 2"), 2);  // nothing to print as JSON
    EXPECT_EQ(Run("keys extra"), 2);
    EXPECT_EQ(Run("--version"), 0);
    EXPECT_EQ(folder.Read("out.txt"), "vantorelctl 1.0.0\n");
}

TEST(VantorelCtlOptions, JsonGoesBeforeOrAfterTheCommandsThatPrint) {
    CtlOptions o;
    std::string error;
    EXPECT_EQ(ParseCtlOptions({"--json", "info"}, o, error), kCtlSuccess);
    EXPECT_TRUE(o.json);
    EXPECT_EQ(ParseCtlOptions({"get", "report_rate", "--json"}, o, error), kCtlSuccess);
    EXPECT_TRUE(o.json);
    EXPECT_EQ(o.arguments, std::vector<std::string>{"report_rate"});
    EXPECT_EQ(ParseCtlOptions({"keys"}, o, error), kCtlSuccess);
    EXPECT_FALSE(o.json);
    // A program path may be "--json": after button it is an argument.
    EXPECT_EQ(ParseCtlOptions({"button", "1", "9", "--json"}, o, error), kCtlSuccess);
    EXPECT_FALSE(o.json);
    EXPECT_EQ(ParseCtlOptions({"--json", "reset"}, o, error), kCtlUsage);
    EXPECT_EQ(ParseCtlOptions({"--version"}, o, error), kCtlSuccess);
    EXPECT_TRUE(o.version);
}

TEST_F(VantorelCtlProgram, KeysListEveryKeyWithItsRangeAndMeaningWithoutAMouse) {
    ASSERT_EQ(Run("keys"), 0) << folder.Read("err.txt");
    const std::string text = folder.Read("out.txt");
    EXPECT_NE(text.find("report_rate"), std::string::npos);
    EXPECT_NE(text.find("0 to 3"), std::string::npos);
    EXPECT_NE(text.find("report rate (0 125 Hz, 1 250 Hz, 2 500 Hz, 3 1000 Hz)"), std::string::npos) << text;

    ASSERT_EQ(Run("keys --json"), 0);
    const std::optional<Json> json = ParseJson(folder.Read("out.txt"));
    ASSERT_TRUE(json) << folder.Read("out.txt");
    const Json& keys = (*json)["keys"];
    ASSERT_EQ(keys.kind, Json::Kind::Array);
    EXPECT_EQ(keys.items.size(), 40u);  // every key of a profile
    std::map<std::string, const Json*> byName;
    for (const Json& key : keys.items) {
        byName[key["key"].text] = &key;
        EXPECT_FALSE(key["meaning"].text.empty()) << key["key"].text;
    }
    const Json& rate = *byName.at("report_rate");
    EXPECT_TRUE(rate["settable"].boolean);
    EXPECT_EQ(rate["min"].number, 0);
    EXPECT_EQ(rate["max"].number, 3);
    EXPECT_EQ(rate["values"][3]["text"].text, "1000 Hz");
    EXPECT_FALSE((*byName.at("version"))["settable"].boolean);
    EXPECT_FALSE(byName.at("version")->Has("min"));
    const Json& sleep = *byName.at("deep_sleep");
    EXPECT_EQ(sleep["choices"].items.size(), 13u);
    EXPECT_EQ(sleep["values"][0]["text"].text, "3 min");
    EXPECT_EQ((*byName.at("dpi_group6_value"))["max"].number, 26000);  // the V8's sensor
}

TEST_F(VantorelCtlProgram, JsonOfInfoGetAndProfileParsesWithItsStableFields) {
    ASSERT_EQ(Run("--simulate=receiver --json info"), 0) << folder.Read("err.txt");
    std::optional<Json> info = ParseJson(folder.Read("out.txt"));
    ASSERT_TRUE(info) << folder.Read("out.txt");
    EXPECT_EQ((*info)["connection"].text, "receiver");
    EXPECT_EQ((*info)["receiver_firmware"].text, "1.1.3");
    EXPECT_EQ((*info)["battery"]["level"].kind, Json::Kind::Number);
    EXPECT_EQ((*info)["battery"]["charging"].kind, Json::Kind::Bool);
    EXPECT_EQ((*info)["models"][0]["device_type"].number, 101);
    EXPECT_TRUE((*info)["models"][0]["selected"].boolean);
    bool vendorDevice = false;
    for (const Json& device : (*info)["devices"].items)
        vendorDevice = vendorDevice || (device["vid"].text == "3A5C" && device["state"].text == "online");
    EXPECT_TRUE(vendorDevice) << folder.Read("out.txt");
    EXPECT_EQ((*info)["report_rate"]["text"].text, "1000 Hz");
    EXPECT_EQ((*info)["dpi"].kind, Json::Kind::Number);

    ASSERT_EQ(Run("--simulate get deep_sleep --json"), 0);
    std::optional<Json> value = ParseJson(folder.Read("out.txt"));
    ASSERT_TRUE(value) << folder.Read("out.txt");
    EXPECT_EQ((*value)["key"].text, "deep_sleep");
    EXPECT_EQ((*value)["raw"].text, std::to_string((*value)["value"].number));
    EXPECT_FALSE((*value)["text"].text.empty());
    ASSERT_EQ(Run("--simulate --json get version"), 0);
    value = ParseJson(folder.Read("out.txt"));
    ASSERT_TRUE(value);
    EXPECT_EQ((*value)["value"].kind, Json::Kind::Null);
    EXPECT_EQ((*value)["raw"].text, "1.0.1");

    ASSERT_EQ(Run("--simulate --json profile 3"), 0) << folder.Read("err.txt");
    std::optional<Json> profiles = ParseJson(folder.Read("out.txt"));
    ASSERT_TRUE(profiles) << folder.Read("out.txt");
    EXPECT_EQ((*profiles)["active"].number, 3);
    ASSERT_EQ((*profiles)["profiles"].items.size(), 4u);
    EXPECT_TRUE((*profiles)["profiles"][2]["active"].boolean);
    EXPECT_EQ((*profiles)["profiles"][2]["id"].number, 3);
    EXPECT_FALSE((*profiles)["profiles"][2]["name"].text.empty());
}

}  // namespace
