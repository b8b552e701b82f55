#include "app/ScreenshotTour.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "app/DeviceMainDlg.h"
#include "pages/DevicePage.h"
#include "pages/KeyPage.h"
#include "pages/MacroPage.h"
#include "device/DeviceCatalog.h"
#include "device/DeviceManager.h"
#include "dialogs/AppPickerDlg.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/DialogPictures.h"
#include "dialogs/WaitDlg.h"
#include "orvix/controls/MTabCtrl.h"
#include "base/TextConv.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/CDeviceList.h"
#include "orvix/widgets/CRecordList.h"
#include "base/AppContext.h"
#include "base/Folders.h"
#include "platform/InstalledApps.h"
#include "sim/SimBackend.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

struct Tour {
    DeviceMainDlg& dlg;
    SimBackend* sim;
    std::wstring folder;
    bool ok = true;

    void Save(const wchar_t* name) {
        const std::wstring path = JoinPath(folder, std::wstring(name) + L".png");
        if (!SaveWindowPicture(dlg, path)) {
            std::fprintf(stderr, "VantorelMouse: cannot write %s\n", WideToUtf8(path).c_str());
            ok = false;
        }
    }

    // Saves a picture from inside a pop-up's modal loop, then ends the pop-up.
    void SaveFromPopup(const wchar_t* name, const wchar_t* popupTitle, const std::function<void()>& open) {
        Platform::PostTask([this, name, popupTitle] {
            for (HWND hwnd : Platform::FindWindows(popupTitle)) Platform::UpdateWindow(hwnd);
            Save(name);
            for (HWND hwnd : Platform::FindWindows(popupTitle)) Platform::PostMessage(hwnd, WM_CLOSE, 2, 0);
        });
        open();
    }
};

// Shows a connected model whose description has the lighting page (only a
// connected model can be chosen in the device list); 0 when none is connected.
int ShowModelWithLighting(DeviceMainDlg& dlg) {
    for (const CatalogEntry& model : dlg.GetCatalog().models) {
        DeviceDescription description;
        ReadDeviceDescription(GetProgramFolder(), model.deviceAttr, description);
        if (!description.lightingPage.value_or(false)) continue;
        dlg.GetDeviceList()->SetSelectDevice(model.deviceType);
        if (dlg.GetDeviceList()->GetSelectDevice() != model.deviceType) continue;
        dlg.SwitchModel();
        WaitUntilSettled(dlg);
        return model.deviceType;
    }
    return 0;
}

// The macro page with a short macro and two of its events selected. With the
// simulated mouse the example is added to the library for the picture and then
// removed; otherwise the first stored macro is shown.
int32_t ShowExampleMacro(DeviceMainDlg& dlg, bool addExample) {
    auto* page = dynamic_cast<MacroPage*>(dlg.GetPage(kTabMacro));
    if (!page) return 0;
    DataStore& store = DataStore::Instance();
    std::vector<MacroData> macros;
    store.ListMacros(macros);
    int32_t example = 0;
    if (addExample) {
        example = store.AddMacro(L"Macro 1");
        struct Row {
            int type, value, delay;
            const wchar_t* desc;
        };
        const Row rows[] = {
            {2, 162, 35, L"\u2193  Ctrl"},  {2, 67, 60, L"\u2193  C"},     {3, 67, 25, L"\u2191  C"},
            {3, 162, 120, L"\u2191  Ctrl"}, {4, 1, 80, L"\u2193  LB"},     {5, 1, 250, L"\u2191  LB"},
            {6, 1, 40, L"Scroll Up"},       {2, 13, 15, L"\u2193  Enter"}, {3, 13, 10, L"\u2191  Enter"}};
        std::vector<MacroEvent> events;
        for (const Row& r : rows) {
            MacroEvent e;
            e.macroId = example;
            e.type = r.type;
            e.recordIndex = int32_t(events.size());
            e.value = r.value;
            e.delayTime = r.delay;
            e.desc = r.desc;
            events.push_back(e);
        }
        if (example > 0) store.AddMacroRecords(events);
        page->Reload();
    }
    const int32_t shown = example > 0 ? example : macros.empty() ? 0 : macros.front().macroId;
    if (shown > 0) page->SelectMacro(shown);
    if (auto* list = dynamic_cast<CRecordList*>(dlg.GetControl(MacroPage::IDC_EVENT_LIST))) {
        list->SetCurSel(std::min(2, list->GetItemCount() - 1));
        list->SetTimeStampSelect(list->GetRecrodTimeStamp(1));
    }
    return example;
}

// The device page's profiles by application with example rules (two installed
// applications and a window class), then the list of installed applications
// to add from. With the simulated mouse only; the rules are put back after.
void ShowExampleRules(DeviceMainDlg& dlg, Tour& tour) {
    DevicePage* page = dlg.GetDevicePage();
    DataStore& store = DataStore::Instance();
    std::vector<ProfileData> profiles;
    store.ListProfiles(profiles, 0);
    const int32_t profile = dlg.GetState().GetCurrentProfile();
    int added = 0;
    for (const AppEntry& app : ListInstalledApps(GetCurrentLcid()))
        if (!app.iconPath.empty() && added < 2 && page->AddAppRule(profile, {AppRef::Kind::Entry, app.id})) ++added;
    page->AddAppRule(profile, {AppRef::Kind::Class, L"steam"});
    tour.Save(L"rules");
    // The picker reads the applications on a thread: its picture waits for the list.
    std::function<void(AppPickerDlg*, HWND, int)> whenLoaded = [&tour, &whenLoaded](AppPickerDlg* picker,
                                                                                     HWND hwnd, int turns) {
        Platform::PostTask([&tour, &whenLoaded, picker, hwnd, turns] {
            if (!Platform::IsWindow(hwnd)) return;
            if (!picker->IsLoaded() && turns > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                whenLoaded(picker, hwnd, turns - 1);
                return;
            }
            Platform::UpdateWindow(hwnd);
            tour.Save(L"apps");
            Platform::PostMessage(hwnd, WM_CLOSE, 2, 0);
        });
    };
    SetAppPickerHook([&whenLoaded](AppPickerDlg& picker) { whenLoaded(&picker, picker.GetSafeHwnd(), 1000); });
    PickInstalledApp(dlg.GetSafeHwnd());
    SetAppPickerHook(nullptr);
    for (const ProfileData& p : profiles) store.SetProfileApp(p.profile, p.app);
    page->OnShow(true);
}

// Keys as the keyboard sends them: a press and a release, handled at once.
void PressKey(DeviceMainDlg& dlg, UINT vk) {
    Platform::PostMessage(dlg.GetSafeHwnd(), WM_KEYDOWN, vk, 1);
    Platform::PostMessage(dlg.GetSafeHwnd(), WM_KEYUP, vk, LPARAM(0xC0000001));
    Platform::RunPending();
}

// The key page as the keyboard leaves it after Tab reached the function type
// list and Down went one row on: the focus ring around that row.
void ShowFocusOnTheKeyPage(DeviceMainDlg& dlg) {
    MControl* types = dlg.GetControl(KeyPage::IDC_TYPE_LIST);
    PaintManager& pm = dlg.GetPaintManager();
    for (int i = 0; i < 60 && types && pm.GetFocusControl() != types; ++i) PressKey(dlg, VK_TAB);
    if (types && pm.GetFocusControl() == types) PressKey(dlg, VK_DOWN);
    WaitUntilSettled(dlg, 2000);
}

}  // namespace

bool WaitUntilSettled(DeviceMainDlg& dlg, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int quiet = 0;
    // Settled: the worker idle and nothing dispatched over a few rounds.
    while (Clock::now() < deadline) {
        const int ran = Platform::RunPending();
        if (ran == 0 && dlg.GetState().IsIdle())
            ++quiet;
        else
            quiet = 0;
        if (quiet >= 5) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    return false;
}

bool SaveWindowPicture(DeviceMainDlg& dlg, const std::wstring& path) {
    const HWND main = dlg.GetSafeHwnd();
    Platform::UpdateWindow(main);
    const Canvas* base = Platform::GetPresentedImage(main);
    if (!base) return false;
    Canvas picture(base->GetWidth(), base->GetHeight());
    picture.DrawCanvas(*base, base->GetRect(), base->GetRect(), Canvas::Blend::Copy);
    // Presented images are device pixels: pop-ups go where they are on the screen.
    const CPoint mainCorner = Platform::ClientToDeviceScreen(main, CRect()).TopLeft();
    for (const wchar_t* title : {L"ProfileDlg", L"MessageBox", L"WaitDlg", L"Menu Window", L"ComboWnd", L"AppPickerDlg"}) {
        for (HWND hwnd : Platform::FindWindows(title)) {
            if (!Platform::IsWindowVisible(hwnd)) continue;
            Platform::UpdateWindow(hwnd);
            const Canvas* image = Platform::GetPresentedImage(hwnd);
            if (!image) continue;
            CRect at = Platform::ClientToDeviceScreen(hwnd, CRect());
            at.OffsetRect(-mainCorner.x, -mainCorner.y);
            // A window's pixels replace what lies beneath, as on the screen: the
            // display shows a layered window's colours and not its alpha.
            Canvas opaque(image->GetWidth(), image->GetHeight());
            opaque.DrawCanvas(*image, image->GetRect(), image->GetRect(), Canvas::Blend::Copy);
            uint32_t* pixels = opaque.GetData();
            for (int y = 0; y < opaque.GetHeight(); ++y)
                for (int x = 0; x < opaque.GetWidth(); ++x) pixels[y * opaque.GetStride() + x] |= 0xFF000000u;
            opaque.MarkDirty();
            picture.DrawCanvas(
                opaque, CRect(at.left, at.top, at.left + image->GetWidth(), at.top + image->GetHeight()),
                opaque.GetRect(), Canvas::Blend::Copy);
        }
    }
    return picture.SavePng(path);
}

bool RunScreenshotTour(DeviceMainDlg& dlg, SimBackend* sim, const std::wstring& folder) {
    Tour tour{dlg, sim, folder};
    WaitUntilSettled(dlg);
    tour.Save(L"main");

    if (sim) {
        // Without a device, then with it again.
        sim->Unplug(SimEndpoint::Cable);
        sim->Unplug(SimEndpoint::Receiver);
        WaitUntilSettled(dlg);
        tour.Save(L"home");
        sim->Plug(SimEndpoint::Cable);
        WaitUntilSettled(dlg);
        tour.Save(L"devices");
    } else {
        tour.Save(dlg.GetView() == DeviceMainDlg::View::NotConnected ? L"home" : L"devices");
    }
    if (dlg.GetView() == DeviceMainDlg::View::NotConnected) return tour.ok;

    dlg.SwitchModel();
    WaitUntilSettled(dlg);
    const std::pair<int, const wchar_t*> pages[] = {{kTabKey, L"key"},     {kTabDpi, L"dpi"},
                                                    {kTabMacro, L"macro"}, {kTabText, L"text"},
                                                    {kTabLight, L"light"}, {kTabDevice, L"device"}};
    for (const auto& [tab, name] : pages) {
        // The lighting page is taken on a model that has one, then the tour goes back.
        const int shown = dlg.GetState().GetCurrentDeviceType();
        const bool switched = tab == kTabLight && !dlg.GetState().HasLightingPage();
        if (switched && ShowModelWithLighting(dlg) == 0) continue;
        dlg.SelectTab(tab);
        WaitUntilSettled(dlg, 2000);
        const int32_t example = tab == kTabMacro ? ShowExampleMacro(dlg, sim != nullptr) : 0;
        tour.Save(name);
        if (tab == kTabDevice && sim) ShowExampleRules(dlg, tour);
        if (switched) {
            dlg.GetDeviceList()->SetSelectDevice(shown);
            dlg.SwitchModel();
            WaitUntilSettled(dlg);
        }
        if (example > 0) {
            DataStore::Instance().DeleteMacro(example);
            dlg.GetPage(kTabMacro)->Reload();
        }
    }

    dlg.SelectTab(kTabKey);
    WaitUntilSettled(dlg, 2000);
    ShowFocusOnTheKeyPage(dlg);
    tour.Save(L"focus");
    tour.SaveFromPopup(L"profile", L"ProfileDlg", [&dlg] { dlg.OpenProfilePopup(); });
    tour.SaveFromPopup(L"message", L"MessageBox",
                       [&dlg] { dlg.ShowMessage(570, 571, CUIMessageBox::kKindOkCancel); });
    tour.SaveFromPopup(L"wait", L"WaitDlg", [&dlg] { dlg.ShowWaitDialog(); });
    WaitUntilSettled(dlg, 2000);

    // The secondary dialogs as the user sees them, nothing sent to the mouse.
    const HWND owner = dlg.GetSafeHwnd();
    if (!SavePairingPicture(owner, DeviceManager::Instance(), JoinPath(folder, L"pairing.png")))
        tour.ok = false;
    if (!SaveSettingPictures(owner, dlg.GetCatalog().software, JoinPath(folder, L"settings.png"),
                             JoinPath(folder, L"settings-about.png")))
        tour.ok = false;
    return tour.ok;
}
