// The UI thread edits settings and macros while the device worker reads key
// assignments and settings: every operation, and every sequence a caller holds
// the store lock around, must be seen whole by the other thread.
#include <atomic>
#include <thread>

#include "StoreTestSupport.h"

namespace {

constexpr int kEvents = 40;

std::vector<MacroEvent> Events(int32_t macroId, int32_t value) {
    std::vector<MacroEvent> events(kEvents);
    for (int i = 0; i < kEvents; ++i) {
        events[i].macroId = macroId;
        events[i].recordIndex = i;
        events[i].value = value;
    }
    return events;
}

int ReadInt(int32_t profile, const wchar_t* key) {
    std::wstring value;
    DataStore::Instance().GetConfigValue(profile, key, value);
    return value.empty() ? -1 : std::stoi(value);
}

}  // namespace

using StoreConcurrency = StoreTest;

TEST_F(StoreConcurrency, WorkerReadsWholeRowsWhileTheUiEdits) {
    const int32_t profile = Store().InitProfiles(L"Profile");
    ASSERT_EQ(profile, 1);
    const int32_t macro = Store().AddMacro(L"Macro1");
    Store().AddMacroRecords(Events(macro, 0));
    for (int32_t keyCode = 1; keyCode <= 5; ++keyCode) {
        KeyRecord key;
        key.profile = profile;
        key.keyCode = keyCode;
        key.macroType = 1;
        key.macroValue = keyCode;
        ASSERT_NE(Store().SaveKey(key), 0);
    }

    std::atomic<bool> done{false};
    std::thread ui([&] {
        for (int round = 1; round <= 60; ++round) {
            Store().SetConfigValue(profile, L"dpi_index", std::to_wstring(round % 7));
            KeyRecord key;
            key.profile = profile;
            key.keyCode = 1 + round % 5;
            key.macroType = 1;
            key.macroValue = round;
            Store().SaveKey(key);
            // Saving an edited macro is three operations; the lock makes them one step.
            Store().Lock();
            Store().UpdateMacro(macro, L"Macro1", 0, round, 1, 0);
            Store().DeleteMacroRecords(macro);
            Store().AddMacroRecords(Events(macro, round));
            Store().Unlock();
        }
        done = true;
    });

    std::vector<KeyRecord> keys;
    std::vector<MacroEvent> events;
    auto readAsTheWorker = [&] {
        ASSERT_EQ(Store().ListKeys(profile, keys), 5);  // a replaced row is never missing
        const int index = ReadInt(profile, L"dpi_index");
        ASSERT_TRUE(index >= 0 && index < 7) << index;
        ASSERT_EQ(Store().ListMacroRecords(macro, events), kEvents);
        for (const MacroEvent& event : events) ASSERT_EQ(event.value, events.front().value);
    };
    // Stops at the first failure, but always joins the other thread.
    for (int reads = 0; (!done || reads == 0) && !HasFatalFailure(); ++reads) readAsTheWorker();
    ui.join();
    EXPECT_EQ(ReadInt(profile, L"dpi_index"), 60 % 7);
}

TEST_F(StoreConcurrency, ReadModifyWriteUnderTheLockLosesNoUpdate) {
    const int32_t profile = Store().InitProfiles(L"Profile");
    ASSERT_TRUE(Store().SetConfigValue(profile, L"report_count", L"0"));
    auto increment = [&] {
        for (int i = 0; i < 50; ++i) {
            Store().Lock();
            const int value = ReadInt(profile, L"report_count");
            Store().SetConfigValue(profile, L"report_count", std::to_wstring(value + 1));
            Store().Unlock();
        }
    };
    std::thread worker(increment);
    increment();
    worker.join();
    EXPECT_EQ(ReadInt(profile, L"report_count"), 100);
}
