#include "device/WorkerTask.h"

#include <ostream>

#include "device/Hotplug.h"
#include "exchange/ExchangeFiles.h"

namespace {

const char* KindName(TaskKind kind) {
    switch (kind) {
        case TaskKind::None: return "none";
        case TaskKind::InitialRead: return "initial read";
        case TaskKind::ReadAfterChangeLong: return "read after change (long)";
        case TaskKind::ReadAfterChangeShort: return "read after change (short)";
        case TaskKind::ReadAfterSwitch: return "read after switch";
        case TaskKind::WriteEverything: return "write everything";
        case TaskKind::WriteMacros: return "write macros";
        case TaskKind::WriteButtonMap: return "write button map";
        case TaskKind::Lighting: return "lighting";
        case TaskKind::WriteSetting: return "write setting";
        case TaskKind::ResetPage: return "reset page";
        case TaskKind::FactoryReset: return "factory reset";
    }
    return "?";
}

}  // namespace

std::string DescribeTask(const WorkerTask& task) {
    std::string text = KindName(task.kind);
    if (task.kind == TaskKind::WriteSetting) text += " " + std::to_string(task.setting);
    if (task.kind == TaskKind::ResetPage) text += task.reset == ResetScope::Dpi ? " dpi" : " lighting";
    return text;
}

std::ostream& operator<<(std::ostream& out, const WorkerTask& task) {
    return out << DescribeTask(task);
}

WorkerTask TaskForConfigKey(const std::wstring& key) {
    const uint8_t setting = SettingForConfigKey(key);
    return setting ? WorkerTask::WriteSetting(setting) : kTaskNone;
}

WorkerTask TaskForDeviceChange(DeviceChangeRead read) {
    switch (read) {
        case DeviceChangeRead::Long: return kTaskReadAfterChangeLong;
        case DeviceChangeRead::Short: return kTaskReadAfterChangeShort;
        case DeviceChangeRead::None: break;
    }
    return kTaskNone;
}

WorkerTask TaskAfterImport(ProfileImport import) {
    // A model above 200 keeps the import in the store: its task runs without effect.
    return import == kImportSendProfile ? kTaskWriteEverything : kTaskNone;
}
