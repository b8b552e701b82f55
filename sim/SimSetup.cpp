#include "sim/SimSetup.h"

#include <cstdlib>

#include "device/DeviceManager.h"

bool ParseSimulateOption(std::string_view argument, SimulateStart& start) {
    if (argument == "--simulate" || argument == "--simulate=cable") {
        start = SimulateStart::Cable;
        return true;
    }
    if (argument == "--simulate=receiver") {
        start = SimulateStart::Receiver;
        return true;
    }
    return false;
}

std::shared_ptr<SimBackend> MakeSimulatedBackend(SimulateStart start, int32_t deviceType) {
    auto backend = std::make_shared<SimBackend>(std::vector<int32_t>{deviceType});
    if (const char* refuse = std::getenv("VANTOREL_SIM_REFUSE")) {
        char* rest = nullptr;
        const long command = std::strtol(refuse, &rest, 16);
        const long setting = rest && *rest == ':' ? std::strtol(rest + 1, nullptr, 16) : -1;
        backend->Configure([&](SimMouseState& state) {
            state.refusedCommand = int(command);
            state.refusedSetting = int(setting);
        });
    }
    backend->Plug(start == SimulateStart::Cable ? SimEndpoint::Cable : SimEndpoint::Receiver);
    return backend;
}

std::shared_ptr<SimBackend> InstallSimulatedBackend(SimulateStart start, int32_t deviceType) {
    std::shared_ptr<SimBackend> backend = MakeSimulatedBackend(start, deviceType);
    DeviceManager::Instance().SetBackend(backend);
    return backend;
}
