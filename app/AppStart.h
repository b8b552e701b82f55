#pragma once
// The program's start: everything between the command line and the exit code.
#include "app/AppOptions.h"

// Runs one start of the program and returns its exit code:
// - --help and --version print and give 0;
// - a second start hands "show yourself" to the running copy and gives 0;
// - otherwise the main window runs until it ends: 1 when it was destroyed
//   (as the modal loop ends), 0 when the user left the program;
// - with a screenshot folder the window is rendered offscreen, one picture per
//   page, as soon as it is visible (a hidden start waits for a second start to
//   show it): 0 when every picture was written, 1 otherwise.
int RunApplication(const AppOptions& options);
