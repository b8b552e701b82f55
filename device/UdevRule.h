#pragma once
// The udev rule that lets the desktop user reach the mice of the catalog without
// root: every hidraw node of a HID device with a catalog vendor and product id gets
// the "uaccess" tag, which gives the user of the local desktop session read and
// write access to it. It is generated from config.xml at build time, so a model
// added to the catalog needs no second edit.
#include <string>
#include <vector>

#include "device/DeviceCatalog.h"

// The file name of the rule; "70-" keeps it ahead of the rules that apply the tag.
inline constexpr char kUdevRuleFileName[] = "70-vantorel-mouse.rules";

// The rule file's text: one line per distinct vendor and product id of `modes` (the
// catalog's mode list), with the model and mode named in a comment. Identities with
// an id of 0 (missing or malformed in the catalog) are left out.
// The file ends with the rule for /dev/uinput (below).
std::string BuildUdevRules(const std::vector<CatalogEntry>& modes);

// The line that gives the user of the local session /dev/uinput, the node of the
// virtual keyboard that types texts into Wayland applications. static_node makes
// the node (and its access) exist before the uinput module is loaded; opening it
// then loads the module.
inline constexpr char kUinputRuleLine[] =
    "KERNEL==\"uinput\", SUBSYSTEM==\"misc\", OPTIONS+=\"static_node=uinput\", TAG+=\"uaccess\"";

// The USB modalias patterns of the catalog's vendor and product ids
// ("usb:v3A5Cp0108d*"), one per distinct pair in catalog order, as AppStream's
// <modalias> lists them so that a software centre can offer the program for a
// plugged-in mouse.
std::vector<std::string> BuildUsbModaliases(const std::vector<CatalogEntry>& modes);

// The AppStream metadata of `templateText` with the line holding `marker` replaced
// by one <modalias> element per pattern, indented as that line was. Empty when
// the marker is missing.
std::string InsertModaliases(const std::string& templateText, const std::string& marker,
                             const std::vector<std::string>& modaliases);
