#pragma once
// The simulated mouse and its receiver as kernel HID devices, created through
// /dev/uhid, so that the program reaches them through hidraw and hidapi exactly as it
// reaches a real mouse. Each plugged endpoint shows the interfaces of SimBackend, one
// UHID device per USB interface: an ordinary mouse collection (interface 0), the
// vendor collection (interface 1: usage page 0xFFB2, usage 1, report id 6, 64-byte
// input and output reports with the id; the receiver adds its 0xC0 connection-state
// report) and, on the receiver, a keyboard (interface 2). UHID devices have no USB
// parent in sysfs, so each names its interface in its physical path ("/inputN"),
// the way the USB HID driver does.
//
// Output reports on the vendor interfaces go to the same firmware model as the
// in-process back end; its answers and notifications come back as input reports.
// Every report is recorded in the firmware's trace (VANTOREL_SIM_TRACE).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimFirmware.h"

struct UhidDeviceSpec {
    SimEndpoint endpoint = SimEndpoint::Cable;
    int interfaceNumber = 0;
    bool vendor = false;  // the configuration collection
    std::string name;     // product name (HID_NAME)
    std::string phys;     // physical path ending in "/input<interfaceNumber>"
    uint16_t vid = 0;
    uint16_t pid = 0;
    uint16_t release = 0;
    std::vector<uint8_t> descriptor;
};

// The vendor collection; the receiver's also declares the connection-state report.
std::vector<uint8_t> VendorReportDescriptor(bool receiver);
// The UHID devices one endpoint of `model` consists of, in interface order.
std::vector<UhidDeviceSpec> UhidDevicesOf(const SimModel& model, SimEndpoint endpoint);

class UhidMouse {
  public:
    UhidMouse(int32_t deviceType, std::shared_ptr<SimTrace> trace);
    ~UhidMouse();
    UhidMouse(const UhidMouse&) = delete;
    UhidMouse& operator=(const UhidMouse&) = delete;

    // Creates the endpoint's devices; false (and nothing plugged) when /dev/uhid refuses.
    // "ready" is printed once the kernel has started all plugged devices.
    bool Plug(SimEndpoint endpoint);
    void Unplug(SimEndpoint endpoint);

    // One line of the control language:
    //   plug|unplug cable|receiver, power on|off, dpi, battery LEVEL [CHARGING], wake,
    //   button SLOT, quit
    // Returns false with `error` set for a line it does not understand.
    bool Command(const std::string& line, bool& quit, std::string& error);

    // Serves the devices until a line "quit" arrives on `controlFd` or `stopFd` becomes
    // readable. Commands are read line by line from `controlFd` (-1 for none); its end
    // only stops the reading. Returns 0, or 1 when the devices could not be served.
    int Run(int controlFd, int stopFd);

  private:
    struct Device;

    void Deliver(SimFirmware::Outputs&& outputs);
    void HandleEvent(Device& device);
    Device* VendorDevice(SimEndpoint endpoint);
    // True once the kernel started every plugged device (hidraw nodes follow at once).
    bool AllStarted() const;

    std::shared_ptr<SimTrace> m_trace;
    SimFirmware m_firmware;
    std::vector<std::unique_ptr<Device>> m_devices;
};
