// Store costs on a real file (under $TMPDIR): creating the initial profiles of a
// new database, reading every setting of a profile, saving a 200-event macro.
#include <benchmark/benchmark.h>

#include "bench/BenchFolder.h"
#include "storage/ConfigDefaults.h"
#include "storage/DataStore.h"

namespace {

void BM_CreateInitialProfiles(benchmark::State& state) {
    BenchFolder folder;
    for (auto _ : state) {
        state.PauseTiming();
        folder.OpenFresh();
        state.ResumeTiming();
        benchmark::DoNotOptimize(DataStore::Instance().InitProfiles(L"Profile"));
    }
}
BENCHMARK(BM_CreateInitialProfiles)->Unit(benchmark::kMillisecond);

void BM_ReadAllSettingsOfAProfile(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    const int32_t profile = store.InitProfiles(L"Profile");
    std::wstring value;
    for (auto _ : state) {
        for (const ConfigDefault& row : kConfigDefaults) store.GetConfigValue(profile, row.key, value);
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(state.iterations() * kConfigDefaults.size());
}
BENCHMARK(BM_ReadAllSettingsOfAProfile)->Unit(benchmark::kMicrosecond);

// What the macro page does on save: the macro row, then its events replaced in one transaction.
void BM_SaveMacroOf200Events(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    const int32_t macro = store.AddMacro(L"Macro1");
    std::vector<MacroEvent> events(200);
    for (int i = 0; i < 200; ++i) {
        events[i].macroId = macro;
        events[i].type = i % 2 == 0 ? 1 : 2;
        events[i].recordIndex = i;
        events[i].value = 0x04 + i % 26;
        events[i].delayTime = 10;
        events[i].desc = L"A";
    }
    for (auto _ : state) {
        store.UpdateMacro(macro, L"Macro1", 0, 1, 1, 0);
        store.DeleteMacroRecords(macro);
        store.AddMacroRecords(events);
    }
}
BENCHMARK(BM_SaveMacroOf200Events)->Unit(benchmark::kMillisecond);

}  // namespace
