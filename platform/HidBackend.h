#pragma once
// The program's view of the HID layer. Two implementations exist: the hidraw back end
// for real devices and the simulated mouse; the device manager and the hot-plug code
// see only this interface.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One HID top-level collection as enumerated.
struct HidInterfaceInfo {
    std::string path;        // canonical interface path (HidPath.h); also accepted by Open
    std::string systemPath;  // what the operating system calls it, e.g. "/dev/hidraw3"
    uint16_t vid = 0;
    uint16_t pid = 0;
    uint16_t release = 0;  // bcdDevice
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    int interfaceNumber = -1;  // USB interface, -1 when the bus has none
    std::wstring product;
};

// An open interface. Every call is safe after Close (it fails), so a handle that a
// refresh closed under another user's feet never touches freed memory.
class HidDevice {
  public:
    virtual ~HidDevice() = default;
    // Bytes written, or -1.
    virtual int Write(const uint8_t* data, size_t length) = 0;
    // Bytes read (one input report), 0 on time-out, -1 on error or after Close.
    virtual int Read(uint8_t* data, size_t length, int timeoutMs) = 0;
    virtual std::wstring GetProductString() = 0;
    // Usage page and usage of the interface's first top-level collection.
    virtual bool GetUsage(uint16_t& usagePage, uint16_t& usage) = 0;
    virtual void Close() = 0;
    // A new descriptor, closed by the caller, that polls readable (POLLIN or an
    // error) while an input report may be waiting or once the device is gone,
    // so that a waiter blocks on it instead of reading in a loop. It stays valid
    // after Close (it then tells nothing). -1 after Close, and for back ends
    // that have none: their handles can only be read in turn.
    virtual int DupWaitHandle() { return -1; }
};

// Why an interface could not be opened.
enum class HidOpenFailure {
    Unknown,       // the back end cannot tell
    AccessDenied,  // the node exists, but this user may not read and write it
    Gone,          // the node is no longer there
};

enum class DeviceChange { Arrival, Removal };
// Called with the canonical interface path of an interface that arrived or left.
// It may run on a thread of the back end; handlers only hand the event on.
using DeviceChangeHandler = std::function<void(DeviceChange, const std::string& path)>;

class HidBackend {
  public:
    virtual ~HidBackend() = default;
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // Opens by canonical or system path; nullptr when the interface cannot be opened.
    virtual std::shared_ptr<HidDevice> Open(const std::string& path) = 0;
    // Asked after Open failed for `info`, so that a mouse the user may not reach is
    // not mistaken for no mouse at all.
    virtual HidOpenFailure ExplainOpenFailure(const HidInterfaceInfo& info) {
        (void)info;
        return HidOpenFailure::Unknown;
    }
    // Installs (or, with an empty handler, removes) the receiver of hot-plug events.
    // False when the back end cannot watch for them.
    virtual bool SetDeviceChangeHandler(DeviceChangeHandler handler) = 0;
};

// The vendor-defined collection the mouse is configured through.
constexpr uint16_t kVendorUsagePage = 0xFFB2;
constexpr uint16_t kVendorUsage = 1;
