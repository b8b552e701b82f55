// Report exchanges with the simulated mouse at 1 ms latency each way, against their
// lower bounds: one round trip for a command with answer, and for a full macro upload
// 68 chunks of one round trip plus the 10 ms pause that follows each.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "device/DeviceManager.h"
#include "sim/MacroImageCheck.h"
#include "sim/SimBackend.h"

namespace {

using namespace std::chrono;
constexpr auto kLatency = milliseconds(1);
constexpr auto kChunkPause = milliseconds(10);

struct Rig {
    std::shared_ptr<SimBackend> sim = std::make_shared<SimBackend>();
    DeviceManager manager{sim};
    Rig() {
        manager.AddSupportedId(0x3A5C, 0x0108, L"", 101, 0);
        sim->Plug(SimEndpoint::Cable);
        manager.Reenumerate();
        manager.SetCurrentDeviceType(101);
        sim->SetLatency(kLatency);
    }
};

void Report(benchmark::State& state, double boundMs, double totalMs) {
    const double perIteration = totalMs / static_cast<double>(state.iterations());
    state.counters["bound_ms"] = boundMs;
    state.counters["ratio"] = perIteration / boundMs;
}

void BM_SendWithAnswer(benchmark::State& state) {
    Rig rig;
    ReportBuffer report;
    const auto start = steady_clock::now();
    for (auto _ : state) {
        FrameReport(report, kCmdGetInfo, 0);
        if (!rig.manager.Send(report, true) || report[1] != kCmdGetInfo) state.SkipWithError("no answer");
    }
    Report(state, duration<double, std::milli>(2 * kLatency).count(),
           duration<double, std::milli>(steady_clock::now() - start).count());
}
BENCHMARK(BM_SendWithAnswer)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_MacroUpload4000(benchmark::State& state) {
    Rig rig;
    const std::vector<uint8_t> image = MakeSampleMacroImage(kMacroImageMax);
    const size_t chunks = MacroChunkCount(image.size());
    ReportBuffer report;
    const auto start = steady_clock::now();
    for (auto _ : state) {
        for (size_t i = 0; i < chunks; ++i) {
            FrameMacroChunk(report, image.data(), image.size(), i);
            if (!rig.manager.Send(report, true) || report[1] != kCmdMacroChunk)
                state.SkipWithError("no answer");
            std::this_thread::sleep_for(kChunkPause);
        }
    }
    if (rig.sim->State().macroUploads != static_cast<int>(state.iterations()))
        state.SkipWithError("image refused");
    Report(state, duration<double, std::milli>(chunks * (2 * kLatency + kChunkPause)).count(),
           duration<double, std::milli>(steady_clock::now() - start).count());
}
BENCHMARK(BM_MacroUpload4000)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
