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

// A library of 320 macros of 40 events each, as a heavy user keeps: what the
// macro page and the macro upload read, every macro's events in order. Run with
// the lookup indexes (arg 1) and with them dropped (arg 0), the file as an
// older version of the program left it.
void BM_ReadEventsOf320Macros(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    std::vector<int32_t> ids;
    for (int m = 0; m < 320; ++m) {
        const int32_t macro = store.AddMacro(L"Macro");
        ids.push_back(macro);
        std::vector<MacroEvent> events(40);
        for (int i = 0; i < 40; ++i) {
            events[i].macroId = macro;
            events[i].type = i % 2 == 0 ? 2 : 3;
            events[i].recordIndex = 39 - i;
            events[i].value = 0x41 + i % 26;
            events[i].delayTime = 10;
        }
        store.AddMacroRecords(events);
    }
    if (state.range(0) == 0) {
        SQLiteDB other;
        other.Open(DatabasePathFor(folder.File(""), L"bench").c_str(), 0x00000002 /* read-write */);
        for (const char* index : {"macrorecord_macro", "configdata_profile_key", "keymacro_profile_key",
                                  "lightdata_profile_mode"})
            other.Exec(("DROP INDEX " + std::string(index)).c_str());
    }
    std::vector<MacroEvent> events;
    for (auto _ : state) {
        size_t total = 0;
        for (int32_t id : ids) total += static_cast<size_t>(store.ListMacroRecords(id, events));
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ids.size()));
}
BENCHMARK(BM_ReadEventsOf320Macros)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
