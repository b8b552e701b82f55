#pragma once
// The main window's side of the program's bus service: it publishes what the
// window knows of the mice after every change, whatever made it, and carries the
// callers' requests out on the UI thread exactly as the pages do (store the value,
// queue the worker task, show it on the pages), answering once the worker has
// written the mouse. It talks to the window through MouseController only.
#include <memory>
#include <string>

#include "device/DeviceMainDef.h"
#include "platform/dbus/MouseService.h"

class MouseController;

class MouseServiceBridge : private MouseServiceHandler {
  public:
    // On the UI thread; starts serving on `busAddress` at once.
    MouseServiceBridge(MouseController& controller, const std::string& busAddress);
    // Leaves the bus first: no request reaches the window afterwards.
    ~MouseServiceBridge() override;
    MouseServiceBridge(const MouseServiceBridge&) = delete;
    MouseServiceBridge& operator=(const MouseServiceBridge&) = delete;

    // UI thread: something the mice show may have changed. Many notes in a row
    // make one publication, once the UI thread is free.
    void NoteChange();
    // True while the program holds the service's name.
    bool IsServing() const { return m_service && m_service->OwnsName(); }

  private:
    // On the service's thread: handed to the UI thread.
    void OnMouseCall(const MouseCall& call, MouseReply reply) override;
    // On the UI thread.
    void Run(const MouseCall& call, const MouseReply& reply);
    void Publish();
    // The answer once the worker has run the call's task: given on the UI thread
    // after the change is published, so that a caller who reads the properties
    // next (a `get` after a `set`) reads the change.
    TaskDone AnswerWhenSent(MouseReply reply);

    MouseController& m_controller;
    std::shared_ptr<int> m_alive;  // what posted work checks: gone with the bridge
    bool m_publishPending = false;
    std::unique_ptr<MouseService> m_service;
};
