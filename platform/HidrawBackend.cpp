#include "platform/HidrawBackend.h"

#include <hidapi/hidapi.h>

#include <cerrno>

#include "platform/HidDescriptor.h"
#include "platform/HidPath.h"
#include "platform/HidSysfs.h"
#include "platform/Trace.h"

namespace {

class HidrawDevice : public HidDevice {
  public:
    HidrawDevice(hid_device* device, std::string systemPath)
        : m_device(device), m_systemPath(std::move(systemPath)) {}
    ~HidrawDevice() override { Close(); }

    int Write(const uint8_t* data, size_t length) override {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_device ? hid_write(m_device, data, length) : -1;
    }
    int Read(uint8_t* data, size_t length, int timeoutMs) override {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_device ? hid_read_timeout(m_device, data, length, timeoutMs) : -1;
    }
    std::wstring GetProductString() override {
        std::lock_guard<std::mutex> lock(m_lock);
        wchar_t text[512] = {};
        if (!m_device || hid_get_product_string(m_device, text, 511) != 0) return {};
        return text;
    }
    // From the descriptor the kernel holds for the node, the first top-level collection.
    bool GetUsage(uint16_t& usagePage, uint16_t& usage) override {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (!m_device) return false;
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
        if (m_device) hid_close(m_device);
        m_device = nullptr;
    }

  private:
    std::mutex m_lock;  // a close must not overlap a read in progress
    hid_device* m_device;
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
    hid_device* device = hid_open_path(systemPath.c_str());
    if (!device) return nullptr;
    return std::make_shared<HidrawDevice>(device, systemPath);
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
