#pragma once
// The program's one main window: the frame with the caption, the system buttons,
// the battery, device state and profile button; the vertical tab strip and a page
// per tab; the home page with the device list. It owns the worker that talks to
// the mouse, the model and profile controller and the desktop integration, routes
// control notifications, by id, to the page that owns the control, and decides
// what the worker's device events change on screen. The pages hold the feature logic.
#include <memory>
#include <string>
#include <vector>

#include "app/DesktopIntegration.h"
#include "app/DeviceView.h"
#include "app/DeviceWorker.h"
#include "app/ModelController.h"
#include "app/MouseController.h"
#include "app/PostingDeviceView.h"
#include "pages/MainPageHost.h"
#include "dialogs/DonglePairDlg.h"
#include "device/DeviceCatalog.h"
#include "platform/PcFunctionExecutor.h"
#include "orvix/core/MDialog.h"
#include "platform/HidBackend.h"

class AutoProfileSwitcher;
class DevicePage;
class DpiPage;
class KeyPage;
class LightPage;
class MacroPage;
class TextPage;
class WaitDlg;
class DesktopServices;
struct PasteFallback;
class MouseServiceBridge;
namespace Orvix {
class BatteryCtrl;
class CDeviceList;
class MPicture;
class MTabCtrl;
}  // namespace Orvix

// Control ids of the frame and the home page (the pages own the others).
enum : Orvix::UINT {
    IDC_MAIN_BKG = 30,
    IDC_MOUSE_PICTURE = 31,
    IDC_CAPTION_BAR = 32,
    IDC_FOOTER_BAR = 33,
    IDC_LOGO = 34,
    IDC_CAPTION_TEXT = 35,
    IDC_VERSION_TEXT = 36,
    IDC_SYSBTN_CLOSE = 39,
    IDC_SYSBTN_MIN = 40,
    IDC_SYSBTN_MAX = 41,
    IDC_SYSBTN_SETTING = 42,
    IDC_BATTERY = 44,
    IDC_DEVICE_STATE = 45,
    IDC_PROFILE = 46,
    IDC_TAB_BKG = 47,
    IDC_TABS = 48,
    IDC_PAGE_HOME = 49,
    IDC_PAGE_KEY = 50,
    IDC_PAGE_DPI = 51,
    IDC_PAGE_MACRO = 52,
    IDC_PAGE_LIGHT = 53,
    IDC_PAGE_TEXT = 54,
    IDC_PAGE_DEVICE = 55,
    IDC_PAGE_OVERLAY = 56,
    IDC_DEVICE_LIST = 57,
    IDC_HOME_AREA = 58,
    IDC_HOME_TEXT = 59,
    IDC_HOME_PAIRING = 60,
    IDC_HOME_NOTICE = 61,
};

// Messages of the window.
constexpr Orvix::UINT WM_EXIT_REQUEST = Orvix::WM_USER + 667;   // 1691, lParam 610
constexpr Orvix::UINT WM_LANGUAGE_CHANGED = Orvix::WM_USER + 998;  // 2022

class DeviceMainDlg : public Orvix::MDialog, public MainPageHost, public MouseController, private DeviceView {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 800;

    enum class View { NotConnected, DeviceList, Model };

    // `desktop` is what the PC-side functions use (the system's by default).
    explicit DeviceMainDlg(DesktopServices* desktop = nullptr);
    ~DeviceMainDlg() override;

    // Before CreateMainWindow: the worker's waits (tests shorten them) and the
    // tray icon (none by default).
    void SetWorkerTimings(const WorkerTimings& timings);
    void SetPairingTimings(const PairingTimings& timings) { m_pairingTimings = timings; }
    void SetTrayIcon(std::unique_ptr<TrayIcon> tray) { m_desktopParts.SetTrayIcon(std::move(tray)); }
    // Low-battery notifications and the program's own mouse service on the session
    // bus, the wake-up from sleep on the system bus (addresses as GDBus takes them;
    // empty: none).
    void EnableDesktopServices(const std::string& sessionBus, const std::string& systemBus) {
        m_desktopParts.EnableDesktopServices(sessionBus, systemBus);
    }
    // Started with the session: the window hides itself as soon as a notification
    // area takes its icon (until then it waits minimised).
    void SetStartHidden(bool hidden) { m_desktopParts.SetStartHidden(hidden); }

    // Creates the window hidden, its size centred on the desktop; ShowModal shows it.
    bool CreateMainWindow();
    // Brings the window forward and shows it, also when it was hidden (a second
    // start of the program asks for this).
    void ShowMainWindow();
    // Stops the worker, drops the tray icon and ends the window; the modal loop returns.
    virtual void CloseMainWindow();
    // True once the user chose to leave the program, as opposed to the window
    // ending otherwise.
    bool IsExitRequested() const { return m_exitRequested; }
    // True while the icon in the notification area can bring the window back.
    bool HasTray() const { return m_desktopParts.HasTray(); }

    // ---- what the window shows (tests and screenshots) ----
    View GetView() const { return m_currentView; }
    int GetCurrentTabId() const { return m_model.GetState().GetCurrentTab(); }
    MainPage* GetPage(int tabItemId) const;
    DevicePage* GetDevicePage() const { return m_devicePage; }
    Orvix::MTabCtrl* GetTabCtrl() const { return m_tabs; }
    Orvix::CDeviceList* GetDeviceList() const { return m_deviceList; }
    const DeviceCatalog& GetCatalog() const override { return m_model.GetCatalog(); }
    DeviceWorker& GetWorker() { return m_worker; }
    WaitDlg* GetWaitDialog() const { return m_wait; }
    double GetScaleFactor() const { return m_scale; }
    // Profiles that follow the application in front (made with the window).
    AutoProfileSwitcher* GetAutoProfile() override { return m_autoProfile.get(); }
    // True once the wake-up listener has its subscription on the system bus.
    bool IsListeningForResume() const { return m_desktopParts.IsListeningForResume(); }
    // True while the program serves its mouse interface on the session bus.
    bool IsServingMouseBus() const;
    // The text of the notice on the home page ("" when none is shown).
    std::wstring GetHomeNotice() const;

    // ---- MainPageHost ----
    Orvix::MDialog& GetDialog() override { return *this; }
    DeviceMainDef& GetState() override { return m_model.GetState(); }
    DataStore& GetStore() override;
    void QueueTask(const WorkerTask& task) override;
    const DeviceDescription& GetDescription() const override { return m_model.GetDescription(); }
    const SoftwareInfo& GetSoftwareInfo() const override { return m_model.GetCatalog().software; }
    bool IsOnCable() const override { return m_model.IsOnCable(); }
    bool HasReceiver() const override { return m_model.HasReceiver(); }
    double GetScale() const override { return m_scale; }
    int ShowMessage(int titleTextId, int messageTextId, int kind) override;
    int ShowMessageText(const std::wstring& title, const std::wstring& message, int kind) override;
    void ShowWaitDialog() override;
    void BroadcastPageEvent(PageEvent event, MainPage* from) override;
    void SelectTab(int itemId) override;
    void EnableNavigation(bool enable) override;
    void OpenPairingDialog() override { OpenPairing(); }

    // ---- MouseController (the bus service's way in) ----
    void QueueTask(const WorkerTask& task, TaskDone done) override;
    void SwitchProfile(int32_t profile, TaskDone done) override;
    void ShowStoredValues() override;

    // ---- user actions (also what the controls do) ----
    void SwitchModel();
    void SwitchProfile(int32_t profile) { SwitchProfile(profile, {}); }
    void OpenProfilePopup();
    // The settings dialog; the pairing dialog.
    void OpenSettings();
    void OpenPairing();
    void OnDeviceChange(DeviceChange change, const std::string& path);
    // Closes the program's pop-ups (a device came or went).
    void ClosePopupWindows();

  protected:
    Orvix::LRESULT OnWindowMessage(Orvix::UINT msg, Orvix::WPARAM wParam, Orvix::LPARAM lParam) override;
    Orvix::BOOL OnInitDialog() override;
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect client) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    void OnTimer(Orvix::UINT) override {}
    void OnMaximize() override;
    Orvix::LRESULT OnDestroy() override;

  private:
    // ---- DeviceView, on the UI thread (the worker's calls arrive through m_view) ----
    void SetBatteryInfo(int level, int charging) override;
    void SetDeviceBattery(int deviceType, int charging, int level) override;
    void SetAllDeviceState(int state) override;
    void SetDeviceState(int deviceType, int deviceMode, int online) override;
    void SetDeviceVersion(int deviceType, int release) override;
    int SelectDevice(int deviceType) override;
    void SetMouseVersionLabel(const std::wstring& text) override;
    void SetReceiverVersionLabel(const std::wstring& text) override;
    void SetProfileTitle(const std::wstring& name) override;
    void ShowNotConnectedView() override;
    void ShowDeviceListView(int deviceMode) override;
    void SelectDpiStage(int index) override;
    void OnDeviceEvent(DeviceEvent event) override;
    void CloseWaitDialog() override;
    void EnableMainWindow(bool enable) override;
    void TellStoreProblems() override;
    void TellRefusedWrite() override;

    // ---- building ----
    void CreateFrame();
    void CreateTabs();
    // The frame's picture buttons get names a screen reader says (with each language).
    void NameSystemButtons();
    void CreateHomePage();
    void CreatePages();
    void LayoutFrame(const Orvix::CRect& client);
    void PlaceMousePicture();
    // Texts that follow the language.
    void ApplyTexts();

    // What the window does about a device event.
    void React(WindowReaction reaction);

    // ---- controller ----
    void LoadCatalog();
    void LoadDeviceDescription();
    void RegisterForDeviceNotifications();
    void CreateAutoProfile();
    void UpdatePairingButton();
    void OnTrayProfile(int32_t profile);
    // Typing could not take the virtual keyboard of a Wayland session: said once.
    void OnPasteFallback(const PasteFallback& fallback);
    void OnTabChanged();
    void ShowModelView();
    void SelectHomeTabQuietly();
    // The home page alone: with the device list, or with the no-mouse texts.
    void ShowHomePage(bool withDevices);
    // The home page's notice: a file of the program missing or damaged, else a
    // mouse this user may not open.
    void UpdatePermissionNotice();
    // The store's repair, replacement or failure to write, each told once.
    void ShowStoreNotices();
    void SetModelWidgetsVisible(bool visible);
    void OnCloseButton();
    void OnLanguageChanged();
    void ExitProgram();
    // What the mouse service shows may have changed (UI thread).
    void NoteServiceChange();
    std::vector<MainPage*> Pages() const;

    ModelController m_model;
    PostingDeviceView m_view;
    DesktopServices* m_desktop;
    PcFunctionExecutor m_executor;
    DeviceWorker m_worker;
    DesktopIntegration m_desktopParts;
    std::unique_ptr<MouseServiceBridge> m_service;
    std::unique_ptr<AutoProfileSwitcher> m_autoProfile;
    PairingTimings m_pairingTimings;

    Orvix::MPicture* m_mousePicture = nullptr;
    Orvix::MTabCtrl* m_tabs = nullptr;
    Orvix::CDeviceList* m_deviceList = nullptr;
    Orvix::BatteryCtrl* m_battery = nullptr;
    Orvix::MPanel* m_homePage = nullptr;

    std::vector<std::unique_ptr<MainPage>> m_pages;
    KeyPage* m_keyPage = nullptr;
    DpiPage* m_dpiPage = nullptr;
    MacroPage* m_macroPage = nullptr;
    TextPage* m_textPage = nullptr;
    LightPage* m_lightPage = nullptr;
    DevicePage* m_devicePage = nullptr;

    WaitDlg* m_wait = nullptr;
    View m_currentView = View::NotConnected;
    int m_connectionMode = 0;
    double m_scale = 1.0;
    bool m_exitRequested = false;
    bool m_workerStarted = false;
    bool m_closed = false;
    bool m_arrangingView = false;
    bool m_showingStoreNotice = false;
};
