// What a setting change costs on the disk under $TMPDIR, wall time (a sync is
// waiting, not computing). The same UPDATE a page makes, committed on its own,
// in three set-ups of the file:
//   0  rollback journal, "synchronous = OFF": the store before, nothing synced;
//   1  write-ahead log, "synchronous = NORMAL": synced at checkpoints only;
//   2  write-ahead log, "synchronous = FULL": every commit synced, the store now.
// Then the store's own paths: one setting, and the state read of a mouse
// (17 values) when nothing changed and when all of them did.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "bench/BenchFolder.h"
#include "storage/DataStore.h"
#include "storage/SQLiteDB.h"

namespace {

constexpr const char* kModes[][2] = {
    {"PRAGMA journal_mode = DELETE", "PRAGMA synchronous = OFF"},
    {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL"},
    {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = FULL"},
};

void BM_SettingChange(benchmark::State& state) {
    BenchFolder folder;
    folder.OpenFresh().InitProfiles(L"Profile");
    DataStore::Instance().CloseIfOpen();
    SQLiteDB db;
    db.Open(DatabasePathFor(folder.File(""), L"bench").c_str(), 0x00000002 /* read-write */);
    for (const char* pragma : kModes[state.range(0)]) db.Exec(pragma);
    int value = 0;
    for (auto _ : state) {
        SQLiteStatement update;
        db.Prepare(update, "UPDATE t_configdata SET value = ? WHERE profile = ? and key = ?");
        const std::string text = std::to_string(++value % 4);
        update.BindText(1, text.c_str(), int(text.size()));
        update.BindInt(2, 1);
        update.BindText(3, "report_rate", 11);
        benchmark::DoNotOptimize(update.Step());
    }
}
BENCHMARK(BM_SettingChange)->Arg(0)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_StoreSetConfigValue(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    const int32_t profile = store.InitProfiles(L"Profile");
    int value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(store.SetConfigValue(profile, L"report_rate", std::to_wstring(++value % 4)));
}
BENCHMARK(BM_StoreSetConfigValue)->UseRealTime()->Unit(benchmark::kMicrosecond);

// What a state read stores: arg 0 the mouse as stored (nothing written), arg 1 every value changed.
void BM_StoreStateRead(benchmark::State& state) {
    BenchFolder folder;
    DataStore& store = folder.OpenFresh();
    const int32_t profile = store.InitProfiles(L"Profile");
    const wchar_t* keys[] = {L"dpi_group0_value", L"dpi_group1_value", L"dpi_group2_value", L"dpi_group3_value",
                             L"dpi_group4_value", L"dpi_group5_value", L"report_rate",      L"report_flag",
                             L"scroll_flag",      L"liftoff_height",   L"sensor_flag",      L"highspeed_mode",
                             L"button_respondtime", L"light_sleep",    L"deep_sleep",       L"move_wakeup",
                             L"move_closelight"};
    int round = 0;
    for (auto _ : state) {
        std::vector<std::pair<std::wstring, std::wstring>> values;
        ++round;
        for (const wchar_t* key : keys)
            values.emplace_back(key, std::to_wstring(state.range(0) ? round % 2 : 1));
        benchmark::DoNotOptimize(store.StoreConfigValues(profile, values));
    }
}
BENCHMARK(BM_StoreStateRead)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
