// The key page in the real window with the simulated mouse: every function type
// chosen, applied, shown on the button map, stored and sent; decoding, restoring,
// the left button's notice, profile switches, key capture, the program chooser
// and the PC-side functions the mouse reports.
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

#include "MainWindowFixture.h"
#include "PrivateDisplayFixture.h"
#include "pages/KeyPage.h"
#include "base/LanguageText.h"
#include "base/ButtonFunction.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/MButton3.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/controls/MEditBox.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/widgets/KeyFuncType.h"
#include "orvix/widgets/KeyFuncValue.h"
#include "orvix/widgets/MouseCtrl.h"
#include "dialogs/FileDialog.h"
#include "base/Folders.h"

using namespace Orvix;
namespace fs = std::filesystem;

namespace {

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

std::string Hex(const ButtonCode& code) {
    char buffer[16];
    snprintf(buffer, sizeof buffer, "%02X %02X %02X %02X", code[0], code[1], code[2], code[3]);
    return buffer;
}

}  // namespace

class KeyPageTest : public MainWindowFixture {
  protected:
    void TearDown() override {
        SetFileDialogAnswer(nullptr);
        MainWindowFixture::TearDown();
    }

    void StartOnKeyPage() {
        PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ASSERT_EQ(dlg->GetCurrentTabId(), kTabKey);
        page = dynamic_cast<KeyPage*>(dlg->GetPage(kTabKey));
        ASSERT_NE(page, nullptr);
    }

    MouseCtrl* Map() { return Control<MouseCtrl>(KeyPage::IDC_BUTTON_MAP); }
    MComboBox* Combo(UINT id) { return Control<MComboBox>(id); }
    int32_t Profile() { return dlg->GetState().GetCurrentProfile(); }

    // Clicks the label of the button with that key code.
    void ClickButton(int keyCode) {
        for (int i = 0; i < Map()->GetItemCount(); ++i) {
            if (Map()->GetItemKeyValue(i) != keyCode) continue;
            ClickAt(Hwnd(), Map()->GetLabelRect(i).CenterPoint());
            return;
        }
        FAIL() << "no button " << keyCode;
    }
    void ClickType(int type) {
        auto* types = Control<KeyFuncType>(KeyPage::IDC_TYPE_LIST);
        for (int i = 0; i < types->GetItemCount(); ++i) {
            if (types->GetItemData(i) != type) continue;
            ClickAt(Hwnd(), types->GetRowRect(i).CenterPoint());
            ASSERT_EQ(page->GetSelectedType(), type);
            return;
        }
        FAIL() << "no type " << type;
    }
    void ClickValueRow(int index) {
        auto* values = Control<KeyFuncValue>(KeyPage::IDC_VALUE_LIST);
        ClickAt(Hwnd(), values->GetRowRect(index).CenterPoint());
    }
    // What a choice in the drop-down does.
    void ChooseData(UINT id, LPARAM data) {
        MComboBox* combo = Combo(id);
        ASSERT_TRUE(combo->IsVisible());
        const int index = combo->FindData(data);
        ASSERT_GE(index, 0) << "no item with data " << data << " in " << id;
        ChooseComboItem(id, index);
    }
    void Apply() {
        ClickControl(KeyPage::IDC_APPLY);
        Settle();
    }
    // The slot as the mouse holds it, and as the last key-map report carried it.
    std::string MouseSlot(int keyCode) {
        const auto& map = sim->State().settings.buttonMap;
        return Hex({map[4 * keyCode], map[4 * keyCode + 1], map[4 * keyCode + 2], map[4 * keyCode + 3]});
    }
    std::string LastReportSlot(int keyCode) {
        const std::vector<std::string> reports = ReceivedReports();
        for (auto it = reports.rbegin(); it != reports.rend(); ++it)
            if (it->rfind("06 12", 0) == 0) return it->substr(size_t(3 * (5 + 4 * keyCode)), 11);
        return "";
    }
    void ExpectSent(int keyCode, const std::string& code) {
        EXPECT_EQ(LastReportSlot(keyCode), code);
        EXPECT_EQ(MouseSlot(keyCode), code);
    }
    bool Stored(int keyCode, KeyRecord& record) {
        return DataStore::Instance().GetKey(Profile(), keyCode, record);
    }
    std::wstring Caption(int keyCode) {
        for (int i = 0; i < Map()->GetItemCount(); ++i)
            if (Map()->GetItemKeyValue(i) == keyCode) return Map()->GetItemText(i);
        return L"?";
    }
    void ReplaceEditText(UINT id, const std::wstring& text) {
        ClickControl(id);
        // Everything selected, then typed over.
        hands.Chord(VK_CONTROL, 'A');
        PressKey(VK_BACK);
        hands.Type(text);
    }
    // Leaves an edit as a click elsewhere does.
    void ClickAway() { ClickAt(Hwnd(), Control(KeyPage::IDC_TYPE_CAPTION)->GetRect().CenterPoint()); }

    // Puts `folder` first on PATH for the programs the PC-side functions start.
    void PrependPath(const fs::path& folder) {
        const char* path = getenv("PATH");
        SetEnv("PATH", folder.string() + ":" + (path ? path : "/usr/bin:/bin"));
    }
    fs::path Script(const std::string& name, const std::string& body) {
        const fs::path file = Root() / name;
        std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(file, fs::perms::owner_all);
        return file;
    }
    // Waits for a file a started program writes.
    std::string WaitForFile(const fs::path& file) {
        for (int i = 0; i < 300 && !fs::exists(file); ++i) {
            Platform::RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream in(file);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return text;
    }

    KeyPage* page = nullptr;
};

TEST_F(KeyPageTest, CapturedKeyWithShiftAndAltIsStoredCaptionedAndSent) {
    StartOnKeyPage();
    ClickButton(2);
    ClickType(kFuncKey);
    EXPECT_TRUE(Control(KeyPage::IDC_CAPTURE)->IsVisible());
    EXPECT_FALSE(Control(KeyPage::IDC_ITEM)->IsVisible());

    // Capture: Shift alone is no key, A is; typing does not edit the field.
    ClickControl(KeyPage::IDC_CAPTURE);
    ASSERT_TRUE(page->IsCapturing());
    PressKey(VK_SHIFT);
    EXPECT_EQ(page->GetCapturedVk(), 0);
    PressKey('A');
    EXPECT_EQ(page->GetCapturedVk(), 'A');
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_CAPTURE)->GetEditText(), L"A");
    hands.Type(L"xyz");
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_CAPTURE)->GetEditText(), L"A");

    ClickControl(KeyPage::IDC_SHIFT);
    Platform::RunPending();
    EXPECT_FALSE(page->IsCapturing());
    ClickControl(KeyPage::IDC_ALT);
    Apply();

    KeyRecord record;
    ASSERT_TRUE(Stored(2, record));
    EXPECT_EQ(record.macroType, kFuncKey);
    EXPECT_EQ(record.macroValue, 4);
    EXPECT_EQ(record.macroValue2, 6);
    EXPECT_EQ(record.macroDesc, L"Shift+ Alt + A");
    EXPECT_EQ(Caption(2), L"Shift+ Alt + A");
    ExpectSent(2, "20 06 04 00");

    // Chosen again, the button shows its assignment.
    ClickButton(3);
    ClickButton(2);
    EXPECT_EQ(page->GetSelectedType(), kFuncKey);
    EXPECT_TRUE(Control<MButton3>(KeyPage::IDC_SHIFT)->GetCheck());
    EXPECT_TRUE(Control<MButton3>(KeyPage::IDC_ALT)->GetCheck());
    EXPECT_FALSE(Control<MButton3>(KeyPage::IDC_CTRL)->GetCheck());
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_CAPTURE)->GetEditText(), L"A");
}

TEST_F(KeyPageTest, EnterThatClosesTheCaptureEditIsStillCaptured) {
    StartOnKeyPage();
    ClickType(kFuncKey);
    ClickControl(KeyPage::IDC_CAPTURE);
    PressKey(VK_RETURN);
    Platform::RunPending();
    EXPECT_FALSE(page->IsCapturing());
    EXPECT_EQ(page->GetCapturedVk(), int(VK_RETURN));
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_CAPTURE)->GetEditText(), L"Enter");
    Apply();
    ExpectSent(1, "20 00 28 00");
}

TEST_F(KeyPageTest, PredefinedKeysGiveTheirUsageOrModifierBit) {
    StartOnKeyPage();
    ClickButton(3);
    ClickType(kFuncKey);
    ChooseData(KeyPage::IDC_GROUP, 6);
    EXPECT_FALSE(Control(KeyPage::IDC_CAPTURE)->IsVisible());
    ChooseData(KeyPage::IDC_ITEM, 228);  // R-Ctrl
    Apply();
    ExpectSent(3, "20 10 00 00");
    EXPECT_EQ(Caption(3), L"R-Ctrl");

    ChooseData(KeyPage::IDC_GROUP, 3);
    ChooseData(KeyPage::IDC_ITEM, 69);  // F12
    Apply();
    ExpectSent(3, "20 00 45 00");
}

TEST_F(KeyPageTest, MouseActionsAndMultimediaKeysComeFromTheValueList) {
    StartOnKeyPage();
    ClickButton(4);
    ClickType(kFuncMultimedia);
    EXPECT_EQ(Control<KeyFuncValue>(KeyPage::IDC_VALUE_LIST)->GetItemCount(), 10);
    ClickValueRow(8);  // Calculator, usage 0x0192
    Apply();
    ExpectSent(4, "30 92 01 00");
    EXPECT_EQ(Caption(4), Text(129));

    ClickType(kFuncMouse);
    ClickValueRow(1);  // middle button
    Apply();
    ExpectSent(4, "10 04 00 00");
    EXPECT_EQ(Caption(4), Text(152));
}

TEST_F(KeyPageTest, EveryShortcutGroupReachesTheMouse) {
    StartOnKeyPage();
    ClickButton(5);
    ClickType(kFuncShortcut);
    for (int group = 1; group <= 6; ++group) {
        ChooseData(KeyPage::IDC_GROUP, group);
        const ShortcutEntry* last = nullptr;
        for (const ShortcutEntry& e : kShortcuts)
            if (e.group == group) last = &e;
        ChooseData(KeyPage::IDC_ITEM, last->value);
        Apply();
        ExpectSent(5, Hex(last->code));
        EXPECT_EQ(Caption(5), Text(last->textId));
    }
    // Decoding picks the group of the stored shortcut.
    ClickButton(1);
    ClickButton(5);
    EXPECT_EQ(Combo(KeyPage::IDC_GROUP)->GetCurData(), 6);
    EXPECT_EQ(Combo(KeyPage::IDC_ITEM)->GetCurData(), 37);
}

TEST_F(KeyPageTest, MacroWithCountAndPlayModes) {
    DataStore& store = DataStore::Instance();
    StartOnKeyPage();
    const int32_t first = store.AddMacro(L"Macro 1");
    const int32_t second = store.AddMacro(L"Boss key");
    ASSERT_GT(second, 0);
    ClickButton(6);
    ClickType(kFuncMacro);
    MComboBox* macros = Combo(KeyPage::IDC_GROUP);
    ASSERT_EQ(macros->GetItemCount(), 2);
    EXPECT_EQ(macros->GetItemText(0), Text(351) + L" 1");
    EXPECT_TRUE(Control<CRadioButton>(KeyPage::IDC_RADIO_COUNT)->GetCheck());

    ChooseData(KeyPage::IDC_GROUP, second);
    ReplaceEditText(KeyPage::IDC_COUNT, L"7");
    Apply();
    KeyRecord record;
    ASSERT_TRUE(Stored(6, record));
    EXPECT_EQ(record.macroValue, second);
    EXPECT_EQ(record.macroValue2, 7);
    EXPECT_EQ(record.macroValue3, 0);
    ExpectSent(6, "60 01 07 00");

    // The second play mode: repeat until pressed again.
    ChooseData(KeyPage::IDC_GROUP, first);
    ClickControl(KeyPage::IDC_RADIO_TOGGLE);
    Apply();
    ExpectSent(6, "60 00 01 02");
    EXPECT_EQ(Caption(6), Text(351) + L" 1");
}

TEST_F(KeyPageTest, RepeatCountIsClampedWhenLeft) {
    StartOnKeyPage();
    DataStore::Instance().AddMacro(L"Macro 1");
    ClickType(kFuncMacro);
    ReplaceEditText(KeyPage::IDC_COUNT, L"0");
    ClickAway();
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_COUNT)->GetEditText(), L"1");
    ReplaceEditText(KeyPage::IDC_COUNT, L"999");
    ClickAway();
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_COUNT)->GetEditText(), L"255");
    ReplaceEditText(KeyPage::IDC_COUNT, L"12345");  // three digits at most
    ClickAway();
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_COUNT)->GetEditText(), L"123");
}

TEST_F(KeyPageTest, DisabledTextAndRestore) {
    DataStore& store = DataStore::Instance();
    StartOnKeyPage();
    TextData text;
    text.name = L"Example 1 - Blessing";
    text.content = L"Best wishes";
    const int32_t textId = store.AddText(text);
    ASSERT_GT(textId, 0);

    ClickButton(3);
    ClickType(kFuncDisabled);
    Apply();
    ExpectSent(3, "00 00 00 00");
    EXPECT_EQ(Caption(3), Text(139));

    ClickType(kFuncText);
    EXPECT_EQ(Combo(KeyPage::IDC_GROUP)->GetItemText(0), Text(460));
    // The library's own examples come first; this one follows them.
    ChooseData(KeyPage::IDC_GROUP, textId);
    EXPECT_EQ(Combo(KeyPage::IDC_GROUP)->GetItemText(Combo(KeyPage::IDC_GROUP)->GetCurSel()), Text(460));
    Apply();
    ExpectSent(
        3, "50 0B " + std::string(textId < 16 ? "0" : "") + [&] {
            char b[4];
            snprintf(b, sizeof b, "%X", textId);
            return std::string(b);
        }() + " 00");

    // Restore: the row goes, the slot gets its fixed default back.
    ClickControl(KeyPage::IDC_RESTORE);
    Settle();
    KeyRecord record;
    EXPECT_FALSE(Stored(3, record));
    ExpectSent(3, "10 10 00 00");
    EXPECT_EQ(Caption(3), Text(153));
    EXPECT_EQ(page->GetSelectedType(), kFuncMouse);
}

TEST_F(KeyPageTest, TypeZeroAsksAndStoresTheDescriptionsDefault) {
    StartOnKeyPage();
    ClickButton(5);
    ClickType(kFuncDisabled);
    Apply();
    ClickType(kFuncDefault);
    AnswerMessageBoxes({34});  // cancel: nothing changes
    Apply();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(753));
    EXPECT_EQ(boxes[0].message, Text(752));
    KeyRecord record;
    ASSERT_TRUE(Stored(5, record));
    EXPECT_EQ(record.macroType, kFuncDisabled);

    AnswerMessageBoxes({33});
    Apply();
    ASSERT_TRUE(Stored(5, record));
    EXPECT_EQ(record.macroType, kFuncMouse);
    EXPECT_EQ(record.macroValue, 7);  // the description's func_value, kept as a row
    EXPECT_EQ(Caption(5), Text(156));
    ExpectSent(5, "10 20 00 00");
}

TEST_F(KeyPageTest, TheLeftButtonCannotBeChosen) {
    StartOnKeyPage();
    ClickButton(3);
    AnswerMessageBoxes({33});
    ClickButton(0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, Text(608));
    EXPECT_EQ(boxes[0].message, Text(609));
    EXPECT_EQ(Map()->GetSelectItem(), 1);
    EXPECT_EQ(page->GetSelectedKeyCode(), Map()->GetItemKeyValue(1));
}

TEST_F(KeyPageTest, SwitchingProfileReloadsTheCaptions) {
    StartOnKeyPage();
    KeyRecord record;
    record.profile = 2;
    record.keyCode = 4;
    record.macroType = kFuncDisabled;
    record.macroValue = 1;
    record.macroDesc = L"Off in profile 2";
    ASSERT_GT(DataStore::Instance().SaveKey(record), 0);
    EXPECT_EQ(Caption(4), Text(154));
    dlg->SwitchProfile(2);
    Settle();
    EXPECT_EQ(Caption(4), L"Off in profile 2");
    EXPECT_EQ(Map()->GetSelectItem(), 1);
    dlg->SwitchProfile(1);
    Settle();
    EXPECT_EQ(Caption(4), Text(154));
}

TEST_F(KeyPageTest, LaunchButtonStartsTheChosenScriptOnce) {
    StartOnKeyPage();
    const fs::path mark = Root() / "launched";
    const fs::path script = Script("launch-me.sh", "echo run >> '" + mark.string() + "'");
    SetFileDialogAnswer([&](const FileDialogRequest& request, std::wstring& path) {
        EXPECT_FALSE(request.save);
        path = script.wstring();
        return true;
    });
    ClickButton(7);
    ClickType(kFuncLaunch);
    EXPECT_TRUE(Control(KeyPage::IDC_OPEN_FILE)->IsVisible());
    ClickControl(KeyPage::IDC_OPEN_FILE);
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_PATH_EDIT)->GetEditText(), script.wstring());
    Apply();
    KeyRecord record;
    ASSERT_TRUE(Stored(7, record));
    std::wstring desc, param;
    int32_t type = 0;
    ASSERT_TRUE(DataStore::Instance().GetKeyOtherData(record.macroValue, desc, param, type));
    EXPECT_EQ(desc, L"launch-me.sh");
    EXPECT_EQ(param, script.wstring());
    EXPECT_EQ(type, kFuncLaunch);
    char code[16];
    snprintf(code, sizeof code, "50 09 %02X 00", record.macroValue);
    ExpectSent(7, code);

    sim->PressButton(7);
    Settle();
    EXPECT_EQ(WaitForFile(mark), "run\n");
}

TEST_F(KeyPageTest, WebButtonOpensTheAddressThroughXdgOpen) {
    const fs::path bin = Root() / "bin";
    fs::create_directories(bin);
    const fs::path mark = Root() / "opened";
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> '" << mark.string()
                                    << "'\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    PrependPath(bin);
    StartOnKeyPage();
    ClickButton(6);
    ClickType(kFuncWeb);
    EXPECT_FALSE(Control(KeyPage::IDC_OPEN_FILE)->IsVisible());
    ReplaceEditText(KeyPage::IDC_PATH_EDIT, L"https://example.org/a;b$(x)");
    Apply();
    KeyRecord record;
    ASSERT_TRUE(Stored(6, record));
    EXPECT_EQ(record.macroDesc, L"https://example.org/a;b$(x)");
    sim->PressButton(6);
    Settle();
    // One argument, shell characters untouched, "www." put in front.
    EXPECT_EQ(WaitForFile(mark), "1|http://www.example.org/a;b$(x)\n");
}

TEST_F(KeyPageTest, BadInputStoresNothing) {
    StartOnKeyPage();
    ClickButton(4);
    KeyRecord before;
    ASSERT_FALSE(Stored(4, before));

    // A web address with a space is refused with a notice.
    ClickType(kFuncWeb);
    ReplaceEditText(KeyPage::IDC_PATH_EDIT, L"example.org/a b");
    AnswerMessageBoxes({33});
    Apply();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, Text(973));
    KeyRecord record;
    EXPECT_FALSE(Stored(4, record));

    // An application entry without Exec is not taken.
    ClickType(kFuncLaunch);
    const fs::path entry = Root() / "broken.desktop";
    std::ofstream(entry) << "[Desktop Entry]\nType=Application\nName=Broken\n";
    fs::path answer = entry;
    SetFileDialogAnswer([&](const FileDialogRequest&, std::wstring& path) {
        path = answer.wstring();
        return true;
    });
    AnswerMessageBoxes({33});
    boxes.clear();
    ClickControl(KeyPage::IDC_OPEN_FILE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, Text(971));
    EXPECT_EQ(page->GetProgramPath(), L"");
    Apply();
    EXPECT_FALSE(Stored(4, record));

    // A program that is gone by the time of applying.
    answer = Script("vanishing.sh", "true");
    ClickControl(KeyPage::IDC_OPEN_FILE);
    EXPECT_EQ(page->GetProgramPath(), answer.wstring());
    fs::remove(answer);
    AnswerMessageBoxes({33});
    boxes.clear();
    Apply();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, Text(974));
    EXPECT_FALSE(Stored(4, record));

    // A chooser that was cancelled leaves everything as it was.
    SetFileDialogAnswer([](const FileDialogRequest&, std::wstring&) { return false; });
    ClickControl(KeyPage::IDC_OPEN_FILE);
    EXPECT_EQ(page->GetProgramPath(), answer.wstring());
    EXPECT_EQ(sim->Trace().Rejections(), std::vector<std::string>{});
}

TEST_F(KeyPageTest, MacroListFollowsTheLibraryAndKeepsTheChoice) {
    DataStore& store = DataStore::Instance();
    StartOnKeyPage();
    const int32_t first = store.AddMacro(L"\u5b8f 2");
    ClickButton(4);
    ClickType(kFuncMacro);
    EXPECT_EQ(Combo(KeyPage::IDC_GROUP)->GetItemText(0), Text(351) + L" 2");
    const int32_t second = store.AddMacro(L"Sniper");
    dlg->BroadcastPageEvent(PageEvent::MacroLibraryChanged, nullptr);
    ASSERT_EQ(Combo(KeyPage::IDC_GROUP)->GetItemCount(), 2);
    EXPECT_EQ(Combo(KeyPage::IDC_GROUP)->GetCurData(), first);
    EXPECT_EQ(page->GetSelectedKeyCode(), 4);

    ChooseData(KeyPage::IDC_GROUP, second);
    ClickControl(KeyPage::IDC_RADIO_HELD);
    Apply();
    ExpectSent(4, "60 01 01 01");
    // Its macro deleted, the assignment gives no code: the slot keeps its default.
    store.DeleteMacro(second);
    dlg->QueueTask(kTaskWriteButtonMap);
    Settle();
    ExpectSent(4, "10 08 00 00");
}

// The real window on a private X server: a key pressed there reaches the capture
// edit through the XInput2 reader.
class KeyPageXvfbTest : public OnPrivateDisplay<KeyPageTest> {};

TEST_F(KeyPageXvfbTest, KeyPressedOnTheDisplayShowsInTheCaptureEdit) {
    StartReal();
    ToModelView();
    page = dynamic_cast<KeyPage*>(dlg->GetPage(kTabKey));
    ASSERT_NE(page, nullptr);
    // The "Keyboard" type, then the capture field, each clicked.
    auto* types = Control<KeyFuncType>(KeyPage::IDC_TYPE_LIST);
    int row = -1;
    for (int i = 0; i < types->GetItemCount(); ++i)
        if (types->GetItemData(i) == kFuncKey) row = i;
    ASSERT_GE(row, 0);
    ASSERT_EQ(Xdo(InWindow(640, 780), UserHands::ToScreen(Hwnd(), types->GetRowRect(row).CenterPoint())), 0);
    ASSERT_TRUE(PumpUntil([&] { return page->GetSelectedType() == kFuncKey; }));
    auto* edit = Control<MEdit>(KeyPage::IDC_CAPTURE);
    ASSERT_TRUE(edit->IsVisible());
    ASSERT_EQ(Xdo(At(types), At(edit)), 0);
    ASSERT_TRUE(PumpUntil([&] { return page->IsCapturing(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(RunProgram({"xdotool", "key", "F7"}), 0);
    for (int i = 0; i < 300 && edit->GetEditText() != L"F7"; ++i) {
        Platform::RunPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(edit->GetEditText(), L"F7");
    EXPECT_EQ(page->GetCapturedVk(), 118);
}

// ---------------------------------------------------------------- paths, addresses and the store

TEST_F(KeyPageTest, ATypedProgramPathIsSavedWholeAndStarted) {
    StartOnKeyPage();
    // A path far longer than a caption, in a folder with a space.
    const fs::path folder = Root() / "Programs With Long Names" / std::string(60, 'd') / "bin";
    fs::create_directories(folder);
    const fs::path mark = Root() / "typed-ran";
    const fs::path script = folder / "typed tool.sh";
    std::ofstream(script) << "#!/bin/sh\necho typed >> '" << mark.string() << "'\n";
    fs::permissions(script, fs::perms::owner_all);
    ASSERT_GT(script.wstring().size(), 100u);

    ClickButton(7);
    ClickType(kFuncLaunch);
    ReplaceEditText(KeyPage::IDC_PATH_EDIT, script.wstring());
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_PATH_EDIT)->GetEditText(), script.wstring());
    Apply();
    KeyRecord record;
    ASSERT_TRUE(Stored(7, record)) << "a typed path is saved";
    EXPECT_EQ(record.macroDesc, L"typed tool.sh");
    std::wstring desc, param;
    int32_t type = 0;
    ASSERT_TRUE(DataStore::Instance().GetKeyOtherData(record.macroValue, desc, param, type));
    EXPECT_EQ(param, script.wstring());
    EXPECT_EQ(Caption(7), L"typed tool.sh");
    // Chosen again, the button shows the whole path.
    ClickButton(3);
    ClickButton(7);
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_PATH_EDIT)->GetEditText(), script.wstring());
    sim->PressButton(7);
    Settle();
    EXPECT_EQ(WaitForFile(mark), "typed\n");
}

TEST_F(KeyPageTest, AProgramNamedAloneIsFoundOnThePath) {
    const fs::path bin = Root() / "bin";
    fs::create_directories(bin);
    std::ofstream(bin / "mytool") << "#!/bin/sh\ntrue\n";
    fs::permissions(bin / "mytool", fs::perms::owner_all);
    PrependPath(bin);
    StartOnKeyPage();
    ClickButton(5);
    ClickType(kFuncLaunch);
    ReplaceEditText(KeyPage::IDC_PATH_EDIT, L"mytool");
    Apply();
    KeyRecord record;
    ASSERT_TRUE(Stored(5, record));
    std::wstring desc, param;
    int32_t type = 0;
    DataStore::Instance().GetKeyOtherData(record.macroValue, desc, param, type);
    EXPECT_EQ(param, (bin / "mytool").wstring());
}

TEST_F(KeyPageTest, ATypedPathThatIsNoProgramIsRefusedWithTheReason) {
    StartOnKeyPage();
    ClickButton(4);
    ClickType(kFuncLaunch);
    AnswerMessageBoxes({33, 33, 33});
    Apply();  // nothing typed
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, Text(1156));
    ReplaceEditText(KeyPage::IDC_PATH_EDIT, L"/no/such/program");
    Apply();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].message.find(L"/no/such/program"), std::wstring::npos);
    const fs::path text = Root() / "notes.txt";
    std::ofstream(text) << "not a program\n";
    ReplaceEditText(KeyPage::IDC_PATH_EDIT, text.wstring());
    Apply();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].message, Text(971));
    KeyRecord record;
    EXPECT_FALSE(Stored(4, record));
}

TEST_F(KeyPageTest, ALongWebAddressIsStoredAndOpenedWhole) {
    const fs::path bin = Root() / "bin";
    fs::create_directories(bin);
    const fs::path mark = Root() / "opened";
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << mark.string() << "'\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    PrependPath(bin);
    StartOnKeyPage();
    std::wstring address = L"https://www.example.org/a/very/long/path?";
    while (address.size() < 1100) address += L"key" + std::to_wstring(address.size()) + L"=value&";
    ClickButton(6);
    ClickType(kFuncWeb);
    ReplaceEditText(KeyPage::IDC_PATH_EDIT, address);
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_PATH_EDIT)->GetEditText(), address) << "the field takes it all";
    Apply();
    KeyRecord record;
    ASSERT_TRUE(Stored(6, record));
    EXPECT_EQ(record.macroDesc, address);
    // The field shows the end being typed, the map the address cut with a tooltip.
    sim->PressButton(6);
    Settle();
    EXPECT_EQ(WaitForFile(mark), Orvix::WideToUtf8(L"http://" + address.substr(8)) + "\n");
}

TEST_F(KeyPageTest, RowsWithShortValuesFromEarlierVersionsAreStillRead) {
    StartOnKeyPage();
    DataStore& store = DataStore::Instance();
    // As earlier versions stored them: the caption cut to 30 characters.
    const int32_t web = store.AddKeyOtherData(L"https://example.org/a/very/lon", L"", kFuncWeb);
    const int32_t program = store.AddKeyOtherData(L"tool", L"/usr/bin/tool", kFuncLaunch);
    for (auto [keyCode, type, id] :
         {std::tuple<int, int, int32_t>{5, kFuncWeb, web}, {6, kFuncLaunch, program}}) {
        KeyRecord record;
        record.profile = Profile();
        record.keyCode = keyCode;
        record.macroType = type;
        record.macroValue = id;
        record.macroDesc = type == kFuncWeb ? L"https://example.org/a/very/lon" : L"tool";
        ASSERT_GT(store.SaveKey(record), 0);
    }
    dlg->SwitchProfile(Profile());
    Settle();
    ClickButton(5);
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_PATH_EDIT)->GetEditText(), L"https://example.org/a/very/lon");
    ClickButton(6);
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_PATH_EDIT)->GetEditText(), L"/usr/bin/tool");
    EXPECT_EQ(Caption(6), L"tool");
}

TEST_F(KeyPageTest, ASaveThatFailsLeavesNoAddressRowBehind) {
    StartOnKeyPage();
    // The store refuses new assignments from now on, as a full disk would.
    sqlite3* db = nullptr;
    fs::path file;
    for (const auto& entry : fs::directory_iterator(fs::path(Orvix::WideToUtf8(GetDatabaseFolder()))))
        if (entry.path().string().find("_data1.db") != std::string::npos && entry.path().extension() == ".db")
            file = entry.path();
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
    auto rows = [&] {
        int count = -1;
        sqlite3_exec(
            db, "SELECT count(*) FROM t_key_otherdata",
            [](void* out, int, char** values, char**) {
                *static_cast<int*>(out) = std::atoi(values[0]);
                return 0;
            },
            &count, nullptr);
        return count;
    };
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON t_key_macro_data "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const int before = rows();
    ClickButton(6);
    ClickType(kFuncWeb);
    ReplaceEditText(KeyPage::IDC_PATH_EDIT, L"example.org");
    Apply();
    KeyRecord record;
    EXPECT_FALSE(Stored(6, record));
    EXPECT_EQ(rows(), before) << "an address row without its assignment was left";
    sqlite3_exec(db, "DROP TRIGGER refuse", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// ---------------------------------------------------------------- macros and counts

TEST_F(KeyPageTest, TheMacroTypeWithAnEmptyLibrarySaysSoAndLeadsToTheMacroPage) {
    StartOnKeyPage();
    ClickType(kFuncMacro);
    EXPECT_FALSE(Control(KeyPage::IDC_GROUP)->IsVisible());
    EXPECT_FALSE(Control(KeyPage::IDC_RADIO_COUNT)->IsVisible());
    EXPECT_TRUE(Control(KeyPage::IDC_NO_MACRO)->IsVisible());
    EXPECT_EQ(Control<MControlFont>(KeyPage::IDC_NO_MACRO)->GetTitle(), Text(1154));
    EXPECT_FALSE(Control(KeyPage::IDC_APPLY)->IsEnabled());
    ClickControl(KeyPage::IDC_OPEN_MACROS);
    Settle();
    EXPECT_EQ(dlg->GetCurrentTabId(), kTabMacro);

    // A macro made meanwhile is there when the page is back.
    DataStore::Instance().AddMacro(L"Macro 1");
    dlg->BroadcastPageEvent(PageEvent::MacroLibraryChanged, nullptr);
    ClickTab(kTabKey);
    Settle();
    EXPECT_TRUE(Control(KeyPage::IDC_GROUP)->IsVisible());
    EXPECT_FALSE(Control(KeyPage::IDC_NO_MACRO)->IsVisible());
    EXPECT_TRUE(Control(KeyPage::IDC_APPLY)->IsEnabled());
}

TEST_F(KeyPageTest, AnEmptiedRepeatCountBecomesOne) {
    StartOnKeyPage();
    DataStore::Instance().AddMacro(L"Macro 1");
    ClickType(kFuncMacro);
    ReplaceEditText(KeyPage::IDC_COUNT, L"");
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_COUNT)->GetEditText(), L"");
    ClickAway();
    EXPECT_EQ(Control<MEdit>(KeyPage::IDC_COUNT)->GetEditText(), L"1");
}

// ---------------------------------------------------------------- the picture and the lists

TEST_F(KeyPageTest, TheModelPictureLiesOnThePanelUnderTheMapAndOnNoOtherPage) {
    StartOnKeyPage();
    auto* picture = Control<MPicture>(KeyPage::IDC_MOUSE_PICTURE);
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(picture->IsVisible());
    const CSize size = picture->GetImageSize();
    const CRect client = Platform::GetClientRect(Hwnd());
    EXPECT_EQ(picture->GetRect(),
              CRect(client.right - size.cx - 160, 145, client.right - 160, 145 + size.cy));
    EXPECT_FALSE(Control(IDC_MOUSE_PICTURE)->IsVisible());
    // Drawn as it is, not through the panel: an opaque pixel of the picture is the window's.
    ASSERT_TRUE(dlg->GetDescription().mouseImage.has_value());
    auto image = MRender::LoadImageFromFile(Manager::GetSkinPath(*dlg->GetDescription().mouseImage));
    ASSERT_NE(image, nullptr);
    Platform::InvalidateRect(Hwnd());
    Platform::UpdateWindow(Hwnd());
    const Canvas* shown = Platform::GetPresentedImage(Hwnd());
    int compared = 0;
    for (int y = size.cy / 3; y < size.cy * 2 / 3 && compared < 20; y += 7)
        for (int x = size.cx / 3; x < size.cx * 2 / 3 && compared < 20; x += 5) {
            const Color p = image->GetPixel(x, y);
            if (p.GetA() != 255) continue;
            const CPoint at(picture->GetRect().left + x, picture->GetRect().top + y);
            // Where the map draws nothing.
            bool underMap = false;
            auto* map = Map();
            for (int i = 0; i < map->GetItemCount(); ++i) {
                CRect label = map->GetLabelRect(i);
                label.InflateRect(3, 3);
                const CRect dot = map->GetDotRect(i);
                if (label.PtInRect(at) || (at.y >= dot.top - 4 && at.y <= dot.bottom + 4)) underMap = true;
            }
            if (underMap) continue;
            EXPECT_EQ(shown->GetPixel(at.x, at.y).GetValue(), p.GetValue()) << at.x << "," << at.y;
            ++compared;
        }
    EXPECT_GT(compared, 5);
    for (int tab : {kTabDpi, kTabMacro, kTabText, kTabDevice}) {
        ClickTab(tab);
        Settle();
        EXPECT_FALSE(Control(IDC_PAGE_KEY)->IsVisible()) << "the key page and its picture are left";
        EXPECT_FALSE(Control(IDC_MOUSE_PICTURE)->IsVisible()) << tab;
    }
}

TEST_F(KeyPageTest, TheValueUnderThePointerLooksUnlikeTheChosenOne) {
    StartOnKeyPage();
    ClickType(kFuncMouse);
    auto* values = Control<KeyFuncValue>(KeyPage::IDC_VALUE_LIST);
    ClickValueRow(0);
    const CRect chosen = values->GetRowRect(0), other = values->GetRowRect(3);
    hands.MoveTo(Hwnd(), other.CenterPoint());
    ASSERT_EQ(values->GetHoverItem(), 3);
    Platform::UpdateWindow(Hwnd());
    const Canvas* shown = Platform::GetPresentedImage(Hwnd());
    // Their backgrounds, right of the texts, differ.
    const CPoint a(chosen.right - 12, chosen.CenterPoint().y), b(other.right - 12, other.CenterPoint().y);
    EXPECT_NE(shown->GetPixel(a.x, a.y).GetValue(), shown->GetPixel(b.x, b.y).GetValue());
}
