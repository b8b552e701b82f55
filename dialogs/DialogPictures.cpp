#include "dialogs/DialogPictures.h"

#include "dialogs/DonglePairDlg.h"
#include "dialogs/SettingDlg.h"
#include "orvix/platform/Platform.h"
#include "platform/Autostart.h"
#include "platform/DesktopServices.h"

using namespace Orvix;

namespace {

bool SaveWindow(MDialog& dlg, const std::wstring& pngPath) {
    Platform::InvalidateRect(dlg.GetSafeHwnd());
    Platform::UpdateWindow(dlg.GetSafeHwnd());
    return Platform::SaveScreenshot(dlg.GetSafeHwnd(), pngPath);
}

}  // namespace

bool SavePairingPicture(HWND owner, DeviceManager& manager, const std::wstring& pngPath) {
    DonglePairDlg dlg(manager);
    if (!dlg.CreatePreviewOver(owner)) return false;
    const bool saved = SaveWindow(dlg, pngPath);
    dlg.DestroyWindow();
    return saved;
}

bool SaveSettingPictures(HWND owner, const SoftwareInfo& software, const std::wstring& settingsPng,
                         const std::wstring& aboutPng) {
    SettingDlg dlg(software, GetDesktopServices(), GetAutostartEntryPath(), GetAutostartProgramPath());
    if (!dlg.CreateOver(owner)) return false;
    bool saved = SaveWindow(dlg, settingsPng);
    dlg.SelectPage(1);
    saved = SaveWindow(dlg, aboutPng) && saved;
    dlg.DestroyWindow();
    return saved;
}
