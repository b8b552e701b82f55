#include "sim/SimBackend.h"

#include <fcntl.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <optional>
#include <thread>
#include <utility>

#include "platform/HidPath.h"
#include "protocol/Report.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kVendorInterface = 1;
constexpr size_t kQueueLimit = 64;  // reports a reader may fall behind by, as hidraw keeps

struct SimInterface {
    int id = 0;  // unique for the life of the back end
    int mouse = 0;
    SimEndpoint endpoint = SimEndpoint::Cable;
    int number = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::string systemPath;
};

struct PendingReport {
    Clock::time_point due;
    std::vector<uint8_t> data;
};

// The input side of one open handle. Its wait descriptor is a timer that is due
// whenever a read would find something: a report whose time on the wire has
// passed, a firmware event of its mouse, or the end of the handle.
struct SimQueue {
    SimQueue() : waitFd(::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {}
    ~SimQueue() {
        if (waitFd >= 0) ::close(waitFd);
    }
    SimQueue(const SimQueue&) = delete;
    SimQueue& operator=(const SimQueue&) = delete;

    // Sets the timer to `due` (disarmed without one); a time passed makes it due at once.
    void Arm(std::optional<Clock::time_point> due) const {
        if (waitFd < 0) return;
        itimerspec spec{};
        if (due) {
            // steady_clock is CLOCK_MONOTONIC; 0 would disarm, so the earliest is 1 ns.
            const auto ns = std::max<int64_t>(
                1, std::chrono::duration_cast<std::chrono::nanoseconds>(due->time_since_epoch()).count());
            spec.it_value.tv_sec = ns / 1000000000;
            spec.it_value.tv_nsec = ns % 1000000000;
        }
        ::timerfd_settime(waitFd, due ? TFD_TIMER_ABSTIME : 0, &spec, nullptr);
    }

    SimInterface iface;
    std::deque<PendingReport> reports;
    bool gone = false;  // its device was unplugged
    bool closed = false;
    const int waitFd;
};

}  // namespace

struct SimBackend::Core {
    std::mutex lock;
    std::condition_variable changed;
    std::shared_ptr<SimTrace> trace;
    std::vector<std::unique_ptr<SimFirmware>> mice;
    std::vector<Event> beforeNextAnswer;            // per mouse
    std::vector<SimInterface> interfaces;           // of the plugged devices, in plug order
    std::vector<std::shared_ptr<SimQueue>> queues;  // open handles
    std::atomic<int64_t> latencyUs{0};              // read by writers before they take the lock
    DeviceChangeHandler handler;
    int nextId = 0;

    SimFirmware* Mouse(int mouse) {
        return mouse >= 0 && mouse < static_cast<int>(mice.size()) ? mice[mouse].get() : nullptr;
    }

    bool IsPlugged(int mouse, SimEndpoint endpoint) const {
        return std::any_of(interfaces.begin(), interfaces.end(),
                           [&](const SimInterface& i) { return i.mouse == mouse && i.endpoint == endpoint; });
    }

    std::string PathOf(const SimInterface& iface) {
        const SimModel& model = mice[iface.mouse]->Model();
        const uint16_t pid = iface.endpoint == SimEndpoint::Cable ? model.cablePid : model.receiverPid;
        return MakeInterfacePath(model.vid, pid, iface.number, iface.systemPath);
    }

    // Hands each report to every reader of the vendor interface it was sent on.
    void Deliver(int mouse, SimFirmware::Outputs&& outputs, Clock::time_point now) {
        for (SimOutput& output : outputs) {
            for (auto& queue : queues) {
                const SimInterface& i = queue->iface;
                if (queue->gone || i.mouse != mouse || i.endpoint != output.endpoint ||
                    i.number != kVendorInterface)
                    continue;
                if (queue->reports.size() < kQueueLimit)
                    queue->reports.push_back(
                        {now + std::chrono::microseconds(latencyUs.load()), output.data});
            }
        }
        if (!outputs.empty()) changed.notify_all();
        ArmAll();
    }

    // When a read of this queue would next find something.
    std::optional<Clock::time_point> NextDue(const SimQueue& queue) const {
        if (queue.gone || queue.closed) return Clock::time_point::min();
        std::optional<Clock::time_point> due;
        if (!queue.reports.empty()) due = queue.reports.front().due;
        if (auto event = mice[queue.iface.mouse]->NextEventTime())
            due = due ? std::min(*due, *event) : *event;
        return due;
    }

    void ArmAll() const {
        for (const auto& queue : queues) queue->Arm(NextDue(*queue));
    }

    void TickAll(Clock::time_point now) {
        for (size_t m = 0; m < mice.size(); ++m) Deliver(static_cast<int>(m), mice[m]->Tick(now), now);
    }

    Clock::time_point NextWake(const SimQueue& queue, Clock::time_point deadline) const {
        Clock::time_point wake = deadline;
        if (!queue.reports.empty()) wake = std::min(wake, queue.reports.front().due);
        for (const auto& mouse : mice)
            if (auto next = mouse->NextEventTime()) wake = std::min(wake, *next);
        return wake;
    }
};

namespace {

class SimHandle : public HidDevice {
  public:
    SimHandle(std::shared_ptr<SimBackend::Core> core, std::shared_ptr<SimQueue> queue, std::wstring product)
        : m_core(std::move(core)), m_queue(std::move(queue)), m_product(std::move(product)) {}
    ~SimHandle() override { Close(); }

    int Write(const uint8_t* data, size_t length) override {
        if (int64_t us = m_core->latencyUs.load()) std::this_thread::sleep_for(std::chrono::microseconds(us));
        std::lock_guard<std::mutex> lock(m_core->lock);
        if (m_queue->closed || m_queue->gone) return -1;
        const SimInterface& i = m_queue->iface;
        SimFirmware& firmware = *m_core->mice[i.mouse];
        if (i.number != kVendorInterface) {
            m_core->trace->Record(firmware.EndpointName(i.endpoint) + " if" + std::to_string(i.number),
                                  SimDirection::ToDevice, data, length, "refused: no output report here",
                                  true);
            return -1;
        }
        const Clock::time_point now = Clock::now();
        if (Event event = std::exchange(m_core->beforeNextAnswer[i.mouse], nullptr))
            m_core->Deliver(i.mouse, event(firmware), now);
        m_core->Deliver(i.mouse, firmware.HandleOutput(i.endpoint, data, length, now), now);
        return static_cast<int>(length);
    }

    int Read(uint8_t* data, size_t length, int timeoutMs) override {
        const Clock::time_point deadline =
            timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::unique_lock<std::mutex> lock(m_core->lock);
        for (;;) {
            if (m_queue->closed) return -1;
            const Clock::time_point now = Clock::now();
            m_core->TickAll(now);
            auto& reports = m_queue->reports;
            // As hidraw does, a device that left still hands out what it had queued.
            if (m_queue->gone && (reports.empty() || reports.front().due > now)) return -1;
            if (!reports.empty() && reports.front().due <= now) {
                const size_t n = std::min(length, reports.front().data.size());
                std::memcpy(data, reports.front().data.data(), n);
                reports.pop_front();
                m_queue->Arm(m_core->NextDue(*m_queue));
                return static_cast<int>(n);
            }
            if (now >= deadline) return 0;
            m_core->changed.wait_until(lock, m_core->NextWake(*m_queue, deadline));
        }
    }

    std::wstring GetProductString() override { return m_product; }

    bool GetUsage(uint16_t& usagePage, uint16_t& usage) override {
        usagePage = m_queue->iface.usagePage;
        usage = m_queue->iface.usage;
        return true;
    }

    int DupWaitHandle() override {
        std::lock_guard<std::mutex> lock(m_core->lock);
        return m_queue->closed || m_queue->waitFd < 0 ? -1 : ::fcntl(m_queue->waitFd, F_DUPFD_CLOEXEC, 0);
    }

    void Close() override {
        std::lock_guard<std::mutex> lock(m_core->lock);
        if (m_queue->closed) return;
        m_queue->closed = true;
        m_queue->Arm(Clock::time_point::min());
        auto& queues = m_core->queues;
        queues.erase(std::remove(queues.begin(), queues.end(), m_queue), queues.end());
        m_core->changed.notify_all();
    }

  private:
    using Event = SimBackend::Event;
    std::shared_ptr<SimBackend::Core> m_core;
    std::shared_ptr<SimQueue> m_queue;
    std::wstring m_product;
};

}  // namespace

SimBackend::SimBackend(std::vector<int32_t> deviceTypes)
    : m_trace(std::make_shared<SimTrace>()), m_core(std::make_shared<Core>()) {
    m_core->trace = m_trace;
    for (int32_t type : deviceTypes) {
        m_core->mice.push_back(std::make_unique<SimFirmware>(SimModelOf(type), m_trace));
        m_core->beforeNextAnswer.emplace_back();
    }
}

SimBackend::~SimBackend() = default;

std::vector<HidInterfaceInfo> SimBackend::Enumerate() {
    std::lock_guard<std::mutex> lock(m_core->lock);
    std::vector<HidInterfaceInfo> result;
    for (const SimInterface& i : m_core->interfaces) {
        const SimModel& model = m_core->mice[i.mouse]->Model();
        const bool cable = i.endpoint == SimEndpoint::Cable;
        HidInterfaceInfo info;
        info.path = m_core->PathOf(i);
        info.systemPath = i.systemPath;
        info.vid = model.vid;
        info.pid = cable ? model.cablePid : model.receiverPid;
        info.release = model.release;
        info.usagePage = i.usagePage;
        info.usage = i.usage;
        info.interfaceNumber = i.number;
        info.product = cable ? model.cableProduct : model.receiverProduct;
        result.push_back(std::move(info));
    }
    return result;
}

std::shared_ptr<HidDevice> SimBackend::Open(const std::string& path) {
    const std::string systemPath = SystemPathOf(path);
    std::lock_guard<std::mutex> lock(m_core->lock);
    for (const SimInterface& i : m_core->interfaces) {
        if (i.systemPath != systemPath) continue;
        auto queue = std::make_shared<SimQueue>();
        queue->iface = i;
        m_core->queues.push_back(queue);
        const SimModel& model = m_core->mice[i.mouse]->Model();
        return std::make_shared<SimHandle>(
            m_core, queue, i.endpoint == SimEndpoint::Cable ? model.cableProduct : model.receiverProduct);
    }
    return nullptr;
}

bool SimBackend::SetDeviceChangeHandler(DeviceChangeHandler handler) {
    std::lock_guard<std::mutex> lock(m_core->lock);
    m_core->handler = std::move(handler);
    return true;
}

void SimBackend::Plug(SimEndpoint endpoint, int mouse, bool vendorInterface) {
    std::vector<std::string> paths;
    DeviceChangeHandler handler;
    {
        std::lock_guard<std::mutex> lock(m_core->lock);
        SimFirmware* firmware = m_core->Mouse(mouse);
        if (!firmware || m_core->IsPlugged(mouse, endpoint)) return;
        firmware->SetPlugged(endpoint, true);
        struct Usage {
            int number;
            uint16_t page, usage;
        };
        std::vector<Usage> usages{{0, 0x01, 0x02}};
        if (vendorInterface) usages.push_back({kVendorInterface, kVendorUsagePage, kVendorUsage});
        if (endpoint == SimEndpoint::Receiver) usages.push_back({2, 0x01, 0x06});
        for (const Usage& u : usages) {
            const int id = m_core->nextId++;
            SimInterface iface{
                id, mouse, endpoint, u.number, u.page, u.usage, "/sim/hidraw" + std::to_string(id)};
            m_core->interfaces.push_back(iface);
            paths.push_back(m_core->PathOf(iface));
        }
        handler = m_core->handler;
    }
    if (handler)
        for (const std::string& path : paths) handler(DeviceChange::Arrival, path);
}

void SimBackend::Unplug(SimEndpoint endpoint, int mouse) {
    std::vector<std::string> paths;
    DeviceChangeHandler handler;
    {
        std::lock_guard<std::mutex> lock(m_core->lock);
        SimFirmware* firmware = m_core->Mouse(mouse);
        if (!firmware || !m_core->IsPlugged(mouse, endpoint)) return;
        auto unplugged = [&](const SimInterface& i) { return i.mouse == mouse && i.endpoint == endpoint; };
        for (const SimInterface& i : m_core->interfaces)
            if (unplugged(i)) paths.push_back(m_core->PathOf(i));
        auto& interfaces = m_core->interfaces;
        interfaces.erase(std::remove_if(interfaces.begin(), interfaces.end(), unplugged), interfaces.end());
        for (auto& queue : m_core->queues)
            if (unplugged(queue->iface)) queue->gone = true;
        firmware->SetPlugged(endpoint, false);
        m_core->changed.notify_all();
        m_core->ArmAll();
        handler = m_core->handler;
    }
    if (handler)
        for (const std::string& path : paths) handler(DeviceChange::Removal, path);
}

void SimBackend::Apply(const Event& event, int mouse) {
    bool reattach = false;
    {
        std::lock_guard<std::mutex> lock(m_core->lock);
        SimFirmware* firmware = m_core->Mouse(mouse);
        if (!firmware) return;
        m_core->Deliver(mouse, event(*firmware), Clock::now());
        reattach = firmware->TakeReattach();
    }
    // A receiver that just paired leaves the bus and comes back, with new nodes; the
    // reports it sent before stay readable on the handles that were open.
    if (reattach) {
        Unplug(SimEndpoint::Receiver, mouse);
        Plug(SimEndpoint::Receiver, mouse);
    }
}

void SimBackend::ApplyBeforeNextAnswer(Event event, int mouse) {
    std::lock_guard<std::mutex> lock(m_core->lock);
    if (m_core->Mouse(mouse)) m_core->beforeNextAnswer[mouse] = std::move(event);
}

void SimBackend::SetMousePower(bool on, int mouse) {
    Apply([on](SimFirmware& f) { return f.SetPowered(on); }, mouse);
}

void SimBackend::PressDpiButton(int mouse) {
    Apply([](SimFirmware& f) { return f.PressDpiButton(); }, mouse);
}

void SimBackend::SetBattery(int level, bool charging, int mouse) {
    Apply([=](SimFirmware& f) { return f.SetBattery(static_cast<uint8_t>(level), charging); }, mouse);
}

void SimBackend::Wake(int mouse) {
    Apply([](SimFirmware& f) { return f.Wake(); }, mouse);
}

void SimBackend::PressButton(int slot, int mouse) {
    Apply([slot](SimFirmware& f) { return f.PressButton(slot); }, mouse);
}

void SimBackend::Configure(const std::function<void(SimMouseState&)>& change, int mouse) {
    std::lock_guard<std::mutex> lock(m_core->lock);
    if (SimFirmware* firmware = m_core->Mouse(mouse)) change(firmware->State());
}

SimMouseState SimBackend::State(int mouse) const {
    std::lock_guard<std::mutex> lock(m_core->lock);
    SimFirmware* firmware = m_core->Mouse(mouse);
    return firmware ? firmware->State() : SimMouseState{};
}

void SimBackend::SetLatency(std::chrono::microseconds eachWay) {
    m_core->latencyUs = eachWay.count();
}

void SimBackend::SetPairingDelay(std::chrono::milliseconds delay) {
    std::lock_guard<std::mutex> lock(m_core->lock);
    for (auto& mouse : m_core->mice) mouse->SetPairingDelay(delay);
}

std::string SimBackend::InterfacePath(SimEndpoint endpoint, int interfaceNumber, int mouse) const {
    std::lock_guard<std::mutex> lock(m_core->lock);
    for (const SimInterface& i : m_core->interfaces)
        if (i.mouse == mouse && i.endpoint == endpoint && i.number == interfaceNumber)
            return m_core->PathOf(i);
    return {};
}
