#include "device/UdevRule.h"

#include <cstdio>
#include <set>
#include <utility>

#include "base/TextConv.h"

namespace {

bool IsUsableId(const CatalogEntry& mode) {
    return mode.vid > 0 && mode.vid <= 0xFFFF && mode.pid > 0 && mode.pid <= 0xFFFF;
}

}  // namespace

std::string BuildUdevRules(const std::vector<CatalogEntry>& modes) {
    std::string text =
        "# Generated from config.xml when the program is built: gives the user of the local\n"
        "# desktop session access to the hidraw nodes of the Vantorel mice.\n"
        "#\n"
        "# A HID device is named BUS:VENDOR:PRODUCT.INSTANCE in upper-case hex, on any bus\n"
        "# (USB, or a virtual device), so one match per id pair covers cable and receiver.\n";
    std::set<std::pair<int, int>> written;
    for (const CatalogEntry& mode : modes) {
        if (!IsUsableId(mode)) continue;
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
    text +=
        "\n# The virtual keyboard that types the texts of text buttons into Wayland\n"
        "# applications. Any program of the session's user may then make input devices.\n";
    return text + kUinputRuleLine + "\n";
}

std::vector<std::string> BuildUsbModaliases(const std::vector<CatalogEntry>& modes) {
    std::vector<std::string> patterns;
    std::set<std::pair<int, int>> written;
    for (const CatalogEntry& mode : modes) {
        if (!IsUsableId(mode) || !written.insert({mode.vid, mode.pid}).second) continue;
        char pattern[32];
        std::snprintf(pattern, sizeof pattern, "usb:v%04Xp%04Xd*", mode.vid, mode.pid);
        patterns.push_back(pattern);
    }
    return patterns;
}

std::string InsertModaliases(const std::string& templateText, const std::string& marker,
                             const std::vector<std::string>& modaliases) {
    const size_t at = templateText.find(marker);
    if (at == std::string::npos) return {};
    const size_t lineStart = templateText.rfind('\n', at) + 1;  // npos + 1 is 0
    const size_t lineEnd = templateText.find('\n', at);
    const std::string indent =
        templateText.substr(lineStart, templateText.find_first_not_of(" \t", lineStart) - lineStart);
    std::string lines;
    for (const std::string& pattern : modaliases) lines += indent + "<modalias>" + pattern + "</modalias>\n";
    return templateText.substr(0, lineStart) + lines +
           (lineEnd == std::string::npos ? std::string() : templateText.substr(lineEnd + 1));
}
