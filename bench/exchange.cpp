// Exchange file costs on a real database file (under $TMPDIR): a 200-event macro
// exported and imported, a full profile exported and imported, and the import of
// a file at the size limit filled with items of one button.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "bench/BenchFolder.h"
#include "exchange/ExchangeFiles.h"
#include "base/TextConv.h"
#include "storage/DataStore.h"

namespace {

void BM_MacroOf200EventsExportAndImport(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    const int32_t macro = store.AddMacro(L"Macro1");
    for (int i = 0; i < kMaxMacroEvents; ++i) store.AddMacroRecord(macro, 2 + i % 2, i, L"\u2193  A", 65, 10);
    const std::wstring path = folder.File("macro.xml");
    for (auto _ : state) {
        ExportMacro(path, store, macro);
        const int32_t copy = ImportMacro(path, store);
        state.PauseTiming();
        store.DeleteMacro(copy);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MacroOf200EventsExportAndImport)->Unit(benchmark::kMillisecond);

void BM_ProfileExportAndImport(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    const int32_t profile = store.InitProfiles(L"Profile");
    for (int32_t mode = 0; mode < 7; ++mode) {
        LightData light;
        light.profile = profile;
        light.mode = mode;
        store.AddLight(light);
    }
    for (int32_t code = 0; code < 9; ++code) {
        KeyRecord key;
        key.profile = profile;
        key.keyCode = code;
        key.macroType = 1;
        key.macroValue = 1 + code;
        store.SaveKey(key);
    }
    const ProfileExchangeContext context{profile, true, 101, 1033};
    const std::wstring path = folder.File("profile.xml");
    for (auto _ : state) {
        ExportProfile(path, store, context);
        benchmark::DoNotOptimize(ImportProfile(path, store, context));
    }
}
BENCHMARK(BM_ProfileExportAndImport)->Unit(benchmark::kMillisecond);

// The worst an import reads: a file just under the size limit.
void BM_ProfileImportOfALargestFile(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    const int32_t profile = store.InitProfiles(L"Profile");
    const std::string item =
        "<item key_code=\"1\" macro_type=\"1\" macro_value=\"3\" macro_value2=\"0\" macro_value3=\"0\"/>";
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile><profileinfo><keyitems>";
    const std::string tail = "</keyitems></profileinfo></profile>";
    while (text.size() + item.size() + tail.size() <= kMaxExchangeFileBytes) text += item;
    text += tail;
    const std::wstring path = folder.File("large.xml");
    std::ofstream(Orvix::WideToUtf8(path), std::ios::binary) << text;
    const ProfileExchangeContext context{profile, false, 101, 1033};
    for (auto _ : state) benchmark::DoNotOptimize(ImportProfile(path, store, context));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ProfileImportOfALargestFile)->Unit(benchmark::kMillisecond);

}  // namespace
