// vm_probe: what tests/vm/run asks of the program until vantorelctl takes its place.
// It drives the real DeviceManager, on the hidapi back end or (with --simulate) on
// the simulated one, so that the two can be compared report for report:
//   vm_probe [--simulate[=cable|receiver]] COMMAND
//   info          the HID interfaces of the catalog's ids, the vendor test of each, the
//                 records after the handshake
//   send HEX...   one Send with answer of the report given
//   hotplug       unplug and replug what is plugged; the hot-plug decisions
//   link          the receiver's mouse switched off and on; its online state
//   uinput        the paste chord of a Wayland session on the uinput virtual keyboard,
//                 read back from its event node where this user may; without access
//                 to /dev/uinput the notice the program shows
// On the hidapi back end, VANTOREL_UHID_CONTROL names the control FIFO of vantorel_uhid,
// through which hotplug and link act. Exits 0 when what it checked held.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "device/DeviceCatalog.h"
#include "device/DeviceManager.h"
#include "device/Hotplug.h"
#include "base/TextConv.h"
#include "device/PermissionNotice.h"
#include "platform/DesktopServices.h"
#include "base/Folders.h"
#include "tests/support/EvdevReader.h"
#include "sim/SimSetup.h"

namespace {

struct Probe {
    DeviceManager& manager = DeviceManager::Instance();
    std::shared_ptr<SimBackend> sim;  // null on the hidapi back end
    std::vector<HotplugMode> modes;
    int32_t deviceType = 0;
};

void PrintReport(const char* label, const ReportBuffer& report) {
    std::printf("%s", label);
    for (size_t i = 0; i < kReportSize; ++i) std::printf(" %02X", report[i]);
    std::printf("\n");
}

bool Refresh(Probe& probe) {
    probe.manager.Reenumerate();
    probe.manager.SetCurrentDeviceType(probe.deviceType);
    bool online = false;
    for (const DeviceRecord& r : probe.manager.GetRecords()) {
        std::printf("record %d %s type=%d mode=%d online=%d battery=%d charging=%d product=\"%s\"\n", r.index,
                    r.path.c_str(), r.deviceType, r.deviceMode, r.online, r.batteryLevel, r.charging,
                    Orvix::WideToUtf8(r.product).c_str());
        online = online || (r.deviceType == probe.deviceType && r.online == kOnline);
    }
    return online;
}

int Info(Probe& probe) {
    HidBackend& backend = *probe.manager.GetBackend();
    int vendor = 0;
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        if (!probe.manager.IsSupported(info.vid, info.pid)) continue;
        const bool isVendor = IsVendorInterface(backend, info.path);
        vendor += isVendor;
        std::printf("interface %s vid=%04X pid=%04X usage_page=%04X usage=%04X vendor_test=%s\n",
                    info.path.c_str(), info.vid, info.pid, info.usagePage, info.usage,
                    isVendor ? "yes" : "no");
    }
    const bool online = Refresh(probe);
    return vendor == 1 && online && probe.manager.GetRecords().size() == 1 ? 0 : 1;
}

int Send(Probe& probe, int argc, char** argv) {
    ReportBuffer report{};
    if (argc < 1 || argc > static_cast<int>(kReportSize)) return 2;
    for (int i = 0; i < argc; ++i) report[i] = static_cast<uint8_t>(std::strtoul(argv[i], nullptr, 16));
    if (!Refresh(probe)) return 1;
    PrintReport("request", report);
    const bool sent = probe.manager.Send(report, true);
    PrintReport("answer ", report);
    return sent ? 0 : 1;
}

// Hot-plug events, handed over from the back end's thread.
class EventQueue {
  public:
    void Push(DeviceChange change, const std::string& path) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.push_back({change, path});
        m_changed.notify_all();
    }
    // The events of the next `quiet` without a new one, waiting at most `limit` for the first.
    std::vector<std::pair<DeviceChange, std::string>> Collect(std::chrono::milliseconds limit,
                                                              std::chrono::milliseconds quiet) {
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait_for(lock, limit, [&] { return !m_events.empty(); });
        while (m_changed.wait_for(lock, quiet, [&, n = m_events.size()] { return m_events.size() != n; })) {
        }
        std::vector<std::pair<DeviceChange, std::string>> events(m_events.begin(), m_events.end());
        m_events.clear();
        return events;
    }

  private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::pair<DeviceChange, std::string>> m_events;
};

// Acts as the user of the mouse with one control line of vantorel_uhid ("unplug cable",
// "power off", ...): in process on the simulated back end, else through the FIFO.
bool Act(Probe& probe, const std::string& line) {
    std::printf("> %s\n", line.c_str());
    if (!probe.sim) {
        const char* fifo = std::getenv("VANTOREL_UHID_CONTROL");
        std::ofstream control(fifo ? fifo : "");
        control << line << std::endl;
        return static_cast<bool>(control);
    }
    std::istringstream in(line);
    std::string verb, word;
    in >> verb >> word;
    const SimEndpoint endpoint = word == "receiver" ? SimEndpoint::Receiver : SimEndpoint::Cable;
    if (verb == "power")
        probe.sim->SetMousePower(word == "on");
    else if (verb == "plug")
        probe.sim->Plug(endpoint);
    else if (verb == "unplug")
        probe.sim->Unplug(endpoint);
    else
        return false;
    return true;
}

// Counts the events whose decision is `task`, printing each.
int Decisions(Probe& probe, EventQueue& events, DeviceChangeRead task) {
    int count = 0;
    for (const auto& [change, path] :
         events.Collect(std::chrono::seconds(5), std::chrono::milliseconds(300))) {
        const bool arrival = change == DeviceChange::Arrival;
        const DeviceChangeRead decided = arrival ? DecideArrival(path, probe.modes, probe.manager)
                                    : DecideRemoval(path, probe.modes, true, probe.manager);
        std::printf("%s %s -> read %d\n", arrival ? "arrival" : "removal", path.c_str(), int(decided));
        count += decided == task;
    }
    return count;
}

// The endpoint of the first record: what is plugged.
std::string EndpointWord(Probe& probe) {
    const std::vector<DeviceRecord> records = probe.manager.GetRecords();
    return !records.empty() && records[0].deviceMode == kModeReceiver ? "receiver" : "cable";
}

// Polls the receiver's connection-state reports until its record shows `online`.
bool AwaitOnline(Probe& probe, int32_t online) {
    for (int poll = 1; poll <= 100; ++poll) {
        probe.manager.PollOnline();
        const std::vector<DeviceRecord> records = probe.manager.GetRecords();
        if (!records.empty() && records[0].online == online) {
            std::printf("online=%d after %d polls, device mode now %d\n", online, poll,
                        probe.manager.GetCurrentDevMode());
            return true;
        }
    }
    std::printf("online never became %d\n", online);
    return false;
}

// The receiver's link to the mouse, learnt from its connection-state reports: the
// mouse switched off, then on again.
int Link(Probe& probe) {
    bool ok = Refresh(probe) && EndpointWord(probe) == "receiver";
    ok = Act(probe, "power off") && AwaitOnline(probe, kReceiverOffline) &&
         probe.manager.GetCurrentDevMode() == -1 && !probe.manager.GetActiveHandle() && ok;
    ok = Act(probe, "power on") && AwaitOnline(probe, kOnline) &&
         probe.manager.GetCurrentDevMode() == kModeReceiver && ok;
    return ok ? 0 : 1;
}

int Hotplug(Probe& probe) {
    EventQueue events;
    HidBackend& backend = *probe.manager.GetBackend();
    if (!backend.SetDeviceChangeHandler([&](DeviceChange c, const std::string& p) { events.Push(c, p); })) {
        std::printf("no hot-plug monitor\n");
        return 1;
    }
    bool ok = Refresh(probe);
    const std::string endpoint = EndpointWord(probe);
    ok = Act(probe, "unplug " + endpoint) && Decisions(probe, events, DeviceChangeRead::Short) == 1 && ok;
    ok = !Refresh(probe) && ok;
    ok = Act(probe, "plug " + endpoint) && Decisions(probe, events, DeviceChangeRead::Long) == 1 && ok;
    ok = Refresh(probe) && ok;
    backend.SetDeviceChangeHandler(nullptr);
    return ok ? 0 : 1;
}

// What typing a text does on a Wayland session here: the virtual keyboard, its keys
// as its event node gives them ("key 29 1" for Ctrl down), or the notice.
int Uinput() {
    EvdevReader reader;
    DesktopSessionOptions options;
    options.session = SessionKind::Wayland;
    options.waylandClipboard = false;
    options.onVirtualKeyboard = [&](const std::string& node) {
        std::printf("keyboard %s\n", node.c_str());
        if (!reader.Start(node, 4)) std::printf("not readable: %s\n", std::strerror(reader.OpenError()));
    };
    SystemDesktopServices typing(options);
    bool fellBack = false;
    typing.SetPasteFallbackHandler([&](const PasteFallback& f) {
        fellBack = true;
        std::printf("%s\n", FormatPermissionNotice(GetUinputNotice(f.problem, f.node, f.error, f.pasted)).c_str());
    });
    const bool pressed = typing.PressPasteKeys();
    for (const input_event& key : reader.Keys()) std::printf("key %d %d\n", key.code, key.value);
    return pressed && !fellBack ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Probe probe;
    int arg = 1;
    if (SimulateStart start; arg < argc && ParseSimulateOption(argv[arg], start)) {
        probe.sim = InstallSimulatedBackend(start);
        ++arg;
    }
    DeviceCatalog catalog;
    if (!ReadCatalog(GetProgramFolder(), L"", catalog) || catalog.models.empty()) {
        std::fprintf(stderr, "vm_probe: no catalog beside the program\n");
        return 2;
    }
    for (const SupportedId& row : catalog.supportedIds) probe.manager.AddSupportedId(row);
    for (const CatalogEntry& mode : catalog.modes)
        probe.modes.push_back({mode.modeValue, mode.vid, mode.pid, mode.hidInterface});
    probe.deviceType = catalog.models.front().deviceType;

    const std::string command = arg < argc ? argv[arg] : "";
    if (command == "uinput") return Uinput();
    if (command == "info") return Info(probe);
    if (command == "send") return Send(probe, argc - arg - 1, argv + arg + 1);
    if (command == "hotplug") return Hotplug(probe);
    if (command == "link") return Link(probe);
    std::fprintf(stderr,
                 "usage: vm_probe [--simulate[=cable|receiver]] info | send HEX... | hotplug | link | uinput\n");
    return 2;
}
