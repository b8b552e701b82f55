// The device worker as the main window runs it, with the simulated mouse on its
// cable: after the initial read nothing happens for VANTOREL_BENCH_IDLE_SECONDS
// (30 by default), and the worker thread's CPU time and wake-ups (its context
// switches) over that time are the figures.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "BenchFolder.h"
#include "app/DeviceWorker.h"
#include "device/DeviceManager.h"
#include "platform/PcFunctionExecutor.h"
#include "platform/DesktopServices.h"
#include "sim/SimSetup.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> Threads() {
    std::set<std::string> tids;
    for (const auto& entry : fs::directory_iterator("/proc/self/task")) tids.insert(entry.path().filename());
    return tids;
}

double CpuSeconds(const std::string& tid) {
    std::ifstream in("/proc/self/task/" + tid + "/schedstat");
    double ns = 0;
    in >> ns;
    return ns / 1e9;
}

long Switches(const std::string& tid) {
    std::ifstream in("/proc/self/task/" + tid + "/status");
    std::string line;
    long total = 0;
    while (std::getline(in, line))
        if (line.find("ctxt_switches:") != std::string::npos)
            total += std::atol(line.c_str() + line.find(':') + 1);
    return total;
}

void BM_IdleWorkerWithMouseAttached(benchmark::State& state) {
    const char* env = std::getenv("VANTOREL_BENCH_IDLE_SECONDS");
    const double seconds = env ? std::atof(env) : 30.0;
    for (auto _ : state) {
        BenchFolder folder;
        DataStore& store = folder.OpenFresh();
        DeviceManager manager(MakeSimulatedBackend(SimulateStart::Cable));
        manager.AddSupportedId(0x3A5C, 0x0108, L"", 101, kModeCable);
        DeviceMainDef shared;
        SilentDeviceView view;
        PcFunctionExecutor executor(store, GetDesktopServices());
        DeviceWorker worker(shared, view, executor, manager, store);
        worker.RefreshDevices();
        shared.QueueTask(kTaskInitialRead);
        const std::set<std::string> before = Threads();
        worker.StartWorker();
        std::string tid;
        for (const std::string& t : Threads())
            if (!before.count(t)) tid = t;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!shared.IsIdle() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (tid.empty() || !shared.IsInitialReadDone()) {
            state.SkipWithError("the worker did not read the simulated mouse");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const double cpu0 = CpuSeconds(tid);
        const long woke0 = Switches(tid);
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(elapsed);
        state.counters["cpu_percent"] = 100.0 * (CpuSeconds(tid) - cpu0) / elapsed;
        state.counters["wakeups_per_s"] = (Switches(tid) - woke0) / elapsed;
        worker.Stop();
    }
}
BENCHMARK(BM_IdleWorkerWithMouseAttached)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
