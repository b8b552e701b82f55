// The text page in the real window with the simulated mouse: the examples of a
// first start and their language, renaming, the 500-character editor, new,
// delete, clear, the character map, the key page following every change; and a
// text button typing into another X client on a private X server.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "MainWindowFixture.h"
#include "PasteTarget.h"
#include "PrivateDisplayFixture.h"
#include "device/WorkerTask.h"
#include "pages/KeyPage.h"
#include "pages/TextPage.h"
#include "base/LanguageText.h"
#include "base/ButtonFunction.h"
#include "features/TextLibrary.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/controls/MEditBox.h"
#include "base/TextConv.h"
#include "orvix/widgets/MacroList.h"
#include "orvix/widgets/MouseCtrl.h"

using namespace Orvix;
namespace fs = std::filesystem;

namespace {

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

}  // namespace

class TextPageTest : public MainWindowFixture {
  protected:
    void StartOnTextPage() {
        PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ClickTab(kTabText);
        ASSERT_EQ(dlg->GetCurrentTabId(), kTabText);
        page = dynamic_cast<TextPage*>(dlg->GetPage(kTabText));
        ASSERT_NE(page, nullptr);
    }

    // Button `keyCode` of the current profile types the text, stored and sent to the mouse.
    KeyRecord AssignText(int keyCode, const TextData& text) {
        KeyRecord record;
        record.profile = dlg->GetState().GetCurrentProfile();
        record.keyCode = keyCode;
        record.macroType = kFuncText;
        record.macroValue = text.textId;
        record.macroDesc = text.name;
        EXPECT_GT(DataStore::Instance().SaveKey(record), 0);
        dlg->QueueTask(kTaskWriteButtonMap);
        return record;
    }

    MacroList* List() { return Control<MacroList>(TextPage::IDC_LIST); }
    MEdit* Editor() { return Control<MEdit>(TextPage::IDC_EDITOR); }
    std::wstring Counter() { return Control<MControlFont>(TextPage::IDC_COUNTER)->GetTitle(); }
    std::vector<std::wstring> Rows() {
        std::vector<std::wstring> rows;
        for (int i = 0; i < List()->GetItemCount(); ++i) rows.push_back(List()->GetItemText(i));
        return rows;
    }
    std::vector<TextData> Stored() {
        std::vector<TextData> texts;
        DataStore::Instance().ListTexts(texts);
        return texts;
    }
    CPoint RowCentre(int row) {
        CRect rect = List()->GetItemRect(row);
        const CPoint offset = MPanel::GetContentOffset(List());
        return {rect.CenterPoint().x - offset.x, rect.CenterPoint().y - offset.y};
    }
    void ClickRow(int row) { ClickAt(Hwnd(), RowCentre(row)); }
    // Double-clicks the row, empties its name and types `name` with Enter.
    void RenameRow(int row, const std::wstring& name) {
        hands.MoveTo(Hwnd(), RowCentre(row));
        hands.DoubleClick();
        ASSERT_EQ(List()->GetEditItem(), row);
        for (int i = 0; i < 60; ++i) PressKey(VK_BACK);
        hands.Type(name);
        PressKey(VK_RETURN);
    }
    void SwitchLanguage(int lcid) {
        SetCurrentLcid(lcid);
        Platform::SendMessage(Hwnd(), WM_LANGUAGE_CHANGED, 0, 0);
        Platform::RunPending();
    }
    // The names the key page offers for its text function (its tab clicked,
    // then the text page's again).
    std::vector<std::wstring> KeyPageTexts() {
        ChooseKeyType(kFuncText);
        ClickTab(kTabText);
        auto* group = Control<MComboBox>(KeyPage::IDC_GROUP);
        std::vector<std::wstring> names;
        for (int i = 0; i < group->GetItemCount(); ++i) names.push_back(group->GetItemText(i));
        return names;
    }
    std::wstring ButtonCaption(int keyCode) {
        auto* map = Control<MouseCtrl>(KeyPage::IDC_BUTTON_MAP);
        for (int i = 0; i < map->GetItemCount(); ++i)
            if (map->GetItemKeyValue(i) == keyCode) return map->GetItemText(i);
        return L"?";
    }

    TextPage* page = nullptr;
};

TEST_F(TextPageTest, FirstStartHoldsTheExamplesCreatedUnderEnglishAndShownInFrench) {
    StartOnTextPage();
    const std::vector<TextData> texts = Stored();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].name, L"Example 1 - Blessing");
    EXPECT_EQ(texts[1].content, L"Hello, it's my pleasure to serve you!");
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{Text(460), Text(461)}));
    // The first is selected with its content and length.
    EXPECT_EQ(page->GetSelectedTextId(), texts[0].textId);
    EXPECT_EQ(Editor()->GetEditText(), Text(470));
    EXPECT_EQ(Counter(), std::to_wstring(Text(470).size()) + L"/500");

    SwitchLanguage(1036);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Exemple 1 - V\u0153ux", L"Exemple 2 - Service client"}));
    EXPECT_EQ(Editor()->GetEditText(), Text(470));
    EXPECT_EQ(Text(470).rfind(L"Je vous souhaite", 0), 0u);
    EXPECT_EQ(Control<MControlFont>(TextPage::IDC_SAVE)->GetTitle(), L"Enregistrer");
    ClickRow(1);
    EXPECT_EQ(Editor()->GetEditText(), L"Bonjour, c'est un plaisir de vous aider\u00a0!");
    EXPECT_EQ(KeyPageTexts(), Rows());
    // Shown in French, stored as they were made.
    EXPECT_EQ(Stored()[0].name, L"Example 1 - Blessing");
}

TEST_F(TextPageTest, ExamplesCreatedUnderFrenchFollowBackToEnglish) {
    SetCurrentLcid(1036);
    StartOnTextPage();
    ASSERT_EQ(Stored().size(), 2u);
    EXPECT_EQ(Stored()[0].name, L"Exemple 1 - V\u0153ux");
    SwitchLanguage(1033);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Example 1 - Blessing", L"Example 2 - Customer Service"}));
    EXPECT_EQ(Editor()->GetEditText(), Text(470));
    // An edit not yet saved is not replaced by the other language's text.
    TypeInto(TextPage::IDC_EDITOR, L" (draft)");
    const std::wstring draft = Editor()->GetEditText();
    ASSERT_NE(draft, Text(470));
    SwitchLanguage(1036);
    EXPECT_EQ(Rows()[0], L"Exemple 1 - V\u0153ux");
    EXPECT_EQ(Editor()->GetEditText(), draft);
}

TEST_F(TextPageTest, RenamingReachesTheButtonsAndAnEmptyNameKeepsTheOldOne) {
    StartOnTextPage();
    DataStore& store = DataStore::Instance();
    const int32_t textId = Stored()[1].textId;
    const int32_t profile = dlg->GetState().GetCurrentProfile();
    // Button 3 types the text in this profile and in another one.
    for (int32_t p : {profile, profile + 1}) {
        KeyRecord record;
        record.profile = p;
        record.keyCode = 3;
        record.macroType = kFuncText;
        record.macroValue = textId;
        record.macroDesc = Text(461);
        ASSERT_GT(store.SaveKey(record), 0);
    }
    dlg->GetPage(kTabKey)->Reload();
    EXPECT_EQ(ButtonCaption(3), Text(461));

    RenameRow(1, L"Support reply");
    EXPECT_EQ(Rows()[1], L"Support reply");
    EXPECT_EQ(Stored()[1].name, L"Support reply");
    for (int32_t p : {profile, profile + 1}) {
        KeyRecord record;
        ASSERT_TRUE(store.GetKey(p, 3, record));
        EXPECT_EQ(record.macroDesc, L"Support reply") << "profile " << p;
    }
    EXPECT_EQ(ButtonCaption(3), L"Support reply");
    EXPECT_EQ(KeyPageTexts(), (std::vector<std::wstring>{Text(460), L"Support reply"}));

    // Empty and blank names are not taken.
    RenameRow(1, L"");
    EXPECT_EQ(Rows()[1], L"Support reply");
    RenameRow(0, L"   ");
    EXPECT_EQ(Rows()[0], Text(460));
    EXPECT_EQ(Stored()[0].name, L"Example 1 - Blessing");
    EXPECT_EQ(Stored()[1].name, L"Support reply");
}

TEST_F(TextPageTest, TheEditorHoldsFiveHundredCharactersAndSaves) {
    StartOnTextPage();
    const int32_t textId = Stored()[0].textId;
    ClickControl(TextPage::IDC_CLEAR);
    EXPECT_EQ(Editor()->GetEditText(), L"");
    EXPECT_EQ(Counter(), L"0/500");
    std::wstring content;
    ASSERT_TRUE(DataStore::Instance().GetTextContent(textId, content));
    EXPECT_EQ(content, L"");

    const std::wstring full = std::wstring(250, L'a') + std::wstring(250, L'\u00e9');
    TypeInto(TextPage::IDC_EDITOR, full);
    EXPECT_EQ(Counter(), L"500/500");
    hands.Type(L"xyz");  // the limit holds
    EXPECT_EQ(Editor()->GetEditText(), full);
    ClickControl(TextPage::IDC_SAVE);
    ASSERT_TRUE(DataStore::Instance().GetTextContent(textId, content));
    EXPECT_EQ(content, full);

    // Shown again as stored when the text is chosen again.
    ClickRow(1);
    EXPECT_EQ(Editor()->GetEditText(), Text(471));
    ClickRow(0);
    EXPECT_EQ(Editor()->GetEditText(), full);
    EXPECT_EQ(Counter(), L"500/500");
}

TEST_F(TextPageTest, NewAndDeleteKeepTheKeyPageInStep) {
    StartOnTextPage();
    ClickControl(TextPage::IDC_NEW);
    ASSERT_EQ(Rows().size(), 3u);
    EXPECT_EQ(Rows()[2], L"3 " + Text(455));
    EXPECT_EQ(page->GetSelectedTextId(), Stored()[2].textId);
    EXPECT_EQ(Stored()[2].content, L"");
    EXPECT_EQ(Editor()->GetEditText(), L"");
    EXPECT_EQ(Counter(), L"0/500");
    EXPECT_EQ(KeyPageTexts().size(), 3u);

    // The first deleted: nothing is selected, nothing can be edited or saved.
    ClickRow(0);
    ClickControl(TextPage::IDC_DELETE);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{Text(461), L"3 " + Text(455)}));
    EXPECT_EQ(List()->GetCurSel(), -1);
    EXPECT_EQ(page->GetSelectedTextId(), 0);
    EXPECT_EQ(Editor()->GetEditText(), L"");
    EXPECT_EQ(Counter(), L"0/500");
    for (UINT id : {TextPage::IDC_EDITOR, TextPage::IDC_SAVE, TextPage::IDC_CLEAR, TextPage::IDC_DELETE})
        EXPECT_FALSE(Control(id)->IsEnabled()) << id;
    EXPECT_EQ(Stored().size(), 2u);
    EXPECT_EQ(KeyPageTexts(), Rows());

    // Deleting a later one selects the one before it and shows its content.
    ClickRow(1);
    ClickControl(TextPage::IDC_DELETE);
    EXPECT_EQ(page->GetSelectedTextId(), Stored()[0].textId);
    EXPECT_EQ(Editor()->GetEditText(), Text(471));
    EXPECT_TRUE(Control(TextPage::IDC_SAVE)->IsEnabled());

    // An empty library is filled with the examples only when the page loads.
    ClickControl(TextPage::IDC_DELETE);
    EXPECT_TRUE(Stored().empty());
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(KeyPageTexts().empty());
}

TEST_F(TextPageTest, CharacterMapStartsWhereOneIsInstalled) {
    const fs::path bin = Root() / "bin";
    fs::create_directories(bin);
    SetEnv("PATH", bin.string());
    SetEnv("XDG_CURRENT_DESKTOP", "KDE");
    StartOnTextPage();
    MControl* button = Control(TextPage::IDC_CHARACTER_MAP);
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_EQ(button->GetTooltip(), Text(1040));
    EXPECT_NE(Text(1040).find(L"kcharselect"), std::wstring::npos);

    // Installed while the program runs: the page looks again when it is shown.
    const fs::path started = Root() / "started";
    {
        std::ofstream script(bin / "kcharselect");
        script << "#!/bin/sh\necho started > '" << started.string() << ".tmp'\n/bin/mv '" << started.string()
               << ".tmp' '" << started.string() << "'\n";
    }
    fs::permissions(bin / "kcharselect", fs::perms::owner_all);
    ClickTab(kTabKey);
    ClickTab(kTabText);
    EXPECT_TRUE(button->IsEnabled());
    EXPECT_EQ(button->GetTooltip(), Text(453));
    ClickControl(TextPage::IDC_CHARACTER_MAP);
    for (int i = 0; i < 500 && !fs::exists(started); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(started));
}

TEST_F(TextPageTest, DeletingATextThatAButtonTypesAsksAndGivesTheButtonItsDefault) {
    StartOnTextPage();
    std::vector<TextData> texts;
    DataStore::Instance().ListTexts(texts);
    ASSERT_GE(texts.size(), 2u);
    const KeyRecord record = AssignText(3, texts[0]);
    Settle();
    ASSERT_EQ(sim->State().settings.buttonMap[4 * 3], 0x50);

    ClickRow(0);
    AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
    ClickControl(TextPage::IDC_DELETE);
    Settle();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].message.find(GetLanguageText(L"LAN", 303)), std::wstring::npos)
        << "the button is named";
    std::wstring content;
    EXPECT_FALSE(DataStore::Instance().GetTextContent(texts[0].textId, content));
    KeyRecord kept;
    EXPECT_FALSE(DataStore::Instance().GetKey(record.profile, 3, kept));
    // The mouse has the button's default code again; the map its default caption.
    const auto& map = sim->State().settings.buttonMap;
    EXPECT_EQ(std::vector<uint8_t>(map.begin() + 12, map.begin() + 16),
              (std::vector<uint8_t>{0x10, 0x10, 0, 0}));
    auto* buttons = Control<MouseCtrl>(KeyPage::IDC_BUTTON_MAP);
    for (int i = 0; i < buttons->GetItemCount(); ++i) {
        if (buttons->GetItemKeyValue(i) == 3) {
            EXPECT_EQ(buttons->GetItemText(i), GetLanguageText(L"LAN", 153));
        }
    }
}

TEST_F(TextPageTest, TheClosedEditorShowsItsTextWhereTheOpenOneHasIt) {
    StartOnTextPage();
    ClickRow(1);
    MEdit* editor = Editor();
    // Closed, the text starts at the top left of the editor, as it does open.
    Platform::InvalidateRect(Hwnd());
    Platform::UpdateWindow(Hwnd());
    auto firstInk = [&](const Canvas& c) {
        const CRect r = editor->GetRect();
        const Color back = c.GetPixel(r.right - 12, r.bottom - 12);
        for (int y = r.top + 4; y < r.bottom - 4; ++y)
            for (int x = r.left + 4; x < r.right - 20; ++x)
                if (c.GetPixel(x, y).GetValue() != back.GetValue()) return y;
        return -1;
    };
    const int closed = firstInk(*Platform::GetPresentedImage(Hwnd()));
    ClickControl(TextPage::IDC_EDITOR);
    ASSERT_TRUE(editor->IsEditing());
    editor->GetEditBox()->SetSel(0, 0);
    Platform::InvalidateRect(Hwnd());
    Platform::UpdateWindow(Hwnd());
    const int open = firstInk(*Platform::GetPresentedImage(Hwnd()));
    ASSERT_GT(closed, 0);
    EXPECT_NEAR(closed, open, 4) << "the text jumps when the editor opens";
}

// ---------------------------------------------------------------- typing on a real display

class TextPageXvfbTest : public OnPrivateDisplay<TextPageTest> {
  protected:
    // The target window takes the focus, the mouse's button 4 is pressed, and
    // the text arrives there.
    void TypeWithButton4(PasteTarget& target, const TextData& text) {
        ASSERT_TRUE(target.Ready());
        target.TakeFocus();
        ASSERT_TRUE(PumpUntil([&] { return target.HasFocus(); }));
        sim->PressButton(4);
        ASSERT_TRUE(PumpUntil([&] { return !target.Received().empty(); }, 10000)) << "nothing was pasted";
        EXPECT_EQ(target.Received()[0], Orvix::WideToUtf8(text.content));
    }
};

TEST_F(TextPageXvfbTest, TextButtonTypesIntoTheFocusedClientAndTheClipboardComesBack) {
    StartReal();
    ToModelView();

    // The first example, typed by button 4.
    std::vector<TextData> texts;
    DataStore::Instance().ListTexts(texts);
    ASSERT_EQ(texts.size(), 2u);
    const KeyRecord record = AssignText(4, texts[0]);
    ASSERT_TRUE(PumpUntil([&] { return sim->State().settings.buttonMap[4 * 4] == 0x50; }));

    PasteTarget target("the user's copy \u2713");
    ASSERT_NO_FATAL_FAILURE(TypeWithButton4(target, texts[0]));

    // The clipboard holds the user's copy again.
    PumpUntil([] { return false; }, 500);
    target.AskClipboard();
    ASSERT_TRUE(PumpUntil([&] { return target.Received().size() == 2; }));
    EXPECT_EQ(target.Received()[1], "the user's copy \u2713");
}

TEST_F(TextPageXvfbTest, APictureOnTheClipboardIsStillThereAfterTyping) {
    PlugCable();
    dlg = std::make_unique<DeviceMainDlg>();
    dlg->SetWorkerTimings(FastWorkerTimings());
    ASSERT_TRUE(dlg->CreateMainWindow());
    dlg->ShowMainWindow();
    PumpUntil([] { return false; }, 1000);
    dlg->SwitchModel();
    PumpUntil([] { return false; }, 1000);
    std::vector<TextData> texts;
    DataStore::Instance().ListTexts(texts);
    ASSERT_FALSE(texts.empty());
    const KeyRecord record = AssignText(4, texts[0]);
    ASSERT_TRUE(PumpUntil([&] { return sim->State().settings.buttonMap[4 * 4] == 0x50; }));

    // A picture of 300 kB (it travels in pieces) copied with a text, as an image editor offers it.
    std::string picture(300 * 1024, '\0');
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = char((i * 7 + i / 251) & 0xFF);
    PasteTarget target("the picture's name", {{"image/png", picture}});
    ASSERT_NO_FATAL_FAILURE(TypeWithButton4(target, texts[0]));

    // Every format is offered again, the picture byte for byte.
    PumpUntil([] { return false; }, 300);
    // One question at a time: the answers come into the same property.
    size_t answers = 1;
    for (const char* asked : {"TARGETS", "image/png", "UTF8_STRING"}) {
        target.AskClipboard(asked);
        ASSERT_TRUE(PumpUntil([&] { return target.Received().size() == answers + 1; }, 10000)) << asked;
        ++answers;
    }
    const std::vector<std::string> received = target.Received();
    EXPECT_NE(received[1].find("image/png\n"), std::string::npos) << received[1];
    EXPECT_EQ(received[2].size(), picture.size());
    EXPECT_TRUE(received[2] == picture) << "the picture came back changed";
    EXPECT_EQ(received[3], "the picture's name");
}
