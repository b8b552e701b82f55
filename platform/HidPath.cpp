#include "platform/HidPath.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
const char kPrefix[] = "\\\\?\\HID#";

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        if (slash > start) parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

bool IsHex(const std::string& s, size_t from, size_t count) {
    if (from + count > s.size()) return false;
    for (size_t i = from; i < from + count; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

bool IsDigits(const std::string& s) {
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// "BBBB:VVVV:PPPP.NNNN", the name the HID core gives a device.
bool ParseHidDeviceName(const std::string& name, uint16_t& vid, uint16_t& pid) {
    if (name.size() < 19 || name[4] != ':' || name[9] != ':' || name[14] != '.') return false;
    if (!IsHex(name, 0, 4) || !IsHex(name, 5, 4) || !IsHex(name, 10, 4) || !IsHex(name, 15, name.size() - 15))
        return false;
    vid = static_cast<uint16_t>(std::strtoul(name.substr(5, 4).c_str(), nullptr, 16));
    pid = static_cast<uint16_t>(std::strtoul(name.substr(10, 4).c_str(), nullptr, 16));
    return true;
}

// "1-2:1.1" (port path, configuration, interface): the interface number is the last part.
int ParseUsbInterfaceName(const std::string& name) {
    size_t colon = name.find(':');
    size_t dot = name.rfind('.');
    if (colon == std::string::npos || dot == std::string::npos || dot < colon || dot + 1 >= name.size() ||
        !IsDigits(name.substr(dot + 1)))
        return -1;
    return std::atoi(name.c_str() + dot + 1);
}
}  // namespace

std::string ToUpperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string MakeInterfacePath(uint16_t vid, uint16_t pid, int interfaceNumber,
                              const std::string& systemPath) {
    char head[64];
    if (interfaceNumber >= 0)
        std::snprintf(head, sizeof head, "%sVID_%04X&PID_%04X&MI_%02X#", kPrefix, vid, pid, interfaceNumber);
    else
        std::snprintf(head, sizeof head, "%sVID_%04X&PID_%04X#", kPrefix, vid, pid);
    return ToUpperAscii(head + systemPath);
}

bool IsInterfacePath(const std::string& path) {
    return ToUpperAscii(path.substr(0, sizeof kPrefix - 1)) == kPrefix;
}

std::string SystemPathOf(const std::string& path) {
    if (!IsInterfacePath(path)) return path;
    std::string tail = path.substr(path.rfind('#') + 1);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail;
}

bool ParseHidrawDevpath(const std::string& devpath, uint16_t& vid, uint16_t& pid, int& interfaceNumber) {
    std::vector<std::string> parts = SplitPath(devpath);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!ParseHidDeviceName(parts[i], vid, pid)) continue;
        interfaceNumber = i > 0 ? ParseUsbInterfaceName(parts[i - 1]) : -1;
        return true;
    }
    return false;
}

int InterfaceNumberFromPhys(const std::string& phys) {
    const std::string mark = "/input";
    const size_t at = phys.rfind(mark);
    if (at == std::string::npos) return -1;
    const std::string digits = phys.substr(at + mark.size());
    if (digits.empty() || digits.size() > 3 || !IsDigits(digits)) return -1;
    return std::atoi(digits.c_str());
}
