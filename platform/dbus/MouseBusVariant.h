#pragma once
// The interface's properties in GVariant form, for the service and the client
// (platform/dbus sources only: it needs GLib). One table names every property,
// its type and its field.
#include <gio/gio.h>

#include <string>
#include <vector>

#include "platform/dbus/MouseBus.h"

// The interface description built into the program (the installed XML file).
GDBusInterfaceInfo* MouseDeviceInterfaceInfo();

// The property names, in the order of the description.
const std::vector<std::string>& MousePropertyNames();

// One property's value (a new floating reference), null for an unknown name.
GVariant* MousePropertyValue(const MouseDeviceProperties& device, const std::string& name);

// Every property as an a{sv} dictionary (floating).
GVariant* MousePropertiesDict(const MouseDeviceProperties& device);

// Takes the properties found in an a{sv} dictionary; others stay as they were.
// Values of the wrong type are ignored.
void ApplyMouseProperties(MouseDeviceProperties& device, GVariant* dict);
