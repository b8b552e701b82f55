// Cost of language text lookups, which read the language file anew each time:
// one lookup, and the main window's full refresh after a language change
// (every shipped text once); and the parse of a 2.6 MB file of distinct keys,
// under the 4 MiB cap, that once took the programs more than 40 s to start.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/LanguageText.h"
#include "base/AppContext.h"
#include "base/Folders.h"
#include "base/IniFile.h"

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

void BM_LoadLargeFile(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vantorel-bench-lan-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "language");
    std::string text = "[LAN]\n";
    int keys = 0;
    while (text.size() < 2600000) {
        ++keys;
        text += std::to_string(keys) + "=text " + std::to_string(keys) + "\n";
    }
    std::ofstream(folder / "language" / "1036.lan", std::ios::binary) << text;
    const std::wstring programFolder = folder.wstring() + L"/";
    for (auto _ : state) {
        DropLanguageCache();  // read, decoded and parsed anew each time
        benchmark::DoNotOptimize(ReadLanguageText(programFolder, kLcidFrench, L"LAN", keys));
    }
    state.counters["keys"] = keys;
    DropLanguageCache();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadLargeFile)->Unit(benchmark::kMillisecond);

}  // namespace
