#include "app/DeviceWorker.h"

#include "device/DeviceManager.h"
#include "base/LanguageText.h"
#include "base/AppContext.h"
#include "base/SettingsStore.h"
#include "base/Trace.h"
#include "protocol/DeviceState.h"
#include "protocol/SettingReports.h"
#include "storage/DataStore.h"

namespace {

constexpr int kTextDefaultProfileName = 61;
constexpr int kTextMouseVersion = 551;
constexpr int kTextReceiverVersion = 552;

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

std::wstring VersionLabel(int textId, const std::wstring& version) {
    return Text(textId) + L": " + version;
}

}  // namespace

DeviceWorker::DeviceWorker(DeviceMainDef& state, DeviceView& view, PcFunctionExecutor& executor,
                           DeviceManager& manager, DataStore& store)
    : m_state(state), m_view(view), m_executor(executor), m_manager(manager), m_store(store) {}

DeviceWorker::~DeviceWorker() {
    Stop();
}

bool DeviceWorker::StartWorker() {
    return Start(m_timings.cyclePeriodMs, true);
}

void DeviceWorker::ThreadCycle() {
    // Tasks queued while the pairing dialog talks to the receiver are dropped, one a cycle.
    if (m_state.IsPairingOpen()) {
        m_state.DiscardTask();
        return;
    }
    WorkerTask task;
    if (m_state.TakeTask(task)) {
        const int refused = m_refusedWrites;
        const int failures = m_sendFailures;
        RunTask(task);
        TellProblems(refused);
        m_state.FinishTask(m_sendFailures == failures);
        return;
    }
    if (m_state.AreDevicesPresent()) PollNotification();
}

void DeviceWorker::WaitBetweenCycles(int periodMs) {
    if (m_state.HasQueuedTasks()) {
        Pause(periodMs);
        return;
    }
    // Without devices only a task or a refresh (which may find some) ends the sleep.
    const std::vector<int> wake{m_state.GetTaskWaitHandle(), GetStopHandle()};
    if (m_manager.WaitForInput(wake, -1, m_state.AreDevicesPresent()) < 0) Pause(periodMs);
}

void DeviceWorker::RunTask(const WorkerTask& task) {
    Vantorel::Trace("worker task %s", DescribeTask(task).c_str());
    switch (task.kind) {
        case TaskKind::InitialRead:
            InitialRead();
            break;
        case TaskKind::ReadAfterChangeLong:
            ReadAfterDeviceChange(true);
            break;
        case TaskKind::ReadAfterChangeShort:
            ReadAfterDeviceChange(false);
            break;
        case TaskKind::ReadAfterSwitch:
            ReadAfterSwitch();
            break;
        case TaskKind::WriteEverything:
            WriteEverything();
            break;
        case TaskKind::WriteMacros:
            WriteMacroMemory();
            break;
        case TaskKind::WriteButtonMap:
            WriteButtonMap();
            break;
        case TaskKind::WriteSetting:
            WriteSetting(task.setting);
            break;
        case TaskKind::ResetPage:
            ResetPage(task.reset);
            break;
        case TaskKind::FactoryReset:
            FactoryReset();
            break;
        case TaskKind::None:
        case TaskKind::Lighting:
            break;  // nothing to send
    }
}

// ---- reads ----

bool DeviceWorker::ReadMouseState() {
    ReportBuffer answer{};
    bool valid = false;
    for (int attempt = 0; attempt < m_timings.stateReadAttempts && !valid; ++attempt) {
        FrameReport(answer, kCmdGetInfo, 0);
        valid = SendReport(answer, true) && IsValidInfoAnswer(answer);
        if (!valid) Pause(m_timings.stateReadPauseMs);
    }
    DeviceValues values = m_state.GetDeviceValues();
    if (!valid) {
        HandleMouseUnreachable(values.connectionKind);
        return false;
    }
    const MouseInfo info = DecodeMouseInfo(answer);
    values.connectionKind = info.connectionKind;
    values.mousePresent = info.mousePresent;
    values.batteryLevel = info.batteryLevel;
    values.charging = info.charging;
    if (info.mousePresent == 0) {
        m_state.SetDeviceValues(values);
        HandleMouseUnreachable(info.connectionKind);
        return false;
    }
    m_view.SetDeviceBattery(m_state.GetCurrentDeviceType(), info.charging, info.batteryLevel);
    m_view.SetBatteryInfo(info.batteryLevel, info.charging);

    m_state.SetMouseVersion(info.version);
    m_view.SetMouseVersionLabel(VersionLabel(kTextMouseVersion, info.version));
    m_view.SetReceiverVersionLabel(Text(kTextReceiverVersion));

    values.dpiIndex = info.dpiIndex;
    values.dpi = info.dpi;
    values.reportRate = info.reportRate;
    values.reportFlag = info.reportFlag;
    m_state.SetDeviceValues(values);
    // Only what the mouse changed is written, all in one step: a read of an
    // unchanged mouse writes nothing, and a busy store is waited for once.
    m_store.StoreConfigValues(m_state.GetCurrentProfile(), info.storedValues);

    ReadReceiverVersion();
    for (uint8_t command : {kCmdStatus1, kCmdStatus2}) {  // answers not used
        ReportBuffer status{};
        FrameReport(status, command, 0);
        SendReport(status, true);
    }
    m_state.QueueTask(kTaskWriteMacros);
    return true;
}

void DeviceWorker::ReadReceiverVersion() {
    m_state.SetReceiverVersion(L"");
    ReportBuffer answer{};
    FrameReport(answer, kCmdGetReceiverInfo, 0);
    if (!SendReport(answer, true) || !IsValidReceiverAnswer(answer)) return;
    const std::wstring version = FormatFirmwareVersion(answer[10], answer[9]);
    m_state.SetReceiverVersion(version);
    m_view.SetReceiverVersionLabel(VersionLabel(kTextReceiverVersion, version));
}

void DeviceWorker::HandleMouseUnreachable(int connectionKind) {
    m_state.SetConnected(false);
    m_view.ShowNotConnectedView();
    m_view.SetDeviceState(m_state.GetCurrentDeviceType(), connectionKind, kReceiverOffline);
    m_manager.PollOnline();
    m_view.OnDeviceEvent(DeviceEvent::MouseUnreachable);
}

void DeviceWorker::LoadProfiles() {
    const int32_t profile = m_store.InitProfiles(Text(kTextDefaultProfileName));
    m_state.SetCurrentProfile(profile);
    // Values out of range go back to their defaults before anything is sent or shown.
    LoadValues();
    std::wstring name;
    m_store.GetProfileName(profile, name, GetCurrentLcid());
    m_view.SetProfileTitle(name);
}

void DeviceWorker::InitialRead() {
    if (m_state.IsInitialReadDone() || m_manager.GetCurrentDevMode() == -1) return;
    LoadProfiles();
    if (!ReadMouseState()) return;
    m_view.OnDeviceEvent(DeviceEvent::StateRead);
    m_state.SetInitialReadDone(true);
}

void DeviceWorker::ReadAfterDeviceChange(bool longForm) {
    Pause(longForm ? m_timings.longChangePauseMs : m_timings.shortChangePauseMs);
    // Changes queued during the pause are seen by this refresh: they fold into it.
    longForm = m_state.TakeDeviceChangeReads() == kTaskReadAfterChangeLong || longForm;
    m_state.SetMousePresent(0);
    RefreshDevices();
    if (m_manager.GetCurrentDevMode() == -1) return;
    LoadProfiles();
    if (ReadMouseState()) m_view.OnDeviceEvent(DeviceEvent::StateRead);
    if (longForm) InitialRead();
}

void DeviceWorker::ReadAfterSwitch() {
    m_state.SetMousePresent(0);
    if (m_manager.GetCurrentDevMode() != -1) {
        LoadProfiles();
        m_view.OnDeviceEvent(DeviceEvent::SwitchedProfileLoaded);
        if (ReadMouseState()) m_view.OnDeviceEvent(DeviceEvent::StateRead);
    }
    // The wait dialog of a switch closes also when the model is not there.
    m_view.CloseWaitDialog();
    Pause(m_timings.switchPauseMs);
}

void DeviceWorker::ReReadAfterNotification() {
    ReadMouseState();
    m_view.OnDeviceEvent(DeviceEvent::StateRead);
}

void DeviceWorker::RefreshDevices() {
    const int32_t stored = ReadAppRegInt(L"DeviceType");
    m_manager.DropActiveHandle();
    m_manager.Reenumerate();
    m_manager.SetCurrentDeviceType(0);
    std::vector<DeviceRecord> records;
    const bool any = m_manager.CollectDevices(records);
    m_manager.SetCurrentDeviceType(stored);
    m_manager.DropActiveHandle();

    m_view.SetAllDeviceState(0);
    for (const DeviceRecord& r : records) {
        m_view.SetDeviceState(r.deviceType, r.deviceMode, r.online);
        m_view.SetDeviceVersion(r.deviceType, r.release);
        m_view.SetDeviceBattery(r.deviceType, r.charging, r.batteryLevel);
    }
    const int32_t selected = m_view.SelectDevice(stored);
    m_state.SetCurrentDeviceType(selected);
    m_manager.SetCurrentDeviceType(selected);
    m_manager.DropActiveHandle();

    m_state.SetDevicesPresent(any);
    const int mode = any ? m_manager.GetCurrentDevMode() : -1;
    m_state.SetConnected(mode != -1);
    if (mode == -1)
        m_view.ShowNotConnectedView();
    else
        m_view.ShowDeviceListView(mode);
}

// ---- helpers ----

bool DeviceWorker::SendReport(ReportBuffer& report, bool wantReply) {
    if (m_manager.Send(report, wantReply)) return true;
    ++m_sendFailures;
    return false;
}

bool DeviceWorker::SendChange(ReportBuffer& report) {
    const uint8_t command = report[1];
    bool answered = false;
    if (!m_manager.Send(report, true, &answered)) {
        ++m_sendFailures;
        return false;
    }
    if (!answered) {
        // The mouse answers the changes it takes and ignores the ones it refuses.
        Vantorel::Trace("worker: the mouse did not take command 0x%02X", command);
        ++m_sendFailures;
        ++m_refusedWrites;
        return false;
    }
    m_refusalTold = false;
    return true;
}

void DeviceWorker::TellProblems(int refusedBefore) {
    if (m_store.HasNotice() || m_store.IsUnusable()) m_view.TellStoreProblems();
    if (m_refusedWrites != refusedBefore && !m_refusalTold) {
        m_refusalTold = true;
        m_view.TellRefusedWrite();
    }
}

void DeviceWorker::LoadValues() {
    m_store.LoadCheckedConfig(m_state.GetCurrentProfile(), m_values);
}

std::wstring DeviceWorker::ReadConfig(const std::wstring& key) {
    const auto found = m_values.find(key);
    return found == m_values.end() ? std::wstring() : found->second;
}

void DeviceWorker::WriteConfig(const std::wstring& key, const std::wstring& value) {
    m_store.SetConfigValue(m_state.GetCurrentProfile(), key, value);
}
