#pragma once
// The simulated mouse and receiver as a HID back end, in process. Each mouse of the
// simulation has a cable device (the mouse itself) and a receiver device; a plugged
// device shows its vendor interface (interface 1, usage page 0xFFB2, usage 1) beside
// ordinary interfaces the program must ignore: a mouse interface 0 on both and a
// keyboard interface 2 on the receiver. Every open handle gets its own copy of each
// input report, as hidraw does. Plugging and unplugging send the same hot-plug events
// as the udev monitor. All methods are thread-safe.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/HidBackend.h"
#include "sim/SimFirmware.h"

class SimBackend : public HidBackend {
  public:
    // One mouse per device type given; nothing plugged yet.
    explicit SimBackend(std::vector<int32_t> deviceTypes = {101});
    ~SimBackend() override;

    // HidBackend
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::shared_ptr<HidDevice> Open(const std::string& path) override;
    bool SetDeviceChangeHandler(DeviceChangeHandler handler) override;

    // The bus. `mouse` is the position in the constructor's list. Without
    // `vendorInterface` the device shows only its ordinary interfaces (as in a mode
    // without the configuration collection).
    void Plug(SimEndpoint endpoint, int mouse = 0, bool vendorInterface = true);
    void Unplug(SimEndpoint endpoint, int mouse = 0);

    // What the user does with a mouse. Switching it on while its receiver searches
    // after a pairing command pairs it: the receiver reports the link and the
    // connection notification, then its interfaces leave and re-appear (hot-plug
    // removal and arrival events, new paths).
    void SetMousePower(bool on, int mouse = 0);
    void PressDpiButton(int mouse = 0);
    void SetBattery(int level, bool charging, int mouse = 0);
    void Wake(int mouse = 0);
    void PressButton(int slot, int mouse = 0);

    using Event = std::function<SimFirmware::Outputs(SimFirmware&)>;
    // Runs an event on a mouse's firmware and delivers what it sends.
    void Apply(const Event& event, int mouse = 0);
    // Runs `event` when the next output report reaches the mouse, before the device
    // answers it: a report the mouse sends just as the host writes.
    void ApplyBeforeNextAnswer(Event event, int mouse = 0);
    // Changes a mouse's state directly (firmware version, a hung firmware, ...).
    void Configure(const std::function<void(SimMouseState&)>& change, int mouse = 0);
    SimMouseState State(int mouse = 0) const;

    // Time each report takes on the wire, in each direction (0 by default).
    void SetLatency(std::chrono::microseconds eachWay);
    void SetPairingDelay(std::chrono::milliseconds delay);

    // Canonical path of a plugged device's interface; empty when it is not plugged.
    std::string InterfacePath(SimEndpoint endpoint, int interfaceNumber, int mouse = 0) const;

    SimTrace& Trace() { return *m_trace; }

    struct Core;

  private:
    std::shared_ptr<SimTrace> m_trace;
    std::shared_ptr<Core> m_core;  // shared with open handles, which may outlive the back end
};
