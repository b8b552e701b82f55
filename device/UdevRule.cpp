#include "device/UdevRule.h"

#include <cstdio>
#include <set>
#include <utility>

#include "orvix/core/TextConv.h"

std::string BuildUdevRules(const std::vector<CatalogEntry>& modes) {
    std::string text =
        "# Generated from config.xml when the program is built: gives the user of the local\n"
        "# desktop session access to the hidraw nodes of the Vantorel mice.\n"
        "#\n"
        "# A HID device is named BUS:VENDOR:PRODUCT.INSTANCE in upper-case hex, on any bus\n"
        "# (USB, or a virtual device), so one match per id pair covers cable and receiver.\n";
    std::set<std::pair<int, int>> written;
    for (const CatalogEntry& mode : modes) {
        if (mode.vid <= 0 || mode.vid > 0xFFFF || mode.pid <= 0 || mode.pid > 0xFFFF) continue;
        if (!written.insert({mode.vid, mode.pid}).second) continue;
        // Comments stay on one line, whatever the catalog's names hold.
        std::string name = Orvix::WideToUtf8(mode.name + L", " + mode.modeDesc);
        for (char& c : name)
            if (c == '\n' || c == '\r') c = ' ';
        char line[160];
        std::snprintf(line, sizeof line,
                      "SUBSYSTEM==\"hidraw\", KERNELS==\"*:%04X:%04X.*\", TAG+=\"uaccess\"\n", mode.vid,
                      mode.pid);
        text += "\n# " + name + "\n" + line;
    }
    return text;
}
