#pragma once
// Facts about a hidraw node ("/dev/hidraw3") that the kernel publishes in sysfs.
// `sysfsRoot` is "/sys" except in tests. Both fail for any path that is not a hidraw
// node, so a path from an event never leads elsewhere in sysfs.
#include <cstdint>
#include <string>
#include <vector>

// The node's report descriptor as the kernel holds it. False when it cannot be read.
bool ReadReportDescriptor(const std::string& systemPath, std::vector<uint8_t>& descriptor,
                          const std::string& sysfsRoot = "/sys");

// HID_PHYS of the node's HID device; empty when unknown.
std::string ReadHidPhys(const std::string& systemPath, const std::string& sysfsRoot = "/sys");

// Tries to open a device node for reading and writing, as a HID handle is opened, and
// closes it again: 0 when that works, otherwise the errno of the failed open (EACCES
// when the node belongs to someone else, ENOENT when it is gone).
int ProbeNodeOpen(const std::string& node);
