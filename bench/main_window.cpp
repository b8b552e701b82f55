// The main window with the simulated mouse on the headless back end: from
// construction to the first presented frame, the resident memory that leaves,
// and one full repaint of each page.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/DeviceMainDlg.h"
#include "app/ScreenshotTour.h"
#include "device/DeviceManager.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Platform.h"
#include "base/AppContext.h"
#include "sim/SimBackend.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

// A fresh per-user home for the run, the toolkit and the simulated mouse on its cable.
struct Home {
    Home() {
        root = std::filesystem::temp_directory_path() / ("vantorel-bench-window-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "runtime");
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
        Platform::Init(BackendKind::Headless);
        Manager::InitGdiplus();
        SetCurrentLcid(1033);
        sim = std::make_shared<SimBackend>(std::vector<int32_t>{101});
        sim->Plug(SimEndpoint::Cable);
        DeviceManager::Instance().SetBackend(sim);
    }
    ~Home() {
        DataStore::Instance().CloseIfOpen();
        DeviceManager::Instance().SetBackend(std::make_shared<SimBackend>(std::vector<int32_t>{}));
        Manager::UnInitGdiplus();
        Platform::Shutdown();
        std::filesystem::remove_all(root);
    }
    std::filesystem::path root;
    std::shared_ptr<SimBackend> sim;
};

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

void BM_StartToFirstFrame(benchmark::State& state) {
    Home home;
    for (auto _ : state) {
        DeviceMainDlg dlg;
        dlg.CreateMainWindow();
        dlg.ShowMainWindow();
        benchmark::DoNotOptimize(Platform::GetPresentedImage(dlg.GetSafeHwnd()));
        state.PauseTiming();
        WaitUntilSettled(dlg, 5000);
        dlg.CloseMainWindow();
        Platform::RunPending();
        state.ResumeTiming();
    }
    state.counters["rss_MiB"] = double(ResidentKiB()) / 1024.0;
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FullRepaintOfPage(benchmark::State& state) {
    Home home;
    DeviceMainDlg dlg;
    dlg.CreateMainWindow();
    dlg.ShowMainWindow();
    WaitUntilSettled(dlg, 5000);
    const int tab = int(state.range(0));
    if (tab == kTabHome) {
        dlg.SelectTab(kTabHome);
    } else {
        dlg.SwitchModel();
        dlg.SelectTab(tab);
    }
    WaitUntilSettled(dlg, 5000);
    for (auto _ : state) {
        Platform::InvalidateRect(dlg.GetSafeHwnd());
        Platform::UpdateWindow(dlg.GetSafeHwnd());
    }
    dlg.CloseMainWindow();
    Platform::RunPending();
}
BENCHMARK(BM_FullRepaintOfPage)
    ->ArgName("tab")
    ->Arg(kTabHome)
    ->Arg(kTabKey)
    ->Arg(kTabDpi)
    ->Arg(kTabMacro)
    ->Arg(kTabText)
    ->Arg(kTabLight)
    ->Arg(kTabDevice)
    ->Unit(benchmark::kMillisecond);

}  // namespace
