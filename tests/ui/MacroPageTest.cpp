// The macro page in the real window with the simulated mouse and a fake live
// input source: recording with each delay mode, the stop click, the 200-event
// end, inserting events, new, copy, delete and rename, the fixed delay's
// limits, macro and profile files, the mouse's macro memory, and a recording of
// keys typed in another X client on a private X server.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "MainWindowFixture.h"
#include "PrivateDisplayFixture.h"
#include "pages/KeyPage.h"
#include "pages/MacroPage.h"
#include "dialogs/ProfileDlg.h"
#include "base/LanguageText.h"
#include "base/ButtonFunction.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/controls/MEditBox.h"
#include "orvix/widgets/CRecordList.h"
#include "orvix/widgets/MacroList.h"
#include "orvix/widgets/MouseCtrl.h"
#include "dialogs/FileDialog.h"
#include "platform/RawInputReader.h"
#include "protocol/MacroImage.h"

using namespace Orvix;
namespace fs = std::filesystem;

namespace {

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

const std::wstring kDown = L"\u2193  ";
const std::wstring kUp = L"\u2191  ";

struct Ev {
    int type, value, delay;
    std::wstring desc;
    bool operator==(const Ev& o) const {
        return type == o.type && value == o.value && delay == o.delay && desc == o.desc;
    }
};

std::ostream& operator<<(std::ostream& os, const Ev& e) {
    return os << "(" << e.type << ", " << e.value << ", " << e.delay << ", " << WideToUtf8(e.desc) << ")";
}

}  // namespace

class MacroPageTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        SetRawInputSourceFactory([this] {
            auto fake = std::make_unique<FakeRawInputSource>();
            source = fake.get();
            return fake;
        });
    }
    void TearDown() override {
        SetFileDialogAnswer(nullptr);
        MainWindowFixture::TearDown();
        SetRawInputSourceFactory(nullptr);
    }

    void StartOnMacroPage() {
        PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ClickTab(kTabMacro);
        Settle();
        ASSERT_EQ(dlg->GetCurrentTabId(), kTabMacro);
        page = dynamic_cast<MacroPage*>(dlg->GetPage(kTabMacro));
        ASSERT_NE(page, nullptr);
    }

    MacroList* Macros() { return Control<MacroList>(MacroPage::IDC_MACRO_LIST); }
    CRecordList* Events() { return Control<CRecordList>(MacroPage::IDC_EVENT_LIST); }

    int32_t NewMacro() {
        ClickControl(MacroPage::IDC_NEW);
        Settle();
        return page->GetSelectedMacro();
    }

    // The live input a user makes somewhere on the desktop.
    void Key(int vk, bool up) {
        ASSERT_NE(source, nullptr);
        RawInputSample s;
        s.vk = vk;
        s.keyUp = up;
        source->Emit(s);
        Platform::RunPending();
    }
    void Tap(int vk) {
        Key(vk, false);
        Key(vk, true);
    }
    void MouseButton(unsigned flags) {
        RawInputSample s;
        s.keyboard = false;
        s.buttonFlags = flags;
        source->Emit(s);
        Platform::RunPending();
    }
    void Wait(uint64_t ms) { Headless::AdvanceClock(ms); }
    // The pointer rests away from the record button, as while a user types elsewhere.
    void PointerAway() { hands.MoveTo(Hwnd(), CPoint(5, 300)); }

    void StartRecording() {
        ClickControl(MacroPage::IDC_RECORD);
        ASSERT_TRUE(page->IsRecording());
        PointerAway();
    }
    // The stop click: the raw source sees the click on the record button too.
    void StopRecording() {
        MControl* record = Control(MacroPage::IDC_RECORD);
        hands.MoveToControl(record);
        MouseButton(kRawLeftDown);
        MouseButton(kRawLeftUp);
        hands.Click();
        Settle();
        ASSERT_FALSE(page->IsRecording());
    }

    std::vector<Ev> Stored(int32_t macroId) {
        std::vector<MacroEvent> events;
        DataStore::Instance().ListMacroRecords(macroId, events);
        std::vector<Ev> out;
        for (const MacroEvent& e : events) out.push_back({e.type, e.value, e.delayTime, e.desc});
        return out;
    }
    std::vector<Ev> Listed() {
        std::vector<Ev> out;
        for (const RecordItem* row : Events()->GetRecordItems())
            out.push_back({row->type, row->value, row->delay, row->text});
        return out;
    }
    int MacroCount() {
        std::vector<MacroData> macros;
        return DataStore::Instance().ListMacros(macros);
    }

    // The simulated mouse holds the image of the whole library, byte for byte.
    void ExpectMouseHoldsLibrary() {
        Settle();
        std::vector<MacroData> macros;
        DataStore::Instance().ListMacros(macros);
        std::vector<std::vector<MacroEvent>> events(macros.size());
        for (size_t i = 0; i < macros.size(); ++i)
            DataStore::Instance().ListMacroRecords(macros[i].macroId, events[i]);
        EXPECT_EQ(sim->State().settings.macroImage, BuildMacroImage(events));
    }

    // Opens the edit, replaces what it holds and confirms with Enter.
    void Retype(UINT id, const std::wstring& text) {
        ClickControl(id);
        for (int i = 0; i < 8; ++i) PressKey(VK_BACK);
        hands.Type(text);
        PressKey(VK_RETURN);
        Settle();
    }

    void ClickRow(CRecordList* list, int row) {
        const CRect rect = list->GetItemRect(row);
        const CPoint offset = MPanel::GetContentOffset(list);
        ClickAt(Hwnd(), CPoint(list->GetRect().left + 60 - offset.x, rect.CenterPoint().y - offset.y));
    }
    void ClickMacroRow(int row) {
        MacroList* list = Macros();
        const CRect rect = list->GetItemRect(row);
        const CPoint offset = MPanel::GetContentOffset(list);
        ClickAt(Hwnd(), CPoint(list->GetRect().left + 40 - offset.x, rect.CenterPoint().y - offset.y));
    }

    void SelectMacroRow(int32_t macroId) {
        const int row = Macros()->FindItemData(macroId);
        ASSERT_GE(row, 0);
        ClickMacroRow(row);
        ASSERT_EQ(page->GetSelectedMacro(), macroId);
    }
    void SelectAndRecord(int32_t macroId) {
        SelectMacroRow(macroId);
        StartRecording();
        Tap('A');
        StopRecording();
    }
    // Opens the row's menu with its button and chooses an entry (0 copy, 1 delete).
    void ClickMacroMenuEntry(int row, int entry) {
        ClickAt(Hwnd(), Macros()->GetEditRect(row).CenterPoint());
        const std::vector<HWND> menus = Platform::FindWindows(L"Menu Window");
        ASSERT_FALSE(menus.empty()) << "no menu opened";
        const HWND menu = menus.back();
        ClickAt(menu, CPoint(50, 6 + 25 * entry + 12));
        Settle();
    }

    // A file-dialog answer: the path, or a cancel.
    void AnswerFileDialog(const fs::path& path) {
        SetFileDialogAnswer([path](const FileDialogRequest& request, std::wstring& out) {
            EXPECT_FALSE(request.filters.empty());
            if (!request.filters.empty()) {
                EXPECT_EQ(request.filters[0].patterns, std::vector<std::wstring>{L"*.xml"});
            }
            out = path.wstring();
            return true;
        });
    }

    fs::path Scratch(const std::string& name) { return Root() / name; }

    FakeRawInputSource* source = nullptr;
    MacroPage* page = nullptr;
};

TEST_F(MacroPageTest, RecordedDelaysAreThePausesCappedAndTheStopClickIsLeftOut) {
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    ASSERT_GT(macro, 0);
    StartRecording();
    EXPECT_EQ(page->GetInputMode(), MacroPage::kInputRecording);
    // Only the record button is usable meanwhile.
    EXPECT_FALSE(Control(MacroPage::IDC_MACRO_LIST)->IsEnabled());
    EXPECT_FALSE(Control(MacroPage::IDC_INSERT)->IsEnabled());
    EXPECT_FALSE(Control(IDC_TABS)->IsEnabled());
    EXPECT_FALSE(Control(IDC_PROFILE)->IsEnabled());
    EXPECT_TRUE(Control(MacroPage::IDC_RECORD)->IsEnabled());

    Key('A', false);
    Key('A', false);  // held: its repeats are no events
    Wait(250);
    Key('A', true);
    Wait(40000);
    MouseButton(kRawRightDown);
    Wait(30);
    MouseButton(kRawRightUp);
    StopRecording();

    const std::vector<Ev> expected = {{2, 65, 250, kDown + L"A"},
                                      {3, 65, 31000, kUp + L"A"},
                                      {4, 2, 30, kDown + L"RB"},
                                      {5, 2, 10, kUp + L"RB"}};
    EXPECT_EQ(Stored(macro), expected);
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(Control<MControlFont>(MacroPage::IDC_COUNTER)->GetTitle(), L"4/200");
    EXPECT_TRUE(Control(MacroPage::IDC_MACRO_LIST)->IsEnabled());
    EXPECT_TRUE(Control(IDC_TABS)->IsEnabled());
    EXPECT_EQ(page->GetInputMode(), MacroPage::kInputOff);
    ExpectMouseHoldsLibrary();

    // Input after the stop is not recorded.
    Tap('B');
    EXPECT_EQ(Stored(macro).size(), 4u);
}

TEST_F(MacroPageTest, NoTimingKeepsTenMsAndAFixedDelayIsKeptInItsRange) {
    AnswerMessageBoxes({});
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    ClickControl(MacroPage::IDC_DELAY_NONE);
    StartRecording();
    Key('Q', false);
    Wait(500);
    Key('Q', true);
    Wait(700);
    Tap(VK_RETURN);
    StopRecording();
    for (const Ev& e : Stored(macro)) EXPECT_EQ(e.delay, 10) << e;
    EXPECT_EQ(Stored(macro).size(), 4u);
    MacroData stored;
    ASSERT_TRUE(DataStore::Instance().GetMacro(macro, stored));
    EXPECT_EQ(stored.delayType, 0);

    ClickControl(MacroPage::IDC_DELAY_FIXED);
    auto* edit = Control<MEdit>(MacroPage::IDC_FIXED_DELAY);
    ASSERT_TRUE(edit->IsEnabled());
    Retype(MacroPage::IDC_FIXED_DELAY, L"5");
    EXPECT_EQ(edit->GetEditText(), L"10");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(1010));
    EXPECT_EQ(boxes[0].message, Text(1011));
    EXPECT_NE(Text(1010), L"");
    Retype(MacroPage::IDC_FIXED_DELAY, L"20000");
    EXPECT_EQ(edit->GetEditText(), L"10000");
    EXPECT_EQ(boxes.size(), 2u);
    Retype(MacroPage::IDC_FIXED_DELAY, L"250");
    EXPECT_EQ(boxes.size(), 2u) << "a value in range is taken silently";
    // The delay is the next recording's: stored with the macro when its events are.
    ASSERT_TRUE(DataStore::Instance().GetMacro(macro, stored));
    EXPECT_EQ(stored.delayType, 0);

    ClickControl(MacroPage::IDC_CLEAR_EVENTS);
    StartRecording();
    Tap('C');
    StopRecording();
    EXPECT_EQ(Stored(macro), (std::vector<Ev>{{2, 67, 250, kDown + L"C"}, {3, 67, 10, kUp + L"C"}}));
    ASSERT_TRUE(DataStore::Instance().GetMacro(macro, stored));
    EXPECT_EQ(stored.delayType, 2);
    EXPECT_EQ(stored.delayTime, 250);
    ExpectMouseHoldsLibrary();
}

TEST_F(MacroPageTest, TheTwoHundredthEventEndsTheRecordingAndSaves) {
    AnswerMessageBoxes({});
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    StartRecording();
    for (int i = 0; i < 100; ++i) {
        Tap('A' + i % 26);
        Wait(5);
    }
    EXPECT_FALSE(page->IsRecording());
    EXPECT_EQ(Stored(macro).size(), 200u);
    Tap('Z');
    EXPECT_EQ(Events()->GetItemCount(), 200);
    EXPECT_TRUE(Control(MacroPage::IDC_MACRO_LIST)->IsEnabled());
    ExpectMouseHoldsLibrary();

    // A full macro takes no more: record and insert say so.
    ClickControl(MacroPage::IDC_RECORD);
    EXPECT_FALSE(page->IsRecording());
    ClickControl(MacroPage::IDC_INSERT);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].message, Text(386));
    EXPECT_EQ(boxes[1].title, Text(421));
    EXPECT_EQ(Stored(macro).size(), 200u);
}

TEST_F(MacroPageTest, RecordWithoutAMacroAndInsertIntoAnEmptyOneAreRefused) {
    AnswerMessageBoxes({});
    StartOnMacroPage();
    ASSERT_EQ(page->GetSelectedMacro(), 0);
    ClickControl(MacroPage::IDC_RECORD);
    EXPECT_FALSE(page->IsRecording());
    NewMacro();
    ClickControl(MacroPage::IDC_INSERT);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].message, Text(387));
    EXPECT_EQ(boxes[1].message, Text(422));
}

TEST_F(MacroPageTest, InsertedKeyAndButtonGoRightAfterTheSelectedEvent) {
    AnswerMessageBoxes({});
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    StartRecording();
    Tap('A');
    Tap('B');
    StopRecording();
    ASSERT_EQ(Stored(macro).size(), 4u);

    // Without a captured key nothing is inserted.
    ClickControl(MacroPage::IDC_INSERT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, Text(420));

    ClickRow(Events(), 1);
    ASSERT_EQ(Events()->GetCurSel(), 1);
    ChooseComboItem(MacroPage::IDC_INSERT_WHERE, 1);
    ClickControl(MacroPage::IDC_INSERT_KEY);
    ASSERT_EQ(page->GetInputMode(), MacroPage::kInputInsertKey);
    Key(118, false);  // F7, pressed anywhere
    Key(118, true);
    EXPECT_EQ(page->GetCapturedVk(), 118);
    EXPECT_EQ(Control<MEdit>(MacroPage::IDC_INSERT_KEY)->GetEditText(), L"F7");
    ClickControl(MacroPage::IDC_INSERT);
    Settle();
    EXPECT_EQ(page->GetInputMode(), MacroPage::kInputOff) << "the capture ends with the edit";
    std::vector<Ev> events = Stored(macro);
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[1].value, 65);
    EXPECT_EQ(events[2], (Ev{2, 118, 10, kDown + L"F7"}));
    EXPECT_EQ(events[3], (Ev{3, 118, 10, kUp + L"F7"}));
    EXPECT_EQ(events[4].value, 66);

    // A mouse button before the first event.
    ClickRow(Events(), 0);
    ChooseComboItem(MacroPage::IDC_INSERT_WHERE, 0);
    ClickControl(MacroPage::IDC_KIND_BUTTON);
    EXPECT_FALSE(Control(MacroPage::IDC_INSERT_KEY)->IsVisible());
    auto* buttons = Control<MComboBox>(MacroPage::IDC_INSERT_BUTTON);
    ASSERT_TRUE(buttons->IsVisible());
    ChooseComboItem(MacroPage::IDC_INSERT_BUTTON, buttons->FindData(16));
    ClickControl(MacroPage::IDC_INSERT);
    Settle();
    events = Stored(macro);
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0], (Ev{4, 16, 10, kDown + L"Forward"}));
    EXPECT_EQ(events[1], (Ev{5, 16, 10, kUp + L"Forward"}));
    EXPECT_EQ(Control<MControlFont>(MacroPage::IDC_COUNTER)->GetTitle(), L"8/200");
    ExpectMouseHoldsLibrary();

    // A wheel step after the last event, then a pause after it.
    // A click below the last event: no event is selected.
    ClickAt(Hwnd(), CPoint(Events()->GetRect().left + 20, Events()->GetRect().bottom - 3));
    ASSERT_EQ(Events()->GetCurSel(), -1);
    ClickControl(MacroPage::IDC_KIND_WHEEL);
    auto* wheel = Control<MComboBox>(MacroPage::IDC_INSERT_WHEEL);
    ASSERT_TRUE(wheel->IsVisible());
    EXPECT_FALSE(buttons->IsVisible());
    ChooseComboItem(MacroPage::IDC_INSERT_WHEEL, 1);
    ClickControl(MacroPage::IDC_INSERT);
    Settle();
    events = Stored(macro);
    ASSERT_EQ(events.size(), 9u);
    EXPECT_EQ(events[8], (Ev{7, 255, 10, L"Scroll Down"}));
    ClickControl(MacroPage::IDC_KIND_DELAY);
    Retype(MacroPage::IDC_INSERT_DELAY, L"0");
    EXPECT_EQ(Control<MEdit>(MacroPage::IDC_INSERT_DELAY)->GetEditText(), L"1") << "corrected silently";
    Retype(MacroPage::IDC_INSERT_DELAY, L"750");
    ClickRow(Events(), 3);
    ChooseComboItem(MacroPage::IDC_INSERT_WHERE, 1);
    ClickControl(MacroPage::IDC_INSERT);
    Settle();
    events = Stored(macro);
    ASSERT_EQ(events.size(), 9u) << "a pause is no event";
    EXPECT_EQ(events[3].delay, 750);
    // Before the first event there is no event for a pause to follow.
    ClickRow(Events(), 0);
    ChooseComboItem(MacroPage::IDC_INSERT_WHERE, 0);
    boxes.clear();
    ClickControl(MacroPage::IDC_INSERT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, Text(1014));

    // Deleting the selected event.
    ClickRow(Events(), 0);
    ClickControl(MacroPage::IDC_DELETE_EVENT);
    Settle();
    EXPECT_EQ(Stored(macro).size(), 8u);
    EXPECT_EQ(Stored(macro)[0].type, 5);
    ExpectMouseHoldsLibrary();
}

TEST_F(MacroPageTest, NewCopyDeleteAndNamesFollowTheLibrary) {
    DataStore& store = DataStore::Instance();
    StartOnMacroPage();
    store.AddMacro(L"Macro 1");
    store.AddMacro(L"macro 3");
    const int32_t chinese = store.AddMacro(L"\u5b8f 5");
    page->Reload();
    ASSERT_EQ(Macros()->GetItemCount(), 3);
    EXPECT_EQ(Macros()->GetItemText(2), Text(351) + L" 5");

    const int32_t second = NewMacro();
    MacroData data;
    ASSERT_TRUE(store.GetMacro(second, data));
    EXPECT_EQ(data.name, Text(351) + L" 2");
    EXPECT_EQ(data.delayType, 1);
    const int32_t fourth = NewMacro();
    ASSERT_TRUE(store.GetMacro(fourth, data));
    EXPECT_EQ(data.name, Text(351) + L" 4") << "names are compared without regard to case";

    // The key page's list follows.
    ChooseKeyType(kFuncMacro);
    EXPECT_EQ(Control<MComboBox>(KeyPage::IDC_GROUP)->GetItemCount(), 5);
    ClickTab(kTabMacro);

    // Copy through the row's menu.
    SelectAndRecord(chinese);
    ClickMacroMenuEntry(2, 0);
    ASSERT_EQ(MacroCount(), 6);
    const int32_t copy = page->GetSelectedMacro();
    EXPECT_NE(copy, chinese);
    ASSERT_TRUE(store.GetMacro(copy, data));
    EXPECT_EQ(data.name, L"\u5b8f 5 " + Text(31));
    EXPECT_EQ(Stored(copy), Stored(chinese));
    EXPECT_EQ(Stored(copy).size(), 2u);
    EXPECT_EQ(Control<MComboBox>(KeyPage::IDC_GROUP)->GetItemCount(), 6);
    ExpectMouseHoldsLibrary();

    // Deleting the first macro selects none.
    ClickMacroRow(0);
    const int32_t first = page->GetSelectedMacro();
    ClickMacroMenuEntry(0, 1);
    EXPECT_FALSE(store.GetMacro(first, data));
    EXPECT_EQ(page->GetSelectedMacro(), 0);
    EXPECT_EQ(Macros()->GetCurSel(), -1);
    EXPECT_EQ(Events()->GetItemCount(), 0);
    EXPECT_EQ(Macros()->GetItemCount(), 5);
    EXPECT_EQ(Control<MComboBox>(KeyPage::IDC_GROUP)->GetItemCount(), 5);
    ExpectMouseHoldsLibrary();
}

TEST_F(MacroPageTest, ARenamedMacroShowsItsNameOnTheButtonMap) {
    DataStore& store = DataStore::Instance();
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    StartRecording();
    Tap('A');
    StopRecording();

    // Assigned on the key page.
    ClickTab(kTabKey);
    auto* keyPage = dynamic_cast<KeyPage*>(dlg->GetPage(kTabKey));
    ChooseKeyType(kFuncMacro);
    auto* group = Control<MComboBox>(KeyPage::IDC_GROUP);
    ChooseComboItem(KeyPage::IDC_GROUP, group->FindData(macro));
    ClickControl(KeyPage::IDC_APPLY);
    Settle();
    const int keyCode = keyPage->GetSelectedKeyCode();
    KeyRecord key;
    ASSERT_TRUE(store.GetKey(dlg->GetState().GetCurrentProfile(), keyCode, key));
    ASSERT_EQ(key.macroType, kFuncMacro);

    // Renamed here.
    ClickTab(kTabMacro);
    const int row = Macros()->FindItemData(macro);
    const CRect rect = Macros()->GetItemRect(row);
    const CPoint at(Macros()->GetRect().left + 40, rect.CenterPoint().y);
    hands.MoveTo(Hwnd(), at);
    hands.DoubleClick();
    MEditBox* box = Macros()->GetEditBox();
    ASSERT_NE(box, nullptr);
    hands.Chord(VK_CONTROL, 'A');  // all of the old name goes
    hands.Type(L"Sniper");
    PressKey(VK_RETURN);
    Settle();
    MacroData data;
    ASSERT_TRUE(store.GetMacro(macro, data));
    EXPECT_EQ(data.name, L"Sniper");
    EXPECT_EQ(Macros()->GetItemText(row), L"Sniper");
    ASSERT_TRUE(store.GetKey(dlg->GetState().GetCurrentProfile(), keyCode, key));
    EXPECT_EQ(key.macroDesc, L"Sniper");
    auto* map = Control<MouseCtrl>(KeyPage::IDC_BUTTON_MAP);
    bool shown = false;
    for (int i = 0; i < map->GetItemCount(); ++i)
        if (map->GetItemKeyValue(i) == keyCode) shown = map->GetItemText(i) == L"Sniper";
    EXPECT_TRUE(shown);
    EXPECT_EQ(Control<MComboBox>(KeyPage::IDC_GROUP)->GetItemText(0), L"Sniper");
}

TEST_F(MacroPageTest, MacroFilesRoundTripThroughTheButtons) {
    AnswerMessageBoxes({});
    DataStore& store = DataStore::Instance();
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    ClickControl(MacroPage::IDC_DELAY_FIXED);
    Retype(MacroPage::IDC_FIXED_DELAY, L"120");
    StartRecording();
    Tap(VK_SHIFT);
    MouseButton(kRawMiddleDown);
    MouseButton(kRawMiddleUp);
    MouseButton(kRawWheel);
    StopRecording();
    ASSERT_EQ(Stored(macro).size(), 5u);

    const fs::path file = Scratch("sniper.xml");
    AnswerFileDialog(file);
    ClickControl(MacroPage::IDC_EXPORT);
    ASSERT_TRUE(fs::exists(file));
    ClickControl(MacroPage::IDC_IMPORT);
    Settle();
    ASSERT_EQ(MacroCount(), 2);
    const int32_t imported = page->GetSelectedMacro();
    ASSERT_NE(imported, macro);
    MacroData a, b;
    ASSERT_TRUE(store.GetMacro(macro, a));
    ASSERT_TRUE(store.GetMacro(imported, b));
    EXPECT_EQ(b.name, a.name + L" Import");
    EXPECT_EQ(std::tie(b.playType, b.playTimes, b.delayType, b.delayTime),
              std::tie(a.playType, a.playTimes, a.delayType, a.delayTime));
    EXPECT_EQ(Stored(imported), Stored(macro));
    EXPECT_EQ(Listed(), Stored(macro));
    EXPECT_TRUE(boxes.empty());
    ExpectMouseHoldsLibrary();

    // A cancelled dialog changes nothing.
    SetFileDialogAnswer([](const FileDialogRequest&, std::wstring&) { return false; });
    ClickControl(MacroPage::IDC_IMPORT);
    EXPECT_EQ(MacroCount(), 2);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MacroPageTest, FilesThatCannotBeImportedOrWrittenLeaveTheStoreAndSaySo) {
    AnswerMessageBoxes({});
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    StartRecording();
    Tap('A');
    StopRecording();
    const fs::path good = Scratch("good.xml");
    AnswerFileDialog(good);
    ClickControl(MacroPage::IDC_EXPORT);
    std::string text;
    {
        std::ifstream in(good, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_FALSE(text.empty());

    const fs::path profile = Scratch("profile.xml");
    std::ofstream(profile)
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile><profileinfo name=\"P\"/></profile>";
    const fs::path truncated = Scratch("truncated.xml");
    std::ofstream(truncated, std::ios::binary) << text.substr(0, text.size() / 2);
    const fs::path huge = Scratch("huge.xml");
    {
        std::ofstream out(huge, std::ios::binary);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<macro><macroinfo macro_name=\"Big\" "
               "macro_type=\"0\" "
               "play_times=\"1\" delay_type=\"1\" delay_time=\"10\"/><macroitems>";
        for (int i = 0; i < 100000; ++i)
            out << "<item desc=\"A\" index=\"" << i << "\" type=\"" << (2 + i % 2)
                << "\" value=\"65\" timestamp=\"10\"/>";
        out << "</macroitems></macro>";
    }
    const int before = MacroCount();
    const std::vector<Ev> events = Stored(macro);
    for (const fs::path& bad : {profile, truncated, huge}) {
        boxes.clear();
        AnswerFileDialog(bad);
        ClickControl(MacroPage::IDC_IMPORT);
        Settle();
        EXPECT_EQ(MacroCount(), before) << bad;
        ASSERT_EQ(boxes.size(), 1u) << bad;
        EXPECT_EQ(boxes[0].title, Text(1015));
        EXPECT_NE(boxes[0].message.find(bad.wstring()), std::wstring::npos);
        EXPECT_EQ(boxes[0].message.substr(bad.wstring().size()), Text(1020).substr(6));
    }
    EXPECT_EQ(Stored(macro), events);

    boxes.clear();
    AnswerFileDialog(Scratch("gone.xml"));
    ClickControl(MacroPage::IDC_IMPORT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].message.find(L"gone.xml"), std::wstring::npos);
    EXPECT_EQ(MacroCount(), before);

    boxes.clear();
    AnswerFileDialog(Scratch("no-such-folder/out.xml"));
    ClickControl(MacroPage::IDC_EXPORT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(1016));
    EXPECT_NE(boxes[0].message.find(L"no-such-folder/out.xml"), std::wstring::npos);

    // The profile pop-up's import refuses a macro file the same way.
    boxes.clear();
    std::vector<KeyRecord> keys;
    DataStore::Instance().ListKeys(dlg->GetState().GetCurrentProfile(), keys);
    AnswerFileDialog(good);
    Platform::PostMessage(Hwnd(), WM_PROFILE_COMMAND, kProfileImport, dlg->GetState().GetCurrentProfile());
    Settle();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(1017));
    std::vector<KeyRecord> after;
    DataStore::Instance().ListKeys(dlg->GetState().GetCurrentProfile(), after);
    EXPECT_EQ(after.size(), keys.size());
}

TEST_F(MacroPageTest, AProfileFileRoundTripsEveryValue) {
    AnswerMessageBoxes({});
    DataStore& store = DataStore::Instance();
    StartOnMacroPage();
    const int32_t profile = dlg->GetState().GetCurrentProfile();
    const int32_t macro = NewMacro();
    KeyRecord key;
    key.profile = profile;
    key.keyCode = 3;
    key.macroType = kFuncMacro;
    key.macroValue = macro;
    key.macroValue2 = 2;
    key.macroDesc = L"Burst";
    store.SaveKey(key);
    KeyRecord disabled;
    disabled.profile = profile;
    disabled.keyCode = 4;
    disabled.macroType = kFuncDisabled;
    disabled.macroValue = 1;
    disabled.macroDesc = L"Off";
    store.SaveKey(disabled);
    const std::vector<std::pair<std::wstring, std::wstring>> settings = {
        {L"dpi_index", L"2"},           {L"dpi_count", L"4"},   {L"dpi_group1_value", L"1600"},
        {L"dpi_group1_rgb", L"255"},    {L"report_rate", L"2"}, {L"highspeed_mode", L"0"},
        {L"button_respondtime", L"12"}, {L"scroll_flag", L"1"}};
    for (const auto& [k, v] : settings) ASSERT_TRUE(store.SetConfigValue(profile, k, v));

    const fs::path file = Scratch("profile-out.xml");
    AnswerFileDialog(file);
    Platform::PostMessage(Hwnd(), WM_PROFILE_COMMAND, kProfileExport, profile);
    Settle();
    ASSERT_TRUE(fs::exists(file));

    // Everything changed, then the file brings it back.
    store.DeleteProfileKeys(profile);
    for (const auto& [k, v] : settings)
        store.SetConfigValue(profile, k, k == L"dpi_group1_rgb" ? L"1" : L"3");
    Platform::PostMessage(Hwnd(), WM_PROFILE_COMMAND, kProfileImport, profile);
    Settle();
    EXPECT_TRUE(boxes.empty());
    for (const auto& [k, v] : settings) EXPECT_EQ(Config(k), v) << WideToUtf8(k);
    KeyRecord back;
    ASSERT_TRUE(store.GetKey(profile, 3, back));
    EXPECT_EQ(std::tie(back.macroType, back.macroValue, back.macroValue2, back.macroDesc),
              std::tie(key.macroType, key.macroValue, key.macroValue2, key.macroDesc));
    ASSERT_TRUE(store.GetKey(profile, 4, back));
    EXPECT_EQ(back.macroType, kFuncDisabled);
    // Sent to the mouse: the button plays the macro at its place.
    EXPECT_EQ(sim->State().settings.buttonMap[4 * 3], 0x60);
    EXPECT_EQ(sim->State().settings.buttonMap[4 * 3 + 1], 0);
}

TEST_F(MacroPageTest, MacrosThatDoNotFitAreMarkedAndTheirButtonsKeepTheirDefault) {
    DataStore& store = DataStore::Instance();
    StartOnMacroPage();
    // Five macros of 200 events (the first 198, so that a recording may start on
    // it below the 200-event limit): four fit in 4000 bytes, the fifth does not.
    std::vector<int32_t> ids;
    for (int m = 0; m < 5; ++m) {
        const int32_t id = store.AddMacro(L"Long " + std::to_wstring(m));
        std::vector<MacroEvent> events;
        for (int i = 0; i < (m == 0 ? 198 : 200); ++i) {
            MacroEvent e;
            e.macroId = id;
            e.type = 2 + i % 2;
            e.recordIndex = i;
            e.value = 65;
            e.delayTime = 10;
            e.desc = (i % 2 ? kUp : kDown) + L"A";
            events.push_back(e);
        }
        ASSERT_TRUE(store.AddMacroRecords(events));
        ids.push_back(id);
    }
    page->Reload();
    EXPECT_EQ(page->GetMacrosLeftOut(), std::vector<int32_t>{ids[4]});
    EXPECT_EQ(page->GetMemoryUsed(), 64u + 3 * 808u + 800u);  // 4 bytes an event, 8 a macro
    const std::wstring memory = Control<MControlFont>(MacroPage::IDC_MEMORY)->GetTitle();
    EXPECT_NE(memory.find(L"3288"), std::wstring::npos);
    EXPECT_NE(memory.find(Text(1013)), std::wstring::npos);
    EXPECT_NE(Macros()->GetItemTextColor(4).GetA(), 0);
    EXPECT_EQ(Macros()->GetItemTextColor(0).GetA(), 0);

    // Button 3 plays the fifth macro, button 4 the second.
    const int32_t profile = dlg->GetState().GetCurrentProfile();
    for (const auto& [code, id] : {std::pair{3, ids[4]}, std::pair{4, ids[1]}}) {
        KeyRecord key;
        key.profile = profile;
        key.keyCode = code;
        key.macroType = kFuncMacro;
        key.macroValue = id;
        key.macroValue2 = 1;
        key.macroDesc = L"m";
        store.SaveKey(key);
    }
    SelectMacroRow(ids[0]);
    StartRecording();  // a recording, even an empty one, sends the library and the buttons
    StopRecording();
    Settle();
    const ButtonCode fallback = DefaultButtonCode(3);
    const auto map = sim->State().settings.buttonMap;
    EXPECT_TRUE(std::equal(fallback.begin(), fallback.end(), map.begin() + 12))
        << "no code for a macro left out";
    EXPECT_EQ(map[16], 0x60);
    EXPECT_EQ(map[17], 1) << "the second macro keeps its place";
    ExpectMouseHoldsLibrary();

    // Deleting a long macro makes room: the fifth is sent and its button plays it.
    SelectMacroRow(ids[0]);
    ClickMacroMenuEntry(Macros()->GetCurSel(), 1);
    Settle();
    EXPECT_TRUE(page->GetMacrosLeftOut().empty());
    EXPECT_EQ(Macros()->GetItemTextColor(3).GetA(), 0);
    const auto later = sim->State().settings.buttonMap;
    EXPECT_EQ(later[12], 0x60);
    EXPECT_EQ(later[13], 3);
    EXPECT_EQ(later[17], 0) << "the second macro moved up";
    ExpectMouseHoldsLibrary();
}

// The real window on a private X server: keys typed by another X client while
// the window records reach the event list through the XInput2 reader.
class MacroPageXvfbTest : public OnPrivateDisplay<MacroPageTest> {};

TEST_F(MacroPageXvfbTest, KeysTypedInAnotherClientAreRecorded) {
    StartReal();
    ToModelView();
    ToTab(kTabMacro);
    page = dynamic_cast<MacroPage*>(dlg->GetPage(kTabMacro));
    ASSERT_NE(page, nullptr);
    MControl* record = Control(MacroPage::IDC_RECORD);
    ASSERT_EQ(Xdo(InWindow(640, 30), At(Control(MacroPage::IDC_NEW))), 0);
    ASSERT_TRUE(PumpUntil([&] { return page->GetSelectedMacro() > 0; }));
    const int32_t macro = page->GetSelectedMacro();
    ASSERT_EQ(Xdo(At(Control(MacroPage::IDC_NEW)), At(record)), 0);
    ASSERT_TRUE(PumpUntil([&] { return page->IsRecording(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(RunProgram({"xdotool", "type", "--delay", "300", "hi"}), 0);
    for (int i = 0; i < 300 && Events()->GetItemCount() < 4; ++i) Pump(10);
    ASSERT_EQ(RunProgram({"xdotool", "click", "1"}), 0);  // the pointer still rests on the record button
    EXPECT_TRUE(PumpUntil([&] { return !page->IsRecording(); }));
    std::vector<Ev> events = Listed();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].type, 2);
    EXPECT_EQ(events[0].value, 'H');
    EXPECT_EQ(events[0].desc, kDown + L"H");
    EXPECT_EQ(events[1].type, 3);
    EXPECT_EQ(events[2].value, 'I');
    EXPECT_EQ(events[3].desc, kUp + L"I");
    // xdotool pauses (a quarter of its delay here) after each press and each release.
    EXPECT_GE(events[0].delay, 40) << events[0];
    EXPECT_GE(events[1].delay, 40) << events[1];
    EXPECT_EQ(Stored(macro), events);
    Pump(500);
}

TEST_F(MacroPageTest, ADelayEditedInPlaceIsSavedToItsOwnMacro) {
    StartOnMacroPage();
    const int32_t first = NewMacro();
    StartRecording();
    Tap('A');
    StopRecording();
    const int32_t second = NewMacro();
    StartRecording();
    Tap('B');
    StopRecording();
    const std::vector<Ev> secondBefore = Stored(second);

    SelectMacroRow(first);
    const CRect row = Events()->GetItemRect(0);
    const CPoint at(Events()->GetRect().left + 60, row.CenterPoint().y);
    hands.MoveTo(Hwnd(), at);
    hands.DoubleClick();
    ASSERT_EQ(Events()->GetEditItem(), 0);
    for (int i = 0; i < 6; ++i) PressKey(VK_BACK);
    hands.Type(L"480");
    // Choosing another macro while the delay is typed closes the edit.
    ClickMacroRow(Macros()->FindItemData(second));
    Settle();
    EXPECT_EQ(page->GetSelectedMacro(), second);
    EXPECT_EQ(Stored(first)[0].delay, 480);
    EXPECT_EQ(Stored(second), secondBefore);
    ExpectMouseHoldsLibrary();
}

TEST_F(MacroPageTest, DelayChoicesOnlyPrepareTheNextRecording) {
    AnswerMessageBoxes({});
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    SelectAndRecord(macro);
    Settle();
    sim->Trace().ClearReceived();
    MacroData before;
    ASSERT_TRUE(DataStore::Instance().GetMacro(macro, before));

    // The radios and the fixed delay: the edit follows, nothing is stored or sent.
    ClickControl(MacroPage::IDC_DELAY_FIXED);
    EXPECT_TRUE(Control<MEdit>(MacroPage::IDC_FIXED_DELAY)->IsEnabled());
    EXPECT_EQ(Control<MEdit>(MacroPage::IDC_FIXED_DELAY)->GetEditText(), L"10");
    Retype(MacroPage::IDC_FIXED_DELAY, L"40");
    ClickControl(MacroPage::IDC_DELAY_NONE);
    EXPECT_FALSE(Control<MEdit>(MacroPage::IDC_FIXED_DELAY)->IsEnabled());
    ClickControl(MacroPage::IDC_DELAY_FIXED);
    Settle();
    MacroData after;
    ASSERT_TRUE(DataStore::Instance().GetMacro(macro, after));
    EXPECT_EQ(after.delayType, before.delayType);
    EXPECT_EQ(after.delayTime, before.delayTime);
    EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
}

TEST_F(MacroPageTest, ReleasesOfKeysAndButtonsHeldBeforeTheRecordingAreLeftOut) {
    StartOnMacroPage();
    const int32_t macro = NewMacro();
    ClickControl(MacroPage::IDC_DELAY_NONE);
    StartRecording();
    // Shift and the right button were down when the recording began.
    Key(VK_SHIFT, true);
    MouseButton(kRawRightUp);
    Tap('B');
    MouseButton(kRawRightDown);
    MouseButton(kRawRightUp);
    Key('B', true);  // released twice: the second has no press
    StopRecording();
    EXPECT_EQ(Stored(macro), (std::vector<Ev>{{2, 66, 10, kDown + L"B"},
                                              {3, 66, 10, kUp + L"B"},
                                              {4, 2, 10, kDown + L"RB"},
                                              {5, 2, 10, kUp + L"RB"}}));
}

TEST_F(MacroPageTest, TheCounterShowsTheLimitWithOrWithoutAMacro) {
    StartOnMacroPage();
    EXPECT_EQ(page->GetSelectedMacro(), 0);
    EXPECT_EQ(Control<MControlFont>(MacroPage::IDC_COUNTER)->GetTitle(), L"0/200");
    SelectAndRecord(NewMacro());
    EXPECT_EQ(Control<MControlFont>(MacroPage::IDC_COUNTER)->GetTitle(), L"2/200");
    ClickMacroMenuEntry(0, 1);
    EXPECT_EQ(page->GetSelectedMacro(), 0);
    EXPECT_EQ(Control<MControlFont>(MacroPage::IDC_COUNTER)->GetTitle(), L"0/200");
}

TEST_F(MacroPageTest, DeletingAMacroThatButtonsUseNamesThemAndGivesThemTheirDefaults) {
    DataStore& store = DataStore::Instance();
    StartOnMacroPage();
    const int32_t used = NewMacro();
    SelectAndRecord(used);
    // Button 4 of this profile and button 6 of profile 2 play it.
    for (auto [profile, keyCode] :
         {std::pair<int32_t, int32_t>{dlg->GetState().GetCurrentProfile(), 4}, {2, 6}}) {
        KeyRecord record;
        record.profile = profile;
        record.keyCode = keyCode;
        record.macroType = kFuncMacro;
        record.macroValue = used;
        record.macroValue2 = 1;
        record.macroDesc = L"Macro 1";
        ASSERT_GT(store.SaveKey(record), 0);
    }
    dlg->QueueTask(kTaskWriteButtonMap);
    Settle();
    ASSERT_EQ(sim->State().settings.buttonMap[4 * 4], 0x60);

    // Cancelled: nothing goes.
    AnswerMessageBoxes({CUIMessageBox::IDC_SECOND});
    ClickMacroMenuEntry(0, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(1150));
    EXPECT_NE(boxes[0].message.find(Text(304)), std::wstring::npos) << "the button is named";
    KeyRecord record;
    EXPECT_TRUE(store.GetKey(2, 6, record));
    MacroData data;
    EXPECT_TRUE(store.GetMacro(used, data));

    // Confirmed: the macro goes, both buttons have their defaults, the mouse too.
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    boxes.clear();
    sim->Trace().ClearReceived();
    ClickMacroMenuEntry(0, 1);
    Settle();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(store.GetMacro(used, data));
    EXPECT_FALSE(store.GetKey(dlg->GetState().GetCurrentProfile(), 4, record));
    EXPECT_FALSE(store.GetKey(2, 6, record));
    const auto& map = sim->State().settings.buttonMap;
    EXPECT_EQ(std::vector<uint8_t>(map.begin() + 16, map.begin() + 20),
              (std::vector<uint8_t>{0x10, 0x08, 0, 0}));
    auto* buttons = Control<MouseCtrl>(KeyPage::IDC_BUTTON_MAP);
    for (int i = 0; i < buttons->GetItemCount(); ++i) {
        if (buttons->GetItemKeyValue(i) == 4) {
            EXPECT_EQ(buttons->GetItemText(i), Text(154));
        }
    }

    // A macro no button uses goes without a question.
    boxes.clear();
    SelectAndRecord(NewMacro());
    ClickMacroMenuEntry(0, 1);
    EXPECT_EQ(boxes.size(), 0u);
    EXPECT_EQ(MacroCount(), 0);
}
