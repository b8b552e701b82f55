// A power cut at any moment of a run of changes: the disk keeps what was synced
// and a random part of what was not. Afterwards the store must open whole, with
// nothing to repair or move aside, and hold every change that had finished; only
// the change under way at the cut may be missing.
#include <filesystem>
#include <map>
#include <random>

#include "CrashVfs.h"
#include "StoreTestSupport.h"

namespace {

using PowerLoss = StoreTest;

// What the changes of a run leave in the store, as one comparable text.
struct Expected {
    int lightSleep = 60;
    std::map<int, int> keys;  // key code -> macro value
    int macros = 0;
    int events = 0;

    std::string Text() const {
        std::string text = "light_sleep=" + std::to_string(lightSleep) + " keys=";
        for (const auto& [code, value] : keys) text += std::to_string(code) + ":" + std::to_string(value) + ",";
        return text + " macros=" + std::to_string(macros) + " events=" + std::to_string(events);
    }
};

std::string StoredText(DataStore& store) {
    Expected found;
    std::wstring value;
    store.GetConfigValue(1, L"light_sleep", value);
    found.lightSleep = value.empty() ? -1 : std::stoi(value);
    std::vector<KeyRecord> keys;
    store.ListKeys(1, keys);
    for (const KeyRecord& key : keys) found.keys[key.keyCode] = key.macroValue;
    std::vector<int32_t> ids;
    std::vector<std::vector<MacroEvent>> events;
    found.macros = store.ListMacroLibrary(ids, events);
    for (const auto& list : events) found.events += int(list.size());
    return found.Text();
}

constexpr int kEventsPerMacro = 20;

// Change `step` of a run: a setting, a button, a macro with its events, or the
// store closed and opened again (which folds the write-ahead log into the file).
bool Change(DataStore& store, const std::wstring& folder, int kind, int step, Expected& expected) {
    switch (kind) {
        case 0:
            expected.lightSleep = step;
            return store.SetConfigValue(1, L"light_sleep", std::to_wstring(step));
        case 1: {
            KeyRecord key;
            key.profile = 1;
            key.keyCode = step % 9;
            key.macroType = 2;
            key.macroValue = step;
            expected.keys[key.keyCode] = step;
            bool stored = false;
            store.SaveKey(key, &stored);
            return stored;
        }
        case 2:
            ++expected.macros;
            expected.events += kEventsPerMacro;
            return store.RunInTransaction([&] {
                const int32_t id = store.AddMacroFull(L"m" + std::to_wstring(step), 0, 1, 1, 0);
                if (id <= 0) return false;
                for (int i = 0; i < kEventsPerMacro; ++i)
                    if (store.AddMacroRecord(id, 2 + i % 2, i, std::wstring(40, L'e'), 4, 10) <= 0) return false;
                return true;
            });
        default:
            store.CloseIfOpen();
            return store.OpenForDevice(folder, L"M1", L"Profile");
    }
}

TEST_F(PowerLoss, AfterACutAtAnyMomentTheStoreIsWholeAndAtMostTheChangeUnderWayIsLost) {
    Store().CloseIfOpen();
    const std::string path = PathOf(L"M1");
    auto removeStore = [&] {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path + suffix);
    };
    constexpr int kSteps = 24;
    std::mt19937 random(20240607);
    std::vector<int> kinds(kSteps);
    int cuts = 0;
    {
        CrashVfs vfs;
        // One run without a cut tells how many writes and syncs a run makes.
        auto run = [&](long cutAt, int& inFlight, Expected& before, Expected& after) {
            removeStore();
            vfs.Settle();
            EXPECT_TRUE(Store().OpenForDevice(m_userFolder, L"M1", L"Profile"));
            Store().TakeOpenNotice();
            vfs.Settle();  // a whole new store is where every run starts
            vfs.CutAt(cutAt);
            inFlight = 0;
            for (int step = 1; step <= kSteps; ++step) {
                after = before;
                const bool done = Change(Store(), m_userFolder, kinds[step - 1], step, after);
                if (!done || vfs.HasCut()) {
                    inFlight = step;
                    return;
                }
                before = after;
            }
        };
        for (int& kind : kinds) kind = int(random() % 4);
        int inFlight = 0;
        Expected before, after;
        run(0, inFlight, before, after);
        ASSERT_EQ(inFlight, 0);
        const long operations = vfs.Operations();
        ASSERT_GT(operations, kSteps);
        Store().CloseIfOpen();

        for (int trial = 0; trial < 150; ++trial) {
            SCOPED_TRACE("trial " + std::to_string(trial));
            for (int& kind : kinds) kind = int(random() % 4);
            before = after = Expected{};
            run(1 + long(random() % operations), inFlight, before, after);
            Store().CloseIfOpen();
            if (inFlight > 0) ++cuts;
            vfs.Recover(random);

            ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1", L"Profile"));
            const StoreNotice notice = Store().TakeOpenNotice();
            EXPECT_EQ(notice.kind, StoreNotice::Kind::None) << notice.detail << " " << notice.movedTo;
            EXPECT_FALSE(Store().IsUnusable()) << Store().GetUnusableReason();
            const std::string stored = StoredText(Store());
            // Either without the change under way, or with all of it.
            if (stored != before.Text()) {
                EXPECT_EQ(stored, after.Text()) << "cut during change " << inFlight << "; before it:\n"
                                                << before.Text();
            }
            Store().CloseIfOpen();
        }
    }
    EXPECT_GT(cuts, 100);
    removeStore();
    ASSERT_TRUE(Store().OpenForDevice(m_userFolder, L"M1"));
}

}  // namespace
