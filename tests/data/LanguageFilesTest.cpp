// The language files shipped in data/language: one per language the program
// knows, the placeholders of the English texts in every translation, and no
// text that the fonts cannot draw.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "base/AppContext.h"
#include "base/IniFile.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(VANTOREL_SOURCE_DIR) / "data" / "language";

std::map<int, std::wstring> Texts(int lcid) {
    IniFile file;
    EXPECT_TRUE(file.Load(LanguageFilePath(Orvix::Utf8ToWide(VANTOREL_SOURCE_DIR "/data"), lcid))) << lcid;
    std::map<int, std::wstring> texts;
    for (const std::wstring& key : file.GetKeys(L"LAN")) file.Get(L"LAN", key, texts[std::stoi(key)]);
    return texts;
}

// The placeholders of a text in order: printf conversions as the program's
// formats use them ("%s", "%d", "%ls", "%02d") and named ones ("{file}").
// "%%" and a "%" before a blank ("15 % battery") are percent signs.
std::vector<std::string> Placeholders(const std::wstring& text) {
    const std::string s = Orvix::WideToUtf8(text);
    std::vector<std::string> found;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%') {
            if (i + 1 < s.size() && s[i + 1] == '%') {
                ++i;
                continue;
            }
            size_t end = i + 1;
            while (end < s.size() && (std::isdigit(static_cast<unsigned char>(s[end])) || s[end] == '-' || s[end] == '.'))
                ++end;
            if (end < s.size() && s[end] == 'l') ++end;
            if (end < s.size() && std::strchr("sdiuxXc", s[end])) {
                found.push_back(s.substr(i, end + 1 - i));
                i = end;
            }
        } else if (s[i] == '{') {
            const size_t close = s.find('}', i);
            if (close == std::string::npos) continue;
            const std::string name = s.substr(i + 1, close - i - 1);
            if (!name.empty() && name.find_first_not_of("abcdefghijklmnopqrstuvwxyz_") == std::string::npos) {
                found.push_back(s.substr(i, close + 1 - i));
                i = close;
            }
        }
    }
    return found;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts) joined += (joined.empty() ? "" : " ") + part;
    return "[" + joined + "]";
}

}  // namespace

TEST(LanguageFiles, OneFileForEachKnownLanguageAndNothingElseThatLooksLikeOne) {
    std::set<int> files;
    for (const auto& entry : fs::directory_iterator(kSource)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".lan") {
            const int lcid = std::stoi(name);
            EXPECT_EQ(name, std::to_string(lcid) + ".lan");
            EXPECT_NE(FindLanguage(lcid), nullptr) << name << " is no language the program knows";
            files.insert(lcid);
        } else {
            EXPECT_TRUE(name.starts_with("glossary-") && name.ends_with(".md")) << name;
        }
    }
    std::set<int> known;
    for (const LanguageInfo& language : KnownLanguages()) known.insert(language.lcid);
    EXPECT_EQ(files, known);
    // The glossaries are for translators: the program folder holds language files only.
    for (const auto& entry : fs::directory_iterator(fs::path(VANTOREL_BINARY_DIR) / "language"))
        EXPECT_EQ(entry.path().extension(), ".lan") << entry.path();
}

TEST(LanguageFiles, EveryTranslationKeepsThePlaceholdersOfTheEnglishText) {
    const std::map<int, std::wstring> english = Texts(kLcidEnglish);
    size_t formats = 0;
    for (const auto& [id, text] : english) formats += !Placeholders(text).empty();
    ASSERT_GE(formats, 8u) << "the pattern finds the placeholders of the English file";
    for (const LanguageInfo& language : KnownLanguages()) {
        for (const auto& [id, text] : Texts(language.lcid)) {
            const auto source = english.find(id);
            if (source == english.end()) continue;  // the id test reports it
            EXPECT_EQ(Join(Placeholders(text)), Join(Placeholders(source->second)))
                << language.lcid << ".lan, id " << id << ": " << Orvix::WideToUtf8(text);
        }
    }
}

TEST(LanguageFiles, PlaceholderPatternTellsFormatsFromPercentSigns) {
    EXPECT_EQ(Join(Placeholders(L"%s: %d of %ls, 100%% {file} {level}% x")), "[%s %d %ls {file} {level}]");
    // "%" before a blank is a percent sign in the named-placeholder texts.
    EXPECT_EQ(Join(Placeholders(L"il reste {level} % de batterie")), "[{level}]");
    EXPECT_NE(Join(Placeholders(L"(%s) %d")), Join(Placeholders(L"%d (%s)")));
}

// Every text of every language drawn in the toolkit's font: the embedded Open
// Sans and, for what it lacks, fontconfig's fallback for the text's language.
TEST(LanguageFiles, EveryTextHasAGlyphForEachCharacter) {
    ASSERT_TRUE(Orvix::RegisterEmbeddedFont());
    for (const LanguageInfo& language : KnownLanguages()) {
        Orvix::SetTextLanguage(language.textLanguage);
        std::wstring names;
        for (const LanguageInfo& other : KnownLanguages()) names += std::wstring(other.nativeName) + L" ";
        EXPECT_EQ(Orvix::CountUnknownGlyphs(names, Orvix::kEmbeddedFontFamily, 14), 0) << "the language list";
        for (const auto& [id, text] : Texts(language.lcid))
            EXPECT_EQ(Orvix::CountUnknownGlyphs(text, Orvix::kEmbeddedFontFamily, 14), 0)
                << language.lcid << ".lan, id " << id << ": " << Orvix::WideToUtf8(text);
    }
    Orvix::SetTextLanguage("en");
}
