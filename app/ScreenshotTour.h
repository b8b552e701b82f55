#pragma once
// The --screenshot run: the main window is driven through its views and pages
// and each is saved as a PNG, the pop-ups over the window they belong to.
#include <memory>
#include <string>

class DeviceMainDlg;
class SimBackend;

namespace Orvix {
struct HWND__;
}

// Pumps the window's messages until the worker has nothing left to do and the
// pumped work has settled, or `timeoutMs` passed. False on the time-out.
bool WaitUntilSettled(DeviceMainDlg& dlg, int timeoutMs = 10000);

// Saves the window with every visible pop-up it owns drawn over it where it lies.
bool SaveWindowPicture(DeviceMainDlg& dlg, const std::wstring& path);

// Runs the tour into `folder`; `simulation` (may be null) lets it unplug and plug
// the simulated mouse for the views without and with a device. Returns false when
// a picture could not be written (the others are still written).
bool RunScreenshotTour(DeviceMainDlg& dlg, SimBackend* simulation, const std::wstring& folder);
