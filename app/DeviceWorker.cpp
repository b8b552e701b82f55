#include "app/DeviceWorker.h"

#include "device/DeviceManager.h"
#include "exchange/LanguageText.h"
#include "platform/AppContext.h"
#include "platform/SettingsStore.h"
#include "platform/Trace.h"
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
    int task = 0;
    if (m_state.TakeTask(task)) {
        const int failures = m_sendFailures;
        RunTask(task);
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

void DeviceWorker::RunTask(int code) {
    Vantorel::Trace("worker task %d", code);
    switch (code) {
        case kTaskInitialRead:
            InitialRead();
            break;
        case kTaskReadAfterChangeLong:
            ReadAfterDeviceChange(true);
            break;
        case kTaskReadAfterChangeShort:
            ReadAfterDeviceChange(false);
            break;
        case kTaskReadAfterSwitch:
            ReadAfterSwitch();
            break;
        case kTaskWriteEverything:
            WriteEverything();
            break;
        case kTaskWriteMacros:
            WriteMacroMemory();
            break;
        case kTaskWriteButtonMap:
            WriteButtonMap();
            break;
        case kTaskResetPage:
            ResetCurrentPage();
            break;
        case kTaskFactoryReset:
            FactoryReset();
            break;
        default:
            if (const uint8_t setting = SettingIdForTask(code)) WriteSetting(setting);
            break;  // codes without a task are consumed
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
    for (const auto& [key, value] : info.storedValues) WriteConfig(key, value);

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
    m_view.StopMacroRecording();
    m_view.ClosePopups();
}

void DeviceWorker::LoadProfiles() {
    const int32_t profile = m_store.InitProfiles(Text(kTextDefaultProfileName));
    m_state.SetCurrentProfile(profile);
    std::wstring name;
    m_store.GetProfileName(profile, name, GetCurrentLcid());
    m_view.SetProfileTitle(name);
}

void DeviceWorker::ReloadPages() {
    m_view.ReloadButtonPage();
    m_view.ReloadMacroList();
    m_view.ReloadDpiPerformancePage();
    if (m_state.HasLightingPage()) m_view.ReloadLightingPage();
}

void DeviceWorker::InitialRead() {
    if (m_state.IsInitialReadDone() || m_manager.GetCurrentDevMode() == -1) return;
    LoadProfiles();
    if (!ReadMouseState()) return;
    ReloadPages();
    m_state.SetInitialReadDone(true);
}

void DeviceWorker::ReadAfterDeviceChange(bool longForm) {
    Pause(longForm ? m_timings.longChangePauseMs : m_timings.shortChangePauseMs);
    m_state.SetMousePresent(0);
    RefreshDevices();
    if (m_manager.GetCurrentDevMode() == -1) return;
    LoadProfiles();
    if (ReadMouseState()) ReloadPages();
    if (longForm) InitialRead();
}

void DeviceWorker::ReadAfterSwitch() {
    m_state.SetMousePresent(0);
    if (m_manager.GetCurrentDevMode() != -1) {
        LoadProfiles();
        m_view.ReloadDpiPerformancePage();
        if (ReadMouseState()) ReloadPages();
    }
    // The wait dialog of a switch closes also when the model is not there.
    m_view.CloseWaitDialog();
    Pause(m_timings.switchPauseMs);
}

void DeviceWorker::ReReadAfterNotification() {
    ReadMouseState();
    ReloadPages();
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

std::wstring DeviceWorker::ReadConfig(const std::wstring& key) {
    std::wstring value;
    m_store.GetConfigValue(m_state.GetCurrentProfile(), key, value);
    return value;
}

void DeviceWorker::WriteConfig(const std::wstring& key, const std::wstring& value) {
    m_store.SetConfigValue(m_state.GetCurrentProfile(), key, value);
}
