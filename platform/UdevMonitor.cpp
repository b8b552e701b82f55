#include "platform/UdevMonitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/HidPath.h"
#include "base/Trace.h"

namespace {

// The canonical path of a hidraw device; empty when it is not a HID device's node.
std::string CanonicalPathOf(udev_device* device) {
    const char* devpath = udev_device_get_devpath(device);
    const char* devnode = udev_device_get_devnode(device);
    uint16_t vid = 0, pid = 0;
    int interfaceNumber = -1;
    if (!devpath || !devnode || !ParseHidrawDevpath(devpath, vid, pid, interfaceNumber)) return {};
    if (interfaceNumber < 0) {
        // No USB parent (a UHID device): the HID device's physical path names the interface.
        udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
        const char* phys = hid ? udev_device_get_property_value(hid, "HID_PHYS") : nullptr;
        if (phys) interfaceNumber = InterfaceNumberFromPhys(phys);
    }
    return MakeInterfacePath(vid, pid, interfaceNumber, devnode);
}

}  // namespace

UdevMonitor::~UdevMonitor() {
    Stop();
}

bool UdevMonitor::Start(DeviceChangeHandler handler) {
    Stop();
    m_udev = udev_new();
    // Without a udev daemon (a minimal system) only the kernel's own events exist; the
    // nodes then come from devtmpfs and are there when the event is.
    const char* source = access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    if (m_udev) m_monitor = udev_monitor_new_from_netlink(m_udev, source);
    if (m_monitor && (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
                      udev_monitor_enable_receiving(m_monitor) < 0)) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    if (m_monitor) m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (!m_monitor || m_wakeFd < 0) {
        Vantorel::Trace("udev: no hot-plug monitor available");
        Stop();
        return false;
    }
    m_handler = std::move(handler);
    RememberPresent();
    m_thread = std::thread(&UdevMonitor::Run, this);
    return true;
}

void UdevMonitor::Stop() {
    if (m_thread.joinable()) {
        uint64_t one = 1;
        if (write(m_wakeFd, &one, sizeof one) < 0) Vantorel::Trace("udev: wake-up failed");
        m_thread.join();
    }
    if (m_wakeFd >= 0) close(m_wakeFd);
    m_wakeFd = -1;
    if (m_monitor) udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    if (m_udev) udev_unref(m_udev);
    m_udev = nullptr;
    m_handler = nullptr;
    m_known.clear();
}

void UdevMonitor::RememberPresent() {
    udev_enumerate* scan = udev_enumerate_new(m_udev);
    if (!scan) return;
    if (udev_enumerate_add_match_subsystem(scan, "hidraw") >= 0 && udev_enumerate_scan_devices(scan) >= 0) {
        udev_list_entry* entry;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan)) {
            udev_device* device = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
            if (!device) continue;
            std::string path = CanonicalPathOf(device);
            if (!path.empty()) m_known[udev_device_get_devnode(device)] = std::move(path);
            udev_device_unref(device);
        }
    }
    udev_enumerate_unref(scan);
}

void UdevMonitor::Run() {
    pollfd fds[2] = {{udev_monitor_get_fd(m_monitor), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) ReceiveOne();
    }
}

void UdevMonitor::ReceiveOne() {
    udev_device* device = udev_monitor_receive_device(m_monitor);
    if (!device) return;
    const char* action = udev_device_get_action(device);
    const char* devnode = udev_device_get_devnode(device);
    if (action && devnode) {
        if (std::strcmp(action, "add") == 0) {
            std::string path = CanonicalPathOf(device);
            if (!path.empty()) {
                m_known[devnode] = path;
                m_handler(DeviceChange::Arrival, path);
            }
        } else if (std::strcmp(action, "remove") == 0) {
            // The sysfs entries are gone by now: the path given at arrival is the one to report.
            auto known = m_known.find(devnode);
            std::string path = known != m_known.end() ? known->second : CanonicalPathOf(device);
            if (known != m_known.end()) m_known.erase(known);
            if (!path.empty()) m_handler(DeviceChange::Removal, path);
        }
    }
    udev_device_unref(device);
}
