#pragma once
// Profiles that follow the application in front, on the UI thread. While the
// setting is on, the window watch reports each change of the window in front;
// once an application has stayed in front for 300 ms, the profile its rules
// choose is switched to exactly as choosing it in the profile pop-up does (the
// main window's message 1705 with wParam 0: the store, the profile label and
// one "write everything" task). Nothing is switched while one of the program's
// dialogs is open or a macro is being recorded (it is once that ends), nor for
// the program's own windows, nor while no mouse is connected. An optional
// desktop notification says which profile became active and why.
//
// Off, it costs nothing: no thread, no connection, no timer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "features/AppProfileRules.h"
#include "orvix/platform/WinTypes.h"
#include "platform/WindowWatch.h"

class DataStore;

// Settings store names.
inline constexpr wchar_t kAutoProfileSetting[] = L"auto_profile";
inline constexpr wchar_t kAutoProfileNotifySetting[] = L"auto_profile_notify";

class AutoProfileSwitcher {
  public:
    // The main window's part.
    struct Host {
        Orvix::HWND window = nullptr;                   // receives message 1705
        std::function<int32_t()> currentProfile;        // the profile the window shows
        std::function<bool()> connected;                // a mouse to send the profile to
        std::function<bool()> busy;                     // a dialog open, a macro recording
        std::function<void(const std::wstring& title, const std::wstring& body)> notify;
    };
    // While a switch waits for a dialog or a recording to end, it is tried this often.
    static constexpr Orvix::UINT kBusyRetryMs = 250;

    AutoProfileSwitcher(Host host, DataStore& store);
    ~AutoProfileSwitcher();
    AutoProfileSwitcher(const AutoProfileSwitcher&) = delete;
    AutoProfileSwitcher& operator=(const AutoProfileSwitcher&) = delete;

    // Tests and the benchmark replace the providers; the session kind too.
    WindowWatch& GetWatch() { return m_watch; }
    void SetSession(WatchSession session) { m_session = session; m_sessionSet = true; }

    // Follows the stored setting: starts or stops the watch.
    void ApplySetting();
    // Turns the feature on or off and stores the choice.
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return m_enabled; }
    bool IsWatching() const { return m_watch.IsRunning(); }
    WatchSession GetSession() const { return m_session; }
    WindowWatch::Coverage GetCoverage() const { return m_watch.GetCoverage(); }

    // "The application in front now" of the rules editor: the watch runs (also
    // with the feature off, then without switching) until EndCapture, which gives
    // the last application other than the program seen in front meanwhile or
    // before. False when there was none.
    bool BeginCapture();
    bool EndCapture(FocusedWindow& window, std::wstring& entryId);

    // Called on the UI thread with every report (the benchmark also listens here).
    void SetSwitchObserver(std::function<void(int32_t profile, int64_t focusAtMs)> observer) {
        m_observer = std::move(observer);
    }

  private:
    void StartWatch();
    void StopWatchUnlessNeeded();
    void OnReport(const FocusReport& report);
    void Arm(Orvix::UINT ms);
    void Disarm();
    void Settle();
    void TrySwitch();
    std::wstring Reason(const ProfileChoice& choice, const FocusedWindow& window) const;

    Host m_host;
    DataStore& m_store;
    WindowWatch m_watch;
    WatchSession m_session = WatchSession::None;
    bool m_sessionSet = false;
    bool m_enabled = false;
    FocusDebounce m_debounce;
    std::shared_ptr<bool> m_alive;
    Orvix::UINT m_ticker = 0;
    bool m_capturing = false;

    // The report the switch is waiting on (a dialog was open).
    bool m_waiting = false;
    FocusedWindow m_settled;
    std::wstring m_settledEntry;
    std::wstring m_settledName;
    int64_t m_settledSince = 0;   // when the provider saw it come to the front (steady ms)
    std::wstring m_pendingEntry;  // entry and name of the window waiting to settle
    std::wstring m_pendingName;

    FocusedWindow m_lastForeign;
    std::wstring m_lastForeignEntry;
    bool m_hasLastForeign = false;

    std::function<void(int32_t, int64_t)> m_observer;
};
