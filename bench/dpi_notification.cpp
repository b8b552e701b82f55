// From a press of the simulated mouse's DPI button to the newly active level drawn
// on the main window's back buffer: the worker's polling, its post to the UI
// thread, the page's update and the repaint, with the product's timings. Reported
// as the median and the 99th percentile over 1000 presses.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ScratchUser.h"
#include "app/DeviceMainDlg.h"
#include "app/ScreenshotTour.h"
#include "pages/DpiPage.h"
#include "device/DeviceManager.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/DPIControl.h"
#include "base/AppContext.h"
#include "platform/LeakSuppressions.h"
#include "sim/SimBackend.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

constexpr int kPresses = 1000;
constexpr auto kGiveUp = std::chrono::seconds(2);

bool Near(Color a, Color b) {
    auto close = [](int x, int y) { return std::abs(x - y) <= 48; };
    return close(a.GetR(), b.GetR()) && close(a.GetG(), b.GetG()) && close(a.GetB(), b.GetB());
}

// The level's card carries the accent outline on the presented image.
bool DrawnAsSelected(HWND hwnd, const DPIControl& levels, int level) {
    const Canvas* image = Platform::GetPresentedImage(hwnd);
    if (!image) return false;
    const CRect card = levels.GetCardRect(level);
    const int y = card.CenterPoint().y;
    const Color accent = Manager::GetSelectColor();
    return Near(image->GetPixel(card.left, y), accent) || Near(image->GetPixel(card.left + 1, y), accent);
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[at];
}

void BM_DpiButtonToRepaintedLevel(benchmark::State& state) {
    ScratchUser user;
    Platform::Init(BackendKind::Headless);
    Manager::InitGdiplus();
    SetCurrentLcid(1033);
    auto sim = std::make_shared<SimBackend>(std::vector<int32_t>{101});
    DeviceManager::Instance().SetBackend(sim);
    sim->Plug(SimEndpoint::Cable);
    {
        DeviceMainDlg dlg;
        if (!dlg.CreateMainWindow()) {
            state.SkipWithError("no window");
            return;
        }
        dlg.ShowMainWindow();
        WaitUntilSettled(dlg);
        dlg.SwitchModel();
        WaitUntilSettled(dlg);
        dlg.SelectTab(kTabDpi);
        WaitUntilSettled(dlg);
        const HWND hwnd = dlg.GetSafeHwnd();
        const DPIControl* levels = static_cast<DpiPage*>(dlg.GetPage(kTabDpi))->GetLevels();
        std::vector<double> latencies, selected;
        latencies.reserve(kPresses);
        selected.reserve(kPresses);
        for (auto _ : state) {
            for (int i = 0; i < kPresses; ++i) {
                const int next = (levels->GetSelectItem() + 1) % levels->GetItemCount();
                const auto start = std::chrono::steady_clock::now();
                auto since = [&start] {
                    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                        .count();
                };
                sim->PressDpiButton();
                // The UI thread's loop: dispatch what arrived, paint what is due.
                bool seen = false;
                while (true) {
                    Platform::RunPending();
                    if (!seen && levels->GetSelectItem() == next) {
                        seen = true;
                        selected.push_back(since());  // the page has the new level, not yet painted
                    }
                    Platform::UpdateWindow(hwnd);
                    if (seen && DrawnAsSelected(hwnd, *levels, next)) break;
                    if (std::chrono::steady_clock::now() - start > kGiveUp) {
                        state.SkipWithError("the level was not repainted");
                        break;
                    }
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
                }
                latencies.push_back(since());
            }
        }
        if (!latencies.empty()) {
            state.counters["median_ms"] = Percentile(latencies, 0.5);
            state.counters["p99_ms"] = Percentile(latencies, 0.99);
            if (!selected.empty()) state.counters["selected_median_ms"] = Percentile(selected, 0.5);
            state.counters["presses"] = double(latencies.size());
        }
        dlg.CloseMainWindow();
    }
    DataStore::Instance().CloseIfOpen();
    DeviceManager::Instance().SetBackend(std::make_shared<SimBackend>(std::vector<int32_t>{}));
    Manager::UnInitGdiplus();
    Platform::Shutdown();
}
BENCHMARK(BM_DpiButtonToRepaintedLevel)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
