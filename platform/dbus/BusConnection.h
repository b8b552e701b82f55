#pragma once
// Connecting to a message bus from a service's loop (platform/dbus sources only).
#include <gio/gio.h>

#include <string>

// Starts connecting to the bus at `address`; `done` is called on the current
// thread-default context with `data`.
void ConnectToBus(const std::string& address, GAsyncReadyCallback done, gpointer data);

// The end of ConnectToBus in `done`: the connection (a reference of its own), or
// null when there is none (traced with `who`) or when its owner went meanwhile
// (`ownerAlive` false: the connection is closed again).
GDBusConnection* FinishBusConnection(GAsyncResult* result, bool ownerAlive, const char* who);
