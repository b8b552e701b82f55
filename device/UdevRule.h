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
std::string BuildUdevRules(const std::vector<CatalogEntry>& modes);
