#pragma once
// The main window's icon in the desktop's notification area. The window asks for
// it at start and drops it at exit, and hands it a new status whenever what it
// shows changes (the mouse's battery and connection, the profiles, the language);
// what the user does with the icon comes back through the callbacks, possibly on
// another thread (the window posts them to its own). Where the desktop offers no
// notification area the icon is not available, and the window must then never hide
// itself with no way back.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What the icon shows: its tooltip, picture and menu.
struct TrayStatus {
    struct Profile {
        int32_t id = 0;
        std::wstring name;
        bool operator==(const Profile&) const = default;
    };

    std::wstring title;    // the application's name
    std::wstring tooltip;  // the mouse at a glance: "Vantorel V8 — 64 %, charging"
    std::wstring detail;   // its connection: "Connected through the receiver"
    bool lowBattery = false;  // the picture's low-battery variant
    // The menu: "Show window", the profiles (the active one checked; usable while
    // a mouse is connected), "Exit".
    std::wstring showText;
    std::wstring exitText;
    std::vector<Profile> profiles;
    int32_t activeProfile = 0;
    bool profilesEnabled = false;

    bool operator==(const TrayStatus&) const = default;
};

class TrayIcon {
  public:
    struct Callbacks {
        // A left click (or the desktop's "activate"), or the menu's "Show window".
        std::function<void()> activate;
        // The menu's exit item: leave the program.
        std::function<void()> exitRequested;
        // The notification area appeared or went away while the icon was added.
        std::function<void(bool available)> availabilityChanged;
        // A profile chosen in the menu.
        std::function<void(int32_t profile)> profileChosen;
    };

    virtual ~TrayIcon() = default;

    // Adds the icon with its picture file and status. False when the icon is not
    // shown yet: there is no notification area to add it to, or (on the bus) its
    // answer is still to come. The icon is remembered, and availabilityChanged(true)
    // reports when it is shown.
    virtual bool Add(const std::wstring& iconFile, const TrayStatus& status, Callbacks callbacks) = 0;
    // A new status; the notification area is told only of what changed.
    virtual void Update(const TrayStatus& status) = 0;
    virtual void Remove() = 0;
    // True while the icon is shown in a notification area.
    virtual bool IsAvailable() const = 0;

    // An icon whose tooltip is `title` and whose menu holds only the exit item.
    bool Add(const std::wstring& iconFile, const std::wstring& title, const std::wstring& exitText,
             Callbacks callbacks) {
        TrayStatus status;
        status.title = status.tooltip = title;
        status.exitText = exitText;
        return Add(iconFile, status, std::move(callbacks));
    }
};

// For desktops without a notification area: the icon is never available.
class NoTrayIcon : public TrayIcon {
  public:
    using TrayIcon::Add;
    bool Add(const std::wstring&, const TrayStatus&, Callbacks) override { return false; }
    void Update(const TrayStatus&) override {}
    void Remove() override {}
    bool IsAvailable() const override { return false; }
};

// The best icon this desktop offers.
std::unique_ptr<TrayIcon> CreateTrayIcon();
