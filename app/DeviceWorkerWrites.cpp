// The worker's writes to the mouse and its handling of the mouse's notifications.
#include <vector>

#include "app/DeviceWorker.h"
#include "device/DeviceManager.h"
#include "base/ButtonFunction.h"
#include "platform/PcFunctionExecutor.h"
#include "protocol/MacroImage.h"
#include "protocol/Notification.h"
#include "protocol/SettingReports.h"
#include "storage/ConfigDefaults.h"
#include "storage/DataStore.h"

bool DeviceWorker::WriteSetting(uint8_t settingId) {
    LoadValues();
    return SendSetting(settingId);
}

bool DeviceWorker::SendSetting(uint8_t settingId) {
    ReportBuffer report{};
    if (!BuildSettingReport(
            settingId, [this](const std::wstring& key) { return ReadConfig(key); }, report))
        return false;
    return SendChange(report);
}

void DeviceWorker::WriteEverything() {
    // Checked first: the pages show, and the mouse gets, values it can take.
    LoadValues();
    m_view.OnDeviceEvent(DeviceEvent::ProfileChecked);
    for (uint8_t setting : kFullWriteSettings) SendSetting(setting);
    WriteButtonMap();
    if (m_state.HasLightingPage()) Pause(m_timings.lightingWritePauseMs);
}

bool DeviceWorker::WriteButtonMap() {
    std::vector<KeyRecord> keys;
    m_store.ListKeys(m_state.GetCurrentProfile(), keys);
    // Numbered as the macro memory holds them: a macro that did not fit is no macro.
    std::vector<int32_t> macroIds;
    std::vector<std::vector<MacroEvent>> macros;
    m_store.ListMacroLibrary(macroIds, macros);
    std::vector<bool> onMouse;
    BuildMacroImage(macros, &onMouse);
    macroIds = MacroIdsOnMouse(macroIds, onMouse);
    ReportBuffer report{};
    BuildButtonMapReport(BuildButtonMap(keys, macroIds), report);
    return SendChange(report);
}

bool DeviceWorker::WriteMacroMemory() {
    std::vector<int32_t> macroIds;
    std::vector<std::vector<MacroEvent>> macros;
    m_store.ListMacroLibrary(macroIds, macros);
    const std::vector<uint8_t> image = BuildMacroImage(macros);
    for (size_t chunk = 0; chunk < MacroChunkCount(image.size()); ++chunk) {
        ReportBuffer report{};
        FrameMacroChunk(report, image.data(), image.size(), chunk);
        // The mouse drops an upload with a chunk missing: the rest would be refused too.
        if (!SendChange(report)) return false;
        Pause(m_timings.macroChunkPauseMs);
    }
    return true;
}

void DeviceWorker::ResetPage(ResetScope scope) {
    if (scope == ResetScope::Lighting) {
        // The page stored the lighting's reset values: nothing goes to the mouse.
        m_view.OnDeviceEvent(DeviceEvent::LightingReset);
        return;
    }
    ReportBuffer report{};
    BuildResetReport(kResetDpiGroup, report);
    SendReport(report, false);
}

void DeviceWorker::FactoryReset() {
    m_view.EnableMainWindow(false);
    ReportBuffer report{};
    BuildResetReport(kResetEverything, report);
    SendReport(report, false);
    Pause(m_timings.resetSettleMs);
    LoadProfiles();
    ReadMouseState();
    m_view.OnDeviceEvent(DeviceEvent::StateRead);
    Pause(m_timings.resetClosePauseMs);
    m_view.CloseWaitDialog();
    Pause(m_timings.resetClosePauseMs);
    m_view.EnableMainWindow(true);
}

void DeviceWorker::PollNotification() {
    ReportBuffer report{};
    int32_t deviceType = 0;
    Notification n;
    const int modeBefore = m_manager.GetCurrentDevMode();
    const bool read = m_manager.ReadAnyReport(report, deviceType);
    // A receiver's report that its mouse went off or came back is taken by the
    // read itself: the device list is told at once.
    if (const int mode = m_manager.GetCurrentDevMode(); mode != modeBefore)
        m_view.SetDeviceState(m_state.GetCurrentDeviceType(), mode < 0 ? kModeReceiver : mode,
                              mode < 0 ? kReceiverOffline : kOnline);
    if (!read || !ParseNotification(report, n)) return;
    const bool currentModel = deviceType == m_state.GetCurrentDeviceType();
    switch (n.kind) {
        case kNotifyStateChanged:
        case kNotifyWake:
            RefreshDevices();
            ReReadAfterNotification();
            break;
        case kNotifyDpiStage:
            // A stage the profile has no value for would be stored as the active one and
            // sent back as a DPI of 0: such a report is ignored.
            if (!currentModel || n.first >= kDpiStages || n.first == m_state.GetDeviceValues().dpiIndex)
                break;
            m_state.SetActiveDpiIndex(n.first);
            // Stored before it is shown: whoever the view tells reads the new level.
            WriteConfig(L"dpi_index", std::to_wstring(n.first));
            m_view.SelectDpiStage(n.first);
            break;
        case kNotifyBattery:
            OnBatteryNotification(deviceType, n.first, n.second);
            break;
        case kNotifyPcFunction:
            if (currentModel && n.first != 0) m_executor.Execute(n.first, n.second);
            break;
        default:
            break;
    }
}

void DeviceWorker::OnBatteryNotification(int32_t deviceType, int level, int charging) {
    if (deviceType != m_state.GetCurrentDeviceType()) {
        // Another model's report speaks for that model: its own level, not the shown one's.
        m_view.SetDeviceBattery(deviceType, charging, level);
        return;
    }
    if (level != 0) {
        if (!m_state.IsConnected()) {
            RefreshDevices();
            ReReadAfterNotification();
        }
        m_state.SetBattery(level, charging);
        m_view.SetBatteryInfo(level, charging);
    }
    const DeviceValues values = m_state.GetDeviceValues();
    m_view.SetDeviceBattery(deviceType, values.charging, values.batteryLevel);
}
