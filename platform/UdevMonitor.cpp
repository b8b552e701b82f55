#include "platform/UdevMonitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/HidPath.h"
#include "platform/Trace.h"

UdevMonitor::~UdevMonitor() {
    Stop();
}

bool UdevMonitor::Start(DeviceChangeHandler handler) {
    Stop();
    m_udev = udev_new();
    if (m_udev) m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
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
    const char* devpath = udev_device_get_devpath(device);
    const char* devnode = udev_device_get_devnode(device);
    uint16_t vid = 0, pid = 0;
    int interfaceNumber = -1;
    if (action && devpath && devnode && ParseHidrawDevpath(devpath, vid, pid, interfaceNumber)) {
        std::string path = MakeInterfacePath(vid, pid, interfaceNumber, devnode);
        if (std::strcmp(action, "add") == 0)
            m_handler(DeviceChange::Arrival, path);
        else if (std::strcmp(action, "remove") == 0)
            m_handler(DeviceChange::Removal, path);
    }
    udev_device_unref(device);
}
