// The text library's rules without a window: which stored names and contents are
// the built-in examples, the examples of a first start, new names, the counter,
// and a rename that reaches every button typing the text.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "../support/TempFolder.h"
#include "base/ButtonFunction.h"
#include "features/TextLibrary.h"
#include "base/TextConv.h"
#include "storage/DataStore.h"

namespace {

// Some languages' texts, as the language files would give them; nothing for others.
std::wstring Lookup(int lcid, int textId) {
    static const std::map<std::pair<int, int>, std::wstring> texts = {
        {{1033, 460}, L"Example 1 - Blessing"},
        {{1036, 460}, L"Exemple 1 - V\u0153ux"},
        {{1036, 461}, L"Exemple 1 - Service client"},
        {{1036, 471}, L"Bonjour !"},
        {{1031, 461}, L"Beispiel 2 - Kundenservice"},
        {{1041, 471}, L"\u3053\u3093\u306b\u3061\u306f\u3002"},
    };
    auto it = texts.find({lcid, textId});
    return it == texts.end() ? L"" : it->second;
}

TEST(TextLibrary, ExamplesAreKnownInEveryFormTheyWereMadeIn) {
    EXPECT_EQ(ExampleNameTextId(L"1 \u5b9e\u4f8b - \u795d\u798f", Lookup), 460);
    EXPECT_EQ(ExampleNameTextId(L"Example 1 - Customer Service", Lookup), 461);
    EXPECT_EQ(ExampleNameTextId(L"Exemple 1 - Service client", Lookup), 461);
    EXPECT_EQ(ExampleContentTextId(L"Bonjour !", Lookup), 471);
    // Made in any language the program speaks.
    EXPECT_EQ(ExampleNameTextId(L"Beispiel 2 - Kundenservice", Lookup), 461);
    EXPECT_EQ(ExampleContentTextId(L"\u3053\u3093\u306b\u3061\u306f\u3002", Lookup), 471);
    EXPECT_EQ(
        ExampleContentTextId(L"\u60a8\u597d\uff0c\u5f88\u9ad8\u5174\u4e3a\u60a8\u670d\u52a1\uff01", Lookup),
        471);
    EXPECT_EQ(ExampleContentTextId(L"Hello, it's my pleasure to serve you!", nullptr), 471);
    // A name is not a content, and near misses are the user's own.
    EXPECT_EQ(ExampleContentTextId(L"Example 1 - Blessing", Lookup), 0);
    EXPECT_EQ(ExampleNameTextId(L"Example 1 - Blessing ", Lookup), 0);
    EXPECT_EQ(ExampleNameTextId(L"example 1 - blessing", Lookup), 0);
    // A text missing from a language file never makes an empty text an example.
    EXPECT_EQ(ExampleNameTextId(L"", Lookup), 0);
    EXPECT_EQ(ExampleContentTextId(L"", Lookup), 0);
}

TEST(TextLibrary, NamesCountersAndBlankNames) {
    EXPECT_EQ(NewTextName(0, L"Text"), L"1 Text");
    EXPECT_EQ(NewTextName(2, L"Texte"), L"3 Texte");
    EXPECT_EQ(TextCounter(0), L"0/500");
    EXPECT_EQ(TextCounter(500), L"500/500");
    EXPECT_TRUE(IsBlankTextName(L""));
    EXPECT_TRUE(IsBlankTextName(L" \t\u3000"));
    EXPECT_FALSE(IsBlankTextName(L" a "));
}

class TextLibraryStore : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(Orvix::WideToUtf8(folder.Folder()) + "db");
        ASSERT_TRUE(DataStore::Instance().OpenForDevice(folder.Folder(), L"TextLibrary", L"Profile"));
    }
    void TearDown() override { DataStore::Instance().CloseIfOpen(); }

    std::vector<TextData> Texts() {
        std::vector<TextData> texts;
        DataStore::Instance().ListTexts(texts);
        return texts;
    }
    void AssignText(int32_t profile, int keyCode, int32_t textId, const std::wstring& caption) {
        KeyRecord record;
        record.profile = profile;
        record.keyCode = keyCode;
        record.macroType = kFuncText;
        record.macroValue = textId;
        record.macroDesc = caption;
        ASSERT_GT(DataStore::Instance().SaveKey(record), 0);
    }
    std::wstring Caption(int32_t profile, int keyCode) {
        KeyRecord record;
        return DataStore::Instance().GetKey(profile, keyCode, record) ? record.macroDesc : L"-";
    }

    TempFolder folder;
};

TEST_F(TextLibraryStore, ExamplesOnlyIntoAnEmptyLibraryInTheLanguageGiven) {
    DataStore& store = DataStore::Instance();
    auto french = [](int id) { return Lookup(1036, id) + L"#" + std::to_wstring(id); };
    ASSERT_TRUE(CreateExampleTexts(store, french));
    const std::vector<TextData> texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].name, L"Exemple 1 - V\u0153ux#460");
    EXPECT_EQ(texts[0].content, L"#470");
    EXPECT_EQ(texts[1].name, L"Exemple 1 - Service client#461");
    EXPECT_EQ(texts[1].content, L"Bonjour !#471");
    EXPECT_FALSE(CreateExampleTexts(store, french));
    EXPECT_EQ(Texts().size(), 2u);

    // Emptied by the user: the next load fills it again.
    for (const TextData& text : texts) store.DeleteText(text.textId);
    EXPECT_TRUE(CreateExampleTexts(store, french));
    EXPECT_EQ(Texts().size(), 2u);
}

TEST_F(TextLibraryStore, RenameReachesTheButtonsOfEveryProfileTypingThatText) {
    DataStore& store = DataStore::Instance();
    TextData one, two;
    one.name = L"one";
    two.name = L"two";
    const int32_t first = store.AddText(one), second = store.AddText(two);
    AssignText(1, 3, first, L"one");
    AssignText(2, 5, first, L"one");
    AssignText(1, 4, second, L"two");
    // A macro button whose macro has the same number keeps its caption.
    KeyRecord macro;
    macro.profile = 1;
    macro.keyCode = 6;
    macro.macroType = kFuncMacro;
    macro.macroValue = first;
    macro.macroDesc = L"Macro 1";
    ASSERT_GT(store.SaveKey(macro), 0);

    ASSERT_TRUE(RenameTextAndCaptions(store, first, L"Greeting"));
    std::wstring name;
    ASSERT_TRUE(store.GetTextName(first, name));
    EXPECT_EQ(name, L"Greeting");
    EXPECT_EQ(Caption(1, 3), L"Greeting");
    EXPECT_EQ(Caption(2, 5), L"Greeting");
    EXPECT_EQ(Caption(1, 4), L"two");
    EXPECT_EQ(Caption(1, 6), L"Macro 1");
    EXPECT_FALSE(RenameTextAndCaptions(store, 0, L"x"));
}

}  // namespace
