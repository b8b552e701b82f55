#pragma once
// Internal to the sdl back end on X11: what the desktop publishes about
// scaling (XSETTINGS, the resource database), watched for changes, and the
// window manager's conventions for our windows (types, owners, icons,
// startup notification, compositing).
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "orvix/platform/Canvas.h"
#include "orvix/platform/DesktopScale.h"
#include "orvix/platform/Platform.h"

namespace Orvix::X11 {

// Reads the scale settings of the display named by DISPLAY (its own
// connection, so no window is needed); false without an X display.
bool ReadScaleSources(DesktopScaleSources& sources);

// Watches XSETTINGS (the manager's property, a new manager) and the resource
// database on a connection and thread of its own; `changed` runs on that
// thread after each change.
class ScaleWatcher {
public:
    ~ScaleWatcher();
    bool Start(std::function<void()> changed);
    void Stop();

private:
    std::thread m_thread;
    int m_stopPipe[2] = {-1, -1};
};

// The window manager's view of one of our windows. `display` is SDL's Display*,
// windows are X window ids. Set before the window is first mapped.
struct WindowHints {
    WindowKind kind = WindowKind::Normal;
    unsigned long owner = 0;  // the owner's X window; 0 for a top-level window
};
void ApplyWindowHints(void* display, unsigned long window, const WindowHints& hints);
// _NET_WM_ICON with every size given (ARGB, unpremultiplied as the property wants).
void SetWindowIcon(void* display, unsigned long window, const std::vector<std::shared_ptr<const Canvas>>& sizes);

// Startup notification: the id the launcher gave (DESKTOP_STARTUP_ID, taken
// out of the environment so that programs we start do not reuse it), put on
// the first window shown and announced as complete once it is mapped.
std::string TakeStartupId();
void SetStartupId(void* display, unsigned long window, const std::string& id);
void SendStartupComplete(void* display, const std::string& id);

}  // namespace Orvix::X11
