#pragma once
// The main window controller's state that the device worker shares with the UI
// thread: the task queue, the current profile and model, the connection flags,
// the values last read from the mouse and the firmware version strings. Every
// member is safe to use from both threads.
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "device/WorkerTask.h"

// What the last state read found.
struct DeviceValues {
    int connectionKind = 0;
    int mousePresent = 0;
    int batteryLevel = 0;
    int charging = 0;
    int dpiIndex = 0;
    std::array<int, 6> dpi{};
    int reportRate = 0;
    int reportFlag = 0;
};

// Told, on the worker thread, when a queued task ends: true when every report it
// sent went out; false when it failed or was dropped without running.
using TaskDone = std::function<void(bool sent)>;

class DeviceMainDef {
  public:
    DeviceMainDef();
    ~DeviceMainDef();
    DeviceMainDef(const DeviceMainDef&) = delete;
    DeviceMainDef& operator=(const DeviceMainDef&) = delete;

    // ---- the task queue: appended by the UI thread, taken by the worker ----
    // A read after a device change folds into one already queued (the long form
    // wins): however many changes come, at most one such read waits.
    void QueueTask(const WorkerTask& task);
    // Removes the reads after a device change still queued, for a refresh about
    // to run that sees their changes: the strongest form taken (the long one
    // over the short one), kTaskNone when there was none.
    WorkerTask TakeDeviceChangeReads();
    // The same, for a caller that waits for the task's outcome.
    void QueueTask(const WorkerTask& task, TaskDone done);
    // Takes the first task and marks the worker busy until FinishTask.
    bool TakeTask(WorkerTask& task);
    // `sent`: whether every report of the task went out (told to its waiter).
    void FinishTask(bool sent = true);
    // Removes the first task without running it (its waiter is told it failed).
    bool DiscardTask();
    bool HasQueuedTasks() const;
    // Nothing queued and no task running.
    bool IsIdle() const;
    // How often a task (with the same arguments) was queued since the state was made.
    int GetQueuedCount(const WorkerTask& task) const;
    // A descriptor that polls readable exactly while a task is queued, for the
    // worker to sleep on (owned here; -1 when the system gave none).
    int GetTaskWaitHandle() const { return m_taskSignal; }

    int32_t GetCurrentProfile() const { return m_currentProfile; }
    void SetCurrentProfile(int32_t profile) { m_currentProfile = profile; }
    int32_t GetCurrentDeviceType() const { return m_currentDeviceType; }
    void SetCurrentDeviceType(int32_t type) { m_currentDeviceType = type; }
    bool IsInitialReadDone() const { return m_initialReadDone; }
    void SetInitialReadDone(bool done) { m_initialReadDone = done; }
    bool AreDevicesPresent() const { return m_devicesPresent; }
    void SetDevicesPresent(bool present) { m_devicesPresent = present; }
    bool IsConnected() const { return m_connected; }
    void SetConnected(bool connected) { m_connected = connected; }
    bool IsPairingOpen() const { return m_pairingOpen; }
    void SetPairingOpen(bool open) { m_pairingOpen = open; }
    int GetCurrentTab() const { return m_currentTab; }
    void SetCurrentTab(int tab) { m_currentTab = tab; }
    bool HasLightingPage() const { return m_lightingPage; }
    void SetLightingPage(bool present) { m_lightingPage = present; }

    DeviceValues GetDeviceValues() const;
    void SetDeviceValues(const DeviceValues& values);
    void SetMousePresent(int present);
    void SetActiveDpiIndex(int index);
    void SetBattery(int level, int charging);

    // Mouse firmware "1.0.10" until a read; receiver firmware empty until it answers.
    std::wstring GetMouseVersion() const;
    void SetMouseVersion(const std::wstring& version);
    std::wstring GetReceiverVersion() const;
    void SetReceiverVersion(const std::wstring& version);

  private:
    struct QueuedTask {
        WorkerTask task;
        TaskDone done;
    };
    mutable std::mutex m_queueLock;
    std::deque<QueuedTask> m_tasks;
    TaskDone m_runningDone;  // the waiter of the task being run
    std::vector<std::pair<WorkerTask, int>> m_queuedCounts;
    bool m_taskRunning = false;
    int m_taskSignal = -1;  // eventfd, set while m_tasks is not empty

    std::atomic<int32_t> m_currentProfile{1};
    std::atomic<int32_t> m_currentDeviceType{0};
    std::atomic<bool> m_initialReadDone{false};
    std::atomic<bool> m_devicesPresent{false};
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_pairingOpen{false};
    std::atomic<int> m_currentTab{1};
    std::atomic<bool> m_lightingPage{true};

    mutable std::mutex m_valueLock;
    DeviceValues m_values;
    std::wstring m_mouseVersion = L"1.0.10";
    std::wstring m_receiverVersion;
};
