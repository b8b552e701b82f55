#pragma once
// A worker on the simulated mouse: its own device manager on a fresh simulation (the
// catalog's identities, short waits), a real store file in a fresh folder, a scratch
// settings store, a recording view and recording desktop services.
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "../device/SimFixture.h"
#include "../features/RecordingDesktop.h"
#include "../support/TempFolder.h"
#include "RecordingView.h"
#include "app/DeviceWorker.h"
#include "platform/PcFunctionExecutor.h"
#include "base/TextConv.h"
#include "storage/DataStore.h"

inline WorkerTimings FastWorkerTimings() {
    WorkerTimings t;
    t.cyclePeriodMs = 1;
    t.stateReadAttempts = 2;
    t.stateReadPauseMs = 1;
    t.longChangePauseMs = 1;
    t.shortChangePauseMs = 1;
    t.switchPauseMs = 1;
    t.lightingWritePauseMs = 1;
    t.resetSettleMs = 1;
    t.resetClosePauseMs = 1;
    t.macroChunkPauseMs = 0;
    return t;
}

class WorkerFixture : public SimFixture {
  protected:
    explicit WorkerFixture(std::vector<int32_t> mice = {101}) : SimFixture(std::move(mice)) {}

    void SetUp() override {
        const char* config = getenv("XDG_CONFIG_HOME");
        m_savedConfig = config ? std::optional<std::string>(config) : std::nullopt;
        setenv("XDG_CONFIG_HOME", Orvix::WideToUtf8(folder.File("config")).c_str(), 1);
        std::filesystem::create_directories(Orvix::WideToUtf8(folder.File("db")));
        ASSERT_TRUE(Store().OpenForDevice(folder.Folder(), L"vantorel_v8"));
        worker.SetTimings(FastWorkerTimings());
    }

    void TearDown() override {
        worker.Stop();
        Store().CloseIfOpen();
        if (m_savedConfig)
            setenv("XDG_CONFIG_HOME", m_savedConfig->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        SimFixture::TearDown();
    }

    static DataStore& Store() { return DataStore::Instance(); }

    // Plugs the cable in and refreshes as the main window does at start-up.
    void Connect(SimEndpoint endpoint = SimEndpoint::Cable) {
        sim->Plug(endpoint);
        worker.RefreshDevices();
    }

    std::wstring Config(const std::wstring& key) {
        std::wstring value;
        Store().GetConfigValue(state.GetCurrentProfile(), key, value);
        return value;
    }
    void SetConfig(const std::wstring& key, const std::wstring& value) {
        ASSERT_TRUE(Store().SetConfigValue(state.GetCurrentProfile(), key, value));
    }
    std::map<std::wstring, std::wstring> AllConfig() {
        std::map<std::wstring, std::wstring> all;
        for (const wchar_t* key :
             {L"dpi_index", L"dpi_count", L"dpi_group0_value", L"dpi_group1_value", L"dpi_group2_value",
              L"dpi_group3_value", L"dpi_group4_value", L"dpi_group5_value", L"report_rate", L"report_flag",
              L"scroll_flag", L"liftoff_height", L"sensor_flag", L"highspeed_mode", L"button_respondtime",
              L"light_sleep", L"deep_sleep", L"move_wakeup", L"move_closelight"})
            all[key] = Config(key);
        return all;
    }

    // Runs every queued task, as the worker's cycles would.
    void RunQueued() {
        WorkerTask task;
        while (state.TakeTask(task)) {
            worker.RunTask(task);
            state.FinishTask();
        }
    }

    TempFolder folder;
    DeviceMainDef state;
    RecordingView view;
    RecordingDesktop desktop;
    PcFunctionExecutor executor{DataStore::Instance(), desktop};
    DeviceWorker worker{state, view, executor, manager, DataStore::Instance()};

  private:
    std::optional<std::string> m_savedConfig;
};
