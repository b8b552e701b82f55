#pragma once
// Canonical interface paths. Every HID interface gets a name of the form
//   \\?\HID#VID_3A5C&PID_0108&MI_01#/DEV/HIDRAW3
// in upper case, so the catalog's hid_interface fragments and the "MI_01" test
// match the same text on every back end. System paths (the part after the last '#')
// are lower case by convention ("/dev/hidrawN", "/sim/hidrawN"), which makes the
// canonical form reversible.
#include <cstdint>
#include <string>

std::string ToUpperAscii(std::string text);

// "&MI_xx" is left out when the interface has no USB interface number (negative).
std::string MakeInterfacePath(uint16_t vid, uint16_t pid, int interfaceNumber, const std::string& systemPath);

bool IsInterfacePath(const std::string& path);

// The system path inside a canonical path; any other path is returned unchanged.
std::string SystemPathOf(const std::string& path);

// The USB interface number of a device that has no USB parent in sysfs (one created
// through /dev/uhid), from the physical path its creator gave it: the USB HID driver
// ends the path of interface N with "/inputN" ("usb-0000:00:14.0-2/input1" -> 1), and
// a virtual device that stands for a USB one names itself the same way. -1 when the
// path does not end so.
int InterfaceNumberFromPhys(const std::string& phys);

// Reads vendor id, product id and USB interface number from a hidraw device's
// sysfs path, e.g. ".../1-2:1.1/0003:3A5C:0108.0007/hidraw/hidraw3". Works from the
// path text alone, so it also serves removal events whose sysfs entries are gone.
// The interface number is -1 when no USB interface is in the path.
bool ParseHidrawDevpath(const std::string& devpath, uint16_t& vid, uint16_t& pid, int& interfaceNumber);
