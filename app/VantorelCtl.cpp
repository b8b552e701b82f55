#include "app/VantorelCtl.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ostream>
#include <thread>

#include "app/DeviceWorker.h"
#include "device/DeviceCatalog.h"
#include "device/DeviceManager.h"
#include "device/PermissionNotice.h"
#include "exchange/LanguageText.h"
#include "features/ButtonFunction.h"
#include "features/KeyCodes.h"
#include "features/PcFunctionExecutor.h"
#include "orvix/core/TextConv.h"
#include "platform/AppContext.h"
#include "platform/DesktopServices.h"
#include "platform/Folders.h"
#include "platform/ParseInt.h"
#include "platform/SettingsStore.h"
#include "protocol/SettingReports.h"
#include "sim/SimSetup.h"
#include "storage/ConfigDefaults.h"
#include "storage/DataStore.h"

using Orvix::Utf8ToWide;
using Orvix::WideToUtf8;

namespace {

constexpr auto kTaskWait = std::chrono::seconds(60);
// The language text of the initial profiles' names ("Profile" 1 to 4).
constexpr int kTextDefaultProfileName = 61;

struct CommandShape {
    const char* name;
    size_t minArgs;
    size_t maxArgs;
};
constexpr CommandShape kCommands[] = {
    {"info", 0, 0},   {"get", 1, 1},          {"set", 2, 2},   {"profile", 0, 1},
    {"button", 3, 5}, {"macro-upload", 0, 0}, {"reset", 0, 0},
};

// A whole decimal number as "%d" writes it, nothing before or after it.
bool ParseNumber(const std::string& text, int& value) {
    return ParseDecimal(Utf8ToWide(text), value);
}

bool IsWriteCommand(const std::string& command) {
    return command == "set" || command == "button" || command == "reset";
}

// The values a page lets a setting take. Values listed in `choices` are the
// only ones allowed; otherwise min to max.
struct SettingRange {
    int min = 0;
    int max = 0;
    std::vector<int> choices;
};

constexpr int kDeepSleepChoices[] = {180,  240,  300,  600,  900,   1200, 1800,
                                     2400, 3000, 3600, 7200, 10800, 14400};

// The range of a configuration key for the model; false for a key that holds
// no number a page sets ("version").
bool RangeOfSetting(const std::wstring& key, int deviceType, int dpiCount, SettingRange& range) {
    const auto between = [&](int min, int max) {
        range = SettingRange{min, max, {}};
        return true;
    };
    if (key == L"version") return false;
    if (key == L"dpi_index") return between(0, std::max(dpiCount, 1) - 1);
    if (key == L"dpi_count") return between(1, kDpiStages);
    if (key.starts_with(L"dpi_group") && key.ends_with(L"_value"))
        return between(50, deviceType == 101 ? 26000 : 24000);
    if (key.starts_with(L"dpi_group") && key.ends_with(L"_rgb")) return between(0, 0xFFFFFF);
    if (key == L"report_rate") return between(0, 3);
    if (key == L"liftoff_height" || key == L"scroll_flag") return between(0, 1);
    if (key == L"sensor_flag") return between(0, 7);
    if (key == L"button_respondtime") return between(1, 50);
    if (key == L"deep_sleep") {
        range = SettingRange{kDeepSleepChoices[0], std::end(kDeepSleepChoices)[-1],
                             std::vector<int>(std::begin(kDeepSleepChoices), std::end(kDeepSleepChoices))};
        return true;
    }
    if (key == L"light_sleep") return between(0, 0xFFFF);
    if (key == L"lightmode") return between(0, 6);
    if (key == L"report_count" || key == L"report_flag" || key == L"dpi_flag") return between(0, 0xFF);
    // The switches: highspeed_mode, move_wakeup, move_closelight, sleep_light,
    // e-sports_flag, leftbtn_lock and the notify_ keys.
    return between(0, 1);
}

std::string DescribeRange(const SettingRange& range) {
    if (range.choices.empty()) return std::to_string(range.min) + " to " + std::to_string(range.max);
    std::string text = "one of";
    for (int choice : range.choices) text += " " + std::to_string(choice);
    return text;
}

bool InRange(const SettingRange& range, int value) {
    if (!range.choices.empty())
        return std::find(range.choices.begin(), range.choices.end(), value) != range.choices.end();
    return value >= range.min && value <= range.max;
}

bool IsConfigKey(const std::wstring& key) {
    return std::any_of(kConfigDefaults.begin(), kConfigDefaults.end(),
                       [&](const ConfigDefault& row) { return key == row.key; });
}

class CtlSession {
  public:
    CtlSession(std::ostream& out, std::ostream& err)
        : m_out(out),
          m_err(err),
          m_executor(DataStore::Instance(), GetDesktopServices()),
          m_worker(m_state, m_view, m_executor, DeviceManager::Instance(), DataStore::Instance()) {}
    ~CtlSession() {
        m_worker.Stop();
        DataStore::Instance().CloseIfOpen();
    }

    int Open(const CtlOptions& options);
    int Run(const CtlOptions& options);

  private:
    int Info();
    int Get(const std::string& key);
    int Set(const std::string& key, const std::string& value);
    int Profile(const std::vector<std::string>& args);
    int Button(const std::vector<std::string>& args);
    // Queues a task, waits for the worker, and tells whether every report went out.
    int RunTask(int task);
    bool WaitIdle();
    int Fail(const std::string& message) {
        m_err << "vantorelctl: " << message << "\n";
        return kCtlFailure;
    }
    // A store write or read failed: the file's own reason when it has one.
    int StoreFailure(const std::string& what) {
        DataStore& store = DataStore::Instance();
        return Fail(store.IsUnusable() ? "store unusable: " + store.GetUnusableReason() : what);
    }
    void ReportOpenNotice();
    int Usage(const std::string& message) {
        m_err << "vantorelctl: " << message << "\n";
        return kCtlUsage;
    }

    std::ostream& m_out;
    std::ostream& m_err;
    DeviceCatalog m_catalog;
    DeviceMainDef m_state;
    SilentDeviceView m_view;
    PcFunctionExecutor m_executor;
    DeviceWorker m_worker;
    int m_deviceType = 0;
};

int CtlSession::Open(const CtlOptions& options) {
    SetCurrentLcid(ChooseLanguage(ReadAppRegInt(L"LCID")));
    const int deviceType = EffectiveDeviceType(ReadAppRegInt(L"DeviceType"));
    m_deviceType = deviceType;
    if (options.simulate)
        InstallSimulatedBackend(options.simulateReceiver ? SimulateStart::Receiver : SimulateStart::Cable,
                                deviceType);

    const std::wstring programFolder = GetProgramFolder();
    ReadCatalog(programFolder, JoinPath(GetSkinFolder(), L"device/"), m_catalog);
    const CatalogEntry* model = FindModel(m_catalog.models, deviceType);
    if (!model) return Fail("model " + std::to_string(deviceType) + " is not in the device catalog");
    DeviceManager& manager = DeviceManager::Instance();
    manager.ClearSupportedIds();
    for (const SupportedId& id : m_catalog.supportedIds) manager.AddSupportedId(id);

    DataStore& store = DataStore::Instance();
    if (!EnsureDatabaseFolder())
        return Fail("store unusable: cannot create the folder " + WideToUtf8(GetUserDataFolder()) + "db");
    const bool opened = store.OpenForDevice(GetUserDataFolder(), model->deviceAttr,
                                            GetLanguageText(L"LAN", kTextDefaultProfileName));
    ReportOpenNotice();
    if (!opened) return StoreFailure("store unusable: cannot open the store of " + WideToUtf8(model->name));
    // A change must be storable before anything is sent: a store locked by
    // another program (past the busy time-out) or read-only ends the run here.
    if (IsWriteCommand(options.command) || (options.command == "profile" && !options.arguments.empty())) {
        if (!store.CheckWritable()) return StoreFailure("store unusable: it cannot be written");
    }
    DeviceDescription description;
    ReadDeviceDescription(programFolder, model->deviceAttr, description);
    m_state.SetLightingPage(description.lightingPage.value_or(true));

    m_worker.RefreshDevices();
    m_state.QueueTask(kTaskInitialRead);
    if (!m_worker.StartWorker()) return Fail("cannot start the device worker");
    if (!WaitIdle() || !m_state.IsInitialReadDone()) {
        // A mouse this user may not open is not "no mouse": say why and how to fix it.
        PermissionNotice notice;
        if (GetPermissionNotice(manager, notice)) return Fail(FormatPermissionNotice(notice));
        return Fail("no mouse of model " + WideToUtf8(model->name) + " is reachable");
    }
    return kCtlSuccess;
}

void CtlSession::ReportOpenNotice() {
    const StoreNotice notice = DataStore::Instance().TakeOpenNotice();
    if (notice.kind == StoreNotice::Kind::Repaired)
        m_err << "vantorelctl: the store " << notice.path << " was incomplete and was repaired ("
              << notice.detail << ")\n";
    else if (notice.kind == StoreNotice::Kind::MovedAside)
        m_err << "vantorelctl: the store " << notice.path << " was unusable (" << notice.detail
              << "); it was moved aside to " << notice.movedTo << " and a new store was created\n";
}

bool CtlSession::WaitIdle() {
    const auto deadline = std::chrono::steady_clock::now() + kTaskWait;
    while (!m_state.IsIdle()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

int CtlSession::RunTask(int task) {
    const int failures = m_worker.GetSendFailures();
    m_state.QueueTask(task);
    if (!WaitIdle()) return Fail("the mouse did not finish in time");
    return m_worker.GetSendFailures() == failures ? kCtlSuccess : Fail("the mouse could not be written");
}

int CtlSession::Run(const CtlOptions& options) {
    const std::vector<std::string>& a = options.arguments;
    const std::string& c = options.command;
    if (c == "info") return Info();
    if (c == "get") return Get(a[0]);
    if (c == "set") return Set(a[0], a[1]);
    if (c == "profile") return Profile(a);
    if (c == "button") return Button(a);
    // The state read of Open already queued and ran the macro upload (as the
    // program does on every read): its result is the answer, not a second upload.
    if (c == "macro-upload")
        return m_worker.GetSendFailures() == 0 ? kCtlSuccess : Fail("the mouse could not be written");
    // reset: what the factory-reset button does, stored as one step
    const int32_t profile = m_state.GetCurrentProfile();
    DataStore& store = DataStore::Instance();
    if (!store.RunInTransaction(
            [&] { return store.DeleteProfileKeys(profile) && store.ResetConfigToDefaults(profile); }))
        return StoreFailure("cannot store the profile's defaults");
    return RunTask(kTaskFactoryReset);
}

int CtlSession::Info() {
    m_out << "models:\n";
    for (const CatalogEntry& model : m_catalog.models)
        m_out << "  " << model.deviceType << " " << WideToUtf8(model.name)
              << (model.deviceType == m_state.GetCurrentDeviceType() ? "  (selected)" : "") << "\n";
    m_out << "devices:\n";
    static const char* const kOnline[] = {"not answering", "online", "mouse offline"};
    for (const DeviceRecord& r : DeviceManager::Instance().GetRecords()) {
        char ids[32];
        std::snprintf(ids, sizeof ids, "%04X:%04X", r.vid, r.pid);
        m_out << "  " << ids << " " << WideToUtf8(r.product) << ", model " << r.deviceType << ", "
              << (r.deviceMode == kModeCable ? "cable" : "receiver") << ", "
              << kOnline[r.online >= 0 && r.online <= 2 ? r.online : 0] << "\n";
    }
    const DeviceValues values = m_state.GetDeviceValues();
    const std::wstring receiver = m_state.GetReceiverVersion();
    m_out << "connection: "
          << (DeviceManager::Instance().GetCurrentDevMode() == kModeCable ? "cable" : "receiver")
          << "\nbattery: " << values.batteryLevel << "%" << (values.charging == 1 ? " (charging)" : "")
          << "\nmouse firmware: " << WideToUtf8(m_state.GetMouseVersion())
          << "\nreceiver firmware: " << (receiver.empty() ? "-" : WideToUtf8(receiver)) << "\n";
    return kCtlSuccess;
}

int CtlSession::Get(const std::string& key) {
    std::wstring value;
    const std::wstring wkey = Utf8ToWide(key);
    if (!IsConfigKey(wkey)) return Usage("unknown key " + key);
    if (!DataStore::Instance().GetConfigValue(m_state.GetCurrentProfile(), wkey, value))
        return StoreFailure("the profile has no value for " + key);
    m_out << WideToUtf8(value) << "\n";
    return kCtlSuccess;
}

int CtlSession::Set(const std::string& key, const std::string& text) {
    const std::wstring wkey = Utf8ToWide(key);
    if (!IsConfigKey(wkey)) return Usage("unknown key " + key);
    DataStore& store = DataStore::Instance();
    const int32_t profile = m_state.GetCurrentProfile();
    std::wstring count;
    store.GetConfigValue(profile, L"dpi_count", count);
    SettingRange range;
    if (!RangeOfSetting(wkey, m_deviceType, ParseInt(count), range)) return Usage(key + " cannot be set");
    int value = 0;
    if (!ParseNumber(text, value)) return Usage("the value of " + key + " must be a whole number");
    if (!InRange(range, value)) return Usage("the value of " + key + " must be " + DescribeRange(range));
    std::wstring old;
    if (!store.GetConfigValue(profile, wkey, old)) return StoreFailure("the profile has no value for " + key);
    // A row that did not change is no write: SetConfigValue succeeds without one.
    if (!store.SetConfigValue(profile, wkey, std::to_wstring(value)))
        return StoreFailure("cannot store " + key);
    const int task = TaskForConfigKey(wkey);
    return task ? RunTask(task) : kCtlSuccess;
}

int CtlSession::Profile(const std::vector<std::string>& args) {
    DataStore& store = DataStore::Instance();
    std::vector<ProfileData> profiles;
    store.ListProfiles(profiles, GetCurrentLcid());
    if (args.empty()) {
        for (const ProfileData& p : profiles)
            m_out << (p.profile == m_state.GetCurrentProfile() ? "* " : "  ") << p.profile << " "
                  << WideToUtf8(p.name) << "\n";
        return kCtlSuccess;
    }
    int id = 0;
    if (!ParseNumber(args[0], id)) return Usage("a profile is given by its number");
    bool known = false;
    for (const ProfileData& p : profiles) known = known || p.profile == id;
    if (!known) return Usage("there is no profile " + args[0]);
    if (!store.SetActiveProfile(id)) return StoreFailure("cannot make profile " + args[0] + " active");
    m_state.SetCurrentProfile(id);
    return RunTask(kTaskWriteEverything);
}

int CtlSession::Button(const std::vector<std::string>& args) {
    int keyCode = 0, type = 0;
    if (!ParseNumber(args[0], keyCode) || keyCode < 0 || keyCode >= kButtonSlotCount)
        return Usage("the button is a key code from 0 to 8");
    bool knownType = false;
    for (const FunctionTypeEntry& entry : kFunctionTypes)
        knownType = knownType || std::to_string(entry.type) == args[1];
    if (!knownType || !ParseNumber(args[1], type)) return Usage("unknown function type " + args[1]);

    KeyRecord record;
    record.profile = m_state.GetCurrentProfile();
    record.keyCode = keyCode;
    record.macroType = type;
    DataStore& store = DataStore::Instance();
    const std::wstring text = Utf8ToWide(args[2]);
    if (type == kFuncLaunch || type == kFuncWeb) {
        // The program path or the address itself, kept in its own row as the page does.
        const size_t slash = text.find_last_of(L'/');
        record.macroDesc = type == kFuncLaunch && slash != std::wstring::npos ? text.substr(slash + 1) : text;
        record.macroValue = store.AddKeyOtherData(record.macroDesc, type == kFuncLaunch ? text : L"", type);
        if (record.macroValue <= 0) return StoreFailure("cannot store " + args[2]);
    } else {
        const size_t count = args.size();
        if (!ParseNumber(args[2], record.macroValue) ||
            (count > 3 && !ParseNumber(args[3], record.macroValue2)) ||
            (count > 4 && !ParseNumber(args[4], record.macroValue3)))
            return Usage("function values are whole numbers");
        if (type == kFuncDefault) {  // back to the button's default: the row goes
            record.macroType = kFuncMouse;
            record.macroValue = record.macroValue2 = 0;
        }
        record.macroDesc =
            type == kFuncKey ? KeyComboCaption(record.macroValue2, UsageName(record.macroValue)) : L"";
    }
    bool stored = false;
    store.SaveKey(record, &stored);
    if (!stored) return StoreFailure("cannot store the function of button " + args[0]);
    return RunTask(kTaskWriteButtonMap);
}

}  // namespace

std::string CtlUsage() {
    return "usage: vantorelctl [--simulate[=cable|receiver]] COMMAND [ARGUMENTS]\n"
           "\n"
           "Reads the mouse of the selected model, then runs COMMAND on its active profile.\n"
           "\n"
           "commands:\n"
           "  info                       models, devices, connection, battery, firmware versions\n"
           "  get KEY                    a stored value of the active profile (e.g. report_rate)\n"
           "  set KEY VALUE              stores a whole number and sends it to the mouse\n"
           "  profile [N]                lists the profiles, or makes profile N active and sends it\n"
           "  button K TYPE VALUE [VALUE2 VALUE3]\n"
           "                             assigns a function to button K (0 to 8) and sends the button map;\n"
           "                             TYPE 0 default, 1 mouse action, 2 key (VALUE usage, VALUE2 "
           "modifiers),\n"
           "                             4 multimedia, 5 macro (VALUE id, VALUE2 count, VALUE3 mode),\n"
           "                             7 shortcut, 8 disabled, 9 program (VALUE its path),\n"
           "                             10 web address (VALUE the address), 11 text (VALUE its id)\n"
           "  macro-upload               sends the macro memory\n"
           "  reset                      restores the mouse's factory values and the profile's defaults\n"
           "\n"
           "options:\n"
           "  --simulate[=cable|receiver]  use the simulated mouse instead of a real one\n"
           "  --help                       this text\n"
           "\n"
           "exit codes: 0 success, 1 no mouse or a failed operation, 2 usage error\n";
}

int ParseCtlOptions(const std::vector<std::string>& args, CtlOptions& options, std::string& error) {
    options = CtlOptions{};
    size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        SimulateStart start = SimulateStart::Cable;
        if (args[i] == "--help") {
            options.help = true;
        } else if (ParseSimulateOption(args[i], start)) {
            options.simulate = true;
            options.simulateReceiver = start == SimulateStart::Receiver;
        } else {
            error = "unknown option " + args[i];
            return kCtlUsage;
        }
    }
    if (options.help) return kCtlSuccess;
    if (i == args.size()) {
        error = "no command given";
        return kCtlUsage;
    }
    options.command = args[i];
    options.arguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    for (const CommandShape& shape : kCommands) {
        if (options.command != shape.name) continue;
        if (options.arguments.size() >= shape.minArgs && options.arguments.size() <= shape.maxArgs)
            return kCtlSuccess;
        error = "wrong number of arguments for " + options.command;
        return kCtlUsage;
    }
    error = "unknown command " + options.command;
    return kCtlUsage;
}

int RunVantorelCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CtlOptions options;
    std::string error;
    if (ParseCtlOptions(args, options, error) != kCtlSuccess) {
        err << "vantorelctl: " << error << "\n" << CtlUsage();
        return kCtlUsage;
    }
    if (options.help) {
        out << CtlUsage();
        return kCtlSuccess;
    }
    CtlSession session(out, err);
    const int opened = session.Open(options);
    return opened != kCtlSuccess ? opened : session.Run(options);
}
