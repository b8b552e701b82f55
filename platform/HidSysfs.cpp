#include "platform/HidSysfs.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <fstream>
#include <iterator>

namespace {

// "/sys/class/hidraw/hidrawN/device/<file>" for "/dev/hidrawN", else empty.
std::string DeviceFile(const std::string& systemPath, const std::string& sysfsRoot, const char* file) {
    const std::string prefix = "/dev/hidraw";
    if (systemPath.size() <= prefix.size() || systemPath.compare(0, prefix.size(), prefix) != 0) return {};
    for (size_t i = prefix.size(); i < systemPath.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(systemPath[i]))) return {};
    return sysfsRoot + "/class/hidraw/" + systemPath.substr(5) + "/device/" + file;
}

}  // namespace

bool ReadReportDescriptor(const std::string& systemPath, std::vector<uint8_t>& descriptor,
                          const std::string& sysfsRoot) {
    const std::string name = DeviceFile(systemPath, sysfsRoot, "report_descriptor");
    std::ifstream in(name, std::ios::binary);
    if (name.empty() || !in) return false;
    descriptor.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !descriptor.empty();
}

std::string ReadHidPhys(const std::string& systemPath, const std::string& sysfsRoot) {
    const std::string name = DeviceFile(systemPath, sysfsRoot, "uevent");
    std::ifstream in(name);
    if (name.empty() || !in) return {};
    const std::string key = "HID_PHYS=";
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
    return {};
}

int ProbeNodeOpen(const std::string& node) {
    // Non-blocking, so that a node without a reader or writer on the other side never
    // holds the caller up.
    const int fd = open(node.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno != 0 ? errno : EIO;
    close(fd);
    return 0;
}
