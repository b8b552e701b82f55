// When a battery report calls for a low battery notification, and its texts.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/LanguageText.h"
#include "features/LowBatteryWatch.h"
#include "base/TextConv.h"

namespace {

// The thresholds Feed answers for a sequence of (level, charging) reports.
std::vector<int> Feed(LowBatteryWatch& watch, const std::vector<std::pair<int, bool>>& reports) {
    std::vector<int> answers;
    for (auto [level, charging] : reports) answers.push_back(watch.Feed(level, charging));
    return answers;
}

TEST(LowBatteryWatch, NotifiesOncePerThresholdUntilTheLevelRisesAboveIt) {
    LowBatteryWatch watch;
    EXPECT_EQ(Feed(watch, {{16, false}, {15, false}, {14, false}, {15, false}, {20, false}, {15, false}}),
              (std::vector<int>{0, 15, 0, 0, 0, 15}));
    // Down to 5 %: the second threshold, once; back above 5 % re-arms only it.
    EXPECT_EQ(Feed(watch, {{6, false}, {5, false}, {3, false}, {8, false}, {12, false}, {4, false}}),
              (std::vector<int>{0, 5, 0, 0, 0, 5}));
}

TEST(LowBatteryWatch, ChargingNeverNotifiesButALevelAboveStillReArms) {
    LowBatteryWatch watch;
    EXPECT_EQ(Feed(watch, {{15, true}, {10, true}, {4, true}}), (std::vector<int>{0, 0, 0}));
    // Unplugged while still low: now it is worth saying.
    EXPECT_EQ(watch.Feed(4, false), 5);
    EXPECT_EQ(Feed(watch, {{30, true}, {14, false}}), (std::vector<int>{0, 15}));
}

TEST(LowBatteryWatch, ADropPastBothThresholdsNotifiesOnceForTheLowerOne) {
    LowBatteryWatch watch;
    EXPECT_EQ(Feed(watch, {{50, false}, {4, false}, {10, false}, {14, false}}),
              (std::vector<int>{0, 5, 0, 0}));
    // The first report of a session may already be low.
    LowBatteryWatch fresh;
    EXPECT_EQ(fresh.Feed(9, false), 15);
}

TEST(LowBatteryWatch, LevelsThatAreNoReadingChangeNothingAndResetStartsOver) {
    LowBatteryWatch watch;
    EXPECT_EQ(Feed(watch, {{0, false}, {-3, false}, {101, false}, {255, false}}),
              (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(watch.Feed(15, false), 15);
    EXPECT_EQ(watch.Feed(0, false), 0);  // no reading: not a rise above 15
    EXPECT_EQ(watch.Feed(15, false), 0);
    watch.Reset();  // another mouse
    EXPECT_EQ(watch.Feed(15, false), 15);
}

TEST(LowBatteryNotice, TakesItsTextsFromTheLanguageFiles) {
    auto english = [](int id) {
        return ReadLanguageText(Orvix::Utf8ToWide(VANTOREL_BINARY_DIR "/"), 1033, L"LAN", id);
    };
    auto french = [](int id) {
        return ReadLanguageText(Orvix::Utf8ToWide(VANTOREL_BINARY_DIR "/"), 1036, L"LAN", id);
    };

    LowBatteryNotice low = MakeLowBatteryNotice(L"Vantorel V8", 15, 15, english);
    EXPECT_EQ(low.title, L"Low battery");
    EXPECT_EQ(low.body, L"Vantorel V8: 15% battery left. Connect the cable to charge the mouse.");
    EXPECT_FALSE(low.critical);

    LowBatteryNotice empty = MakeLowBatteryNotice(L"Vantorel V6", 3, 5, french);
    EXPECT_EQ(empty.title, L"Batterie presque vide");
    EXPECT_EQ(empty.body,
              L"Vantorel V6 : il reste 3 % de batterie. Branchez le câble pour recharger la souris.");
    EXPECT_TRUE(empty.critical);
}

TEST(LowBatteryNotice, FillsPlaceholdersLiterallyAndToleratesTextsWithout) {
    auto texts = [](int id) -> std::wstring {
        if (id == 922) return L"{model} {model} at {level}% ({unknown}) %s %d";
        return L"t";
    };
    // A model name that looks like a placeholder is not expanded again.
    EXPECT_EQ(MakeLowBatteryNotice(L"{level}", 7, 5, texts).body, L"{level} {level} at 7% ({unknown}) %s %d");
    EXPECT_EQ(MakeLowBatteryNotice(L"M", 7, 5, [](int) { return std::wstring(); }).body, L"");
}

}  // namespace
