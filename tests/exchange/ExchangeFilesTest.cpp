// Macro and profile exchange files against real database files.
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "exchange/ExchangeFiles.h"
#include "exchange/XmlDocument.h"
#include "base/TextConv.h"
#include "tests/storage/StoreTestSupport.h"

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
using Setting = std::pair<const wchar_t*, const wchar_t*>;

// A key item of a profile file.
std::string KeyItem(const std::string& code, int type, int value, const std::string& more = "") {
    return "<item key_code=\"" + code + "\" macro_type=\"" + std::to_string(type) + "\" macro_value=\"" +
           std::to_string(value) + "\" macro_value2=\"0\" macro_value3=\"0\" " + more + "/>";
}

class ExchangeFiles : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_EQ(Store().InitProfiles(L"Profile"), 1);
        AddLights(1);
        AddLights(2);
    }

    // The seven lighting rows a profile gets, mode 3 active.
    static void AddLights(int32_t profile) {
        for (int32_t mode = 0; mode < 7; ++mode) {
            LightData light;
            light.profile = profile;
            light.mode = mode;
            light.brightness = 255;
            ASSERT_GT(Store().AddLight(light), 0);
        }
        Store().SetActiveLightMode(profile, 3);
    }
    // Profile 1: a mouse action, a launch, a web and a text assignment, a changed
    // lighting mode and settings off their defaults.
    void FillProfileOne() {
        TextData text;
        text.name = L"Greeting";
        text.content = L"Hello <\"you\"> & bye";
        const int32_t values[] = {3, Store().AddKeyOtherData(L"editor", L"/usr/bin/editor", 9),
                                  Store().AddKeyOtherData(L"www.example.org", L"", 10),
                                  Store().AddText(text)};
        const int32_t types[] = {1, 9, 10, 11};
        for (int i = 0; i < 4; ++i) {
            KeyRecord key;
            key.profile = 1;
            key.keyCode = i + 1;
            key.macroType = types[i];
            key.macroValue = values[i];
            key.macroDesc = L"caption " + std::to_wstring(i);
            ASSERT_GT(Store().SaveKey(key), 0);
        }
        LightData light;
        ASSERT_TRUE(Store().GetLight(1, 2, light));
        light.brightness = 40;
        light.colorValue = 0x00FF00;
        Store().UpdateLight(1, 2, light);
        Store().SetActiveLightMode(1, 2);
        const Setting settings[] = {{L"highspeed_mode", L"1"},
                                    {L"report_rate", L"3"},
                                    {L"dpi_group4_value", L"6400"},
                                    {L"dpi_group5_value", L"100"},
                                    {L"e-sports_flag", L"9"}};
        for (const auto& [key, value] : settings) Store().SetConfigValue(1, key, value);
    }

    std::wstring FileOf(const std::string& name) const { return Orvix::Utf8ToWide((m_root / name).string()); }
    std::wstring WriteFile(const std::string& name, const std::string& text) const {
        std::ofstream(m_root / name, std::ios::binary) << text;
        return FileOf(name);
    }
    std::string ReadFile(const std::string& name) const {
        std::ifstream in(m_root / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::wstring WriteProfile(const std::string& insideInfo) const {
        return WriteFile("profile.xml", kDeclaration + "<profile>\r\n<profileinfo name=\"x\">\r\n" +
                                            insideInfo + "\r\n</profileinfo>\r\n</profile>");
    }
    static std::wstring Config(int32_t profile, const wchar_t* key) {
        std::wstring value;
        Store().GetConfigValue(profile, key, value);
        return value;
    }
    // A macro's settings and events, as text.
    static std::wstring MacroText(int32_t macroId) {
        MacroData macro;
        std::vector<MacroEvent> events;
        Store().GetMacro(macroId, macro);
        Store().ListMacroRecords(macroId, events);
        std::wstring text =
            Orvix::FormatW(L"%d %d %d %d", macro.playType, macro.playTimes, macro.delayType, macro.delayTime);
        for (const MacroEvent& e : events) {
            text += Orvix::FormatW(L"|%d %d %d %d ", e.type, e.recordIndex, e.value, e.delayTime) + e.desc;
        }
        return text;
    }
    // Key rows, settings and lighting rows of a profile, and the row counts of
    // the shared tables: everything an import may touch.
    std::vector<std::string> ProfileState(int profile) const {
        const std::string where = " WHERE profile = " + std::to_string(profile);
        const std::string queries[] = {
            "SELECT group_concat(key_code || ':' || macro_type || ':' || macro_value) FROM t_key_macro_data" +
                where,
            "SELECT group_concat(key || '=' || value) FROM t_configdata" + where,
            "SELECT group_concat(mode || ':' || brightness || ':' || color_value || ':' || status) FROM "
            "t_light_data" +
                where,
            "SELECT (SELECT count(*) FROM t_key_otherdata) || '/' || (SELECT count(*) FROM t_text_data)"};
        std::vector<std::string> state;
        for (const std::string& sql : queries) state.push_back(Query(sql.c_str()));
        return state;
    }
    static ProfileExchangeContext Context(int32_t profile, bool lightingPage = true) {
        return {profile, lightingPage, 101, kLcidEnglish};
    }
};

}  // namespace

TEST_F(ExchangeFiles, OneEventMacroFileIsSevenLinesAndImportsAsACopy) {
    const int32_t id = Store().AddMacroFull(L"Fire & \"run\"", 2, 3, 2, 50);
    Store().AddMacroRecord(id, 2, 0, L"\u2193  A", 65, 10);
    ASSERT_TRUE(ExportMacro(FileOf("m.xml"), Store(), id));
    EXPECT_EQ(ReadFile("m.xml"),
              kDeclaration +
                  "<macro>\r\n"
                  "<macroinfo macro_name=\"Fire &amp; &quot;run&quot;\" macro_type=\"2\" play_times=\"3\" "
                  "delay_type=\"2\" delay_time=\"50\"/>\r\n"
                  "<macroitems>\r\n"
                  "<item desc=\"\xE2\x86\x93  A\" index=\"0\" type=\"2\" value=\"65\" timestamp=\"10\"/>\r\n"
                  "</macroitems>\r\n"
                  "</macro>");

    const int32_t copy = ImportMacro(FileOf("m.xml"), Store());
    ASSERT_GT(copy, id);
    MacroData imported;
    Store().GetMacro(copy, imported);
    EXPECT_EQ(imported.name, L"Fire & \"run\" Import");
    EXPECT_EQ(MacroText(copy), MacroText(id));

    // Events follow their index (file order among equal ones) and are numbered afresh.
    const int32_t sorted = ImportMacro(
        WriteFile("m2.xml", kDeclaration +
                                "<macro><macroinfo macro_name=\"M\" macro_type=\"0\" play_times=\"1\" "
                                "delay_type=\"1\" delay_time=\"10\"/><macroitems>"
                                "<item desc=\"b\" index=\"5\" type=\"3\" value=\"65\" timestamp=\"7\"/>"
                                "<item desc=\"a\" index=\"1\" type=\"12\" value=\"258\" timestamp=\"0\"/>"
                                "<item desc=\"c\" index=\"5\" type=\"8\" value=\"1\" timestamp=\"0\"/>"
                                "</macroitems></macro>"),
        Store());
    EXPECT_EQ(MacroText(sorted), L"0 1 1 10|12 0 258 0 a|3 1 65 7 b|8 2 1 0 c");
}

TEST_F(ExchangeFiles, MacroFilesThatCannotBePlayedAddNothing) {
    const std::string info =
        "<macroinfo macro_name=\"M\" macro_type=\"0\" play_times=\"1\" delay_type=\"1\" delay_time=\"0\"/>";
    const std::string item = "<item desc=\"d\" index=\"0\" type=\"2\" value=\"65\" timestamp=\"10\"/>";
    std::string tooMany;
    for (int i = 0; i <= kMaxMacroEvents; ++i) tooMany += item;
    auto macro = [&](const std::string& items) {
        return "<macro>" + info + "<macroitems>" + items + "</macroitems></macro>";
    };
    const std::string bodies[] = {
        "<profile>" + info + "</profile>",                       // another root
        "<macro>" + info + "<macroitems>" + item + "</macro>",   // not well formed
        "<macro><macroitems>" + item + "</macroitems></macro>",  // no macroinfo
        "<macro><macroinfo macro_name=\"M\"/></macro>",          // no settings
        macro(tooMany),
        macro("<item index=\"0\" type=\"99\" value=\"1\" timestamp=\"1\"/>"),
        macro("<item index=\"0\" type=\"2\" value=\"256\" timestamp=\"1\"/>"),  // no key code
        macro("<item index=\"0\" type=\"12\" value=\"-1\" timestamp=\"1\"/>"),
        "<macro><macroinfo macro_name=\"M\" macro_type=\"9\" play_times=\"1\" delay_type=\"1\" "
        "delay_time=\"0\"/></macro>",
        "<macro><macroinfo macro_name=\"M\" macro_type=\"0\" play_times=\"-2\" delay_type=\"1\" "
        "delay_time=\"0\"/></macro>",
        macro("<item index=\"0\" type=\"2\" value=\"1\"/>"),
        macro("<item index=\"x\" type=\"2\" value=\"1\" timestamp=\"1\"/>"),
        macro("<item index=\"0\" type=\"2\" value=\"1\" timestamp=\"70000\"/>"),
        "<macro>" + info + std::string(kMaxExchangeFileBytes, ' ') + "</macro>",
    };
    for (const std::string& body : bodies) {
        EXPECT_EQ(ImportMacro(WriteFile("bad.xml", kDeclaration + body), Store()), 0) << body.substr(0, 100);
    }
    EXPECT_EQ(ImportMacro(FileOf("missing.xml"), Store()), 0);
    EXPECT_EQ(ImportMacro(Orvix::Utf8ToWide(m_root.string()), Store()), 0);  // a folder

    // A write that fails at the second event leaves no half macro behind.
    Exec(
        "CREATE TRIGGER fail AFTER INSERT ON t_macrorecord WHEN NEW.record_index = 1 "
        "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    EXPECT_EQ(ImportMacro(WriteFile("ok.xml", kDeclaration + macro(item + item)), Store()), 0);
    EXPECT_EQ(Query("SELECT count(*) || '/' || (SELECT count(*) FROM t_macrorecord) FROM t_macro_data"),
              "0/0");
}

TEST_F(ExchangeFiles, ProfileTravelsToAnotherDatabaseWithItsParameters) {
    FillProfileOne();
    ASSERT_TRUE(ExportProfile(FileOf("p.xml"), Store(), Context(1)));
    const std::string file = ReadFile("p.xml");
    EXPECT_NE(file.find("<e-sports_flag value=\"1\"/>"), std::string::npos);  // highspeed_mode
    EXPECT_NE(file.find("<DPI5 value=\"6400\""), std::string::npos);
    EXPECT_EQ(file.find("DPI6"), std::string::npos);

    // Profile 2 of another computer: its row ids mean other things.
    Store().CloseIfOpen();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M2"));
    ASSERT_EQ(Store().InitProfiles(L"Other"), 1);
    AddLights(2);
    Store().AddKeyOtherData(L"unrelated", L"/bin/false", 9);
    Store().SetConfigValue(2, L"dpi_group5_value", L"777");

    EXPECT_EQ(ImportProfile(FileOf("p.xml"), Store(), Context(2)), kImportSendProfile);
    std::wstring name;
    Store().GetProfileName(2, name, kLcidEnglish);
    EXPECT_EQ(name, L"Other 2");
    std::vector<KeyRecord> keys;
    ASSERT_EQ(Store().ListKeys(2, keys), 4);
    EXPECT_EQ(keys[0].macroValue, 3);
    std::wstring launch, web, param, content;
    int32_t type = 0;
    Store().GetKeyOtherData(keys[1].macroValue, launch, param, type);
    EXPECT_EQ(launch + L"|" + param, L"editor|/usr/bin/editor");
    Store().GetKeyOtherData(keys[2].macroValue, web, param, type);
    EXPECT_EQ(web + L"|" + param, L"www.example.org|");
    Store().GetTextContent(keys[3].macroValue, content);
    EXPECT_EQ(content, L"Hello <\"you\"> & bye");

    LightData light;
    Store().GetLight(2, 2, light);
    EXPECT_EQ(light.brightness, 40);
    EXPECT_EQ(light.colorValue, 0x00FF00);
    EXPECT_EQ(Store().GetActiveLightMode(2), 2);
    const Setting expected[] = {{L"highspeed_mode", L"1"},
                                {L"report_rate", L"3"},
                                {L"dpi_group4_value", L"6400"},
                                {L"dpi_group5_value", L"777"},  // levels 5 and 6 are not exchanged
                                {L"e-sports_flag", L"0"}};
    for (const auto& [key, value] : expected) EXPECT_EQ(Config(2, key), value) << key;

    // Importing again reuses the library text; a model above type 200 gets task 24.
    EXPECT_EQ(ImportProfile(FileOf("p.xml"), Store(), {2, true, 201, kLcidEnglish}),
              kImportStoredOnly);
    std::vector<TextData> texts;
    EXPECT_EQ(Store().ListTexts(texts), 1);
}

TEST_F(ExchangeFiles, ProfileWithoutLightingOrKeysAndOlderFiles) {
    FillProfileOne();
    ASSERT_TRUE(ExportProfile(FileOf("p.xml"), Store(), Context(1, false)));
    EXPECT_EQ(ReadFile("p.xml").find("Lightitems"), std::string::npos);
    Store().SetConfigValue(1, L"highspeed_mode", L"0");
    Store().SetActiveLightMode(1, 5);
    const std::string lights = ProfileState(1)[2];
    ASSERT_EQ(ImportProfile(FileOf("p.xml"), Store(), Context(1)), kImportSendProfile);
    EXPECT_EQ(ProfileState(1)[2], lights);
    EXPECT_EQ(Config(1, L"highspeed_mode"), L"1");
    EXPECT_EQ(Config(1, L"e-sports_flag"), L"9");

    ASSERT_EQ(ImportProfile(WriteProfile("<keyitems/>"), Store(), Context(1)), kImportSendProfile);
    std::vector<KeyRecord> keys;
    EXPECT_EQ(Store().ListKeys(1, keys), 0);

    // Without the row parameters the web address is rebuilt from the caption;
    // launch and text items, ids of another database, cannot be: such a file
    // is refused whole, naming them.
    std::vector<std::wstring> bad;
    EXPECT_EQ(ImportProfile(WriteProfile("<keyitems>" + KeyItem("2", 9, 1, "macro_desc=\"a.exe\"") +
                                         KeyItem("3", 10, 77, "macro_desc=\"www.site.test\"") +
                                         KeyItem("4", 11, 1, "macro_desc=\"t\"") + "</keyitems>"),
                            Store(), Context(1), &bad),
              0);
    EXPECT_EQ(bad, (std::vector<std::wstring>{L"keyitems item 1: the program's path is missing",
                                              L"keyitems item 3: the text is missing"}));
    EXPECT_EQ(Store().ListKeys(1, keys), 0);
    ASSERT_EQ(ImportProfile(WriteProfile("<keyitems>" + KeyItem("3", 10, 77, "macro_desc=\"www.site.test\"") +
                                         "</keyitems>"),
                            Store(), Context(1), &bad),
              kImportSendProfile);
    EXPECT_TRUE(bad.empty());
    ASSERT_EQ(Store().ListKeys(1, keys), 1);
    std::wstring desc, param;
    int32_t type = 0;
    Store().GetKeyOtherData(keys[0].macroValue, desc, param, type);
    EXPECT_EQ(keys[0].keyCode, 3);
    EXPECT_EQ(desc, L"www.site.test");
    EXPECT_EQ(type, 10);
}

TEST_F(ExchangeFiles, FailedOrHostileProfileImportsLeaveTheProfileAlone) {
    FillProfileOne();
    KeyRecord off;
    off.profile = 2;
    off.keyCode = 2;
    off.macroType = 8;
    off.macroValue = 1;
    ASSERT_GT(Store().SaveKey(off), 0);
    ASSERT_TRUE(ExportProfile(FileOf("p.xml"), Store(), Context(1)));
    const std::vector<std::string> before = ProfileState(2);

    // The last write fails: the deleted assignment and every written row come back.
    Exec(
        "CREATE TRIGGER fail BEFORE UPDATE ON t_configdata WHEN NEW.key = 'leftbtn_lock' "
        "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    EXPECT_EQ(ImportProfile(FileOf("p.xml"), Store(), Context(2)), 0);
    EXPECT_EQ(ProfileState(2), before);
    Exec("DROP TRIGGER fail");

    EXPECT_EQ(ImportProfile(WriteFile("m.xml", kDeclaration + "<macro/>"), Store(), Context(2)), 0);
    EXPECT_EQ(ImportProfile(WriteFile("x.xml", kDeclaration + "<profile><keyitems/></profile>"), Store(),
                            Context(2)),
              0);  // no profileinfo
    EXPECT_EQ(ProfileState(2), before);

    // What the mouse cannot take refuses the whole file, every bad entry named
    // in the file's own words; the good ones around them are not stored either.
    std::string items;
    // Values outside their tables: a mouse action, a multimedia key, a macro this store lacks.
    items += KeyItem("4", 1, 999) + KeyItem("5", 4, 77) + KeyItem("6", 5, 4242);
    const std::string hostile =
        "<keyitems>" + items + KeyItem("9", 1, 1) + KeyItem("x", 1, 1) + KeyItem("2", 3, 1) +
        KeyItem("-1", 8, 1) + KeyItem("7", 8, 1) +
        "<item key_code=\"3\" macro_type=\"1\" macro_value=\"1\"/></keyitems>"
        "<Lightitems lightmode=\"42\"><item light_mode=\"1\" brightness=\"999\" speed=\"1\" direction=\"0\" "
        "colorful=\"0\" colorindex=\"0\" color_value=\"0\"/><item light_mode=\"4\" "
        "brightness=\"9\"/></Lightitems>"
        "<Mouse_DPI dpi_index=\"\" dpi_count=\"99\"><DPI1 value=\"-5\" color=\"1e3\"/><DPI2 "
        "value=\"900\"/></Mouse_DPI>"
        "<Mouse><button_respondtime value=\"0\"/><report_rate value=\"4\"/><sensor_flag "
        "value=\"99999999999\"/><liftoff_height value=\"2\"/><scroll_flag value=\"0\"/></Mouse>";
    std::vector<std::wstring> bad;
    EXPECT_EQ(ImportProfile(WriteProfile(hostile), Store(), Context(2), &bad), 0);
    EXPECT_EQ(ProfileState(2), before);
    const std::vector<std::wstring> expected = {
        L"keyitems item 1: macro_value \"999\" is no function of this type",
        L"keyitems item 2: macro_value \"77\" is no function of this type",
        L"keyitems item 3: macro_value \"4242\" is no function of this type, or names no macro of this computer",
        L"keyitems item 4: key_code \"9\" is not a button (0 to 8)",
        L"keyitems item 5: key_code \"x\" is not a whole number",
        L"keyitems item 6: macro_type \"3\" is no function type",
        L"keyitems item 7: key_code \"-1\" is not a button (0 to 8)",
        L"keyitems item 9: macro_value2 \"\" is not a whole number",
        L"Lightitems: lightmode \"42\" is no lighting mode",
        L"Lightitems item 1: a value is out of its range",
        L"Lightitems item 2: speed \"\" is not a whole number",
        L"Mouse_DPI: dpi_count \"99\" is not a whole number from 1 to 7",
        L"DPI1: value \"-5\" is not a whole number from 50 to 26000 in steps of 50",
        L"DPI1: color \"1e3\" is not a whole number from 0 to 16777215",
        L"button_respondtime: value \"0\" is not a whole number from 1 to 50",
        L"report_rate: value \"4\" is not a whole number from 0 to 3",
        L"sensor_flag: value \"99999999999\" is not a whole number from 0 to 255",
        L"liftoff_height: value \"2\" is not a whole number from 0 to 1"};
    EXPECT_EQ(bad, expected);

    // Many web items of one button: the last counts, leaving one assignment and
    // one parameter row.
    items.clear();
    for (int i = 1; i <= 5000; ++i) items += KeyItem("1", 10, i, "macro_desc=\"d\"");
    EXPECT_EQ(ImportProfile(WriteProfile("<keyitems>" + items + "</keyitems><Mouse><scroll_flag value=\"0\"/>"
                                         "</Mouse>"),
                            Store(), Context(2), &bad),
              kImportSendProfile);
    EXPECT_TRUE(bad.empty());
    const std::vector<std::string> after = ProfileState(2);
    EXPECT_EQ(after[0], "1:10:3");
    EXPECT_EQ(after[2], before[2]);
    EXPECT_EQ(after[3], "3/1");
    std::string config = before[1];
    config.replace(config.find("scroll_flag=1"), 13, "scroll_flag=0");
    EXPECT_EQ(after[1], config);
}

// The applications that switch to a profile travel in its file, after every
// element an older reader searches for, and an application moves to the
// profile that imports it.
TEST_F(ExchangeFiles, ProfileApplicationsTravelAndMoveFromOtherProfiles) {
    ASSERT_TRUE(Store().SetProfileApp(1, L"desktop=firefox-esr.desktop;class=steam;default=1"));
    ASSERT_TRUE(Store().SetProfileApp(2, L"class=steam;desktop=old.desktop"));
    ASSERT_TRUE(Store().SetProfileApp(3, L"class=Other"));
    ASSERT_TRUE(ExportProfile(FileOf("p.xml"), Store(), Context(1)));
    const std::string text = ReadFile("p.xml");
    EXPECT_NE(text.find("<applications>\r\n<item desktop=\"firefox-esr.desktop\"/>\r\n<item class=\"steam\"/>\r\n"
                        "</applications>"),
              std::string::npos)
        << text;

    // An older reader walks forwards through the elements it knows: all are still found.
    XmlDocument older;
    ASSERT_TRUE(older.LoadFile(FileOf("p.xml")));
    ASSERT_TRUE(older.FindNext(L"profile") && older.StepIn() && older.FindNext(L"profileinfo") && older.StepIn());
    for (const wchar_t* name : {L"keyitems", L"Lightitems", L"Mouse_DPI", L"Mouse"}) EXPECT_TRUE(older.FindNext(name)) << name;

    ASSERT_EQ(ImportProfile(FileOf("p.xml"), Store(), Context(2)), kImportSendProfile);
    // Profile 2 has the file's applications; profile 1 gave them up but stays the default.
    EXPECT_EQ(QueryAll("SELECT app FROM t_profile_data ORDER BY profile"),
              (std::vector<std::string>{"default=1", "desktop=firefox-esr.desktop;class=steam", "class=Other", ""}));
    // The column stays a plain text.
    EXPECT_EQ(Query("SELECT typeof(app) FROM t_profile_data WHERE profile = 2"), "text");
}

TEST_F(ExchangeFiles, OlderProfileFilesLeaveTheApplicationsAlone) {
    ASSERT_TRUE(Store().SetProfileApp(1, L"class=steam"));
    ASSERT_EQ(ImportProfile(WriteProfile("<keyitems/><Mouse_DPI dpi_count=\"4\"/>"), Store(), Context(1)),
              kImportSendProfile);
    EXPECT_EQ(Query("SELECT app FROM t_profile_data WHERE profile = 1"), "class=steam");
    // An empty list in a newer file empties the profile's; odd items are skipped.
    ASSERT_EQ(ImportProfile(WriteProfile("<Mouse/><applications><item/><item desktop=\"\" class=\"\"/>"
                                         "<item class=\"a\"/><item class=\"a\"/></applications>"),
                            Store(), Context(1)),
              kImportSendProfile);
    EXPECT_EQ(Query("SELECT app FROM t_profile_data WHERE profile = 1"), "class=a");
    ASSERT_EQ(ImportProfile(WriteProfile("<applications/>"), Store(), Context(1)), kImportSendProfile);
    EXPECT_EQ(Query("SELECT app FROM t_profile_data WHERE profile = 1"), "");
    // No such profile: nothing is stored, and the caller is told.
    EXPECT_FALSE(Store().SetProfileApp(99, L"class=x"));
}
