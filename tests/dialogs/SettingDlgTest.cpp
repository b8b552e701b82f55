// The settings window in a fresh per-user folder: start with the session through
// the autostart entry, start hidden, exit mode, language and links.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "../features/RecordingDesktop.h"
#include "../platform/ScratchHome.h"
#include "DialogFixture.h"
#include "device/DeviceManager.h"
#include "dialogs/DialogPictures.h"
#include "dialogs/SettingDlg.h"
#include "base/LanguageText.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CTabCtrl1.h"
#include "orvix/controls/MComboBox.h"
#include "base/TextConv.h"
#include "base/AppContext.h"
#include "platform/Autostart.h"
#include "base/Folders.h"
#include "base/SettingsStore.h"
#include "sim/SimBackend.h"

namespace {

using namespace Orvix;
using namespace DialogTest;

constexpr wchar_t kProgram[] = L"/opt/vantorel mouse/VantorelMouse";

class SettingDlgTest : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        StartToolkit();
        SetCurrentLcid(kLcidEnglish);
        ASSERT_TRUE(SettingsStore(GetSettingsStorePath()).Create());
        ASSERT_TRUE(owner.Open());
        software.version = L"1.0.0";
        software.website = L"https://www.vantorel.example/";
        software.store = L"https://store.vantorel.example/";
        software.upgrade = L"https://www.vantorel.example/support/downloads";
    }
    void TearDown() override {
        dlg.reset();
        if (owner.GetSafeHwnd()) owner.DestroyWindow();
        SetCurrentLcid(kLcidEnglish);
        StopToolkit();
        ScratchHome::TearDown();
    }

    SettingDlg& Open() {
        dlg = std::make_unique<SettingDlg>(software, desktop, GetAutostartEntryPath(), kProgram);
        EXPECT_TRUE(dlg->CreateOver(owner.GetSafeHwnd()));
        return *dlg;
    }
    bool Checked(UINT id) { return dynamic_cast<MButtonBase*>(dlg->GetControl(id))->GetCheck(); }
    bool Enabled(UINT id) { return dlg->GetControl(id)->IsEnabled(); }
    std::wstring Title(UINT id) { return dynamic_cast<MControlFont*>(dlg->GetControl(id))->GetTitle(); }
    bool EntryExists() { return std::filesystem::exists(WideToUtf8(GetAutostartEntryPath())); }
    std::string Exec() {
        std::ifstream in(WideToUtf8(GetAutostartEntryPath()));
        for (std::string line; std::getline(in, line);)
            if (line.rfind("Exec=", 0) == 0) return line.substr(5);
        return {};
    }
    void WriteEntry() {
        ASSERT_TRUE(WriteAutostartEntry(GetAutostartEntryPath(), L"/elsewhere/VantorelMouse", false));
    }
    // Whether the store holds the value at all (ReadAppRegInt reads a missing one as 0).
    bool Stored(const wchar_t* name) {
        std::wstring value;
        return SettingsStore(GetSettingsStorePath()).Read(name, value) == SettingsStore::Status::Found;
    }

    Owner owner;
    RecordingDesktop desktop;
    SoftwareInfo software;
    std::unique_ptr<SettingDlg> dlg;
};

TEST_F(SettingDlgTest, StartWithTheSessionWritesRewritesAndRemovesTheEntry) {
    Open();
    EXPECT_FALSE(Checked(SettingDlg::IDC_AUTORUN));
    EXPECT_FALSE(Enabled(SettingDlg::IDC_AUTORUN_HIDDEN));

    ClickControl(*dlg, SettingDlg::IDC_AUTORUN);
    ASSERT_TRUE(EntryExists());
    EXPECT_EQ(Exec(), "\"/opt/vantorel mouse/VantorelMouse\"");
    EXPECT_TRUE(Enabled(SettingDlg::IDC_AUTORUN_HIDDEN));
    EXPECT_FALSE(Checked(SettingDlg::IDC_AUTORUN_HIDDEN));

    ClickControl(*dlg, SettingDlg::IDC_AUTORUN_HIDDEN);
    EXPECT_EQ(Exec(), "\"/opt/vantorel mouse/VantorelMouse\" -autorun");
    EXPECT_EQ(ReadAppRegInt(L"autorun_minimize"), 1);
    ClickControl(*dlg, SettingDlg::IDC_AUTORUN_HIDDEN);
    EXPECT_EQ(Exec(), "\"/opt/vantorel mouse/VantorelMouse\"");
    EXPECT_EQ(ReadAppRegInt(L"autorun_minimize"), 0);

    // Off again with start-hidden on: the entry goes and "autorun_minimize" is 0.
    ClickControl(*dlg, SettingDlg::IDC_AUTORUN_HIDDEN);
    ClickControl(*dlg, SettingDlg::IDC_AUTORUN);
    EXPECT_FALSE(EntryExists());
    EXPECT_TRUE(Stored(L"autorun_minimize"));
    EXPECT_EQ(ReadAppRegInt(L"autorun_minimize"), 0);
    EXPECT_FALSE(Checked(SettingDlg::IDC_AUTORUN_HIDDEN));
    EXPECT_FALSE(Enabled(SettingDlg::IDC_AUTORUN_HIDDEN));
}

TEST_F(SettingDlgTest, InitialStatesComeFromTheEntryAndTheStore) {
    WriteEntry();
    ASSERT_FALSE(Stored(L"autorun_minimize"));
    Open();
    EXPECT_TRUE(Checked(SettingDlg::IDC_AUTORUN));
    EXPECT_TRUE(Enabled(SettingDlg::IDC_AUTORUN_HIDDEN));
    EXPECT_FALSE(Checked(SettingDlg::IDC_AUTORUN_HIDDEN));
    EXPECT_TRUE(Checked(SettingDlg::IDC_EXITMODE_HIDE));
    EXPECT_FALSE(Checked(SettingDlg::IDC_EXITMODE_EXIT));
    dlg->DestroyWindow();

    ASSERT_TRUE(WriteAppRegInt(L"autorun_minimize", 1));
    ASSERT_TRUE(WriteAppRegInt(L"exit_mode", 1));
    Open();
    EXPECT_TRUE(Checked(SettingDlg::IDC_AUTORUN_HIDDEN));
    EXPECT_TRUE(Checked(SettingDlg::IDC_EXITMODE_EXIT));
    EXPECT_FALSE(Checked(SettingDlg::IDC_EXITMODE_HIDE));
    dlg->DestroyWindow();

    // Without the entry a stored start-hidden shows nothing: the session does not start it.
    ASSERT_TRUE(RemoveAutostartEntry(GetAutostartEntryPath()));
    Open();
    EXPECT_FALSE(Checked(SettingDlg::IDC_AUTORUN));
    EXPECT_FALSE(Checked(SettingDlg::IDC_AUTORUN_HIDDEN));
    EXPECT_FALSE(Enabled(SettingDlg::IDC_AUTORUN_HIDDEN));
}

TEST_F(SettingDlgTest, AnEntryThatCannotBeWrittenLeavesTheBoxUnchecked) {
    // A file where the autostart folder should be.
    std::filesystem::create_directories(Root() / "config");
    std::ofstream(Root() / "config/autostart") << "not a folder";
    Open();
    ClickControl(*dlg, SettingDlg::IDC_AUTORUN);
    EXPECT_FALSE(Checked(SettingDlg::IDC_AUTORUN));
    EXPECT_FALSE(Enabled(SettingDlg::IDC_AUTORUN_HIDDEN));
}

TEST_F(SettingDlgTest, ExitModeRadiosStoreTheirValue) {
    Open();
    ClickControl(*dlg, SettingDlg::IDC_EXITMODE_EXIT);
    EXPECT_EQ(ReadAppRegInt(L"exit_mode"), 1);
    EXPECT_FALSE(Checked(SettingDlg::IDC_EXITMODE_HIDE));
    ClickControl(*dlg, SettingDlg::IDC_EXITMODE_HIDE);
    EXPECT_TRUE(Stored(L"exit_mode"));
    EXPECT_EQ(ReadAppRegInt(L"exit_mode"), 0);
    EXPECT_FALSE(Checked(SettingDlg::IDC_EXITMODE_EXIT));
}

TEST_F(SettingDlgTest, TheLanguageListNamesEachLanguageFileInItsOwnLanguage) {
    Open();
    auto* language = dynamic_cast<MComboBox*>(dlg->GetControl(SettingDlg::IDC_LANGUAGE));
    ASSERT_NE(language, nullptr);
    std::vector<std::pair<std::wstring, int>> items;
    for (int i = 0; i < language->GetItemCount(); ++i)
        items.emplace_back(language->GetItemText(i), int(language->GetItemData(i)));
    EXPECT_EQ(items, (std::vector<std::pair<std::wstring, int>>{
                         {L"Deutsch", 1031}, {L"English", 1033}, {L"Español", 3082}, {L"Français", 1036},
                         {L"Italiano", 1040}, {L"Polski", 1045}, {L"Português (Brasil)", 1046},
                         {L"Русский", 1049}, {L"日本語", 1041}, {L"한국어", 1042}, {L"简体中文", 2052}}));
    EXPECT_EQ(language->GetCurData(), kLcidEnglish);
    dlg->DestroyWindow();

    // Opened in Korean: Korean is selected and the window speaks it.
    SetCurrentLcid(1042);
    Open();
    language = dynamic_cast<MComboBox*>(dlg->GetControl(SettingDlg::IDC_LANGUAGE));
    EXPECT_EQ(language->GetCurData(), 1042);
    EXPECT_EQ(Title(SettingDlg::IDC_TITLE), ReadLanguageText(GetProgramFolder(), 1042, L"LAN", 650));
    EXPECT_EQ(Title(SettingDlg::IDC_TITLE), L"설정");
}

TEST_F(SettingDlgTest, ChoosingFrancaisStoresItRetitlesAtOnceAndTellsTheOwner) {
    Open();
    auto* language = dynamic_cast<MComboBox*>(dlg->GetControl(SettingDlg::IDC_LANGUAGE));
    ASSERT_NE(language, nullptr);
    const int french = language->FindData(kLcidFrench);
    ASSERT_GE(french, 0);
    EXPECT_EQ(language->GetItemText(french), L"Français");
    EXPECT_EQ(language->GetCurData(), kLcidEnglish);
    const std::wstring englishTitle = Title(SettingDlg::IDC_TITLE);
    ASSERT_EQ(englishTitle, GetLanguageText(L"LAN", 650));

    // The user picks "Français" in the drop-down.
    ChooseComboItem(*dlg, SettingDlg::IDC_LANGUAGE, french);

    EXPECT_EQ(GetCurrentLcid(), kLcidFrench);
    EXPECT_EQ(ReadAppRegInt(L"LCID"), kLcidFrench);
    EXPECT_EQ(Title(SettingDlg::IDC_TITLE), ReadLanguageText(GetProgramFolder(), kLcidFrench, L"LAN", 650));
    EXPECT_NE(Title(SettingDlg::IDC_TITLE), englishTitle);
    EXPECT_EQ(Title(SettingDlg::IDC_AUTORUN), ReadLanguageText(GetProgramFolder(), kLcidFrench, L"LAN", 658));
    EXPECT_EQ(Title(SettingDlg::IDC_VERSION), L"v1.0.0");
    EXPECT_EQ(owner.Count(kLanguageChangedMessage), 1);

    // Choosing the language already shown changes nothing and tells nobody.
    ChooseComboItem(*dlg, SettingDlg::IDC_LANGUAGE, french);
    EXPECT_EQ(owner.Count(kLanguageChangedMessage), 1);
}

TEST_F(SettingDlgTest, LinksOpenTheMakersAddressesAndTheCloseButtonEndsTheDialog) {
    Open();
    auto* tabs = dynamic_cast<CTabCtrl1*>(dlg->GetControl(SettingDlg::IDC_TABS));
    ASSERT_NE(tabs, nullptr);
    UserHands().ClickAt(dlg->GetSafeHwnd(), tabs->GetItemRect(1).CenterPoint());  // the "About" tab
    EXPECT_TRUE(dlg->GetControl(SettingDlg::IDC_LINK_WEBSITE)->IsParentVisible());
    ClickControl(*dlg, SettingDlg::IDC_LINK_WEBSITE);
    ClickControl(*dlg, SettingDlg::IDC_LINK_STORE);
    ClickControl(*dlg, SettingDlg::IDC_LINK_SUPPORT);
    ClickControl(*dlg, SettingDlg::IDC_UPDATES);
    EXPECT_EQ(desktop.calls,
              (std::vector<std::wstring>{L"open https://www.vantorel.example/",
                                         L"open https://store.vantorel.example/",
                                         L"open https://www.vantorel.example/support/downloads"}));

    Platform::PostTask([this] { ClickControl(*dlg, SettingDlg::IDC_CLOSE); });
    EXPECT_EQ(dlg->ShowModal(SW_SHOW), UINT(IDCANCEL));
}

// Renders the pictures of --screenshot in both languages; with
// VANTOREL_DIALOG_PICTURES set they are kept in that folder for a look.
TEST_F(SettingDlgTest, PicturesOfTheDialogsInBothLanguages) {
    const char* keep = std::getenv("VANTOREL_DIALOG_PICTURES");
    const std::filesystem::path folder = keep ? std::filesystem::path(keep) : Root() / "pictures";
    std::filesystem::create_directories(folder);
    DeviceManager manager(std::make_shared<SimBackend>());
    for (int lcid : {kLcidEnglish, kLcidFrench}) {
        SetCurrentLcid(lcid);
        const std::string suffix = lcid == kLcidFrench ? "-fr" : "";
        const std::filesystem::path pairing = folder / ("pairing" + suffix + ".png");
        const std::filesystem::path settings = folder / ("settings" + suffix + ".png");
        const std::filesystem::path about = folder / ("settings-about" + suffix + ".png");
        ASSERT_TRUE(SavePairingPicture(owner.GetSafeHwnd(), manager, Utf8ToWide(pairing.string())));
        ASSERT_TRUE(SaveSettingPictures(owner.GetSafeHwnd(), software, Utf8ToWide(settings.string()),
                                        Utf8ToWide(about.string())));
        for (const auto& png : {pairing, settings, about})
            EXPECT_GT(std::filesystem::file_size(png), 10000u) << png;
    }
    EXPECT_TRUE(Platform::FindWindows(L"Setting Window").empty());
    EXPECT_TRUE(Platform::FindWindows(L"DonglePairDlg").empty());
}

}  // namespace
