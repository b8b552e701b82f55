// The macro page's save and the worker's macro upload (task 6) against the
// simulated mouse with 1 ms latency each way: a 200-event macro saved and sent,
// and a library that fills the mouse's 4000-byte macro memory. The floor of an
// upload is its chunks times (2 ms exchange + the protocol's 10 ms pause): 68
// chunks, 0.82 s, for the full memory.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "BenchFolder.h"
#include "app/DeviceWorker.h"
#include "device/DeviceManager.h"
#include "features/MacroEditing.h"
#include "platform/PcFunctionExecutor.h"
#include "platform/DesktopServices.h"
#include "protocol/MacroImage.h"
#include "protocol/Report.h"
#include "sim/SimBackend.h"

namespace {

std::vector<MacroEvent> KeyTaps(int32_t macroId, int count) {
    std::vector<MacroEvent> events;
    for (int i = 0; i < count; ++i) {
        MacroEvent e;
        e.macroId = macroId;
        e.type = i % 2 ? kEventKeyUp : kEventKeyDown;
        e.recordIndex = i;
        e.value = 'A' + (i / 2) % 26;
        e.delayTime = 10 + i;
        e.desc = EventDescription(e.type, std::wstring(1, wchar_t(e.value)));
        events.push_back(std::move(e));
    }
    return events;
}

// What the macro page's save writes: the macro row and all its events, in one transaction.
void SaveMacro(DataStore& store, int32_t macroId, const std::vector<MacroEvent>& events) {
    store.RunInTransaction([&] {
        return store.UpdateMacro(macroId, L"Macro 1", 0, 1, kDelayRecorded, kEventDelay) &&
               store.DeleteMacroRecords(macroId) && store.AddMacroRecords(events);
    });
}

// A worker with the simulated mouse on its cable, 1 ms each way, after its first read.
struct Rig {
    explicit Rig(DataStore& store)
        : sim(std::make_shared<SimBackend>()),
          manager(sim),
          executor(store, GetDesktopServices()),
          worker(def, view, executor, manager, store) {
        manager.AddSupportedId(0x3A5C, 0x0108, L"", 101, 0);
        sim->Plug(SimEndpoint::Cable);
        worker.RefreshDevices();
        def.QueueTask(kTaskInitialRead);
        worker.StartWorker();
        WaitIdle();
        sim->SetLatency(std::chrono::microseconds(1000));
    }
    ~Rig() { worker.Stop(); }
    void WaitIdle() {
        while (!def.IsIdle()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    // Task 6 from the queue to the last chunk's answer.
    double Upload() {
        const auto t0 = std::chrono::steady_clock::now();
        def.QueueTask(kTaskWriteMacros);
        WaitIdle();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }

    std::shared_ptr<SimBackend> sim;
    DeviceManager manager;
    DeviceMainDef def;
    SilentDeviceView view;
    PcFunctionExecutor executor;
    DeviceWorker worker;
};

void BM_Save200EventMacroAndUpload(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    const int32_t macro = store.AddMacro(L"Macro 1");
    const std::vector<MacroEvent> events = KeyTaps(macro, kMacroEventLimit);
    Rig rig(store);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        SaveMacro(store, macro, events);
        const double save = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(save + rig.Upload());
    }
    std::vector<std::vector<MacroEvent>> library = {events};
    const size_t chunks = MacroChunkCount(BuildMacroImage(library).size());
    state.counters["chunks"] = double(chunks);
    state.counters["floor_s"] = double(chunks) * 0.012;
    state.counters["uploads"] = rig.sim->State().macroUploads;
}
BENCHMARK(BM_Save200EventMacroAndUpload)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_UploadFullMacroMemory(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    // Four macros of 200 events and one of 172: 3992 of the 4000 bytes, 68 chunks.
    std::vector<std::vector<MacroEvent>> library;
    for (int count : {200, 200, 200, 200, 172}) {
        const int32_t id = store.AddMacro(L"Macro");
        library.push_back(KeyTaps(id, count));
        store.AddMacroRecords(library.back());
    }
    const size_t bytes = BuildMacroImage(library).size();
    Rig rig(store);
    for (auto _ : state) state.SetIterationTime(rig.Upload());
    state.counters["bytes"] = double(bytes);
    state.counters["chunks"] = double(MacroChunkCount(bytes));
    state.counters["floor_s"] = double(MacroChunkCount(bytes)) * 0.012;
}
BENCHMARK(BM_UploadFullMacroMemory)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
