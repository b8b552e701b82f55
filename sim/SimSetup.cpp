#include "sim/SimSetup.h"

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
    backend->Plug(start == SimulateStart::Cable ? SimEndpoint::Cable : SimEndpoint::Receiver);
    return backend;
}

std::shared_ptr<SimBackend> InstallSimulatedBackend(SimulateStart start, int32_t deviceType) {
    std::shared_ptr<SimBackend> backend = MakeSimulatedBackend(start, deviceType);
    DeviceManager::Instance().SetBackend(backend);
    return backend;
}
