#pragma once
// The program's command line: what a start asks for, and the help text.
#include <string>

#include "sim/SimSetup.h"

inline constexpr char kAppVersion[] = "1.0.0";

enum class AppCommand { Run, Help, Version };

struct AppOptions {
    AppCommand command = AppCommand::Run;
    // "-autorun" anywhere in the command line (the start-with-the-desktop entry).
    bool hidden = false;
    bool simulate = false;
    SimulateStart simulateStart = SimulateStart::Cable;
    // Where --screenshot writes its pictures; empty without the option.
    std::string screenshotFolder;
    // --scale: the display scale to draw at instead of the desktop's (0: none).
    double scale = 0;
    // --language: the language id of this start (not stored); 0 without the option.
    int language = 0;
};

// Reads the arguments after the program name. False for an unknown option or
// a missing value, with the reason in `error`. An argument that holds
// "-autorun" is the hidden-start switch, never an unknown option.
bool ParseAppOptions(int argc, const char* const* argv, AppOptions& options, std::string& error);

// The --help text.
std::string GetAppUsage();
