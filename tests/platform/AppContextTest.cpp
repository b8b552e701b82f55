#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "base/AppContext.h"
#include "base/Folders.h"
#include "base/SettingsStore.h"
#include "tests/platform/ScratchHome.h"

namespace fs = std::filesystem;

TEST(LanguageIdFromLocale, OnlyFrenchOfFranceIsFrench) {
    EXPECT_EQ(LanguageIdFromLocale("fr_FR.UTF-8"), 1036);
    EXPECT_EQ(LanguageIdFromLocale("fr_FR@euro"), 1036);
    EXPECT_EQ(LanguageIdFromLocale("fr_CA.UTF-8"), 1033);
    EXPECT_EQ(LanguageIdFromLocale("fr"), 1033);
    EXPECT_EQ(LanguageIdFromLocale("C"), 1033);
}

TEST(LanguageIdFromLocale, ExactNameFirstThenTheLanguagePart) {
    EXPECT_EQ(LanguageIdFromLocale("de_DE.UTF-8"), 1031);
    EXPECT_EQ(LanguageIdFromLocale("de_AT.UTF-8"), 1031);
    EXPECT_EQ(LanguageIdFromLocale("de"), 1031);
    EXPECT_EQ(LanguageIdFromLocale("es_MX.UTF-8"), 3082);
    EXPECT_EQ(LanguageIdFromLocale("pt_BR.UTF-8"), 1046);
    EXPECT_EQ(LanguageIdFromLocale("pt_PT.UTF-8"), 1046);
    EXPECT_EQ(LanguageIdFromLocale("ru_UA.UTF-8"), 1049);
    EXPECT_EQ(LanguageIdFromLocale("ja_JP.UTF-8"), 1041);
    EXPECT_EQ(LanguageIdFromLocale("ko_KR.EUC-KR"), 1042);
    EXPECT_EQ(LanguageIdFromLocale("zh_CN.GB18030"), 2052);
    EXPECT_EQ(LanguageIdFromLocale("zh_SG.UTF-8"), 2052);
    EXPECT_EQ(LanguageIdFromLocale("en_GB.UTF-8"), 1033);
    EXPECT_EQ(LanguageIdFromLocale("POSIX"), 1033);
    // Traditional Chinese is another script: no match, like an unknown language.
    EXPECT_EQ(LanguageIdFromLocale("zh_TW.UTF-8"), 0);
    EXPECT_EQ(LanguageIdFromLocale("sv_SE.UTF-8"), 0);
    EXPECT_EQ(LanguageIdFromLocale(""), 0);
    // Only languages whose file is there count; French without its file is English.
    const int englishAndGerman[] = {1033, 1031};
    EXPECT_EQ(LanguageIdFromLocale("de_CH.UTF-8", englishAndGerman), 1031);
    EXPECT_EQ(LanguageIdFromLocale("ja_JP.UTF-8", englishAndGerman), 0);
    EXPECT_EQ(LanguageIdFromLocale("fr_FR.UTF-8", englishAndGerman), 1033);
}

TEST(KnownLanguages, EachNamesItselfOnceAndHasATextLanguage) {
    std::set<int> ids;
    std::set<std::wstring> names;
    for (const LanguageInfo& language : KnownLanguages()) {
        EXPECT_TRUE(ids.insert(language.lcid).second) << language.lcid;
        EXPECT_TRUE(names.insert(language.nativeName).second);
        EXPECT_EQ(FindLanguage(language.lcid), &language);
        EXPECT_FALSE(language.locales.empty());
        EXPECT_NE(std::string(language.textLanguage), "");
    }
    EXPECT_EQ(ids, (std::set<int>{1031, 1033, 1036, 1040, 1041, 1042, 1045, 1046, 1049, 2052, 3082}));
    EXPECT_EQ(FindLanguage(1053), nullptr);
    EXPECT_EQ(std::wstring(FindLanguage(1049)->nativeName), L"Русский");
    EXPECT_EQ(std::wstring(FindLanguage(2052)->nativeName), L"简体中文");
}

TEST(ResolveLanguageId, AStoredLanguageStaysOnlyWhileItsFileIsThere) {
    const int shipped[] = {1033, 1036, 1031, 2052};
    EXPECT_EQ(ResolveLanguageId(1031, 1033, shipped), 1031);
    EXPECT_EQ(ResolveLanguageId(2052, 1033, shipped), 2052);
    EXPECT_EQ(ResolveLanguageId(1036, 1031, shipped), 1036);
    EXPECT_EQ(ResolveLanguageId(1049, 1036, shipped), 1033);  // known, but no file
    EXPECT_EQ(ResolveLanguageId(1053, 1036, shipped), 1033);  // not a language of the program
    EXPECT_EQ(ResolveLanguageId(-5, 1036, shipped), 1033);
    EXPECT_EQ(ResolveLanguageId(0, 1031, shipped), 1031);     // nothing stored: the desktop's
    EXPECT_EQ(ResolveLanguageId(0, 1049, shipped), 1033);
}

TEST(AutorunSwitch, IsAPlainSubstringOfTheArguments) {
    const char* hidden[] = {"/opt/vm/VantorelMouse", "--simulate", "x-autorunner"};
    EXPECT_EQ(GetCommandLine(3, hidden), "--simulate x-autorunner");
    EXPECT_TRUE(IsAutorunStart(GetCommandLine(3, hidden)));
    EXPECT_FALSE(IsAutorunStart("-Autorun"));
    // The program's own path is not part of the command line.
    const char* shown[] = {"/opt/my-autorun/VantorelMouse"};
    EXPECT_FALSE(IsAutorunStart(GetCommandLine(1, shown)));
}

class StartupLanguage : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        SetEnv("LANGUAGE", std::nullopt);
        SetEnv("LC_ALL", std::nullopt);
        SetEnv("LC_MESSAGES", std::nullopt);
        SetEnv("LANG", "en_US.UTF-8");
        m_savedLcid = GetCurrentLcid();
    }
    void TearDown() override {
        SetCurrentLcid(m_savedLcid);
        ScratchHome::TearDown();
    }
    void Store(int lcid) {
        ReadAppRegInt(L"LCID");  // creates the store
        ASSERT_TRUE(WriteAppRegInt(L"LCID", lcid));
    }

  private:
    int m_savedLcid = 0;
};

TEST_F(StartupLanguage, StoredValueWithoutALanguageFileBecomesEnglish) {
    Store(1053);
    SetEnv("LANG", "fr_FR.UTF-8");  // a stored value wins over the locale
    EXPECT_EQ(SettleLanguage(), 1033);
    EXPECT_EQ(GetCurrentLcid(), 1033);
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1033);

    Store(2052);  // a language the program folder has a file for
    EXPECT_EQ(SettleLanguage(), 2052);
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 2052);

    Store(1036);
    SetEnv("LANG", "en_US.UTF-8");
    EXPECT_EQ(SettleLanguage(), 1036);
    EXPECT_EQ(GetCurrentLcid(), 1036);
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1036);
}

TEST_F(StartupLanguage, WithoutStoredValueTheLocaleDecides) {
    SetEnv("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(SettleLanguage(), 1036);  // first start: the store does not exist yet
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1036);

    Store(0);
    SetEnv("LANG", "fr_CA.UTF-8");
    EXPECT_EQ(SettleLanguage(), 1033);

    Store(0);
    SetEnv("LANG", "en_US.UTF-8");
    SetEnv("LC_MESSAGES", "fr_FR.UTF-8");  // the messages locale is the interface language
    EXPECT_EQ(SettleLanguage(), 1036);

    Store(0);
    SetEnv("LC_ALL", "fr_CA.UTF-8");  // and LC_ALL overrides both
    EXPECT_EQ(SettleLanguage(), 1033);
}

TEST_F(StartupLanguage, TheLanguageListComesFirstThenTheLocaleVariables) {
    SetEnv("LANG", "de_AT.UTF-8");
    EXPECT_EQ(SettleLanguage(), 1031);  // first start, language part of the locale

    Store(0);
    SetEnv("LANGUAGE", "sv:zh_TW:ja_JP:de");  // entries without a file are passed over
    EXPECT_EQ(SettleLanguage(), 1041);
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1041);

    Store(0);
    SetEnv("LANGUAGE", "fr_CA:de");  // French stays what it was: fr_CA is English
    EXPECT_EQ(SettleLanguage(), 1033);

    Store(0);
    SetEnv("LANGUAGE", "sv:nb");  // nothing in the list: the locale decides
    SetEnv("LC_MESSAGES", "ko_KR.UTF-8");
    EXPECT_EQ(SettleLanguage(), 1042);

    Store(0);
    SetEnv("LANGUAGE", "");
    SetEnv("LC_ALL", "sv_SE.UTF-8");  // an unknown language: English
    EXPECT_EQ(SettleLanguage(), 1033);
}

TEST_F(StartupLanguage, SettingTheLanguageTellsTheToolkitTheTextLanguage) {
    SetCurrentLcid(1041);
    EXPECT_STREQ(Orvix::GetTextLanguage(), "ja");
    SetCurrentLcid(2052);
    EXPECT_STREQ(Orvix::GetTextLanguage(), "zh-cn");
    SetCurrentLcid(1053);
    EXPECT_STREQ(Orvix::GetTextLanguage(), "en");
}

TEST_F(StartupLanguage, AvailableLanguagesAreTheKnownOnesWithAFile) {
    const std::wstring folder = Orvix::Utf8ToWide(Root().string());
    fs::create_directories(Root() / "language" / "1049.lan");  // a folder, not a file
    for (const char* name : {"2052.lan", "1033.lan", "1053.lan", "1031.lan.bak", "glossary-de.md"})
        std::ofstream(Root() / "language" / name) << "[LAN]\n1=x\n";
    // In the list's order, whatever order the files were made in.
    EXPECT_EQ(GetAvailableLanguages(folder), (std::vector<int>{1033, 2052}));
    EXPECT_EQ(LanguageFilePath(folder, 1031), folder + L"/language/1031.lan");
    EXPECT_TRUE(GetAvailableLanguages(folder + L"/nowhere").empty());
    // The program's own folder has every known language.
    EXPECT_EQ(GetAvailableLanguages(GetProgramFolder()).size(), KnownLanguages().size());
}

TEST_F(StartupLanguage, UnreadableStoreStartsInEnglish) {
    fs::create_directories(Orvix::WideToUtf8(GetSettingsStorePath()));
    SetEnv("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(SettleLanguage(), 1033);
}

using DatabaseFolder = ScratchHome;

TEST_F(DatabaseFolder, IsCreatedWithTheMissingPerUserFolder) {
    SetEnv("XDG_DATA_HOME", (Root() / "new" / "share").string());
    ASSERT_FALSE(fs::exists(Root() / "new"));
    EXPECT_TRUE(EnsureDatabaseFolder());
    EXPECT_TRUE(fs::is_directory(Root() / "new" / "share" / "Vantorel Mouse Files" / "db"));
    EXPECT_TRUE(EnsureDatabaseFolder());
}
