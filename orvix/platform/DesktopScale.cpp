#include "orvix/platform/DesktopScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Orvix {

namespace {

double Clamp(double factor) {
    factor = std::clamp(factor, kMinScale, kMaxScale);
    return std::round(factor * 100) / 100;
}

// A plain decimal number filling the whole text (surrounding blanks allowed).
bool ParseNumber(const std::string& text, double& value) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t') ++begin;
    if (!*begin) return false;
    char* end = nullptr;
    value = std::strtod(begin, &end);
    if (end == begin) return false;
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') ++end;
    return *end == '\0' && std::isfinite(value);
}

}  // namespace

double ParseScaleText(const std::string& text) {
    std::string body = text;
    bool percent = false;
    while (!body.empty() && (body.back() == ' ' || body.back() == '\n')) body.pop_back();
    if (!body.empty() && body.back() == '%') {
        percent = true;
        body.pop_back();
    }
    double value = 0;
    if (!ParseNumber(body, value) || value <= 0) return 0;
    if (percent || value >= 10) value /= 100;
    return value;
}

DesktopScale ChooseDesktopScale(const DesktopScaleSources& s) {
    const double gdk = ParseScaleText(s.gdkScale), gdkDpi = ParseScaleText(s.gdkDpiScale);
    if (gdk > 0 || gdkDpi > 0) {
        const char* source = gdk > 0 && gdkDpi > 0 ? "GDK_SCALE x GDK_DPI_SCALE" : gdk > 0 ? "GDK_SCALE" : "GDK_DPI_SCALE";
        return {Clamp((gdk > 0 ? gdk : 1.0) * (gdkDpi > 0 ? gdkDpi : 1.0)), source};
    }
    if (s.xsettings && (s.windowScalingFactor > 0 || s.xftDpi1024 > 0)) {
        const double window = s.windowScalingFactor > 0 ? s.windowScalingFactor : 0;
        const double dpi = s.xftDpi1024 > 0 ? s.xftDpi1024 / 1024.0 / 96.0 : 0;
        return {Clamp(std::max(window, dpi)), "XSETTINGS"};
    }
    if (s.xftDpiResource > 0) return {Clamp(s.xftDpiResource / 96.0), "Xft.dpi"};
    return {1.0, "default"};
}

bool ParseXSettings(const uint8_t* data, size_t size, std::map<std::string, XSetting>& settings) {
    if (!data || size < 12) return false;
    const bool msb = data[0] == 1;  // MSBFirst; LSBFirst is 0
    if (data[0] > 1) return false;
    size_t at = 0;
    auto card16 = [&](size_t pos) {
        return msb ? uint16_t(data[pos] << 8 | data[pos + 1]) : uint16_t(data[pos + 1] << 8 | data[pos]);
    };
    auto card32 = [&](size_t pos) {
        return msb ? uint32_t(data[pos]) << 24 | uint32_t(data[pos + 1]) << 16 | uint32_t(data[pos + 2]) << 8 |
                         data[pos + 3]
                   : uint32_t(data[pos + 3]) << 24 | uint32_t(data[pos + 2]) << 16 | uint32_t(data[pos + 1]) << 8 |
                         data[pos];
    };
    auto fits = [&](size_t bytes) { return at <= size && bytes <= size - at; };
    auto pad4 = [](size_t n) { return (n + 3) & ~size_t(3); };
    const uint32_t count = card32(8);
    at = 12;
    for (uint32_t i = 0; i < count; ++i) {
        if (!fits(4)) return false;
        const uint8_t type = data[at];
        const size_t nameLength = card16(at + 2);
        at += 4;
        if (!fits(pad4(nameLength))) return false;
        std::string name(reinterpret_cast<const char*>(data + at), nameLength);
        at += pad4(nameLength);
        if (!fits(4)) return false;
        at += 4;  // last-change serial
        XSetting value;
        switch (type) {
            case 0:
                if (!fits(4)) return false;
                value.type = XSetting::Type::Integer;
                value.integer = int32_t(card32(at));
                at += 4;
                break;
            case 1: {
                if (!fits(4)) return false;
                const size_t length = card32(at);
                at += 4;
                if (length > size || !fits(pad4(length))) return false;
                value.type = XSetting::Type::String;
                value.string.assign(reinterpret_cast<const char*>(data + at), length);
                at += pad4(length);
                break;
            }
            case 2:
                if (!fits(8)) return false;
                value.type = XSetting::Type::Color;
                for (int c = 0; c < 4; ++c) value.color[c] = card16(at + 2 * size_t(c));
                at += 8;
                break;
            default:
                return false;
        }
        settings[name] = std::move(value);
    }
    return true;
}

double ParseXftDpi(const std::string& resources) {
    size_t start = 0;
    while (start < resources.size()) {
        size_t end = resources.find('\n', start);
        if (end == std::string::npos) end = resources.size();
        const std::string line = resources.substr(start, end - start);
        start = end + 1;
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string name = line.substr(0, colon);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        size_t first = 0;
        while (first < name.size() && (name[first] == ' ' || name[first] == '\t')) ++first;
        // "*dpi" style wildcards are not the Xft entry.
        if (name.substr(first) != "Xft.dpi") continue;
        double value = 0;
        if (ParseNumber(line.substr(colon + 1), value) && value > 0) return value;
        return 0;
    }
    return 0;
}

DesktopScaleSources ReadEnvironmentScale() {
    DesktopScaleSources s;
    if (const char* v = std::getenv("GDK_SCALE")) s.gdkScale = v;
    if (const char* v = std::getenv("GDK_DPI_SCALE")) s.gdkDpiScale = v;
    return s;
}

}  // namespace Orvix
