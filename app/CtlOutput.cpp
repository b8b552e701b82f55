#include "app/CtlOutput.h"

#include <cstdio>
#include <ostream>

void PrintInfo(std::ostream& out, const CtlInfo& info) {
    out << "models:\n";
    for (const CtlInfo::Model& model : info.models)
        out << "  " << model.deviceType << " " << model.name << (model.selected ? "  (selected)" : "") << "\n";
    out << "devices:\n";
    static const char* const kOnline[] = {"not answering", "online", "mouse offline"};
    for (const CtlInfo::Device& d : info.devices) {
        char ids[32];
        std::snprintf(ids, sizeof ids, "%04X:%04X", d.vid, d.pid);
        out << "  " << ids << " " << d.product << ", model " << d.deviceType << ", "
            << (d.mode == 0 ? "cable" : "receiver") << ", " << kOnline[d.online >= 0 && d.online <= 2 ? d.online : 0]
            << "\n";
    }
    out << "connection: " << info.connection << "\nbattery: " << info.batteryLevel << "%"
        << (info.charging ? " (charging)" : "") << "\nmouse firmware: " << info.mouseFirmware
        << "\nreceiver firmware: " << (info.receiverFirmware.empty() ? "-" : info.receiverFirmware) << "\n";
}

void PrintProfiles(std::ostream& out, const std::vector<CtlProfile>& profiles) {
    for (const CtlProfile& p : profiles) out << (p.active ? "* " : "  ") << p.id << " " << p.name << "\n";
}

void PrintValue(std::ostream& out, const std::string& value) {
    out << value << "\n";
}

std::vector<WatchEvent> WatchEventsFor(const MouseDeviceProperties* before, const MouseDeviceProperties* after) {
    std::vector<WatchEvent> events;
    const MouseDeviceProperties* now = after ? after : before;
    if (!now) return events;
    WatchEvent mouse;
    mouse.model = now->model;
    if (!after) {
        events.push_back(mouse);  // unplugged: no connection
        return events;
    }
    if (!before || before->connection != after->connection || before->online != after->online) {
        mouse.connection = after->connection;
        mouse.online = after->online;
        events.push_back(mouse);
    }
    // The settings are those of the model the window shows; a model that just
    // became that one is told whole.
    if (!after->selected) return events;
    const bool whole = !before || !before->selected;
    if (whole || before->batteryLevel != after->batteryLevel || before->charging != after->charging) {
        WatchEvent battery;
        battery.kind = WatchEvent::Kind::Battery;
        battery.number = after->batteryLevel;
        battery.charging = after->charging;
        events.push_back(battery);
    }
    if (whole || before->activeProfile != after->activeProfile) {
        WatchEvent profile;
        profile.kind = WatchEvent::Kind::Profile;
        profile.number = after->activeProfile;
        for (const auto& [id, name] : after->profiles)
            if (id == after->activeProfile) profile.name = name;
        events.push_back(profile);
    }
    const auto dpiOf = [](const MouseDeviceProperties& p) {
        const int level = p.activeDpiLevel;
        return level >= 0 && level < int(p.dpiLevels.size()) ? p.dpiLevels[size_t(level)] : 0;
    };
    if (whole || before->activeDpiLevel != after->activeDpiLevel || dpiOf(*before) != dpiOf(*after)) {
        WatchEvent dpi;
        dpi.kind = WatchEvent::Kind::DpiLevel;
        dpi.number = after->activeDpiLevel;
        dpi.dpi = dpiOf(*after);
        events.push_back(dpi);
    }
    return events;
}

void PrintWatchEvent(std::ostream& out, const WatchEvent& e) {
    switch (e.kind) {
        case WatchEvent::Kind::Mouse:
            out << "mouse: " << e.model << ", ";
            if (e.connection.empty())
                out << "unplugged";
            else
                out << e.connection << (e.online ? "" : ", mouse offline");
            break;
        case WatchEvent::Kind::Battery:
            out << "battery: " << e.number << "%" << (e.charging ? " (charging)" : "");
            break;
        case WatchEvent::Kind::Profile:
            out << "profile: " << e.number << " " << e.name;
            break;
        case WatchEvent::Kind::DpiLevel:
            out << "dpi level: " << e.number << " (" << e.dpi << " dpi)";
            break;
    }
    out << std::endl;
}
