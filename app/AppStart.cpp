#include "app/AppStart.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/DeviceMainDlg.h"
#include "app/ScreenshotTour.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Image.h"
#include "base/AppContext.h"
#include "platform/Autostart.h"
#include "platform/DisplayScale.h"
#include "base/Folders.h"
#include "platform/SingleInstance.h"
#include "base/Trace.h"
#include "platform/TrayIcon.h"
#include "platform/dbus/AtspiBridge.h"
#include "platform/dbus/GLibLoop.h"

using namespace Orvix;

namespace {

// The windowing layer and the toolkit's fonts for the life of one start.
class ToolkitSession {
  public:
    explicit ToolkitSession(BackendKind backend)
        : m_started(Platform::Init(backend) && Manager::InitGdiplus()) {}
    ~ToolkitSession() { Manager::UnInitGdiplus(); }
    ToolkitSession(const ToolkitSession&) = delete;
    ToolkitSession& operator=(const ToolkitSession&) = delete;
    bool Started() const { return m_started; }

  private:
    bool m_started;
};

// A display the window can appear on: an X11 or Wayland session, and not a
// back end that draws into memory only.
bool HasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    auto is = [](const char* name, const char* text) {
        const char* value = std::getenv(name);
        return value != nullptr && std::strcmp(value, text) == 0;
    };
    if (is("ORVIX_BACKEND", "headless") || is("SDL_VIDEODRIVER", "offscreen") ||
        is("SDL_VIDEODRIVER", "dummy"))
        return false;
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// The pictures of the catalog's models, one file each in the skin's device folder.
std::vector<std::wstring> DevicePictures() {
    std::vector<std::wstring> files;
    std::error_code error;
    const std::filesystem::path folder = WideToUtf8(JoinPath(GetSkinFolder(), L"device/"));
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().extension() == ".png") files.push_back(Utf8ToWide(entry.path().string()));
    return files;
}

int PrintAndExit(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return 0;
}

}  // namespace

int RunApplication(const AppOptions& options) {
    if (options.command == AppCommand::Help) return PrintAndExit(GetAppUsage());
    if (options.command == AppCommand::Version)
        return PrintAndExit(std::string("Vantorel Mouse ") + kAppVersion + "\n");

    // Declared first so that it goes last: the listener thread must be gone
    // before the windowing layer it posts to.
    std::optional<ToolkitSession> toolkit;
    SingleInstance instance;
    const bool first = instance.Acquire();
    if (!instance.GetMessage().empty())
        std::fprintf(stderr, "VantorelMouse: %s\n", instance.GetMessage().c_str());
    if (!first) return instance.GetMessage().empty() ? 0 : 1;
    // Without a display the window would wait, unseen, for ever.
    const bool screenshots = !options.screenshotFolder.empty();
    if (!screenshots && !HasDisplay()) {
        std::fprintf(stderr,
                     "VantorelMouse: no display to show the window on; start it in a desktop session, or use "
                     "--screenshot DIR to save a picture of each page into DIR\n");
        return 1;
    }
    SettleLanguage();
    if (options.language) {
        const std::vector<int> available = GetAvailableLanguages(GetProgramFolder());
        if (std::find(available.begin(), available.end(), options.language) == available.end()) {
            std::string ids;
            for (int lcid : available) ids.append(" ").append(std::to_string(lcid));
            std::fprintf(stderr, "VantorelMouse: no language file for %d; the languages are%s\n", options.language,
                         ids.c_str());
            return 2;
        }
        SetCurrentLcid(options.language);
    }
    // Earlier versions named the autostart entry otherwise; the desktop matches it by the application id.
    MoveOldAutostartEntry(GetOldAutostartEntryPath(), GetAutostartEntryPath(), GetAutostartProgramPath());
    if (!EnsureDatabaseFolder()) Vantorel::Trace("start: no database folder");

    // Held for the whole run: it is the other end of every exchange with the mouse.
    std::shared_ptr<SimBackend> simulation;
    if (options.simulate) simulation = InstallSimulatedBackend(options.simulateStart);

    // Fontconfig reads its configuration and caches, and the model pictures of the
    // device list are decoded, while the display is opened.
    std::thread fonts([] {
        PrepareEmbeddedFont();
        Image::Preload(DevicePictures());
    });
    // Screenshots are rendered in memory, so that no window appears even on a desktop.
    toolkit.emplace(screenshots ? BackendKind::Headless : BackendKind::Auto);
    fonts.join();
    if (!toolkit->Started()) {
        std::fprintf(
            stderr, "VantorelMouse: no display to open the window on (--screenshot DIR renders offscreen)\n");
        return 1;
    }
    // Every window is drawn at one factor, from the desktop or the user's choice.
    SetScaleOption(options.scale);
    UpdateProgramScale();

    DeviceMainDlg dlg;
    if (!screenshots) {
        dlg.SetTrayIcon(CreateTrayIcon());
        dlg.EnableDesktopServices(SessionBusAddress(), SystemBusAddress());
        dlg.SetStartHidden(options.hidden);
    }
    int screenshotResult = 1;
    bool toured = false;
    // Runs on the UI thread whenever the window may have become visible.
    auto onShown = [&] {
        if (!screenshots || toured || !dlg.IsWindowVisible()) return;
        toured = true;
        const std::wstring folder = Utf8ToWide(options.screenshotFolder);
        if (!EnsureFolderTree(folder)) {
            std::fprintf(stderr, "VantorelMouse: cannot create %s\n", options.screenshotFolder.c_str());
        } else {
            screenshotResult = RunScreenshotTour(dlg, simulation.get(), folder) ? 0 : 1;
        }
        dlg.CloseMainWindow();
    };
    // A request arrives on the listener thread and is handed to the UI thread.
    // Posted tasks run only in the window's modal loop, while `dlg` lives.
    instance.SetShowCallback([&dlg, &onShown] {
        Platform::PostTask([&dlg, &onShown] {
            if (!dlg.GetSafeHwnd()) return;
            dlg.ShowMainWindow();
            onShown();
        });
    });
    if (!dlg.CreateMainWindow()) {
        std::fprintf(stderr, "VantorelMouse: cannot create the main window\n");
        return 1;
    }
    // The desktop's scale may change while we run (XSETTINGS): everything follows.
    Platform::SetDesktopScaleListener([&dlg] { UpdateProgramScale(dlg.GetSafeHwnd()); });
    Platform::PostTask(onShown);
    // Screen readers: asked once the window is up whether one is wanted; gone before the window.
    std::unique_ptr<AtspiBridge> accessibility;
    const char* noBridge = std::getenv("NO_AT_BRIDGE");  // the desktop's switch for every toolkit
    if (!screenshots && !(noBridge && std::strcmp(noBridge, "1") == 0)) {
        accessibility = std::make_unique<AtspiBridge>(AtspiBridge::FromEnvironment(SessionBusAddress()));
        Platform::PostTask([&accessibility] {
            if (accessibility) accessibility->Start();
        });
    }
    // A picture decoded ahead that the window did not take is not kept for nothing.
    Image::ReleasePreloaded();

    // Started with the session: minimised until the notification area takes the
    // icon, then hidden there (a hidden window without one could not be found again).
    int show = options.hidden ? SW_HIDE : SW_SHOWNORMAL;
    if (options.hidden && !screenshots && !dlg.HasTray()) show = SW_SHOWMINIMIZED;
    dlg.ShowModal(show);
    accessibility.reset();
    Platform::SetDesktopScaleListener(nullptr);
    instance.SetShowCallback(nullptr);
    Vantorel::Trace("start: main window ended");
    if (screenshots) return screenshotResult;
    return dlg.IsExitRequested() ? 0 : 1;
}
