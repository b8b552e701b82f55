// Cost of language text lookups, which read the language file anew each time:
// one lookup, and the main window's full refresh after a language change
// (every shipped text once).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "exchange/LanguageText.h"
#include "platform/AppContext.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"

namespace {

void BM_OneLookup(benchmark::State& state) {
    SetCurrentLcid(kLcidFrench);
    for (auto _ : state) benchmark::DoNotOptimize(GetLanguageText(L"LAN", 806));
}
BENCHMARK(BM_OneLookup);

void BM_FullRefresh(benchmark::State& state) {
    SetCurrentLcid(kLcidFrench);
    IniFile file;
    file.Load(GetLanguageFilePath(GetProgramFolder(), kLcidFrench));
    std::vector<int> ids;
    for (const std::wstring& key : file.GetKeys(L"LAN")) ids.push_back(std::stoi(key));
    for (auto _ : state)
        for (int id : ids) benchmark::DoNotOptimize(GetLanguageText(L"LAN", id));
    state.counters["lookups"] = static_cast<double>(ids.size());
}
BENCHMARK(BM_FullRefresh)->Unit(benchmark::kMillisecond);

}  // namespace
