#pragma once
// The program's display scale: one factor for every window, from the desktop
// (orvix/platform/DesktopScale.h), or the user's own choice (--scale, or the
// "display_scale" setting), lowered where the 1280 x 800 main window would
// not fit the desktop's work area at it. The windowing layer draws everything
// at the factor (Orvix::Platform::SetScale).
//
// The older rule drew the window in physical pixels on small screens and on a
// 1920 x 1080 screen above 125 %, and let the system stretch it elsewhere.
// Here the window is always drawn at the factor itself, sharp: what that rule
// was for on small screens, the whole window on the screen, is what the fit
// below keeps.
#include <string>

#include "orvix/platform/DesktopScale.h"
#include "orvix/platform/WinTypes.h"

// The main window's size in logical units.
inline constexpr Orvix::CSize kMainDesign{1280, 800};

// The largest factor, in hundredths and rounded down, at which `design` fits
// inside `workArea` (device pixels); never below the smallest factor.
double FitScale(Orvix::CSize design, Orvix::CSize workArea);

struct ScaleDecision {
    double factor = 1.0;
    double wanted = 1.0;    // before the fit
    std::string source;     // "--scale", "setting", or the desktop's source
    bool lowered = false;   // the fit lowered it
};

// The rule, pure: an option above 0 is taken as it is (a picture at an exact
// factor, or the user's explicit wish); else a setting above 0 (percent), else
// the desktop's factor; these two are lowered to the fit when `workArea` is
// not empty.
ScaleDecision DecideScale(double option, int settingPercent, const Orvix::DesktopScale& desktop,
                          Orvix::CSize workArea);

// The factor given on the command line (0: none) for the rest of the run.
void SetScaleOption(double factor);

// Decides from the option, the stored setting, the desktop's sources and the
// primary work area (none for offscreen rendering) and applies it. Needs the
// windowing layer started. `mainWindow`, when given, is moved back inside the
// work area if the new factor took it outside.
ScaleDecision UpdateProgramScale(Orvix::HWND mainWindow = nullptr);

// The stored choice: "display_scale" in percent, 0 to follow the desktop.
int GetScaleSetting();
void SetScaleSetting(int percent);
