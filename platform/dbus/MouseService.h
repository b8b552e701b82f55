#pragma once
// The program's own service on the session bus: the name com.vantorel.Mouse, an
// object manager at /com/vantorel/Mouse and one com.vantorel.Mouse1.Device object
// per connected mouse. It runs on a GLib loop of its own; what the objects show is
// published by the program (Publish), and it announces what changed. Method calls
// are handed to a handler, whose answer may come later and from any thread.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dbus/GLibLoop.h"
#include "platform/dbus/MouseBus.h"

// Answers a call, once, from any thread. Answers after the service ended are dropped.
using MouseReply = std::function<void(const MouseCallResult& result)>;

class MouseServiceHandler {
  public:
    virtual ~MouseServiceHandler() = default;
    // On the service's loop thread: hand the work on and return; `reply` later.
    virtual void OnMouseCall(const MouseCall& call, MouseReply reply) = 0;
};

class MouseService {
  public:
    // `busAddress`: SessionBusAddress() (empty: no bus, nothing is served).
    MouseService(std::string busAddress, MouseServiceHandler& handler);
    // Leaves the bus. Calls still unanswered get Failed ("the program is ending").
    ~MouseService();
    MouseService(const MouseService&) = delete;
    MouseService& operator=(const MouseService&) = delete;

    // Connects, exports the objects published so far and asks for the name.
    void Start();

    // The mice as they are now, from any thread: objects are added and removed,
    // and the properties that differ are announced. Never waits for the bus.
    void Publish(std::vector<MouseDeviceProperties> devices);

    // True while the service holds its name on the bus.
    bool OwnsName() const { return m_ownsName.load(); }

  private:
    class Session;
    // What replies go through: cleared when the service ends, so that a late
    // answer (the worker finishing after the window closed) is dropped.
    struct ReplyChannel {
        std::mutex mutex;
        GLibLoop* loop = nullptr;
    };

    const std::string m_address;
    MouseServiceHandler& m_handler;
    std::atomic<bool> m_ownsName{false};
    std::shared_ptr<ReplyChannel> m_channel;
    GLibLoop m_loop;
    std::unique_ptr<Session> m_session;  // loop thread only
};
