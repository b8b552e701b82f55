#pragma once
// The notice shown when a mouse of the catalog is plugged in but this user may not
// open its vendor interface (the device manager's denied interfaces): the cause, and
// the fix (install the package or the udev rule, then plug the mouse in again). The
// home page and `vantorelctl` show the same texts, in the current language.
#include <string>
#include <vector>

#include "device/DeviceManager.h"
#include "platform/UinputKeyboard.h"

struct PermissionNotice {
    std::wstring title;    // one line
    std::wstring cause;    // names the device nodes
    std::wstring fix;      // what to do
    std::wstring command;  // the shell command that does it (run as root); may be empty
};

// Where the udev rule of the program stands on this system.
struct UdevRuleState {
    std::string installed;  // the rule in a folder udev reads; empty when none is
    std::string shipped;    // a copy beside the program, ready to install; empty when none is
};

// The folders udev reads rules from.
std::vector<std::string> SystemUdevRuleFolders();

// Looks for the rule in `ruleFolders` and beside the program: in the build folder
// (the program folder itself) and in an installed tree (<prefix>/lib/udev/rules.d
// beside the program folder <prefix>/lib/vantorel-mouse/).
UdevRuleState FindUdevRule(const std::string& programFolder,
                           const std::vector<std::string>& ruleFolders = SystemUdevRuleFolders());

// The notice for `denied` (not empty) with texts of the current language.
PermissionNotice BuildPermissionNotice(const std::vector<DeniedInterface>& denied, const UdevRuleState& rule);

// The notice for what `manager`'s last enumeration could not open, with the rule
// looked up for the running program. False, with `notice` untouched, when nothing
// was denied. This is what the home page and vantorelctl call after a refresh.
bool GetPermissionNotice(const DeviceManager& manager, PermissionNotice& notice);

// The notice as lines for a terminal: title, cause, fix and the command indented
// (no newline after the last line).
std::string FormatPermissionNotice(const PermissionNotice& notice);

// The notice shown when texts cannot be typed into Wayland applications because the
// virtual keyboard could not be made on `node` (the problem and its errno): the
// cause, the fix with the device rule's state, and what typing does until then
// (`fellBack`: XTest still reaches X applications).
PermissionNotice BuildUinputNotice(UinputProblem problem, const std::string& node, int error, bool fellBack,
                                   const UdevRuleState& rule);
// The same with the rule looked up for the running program.
PermissionNotice GetUinputNotice(UinputProblem problem, const std::string& node, int error, bool fellBack);
