#pragma once
// The main window's icon in the desktop's notification area. The window asks for
// it at start and drops it at exit; what the user does with the icon comes back
// through the callbacks, possibly on another thread (the window posts them to its
// own). Where the desktop offers no notification area the icon is not available,
// and the window must then never hide itself with no way back.
#include <functional>
#include <memory>
#include <string>

class TrayIcon {
  public:
    struct Callbacks {
        // A left click (or the desktop's "activate"): show the window.
        std::function<void()> activate;
        // The menu's one item: leave the program.
        std::function<void()> exitRequested;
        // The notification area appeared or went away while the icon was added.
        std::function<void(bool available)> availabilityChanged;
    };

    virtual ~TrayIcon() = default;

    // Adds the icon with its picture file, tooltip and the text of its menu item.
    // False when the icon is not shown yet: there is no notification area to add
    // it to, or (on the bus) its answer is still to come. The icon is remembered,
    // and availabilityChanged(true) reports when it is shown.
    virtual bool Add(const std::wstring& iconFile, const std::wstring& tooltip, const std::wstring& exitText,
                     Callbacks callbacks) = 0;
    virtual void Remove() = 0;
    // True while the icon is shown in a notification area.
    virtual bool IsAvailable() const = 0;
    // The menu item's text after a language change.
    virtual void SetExitText(const std::wstring& text) = 0;
};

// For desktops without a notification area: the icon is never available.
class NoTrayIcon : public TrayIcon {
  public:
    bool Add(const std::wstring&, const std::wstring&, const std::wstring&, Callbacks) override {
        return false;
    }
    void Remove() override {}
    bool IsAvailable() const override { return false; }
    void SetExitText(const std::wstring&) override {}
};

// The best icon this desktop offers.
std::unique_ptr<TrayIcon> CreateTrayIcon();
