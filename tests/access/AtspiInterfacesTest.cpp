// The pieces of text the bus hands out and takes in, without a bus.
#include <gtest/gtest.h>

#include "platform/dbus/AtspiInterfaces.h"

TEST(AtspiTextTest, InsertTextTakesWholeCharactersOfTheBytesItIsTold) {
    const std::string text = "\xC3\xA9t\xC3\xA9";  // "été": 2 + 1 + 2 bytes
    EXPECT_EQ(InsertedPart(text, -1), text);
    EXPECT_EQ(InsertedPart(text, 99), text);
    EXPECT_EQ(InsertedPart(text, 5), text);
    EXPECT_EQ(InsertedPart(text, 3), "\xC3\xA9t");
    // A cut inside a character leaves that character out rather than half of it.
    EXPECT_EQ(InsertedPart(text, 1), "");
    EXPECT_EQ(InsertedPart(text, 4), "\xC3\xA9t");
    EXPECT_EQ(InsertedPart(text, 0), "");
}

TEST(AtspiTextTest, WordsLinesAndCharactersAroundAnOffset) {
    const std::wstring text = L"Reset DPI\nlevels";
    const TextRange word = TextAround(text, 2, 1);
    EXPECT_EQ(word.start, 0);
    EXPECT_EQ(word.end, 5);
    const TextRange gap = TextAround(text, 5, 1);  // the space between two words
    EXPECT_EQ(gap.start, 5);
    EXPECT_EQ(gap.end, 6);
    const TextRange line = TextAround(text, 12, 3);
    EXPECT_EQ(line.start, 10);
    EXPECT_EQ(line.end, 16);
    const TextRange first = TextAround(text, 0, 3);
    EXPECT_EQ(first.end, 10);  // the line keeps its end of line
    const TextRange last = TextAround(text, 16, 0);  // at the very end: empty
    EXPECT_EQ(last.start, 16);
    EXPECT_EQ(last.end, 16);
    EXPECT_EQ(TextBoundaryGranularity(2), 1u);
    EXPECT_EQ(TextBoundaryGranularity(6), 3u);
}
