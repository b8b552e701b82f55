#pragma once
// Watches the hidraw subsystem for interfaces that arrive or leave and reports each
// one with its canonical interface path, from a thread of its own.
#include <map>
#include <string>
#include <thread>

#include "platform/HidBackend.h"

struct udev;
struct udev_monitor;

class UdevMonitor {
  public:
    UdevMonitor() = default;
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    // False when no monitor can be created (no netlink access); nothing is started then.
    bool Start(DeviceChangeHandler handler);
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

  private:
    void Run();
    void ReceiveOne();
    // Notes the canonical path of every node present, for removals that follow.
    void RememberPresent();

    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    int m_wakeFd = -1;
    DeviceChangeHandler m_handler;
    std::map<std::string, std::string> m_known;  // node -> canonical path; used by the monitor thread only
    std::thread m_thread;
};
