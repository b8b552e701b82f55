#include "platform/dbus/MouseBus.h"

#include <array>

namespace {

constexpr char kErrorPrefix[] = "com.vantorel.Mouse1.Error.";

constexpr std::array<std::pair<MouseFault, const char*>, 5> kFaultNames{{
    {MouseFault::InvalidArgs, "InvalidArgs"},
    {MouseFault::OutOfRange, "OutOfRange"},
    {MouseFault::NoMouse, "NoMouse"},
    {MouseFault::StoreUnusable, "StoreUnusable"},
    {MouseFault::Failed, "Failed"},
}};

bool IsPathCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::string MouseObjectName(const std::string& deviceAttr, int32_t deviceType) {
    if (deviceAttr.empty()) return "model" + std::to_string(deviceType);
    std::string name = deviceAttr;
    for (char& c : name)
        if (!IsPathCharacter(c)) c = '_';
    return name;
}

std::string MouseObjectPath(const std::string& objectName) {
    return std::string(kMouseBusPath) + "/" + objectName;
}

std::string MouseFaultName(MouseFault fault) {
    for (const auto& [f, name] : kFaultNames)
        if (f == fault) return std::string(kErrorPrefix) + name;
    return std::string(kErrorPrefix) + "Failed";
}

MouseFault MouseFaultFromName(const std::string& name) {
    for (const auto& [fault, suffix] : kFaultNames)
        if (name == std::string(kErrorPrefix) + suffix) return fault;
    return MouseFault::Failed;
}
