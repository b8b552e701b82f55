#include "app/DeviceMainDlg.h"

#include <algorithm>

#include "dialogs/AutoProfileSwitcher.h"
#include "app/MouseServiceBridge.h"
#include "app/ProfileFiles.h"
#include "pages/DevicePage.h"
#include "pages/DpiPage.h"
#include "pages/KeyPage.h"
#include "pages/LightPage.h"
#include "pages/MacroPage.h"
#include "pages/TextPage.h"
#include "device/DeviceManager.h"
#include "device/Hotplug.h"
#include "device/PermissionNotice.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/DonglePairDlg.h"
#include "dialogs/ProfileDlg.h"
#include "dialogs/SettingDlg.h"
#include "dialogs/WaitDlg.h"
#include "base/LanguageText.h"
#include "orvix/controls/CHelpButton.h"
#include "orvix/controls/CIconButton.h"
#include "orvix/controls/MButton.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/controls/MTabLayout.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/DesktopScale.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/BatteryCtrl.h"
#include "orvix/widgets/CDeviceList.h"
#include "base/AppContext.h"
#include "platform/ApplicationId.h"
#include "platform/DesktopServices.h"
#include "base/Folders.h"
#include "platform/RawInputReader.h"
#include "base/SettingsStore.h"
#include "base/Trace.h"
#include "platform/TrayIcon.h"
#include "platform/dbus/DesktopNotifier.h"
#include "platform/dbus/SleepMonitor.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

constexpr int kCaptionHeight = 50;
constexpr int kFooterHeight = 50;
constexpr int kTabTop = 120;
constexpr int kTabPitch = 61;  // 60-pixel tabs and a 1-pixel gap
constexpr int kTabWidth = 190;
constexpr int kTabHeight = 60;
constexpr int kLayoutHeight = 780;  // the height the pages' coordinates are given for

constexpr int kTextClose = 5;
constexpr int kTextVersion = 17;
constexpr int kTextSettings = 650;
// Names a screen reader says for the picture buttons of the frame.
constexpr int kTextMinimize = 1280;
constexpr int kTextMaximize = 1281;
constexpr int kTextRestore = 1282;
constexpr int kTextHelp = 1283;
constexpr int kTextNoDevice = 50;
constexpr int kTextCable = 51;
constexpr int kTextReceiver = 52;
constexpr int kTextNoMouseHome = 56;
constexpr int kTextNotConnected = 57;
constexpr int kTextNotice = 576;
constexpr int kTextPairing = 723;
constexpr int kTextPlugReceiver = 1161;
constexpr int kTextProfileName = 61;
constexpr int kTextStoreRepairedTitle = 953;
constexpr int kTextStoreRepaired = 954;
constexpr int kTextStoreReplaced = 955;
constexpr int kTextStoreUnusable = 956;
constexpr int kTextStoreBusy = 1400;
constexpr int kTextWriteRefused = 1401;
constexpr int kTextFilesDamagedTitle = 1402;
constexpr int kTextFileMissing = 1403;
constexpr int kTextFileUnreadable = 1404;
constexpr int kTextFileDamaged = 1405;
constexpr int kTextReinstall = 1406;


// The tab strip's items, in insertion order.
struct TabDef {
    int itemId;
    int textId;
    const wchar_t* icon;
    UINT container;
};
constexpr TabDef kTabs[] = {
    {kTabHome, 71, L"icon/tab_home.png", IDC_PAGE_HOME},
    {kTabKey, 72, L"icon/tab_key.png", IDC_PAGE_KEY},
    {kTabDpi, 73, L"icon/tab_dpi.png", IDC_PAGE_DPI},
    {kTabMacro, 74, L"icon/tab_macro.png", IDC_PAGE_MACRO},
    {kTabText, 77, L"icon/tab_text.png", IDC_PAGE_TEXT},
    {kTabLight, 75, L"icon/tab_light.png", IDC_PAGE_LIGHT},
    {kTabDevice, 76, L"icon/tab_set.png", IDC_PAGE_DEVICE},
};
constexpr int kLightTabIndex = 5;

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

// What a missing or damaged file of the program is, with its name and the fix.
std::wstring ProductProblemText(const ProductFileProblem& files) {
    const int cause = files.kind == ProductFileProblem::Kind::Missing      ? kTextFileMissing
                      : files.kind == ProductFileProblem::Kind::Unreadable ? kTextFileUnreadable
                                                                           : kTextFileDamaged;
    std::wstring text = Text(cause);
    const size_t at = text.find(L"{file}");
    if (at != std::wstring::npos) text.replace(at, 6, files.path);
    return text + L"\n" + Text(kTextReinstall);
}

template <class T>
T* Make(MDialog& dlg, const wchar_t* cls, UINT id, const wchar_t* title = nullptr) {
    return dynamic_cast<T*>(dlg.CreateControl(cls, id, CRect(), title));
}

}  // namespace

DeviceMainDlg::DeviceMainDlg(DesktopServices* desktop)
    : m_model(DeviceManager::Instance(), DataStore::Instance()),
      m_view(*this),
      m_desktop(desktop ? desktop : &GetDesktopServices()),
      m_executor(DataStore::Instance(), *m_desktop),
      m_worker(m_model.GetState(), m_view, m_executor, DeviceManager::Instance(), DataStore::Instance()) {
    // A page queues after each change it stored: the mouse service shows it.
    m_model.SetAfterQueue([this] { NoteServiceChange(); });
}

DeviceMainDlg::~DeviceMainDlg() {
    // The bus service, the profile switcher and the worker go first: nothing may reach the view or the
    // controls after this.
    m_service.reset();
    m_autoProfile.reset();
    m_worker.Stop();
    m_desktop->SetPasteFallbackHandler(nullptr);
    m_view.Detach();
    if (auto backend = DeviceManager::Instance().GetBackend()) backend->SetDeviceChangeHandler(nullptr);
    m_desktopParts.Stop();
    m_pages.clear();
}

void DeviceMainDlg::SetWorkerTimings(const WorkerTimings& timings) {
    m_worker.SetTimings(timings);
}

bool DeviceMainDlg::IsServingMouseBus() const {
    return m_service && m_service->IsServing();
}

DataStore& DeviceMainDlg::GetStore() {
    return DataStore::Instance();
}

// ---------------------------------------------------------------- window

bool DeviceMainDlg::CreateMainWindow() {
    if (!Create(nullptr, Manager::GetDeviceName().c_str(), WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                CRect(0, 0, kWidth, kHeight)))
        return false;
    // Resized or maximised, everything keeps its proportions: the program's
    // factor follows the window (down to three quarters of the start's).
    Platform::SetScaleFollowsSize(m_hWnd, CSize(kWidth, kHeight), 0.75 * Platform::GetScale(), kMaxScale);
    SetIcon(JoinPath(GetSkinFolder(), L"icon/app_icon.png"));
    CenterWindow(nullptr);
    return true;
}

void DeviceMainDlg::ShowMainWindow() {
    if (IsIconic()) ShowWindow(SW_RESTORE);
    ShowWindow(SW_SHOWNORMAL);
    Platform::UpdateWindow(m_hWnd);
    BringToTop();
}

void DeviceMainDlg::CloseMainWindow() {
    if (m_closed) return;
    m_closed = true;
    m_service.reset();
    m_autoProfile.reset();
    m_worker.Stop();
    m_view.Detach();
    if (auto backend = DeviceManager::Instance().GetBackend()) backend->SetDeviceChangeHandler(nullptr);
    m_desktopParts.Stop();
    if (m_wait && m_wait->GetSafeHwnd()) m_wait->DoOK();
    DestroyWindow();
}

void DeviceMainDlg::ExitProgram() {
    m_exitRequested = true;
    CloseMainWindow();
}

LRESULT DeviceMainDlg::OnDestroy() {
    // However the window ends, the worker's updates must not reach its controls.
    m_service.reset();
    m_worker.Stop();
    m_view.Detach();
    return MDialog::OnDestroy();
}

BOOL DeviceMainDlg::OnInitDialog() {
    MDialog::OnInitDialog();
    m_desktopParts.Start(m_hWnd, Manager::GetDeviceName());
    {
        const HWND self = m_hWnd;
        m_desktop->SetPasteFallbackHandler([self, this](const PasteFallback& fallback) {
            Platform::PostTask([self, this, fallback] {
                if (Platform::IsWindow(self)) OnPasteFallback(fallback);
            });
        });
    }
    // Whatever the worker shows, the mouse service may show too.
    m_view.SetAfterEachCall([this] { NoteServiceChange(); });
    CreateAutoProfile();
    LoadCatalog();
    if (!m_desktopParts.GetSessionBus().empty()) {
        // Served once the window is up: connecting to the bus is no part of the start.
        const HWND self = m_hWnd;
        Platform::PostTask([self, this] {
            if (Platform::IsWindow(self) && !m_closed && !m_service)
                m_service = std::make_unique<MouseServiceBridge>(*this, m_desktopParts.GetSessionBus());
        });
    }
    QueueTask(kTaskInitialRead);
    m_workerStarted = m_worker.StartWorker();
    SetMTimer(10);
    return TRUE;
}

void DeviceMainDlg::CreateAutoProfile() {
    AutoProfileSwitcher::Host host;
    host.window = m_hWnd;
    host.currentProfile = [this] { return m_model.GetState().GetCurrentProfile(); };
    host.connected = [this] { return m_model.GetState().IsConnected(); };
    // A modal dialog disables the window; a switch would change what it edits.
    host.busy = [this] { return !IsWindowEnabled() || (m_macroPage && m_macroPage->IsRecording()); };
    host.notify = [this](const std::wstring& title, const std::wstring& body) {
        m_desktopParts.Notify(title, body, int(DesktopNotifier::Urgency::Low), "auto-profile");
    };
    m_autoProfile = std::make_unique<AutoProfileSwitcher>(std::move(host), DataStore::Instance());
    m_autoProfile->ApplySetting();
}

void DeviceMainDlg::OnTrayProfile(int32_t profile) {
    // The menu may have been drawn before the mouse went: a profile needs a mouse, as
    // the profile button does, and must be one of the listed.
    if (!m_model.GetState().IsConnected()) return;
    for (const TrayStatus::Profile& listed : m_desktopParts.GetTrayFacts().profiles)
        if (listed.id == profile) {
            // What the profile pop-up's choice does.
            OnWindowMessage(WM_PROFILE_COMMAND, kProfileSwitch, LPARAM(profile));
            return;
        }
}

void DeviceMainDlg::OnPasteFallback(const PasteFallback& fallback) {
    if (m_desktopParts.IsTypingNoticeShown()) return;
    std::wstring title, body;
    if (!m_desktopParts.NotifyTypingFallback(fallback, title, body) && IsWindowVisible())
        ShowMessageText(title, body, CUIMessageBox::kKindOk);
}

// ---------------------------------------------------------------- building

void DeviceMainDlg::InitUI(CRect client) {
    CreateFrame();
    CreateTabs();
    CreateHomePage();
    CreatePages();
    ApplyTexts();
    UISize(client);
    ShowNotConnectedView();
}

void DeviceMainDlg::CreateFrame() {
    auto picture = [this](UINT id, const wchar_t* file, enumShowMode mode, int inset) {
        auto* p = Make<MPicture>(*this, L"MPicture", id);
        p->SetImage(file, 1);
        p->SetShowMode(mode, inset);
        return p;
    };
    picture(IDC_MAIN_BKG, L"main_bkg.png", SHOW_MODE_NINE, 8);
    picture(IDC_TAB_BKG, L"img_tab_bkg.png", SHOW_MODE_NINE, 8);
    picture(IDC_CAPTION_BAR, L"img_caption.png", SHOW_MODE_STRETCH, 0);
    picture(IDC_FOOTER_BAR, L"img_caption.png", SHOW_MODE_STRETCH, 0);
    picture(IDC_LOGO, L"logo/logo.png", SHOW_MODE_NATURAL, 0);
    // The frame's picture of the model keeps its image and place but stays
    // hidden: the key page draws the model where the button map lies over it, on
    // its panel; behind the pages' panels it would show through them, cut.
    m_mousePicture = picture(IDC_MOUSE_PICTURE, L"", SHOW_MODE_NATURAL, 0);
    m_mousePicture->SetVisible(FALSE);

    auto* caption = Make<MText>(*this, L"MText", IDC_CAPTION_TEXT, Manager::GetDeviceName().c_str());
    caption->SetFont(kEmbeddedFontFamily, 18, 0);
    caption->SetTextColor(kPageTextColor);
    caption->SetAlignment(0, 1);
    auto* version = Make<MText>(*this, L"MText", IDC_VERSION_TEXT);
    version->SetFont(kEmbeddedFontFamily, 13, 0);
    version->SetTextColor(kPageDimTextColor);
    version->SetAlignment(2, 1);

    const std::pair<UINT, const wchar_t*> buttons[] = {{IDC_SYSBTN_CLOSE, L"sysbtn_close.png"},
                                                        {IDC_SYSBTN_MIN, L"sysbtn_min.png"},
                                                        {IDC_SYSBTN_MAX, L"sysbtn_maximize.png"},
                                                        {IDC_SYSBTN_SETTING, L"sysbtn_setting.png"}};
    for (const auto& [id, file] : buttons)
        if (auto* button = Make<MControlFont>(*this, L"CImageButton", id)) button->SetImage(file, 4);

    m_battery = Make<BatteryCtrl>(*this, L"BatteryCtrl", IDC_BATTERY);
    m_battery->SetImage(L"icon/icon_battery_bkg.png");
    m_battery->SetBatteryIcon(L"icon/icon_batteryvalue.png", L"icon/icon_charge.png");
    auto* state = Make<MControlFont>(*this, L"CDeviceState", IDC_DEVICE_STATE);
    state->SetFont(kEmbeddedFontFamily, 14, 0);
    state->SetTextColor(kPageTextColor);
    auto* profile = Make<MButton>(*this, L"CIconButton", IDC_PROFILE);
    profile->SetImage(L"img_button.png", 4);
    profile->SetIconImage(L"icon/icon_arrow_up.png", 4);
    profile->SetFont(kEmbeddedFontFamily, 14, 0);
}

void DeviceMainDlg::CreateTabs() {
    m_tabs = Make<MTabCtrl>(*this, L"MTabCtrl", IDC_TABS);
    m_tabs->SetTabType(1);
    m_tabs->SetImage(L"img_tabitem_bkg.png", 3);
    m_tabs->SetFont(kEmbeddedFontFamily, 15, 0);
    m_tabs->SetTabTooltip(FALSE);
    m_tabs->SetControlRect(CRect(1, kTabTop, 1 + kTabWidth, kTabTop + kTabPitch * int(std::size(kTabs))));
    m_tabs->SetTabCtrlWidth(kTabWidth);
    m_tabs->SetTabCtrlHeight(kTabHeight);
    for (const TabDef& tab : kTabs) {
        MControl* page = m_tabs->CreatePanel(tab.container, CRect());
        m_tabs->InsertItem(UINT(tab.itemId), Text(tab.textId).c_str(), tab.icon, page);
        if (tab.itemId == kTabHome) m_homePage = dynamic_cast<MPanel*>(page);
    }
    // The overlay some pages open over their content.
    CreateControl(L"MTabLayout", IDC_PAGE_OVERLAY, CRect(), nullptr, 0);
    m_arrangingView = true;
    m_tabs->SetSelectItem(0);
    m_arrangingView = false;
}

void DeviceMainDlg::CreateHomePage() {
    MPanel& home = *m_homePage;
    m_deviceList = dynamic_cast<CDeviceList*>(home.CreateControl(L"CDeviceList", IDC_DEVICE_LIST, CRect()));
    m_deviceList->SetImage(L"area_device.png", 4);
    m_deviceList->SetDevModeImage(L"device_mode.png");
    m_deviceList->SetBatteryBkg(L"icon/icon_battery_bkg.png");
    m_deviceList->SetBatteryIcon(L"icon/icon_batteryvalue.png", L"icon/icon_charge.png");
    m_deviceList->SetFont(kEmbeddedFontFamily, 15, 0);
    if (auto* area = dynamic_cast<MPicture*>(home.CreateControl(L"MPicture", IDC_HOME_AREA, CRect()))) {
        area->SetImage(L"img_area3.png", 1);
        area->SetShowMode(SHOW_MODE_NINE, 8);
    }
    auto* text = dynamic_cast<MText*>(home.CreateControl(L"MText", IDC_HOME_TEXT, CRect()));
    text->SetFont(kEmbeddedFontFamily, 18, 0);
    text->SetTextColor(kPageTextColor);
    text->SetAlignment(1, 1);
    text->EnableMultiLine(TRUE);
    auto* notice = dynamic_cast<MText*>(home.CreateControl(L"MText", IDC_HOME_NOTICE, CRect(), nullptr, 0));
    notice->SetFont(kEmbeddedFontFamily, 15, 0);
    notice->SetTextColor(Color(0xFFFFC857));
    notice->SetAlignment(1, 0);
    notice->EnableMultiLine(TRUE);
    auto* pairing = dynamic_cast<MControlFont*>(home.CreateControl(L"MButton", IDC_HOME_PAIRING, CRect()));
    pairing->SetImage(L"img_button.png", 4);
    pairing->SetFont(kEmbeddedFontFamily, 15, 0);
}

void DeviceMainDlg::CreatePages() {
    auto add = [this](auto page) {
        auto* raw = page.get();
        m_pages.push_back(std::move(page));
        raw->Create();
        return raw;
    };
    auto container = [this](UINT id) -> MPanel& { return *dynamic_cast<MPanel*>(GetControl(id)); };
    m_keyPage = add(std::make_unique<KeyPage>(*this, container(IDC_PAGE_KEY)));
    m_dpiPage = add(std::make_unique<DpiPage>(*this, container(IDC_PAGE_DPI)));
    m_macroPage = add(std::make_unique<MacroPage>(*this, container(IDC_PAGE_MACRO)));
    m_textPage = add(std::make_unique<TextPage>(*this, container(IDC_PAGE_TEXT)));
    m_lightPage = add(std::make_unique<LightPage>(*this, container(IDC_PAGE_LIGHT)));
    m_devicePage = add(std::make_unique<DevicePage>(*this, container(IDC_PAGE_DEVICE)));
}

std::vector<MainPage*> DeviceMainDlg::Pages() const {
    std::vector<MainPage*> pages;
    for (const auto& page : m_pages) pages.push_back(page.get());
    return pages;
}

MainPage* DeviceMainDlg::GetPage(int tabItemId) const {
    switch (tabItemId) {
        case kTabKey: return m_keyPage;
        case kTabDpi: return m_dpiPage;
        case kTabMacro: return m_macroPage;
        case kTabText: return m_textPage;
        case kTabLight: return m_lightPage;
        case kTabDevice: return m_devicePage;
        default: return nullptr;
    }
}

void DeviceMainDlg::NameSystemButtons() {
    const std::pair<UINT, int> names[] = {{IDC_SYSBTN_CLOSE, kTextClose},
                                          {IDC_SYSBTN_MIN, kTextMinimize},
                                          {IDC_SYSBTN_MAX, IsZoomed() ? kTextRestore : kTextMaximize},
                                          {IDC_SYSBTN_SETTING, kTextSettings}};
    for (const auto& [id, textId] : names)
        if (MControl* button = GetControl(id)) button->SetAccessibleName(Text(textId));
    CHelpButton::SetAccessibleHelpName(Text(kTextHelp));
}

void DeviceMainDlg::ApplyTexts() {
    NameSystemButtons();
    if (auto* version = dynamic_cast<MControlFont*>(GetControl(IDC_VERSION_TEXT))) {
        const std::wstring v = m_model.GetCatalog().software.version;
        version->SetTitle(v.empty() ? L"" : Text(kTextVersion) + L": v" + v);
    }
    for (int i = 0; i < int(std::size(kTabs)); ++i) m_tabs->SetItemText(i, Text(kTabs[i].textId).c_str());
    if (auto* text = dynamic_cast<MControlFont*>(GetControl(IDC_HOME_TEXT))) text->SetTitle(Text(kTextNoMouseHome));
    UpdatePairingButton();
    if (m_deviceList) m_deviceList->SetDevModeDesc(Text(kTextCable), Text(kTextReceiver));
    if (auto* state = dynamic_cast<MControlFont*>(GetControl(IDC_DEVICE_STATE))) {
        const int textId = m_currentView == View::NotConnected ? kTextNoDevice
                           : m_connectionMode == 1            ? kTextReceiver
                                                              : kTextCable;
        state->SetTitle(Text(textId));
    }
}

// ---------------------------------------------------------------- layout

void DeviceMainDlg::UISize(CRect client) {
    if (!m_tabs) return;  // a size before the controls are built
    // The pages' rule: client height / 780. The window keeps 1280 x 800 in
    // proportion (the program's factor follows its size), so a window taller
    // than that shape counts with the height its width gives; the rest is
    // extra room at the bottom instead of pages wider than the window.
    const double height = std::min(double(client.Height()), client.Width() * double(kHeight) / kWidth);
    m_scale = height / kLayoutHeight;
    LayoutFrame(client);
    for (MainPage* page : Pages()) page->Layout(m_scale);
}

void DeviceMainDlg::LayoutFrame(const CRect& client) {
    auto place = [this](UINT id, CRect rect) {
        if (MControl* control = GetControl(id)) control->SetControlRect(rect);
    };
    const int right = client.right;
    const int bottom = client.bottom;
    place(IDC_MAIN_BKG, client);
    place(IDC_TAB_BKG, CRect(1, 1, 201, bottom - 1));
    place(IDC_CAPTION_BAR, CRect(1, 1, right - 1, kCaptionHeight));
    place(IDC_FOOTER_BAR, CRect(1, bottom - kFooterHeight, right - 1, bottom - 1));
    if (auto* logo = dynamic_cast<MPicture*>(GetControl(IDC_LOGO))) {
        const CSize size = logo->GetImageSize();
        // Centred in the caption bar, its left edge where the frame puts it.
        const int top = std::max(1, (kCaptionHeight - size.cy) / 2);
        logo->SetControlRect(CRect(60, top, 60 + size.cx, top + size.cy));
    }
    place(IDC_CAPTION_TEXT, CRect(100, 1, right / 2, kCaptionHeight));
    place(IDC_VERSION_TEXT, CRect(right - 420, bottom - kFooterHeight, right - 30, bottom - 1));
    // The system buttons line up from the right edge: close, minimise, maximise, settings.
    const UINT buttons[] = {IDC_SYSBTN_CLOSE, IDC_SYSBTN_MIN, IDC_SYSBTN_MAX, IDC_SYSBTN_SETTING};
    for (int i = 0; i < 4; ++i) place(buttons[i], CRect(right - 50 - 31 * i, 10, right - 20 - 31 * i, 40));
    PlaceMousePicture();

    // Every visible tab gets its whole 60 pixels: the strip grows with the tab count.
    int visibleTabs = 0;
    for (int i = 0; i < m_tabs->GetItemCount(); ++i) visibleTabs += m_tabs->GetItemVisible(i) ? 1 : 0;
    place(IDC_TABS, CRect(1, kTabTop, 1 + kTabWidth, kTabTop + kTabPitch * visibleTabs));

    // The model's status under the tabs, the profile button at the foot of the strip.
    place(IDC_DEVICE_STATE, CRect(10, bottom - 175, 191, bottom - 145));
    place(IDC_BATTERY, CRect(60, bottom - 138, 141, bottom - 118));
    place(IDC_PROFILE, CRect(15, bottom - 100, 186, bottom - 62));
    if (auto* profile = dynamic_cast<CIconButton*>(GetControl(IDC_PROFILE)))
        profile->SetTextRect(CRect(12, 0, 140, 38), CRect(147, 11, 163, 27));

    const CRect pages(200, 75, right - 1, bottom - kFooterHeight);
    for (const TabDef& tab : kTabs)
        if (tab.container != IDC_PAGE_HOME) place(tab.container, pages);
    place(IDC_PAGE_OVERLAY, pages);
    const CRect home(10, 75, right - 10, bottom - 1);
    place(IDC_PAGE_HOME, home);
    place(IDC_DEVICE_LIST, CRect(90, 130, right - 60, bottom - 100));
    const int boxWidth = 640;
    const int boxLeft = (home.left + home.right - boxWidth) / 2;
    const CRect box(boxLeft, 200, boxLeft + boxWidth, 420);
    place(IDC_HOME_AREA, box);
    place(IDC_HOME_TEXT, CRect(box.left + 40, box.top + 30, box.right - 40, box.bottom - 80));
    place(IDC_HOME_PAIRING, CRect(box.left + 200, box.bottom - 64, box.right - 200, box.bottom - 26));
    place(IDC_HOME_NOTICE, CRect(box.left - 100, box.bottom + 20, box.right + 100, box.bottom + 200));
}

void DeviceMainDlg::PlaceMousePicture() {
    if (!m_mousePicture) return;
    const CSize size = m_mousePicture->GetImageSize();
    if (size.cx <= 1) return;
    const int right = m_rcClient.right;
    m_mousePicture->SetControlRect(CRect(right - size.cx - 160, 145, right - 160, 145 + size.cy));
}

void DeviceMainDlg::OnMaximize() {
    MDialog::OnMaximize();
    if (auto* button = dynamic_cast<MControlFont*>(GetControl(IDC_SYSBTN_MAX)))
        button->SetImage(IsZoomed() ? L"sysbtn_restore.png" : L"sysbtn_maximize.png", 4);
    NameSystemButtons();
}

// ---------------------------------------------------------------- catalog

void DeviceMainDlg::LoadCatalog() {
    m_deviceList->ClearList();
    m_model.LoadCatalog();
    std::vector<int> types;
    for (const CatalogEntry& model : m_model.GetCatalog().models) {
        m_deviceList->AddDevice(model.name, model.deviceType, model.picturePath);
        types.push_back(model.deviceType);
    }
    m_view.SetModels(types);
    ApplyTexts();
    Platform::StopTextInput();
    LoadDeviceDescription();
    RegisterForDeviceNotifications();
    // The first refresh runs here, before the worker starts; later ones run on the worker.
    m_worker.RefreshDevices();
}

void DeviceMainDlg::LoadDeviceDescription() {
    const DeviceDescription description = m_model.LoadModel(Text(kTextProfileName));
    m_desktopParts.GetTrayFacts().modelName = m_model.GetModelName();
    // A repaired or replaced store is told once, when the window can show it.
    const HWND self = m_hWnd;
    Platform::PostTask([self, this] {
        if (Platform::IsWindow(self)) ShowStoreNotices();
    });
    if (m_model.GetDescriptionProblem()) {
        // The model's page would lack its picture and buttons: say why, once per load.
        Platform::PostTask([self, this] {
            if (!Platform::IsWindow(self) || !m_model.GetDescriptionProblem()) return;
            UpdatePermissionNotice();
            ShowMessageText(Text(kTextFilesDamagedTitle), ProductProblemText(m_model.GetDescriptionProblem()),
                            CUIMessageBox::kKindOk);
        });
    }
    if (description.mouseImage) {
        m_mousePicture->SetImage(description.mouseImage->c_str(), 1);
        PlaceMousePicture();
    }
    if (description.lightingPage) {
        m_tabs->SetItemVisible(kLightTabIndex, *description.lightingPage ? TRUE : FALSE);
        LayoutFrame(m_rcClient);
    }
    for (MainPage* page : Pages()) page->OnPageEvent(PageEvent::ModelChanged);
}

void DeviceMainDlg::RegisterForDeviceNotifications() {
    auto backend = DeviceManager::Instance().GetBackend();
    if (!backend) return;
    const HWND self = m_hWnd;
    // Events come on the monitor's thread; the window takes them as messages.
    backend->SetDeviceChangeHandler([self](DeviceChange change, const std::string& path) {
        auto payload = std::make_shared<const std::string>(path);
        const LPARAM pathParam = reinterpret_cast<LPARAM>(payload.get());
        Platform::PostMessageWithPayload(self, WM_DEVICECHANGE, WPARAM(change == DeviceChange::Arrival ? 0 : 1),
                                         pathParam, payload);
    });
}

void DeviceMainDlg::OnDeviceChange(DeviceChange change, const std::string& path) {
    // While the pairing dialog runs, it watches the receiver's interfaces itself.
    if (DonglePairDlg* pairing = DonglePairDlg::GetOpen()) pairing->OnDeviceChange(change, path);
    std::vector<HotplugMode> modes;
    for (const CatalogEntry& entry : m_model.GetCatalog().modes)
        modes.push_back({entry.modeValue, entry.vid, entry.pid, entry.hidInterface});
    HotplugActions actions;
    actions.queueRead = [this](DeviceChangeRead read) { QueueTask(TaskForDeviceChange(read)); };
    actions.closePopups = [this] { ClosePopupWindows(); };
    ::OnDeviceChange(change, path, modes, m_model.GetState().AreDevicesPresent(), DeviceManager::Instance(), actions);
}

// ---------------------------------------------------------------- views

void DeviceMainDlg::SetModelWidgetsVisible(bool visible) {
    for (UINT id : {IDC_BATTERY, IDC_DEVICE_STATE, IDC_PROFILE})
        if (MControl* control = GetControl(id)) control->SetVisible(visible);
}

void DeviceMainDlg::ShowHomePage(bool withDevices) {
    SelectHomeTabQuietly();
    m_tabs->SetVisible(FALSE);
    GetControl(IDC_TAB_BKG)->SetVisible(FALSE);
    GetControl(IDC_PAGE_OVERLAY)->SetVisible(FALSE);
    m_mousePicture->SetVisible(FALSE);
    SetModelWidgetsVisible(false);
    m_homePage->SetVisible(TRUE);
    m_deviceList->SetVisible(withDevices);
    for (UINT id : {IDC_HOME_AREA, IDC_HOME_TEXT, IDC_HOME_PAIRING}) GetControl(id)->SetVisible(!withDevices);
    UpdatePairingButton();
}

void DeviceMainDlg::UpdatePairingButton() {
    // Pairing is the receiver's: without one, the button says what to plug in.
    const bool receiver = DeviceManager::Instance().HasReceiver();
    if (auto* pairing = dynamic_cast<MControlFont*>(GetControl(IDC_HOME_PAIRING))) {
        pairing->SetTitle(Text(receiver ? kTextPairing : kTextPlugReceiver));
        pairing->SetEnabled(receiver ? TRUE : FALSE);
    }
}

void DeviceMainDlg::UpdatePermissionNotice() {
    auto* notice = dynamic_cast<MControlFont*>(GetControl(IDC_HOME_NOTICE));
    if (!notice) return;
    // Without its catalog the program knows no mouse: that, not "no mouse", is the news.
    // A model's missing description is told on the page without a mouse (the list
    // of models stands where the notice would, and a message told it already).
    const bool listShown = m_currentView == View::DeviceList;
    const ProductFileProblem& files =
        m_model.GetCatalogProblem()        ? m_model.GetCatalogProblem()
        : listShown                        ? ProductFileProblem{}
                                           : m_model.GetDescriptionProblem();
    if (auto* home = dynamic_cast<MControlFont*>(GetControl(IDC_HOME_TEXT)))
        home->SetTitle(Text(m_model.GetCatalogProblem() ? kTextFilesDamagedTitle : kTextNoMouseHome));
    if (files) {
        notice->SetTitle(ProductProblemText(files));
        notice->SetVisible(TRUE);
        Vantorel::Trace("main window: %s", files.Describe().c_str());
        return;
    }
    // A mouse this user may not open is not "no mouse": say why and how to fix it.
    PermissionNotice permission;
    if (!GetPermissionNotice(DeviceManager::Instance(), permission)) {
        notice->SetVisible(FALSE);
        return;
    }
    std::wstring text = permission.title + L"\n" + permission.cause + L"\n" + permission.fix;
    if (!permission.command.empty()) text += L"\n" + permission.command;
    notice->SetTitle(text);
    notice->SetVisible(TRUE);
}

void DeviceMainDlg::ShowNotConnectedView() {
    m_currentView = View::NotConnected;
    UpdatePermissionNotice();
    // A receiver that answers without its mouse is not "no mouse".
    TrayFacts& facts = m_desktopParts.GetTrayFacts();
    facts.link = TrayFacts::Link::None;
    for (const DeviceRecord& r : DeviceManager::Instance().GetRecords())
        if (r.deviceType == m_model.GetState().GetCurrentDeviceType() && r.deviceMode == kModeReceiver &&
            r.online == kReceiverOffline)
            facts.link = TrayFacts::Link::ReceiverWithoutMouse;
    facts.batteryLevel = 0;
    m_desktopParts.UpdateTray();
    if (auto* state = dynamic_cast<MControlFont*>(GetControl(IDC_DEVICE_STATE))) state->SetTitle(Text(kTextNoDevice));
    ShowHomePage(false);
}

void DeviceMainDlg::ShowDeviceListView(int deviceMode) {
    m_currentView = View::DeviceList;
    UpdatePermissionNotice();
    m_connectionMode = deviceMode;
    const TrayFacts::Link link = deviceMode == 1 ? TrayFacts::Link::Receiver : TrayFacts::Link::Cable;
    TrayFacts& facts = m_desktopParts.GetTrayFacts();
    if (facts.link != link) facts.batteryLevel = 0;  // read again for this connection
    facts.link = link;
    m_desktopParts.UpdateTray();
    if (auto* state = dynamic_cast<MControlFont*>(GetControl(IDC_DEVICE_STATE)))
        state->SetTitle(Text(deviceMode == 1 ? kTextReceiver : kTextCable));
    ShowHomePage(true);
}

void DeviceMainDlg::SelectHomeTabQuietly() {
    // The views arrange the strip themselves: its notification is not a user's tab switch.
    m_arrangingView = true;
    m_tabs->SetSelectItem(0);
    m_arrangingView = false;
    if (MainPage* old = GetPage(m_model.GetState().GetCurrentTab())) old->OnShow(false);
    m_model.GetState().SetCurrentTab(kTabHome);
}

void DeviceMainDlg::ShowModelView() {
    m_currentView = View::Model;
    m_tabs->SetVisible(TRUE);
    GetControl(IDC_TAB_BKG)->SetVisible(TRUE);
    SetModelWidgetsVisible(true);
    GetControl(IDC_CAPTION_BAR)->SetVisible(TRUE);
}

std::wstring DeviceMainDlg::GetHomeNotice() const {
    auto* notice = dynamic_cast<MControlFont*>(const_cast<DeviceMainDlg*>(this)->GetControl(IDC_HOME_NOTICE));
    return notice && notice->IsVisible() ? notice->GetTitle() : L"";
}

// ---------------------------------------------------------------- actions

void DeviceMainDlg::QueueTask(const WorkerTask& task) {
    m_model.QueueTask(task);
}

void DeviceMainDlg::QueueTask(const WorkerTask& task, TaskDone done) {
    m_model.QueueTask(task, std::move(done));
}

void DeviceMainDlg::NoteServiceChange() {
    if (m_service) m_service->NoteChange();
}

void DeviceMainDlg::ShowStoredValues() {
    // What a read of the mouse shows: every page from the store.
    for (WindowReaction reaction : ReactionsTo(DeviceEvent::StateRead, m_model.GetState().HasLightingPage()))
        React(reaction);
}

void DeviceMainDlg::SwitchModel() {
    const int selected = m_deviceList->GetSelectDevice();
    if (m_model.ChooseModel(selected)) {
        m_desktopParts.ResetLowBattery();
        LoadDeviceDescription();
        QueueTask(kTaskReadAfterSwitch);
    }
    LayoutFrame(m_rcClient);
    ShowModelView();
    // The first page after home: the key page.
    m_tabs->SetSelectItem(1);
    OnTabChanged();
}

void DeviceMainDlg::SelectTab(int itemId) {
    for (int i = 0; i < m_tabs->GetItemCount(); ++i) {
        if (int(m_tabs->GetItemID(i)) != itemId) continue;
        if (m_currentView != View::Model && itemId != kTabHome) ShowModelView();
        m_tabs->SetSelectItem(i);
        OnTabChanged();
        return;
    }
}

void DeviceMainDlg::EnableNavigation(bool enable) {
    for (UINT id : {UINT(IDC_TABS), UINT(IDC_PROFILE)})
        if (MControl* control = GetControl(id)) control->SetEnabled(enable ? TRUE : FALSE);
}

void DeviceMainDlg::OnTabChanged() {
    if (m_arrangingView) return;
    if (MControl* overlay = GetControl(IDC_PAGE_OVERLAY); overlay && overlay->IsVisible()) overlay->SetVisible(FALSE);
    const int index = m_tabs->GetSelectItem();
    const int id = index >= 0 ? int(m_tabs->GetItemID(index)) : kTabHome;
    const int previous = m_model.GetState().GetCurrentTab();
    if (id == previous && m_currentView == View::Model) return;
    if (id == kTabHome) {
        // Home is the device list: back to that view.
        ShowDeviceListView(m_connectionMode);
        return;
    }
    if (MainPage* old = GetPage(previous)) old->OnShow(false);
    m_model.GetState().SetCurrentTab(id);
    if (MainPage* page = GetPage(id)) page->OnShow(true);
}

void DeviceMainDlg::SwitchProfile(int32_t profile, TaskDone done) {
    if (profile <= 0) return;
    const std::wstring name = m_model.SwitchProfile(profile, std::move(done));
    SetProfileTitle(name);
    for (MainPage* page : Pages()) page->OnPageEvent(PageEvent::ProfileChanged);
}

void DeviceMainDlg::OpenProfilePopup() {
    if (!m_model.GetState().IsConnected()) {
        ShowMessage(kTextNotice, kTextNotConnected, CUIMessageBox::kKindOk);
        return;
    }
    MControl* button = GetControl(IDC_PROFILE);
    CRect rect = button->GetRect();
    ClientToScreen(rect);
    ProfileDlg popup(DataStore::Instance(), m_model.GetState().GetCurrentProfile(), m_hWnd);
    if (!popup.CreateAbove(m_hWnd, rect)) return;
    popup.ShowModal(SW_SHOWNORMAL);
    if (popup.GetSafeHwnd()) popup.DestroyWindow();
}

void DeviceMainDlg::OpenSettings() {
    ShowSettingDlg(m_hWnd, m_model.GetCatalog().software, HasTray());
}

void DeviceMainDlg::OpenPairing() {
    if (!DeviceManager::Instance().HasReceiver()) {
        UpdatePairingButton();
        return;
    }
    // The worker drops its tasks while the dialog talks to the receiver; afterwards
    // the devices are read again.
    if (RunDonglePairing(m_hWnd, m_model.GetState(), DeviceManager::Instance(), m_pairingTimings))
        QueueTask(kTaskReadAfterChangeLong);
}

int DeviceMainDlg::ShowMessage(int titleTextId, int messageTextId, int kind) {
    return ShowMessageText(Text(titleTextId), Text(messageTextId), kind);
}

int DeviceMainDlg::ShowMessageText(const std::wstring& title, const std::wstring& message, int kind) {
    return ShowMessageBox(message.c_str(), m_hWnd, title.c_str(), kind);
}

void DeviceMainDlg::ShowWaitDialog() {
    if (m_wait) return;  // one at a time: the open one ends with its task
    // A script may reset the mouse while the window rests in the notification area.
    if (!IsWindowVisible()) return;
    WaitDlg wait;
    if (!wait.CreateOver(m_hWnd)) return;
    m_wait = &wait;
    wait.ShowModal(SW_SHOW);
    m_wait = nullptr;
    if (wait.GetSafeHwnd()) wait.DestroyWindow();
}

void DeviceMainDlg::BroadcastPageEvent(PageEvent event, MainPage* from) {
    for (MainPage* page : Pages())
        if (page != from) page->OnPageEvent(event);
}

void DeviceMainDlg::ClosePopupWindows() {
    auto post = [](const wchar_t* title, WPARAM wParam) {
        for (HWND hwnd : Platform::FindWindows(title)) Platform::PostMessage(hwnd, WM_CLOSE, wParam, 0);
    };
    post(L"CloseWindowTipDlg", 0);
    post(L"CustomKeyDlg", 0);
    if (m_wait && m_wait->GetSafeHwnd()) m_wait->DoOK();
    post(L"MessageBox", 2);
    post(L"Menu Window", 0);
    for (const wchar_t* title : {L"KeyboardTip Window", L"ComboWnd", L"PaletteDlg"})
        for (HWND hwnd : Platform::FindWindows(title)) Platform::ShowWindow(hwnd, SW_HIDE);
    for (MainPage* page : Pages()) page->OnPageEvent(PageEvent::DeviceChanged);
}

void DeviceMainDlg::ShowStoreNotices() {
    if (m_showingStoreNotice) return;
    m_showingStoreNotice = true;
    DataStore& store = DataStore::Instance();
    const StoreNotice notice = store.TakeOpenNotice();
    if (notice.kind == StoreNotice::Kind::Repaired) {
        ShowMessage(kTextStoreRepairedTitle, kTextStoreRepaired, CUIMessageBox::kKindOk);
    } else if (notice.kind == StoreNotice::Kind::MovedAside) {
        std::wstring text = Text(kTextStoreReplaced);
        const size_t at = text.find(L"{file}");
        if (at != std::wstring::npos) text.replace(at, 6, Utf8ToWide(notice.movedTo));
        ShowMessageText(Text(kTextStoreRepairedTitle), text, CUIMessageBox::kKindOk);
    }
    // One notice while the store cannot be written, not one per change.
    std::string reason;
    if (store.TakeUnusableNotice(reason)) {
        if (store.IsBusy()) {
            std::wstring text = Text(kTextStoreBusy);
            const size_t at = text.find(L"{file}");
            if (at != std::wstring::npos) text.replace(at, 6, Utf8ToWide(store.GetPath()));
            ShowMessageText(Text(kTextNotice), text, CUIMessageBox::kKindOk);
        } else {
            ShowMessageText(Text(kTextNotice), Text(kTextStoreUnusable) + L"\n" + Utf8ToWide(reason),
                            CUIMessageBox::kKindOk);
        }
    }
    m_showingStoreNotice = false;
}

void DeviceMainDlg::TellStoreProblems() {
    ShowStoreNotices();
}

void DeviceMainDlg::TellRefusedWrite() {
    ShowMessageText(Text(kTextNotice), Text(kTextWriteRefused), CUIMessageBox::kKindOk);
}

void DeviceMainDlg::OnCloseButton() {
    // Hidden only when the notification area can bring the window back.
    if (ReadAppRegInt(L"exit_mode") == 1 || !HasTray()) {
        ExitProgram();
        return;
    }
    ShowWindow(SW_HIDE);
}

void DeviceMainDlg::OnLanguageChanged() {
    ApplyTexts();
    UpdatePermissionNotice();
    m_desktopParts.UpdateTray();
    std::wstring name;
    if (m_model.GetProfileName(name)) SetProfileTitle(name);
    for (MainPage* page : Pages()) page->OnLanguageChanged();
    NoteServiceChange();  // profile names follow the language
}

// ---------------------------------------------------------------- messages

LRESULT DeviceMainDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Key capture and recording where no system-wide input source exists.
    FeedWindowInput(msg, wParam, lParam);
    switch (msg) {
        case WM_DEVICECHANGE: {
            // wParam 0 arrival, 1 removal; the payload is the interface path.
            const auto* path = reinterpret_cast<const std::string*>(lParam);
            if (path) OnDeviceChange(wParam == 0 ? DeviceChange::Arrival : DeviceChange::Removal, *path);
            return 0;
        }
        case WM_TRAY_CALLBACK:
            if (wParam == 1 || wParam == 2) {
                m_desktopParts.OnTrayAvailability(*this, wParam == 1);
                return 0;
            }
            if (wParam == 3) {
                OnTrayProfile(int32_t(lParam));
                return 0;
            }
            if (lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK) ShowMainWindow();
            return 0;
        case WM_SYSTEM_RESUMED:
            QueueTask(kTaskReadAfterChangeLong);
            return 0;
        case WM_EXIT_REQUEST:
            if (lParam == 610) ExitProgram();
            return 0;
        case WM_COMMAND:
            if (wParam == 100) {
                ExitProgram();
                return 0;
            }
            if (wParam == 102) {
                OpenSettings();
                return 0;
            }
            break;
        case WM_PROFILE_COMMAND:
            if (wParam == kProfileSwitch) {
                SwitchProfile(int32_t(lParam));
                return 0;
            }
            break;
        case WM_LANGUAGE_CHANGED:
            OnLanguageChanged();
            return 0;
        default:
            break;
    }
    // Raw input, the macro list's menu, profile files: the pages take what is theirs.
    if (msg == WM_INPUT || msg == WM_MACRO_MENU || msg == WM_PROFILE_COMMAND) {
        LRESULT result = 0;
        for (MainPage* page : Pages())
            if (page->OnWindowMessage(msg, wParam, lParam, result)) return result;
        // Profile files that no page kept back (a recording does).
        if (msg == WM_PROFILE_COMMAND) ProfileFiles(*this).Run(wParam);
        return 0;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
}

LRESULT DeviceMainDlg::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    if (id == IDC_TABS) {
        OnTabChanged();
        return 1;
    }
    if (code == Notify::Clicked) {
        switch (id) {
            case IDC_SYSBTN_CLOSE:
                OnCloseButton();
                return 1;
            case IDC_SYSBTN_MIN:
                OnMinimize();
                return 1;
            case IDC_SYSBTN_MAX:
                OnMaximize();
                return 1;
            case IDC_SYSBTN_SETTING:
                OpenSettings();
                return 1;
            case IDC_PROFILE:
                OpenProfilePopup();
                return 1;
            case IDC_DEVICE_LIST:
                SwitchModel();
                return 1;
            case IDC_HOME_PAIRING:
                OpenPairing();
                return 1;
            default:
                break;
        }
    }
    for (MainPage* page : Pages()) {
        if (!page->OwnsControl(id)) continue;
        const LRESULT result = page->OnMessage(id, code, wParam, lParam);
        NoteServiceChange();
        // A page's change that could not be stored is told (once per condition).
        if (DataStore::Instance().IsUnusable()) ShowStoreNotices();
        return result;
    }
    return 0;
}

// ---------------------------------------------------------------- the worker's view

void DeviceMainDlg::SetBatteryInfo(int level, int charging) {
    m_battery->SetBatteryInfo(level, charging);
    TrayFacts& facts = m_desktopParts.GetTrayFacts();
    facts.batteryLevel = level;
    facts.charging = charging != 0;
    m_desktopParts.UpdateTray();
    // A mouse on its receiver runs on its battery: say so before it runs out.
    if (m_connectionMode == 1) m_desktopParts.OnBattery(m_model.GetModelName(), level, charging != 0);
}

void DeviceMainDlg::SetDeviceBattery(int deviceType, int charging, int level) {
    m_deviceList->SetDeviceBattery(deviceType, charging, level);
}

void DeviceMainDlg::SetAllDeviceState(int state) {
    m_deviceList->SetAllDeviceState(state);
}

void DeviceMainDlg::SetDeviceState(int deviceType, int deviceMode, int online) {
    m_deviceList->SetDeviceState(deviceType, deviceMode, online);
    // The receiver of a mouse that stopped answering says so after the view changed.
    if (m_currentView == View::NotConnected && deviceType == m_model.GetState().GetCurrentDeviceType() &&
        deviceMode == kModeReceiver && online == kReceiverOffline) {
        m_desktopParts.GetTrayFacts().link = TrayFacts::Link::ReceiverWithoutMouse;
        m_desktopParts.UpdateTray();
    }
}

void DeviceMainDlg::SetDeviceVersion(int deviceType, int release) {
    m_deviceList->SetDeviceVersion(deviceType, release);
}

int DeviceMainDlg::SelectDevice(int deviceType) {
    m_deviceList->SetSelectDevice(deviceType);
    return m_deviceList->GetSelectDevice();
}

void DeviceMainDlg::SetMouseVersionLabel(const std::wstring& text) {
    m_devicePage->SetMouseVersionLabel(text);
}

void DeviceMainDlg::SetReceiverVersionLabel(const std::wstring& text) {
    m_devicePage->SetReceiverVersionLabel(text);
}

void DeviceMainDlg::SetProfileTitle(const std::wstring& name) {
    if (auto* profile = dynamic_cast<MControlFont*>(GetControl(IDC_PROFILE))) profile->SetTitle(name);
    // Every change of the active profile or of the language shows its name here:
    // the tray's profile list follows.
    std::vector<ProfileData> profiles;
    DataStore::Instance().ListProfiles(profiles, GetCurrentLcid());
    TrayFacts& facts = m_desktopParts.GetTrayFacts();
    facts.profiles.clear();
    for (const ProfileData& p : profiles) facts.profiles.push_back({p.profile, p.name});
    facts.activeProfile = m_model.GetState().GetCurrentProfile();
    m_desktopParts.UpdateTray();
}

void DeviceMainDlg::SelectDpiStage(int index) {
    for (MainPage* page : Pages()) page->OnDpiStageChanged(index);
}

void DeviceMainDlg::OnDeviceEvent(DeviceEvent event) {
    for (WindowReaction reaction : ReactionsTo(event, m_model.GetState().HasLightingPage())) React(reaction);
}

void DeviceMainDlg::React(WindowReaction reaction) {
    switch (reaction) {
        case WindowReaction::ReloadButtons:
            m_keyPage->Reload();
            break;
        case WindowReaction::ReloadMacros:
            m_macroPage->Reload();
            m_keyPage->OnPageEvent(PageEvent::MacroLibraryChanged);
            break;
        case WindowReaction::ReloadDpiPerformance:
            m_dpiPage->Reload();
            m_devicePage->Reload();  // its power options come with the same read
            break;
        case WindowReaction::ReloadLighting:
            m_lightPage->Reload();
            break;
        case WindowReaction::StopMacroRecording:
            for (MainPage* page : Pages()) page->OnPageEvent(PageEvent::DeviceChanged);
            break;
        case WindowReaction::ClosePopups:
            ClosePopupWindows();
            break;
    }
}

void DeviceMainDlg::CloseWaitDialog() {
    if (m_wait && m_wait->GetSafeHwnd()) m_wait->DoOK();
}

void DeviceMainDlg::EnableMainWindow(bool enable) {
    EnableWindow(enable ? TRUE : FALSE);
}
