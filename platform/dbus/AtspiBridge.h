#pragma once
// The program's windows and controls on the desktop's accessibility bus
// (AT-SPI2), for screen readers and other assistive technology. It runs on a
// GLib loop of its own; the UI thread publishes snapshots of the control tree
// (Orvix::AccessibleHub) and carries out what a reader asks for (clicks,
// focus, selection, values) through the toolkit's own input path.
//
// Nothing is connected while no assistive technology is wanted: at start the
// session bus is asked once whether it is (org.a11y.Status IsEnabled or
// ScreenReaderEnabled); if not, the bridge only waits for that to change.
#include <atomic>
#include <memory>
#include <string>

#include "platform/dbus/GLibLoop.h"

class AtspiBridge {
  public:
    struct Options {
        // The session bus, where org.a11y.Bus says where the accessibility bus is.
        std::string sessionBus;
        // The accessibility bus itself (AT_SPI_BUS_ADDRESS); skips the question and the check.
        std::string accessibilityBus;
    };
    explicit AtspiBridge(Options options);
    // Leaves the bus and stops listening to the UI thread (call on the UI thread).
    ~AtspiBridge();
    AtspiBridge(const AtspiBridge&) = delete;
    AtspiBridge& operator=(const AtspiBridge&) = delete;

    // Asks whether assistive technology is wanted and connects when it is (UI thread).
    void Start();

    // True once the application is registered on the accessibility bus.
    bool IsRegistered() const { return m_registered->load(); }
    // True while the bridge waits for the desktop to want assistive technology.
    bool IsWaiting() const { return m_waiting->load(); }

    // The options the environment gives: AT_SPI_BUS_ADDRESS, else the session bus.
    static Options FromEnvironment(const std::string& sessionBus);

  private:
    class Session;
    const Options m_options;
    std::shared_ptr<std::atomic<bool>> m_registered = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<bool>> m_waiting = std::make_shared<std::atomic<bool>>(false);
    GLibLoop m_loop;
    std::shared_ptr<Session> m_session;
};
