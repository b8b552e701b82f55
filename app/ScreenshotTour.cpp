#include "app/ScreenshotTour.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "app/DeviceMainDlg.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/DialogPictures.h"
#include "dialogs/WaitDlg.h"
#include "device/DeviceCatalog.h"
#include "device/DeviceManager.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/core/TextConv.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/CDeviceList.h"
#include "platform/Folders.h"
#include "sim/SimBackend.h"

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
    const CRect mainRect = Platform::GetWindowRect(main);
    for (const wchar_t* title : {L"ProfileDlg", L"MessageBox", L"WaitDlg", L"Menu Window", L"ComboWnd"}) {
        for (HWND hwnd : Platform::FindWindows(title)) {
            if (!Platform::IsWindowVisible(hwnd)) continue;
            Platform::UpdateWindow(hwnd);
            const Canvas* image = Platform::GetPresentedImage(hwnd);
            if (!image) continue;
            CRect at = Platform::GetWindowRect(hwnd);
            at.OffsetRect(-mainRect.left, -mainRect.top);
            picture.DrawCanvas(*image, CRect(at.left, at.top, at.left + image->GetWidth(), at.top + image->GetHeight()),
                               image->GetRect());
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
        tour.Save(name);
        if (switched) {
            dlg.GetDeviceList()->SetSelectDevice(shown);
            dlg.SwitchModel();
            WaitUntilSettled(dlg);
        }
    }

    dlg.SelectTab(kTabKey);
    WaitUntilSettled(dlg, 2000);
    tour.SaveFromPopup(L"profile", L"ProfileDlg", [&dlg] { dlg.OpenProfilePopup(); });
    tour.SaveFromPopup(L"message", L"MessageBox", [&dlg] {
        dlg.ShowMessage(570, 571, CUIMessageBox::kKindOkCancel);
    });
    tour.SaveFromPopup(L"wait", L"WaitDlg", [&dlg] { dlg.ShowWaitDialog(); });
    WaitUntilSettled(dlg, 2000);

    // The secondary dialogs as the user sees them, nothing sent to the mouse.
    const HWND owner = dlg.GetSafeHwnd();
    if (!SavePairingPicture(owner, DeviceManager::Instance(), JoinPath(folder, L"pairing.png"))) tour.ok = false;
    if (!SaveSettingPictures(owner, dlg.GetCatalog().software, JoinPath(folder, L"settings.png"),
                             JoinPath(folder, L"settings-about.png")))
        tour.ok = false;
    return tour.ok;
}
