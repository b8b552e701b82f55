#include "app/VantorelCtl.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

#include "app/AppOptions.h"
#include "app/DeviceWorker.h"
#include "app/MouseSnapshot.h"
#include "app/ScriptedChanges.h"
#include "app/VantorelCtlFormat.h"
#include "device/DeviceCatalog.h"
#include "device/DeviceManager.h"
#include "device/Hotplug.h"
#include "device/PermissionNotice.h"
#include "base/LanguageText.h"
#include "base/ButtonFunction.h"
#include "platform/PcFunctionExecutor.h"
#include "features/SettingRanges.h"
#include "base/TextConv.h"
#include "base/AppContext.h"
#include "platform/DesktopServices.h"
#include "base/Folders.h"
#include "base/ParseInt.h"
#include "base/SettingsStore.h"
#include "platform/StopRequest.h"
#include "platform/dbus/GLibLoop.h"
#include "platform/dbus/MouseBusClient.h"
#include "sim/SimSetup.h"
#include "storage/ConfigDefaults.h"
#include "storage/DataStore.h"

using Orvix::Utf8ToWide;
using Orvix::WideToUtf8;

namespace {

constexpr auto kTaskWait = std::chrono::seconds(60);
constexpr char kReinstall[] = "install Vantorel Mouse again to restore it";
// The language text of the initial profiles' names ("Profile" 1 to 4).
constexpr int kTextDefaultProfileName = 61;

struct CommandShape {
    const char* name;
    size_t minArgs;
    size_t maxArgs;
};
constexpr CommandShape kCommands[] = {
    {"info", 0, 0},         {"get", 1, 1},   {"set", 2, 2},   {"profile", 0, 1}, {"button", 3, 5},
    {"macro-upload", 0, 0}, {"reset", 0, 0}, {"watch", 0, 0}, {"keys", 0, 0},
};

// The commands whose output --json changes; their arguments are never free text,
// so "--json" may also follow the command.
bool TakesJson(const std::string& command) {
    return command == "info" || command == "get" || command == "profile" || command == "keys" ||
           command == "watch";
}

// A whole number as "%d" writes it, nothing before or after it.
bool ParseNumber(const std::string& text, int& value) {
    return ParseDecimal(Utf8ToWide(text), value);
}

bool IsWriteCommand(const std::string& command) {
    return command == "set" || command == "button" || command == "reset";
}

// ---- the checks of the arguments, before either way to the mouse ----
// Both ways check in the same order and say the same, so that a mistake reads
// the same whether the program runs or not.

int Usage(std::ostream& err, const std::string& message) {
    err << "vantorelctl: " << message << "\n";
    return kCtlUsage;
}
int Fail(std::ostream& err, const std::string& message) {
    err << "vantorelctl: " << message << "\n";
    return kCtlFailure;
}

// `set KEY VALUE`: a key a page sets, and a whole number (its range is the store's side).
int ParseSetArguments(const std::vector<std::string>& args, int& value, std::ostream& err) {
    std::string message;
    if (CheckSettingKey(args[0], message) != SettingCheck::Ok) return Usage(err, message);
    if (!ParseNumber(args[1], value))
        return Usage(err, "the value of " + args[0] + " must be a whole number");
    return kCtlSuccess;
}

// `button K TYPE VALUE [VALUE2 VALUE3]`.
int ParseButtonArguments(const std::vector<std::string>& args, ButtonAssignment& a, std::ostream& err) {
    if (!ParseNumber(args[0], a.keyCode) || !CheckButton(a.keyCode, kFuncDefault).Ok())
        return Usage(err, "the button is a key code from 0 to 8");
    if (!ParseNumber(args[1], a.type) || !CheckButton(a.keyCode, a.type).Ok())
        return Usage(err, "unknown function type " + args[1]);
    if (a.type == kFuncLaunch || a.type == kFuncWeb) {
        a.text = args[2];
        return kCtlSuccess;
    }
    const size_t count = args.size();
    if (!ParseNumber(args[2], a.value) || (count > 3 && !ParseNumber(args[3], a.value2)) ||
        (count > 4 && !ParseNumber(args[4], a.value3)))
        return Usage(err, "function values are whole numbers");
    return kCtlSuccess;
}

// A refusal of the store's side: what the pages would not allow is a usage error.
int Refused(const ScriptOutcome& outcome, std::ostream& err) {
    return outcome.fault == ScriptOutcome::Fault::Store ? Fail(err, outcome.message)
                                                        : Usage(err, outcome.message);
}

// The catalog beside the program and the model vantorelctl was last told to use.
struct CatalogChoice {
    DeviceCatalog catalog;
    int deviceType = 0;
    const CatalogEntry* model = nullptr;
};
void ReadCatalogChoice(CatalogChoice& choice, ProductFileProblem* problem = nullptr) {
    choice.deviceType = EffectiveDeviceType(ReadAppRegInt(L"DeviceType"));
    ReadCatalog(GetProgramFolder(), JoinPath(GetSkinFolder(), L"device/"), choice.catalog, problem);
    choice.model = FindModel(choice.catalog.models, choice.deviceType);
}

// The worker's view for the tool: shows nothing, but tells when something a
// `watch` prints may have changed.
class WatchingView : public SilentDeviceView {
  public:
    void SetOnChange(std::function<void()> onChange) {
        std::lock_guard lock(m_mutex);
        m_onChange = std::move(onChange);
    }
    void SetBatteryInfo(int, int) override { Changed(); }
    void SetDeviceBattery(int, int, int) override { Changed(); }
    void SetAllDeviceState(int) override { Changed(); }
    void SetDeviceState(int, int, int) override { Changed(); }
    void SetProfileTitle(const std::wstring&) override { Changed(); }
    void ShowNotConnectedView() override { Changed(); }
    void ShowDeviceListView(int) override { Changed(); }
    void SelectDpiStage(int) override { Changed(); }
    void OnDeviceEvent(DeviceEvent event) override {
        // The DPI levels and the report rate a watch prints come with these.
        for (WindowReaction reaction : ReactionsTo(event, false))
            if (reaction == WindowReaction::ReloadDpiPerformance) Changed();
    }

  private:
    void Changed() {
        std::lock_guard lock(m_mutex);
        if (m_onChange) m_onChange();
    }
    std::mutex m_mutex;
    std::function<void()> m_onChange;
};

// A watch's lines, flushed at once: a script reads them as they come.
void PrintWatchEvents(std::ostream& out, const std::vector<WatchEvent>& events, bool json) {
    for (const WatchEvent& e : events) out << FormatCtlWatchEvent(e, json);
    out.flush();
}

// Prints what changed between two lists of mice (by object name).
void PrintChanges(std::ostream& out, const std::vector<MouseDeviceProperties>& before,
                  const std::vector<MouseDeviceProperties>& after, bool json) {
    std::map<std::string, const MouseDeviceProperties*> old;
    for (const MouseDeviceProperties& d : before) old[d.objectName] = &d;
    for (const MouseDeviceProperties& d : after) {
        auto found = old.find(d.objectName);
        const MouseDeviceProperties* was = found == old.end() ? nullptr : found->second;
        if (found != old.end()) old.erase(found);
        PrintWatchEvents(out, WatchEventsFor(was, &d), json);
    }
    for (const auto& [name, gone] : old) PrintWatchEvents(out, WatchEventsFor(gone, nullptr), json);
}

// What `info` tells of the active profile's settings, from either way's copy of
// them (the store, or the program's Settings property).
void FillActiveSettings(CtlInfo& info, const std::function<std::optional<int>(const std::string&)>& setting) {
    info.reportRate = setting("report_rate");
    info.dpiIndex = setting("dpi_index");
    if (info.dpiIndex) info.dpi = setting("dpi_group" + std::to_string(*info.dpiIndex) + "_value");
}

// ---- alone: the tool's own worker on the mouse ----

class CtlSession {
  public:
    CtlSession(std::ostream& out, std::ostream& err)
        : m_out(out),
          m_err(err),
          m_executor(DataStore::Instance(), GetDesktopServices()),
          m_worker(m_state, m_view, m_executor, DeviceManager::Instance(), DataStore::Instance()) {}
    ~CtlSession() {
        if (auto backend = DeviceManager::Instance().GetBackend()) backend->SetDeviceChangeHandler(nullptr);
        m_worker.Stop();
        DataStore::Instance().CloseIfOpen();
    }

    int Open(const CtlOptions& options);
    int Run(const CtlOptions& options, StopRequest* stop);

  private:
    int Info(bool json);
    int Get(const std::string& key, bool json);
    int Set(const std::vector<std::string>& args);
    int Profile(const std::vector<std::string>& args, bool json);
    int Button(const std::vector<std::string>& args);
    int Watch(StopRequest* stop, bool json);
    // Queues a task, waits for the worker, and tells whether every report went out.
    int RunTask(const WorkerTask& task);
    bool WaitIdle();
    int Fail(const std::string& message) { return ::Fail(m_err, message); }
    // A store write or read failed: the file's own reason when it has one.
    int StoreFailed(const std::string& what) { return Fail(StoreFailure(DataStore::Instance(), what).message); }
    // What the worker's last tasks sent: every change answered, or why not.
    int SendResult(int failures, int refused) {
        if (m_worker.GetRefusedWrites() != refused)
            return Fail("the mouse did not take the change (it left the report unanswered)");
        return m_worker.GetSendFailures() == failures ? kCtlSuccess : Fail("the mouse could not be written");
    }
    void ReportOpenNotice();

    std::ostream& m_out;
    std::ostream& m_err;
    CatalogChoice m_choice;
    DeviceMainDef m_state;
    WatchingView m_view;
    PcFunctionExecutor m_executor;
    DeviceWorker m_worker;
};

int CtlSession::Open(const CtlOptions& options) {
    SetCurrentLcid(ChooseLanguage(ReadAppRegInt(L"LCID")));
    const int deviceType = EffectiveDeviceType(ReadAppRegInt(L"DeviceType"));
    if (options.simulate)
        InstallSimulatedBackend(options.simulateReceiver ? SimulateStart::Receiver : SimulateStart::Cable,
                                deviceType);

    ProductFileProblem problem;
    ReadCatalogChoice(m_choice, &problem);
    const CatalogEntry* model = m_choice.model;
    // A catalog that is missing or damaged is the cause, not the model.
    if (!model && problem) return Fail("the device catalog " + problem.Describe() + "; " + kReinstall);
    if (!model) return Fail("model " + std::to_string(deviceType) + " is not in the device catalog");
    DeviceManager& manager = DeviceManager::Instance();
    manager.ClearSupportedIds();
    for (const SupportedId& id : m_choice.catalog.supportedIds) manager.AddSupportedId(id);

    DataStore& store = DataStore::Instance();
    if (!EnsureDatabaseFolder())
        return Fail("store unusable: cannot create the folder " + WideToUtf8(GetUserDataFolder()) + "db");
    const bool opened = store.OpenForDevice(GetUserDataFolder(), model->deviceAttr,
                                            GetLanguageText(L"LAN", kTextDefaultProfileName));
    ReportOpenNotice();
    if (!opened)
        return Fail(StoreFailure(store, "store unusable: cannot open the store of " + WideToUtf8(model->name))
                        .message);
    // A change must be storable before anything is sent: a store locked by
    // another program (past the busy time-out) or read-only ends the run here.
    if (IsWriteCommand(options.command) || (options.command == "profile" && !options.arguments.empty())) {
        if (!store.CheckWritable())
            return Fail(StoreFailure(store, "store unusable: it cannot be written").message);
    }
    DeviceDescription description;
    // Without its description the model's buttons have no defaults: said, not fatal.
    if (!ReadDeviceDescription(GetProgramFolder(), model->deviceAttr, description, &problem) && problem)
        m_err << "vantorelctl: the description of " << WideToUtf8(model->name) << " " << problem.Describe()
              << "; " << kReinstall << "\n";
    m_state.SetLightingPage(description.lightingPage.value_or(true));

    m_worker.RefreshDevices();
    m_state.QueueTask(kTaskInitialRead);
    if (!m_worker.StartWorker()) return Fail("cannot start the device worker");
    // A watch waits for the mouse as it comes; every other command needs it now.
    if (options.command == "watch")
        return WaitIdle() ? kCtlSuccess : Fail("the mouse did not finish in time");
    if (!WaitIdle() || !m_state.IsInitialReadDone()) {
        // A store that stopped the read is its own cause.
        if (store.IsUnusable()) return StoreFailed("");
        // A mouse this user may not open is not "no mouse": say why and how to fix it.
        PermissionNotice notice;
        if (GetPermissionNotice(manager, notice)) return Fail(FormatPermissionNotice(notice));
        return Fail("no mouse of model " + WideToUtf8(model->name) + " is reachable");
    }
    // Values put back in range by the read are told; a read whose values could
    // not be stored is a failure, told as such.
    ReportOpenNotice();
    if (store.IsUnusable()) return StoreFailed("");
    return kCtlSuccess;
}

void CtlSession::ReportOpenNotice() {
    const StoreNotice notice = DataStore::Instance().TakeOpenNotice();
    if (notice.kind == StoreNotice::Kind::Repaired)
        m_err << "vantorelctl: the store " << notice.path << " was repaired (" << notice.detail << ")\n";
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

int CtlSession::RunTask(const WorkerTask& task) {
    const int failures = m_worker.GetSendFailures();
    const int refused = m_worker.GetRefusedWrites();
    m_state.QueueTask(task);
    if (!WaitIdle()) return Fail("the mouse did not finish in time");
    ReportOpenNotice();
    // The task's own store writes (values put back in range) failing is a failure too.
    if (DataStore::Instance().IsUnusable()) return StoreFailed("");
    return SendResult(failures, refused);
}

int CtlSession::Run(const CtlOptions& options, StopRequest* stop) {
    const std::vector<std::string>& a = options.arguments;
    const std::string& c = options.command;
    if (c == "info") return Info(options.json);
    if (c == "get") return Get(a[0], options.json);
    if (c == "set") return Set(a);
    if (c == "profile") return Profile(a, options.json);
    if (c == "button") return Button(a);
    if (c == "watch") return Watch(stop, options.json);
    // The state read of Open already queued and ran the macro upload (as the
    // program does on every read): its result is the answer, not a second upload.
    if (c == "macro-upload") return SendResult(0, 0);
    // reset: what the factory-reset button does, stored as one step
    const ScriptOutcome outcome = StoreFactoryDefaults(DataStore::Instance(), m_state.GetCurrentProfile());
    return outcome.Ok() ? RunTask(outcome.task) : Refused(outcome, m_err);
}

int CtlSession::Info(bool json) {
    CtlInfo info;
    for (const CatalogEntry& model : m_choice.catalog.models)
        info.models.push_back(
            {model.deviceType, WideToUtf8(model.name), model.deviceType == m_state.GetCurrentDeviceType()});
    for (const DeviceRecord& r : DeviceManager::Instance().GetRecords())
        info.devices.push_back({r.vid, r.pid, WideToUtf8(r.product), r.deviceType, r.deviceMode, r.online});
    const DeviceValues values = m_state.GetDeviceValues();
    info.connection = DeviceManager::Instance().GetCurrentDevMode() == kModeCable ? "cable" : "receiver";
    info.batteryLevel = values.batteryLevel;
    info.charging = values.charging == 1;
    info.mouseFirmware = WideToUtf8(m_state.GetMouseVersion());
    info.receiverFirmware = WideToUtf8(m_state.GetReceiverVersion());
    // What the mouse works with now, from the active profile the read has just filled.
    FillActiveSettings(info, [this](const std::string& key) -> std::optional<int> {
        std::wstring value;
        int number = 0;
        if (!DataStore::Instance().GetConfigValue(m_state.GetCurrentProfile(), Utf8ToWide(key), value) ||
            !ParseDecimal(value, number))
            return std::nullopt;
        return number;
    });
    m_out << FormatCtlInfo(info, json);
    return kCtlSuccess;
}

int CtlSession::Get(const std::string& key, bool json) {
    std::wstring value;
    if (!IsConfigKey(Utf8ToWide(key))) return Usage(m_err, "unknown key " + key);
    DataStore& store = DataStore::Instance();
    if (!store.GetConfigValue(m_state.GetCurrentProfile(), Utf8ToWide(key), value))
        return Fail(StoreFailure(store, "the profile has no value for " + key).message);
    m_out << FormatCtlValue(key, WideToUtf8(value), json);
    return kCtlSuccess;
}

int CtlSession::Set(const std::vector<std::string>& args) {
    int value = 0;
    if (const int parsed = ParseSetArguments(args, value, m_err); parsed != kCtlSuccess) return parsed;
    const ScriptOutcome outcome =
        StoreSetting(DataStore::Instance(), m_state.GetCurrentProfile(), m_choice.deviceType, args[0], value);
    if (!outcome.Ok()) return Refused(outcome, m_err);
    return outcome.task != kTaskNone ? RunTask(outcome.task) : kCtlSuccess;
}

int CtlSession::Profile(const std::vector<std::string>& args, bool json) {
    DataStore& store = DataStore::Instance();
    const auto list = [&] {
        std::vector<ProfileData> profiles;
        store.ListProfiles(profiles, GetCurrentLcid());
        CtlProfiles listed;
        for (const ProfileData& p : profiles) listed.profiles.push_back({p.profile, WideToUtf8(p.name)});
        listed.active = m_state.GetCurrentProfile();
        m_out << FormatCtlProfiles(listed, json);
        return kCtlSuccess;
    };
    if (args.empty()) return list();
    int id = 0;
    if (!ParseNumber(args[0], id)) return Usage(m_err, "a profile is given by its number");
    ScriptOutcome outcome = CheckProfile(store, id);
    if (outcome.Ok() && !store.SetActiveProfile(id))
        outcome = StoreFailure(store, "cannot make profile " + args[0] + " active");
    if (!outcome.Ok()) return Refused(outcome, m_err);
    m_state.SetCurrentProfile(id);
    const int sent = RunTask(kTaskWriteEverything);
    // A script that switched gets the list with the new active profile.
    return sent == kCtlSuccess && json ? list() : sent;
}

int CtlSession::Button(const std::vector<std::string>& args) {
    ButtonAssignment assignment;
    if (const int parsed = ParseButtonArguments(args, assignment, m_err); parsed != kCtlSuccess)
        return parsed;
    const ScriptOutcome outcome = StoreButton(DataStore::Instance(), m_state.GetCurrentProfile(), assignment);
    return outcome.Ok() ? RunTask(outcome.task) : Refused(outcome, m_err);
}

int CtlSession::Watch(StopRequest* stop, bool json) {
    std::mutex mutex;
    std::condition_variable wake;
    bool changed = false;
    const auto note = [&] {
        std::lock_guard lock(mutex);
        changed = true;
        wake.notify_all();
    };
    // Plugs and unplugs reach the worker as they reach the window.
    std::vector<HotplugMode> modes;
    for (const CatalogEntry& entry : m_choice.catalog.modes)
        modes.push_back({entry.modeValue, entry.vid, entry.pid, entry.hidInterface});
    DeviceManager& manager = DeviceManager::Instance();
    if (auto backend = manager.GetBackend())
        backend->SetDeviceChangeHandler(
            [this, modes, &manager](DeviceChange change, const std::string& path) {
                HotplugActions actions;
                actions.queueRead = [this](DeviceChangeRead read) { m_state.QueueTask(TaskForDeviceChange(read)); };
                actions.closePopups = [] {};
                ::OnDeviceChange(change, path, modes, m_state.AreDevicesPresent(), manager, actions);
            });
    m_view.SetOnChange(note);
    if (stop) stop->SetWaker(note);

    DataStore& store = DataStore::Instance();
    std::vector<MouseDeviceProperties> shown = BuildMouseSnapshot(m_state, store, manager, m_choice.catalog);
    PrintChanges(m_out, {}, shown, json);
    while (stop && !stop->Requested()) {
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [&] { return changed; });
            changed = false;
        }
        if (stop->Requested()) break;
        std::vector<MouseDeviceProperties> now =
            BuildMouseSnapshot(m_state, store, manager, m_choice.catalog);
        PrintChanges(m_out, shown, now, json);
        shown = std::move(now);
    }
    if (stop) stop->SetWaker(nullptr);
    m_view.SetOnChange(nullptr);
    if (auto backend = manager.GetBackend()) backend->SetDeviceChangeHandler(nullptr);
    return kCtlSuccess;
}

// ---- through the running program ----

class BusSession {
  public:
    BusSession(MouseBusClient& client, std::ostream& out, std::ostream& err)
        : m_client(client), m_out(out), m_err(err) {}

    int Run(const CtlOptions& options, StopRequest* stop);

  private:
    int Info(const std::vector<MouseDeviceProperties>& devices, const MouseDeviceProperties& mouse,
             bool json);
    int Get(const MouseDeviceProperties& mouse, const std::string& key, bool json);
    int Profile(const MouseDeviceProperties& mouse, const std::vector<std::string>& args, bool json);
    int Watch(StopRequest* stop, bool json);
    // The selected model's mouse among `devices`, or a failure that says none answers.
    int FindMouse(const std::vector<MouseDeviceProperties>& devices, const MouseDeviceProperties*& mouse);
    int Call(MouseCall call, const MouseDeviceProperties& mouse);
    int Fail(const std::string& message) { return ::Fail(m_err, message); }

    MouseBusClient& m_client;
    std::ostream& m_out;
    std::ostream& m_err;
    CatalogChoice m_choice;
};

int BusSession::Run(const CtlOptions& options, StopRequest* stop) {
    ReadCatalogChoice(m_choice);
    if (options.command == "watch") return Watch(stop, options.json);
    std::vector<MouseDeviceProperties> devices;
    std::string error;
    if (!m_client.ListDevices(devices, error)) return Fail(error);
    const MouseDeviceProperties* mouse = nullptr;
    if (const int found = FindMouse(devices, mouse); found != kCtlSuccess) return found;
    const std::vector<std::string>& a = options.arguments;
    const std::string& c = options.command;
    if (c == "info") return Info(devices, *mouse, options.json);
    if (c == "get") return Get(*mouse, a[0], options.json);
    if (c == "profile") return Profile(*mouse, a, options.json);
    MouseCall call;
    if (c == "set") {
        call.method = MouseMethod::Set;
        if (const int parsed = ParseSetArguments(a, call.value, m_err); parsed != kCtlSuccess) return parsed;
        call.key = a[0];
    } else if (c == "button") {
        call.method = MouseMethod::SetButton;
        ButtonAssignment b;
        if (const int parsed = ParseButtonArguments(a, b, m_err); parsed != kCtlSuccess) return parsed;
        call.button = b.keyCode;
        call.type = b.type;
        call.value = b.value;
        call.value2 = b.value2;
        call.value3 = b.value3;
        call.text = b.text;
    } else if (c == "macro-upload") {
        call.method = MouseMethod::UploadMacros;
    } else {
        call.method = MouseMethod::Reset;
    }
    return Call(call, *mouse);
}

int BusSession::FindMouse(const std::vector<MouseDeviceProperties>& devices,
                          const MouseDeviceProperties*& mouse) {
    mouse = nullptr;
    for (const MouseDeviceProperties& d : devices)
        if (d.selected) mouse = &d;
    if (mouse && mouse->online) return kCtlSuccess;
    const std::string name = mouse            ? mouse->model
                             : m_choice.model ? WideToUtf8(m_choice.model->name)
                                              : std::to_string(m_choice.deviceType);
    return Fail("no mouse of model " + name + " is reachable");
}

int BusSession::Call(MouseCall call, const MouseDeviceProperties& mouse) {
    call.objectName = mouse.objectName;
    const MouseCallResult result = m_client.Call(call);
    if (result.Ok()) return kCtlSuccess;
    const bool usage = result.fault == MouseFault::InvalidArgs || result.fault == MouseFault::OutOfRange;
    return usage ? Usage(m_err, result.message) : Fail(result.message);
}

int BusSession::Info(const std::vector<MouseDeviceProperties>& devices, const MouseDeviceProperties& mouse,
                     bool json) {
    CtlInfo info;
    for (const CatalogEntry& model : m_choice.catalog.models)
        info.models.push_back(
            {model.deviceType, WideToUtf8(model.name), model.deviceType == mouse.deviceType});
    for (const MouseDeviceProperties& d : devices)
        for (const MouseInterface& i : d.interfaces)
            info.devices.push_back({i.vid, i.pid, i.product, d.deviceType, i.mode, i.online});
    info.connection = mouse.connection;
    info.batteryLevel = mouse.batteryLevel;
    info.charging = mouse.charging;
    info.mouseFirmware = mouse.firmwareVersion;
    info.receiverFirmware = mouse.receiverFirmwareVersion;
    FillActiveSettings(info, [&mouse](const std::string& key) -> std::optional<int> {
        const auto found = mouse.settings.find(key);
        if (found == mouse.settings.end()) return std::nullopt;
        return found->second;
    });
    m_out << FormatCtlInfo(info, json);
    return kCtlSuccess;
}

int BusSession::Get(const MouseDeviceProperties& mouse, const std::string& key, bool json) {
    if (!IsConfigKey(Utf8ToWide(key))) return Usage(m_err, "unknown key " + key);
    // The store's version is a text of its own; the settings are numbers.
    if (key == "version" && !mouse.settingsVersion.empty()) {
        m_out << FormatCtlValue(key, mouse.settingsVersion, json);
        return kCtlSuccess;
    }
    auto found = mouse.settings.find(key);
    if (found == mouse.settings.end()) return Fail("the profile has no value for " + key);
    m_out << FormatCtlValue(key, std::to_string(found->second), json);
    return kCtlSuccess;
}

int BusSession::Profile(const MouseDeviceProperties& mouse, const std::vector<std::string>& args, bool json) {
    const auto list = [this, json](const MouseDeviceProperties& shown) {
        CtlProfiles listed;
        for (const auto& [id, name] : shown.profiles) listed.profiles.push_back({id, name});
        listed.active = shown.activeProfile;
        m_out << FormatCtlProfiles(listed, json);
        return kCtlSuccess;
    };
    if (args.empty()) return list(mouse);
    MouseCall call;
    call.method = MouseMethod::SetProfile;
    if (!ParseNumber(args[0], call.profile)) return Usage(m_err, "a profile is given by its number");
    const int sent = Call(call, mouse);
    if (sent != kCtlSuccess || !json) return sent;
    // A script that switched gets the list with the new active profile, as the program now shows it.
    std::vector<MouseDeviceProperties> devices;
    std::string error;
    if (!m_client.ListDevices(devices, error)) return Fail(error);
    const MouseDeviceProperties* now = nullptr;
    if (const int found = FindMouse(devices, now); found != kCtlSuccess) return found;
    return list(*now);
}

int BusSession::Watch(StopRequest* stop, bool json) {
    StopRequest once;  // without a stop: the present state, then the end
    if (!stop) {
        once.Request();
        stop = &once;
    }
    const bool followed = m_client.Watch(
        [this, json](const MouseDeviceProperties* before, const MouseDeviceProperties* after) {
            PrintWatchEvents(m_out, WatchEventsFor(before, after), json);
        },
        *stop);
    return followed ? kCtlSuccess : Fail("the program ended");
}

}  // namespace

std::string CtlUsage() {
    return "usage: vantorelctl [--direct] [--simulate[=cable|receiver]] [--json] COMMAND [ARGUMENTS]\n"
           "       vantorelctl keys [--json]\n"
           "       vantorelctl --help | --version [--json]\n"
           "\n"
           "While VantorelMouse runs, COMMAND goes to it over the session bus and its window shows\n"
           "the change. Otherwise vantorelctl reads the mouse of the selected model itself, then\n"
           "runs COMMAND on its active profile. Either way prints the same.\n"
           "\n"
           "commands:\n"
           "  info                       models, devices, connection, battery, firmware versions,\n"
           "                             report rate and DPI level\n"
           "  get KEY                    a stored value of the active profile with its readable form\n"
           "                             (e.g. report_rate: 3 (1000 Hz))\n"
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
           "  watch                      prints the mouse's state, then each change as it comes (battery,\n"
           "                             profile, DPI level, plugged in or out), one line each, until\n"
           "                             interrupted\n"
           "  keys                       the keys get and set take, with their ranges and meanings\n"
           "                             (needs no mouse)\n"
           "\n"
           "options:\n"
           "  --direct                     talk to the mouse itself even while VantorelMouse runs\n"
           "  --simulate[=cable|receiver]  use a simulated mouse instead of a real one (implies --direct)\n"
           "  --json                       JSON output for info, get, profile, keys and watch (one object\n"
           "                               per line; see vantorelctl(1))\n"
           "  --version                    the version\n"
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
        } else if (args[i] == "--version") {
            options.version = true;
        } else if (args[i] == "--json") {
            options.json = true;
        } else if (args[i] == "--direct") {
            options.direct = true;
        } else if (ParseSimulateOption(args[i], start)) {
            options.simulate = true;
            options.simulateReceiver = start == SimulateStart::Receiver;
        } else {
            error = "unknown option " + args[i];
            return kCtlUsage;
        }
    }
    if (options.help || options.version) return kCtlSuccess;
    if (i == args.size()) {
        error = "no command given";
        return kCtlUsage;
    }
    options.command = args[i];
    options.arguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    if (TakesJson(options.command) && !options.arguments.empty() && options.arguments.back() == "--json") {
        options.json = true;
        options.arguments.pop_back();
    }
    if (options.json && !TakesJson(options.command)) {
        error = "--json is for info, get, profile, keys and watch";
        return kCtlUsage;
    }
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

int RunVantorelCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   StopRequest* stop) {
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
    if (options.version) {
        out << FormatCtlVersion(kAppVersion, options.json);
        return kCtlSuccess;
    }
    // The keys are the program's, not the mouse's: listed without one, and without asking the bus.
    if (options.command == "keys") {
        out << FormatCtlKeys(ListCtlKeys(EffectiveDeviceType(ReadAppRegInt(L"DeviceType")), kDpiStages),
                             options.json);
        return kCtlSuccess;
    }
    // One owner of the mouse: while the program runs, it is asked. A simulated
    // mouse is always the tool's own.
    if (!options.direct && !options.simulate) {
        MouseBusClient client(SessionBusAddress());
        if (client.IsServed()) return BusSession(client, out, err).Run(options, stop);
    }
    CtlSession session(out, err);
    const int opened = session.Open(options);
    return opened != kCtlSuccess ? opened : session.Run(options, stop);
}
