// The file of a device model, its schema, and the SQLite object layer.
#include <filesystem>

#include "StoreTestSupport.h"
#include "base/TextConv.h"
#include "base/AppContext.h"

using DatabaseFile = StoreTest;

TEST_F(DatabaseFile, NewFileHasTheTenTablesAndNineIndexesInOrderThenTheLookupIndexes) {
    EXPECT_TRUE(std::filesystem::exists(m_root / "db" / "M1_data1.db"));
    EXPECT_EQ(Query("SELECT group_concat(type || ' ' || name, ',') FROM "
                    "(SELECT type, name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY rowid)"),
              "table t_configdata,table t_profile_data,index profileindex,table t_text_data,index textindex,"
              "table t_key_macro_data,index keyindex,table t_key_otherdata,index otheridindex,"
              "table t_key_textdata,index t_key_textdataindex,table t_macro_data,index macroidindex,"
              "table t_macrorecord,index macrorecordindex,table t_light_data,index lightindex,"
              "table t_key_light_data,index keylightindex,index macrorecord_macro,"
              "index configdata_profile_key,index keymacro_profile_key,index lightdata_profile_mode");
    // The macro page's event list is read through its index, not a scan.
    SQLiteDB db;
    ASSERT_TRUE(db.Open(PathOf(L"M1").c_str(), SQLITE_OPEN_READWRITE));
    std::string plan;
    db.Exec(
        "EXPLAIN QUERY PLAN SELECT * FROM t_macrorecord WHERE macro_id = 3 ORDER BY record_index ASC",
        [](void* out, int columns, char** values, char**) {
            *static_cast<std::string*>(out) += values[columns - 1];
            return 0;
        },
        &plan);
    EXPECT_NE(plan.find("USING INDEX macrorecord_macro"), std::string::npos) << plan;

    const std::pair<const char*, const char*> tables[] = {
        {"t_configdata", "config_id INTEGER,profile INTEGER,key TEXT,value TEXT"},
        {"t_profile_data", "profile INTEGER,name TEXT,status INTEGER,app TEXT,type INTEGER"},
        {"t_text_data", "text_id INTEGER,name TEXT,status INTEGER,content TEXT,type INTEGER"},
        {"t_key_macro_data",
         "key_id INTEGER,profile INTEGER,fn_layer INTEGER,key_code INTEGER,layout_value INTEGER,layout_desc "
         "TEXT,"
         "macro_type INTEGER,macro_value INTEGER,macro_value2 INTEGER,macro_value3 INTEGER,macro_desc TEXT"},
        {"t_key_otherdata", "macro_value INTEGER,macro_desc TEXT,param TEXT,type INTEGER"},
        {"t_key_textdata", "macro_value INTEGER,type INTEGER,text_caption TEXT,text_desc TEXT"},
        {"t_macro_data",
         "macro_id INTEGER,name TEXT,play_type INTEGER,play_times INTEGER,delay_type INTEGER,delay_time "
         "INTEGER"},
        {"t_macrorecord",
         "record_id INTEGER,macro_id INTEGER,type INTEGER,record_index INTEGER,desc TEXT,value INTEGER,"
         "delay_time INTEGER"},
        {"t_light_data",
         "light_id INTEGER,profile INTEGER,name TEXT,mode INTEGER,brightness INTEGER,speed INTEGER,"
         "direction INTEGER,colorful INTEGER,colorindex INTEGER,color_value INTEGER,config_func INTEGER,"
         "reserved INTEGER,status INTEGER"},
        {"t_key_light_data",
         "keylight_id INTEGER,profile INTEGER,light_id INTEGER,key_code INTEGER,key_rgb INTEGER"},
    };
    for (const auto& [table, columns] : tables) {
        const std::string info = "pragma_table_info('" + std::string(table) + "')";
        EXPECT_EQ(Query(("SELECT group_concat(name || ' ' || type, ',') FROM " + info).c_str()), columns);
        EXPECT_EQ(Query(("SELECT pk FROM " + info + " WHERE cid = 0").c_str()), "1") << table;
    }
}

TEST_F(DatabaseFile, ReopeningAWholeFileChangesNothingAndAMissingTableIsAddedBack) {
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);

    Store().CloseIfOpen();
    Exec("DROP TABLE t_text_data");
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    EXPECT_EQ(Query("SELECT count(*) FROM sqlite_master WHERE name IN ('t_text_data', 'textindex')"), "2");
    const StoreNotice notice = Store().TakeOpenNotice();
    EXPECT_EQ(notice.kind, StoreNotice::Kind::Repaired);
    EXPECT_NE(notice.detail.find("t_text_data"), std::string::npos) << notice.detail;
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::None);  // told once

    TextData text;
    text.name = L"greeting";
    EXPECT_EQ(Store().AddText(text), 1);
    EXPECT_EQ(Store().AddMacro(L"m"), 1);
}

TEST_F(DatabaseFile, EachModelHasItsOwnFileEvenWithoutAnExplicitClose) {
    ASSERT_EQ(Store().AddMacro(L"only in M1"), 1);
    // The connection to M1 must not answer for M2.
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M2"));
    std::vector<MacroData> macros;
    EXPECT_EQ(Store().ListMacros(macros), 0);
    EXPECT_TRUE(std::filesystem::exists(m_root / "db" / "M2_data1.db"));

    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
    ASSERT_EQ(Store().ListMacros(macros), 1);
    EXPECT_EQ(macros[0].name, L"only in M1");
}

TEST_F(DatabaseFile, DeviceAttrCannotLeaveTheDbFolder) {
    for (const wchar_t* attr : {L"../escaped", L"sub/dir", L"..\\escaped", L"..", L"/tmp/abs"}) {
        EXPECT_EQ(DatabasePathFor(m_userFolder, attr), "") << Orvix::WideToUtf8(attr);
        EXPECT_FALSE(Store().OpenForDevice(m_userFolder, attr));
        // The previous model's connection is gone too: nothing lands in the wrong file.
        EXPECT_FALSE(Store().IsOpened());
        EXPECT_EQ(Store().AddMacro(L"lost"), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(m_root / "escaped_data1.db"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_root / "db"), {}), 1);

    // The catalog's "no model" case: an empty attribute is a plain file name.
    EXPECT_EQ(DatabasePathFor(L"/u", L""), "/u/db/_data1.db");
    EXPECT_EQ(DatabasePathFor(L"/u", L"M1"), "/u/db/M1_data1.db");
}

TEST_F(DatabaseFile, AClosedStoreAnswersNothingAndCreatesNothing) {
    Store().CloseIfOpen();
    EXPECT_FALSE(Store().IsOpened());

    std::wstring value = L"stale";
    EXPECT_FALSE(Store().GetConfigValue(1, L"dpi_index", value));
    EXPECT_EQ(value, L"");
    EXPECT_FALSE(Store().SetConfigValue(1, L"dpi_index", L"2"));
    EXPECT_EQ(Store().AddProfile(ProfileData{}), 0);
    EXPECT_EQ(Store().InitProfiles(L"Profile"), 0);
    EXPECT_EQ(Store().GetActiveProfile(), 0);
    KeyRecord key;
    key.macroValue = 1;
    EXPECT_EQ(Store().SaveKey(key), 0);
    EXPECT_FALSE(Store().GetKey(0, 0, key));
    std::vector<ProfileData> profiles(2);
    EXPECT_EQ(Store().ListProfiles(profiles, kLcidEnglish), 0);
    EXPECT_TRUE(profiles.empty());
    Store().AddMacroRecords({MacroEvent{}, MacroEvent{}});
    EXPECT_EQ(Store().CountLights(1), 0);

    // The object layer itself: 21 (misuse) for anything on a closed handle.
    SQLiteDB db;
    SQLiteStatement statement;
    EXPECT_EQ(db.Exec("SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(db.Prepare(statement, "SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(statement.Step(), SQLITE_MISUSE);
    EXPECT_EQ(statement.BindInt(1, 1), SQLITE_MISUSE);
    EXPECT_EQ(statement.ColumnText(0), nullptr);
    EXPECT_EQ(db.LastInsertRowId(), -1);
    EXPECT_FALSE(db.Open(nullptr, SQLITE_OPEN_READWRITE));
    EXPECT_TRUE(db.Close());
}

TEST_F(DatabaseFile, OpeningAFileThatCannotBeCreatedFails) {
    Store().CloseIfOpen();
    std::filesystem::remove_all(m_root / "db");
    EXPECT_FALSE(Store().OpenForDevice(m_userFolder, L"M3"));
    EXPECT_FALSE(Store().IsOpened());
    EXPECT_EQ(Store().AddMacro(L"m"), 0);
}

TEST_F(DatabaseFile, ATransactionEndedWithoutCommitKeepsItsRows) {
    SQLiteDB db;
    ASSERT_TRUE(db.Open(PathOf(L"M1").c_str(), SQLITE_OPEN_READWRITE));
    {
        SQLiteAutoTransaction transaction(&db);
        EXPECT_FALSE(transaction.Begin());  // already begun by the constructor
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(db.Exec("INSERT INTO t_macro_data(name) VALUES ('x')"), SQLITE_OK);
        EXPECT_EQ(Query("SELECT count(*) FROM t_macro_data"), "0");  // not yet visible elsewhere
    }
    EXPECT_EQ(Query("SELECT count(*) FROM t_macro_data"), "3");

    SQLiteAutoTransaction none(nullptr);
    EXPECT_FALSE(none.Begin());
    EXPECT_FALSE(none.Commit());
}

TEST_F(DatabaseFile, AStoreTransactionKeepsAllOrNothingAndDoesNotNest) {
    EXPECT_FALSE(Store().RunInTransaction([] {
        Store().AddMacro(L"lost");
        return false;
    }));
    EXPECT_TRUE(Store().RunInTransaction([] {
        Store().AddMacro(L"kept");
        return !Store().RunInTransaction([] { return true; });  // a nested one is refused
    }));
    EXPECT_EQ(QueryAll("SELECT name FROM t_macro_data"), std::vector<std::string>{"kept"});
    Store().CloseIfOpen();
    EXPECT_FALSE(Store().RunInTransaction([] { return true; }));
}

TEST_F(DatabaseFile, NonAsciiTextIsStoredAsUtf8AndReadBackUnchanged) {
    const std::wstring name = L"配置 游戏 \U0001F5B1";
    ProfileData profile;
    profile.name = name;
    const int32_t id = Store().AddProfile(profile);
    ASSERT_EQ(id, 1);
    EXPECT_EQ(Query("SELECT name FROM t_profile_data"), Orvix::WideToUtf8(name));
    std::wstring read;
    ASSERT_TRUE(Store().GetProfileName(id, read, kLcidFrench));
    EXPECT_EQ(read, name);
}
