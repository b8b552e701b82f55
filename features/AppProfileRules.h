#pragma once
// Profiles that follow the application in front: which application a window
// belongs to, which profile its rules choose, how long it must stay in front,
// and how a profile's applications are kept in the store. Pure: no window, no
// file, no clock of its own.
//
// Rules are kept in the profile row's `app` text, so a profile takes its
// applications along and nothing else in the store changes. The text is a list
// of entries separated by ";", each "kind=value" with "%" and ";" of the value
// written as %25 and %3B:
//     desktop=firefox-esr.desktop;class=steam;default=1
// An older program reads it as the plain string it always was; entries of a kind
// this program does not know are kept as they are when the list is written back.
#include <cstdint>
#include <string>
#include <vector>

// An application as a rule names it: by its desktop entry id where one matched
// ("org.gnome.Calculator.desktop"), otherwise by its window class.
struct AppRef {
    enum class Kind { Entry, Class };
    Kind kind = Kind::Entry;
    std::wstring value;

    bool operator==(const AppRef&) const = default;
};

// What a profile's `app` text holds.
struct ProfileApps {
    std::vector<AppRef> apps;
    bool isDefault = false;              // chosen when no rule matches
    std::vector<std::wstring> unknown;   // entries of other kinds, kept verbatim

    bool operator==(const ProfileApps&) const = default;
};

ProfileApps DecodeProfileApps(const std::wstring& text);
std::wstring EncodeProfileApps(const ProfileApps& apps);
// Adds the application unless the list has it; true when added.
bool AddApp(ProfileApps& apps, const AppRef& app);
bool RemoveApp(ProfileApps& apps, const AppRef& app);

// The window in front as a window-watch provider sees it. Providers fill what
// their session tells: X11 the class pair and the process, KDE the class and
// the desktop file name, wlroots the app id.
struct FocusedWindow {
    std::wstring appId;       // desktop file name or Wayland app id ("" when not told)
    std::wstring wmClass;     // WM_CLASS class part ("Firefox-esr")
    std::wstring wmInstance;  // WM_CLASS instance part ("Navigator")
    std::string executable;   // the process's executable path ("" when unknown)
    int pid = 0;
    bool own = false;         // one of this program's windows
    std::wstring title;       // for the trace only

    // True when both name the same application (another window of it counts as the same).
    bool SameApplication(const FocusedWindow& other) const;
    bool IsEmpty() const { return appId.empty() && wmClass.empty() && wmInstance.empty() && executable.empty(); }
};

// An installed application (a desktop entry), as the resolution needs it.
struct AppEntry {
    std::wstring id;              // "firefox-esr.desktop"; below subfolders "kde4-foo.desktop"
    std::wstring name;            // Name in the user's language
    std::wstring iconPath;        // a picture file, "" when none was found
    std::wstring startupWmClass;  // StartupWMClass
    // Names the entry's Exec program goes by: its first argument's file name and
    // that of the file it resolves to ("firefox-esr", and "firefox-esr" under /usr/lib).
    std::vector<std::string> execNames;
};

// The desktop entry a window belongs to, "" when none does. In order: the
// id the session told (app id or desktop file name, with or without
// ".desktop"), an entry whose StartupWMClass is the window's class or
// instance, an entry whose Exec program is the window process's executable,
// an entry whose id is the window's class or instance (case ignored).
std::wstring ResolveEntryId(const FocusedWindow& window, const std::vector<AppEntry>& entries);

// How a rule, the pick-from-the-front button and the lists name a window's application.
AppRef AppRefFor(const FocusedWindow& window, const std::wstring& entryId);

// One profile's rules, as the switch reads them from the store.
struct ProfileRules {
    int32_t profile = 0;
    ProfileApps apps;
};

// Which profile the window in front chooses and why.
struct ProfileChoice {
    enum class Reason { None, Rule, Default };
    int32_t profile = 0;  // 0: keep the current profile
    Reason reason = Reason::None;
    AppRef matched;       // Rule: the rule that matched
};
// A rule naming the entry id matches first, then one naming the window's class
// or instance (case ignored; a Wayland app id counts as a class). An
// application listed under two profiles goes to the first. Without a match, the
// profile marked default; without one, 0.
ProfileChoice ChooseProfile(const std::vector<ProfileRules>& rules, const FocusedWindow& window,
                            const std::wstring& entryId);

// A switch only after the application has stayed in front for `settleMs`:
// focus flapping between applications switches nothing, and the application
// that settles is reported once (until another one settles).
class FocusDebounce {
  public:
    static constexpr int64_t kSettleMs = 300;
    explicit FocusDebounce(int64_t settleMs = kSettleMs) : m_settleMs(settleMs) {}

    // A window came to the front at `nowMs`. Another window of the application
    // waiting to settle does not restart its wait. True when this window's
    // application now waits (it was not waiting already).
    bool Feed(const FocusedWindow& window, int64_t nowMs);
    // Milliseconds until the waiting application settles; -1 when none waits.
    int64_t TimeUntilDue(int64_t nowMs) const;
    // The application that has settled by `nowMs`, once; false when none has, or
    // when it is the one reported last.
    bool TakeSettled(int64_t nowMs, FocusedWindow& window);
    // The application reported last is forgotten: it is reported again when it settles.
    void Forget() { m_reported = FocusedWindow(); m_hasReported = false; }
    // When the waiting application came to the front (for the benchmark's figures).
    int64_t PendingSince() const { return m_since; }

  private:
    int64_t m_settleMs;
    FocusedWindow m_pending;
    bool m_hasPending = false;
    int64_t m_since = 0;
    FocusedWindow m_reported;
    bool m_hasReported = false;
};

// The kind of desktop session, from its environment, and which window-watch
// provider serves it.
enum class WatchSession {
    None,     // no display at all
    X11,      // an X11 session: _NET_ACTIVE_WINDOW on the root window
    KWin,     // KDE Plasma on Wayland: a KWin script reports the active window
    Wlroots,  // another Wayland compositor: the foreign-toplevel protocol, if it has it
    Gnome,    // GNOME on Wayland: only X11 windows (through XWayland) can be seen
};
struct SessionEnvironment {
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string display;         // DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string currentDesktop;  // XDG_CURRENT_DESKTOP (colon-separated)
    std::string kdeSession;      // KDE_FULL_SESSION
};
WatchSession DetectWatchSession(const SessionEnvironment& env);
