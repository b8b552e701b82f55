#pragma once
// What the program's --simulate option needs: a simulated back end with the mouse
// plugged in on its cable (--simulate, --simulate=cable) or its receiver plugged in
// with the mouse online (--simulate=receiver), installed as the back end of the
// process-wide device manager.
#include <memory>
#include <string_view>

#include "sim/SimBackend.h"

enum class SimulateStart { Cable, Receiver };

// False for any other argument, including an unknown "--simulate=..." value.
bool ParseSimulateOption(std::string_view argument, SimulateStart& start);

// VANTOREL_SIM_REFUSE=<command>[:<setting id>] (hexadecimal, e.g. "13:02")
// makes the mouse refuse that kind of change, as a firmware without it would.
std::shared_ptr<SimBackend> MakeSimulatedBackend(SimulateStart start, int32_t deviceType = 101);

// Builds the simulation and makes DeviceManager::Instance() use it. The returned
// back end lets the caller act as the user of the mouse (buttons, battery, plugs).
std::shared_ptr<SimBackend> InstallSimulatedBackend(SimulateStart start, int32_t deviceType = 101);
