#include "base/TextConv.h"

#include <gtest/gtest.h>

using namespace Orvix;

TEST(TextConv, RoundTripsAcrossPlanes) {
    const std::wstring text = L"Profil \u00e9t\u00e9 \u914d\u7f6e \U0001F5B1";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(Utf16ToWide(WideToUtf16(text)), text);
    EXPECT_EQ(WideToUtf16(L"\U0001F5B1").size(), 2u);  // surrogate pair
    EXPECT_EQ(WideToUtf8(L"\u00e9"), "\xC3\xA9");
}

TEST(TextConv, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xC3"), L"a\uFFFD");             // truncated sequence
    EXPECT_EQ(Utf8ToWide("\xC0\xAF" "b"), L"\uFFFD" "b");        // overlong form is one error
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD");        // encoded surrogate
    EXPECT_EQ(Utf8ToWide("\xFF" "x"), L"\uFFFDx");
    EXPECT_EQ(Utf16ToWide(std::u16string(1, u'\xD800')), L"\uFFFD");  // lone surrogate
}

TEST(TextConv, FormatGrowsBeyondItsFirstBuffer) {
    EXPECT_EQ(FormatW(L"%d_%ls", 12, L"x"), L"12_x");
    std::wstring longText(1000, L'z');
    EXPECT_EQ(FormatW(L"<%ls>", longText.c_str()).size(), 1002u);
}
