// The two ways numbers are read from files and arguments: the lenient one of data
// files and stored settings, and the strict "%d" form of exchange files and vantorelctl.
#include <gtest/gtest.h>

#include <climits>

#include "base/ParseInt.h"

TEST(ParseInt, LenientReadingStopsAtTheFirstNonDigitAndClamps) {
    EXPECT_EQ(ParseInt(L"  42abc"), 42);
    EXPECT_EQ(ParseInt(L"-7"), -7);
    EXPECT_EQ(ParseInt(L""), 0);
    EXPECT_EQ(ParseInt(L"x1"), 0);
    EXPECT_EQ(ParseInt(L"6D35", 16), 0x6D35);
    EXPECT_EQ(ParseInt(L"99999999999"), INT_MAX);
    EXPECT_EQ(ParseInt(L"-99999999999"), INT_MIN);
}

TEST(ParseInt, StrictReadingTakesOnlyTheDecimalForm) {
    int32_t value = 5;
    EXPECT_TRUE(ParseDecimal(L"0", value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(ParseDecimal(L"-2147483648", value));
    EXPECT_EQ(value, INT32_MIN);
    EXPECT_TRUE(ParseDecimal(L"2147483647", value));
    EXPECT_EQ(value, INT32_MAX);
    for (const wchar_t* refused :
         {L"", L"-", L"+3", L" 3", L"3 ", L"0x10", L"1e3", L"2147483648", L"12345678901"}) {
        value = 5;
        EXPECT_FALSE(ParseDecimal(refused, value)) << refused;
        EXPECT_EQ(value, 5) << refused;
    }
}
