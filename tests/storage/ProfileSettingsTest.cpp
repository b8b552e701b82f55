// Configuration rows of a profile, the profile table and the initial-profiles rule.
#include <map>

#include "StoreTestSupport.h"
#include "base/AppContext.h"

namespace {

class ProfileStore : public StoreTest {
  protected:
    // Every configuration row of a profile, as "key" -> "value", in insertion order.
    std::vector<std::pair<std::string, std::string>> Settings(int profile) const {
        const std::string where =
            " FROM t_configdata WHERE profile = " + std::to_string(profile) + " ORDER BY config_id";
        const auto keys = QueryAll(("SELECT key" + where).c_str());
        const auto values = QueryAll(("SELECT value" + where).c_str());
        std::vector<std::pair<std::string, std::string>> rows;
        for (size_t i = 0; i < keys.size() && i < values.size(); ++i) rows.emplace_back(keys[i], values[i]);
        return rows;
    }
    int32_t AddNamed(const std::wstring& name) {
        ProfileData record;
        record.name = name;
        return Store().AddProfile(record);
    }
};

}  // namespace

TEST_F(ProfileStore, NewProfileHasFortyRowsAndAResetChangesExactlyTwo) {
    const int32_t id = AddNamed(L"P");
    ASSERT_EQ(id, 1);
    const auto created = Settings(id);
    ASSERT_EQ(created.size(), 40u);
    const std::map<std::string, std::string> byKey(created.begin(), created.end());
    EXPECT_EQ(byKey.size(), 40u);  // one row per key
    EXPECT_EQ(created.front(), std::make_pair(std::string("version"), std::string("1.0.1")));
    EXPECT_EQ(created.back().first, "notify_fardistance");
    EXPECT_EQ(byKey.at("dpi_flag"), "5");
    EXPECT_EQ(byKey.at("dpi_group3_value"), "2400");
    EXPECT_EQ(byKey.at("e-sports_flag"), "0");
    std::wstring rgb;
    ASSERT_TRUE(Store().GetConfigValue(id, L"dpi_group1_rgb", rgb));
    EXPECT_EQ(rgb, L"16776960");

    // The restore-factory-settings action: key rows go, settings return to their reset values.
    KeyRecord key;
    key.profile = id;
    key.keyCode = 3;
    key.macroType = 1;
    key.macroValue = 5;
    ASSERT_NE(Store().SaveKey(key), 0);
    ASSERT_TRUE(Store().SetConfigValue(id, L"report_rate", L"4"));
    ASSERT_TRUE(Store().SetConfigValue(id, L"version", L"9"));
    ASSERT_TRUE(Store().DeleteProfileKeys(id));
    Store().ResetConfigToDefaults(id);

    const auto reset = Settings(id);
    ASSERT_EQ(reset.size(), 40u);
    std::vector<std::string> differing;
    for (size_t i = 0; i < reset.size(); ++i) {
        if (reset[i] != created[i] && reset[i].first != "version") differing.push_back(reset[i].first);
    }
    EXPECT_EQ(differing, (std::vector<std::string>{"dpi_flag", "dpi_group3_value"}));
    EXPECT_EQ(std::map(reset.begin(), reset.end()).at("dpi_group3_value"), "3200");
    EXPECT_EQ(std::map(reset.begin(), reset.end()).at("version"), "9");  // the reset leaves it alone
    std::vector<KeyRecord> keys;
    EXPECT_EQ(Store().ListKeys(id, keys), 0);
}

TEST_F(ProfileStore, SettingsAreMatchedOnProfileAndKeyAndNeverInserted) {
    ASSERT_EQ(AddNamed(L"A"), 1);
    ASSERT_EQ(AddNamed(L"B"), 2);

    EXPECT_TRUE(Store().SetConfigValue(1, L"no_such_key", L"9"));
    EXPECT_EQ(Query("SELECT count(*) FROM t_configdata"), "80");
    std::wstring value = L"stale";
    EXPECT_FALSE(Store().GetConfigValue(1, L"no_such_key", value));
    EXPECT_EQ(value, L"");

    ASSERT_TRUE(Store().SetConfigValue(2, L"dpi_index", L"4"));
    ASSERT_TRUE(Store().GetConfigValue(1, L"dpi_index", value));
    EXPECT_EQ(value, L"1");
    ASSERT_TRUE(Store().GetConfigValue(2, L"dpi_index", value));
    EXPECT_EQ(value, L"4");
    EXPECT_FALSE(Store().GetConfigValue(3, L"dpi_index", value));
}

TEST_F(ProfileStore, InitialRuleCreatesFourProfilesOnceWithProfileOneActive) {
    EXPECT_EQ(Store().InitProfiles(L"Profil"), 1);
    std::vector<ProfileData> profiles;
    ASSERT_EQ(Store().ListProfiles(profiles, kLcidFrench), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(profiles[i].profile, i + 1);
        EXPECT_EQ(profiles[i].name, L"Profil " + std::to_wstring(i + 1));
        EXPECT_EQ(profiles[i].status, i == 0 ? 1 : 0);
        EXPECT_EQ(profiles[i].app, L"");
        EXPECT_EQ(profiles[i].type, 0);
    }
    EXPECT_EQ(Query("SELECT count(*) FROM t_configdata"), "160");

    // Later loads create nothing and resume the stored active profile.
    ASSERT_TRUE(Store().SetActiveProfile(3));
    EXPECT_EQ(Store().InitProfiles(L"Other"), 3);
    EXPECT_EQ(Store().ListProfiles(profiles, kLcidFrench), 4);
    EXPECT_EQ(Query("SELECT group_concat(status) FROM t_profile_data"), "0,0,1,0");
}

TEST_F(ProfileStore, WithoutAnActiveProfileTheNextLoadActivatesProfileOne) {
    Store().InitProfiles(L"Profile");
    Exec("UPDATE t_profile_data SET status = 0");
    EXPECT_EQ(Store().GetActiveProfile(), 0);
    EXPECT_EQ(Store().InitProfiles(L"Profile"), 1);

    // An id without a row leaves no profile active.
    EXPECT_TRUE(Store().SetActiveProfile(42));
    EXPECT_EQ(Store().GetActiveProfile(), 0);
    EXPECT_EQ(Store().InitProfiles(L"Profile"), 1);
}

TEST_F(ProfileStore, EnglishShowsForeignDefaultNamesAsProfileWithoutChangingThem) {
    EXPECT_EQ(ProfileDisplayName(L"Perfil 2", kLcidEnglish), L"Profile  2");
    EXPECT_EQ(ProfileDisplayName(L"Perfil 2", kLcidFrench), L"Perfil 2");
    EXPECT_EQ(ProfileDisplayName(L"配置3", kLcidEnglish), L"Profile 3");
    EXPECT_EQ(ProfileDisplayName(L"配寘", kLcidEnglish), L"Profile ");
    EXPECT_EQ(ProfileDisplayName(L"perfil 2", kLcidEnglish), L"perfil 2");  // case-sensitive
    EXPECT_EQ(ProfileDisplayName(L"My Perfil", kLcidEnglish), L"My Perfil");

    const int32_t id = AddNamed(L"Perfil 2");
    std::vector<ProfileData> profiles;
    ASSERT_EQ(Store().ListProfiles(profiles, kLcidEnglish), 1);
    EXPECT_EQ(profiles[0].name, L"Profile  2");
    std::wstring name;
    ASSERT_TRUE(Store().GetProfileName(id, name, kLcidFrench));
    EXPECT_EQ(name, L"Perfil 2");
    EXPECT_EQ(Query("SELECT name FROM t_profile_data"), "Perfil 2");

    ASSERT_TRUE(Store().RenameProfile(id, L"Work"));
    ASSERT_TRUE(Store().GetProfileName(id, name, kLcidEnglish));
    EXPECT_EQ(name, L"Work");
    EXPECT_FALSE(Store().GetProfileName(7, name, kLcidEnglish));
    EXPECT_EQ(name, L"");
}
