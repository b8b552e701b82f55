// The protocol's encoders on full-size inputs, and the latency from a DPI button
// press on the simulated mouse to the stored stage with the worker thread running
// (bounded by one 10 ms poll per open interface plus the 2 ms cycle pause).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/DeviceWorker.h"
#include "device/DeviceManager.h"
#include "base/ButtonFunction.h"
#include "platform/PcFunctionExecutor.h"
#include "platform/DesktopServices.h"
#include "protocol/MacroImage.h"
#include "sim/SimBackend.h"
#include "storage/DataStore.h"

namespace {

std::vector<std::vector<MacroEvent>> FullMacroSet() {
    // 32 macros of 28 events (with their end records 120 bytes each): 3904 of the 4000 bytes.
    std::vector<std::vector<MacroEvent>> macros(32);
    for (auto& events : macros)
        for (int i = 0; i < 28; ++i) {
            MacroEvent e;
            e.type = i % 2 ? kEventKeyUp : kEventKeyDown;
            e.value = 65 + i / 2;
            e.delayTime = 20;
            events.push_back(e);
        }
    return macros;
}

void BM_BuildMacroImage(benchmark::State& state) {
    const auto macros = FullMacroSet();
    for (auto _ : state) benchmark::DoNotOptimize(BuildMacroImage(macros));
}
BENCHMARK(BM_BuildMacroImage);

void BM_BuildButtonMap(benchmark::State& state) {
    std::vector<KeyRecord> keys(9);
    for (int k = 0; k < 9; ++k) {
        keys[k].keyCode = k;
        keys[k].macroType = kFuncMacro;
        keys[k].macroValue = 100 + k;
    }
    std::vector<int32_t> ids;
    for (int i = 0; i < 32; ++i) ids.push_back(100 + i);
    for (auto _ : state) benchmark::DoNotOptimize(BuildButtonMap(keys, ids));
}
BENCHMARK(BM_BuildButtonMap);

void BM_DpiNotificationLatency(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "vantorel-bench-protocol";
    std::filesystem::create_directories(folder / "db");
    DataStore& store = DataStore::Instance();
    store.OpenForDevice(folder.wstring() + L"/", L"bench");
    auto sim = std::make_shared<SimBackend>();
    DeviceManager manager(sim);
    manager.AddSupportedId(0x3A5C, 0x0108, L"", 101, 0);
    sim->Plug(SimEndpoint::Cable);
    DeviceMainDef def;
    SilentDeviceView view;
    PcFunctionExecutor executor(store, GetDesktopServices());
    DeviceWorker worker(def, view, executor, manager, store);
    worker.RefreshDevices();
    def.QueueTask(kTaskInitialRead);
    worker.StartWorker();
    while (!def.IsIdle()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (auto _ : state) {
        const int before = def.GetDeviceValues().dpiIndex;
        sim->PressDpiButton();
        while (def.GetDeviceValues().dpiIndex == before) std::this_thread::yield();
    }
    worker.Stop();
    store.CloseIfOpen();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_DpiNotificationLatency)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
