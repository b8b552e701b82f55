#pragma once
// The main window's place on the desktop: its icon in the notification area (with
// what it shows), the desktop's notifications (low battery, typing that fell back,
// automatic profile switches), and the wake-up from sleep. Everything it hears on
// other threads reaches the window as a message, handled on the UI thread.
#include <cstdint>
#include <memory>
#include <string>

#include "app/TrayStatusBuilder.h"
#include "features/LowBatteryWatch.h"
#include "orvix/core/MDialog.h"

class DesktopNotifier;
class DesktopServices;
class SleepMonitor;
class TrayIcon;
struct PasteFallback;

// Messages the integration posts to the window.
constexpr Orvix::UINT WM_TRAY_CALLBACK = Orvix::WM_USER + 666;  // 1690
constexpr Orvix::UINT WM_SYSTEM_RESUMED = Orvix::WM_USER + 700;  // the computer woke from sleep

class DesktopIntegration {
  public:
    DesktopIntegration();
    ~DesktopIntegration();
    DesktopIntegration(const DesktopIntegration&) = delete;
    DesktopIntegration& operator=(const DesktopIntegration&) = delete;

    // Before Start: the tray icon (none by default), the buses (empty: none).
    void SetTrayIcon(std::unique_ptr<TrayIcon> tray);
    void EnableDesktopServices(const std::string& sessionBus, const std::string& systemBus);
    const std::string& GetSessionBus() const { return m_sessionBus; }

    // Adds the tray icon and listens for the wake-up; both post to `window`.
    void Start(Orvix::HWND window, const std::wstring& applicationName);
    // Leaves the notification area at once and stops listening.
    void Stop();

    // True while the icon in the notification area can bring the window back.
    bool HasTray() const;
    bool IsListeningForResume() const;

    // What the tray shows; UpdateTray after a change.
    TrayFacts& GetTrayFacts() { return m_trayFacts; }
    void UpdateTray();

    // A notification when the desktop offers them; false when it does not.
    bool Notify(const std::wstring& title, const std::wstring& body, int urgency, const char* tag);
    // A mouse on its receiver runs on its battery: said before it runs out.
    void OnBattery(const std::wstring& modelName, int level, bool charging);
    void ResetLowBattery() { m_lowBattery.Reset(); }
    // Typing could not take the virtual keyboard: said once. False when there is
    // no notification to say it with (the window says it then).
    bool IsTypingNoticeShown() const { return m_typingNoticeShown; }
    bool NotifyTypingFallback(const PasteFallback& fallback, std::wstring& title, std::wstring& body);

    // The notification area came or went: a start with the session waits minimised
    // until its icon is there; without one a hidden window could not be found again.
    void OnTrayAvailability(Orvix::MDialog& window, bool available);
    void SetStartHidden(bool hidden) { m_startHidden = hidden; }

  private:
    std::unique_ptr<TrayIcon> m_tray;
    TrayFacts m_trayFacts;
    std::unique_ptr<DesktopNotifier> m_notifier;
    std::unique_ptr<SleepMonitor> m_sleep;
    std::string m_sessionBus;
    std::string m_systemBus;
    LowBatteryWatch m_lowBattery;
    bool m_typingNoticeShown = false;
    bool m_startHidden = false;
};
