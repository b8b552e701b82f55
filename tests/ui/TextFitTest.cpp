// Every text the program shows fits where it is shown, in every language that
// ships (each language file beside the program is visited, so a language added
// later is covered too): each page with each of its states, the pop-ups, the
// message boxes and the secondary dialogs are painted with the toolkit's
// text-fit check on, and any text it finds cut fails the test.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "MainWindowFixture.h"
#include "pages/DevicePage.h"
#include "pages/KeyPage.h"
#include "pages/LightPage.h"
#include "pages/MacroPage.h"
#include "dialogs/AppPickerDlg.h"
#include "dialogs/DialogPictures.h"
#include "dialogs/DonglePairDlg.h"
#include "dialogs/SettingDlg.h"
#include "base/LanguageText.h"
#include "base/ButtonFunction.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/MEdit.h"
#include "base/TextConv.h"
#include "orvix/core/TextFit.h"
#include "platform/DesktopServices.h"
#include "dialogs/FilePathDlg.h"
#include "base/Folders.h"

using namespace Orvix;
namespace fs = std::filesystem;

namespace {

// The language ids of the language files the build ships.
std::vector<int> ShippedLanguages() {
    std::vector<int> ids;
    const fs::path folder = fs::path(VANTOREL_BINARY_DIR) / "language";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".lan") continue;
        const std::string stem = entry.path().stem().string();
        if (!stem.empty() && std::all_of(stem.begin(), stem.end(), ::isdigit)) ids.push_back(std::stoi(stem));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The numbers of the texts of a language file.
std::vector<int> TextIds(int lcid) {
    std::vector<int> ids;
    std::ifstream in(fs::path(VANTOREL_BINARY_DIR) / "language" / (std::to_string(lcid) + ".lan"));
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        const std::string key = line.substr(line[0] == '\xEF' ? 3 : 0, equals - (line[0] == '\xEF' ? 3 : 0));
        if (std::all_of(key.begin(), key.end(), ::isdigit) && !key.empty()) ids.push_back(std::stoi(key));
    }
    return ids;
}

void PaintAll() {
    for (const wchar_t* title : {L"Vantorel Mouse", L"ProfileDlg", L"MessageBox", L"ComboWnd", L"Menu Window",
                                 L"Setting Window", L"DonglePairDlg", L"FilePathDlg", L"WaitDlg",
                                 L"AppPickerDlg"})
        for (HWND hwnd : Platform::FindWindows(title)) {
            if (!Platform::IsWindowVisible(hwnd)) continue;
            Platform::InvalidateRect(hwnd);
            Platform::UpdateWindow(hwnd);
        }
}

}  // namespace

class TextFitTour : public MainWindowFixture, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        TextFit::Enable(true);
        TextFit::TakeReports();
        SetCurrentLcid(GetParam());
    }
    void TearDown() override {
        SetCurrentLcid(1033);
        TextFit::Enable(false);
        SetSettingDialogHook(nullptr, nullptr);
        FilePathDlg::SetOpenHook(nullptr, nullptr);
        MainWindowFixture::TearDown();
    }

  public:
    // Paints whatever is open and keeps what the check found, with where it was
    // (also called from inside the pop-ups' modal loops).
    void Visit(const std::string& where) {
        Platform::RunPending();
        PaintAll();
        for (const TextFitReport& r : TextFit::TakeReports())
            found.push_back(where + ": " + WideToUtf8(TextFit::Describe(r)));
    }

  protected:
    // Opens each visible combo box of the window in turn and paints its list.
    void VisitDropDowns(const std::string& where, const std::vector<UINT>& ids) {
        for (UINT id : ids) {
            auto* combo = Control<MComboBox>(id);
            if (!combo || !combo->IsVisible() || combo->GetItemCount() == 0) continue;
            ASSERT_TRUE(combo->OpenDropDown());
            const HWND list = combo->GetDropDown()->GetSafeHwnd();
            Platform::InvalidateRect(list);
            Platform::UpdateWindow(list);
            Visit(where + " list " + std::to_string(id));
            combo->CloseDropDown();
            Platform::RunPending();
        }
    }

    std::vector<std::string> found;
};

TEST_P(TextFitTour, EveryTextFitsOnEveryPageAndDialog) {
    // ---- the home page without a mouse, then the device list
    Start();
    Visit("home");
    PlugCable();
    PlugReceiver();
    Settle();
    Visit("devices");

    // ---- the key page, every function type and its states
    ClickDeviceCard(0);
    Settle();
    auto* keys = dynamic_cast<KeyPage*>(dlg->GetPage(kTabKey));
    ASSERT_NE(keys, nullptr);
    for (const FunctionTypeEntry& type : kFunctionTypes) {
        ChooseKeyType(type.type);
        Visit("key page, type " + std::to_string(type.type));
        VisitDropDowns("key page, type " + std::to_string(type.type),
                       {KeyPage::IDC_GROUP, KeyPage::IDC_ITEM});
    }
    // Keys chosen from a group, and a macro in the library.
    ChooseKeyType(kFuncKey);
    auto* group = Control<MComboBox>(KeyPage::IDC_GROUP);
    for (int i = 1; i < group->GetItemCount(); ++i) {
        ChooseComboItem(KeyPage::IDC_GROUP, i);
        Visit("key page, key group " + std::to_string(i));
        VisitDropDowns("key page, key group " + std::to_string(i), {KeyPage::IDC_ITEM});
    }
    DataStore::Instance().AddMacro(L"Macro 1");
    dlg->BroadcastPageEvent(PageEvent::MacroLibraryChanged, nullptr);
    ChooseKeyType(kFuncMacro);
    Visit("key page, macro");

    // ---- the other pages
    ClickTab(kTabDpi);
    Visit("performance page");
    VisitDropDowns("performance page", {107});
    ClickTab(kTabMacro);
    auto* macros = dynamic_cast<MacroPage*>(dlg->GetPage(kTabMacro));
    ASSERT_NE(macros, nullptr);
    std::vector<MacroData> library;
    DataStore::Instance().ListMacros(library);
    macros->SelectMacro(library.front().macroId);
    for (UINT kind : {MacroPage::IDC_KIND_KEY, MacroPage::IDC_KIND_BUTTON, MacroPage::IDC_KIND_WHEEL,
                      MacroPage::IDC_KIND_DELAY}) {
        ClickControl(kind);
        Visit("macro page, insert kind " + std::to_string(kind));
        VisitDropDowns("macro page", {MacroPage::IDC_INSERT_WHERE, MacroPage::IDC_INSERT_BUTTON,
                                      MacroPage::IDC_INSERT_WHEEL});
    }
    ClickControl(MacroPage::IDC_DELAY_FIXED);
    Visit("macro page, fixed delay");
    ClickTab(kTabText);
    Visit("text page");
    ClickTab(kTabLight);
    auto* modes = Control<MComboBox>(LightPage::IDC_MODE);
    for (int i = 0; i < modes->GetItemCount(); ++i) {
        ChooseComboItem(LightPage::IDC_MODE, i);
        Visit("lighting page, mode " + std::to_string(i));
    }
    VisitDropDowns("lighting page", {LightPage::IDC_MODE});
    ClickTab(kTabDevice);
    Visit("device page");
    VisitDropDowns("device page", {258, DevicePage::IDC_RULES_PROFILE, DevicePage::IDC_RULES_DEFAULT});
    // Profiles by application with rules listed, and the list to add from.
    dlg->GetDevicePage()->AddAppRule(dlg->GetState().GetCurrentProfile(), {AppRef::Kind::Class, L"steam"});
    Visit("device page, a rule");
    bool pickerSeen = false;
    SetAppPickerHook([&](AppPickerDlg& picker) {
        // The list is read on a thread: painted once it is there.
        for (int turn = 0; turn < 1000 && !picker.IsLoaded(); ++turn) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            Platform::RunPending();
        }
        Visit("application list");
        pickerSeen = true;
        picker.DoCancel();
    });
    ClickControl(DevicePage::IDC_RULES_ADD);
    SetAppPickerHook(nullptr);
    EXPECT_TRUE(pickerSeen);

    // ---- pop-ups of the window
    ClickTab(kTabKey);
    WhenWindowOpens(L"ProfileDlg", [this](HWND popup) {
        Visit("profile pop-up");
        Platform::PostMessage(popup, WM_CLOSE, 2, 0);
    });
    ClickControl(IDC_PROFILE);
    Settle();

    // ---- message boxes: every longer text of the language in one
    SetMessageBoxHook(
        [](CUIMessageBox& box, void* context) {
            static_cast<TextFitTour*>(context)->Visit("message box");
            box.DoCancel();
        },
        this);
    for (int id : TextIds(GetParam())) {
        const std::wstring text = GetLanguageText(L"LAN", id);
        if (text.size() < 40) continue;
        dlg->ShowMessageText(GetLanguageText(L"LAN", 570), text, CUIMessageBox::kKindOkCancel);
    }
    dlg->ShowMessageText(GetLanguageText(L"LAN", 608), GetLanguageText(L"LAN", 609), CUIMessageBox::kKindOk);
    SetMessageBoxHook(nullptr, nullptr);

    // ---- the secondary dialogs
    SetSettingDialogHook(
        [](SettingDlg& settings, void* context) {
            auto* self = static_cast<TextFitTour*>(context);
            self->Visit("settings");
            settings.SelectPage(1);
            self->Visit("settings, about");
            settings.DoCancel();
        },
        this);
    ClickControl(IDC_SYSBTN_SETTING);
    Settle();
    // With the notification-area icon the settings say what hiding does.
    {
        SettingDlg settings(dlg->GetCatalog().software, GetDesktopServices(), L"/nonexistent/entry.desktop",
                            L"/bin/true");
        settings.SetTrayAvailable(true);
        ASSERT_TRUE(settings.CreateOver(Hwnd()));
        Visit("settings with a notification-area icon");
        settings.DestroyWindow();
    }
    const fs::path pairing = Root() / "pairing.png";
    ASSERT_TRUE(SavePairingPicture(Hwnd(), DeviceManager::Instance(), pairing.wstring()));
    FilePathDlg::SetOpenHook(
        [](FilePathDlg& chooser, void* context) {
            auto* self = static_cast<TextFitTour*>(context);
            self->Visit("path dialog");
            // A path that does not exist is said under the edit.
            auto* edit = dynamic_cast<MEdit*>(chooser.GetControl(FilePathDlg::IDC_PATH));
            edit->SetControlTitle(L"/no/such/folder/with/a/rather/long/name/program.desktop");
            self->hands.ClickControl(chooser.GetControl(FilePathDlg::IDC_OK));
            self->Visit("path dialog, no such file");
            chooser.DoCancel();
        },
        this);
    std::wstring path;
    FilePathDlg::Ask(Hwnd(), GetLanguageText(L"LAN", 218), path);

    std::string all;
    for (const std::string& f : found) all += f + "\n";
    EXPECT_TRUE(found.empty()) << found.size() << " texts do not fit in language " << GetParam() << ":\n"
                               << all;
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, TextFitTour, ::testing::ValuesIn(ShippedLanguages()),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param);
                         });
