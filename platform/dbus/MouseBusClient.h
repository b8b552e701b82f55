#pragma once
// The other end of the program's bus interface: asks whether the running program
// serves it, reads its mice, calls their methods and follows their changes.
// Synchronous; one thread at a time.
#include <functional>
#include <string>
#include <vector>

#include "platform/StopRequest.h"
#include "platform/dbus/MouseBus.h"

typedef struct _GDBusConnection GDBusConnection;

class MouseBusClient {
  public:
    // `busAddress`: SessionBusAddress() (empty: there is no bus).
    explicit MouseBusClient(std::string busAddress);
    ~MouseBusClient();
    MouseBusClient(const MouseBusClient&) = delete;
    MouseBusClient& operator=(const MouseBusClient&) = delete;

    // True when a program holds the service's name on the bus.
    bool IsServed();

    // The mice the program shows, in object path order; false (with the reason)
    // when it did not answer.
    bool ListDevices(std::vector<MouseDeviceProperties>& devices, std::string& error);

    // Calls a method of a mouse and waits for the answer (a reset takes seconds).
    MouseCallResult Call(const MouseCall& call, int timeoutMs = 120000);

    // Follows the mice until `stop` is requested or the program leaves the bus.
    // `onChange` gets a mouse's properties before and after each change: first
    // (null, now) for each mouse already there, (null, new) for one plugged in,
    // (old, null) for one unplugged. Returns false when the program left (or
    // was not there to begin with).
    using ChangeHandler =
        std::function<void(const MouseDeviceProperties* before, const MouseDeviceProperties* after)>;
    bool Watch(const ChangeHandler& onChange, StopRequest& stop);

  private:
    GDBusConnection* Connection();

    const std::string m_address;
    GDBusConnection* m_connection = nullptr;
    bool m_tried = false;
};
