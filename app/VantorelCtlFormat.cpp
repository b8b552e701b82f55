#include "app/VantorelCtlFormat.h"

#include <algorithm>
#include <cstdio>

#include "base/TextConv.h"
#include "base/ParseInt.h"

namespace {

std::string Bool(bool value) {
    return value ? "true" : "false";
}

std::string Hex4(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

// A raw value with its readable form beside it: "3 (1000 Hz)".
std::string WithReadable(const std::string& key, const std::string& raw, std::optional<int> number) {
    const std::string readable = number ? ReadableValue(key, *number) : std::string();
    return readable.empty() ? raw : raw + " (" + readable + ")";
}

// The whole text as a decimal number, as the store writes them.
std::optional<int> AsNumber(const std::string& raw) {
    int value = 0;
    if (!ParseDecimal(Orvix::Utf8ToWide(raw), value)) return std::nullopt;
    return value;
}

// {"value": 3, "text": "1000 Hz"}; text null when there is no readable form.
std::string JsonValue(const std::string& key, int value) {
    const std::string readable = ReadableValue(key, value);
    return "{\"value\": " + std::to_string(value) +
           ", \"text\": " + (readable.empty() ? "null" : JsonString(readable)) + "}";
}

std::string JsonNumber(std::optional<int> value) {
    return value ? std::to_string(*value) : "null";
}

std::string ModeWord(int mode) {
    return mode == 0 ? "cable" : "receiver";
}

// A device's state as the device list tells it.
std::string StateWord(int online) {
    static const char* const kStates[] = {"not answering", "online", "mouse offline"};
    return kStates[online >= 0 && online <= 2 ? online : 0];
}

// "55% (charging)": info's battery line and a watch's.
std::string BatteryText(int level, bool charging) {
    return std::to_string(level) + "%" + (charging ? " (charging)" : "");
}
std::string JsonBattery(int level, bool charging) {
    return "{\"level\": " + std::to_string(level) + ", \"charging\": " + Bool(charging) + "}";
}

// "1 (level 2), 1200 DPI": info's DPI line and a watch's.
std::string DpiLevelText(int index, std::optional<int> dpi) {
    std::string text = WithReadable("dpi_index", std::to_string(index), index);
    if (dpi) text += ", " + std::to_string(*dpi) + " DPI";
    return text;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);  // UTF-8 passes as it is
                }
        }
    }
    return out + "\"";
}

std::string FormatCtlInfo(const CtlInfo& info, bool json) {
    if (!json) {
        std::string text = "models:\n";
        for (const CtlInfo::Model& m : info.models)
            text += "  " + std::to_string(m.deviceType) + " " + m.name + (m.selected ? "  (selected)" : "") +
                    "\n";
        text += "devices:\n";
        for (const CtlInfo::Device& d : info.devices)
            text += "  " + Hex4(d.vid) + ":" + Hex4(d.pid) + " " + d.product + ", model " +
                    std::to_string(d.deviceType) + ", " + ModeWord(d.mode) + ", " + StateWord(d.online) +
                    "\n";
        text +=
            "connection: " + info.connection + "\nbattery: " + BatteryText(info.batteryLevel, info.charging) +
            "\nmouse firmware: " + info.mouseFirmware +
            "\nreceiver firmware: " + (info.receiverFirmware.empty() ? "-" : info.receiverFirmware) + "\n";
        if (info.reportRate)
            text += "report rate: " +
                    WithReadable("report_rate", std::to_string(*info.reportRate), info.reportRate) + "\n";
        if (info.dpiIndex) text += "dpi level: " + DpiLevelText(*info.dpiIndex, info.dpi) + "\n";
        return text;
    }
    std::string out = "{\"models\": [";
    for (size_t i = 0; i < info.models.size(); ++i) {
        const CtlInfo::Model& m = info.models[i];
        out += std::string(i ? ", " : "") + "{\"device_type\": " + std::to_string(m.deviceType) +
               ", \"name\": " + JsonString(m.name) + ", \"selected\": " + Bool(m.selected) + "}";
    }
    out += "], \"devices\": [";
    for (size_t i = 0; i < info.devices.size(); ++i) {
        const CtlInfo::Device& d = info.devices[i];
        out += std::string(i ? ", " : "") + "{\"vid\": " + JsonString(Hex4(d.vid)) +
               ", \"pid\": " + JsonString(Hex4(d.pid)) + ", \"product\": " + JsonString(d.product) +
               ", \"device_type\": " + std::to_string(d.deviceType) +
               ", \"connection\": " + JsonString(ModeWord(d.mode)) +
               ", \"state\": " + JsonString(StateWord(d.online)) + "}";
    }
    out += "], \"connection\": " + JsonString(info.connection) +
           ", \"battery\": " + JsonBattery(info.batteryLevel, info.charging) +
           ", \"mouse_firmware\": " + JsonString(info.mouseFirmware) + ", \"receiver_firmware\": " +
           (info.receiverFirmware.empty() ? "null" : JsonString(info.receiverFirmware)) +
           ", \"report_rate\": " + (info.reportRate ? JsonValue("report_rate", *info.reportRate) : "null") +
           ", \"dpi_index\": " + (info.dpiIndex ? JsonValue("dpi_index", *info.dpiIndex) : "null") +
           ", \"dpi\": " + JsonNumber(info.dpi) + "}\n";
    return out;
}

std::string FormatCtlValue(const std::string& key, const std::string& raw, bool json) {
    const std::optional<int> number = AsNumber(raw);
    if (!json) return WithReadable(key, raw, number) + "\n";
    const std::string readable = number ? ReadableValue(key, *number) : std::string();
    return "{\"key\": " + JsonString(key) + ", \"value\": " + (number ? std::to_string(*number) : "null") +
           ", \"raw\": " + JsonString(raw) +
           ", \"text\": " + (readable.empty() ? "null" : JsonString(readable)) + "}\n";
}

std::string FormatCtlProfiles(const CtlProfiles& profiles, bool json) {
    std::string out = json ? "{\"active\": " + std::to_string(profiles.active) + ", \"profiles\": [" : "";
    for (size_t i = 0; i < profiles.profiles.size(); ++i) {
        const CtlProfiles::Profile& p = profiles.profiles[i];
        const bool active = p.id == profiles.active;
        if (json)
            out += std::string(i ? ", " : "") + "{\"id\": " + std::to_string(p.id) +
                   ", \"name\": " + JsonString(p.name) + ", \"active\": " + Bool(active) + "}";
        else
            out += (active ? "* " : "  ") + std::to_string(p.id) + " " + p.name + "\n";
    }
    return json ? out + "]}\n" : out;
}

std::string FormatCtlKeys(const std::vector<CtlKey>& keys, bool json) {
    std::string out = json ? "{\"keys\": [" : "";
    for (size_t i = 0; i < keys.size(); ++i) {
        const CtlKey& k = keys[i];
        std::string values;
        std::string jsonValues;
        for (int value : NamedValues(k.key)) {
            const std::string readable = ReadableValue(k.key, value);
            values += (values.empty() ? "" : ", ") + std::to_string(value) + " " + readable;
            jsonValues += std::string(jsonValues.empty() ? "" : ", ") +
                          "{\"value\": " + std::to_string(value) + ", \"text\": " + JsonString(readable) +
                          "}";
        }
        if (!json) {
            std::string line = "  " + k.key;
            line.resize(std::max<size_t>(line.size() + 1, 24), ' ');
            std::string range = k.settable
                                    ? (k.range.choices.empty() ? DescribeRange(k.range)
                                                               : std::to_string(k.range.min) + " to " +
                                                                     std::to_string(k.range.max) + ", listed")
                                    : "read only";
            range.resize(std::max<size_t>(range.size() + 1, 18), ' ');
            out += line + range + k.meaning + (values.empty() ? "" : " (" + values + ")") + "\n";
            continue;
        }
        out += std::string(i ? ", " : "") + "{\"key\": " + JsonString(k.key) +
               ", \"meaning\": " + JsonString(k.meaning) + ", \"settable\": " + Bool(k.settable);
        if (k.settable) {
            out += ", \"min\": " + std::to_string(k.range.min) + ", \"max\": " + std::to_string(k.range.max);
            if (!k.range.choices.empty()) {
                out += ", \"choices\": [";
                for (size_t c = 0; c < k.range.choices.size(); ++c)
                    out += std::string(c ? ", " : "") + std::to_string(k.range.choices[c]);
                out += "]";
            }
        }
        if (!jsonValues.empty()) out += ", \"values\": [" + jsonValues + "]";
        out += "}";
    }
    return json ? out + "]}\n" : out;
}

std::string FormatCtlVersion(const std::string& version, bool json) {
    return json ? "{\"version\": " + JsonString(version) + "}\n" : "vantorelctl " + version + "\n";
}

std::vector<WatchEvent> WatchEventsFor(const MouseDeviceProperties* before,
                                       const MouseDeviceProperties* after) {
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

std::string FormatCtlWatchEvent(const WatchEvent& e, bool json) {
    switch (e.kind) {
        case WatchEvent::Kind::Mouse: {
            const std::string state = e.connection.empty() ? "unplugged"
                                      : e.online           ? "online"
                                                           : "mouse offline";
            if (json)
                return "{\"event\": \"mouse\", \"model\": " + JsonString(e.model) +
                       ", \"connection\": " + (e.connection.empty() ? "null" : JsonString(e.connection)) +
                       ", \"state\": " + JsonString(state) + "}\n";
            if (e.connection.empty()) return "mouse: " + e.model + ", unplugged\n";
            return "mouse: " + e.model + ", " + e.connection + (e.online ? "" : ", mouse offline") + "\n";
        }
        case WatchEvent::Kind::Battery:
            if (json)
                return "{\"event\": \"battery\", \"battery\": " + JsonBattery(e.number, e.charging) + "}\n";
            return "battery: " + BatteryText(e.number, e.charging) + "\n";
        case WatchEvent::Kind::Profile:
            if (json)
                return "{\"event\": \"profile\", \"profile\": {\"id\": " + std::to_string(e.number) +
                       ", \"name\": " + JsonString(e.name) + "}}\n";
            return "profile: " + std::to_string(e.number) + " " + e.name + "\n";
        case WatchEvent::Kind::DpiLevel:
            if (json)
                return "{\"event\": \"dpi_level\", \"dpi_index\": " + JsonValue("dpi_index", e.number) +
                       ", \"dpi\": " + std::to_string(e.dpi) + "}\n";
            return "dpi level: " + DpiLevelText(e.number, e.dpi) + "\n";
    }
    return {};
}
