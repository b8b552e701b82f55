#pragma once
// Tells when the machine goes to sleep and when it wakes up again, from logind's
// PrepareForSleep signal on the system bus. The devices are gone for the program
// after a resume (their handles went stale while the machine slept), so the main
// window refreshes them and reads the mouse again on wake-up.
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "platform/dbus/GLibLoop.h"

class SleepMonitor {
  public:
    // `busAddress`: SystemBusAddress() for the machine's system bus (tests pass a
    // private bus; empty: no bus, nothing is reported).
    explicit SleepMonitor(std::string busAddress);
    ~SleepMonitor();
    SleepMonitor(const SleepMonitor&) = delete;
    SleepMonitor& operator=(const SleepMonitor&) = delete;

    // Starts listening; `changed(true)` comes before the machine sleeps and
    // `changed(false)` after it woke up, on the monitor's own thread. False when
    // there is no bus address (the connection itself is made in the background).
    bool Start(std::function<void(bool sleeping)> changed);

    // True once the bus has confirmed the subscription: from then on no signal is
    // missed.
    bool IsListening() const { return m_listening.load(); }

  private:
    class Connection;

    const std::string m_address;
    std::atomic<bool> m_listening{false};
    GLibLoop m_loop;
    std::unique_ptr<Connection> m_connection;  // loop thread only
};
