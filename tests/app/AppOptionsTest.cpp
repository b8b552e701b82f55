#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppOptions.h"

namespace {

struct Parsed {
    bool ok;
    AppOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "VantorelMouse");
    Parsed result;
    result.ok = ParseAppOptions(int(arguments.size()), arguments.data(), result.options, result.error);
    return result;
}

}  // namespace

TEST(AppOptions, AutorunIsASubstringAnywhereAndNeverAnUnknownOption) {
    for (const char* argument : {"-autorun", "--autorun", "x-autorunning"}) {
        Parsed p = Parse({"--simulate", argument});
        ASSERT_TRUE(p.ok) << argument;
        EXPECT_TRUE(p.options.hidden) << argument;
        EXPECT_TRUE(p.options.simulate) << argument;
    }
    // The rule reads the whole command line, option values included.
    Parsed inFolder = Parse({"--screenshot", "/tmp/shots-autorun"});
    ASSERT_TRUE(inFolder.ok);
    EXPECT_TRUE(inFolder.options.hidden);
    EXPECT_FALSE(Parse({"-auto", "run"}).options.hidden);
}

TEST(AppOptions, SimulateChoosesCableOrReceiver) {
    Parsed plain = Parse({"--simulate"});
    ASSERT_TRUE(plain.ok);
    EXPECT_TRUE(plain.options.simulate);
    EXPECT_EQ(plain.options.simulateStart, SimulateStart::Cable);
    Parsed receiver = Parse({"--simulate=receiver"});
    ASSERT_TRUE(receiver.ok);
    EXPECT_EQ(receiver.options.simulateStart, SimulateStart::Receiver);
    Parsed cable = Parse({"--simulate=receiver", "--simulate=cable"});
    ASSERT_TRUE(cable.ok);
    EXPECT_EQ(cable.options.simulateStart, SimulateStart::Cable);

    Parsed unknown = Parse({"--simulate=bluetooth"});
    EXPECT_FALSE(unknown.ok);
    EXPECT_NE(unknown.error.find("--simulate=bluetooth"), std::string::npos);
}

TEST(AppOptions, ScreenshotTakesAFolderInEitherForm) {
    Parsed separate = Parse({"--screenshot", "out dir", "--simulate"});
    ASSERT_TRUE(separate.ok);
    EXPECT_EQ(separate.options.screenshotFolder, "out dir");
    EXPECT_TRUE(separate.options.simulate);
    Parsed joined = Parse({"--screenshot=shots"});
    ASSERT_TRUE(joined.ok);
    EXPECT_EQ(joined.options.screenshotFolder, "shots");

    for (auto arguments :
         {std::vector<const char*>{"--screenshot"}, std::vector<const char*>{"--screenshot="},
          std::vector<const char*>{"--screenshot", ""}}) {
        Parsed missing = Parse(arguments);
        EXPECT_FALSE(missing.ok);
        EXPECT_NE(missing.error.find("--screenshot"), std::string::npos);
    }
}

TEST(AppOptions, UnknownOptionsAndStrayWordsAreRefusedByName) {
    for (const char* argument : {"--frobnicate", "-v", "settings.xml", "--screenshots=x", "--help=me"}) {
        Parsed p = Parse({argument});
        EXPECT_FALSE(p.ok) << argument;
        EXPECT_NE(p.error.find(argument), std::string::npos) << p.error;
    }
}

TEST(AppOptions, ScaleTakesAFactorOrAPercentageInEitherForm) {
    Parsed separate = Parse({"--scale", "2", "--screenshot", "out"});
    ASSERT_TRUE(separate.ok) << separate.error;
    EXPECT_DOUBLE_EQ(separate.options.scale, 2.0);
    Parsed joined = Parse({"--scale=150%"});
    ASSERT_TRUE(joined.ok) << joined.error;
    EXPECT_DOUBLE_EQ(joined.options.scale, 1.5);
    EXPECT_DOUBLE_EQ(Parse({}).options.scale, 0.0);  // none: the desktop's
    for (auto arguments : {std::vector<const char*>{"--scale"}, std::vector<const char*>{"--scale", "big"},
                           std::vector<const char*>{"--scale=0"}, std::vector<const char*>{"--scale", "9"},
                           std::vector<const char*>{"--scale=-1"}}) {
        Parsed bad = Parse(arguments);
        EXPECT_FALSE(bad.ok) << arguments.back();
        EXPECT_NE(bad.error.find("--scale"), std::string::npos);
    }
}

TEST(AppOptions, LanguageTakesALanguageIdInEitherForm) {
    Parsed separate = Parse({"--screenshot", "shots", "--language", "1031"});
    ASSERT_TRUE(separate.ok) << separate.error;
    EXPECT_EQ(separate.options.language, 1031);
    EXPECT_EQ(separate.options.screenshotFolder, "shots");
    Parsed joined = Parse({"--language=2052"});
    ASSERT_TRUE(joined.ok);
    EXPECT_EQ(joined.options.language, 2052);
    EXPECT_EQ(Parse({}).options.language, 0);

    for (auto arguments : {std::vector<const char*>{"--language"}, std::vector<const char*>{"--language="},
                           std::vector<const char*>{"--language", "German"},
                           std::vector<const char*>{"--language", "01031"},
                           std::vector<const char*>{"--language=-1031"},
                           std::vector<const char*>{"--language", "99999999999"}}) {
        Parsed wrong = Parse(arguments);
        EXPECT_FALSE(wrong.ok) << arguments.back();
        EXPECT_NE(wrong.error.find("--language needs a language id"), std::string::npos) << wrong.error;
    }
}
