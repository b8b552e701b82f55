#include "sim/UhidMouse.h"

#include <fcntl.h>
#include <linux/input.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "base/TextConv.h"
#include "base/Trace.h"
#include "protocol/Report.h"

using Clock = SimFirmware::Clock;

namespace {

constexpr int kVendorInterface = 1;
constexpr uint8_t kReportBytes = kReportSize - 1;  // after the report id

// A three-button mouse with wheel, as the boot protocol has it.
const std::vector<uint8_t> kMouseDescriptor{0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05,
                                            0x09, 0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03,
                                            0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05,
                                            0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38, 0x15, 0x81, 0x25, 0x7F,
                                            0x75, 0x08, 0x95, 0x03, 0x81, 0x06, 0xC0, 0xC0};

// A keyboard for the receiver's key presses; without LEDs, so the kernel never writes to it.
const std::vector<uint8_t> kKeyboardDescriptor{
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25,
    0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};

const char* EndpointWord(SimEndpoint endpoint) {
    return endpoint == SimEndpoint::Cable ? "cable" : "receiver";
}

bool ParseEndpoint(const std::string& word, SimEndpoint& endpoint) {
    if (word != "cable" && word != "receiver") return false;
    endpoint = word == "cable" ? SimEndpoint::Cable : SimEndpoint::Receiver;
    return true;
}

void CopyText(uint8_t* out, size_t capacity, const std::string& text) {
    std::memcpy(out, text.data(), std::min(text.size(), capacity - 1));
}

}  // namespace

std::vector<uint8_t> VendorReportDescriptor(bool receiver) {
    // clang-format off
    std::vector<uint8_t> d{
        0x06, 0xB2, 0xFF,              // usage page 0xFFB2
        0x09, 0x01,                    // usage 1
        0xA1, 0x01,                    // collection (application)
        0x15, 0x00, 0x26, 0xFF, 0x00,  // logical 0..255
        0x75, 0x08,                    // 8-bit fields
        0x85, kReportId,               // report id 6
        0x95, kReportBytes,            // 63 of them
        0x09, 0x02, 0x81, 0x02,        // input: answers and notifications
        0x09, 0x03, 0x91, 0x02,        // output: commands
    };
    // clang-format on
    if (receiver)  // report 0xC0: the link to the mouse
        for (uint8_t b : {uint8_t{0x85}, kConnectionStateId, uint8_t{0x95}, kReportBytes, uint8_t{0x09},
                          uint8_t{0x04}, uint8_t{0x81}, uint8_t{0x02}})
            d.push_back(b);
    d.push_back(0xC0);  // end collection
    return d;
}

std::vector<UhidDeviceSpec> UhidDevicesOf(const SimModel& model, SimEndpoint endpoint) {
    const bool receiver = endpoint == SimEndpoint::Receiver;
    UhidDeviceSpec base;
    base.endpoint = endpoint;
    base.name = Orvix::WideToUtf8(receiver ? model.receiverProduct : model.cableProduct);
    base.vid = model.vid;
    base.pid = receiver ? model.receiverPid : model.cablePid;
    base.release = model.release;
    std::vector<UhidDeviceSpec> specs;
    auto add = [&](int number, std::vector<uint8_t> descriptor) {
        UhidDeviceSpec spec = base;
        spec.interfaceNumber = number;
        spec.vendor = number == kVendorInterface;
        // One "port" per model and endpoint, as two USB devices on a hub would have.
        spec.phys = SimFormat("usb-uhid-%d.%d/input%d", model.deviceType, receiver ? 2 : 1, number);
        spec.descriptor = std::move(descriptor);
        specs.push_back(std::move(spec));
    };
    add(0, kMouseDescriptor);
    add(kVendorInterface, VendorReportDescriptor(receiver));
    if (receiver) add(2, kKeyboardDescriptor);
    return specs;
}

struct UhidMouse::Device {
    UhidDeviceSpec spec;
    int fd = -1;
    bool started = false;

    ~Device() {
        if (fd >= 0) close(fd);  // closing /dev/uhid destroys the device
    }
    bool Send(const uhid_event& event) const {
        return write(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
    }
};

UhidMouse::UhidMouse(int32_t deviceType, std::shared_ptr<SimTrace> trace)
    : m_trace(trace), m_firmware(SimModelOf(deviceType), trace) {}

UhidMouse::~UhidMouse() = default;

bool UhidMouse::Plug(SimEndpoint endpoint) {
    if (VendorDevice(endpoint)) return true;
    std::vector<std::unique_ptr<Device>> created;
    for (UhidDeviceSpec& spec : UhidDevicesOf(m_firmware.Model(), endpoint)) {
        auto device = std::make_unique<Device>();
        device->fd = open("/dev/uhid", O_RDWR | O_CLOEXEC);
        if (device->fd < 0) {
            std::fprintf(stderr, "vantorel_uhid: /dev/uhid: %s\n", std::strerror(errno));
            return false;
        }
        uhid_event event{};
        event.type = UHID_CREATE2;
        uhid_create2_req& c = event.u.create2;
        CopyText(c.name, sizeof c.name, spec.name);
        CopyText(c.phys, sizeof c.phys, spec.phys);
        c.rd_size = static_cast<uint16_t>(spec.descriptor.size());
        c.bus = BUS_USB;
        c.vendor = spec.vid;
        c.product = spec.pid;
        c.version = spec.release;
        std::memcpy(c.rd_data, spec.descriptor.data(), spec.descriptor.size());
        device->spec = std::move(spec);
        if (!device->Send(event)) {
            std::fprintf(stderr, "vantorel_uhid: cannot create %s: %s\n", device->spec.phys.c_str(),
                         std::strerror(errno));
            return false;
        }
        created.push_back(std::move(device));
    }
    for (auto& device : created) m_devices.push_back(std::move(device));
    m_firmware.SetPlugged(endpoint, true);
    std::printf("plugged %s\n", EndpointWord(endpoint));
    return true;
}

void UhidMouse::Unplug(SimEndpoint endpoint) {
    const auto before = m_devices.size();
    m_devices.erase(std::remove_if(m_devices.begin(), m_devices.end(),
                                   [&](const auto& d) { return d->spec.endpoint == endpoint; }),
                    m_devices.end());
    if (m_devices.size() == before) return;
    m_firmware.SetPlugged(endpoint, false);
    std::printf("unplugged %s\n", EndpointWord(endpoint));
}

bool UhidMouse::AllStarted() const {
    return std::all_of(m_devices.begin(), m_devices.end(), [](const auto& d) { return d->started; });
}

UhidMouse::Device* UhidMouse::VendorDevice(SimEndpoint endpoint) {
    for (auto& device : m_devices)
        if (device->spec.endpoint == endpoint && device->spec.vendor) return device.get();
    return nullptr;
}

bool UhidMouse::Command(const std::string& line, bool& quit, std::string& error) {
    std::istringstream in(line);
    std::string verb, word;
    in >> verb;
    quit = false;
    error.clear();
    SimEndpoint endpoint;
    if (verb.empty()) return true;
    if (verb == "quit") {
        quit = true;
    } else if ((verb == "plug" || verb == "unplug") && in >> word && ParseEndpoint(word, endpoint)) {
        if (verb == "unplug")
            Unplug(endpoint);
        else if (!Plug(endpoint))
            error = "could not create the devices";
    } else if (verb == "power" && in >> word && (word == "on" || word == "off")) {
        Deliver(m_firmware.SetPowered(word == "on"));
        // Paired by this switch-on: the receiver attaches anew, with new devices.
        if (m_firmware.TakeReattach()) {
            Unplug(SimEndpoint::Receiver);
            if (!Plug(SimEndpoint::Receiver)) error = "could not create the devices";
        }
    } else if (verb == "dpi") {
        Deliver(m_firmware.PressDpiButton());
    } else if (verb == "wake") {
        Deliver(m_firmware.Wake());
    } else if (int level = 0, charging = 0; verb == "battery" && in >> level && level >= 0 && level <= 100) {
        in >> charging;
        Deliver(m_firmware.SetBattery(static_cast<uint8_t>(level), charging != 0));
    } else if (int slot = 0; verb == "button" && in >> slot) {
        Deliver(m_firmware.PressButton(slot));
    } else {
        error = "unknown command: " + line;
    }
    std::fflush(stdout);
    return error.empty();
}

void UhidMouse::Deliver(SimFirmware::Outputs&& outputs) {
    for (const SimOutput& output : outputs) {
        Device* device = VendorDevice(output.endpoint);
        if (!device || output.data.size() > UHID_DATA_MAX) continue;
        uhid_event event{};
        event.type = UHID_INPUT2;
        event.u.input2.size = static_cast<uint16_t>(output.data.size());
        std::memcpy(event.u.input2.data, output.data.data(), output.data.size());
        if (!device->Send(event)) Vantorel::Trace("uhid: input report lost: %s", std::strerror(errno));
    }
}

void UhidMouse::HandleEvent(Device& device) {
    uhid_event event{};
    const ssize_t n = read(device.fd, &event, sizeof event);
    if (n <= 0) return;
    const UhidDeviceSpec& spec = device.spec;
    switch (event.type) {
        case UHID_START:
        case UHID_STOP:
            device.started = event.type == UHID_START;
            Vantorel::Trace("uhid: %s %s", spec.phys.c_str(), device.started ? "started" : "stopped");
            if (device.started && AllStarted()) {
                std::printf("ready\n");
                std::fflush(stdout);
            }
            break;
        case UHID_OPEN:
        case UHID_CLOSE:
            Vantorel::Trace("uhid: %s %s", spec.phys.c_str(), event.type == UHID_OPEN ? "opened" : "closed");
            break;
        case UHID_OUTPUT: {
            const uhid_output_req& out = event.u.output;
            const size_t size = std::min<size_t>(out.size, UHID_DATA_MAX);
            if (spec.vendor) {
                Deliver(m_firmware.HandleOutput(spec.endpoint, out.data, size, Clock::now()));
            } else {
                m_trace->Record(
                    m_firmware.EndpointName(spec.endpoint) + " if" + std::to_string(spec.interfaceNumber),
                    SimDirection::ToDevice, out.data, size, "refused: no output report here", true);
            }
            break;
        }
        case UHID_GET_REPORT:
        case UHID_SET_REPORT: {
            // The devices have no feature reports: refuse at once rather than let the kernel wait.
            uhid_event reply{};
            if (event.type == UHID_GET_REPORT) {
                reply.type = UHID_GET_REPORT_REPLY;
                reply.u.get_report_reply = {event.u.get_report.id, EIO, 0, {}};
            } else {
                reply.type = UHID_SET_REPORT_REPLY;
                reply.u.set_report_reply = {event.u.set_report.id, EIO};
            }
            device.Send(reply);
            break;
        }
        default:
            break;
    }
}

int UhidMouse::Run(int controlFd, int stopFd) {
    std::string pending;  // a command line not yet complete
    for (;;) {
        std::vector<pollfd> fds{{stopFd, POLLIN, 0}, {controlFd, POLLIN, 0}};
        for (const auto& device : m_devices) fds.push_back({device->fd, POLLIN, 0});
        int timeout = -1;
        if (auto next = m_firmware.NextEventTime()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now());
            timeout = static_cast<int>(std::max<int64_t>(wait.count(), 0));
        }
        if (poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR) continue;
            std::perror("vantorel_uhid: poll");
            return 1;
        }
        if (fds[0].revents) return 0;
        Deliver(m_firmware.Tick(Clock::now()));
        // Devices first: a command below may unplug some of them.
        for (size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                std::fprintf(stderr, "vantorel_uhid: /dev/uhid closed a device\n");
                return 1;
            }
            if (fds[i].revents & POLLIN) HandleEvent(*m_devices[i - 2]);
        }
        if (!(fds[1].revents & (POLLIN | POLLHUP))) continue;
        char chunk[256];
        const ssize_t n = read(controlFd, chunk, sizeof chunk);
        if (n <= 0) {
            controlFd = -1;  // poll ignores it from now on
            continue;
        }
        pending.append(chunk, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            bool quit = false;
            std::string error;
            if (!Command(line, quit, error)) std::fprintf(stderr, "vantorel_uhid: %s\n", error.c_str());
            if (quit) return 0;
        }
    }
}
