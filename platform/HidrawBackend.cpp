#include "platform/HidrawBackend.h"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include <cerrno>

#include "platform/HidDescriptor.h"
#include "platform/HidPath.h"
#include "platform/HidSysfs.h"
#include "base/Trace.h"

namespace {

// Reads and writes go straight to the hidraw node, as hidapi's hidraw code does,
// so that the node's descriptor can also be waited on; hidapi enumerates and
// names the devices.
class HidrawDevice : public HidDevice {
  public:
    HidrawDevice(int fd, std::string systemPath) : m_fd(fd), m_systemPath(std::move(systemPath)) {}
    ~HidrawDevice() override { Close(); }

    int Write(const uint8_t* data, size_t length) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_fd < 0) return -1;
        const ssize_t n = ::write(m_fd, data, length);
        return n < 0 ? -1 : static_cast<int>(n);
    }
    int Read(uint8_t* data, size_t length, int timeoutMs) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_fd < 0) return -1;
        pollfd p{m_fd, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&p, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready < 0) return -1;
        if (ready == 0) return 0;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return -1;  // unplugged
        const ssize_t n = ::read(m_fd, data, length);
        if (n < 0) return errno == EAGAIN || errno == EINTR ? 0 : -1;
        return static_cast<int>(n);
    }
    std::wstring GetProductString() override {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_fd < 0) return {};
        }
        // Rarely asked (once per handshake): hidapi reads it from the device's USB strings.
        hid_device* device = hid_open_path(m_systemPath.c_str());
        if (!device) return {};
        wchar_t text[512] = {};
        const bool ok = hid_get_product_string(device, text, 511) == 0;
        hid_close(device);
        return ok ? text : std::wstring();
    }
    // From the descriptor the kernel holds for the node, the first top-level collection.
    bool GetUsage(uint16_t& usagePage, uint16_t& usage) override {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_fd < 0) return false;
        }
        std::vector<uint8_t> descriptor;
        if (!ReadReportDescriptor(m_systemPath, descriptor)) return false;
        const std::vector<HidUsage> usages = TopLevelUsages(descriptor.data(), descriptor.size());
        if (usages.empty()) return false;
        usagePage = usages.front().usagePage;
        usage = usages.front().usage;
        return true;
    }
    void Close() override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    int DupWaitHandle() override {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_fd < 0 ? -1 : ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    }

  private:
    std::mutex m_lock;  // a close must not overlap a read in progress
    int m_fd;
    const std::string m_systemPath;
};

}  // namespace

HidrawBackend::~HidrawBackend() {
    m_monitor.Stop();
    if (m_initialised) hid_exit();
}

bool HidrawBackend::EnsureInitialised() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_initialised) {
        m_initialised = hid_init() == 0;
        if (!m_initialised) {
            Vantorel::Trace("hidapi: initialisation failed");
            hid_exit();
        }
    }
    return m_initialised;
}

std::vector<HidInterfaceInfo> HidrawBackend::Enumerate() {
    std::vector<HidInterfaceInfo> result;
    if (!EnsureInitialised()) return result;
    hid_device_info* list = hid_enumerate(0, 0);
    for (hid_device_info* d = list; d; d = d->next) {
        HidInterfaceInfo info;
        info.systemPath = d->path ? d->path : "";
        info.vid = d->vendor_id;
        info.pid = d->product_id;
        info.release = d->release_number;
        info.usagePage = d->usage_page;
        info.usage = d->usage;
        info.interfaceNumber = d->interface_number;
        // A virtual device (UHID) has no USB interface in sysfs; it names it in its physical path.
        if (info.interfaceNumber < 0)
            info.interfaceNumber = InterfaceNumberFromPhys(ReadHidPhys(info.systemPath));
        info.product = d->product_string ? d->product_string : L"";
        info.path = MakeInterfacePath(info.vid, info.pid, info.interfaceNumber, info.systemPath);
        result.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return result;
}

std::shared_ptr<HidDevice> HidrawBackend::Open(const std::string& path) {
    if (!EnsureInitialised()) return nullptr;
    const std::string systemPath = SystemPathOf(path);
    const int fd = ::open(systemPath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_shared<HidrawDevice>(fd, systemPath);
}

HidOpenFailure HidrawBackend::ExplainOpenFailure(const HidInterfaceInfo& info) {
    const std::string node = info.systemPath.empty() ? SystemPathOf(info.path) : info.systemPath;
    switch (ProbeNodeOpen(node)) {
        case EACCES:
        case EPERM:
            return HidOpenFailure::AccessDenied;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return HidOpenFailure::Gone;
        default:  // it opens now (a race with udev), or fails for another reason
            return HidOpenFailure::Unknown;
    }
}

bool HidrawBackend::SetDeviceChangeHandler(DeviceChangeHandler handler) {
    m_monitor.Stop();
    return handler ? m_monitor.Start(std::move(handler)) : true;
}
