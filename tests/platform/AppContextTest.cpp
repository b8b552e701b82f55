#include <filesystem>

#include "orvix/core/TextConv.h"
#include "platform/AppContext.h"
#include "platform/Folders.h"
#include "platform/SettingsStore.h"
#include "tests/platform/ScratchHome.h"

namespace fs = std::filesystem;

TEST(LanguageIdFromLocale, OnlyFrenchOfFranceIsFrench) {
    EXPECT_EQ(LanguageIdFromLocale("fr_FR.UTF-8"), 1036);
    EXPECT_EQ(LanguageIdFromLocale("fr_FR@euro"), 1036);
    EXPECT_EQ(LanguageIdFromLocale("fr_CA.UTF-8"), 1033);
    EXPECT_EQ(LanguageIdFromLocale("fr"), 1033);
    EXPECT_EQ(LanguageIdFromLocale("C"), 1033);
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

TEST_F(StartupLanguage, StoredValueOtherThanFrenchBecomesEnglish) {
    Store(2052);
    SetEnv("LANG", "fr_FR.UTF-8");  // a stored value wins over the locale
    EXPECT_EQ(SettleLanguage(), 1033);
    EXPECT_EQ(GetCurrentLcid(), 1033);
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1033);

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
