#pragma once
// The main window's worker: every exchange with the mouse runs here, on its own
// thread, one queued task at a time (reads, writes, resets); between tasks it reads
// the notifications of the open interfaces. With nothing to do it sleeps until a
// task is queued or an interface has a report, instead of cycling. Values are read from the store of the
// current profile when a report is built, never passed with the task. What the
// worker shows goes through DeviceView.
#include <atomic>
#include <cstdint>
#include <map>
#include <string>

#include "platform/CThreadBasic.h"
#include "device/DeviceMainDef.h"
#include "app/DeviceView.h"
#include "protocol/Report.h"

class DataStore;
class DeviceManager;
class PcFunctionExecutor;

// Every wait of the worker. The defaults are the product's; tests shorten them.
struct WorkerTimings {
    int cyclePeriodMs = 2;
    int stateReadAttempts = 5;
    int stateReadPauseMs = 20;
    int longChangePauseMs = 1000;     // the long read after a device change, before the refresh
    int shortChangePauseMs = 500;     // the short one
    int switchPauseMs = 100;          // the read after a switch, after closing the wait dialog
    int lightingWritePauseMs = 1000;  // end of the full write for models with lighting
    int resetSettleMs = 3000;         // factory reset, after the reset report
    int resetClosePauseMs = 1000;     // factory reset, before and after closing the wait dialog
    int macroChunkPauseMs = 10;
};

class DeviceWorker : public CThreadBasic {
  public:
    DeviceWorker(DeviceMainDef& state, DeviceView& view, PcFunctionExecutor& executor, DeviceManager& manager,
                 DataStore& store);
    ~DeviceWorker() override;

    // Before StartWorker.
    void SetTimings(const WorkerTimings& timings) { m_timings = timings; }
    // Starts the cycle (period 2 ms, repeated).
    bool StartWorker();

    // One cycle: discards a task while pairing is open, else runs the first queued
    // task, else polls for a notification when devices are present.
    void ThreadCycle() override;
    void RunTask(const WorkerTask& task);

    // ---- reads ----
    // The full read: true when the mouse answered and its values were stored.
    bool ReadMouseState();
    void HandleMouseUnreachable(int connectionKind);
    void InitialRead();
    // The reads after a device change (the long form ends with the initial read).
    void ReadAfterDeviceChange(bool longForm);
    void ReadAfterSwitch();
    void ReReadAfterNotification();
    // Re-enumerates, updates the device list and the connection flags and view.
    void RefreshDevices();

    // ---- writes ----
    bool WriteSetting(uint8_t settingId);
    void WriteEverything();
    bool WriteButtonMap();
    bool WriteMacroMemory();
    void ResetPage(ResetScope scope);
    void FactoryReset();

    // Reads one report from the open interfaces and acts on a notification.
    void PollNotification();

    // Sends that failed since the worker was made (no device, a write error, a
    // change the mouse did not take).
    int GetSendFailures() const { return m_sendFailures; }
    // Changes the mouse did not take (no answer to the report) since the worker was made.
    int GetRefusedWrites() const { return m_refusedWrites; }

  protected:
    // Queued tasks follow each other at the cycle period; otherwise the worker
    // sleeps on the task queue and, while devices are present, on their
    // interfaces (polling them in turn only where a back end offers nothing to
    // wait on).
    void WaitBetweenCycles(int periodMs) override;

  private:
    bool SendReport(ReportBuffer& report, bool wantReply);
    // A report that changes the mouse: it must be written and answered.
    bool SendChange(ReportBuffer& report);
    // One setting from the values LoadValues read.
    bool SendSetting(uint8_t settingId);
    // The current profile's settings, checked against their ranges (values out
    // of range are put back to their defaults, in the store too): what the
    // reports of a write task are built from.
    void LoadValues();
    std::wstring ReadConfig(const std::wstring& key);
    void WriteConfig(const std::wstring& key, const std::wstring& value);
    // After each task: a store repair or failure, or a change the mouse did not
    // take, is told once per condition.
    void TellProblems(int refusedBefore);
    // The initial-profile rule; makes the active profile current and shows its name.
    void LoadProfiles();
    void ReadReceiverVersion();
    void OnBatteryNotification(int32_t deviceType, int level, int charging);

    DeviceMainDef& m_state;
    DeviceView& m_view;
    PcFunctionExecutor& m_executor;
    DeviceManager& m_manager;
    DataStore& m_store;
    WorkerTimings m_timings;
    std::atomic<int> m_sendFailures{0};
    std::atomic<int> m_refusedWrites{0};
    bool m_refusalTold = false;
    std::map<std::wstring, std::wstring> m_values;  // LoadValues
};
