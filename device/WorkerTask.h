#pragma once
// A task for the device worker: what to do and what it needs to do it. The pages,
// the hot-plug handler, the profile import and the bus service queue them; the
// worker runs them in FIFO order. A task carries its own arguments (the setting a
// write sends, the page a reset is for), so two tasks queued back to back never
// share a value that the second could overwrite before the first runs.
#include <cstdint>
#include <iosfwd>
#include <string>

#include "protocol/SettingReports.h"

enum class TaskKind : uint8_t {
    None,  // consumed without effect
    InitialRead,
    ReadAfterChangeLong,   // pause 1000 ms, refresh, read, then the initial read
    ReadAfterChangeShort,  // pause 500 ms, refresh, read
    ReadAfterSwitch,
    WriteEverything,
    WriteMacros,
    WriteButtonMap,
    Lighting,  // lighting lives in the store only: nothing to send
    WriteSetting,
    ResetPage,
    FactoryReset,
};

// The page whose reset a ResetPage task carries out.
enum class ResetScope : uint8_t { Dpi, Lighting };

struct WorkerTask {
    TaskKind kind = TaskKind::None;
    uint8_t setting = 0;                // WriteSetting: the setting id it sends
    ResetScope reset = ResetScope::Dpi;  // ResetPage: the page reset

    static constexpr WorkerTask Of(TaskKind kind) { return {kind, 0, ResetScope::Dpi}; }
    static constexpr WorkerTask WriteSetting(uint8_t settingId) {
        return {TaskKind::WriteSetting, settingId, ResetScope::Dpi};
    }
    static constexpr WorkerTask ResetPage(ResetScope scope) { return {TaskKind::ResetPage, 0, scope}; }

    // The reads a device change queues: they fold into each other.
    constexpr bool IsDeviceChangeRead() const {
        return kind == TaskKind::ReadAfterChangeLong || kind == TaskKind::ReadAfterChangeShort;
    }
    friend constexpr bool operator==(const WorkerTask&, const WorkerTask&) = default;
};

// "write setting 2", "reset page lighting": for traces and test failures.
std::string DescribeTask(const WorkerTask& task);
std::ostream& operator<<(std::ostream& out, const WorkerTask& task);

inline constexpr WorkerTask kTaskNone{};
inline constexpr WorkerTask kTaskInitialRead = WorkerTask::Of(TaskKind::InitialRead);
inline constexpr WorkerTask kTaskReadAfterChangeLong = WorkerTask::Of(TaskKind::ReadAfterChangeLong);
inline constexpr WorkerTask kTaskReadAfterChangeShort = WorkerTask::Of(TaskKind::ReadAfterChangeShort);
inline constexpr WorkerTask kTaskReadAfterSwitch = WorkerTask::Of(TaskKind::ReadAfterSwitch);
inline constexpr WorkerTask kTaskWriteEverything = WorkerTask::Of(TaskKind::WriteEverything);
inline constexpr WorkerTask kTaskWriteMacros = WorkerTask::Of(TaskKind::WriteMacros);
inline constexpr WorkerTask kTaskWriteButtonMap = WorkerTask::Of(TaskKind::WriteButtonMap);
inline constexpr WorkerTask kTaskLighting = WorkerTask::Of(TaskKind::Lighting);
inline constexpr WorkerTask kTaskWriteDpiStage = WorkerTask::WriteSetting(kSettingDpiStage);
inline constexpr WorkerTask kTaskWriteReportRate = WorkerTask::WriteSetting(kSettingReportRate);
inline constexpr WorkerTask kTaskWriteSensor = WorkerTask::WriteSetting(kSettingSensor);
inline constexpr WorkerTask kTaskWriteRespondTime = WorkerTask::WriteSetting(kSettingRespondTime);
inline constexpr WorkerTask kTaskWriteScroll = WorkerTask::WriteSetting(kSettingScroll);
inline constexpr WorkerTask kTaskWriteLiftoff = WorkerTask::WriteSetting(kSettingLiftoff);
inline constexpr WorkerTask kTaskWriteHighspeed = WorkerTask::WriteSetting(kSettingHighspeed);
inline constexpr WorkerTask kTaskWriteSleep = WorkerTask::WriteSetting(kSettingSleep);
inline constexpr WorkerTask kTaskWriteMoveWakeup = WorkerTask::WriteSetting(kSettingMoveWakeup);
inline constexpr WorkerTask kTaskResetDpiPage = WorkerTask::ResetPage(ResetScope::Dpi);
inline constexpr WorkerTask kTaskResetLightingPage = WorkerTask::ResetPage(ResetScope::Lighting);
inline constexpr WorkerTask kTaskFactoryReset = WorkerTask::Of(TaskKind::FactoryReset);

// The task that sends a configuration key (the one its page queues), or
// kTaskNone for keys kept in the store only.
WorkerTask TaskForConfigKey(const std::wstring& key);

// What the worker does after a device change and after a profile import.
enum class DeviceChangeRead : uint8_t;
enum ProfileImport : int;
WorkerTask TaskForDeviceChange(DeviceChangeRead read);
WorkerTask TaskAfterImport(ProfileImport import);
