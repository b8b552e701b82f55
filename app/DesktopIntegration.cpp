#include "app/DesktopIntegration.h"

#include "device/PermissionNotice.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Platform.h"
#include "platform/ApplicationId.h"
#include "platform/DesktopServices.h"
#include "base/Folders.h"
#include "platform/TrayIcon.h"
#include "platform/dbus/DesktopNotifier.h"
#include "platform/dbus/SleepMonitor.h"

using namespace Orvix;

DesktopIntegration::DesktopIntegration() : m_tray(std::make_unique<NoTrayIcon>()) {}

DesktopIntegration::~DesktopIntegration() {
    m_sleep.reset();
    m_tray.reset();
}

void DesktopIntegration::SetTrayIcon(std::unique_ptr<TrayIcon> tray) {
    m_tray = tray ? std::move(tray) : std::make_unique<NoTrayIcon>();
}

void DesktopIntegration::EnableDesktopServices(const std::string& sessionBus, const std::string& systemBus) {
    m_notifier = std::make_unique<DesktopNotifier>(sessionBus, Manager::GetDeviceName(), kApplicationId,
                                                   JoinPath(GetSkinFolder(), L"icon/app_icon.png"));
    m_sessionBus = sessionBus;
    m_systemBus = systemBus;
}

void DesktopIntegration::Start(HWND window, const std::wstring& applicationName) {
    m_trayFacts.applicationName = applicationName;
    // The icon's events may come on another thread; the window handles them.
    TrayIcon::Callbacks callbacks;
    callbacks.activate = [window] { Platform::PostMessage(window, WM_TRAY_CALLBACK, 0, WM_LBUTTONDOWN); };
    callbacks.exitRequested = [window] { Platform::PostMessage(window, WM_COMMAND, 100, 0); };
    callbacks.availabilityChanged = [window](bool available) {
        Platform::PostMessage(window, WM_TRAY_CALLBACK, available ? 1 : 2, 0);
    };
    callbacks.profileChosen = [window](int32_t profile) {
        Platform::PostMessage(window, WM_TRAY_CALLBACK, 3, LPARAM(profile));
    };
    m_tray->Add(JoinPath(GetSkinFolder(), L"icon/app_icon.png"), BuildTrayStatus(m_trayFacts), std::move(callbacks));
    if (!m_systemBus.empty()) {
        m_sleep = std::make_unique<SleepMonitor>(m_systemBus);
        // After a wake-up the mouse may have been re-enumerated: read it again as after a plug.
        m_sleep->Start([window](bool sleeping) {
            if (!sleeping) Platform::PostMessage(window, WM_SYSTEM_RESUMED, 0, 0);
        });
    }
}

void DesktopIntegration::Stop() {
    m_sleep.reset();
    // Leaves the notification area at once (the icon's own thread ends with it).
    m_tray = std::make_unique<NoTrayIcon>();
}

bool DesktopIntegration::HasTray() const {
    return m_tray && m_tray->IsAvailable();
}

bool DesktopIntegration::IsListeningForResume() const {
    return m_sleep && m_sleep->IsListening();
}

void DesktopIntegration::UpdateTray() {
    if (m_tray) m_tray->Update(BuildTrayStatus(m_trayFacts));
}

bool DesktopIntegration::Notify(const std::wstring& title, const std::wstring& body, int urgency, const char* tag) {
    if (!m_notifier) return false;
    m_notifier->Notify(title, body, DesktopNotifier::Urgency(urgency), tag);
    return true;
}

void DesktopIntegration::OnBattery(const std::wstring& modelName, int level, bool charging) {
    if (!m_notifier) return;
    if (const int threshold = m_lowBattery.Feed(level, charging)) {
        const LowBatteryNotice notice = MakeLowBatteryNotice(modelName, level, threshold);
        m_notifier->Notify(notice.title, notice.body,
                           notice.critical ? DesktopNotifier::Urgency::Critical : DesktopNotifier::Urgency::Normal,
                           "battery");
    }
}

bool DesktopIntegration::NotifyTypingFallback(const PasteFallback& fallback, std::wstring& title,
                                              std::wstring& body) {
    m_typingNoticeShown = true;
    const PermissionNotice notice =
        GetUinputNotice(fallback.problem, fallback.node, fallback.error, fallback.pasted);
    title = notice.title;
    body = notice.cause + L"\n" + notice.fix;
    if (!notice.command.empty()) body += L"\n" + notice.command;
    return Notify(title, body, int(DesktopNotifier::Urgency::Normal), "typing");
}

void DesktopIntegration::OnTrayAvailability(MDialog& window, bool available) {
    if (available) {
        if (m_startHidden && window.IsIconic()) window.ShowWindow(SW_HIDE);
        m_startHidden = false;
        return;
    }
    if (!window.IsWindowVisible()) window.ShowWindow(SW_SHOWMINIMIZED);
}
