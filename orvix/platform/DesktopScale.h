#pragma once
// How much the desktop scales its windows, from what the desktop publishes:
// the GDK_SCALE and GDK_DPI_SCALE variables, the XSETTINGS values
// "Gdk/WindowScalingFactor" and "Xft/DPI", and the "Xft.dpi" X resource, in
// that order. Pure: the back end reads the raw values, this decides.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace Orvix {

struct DesktopScaleSources {
    // The environment variables' texts; empty when unset.
    std::string gdkScale;
    std::string gdkDpiScale;
    // XSETTINGS (only with a settings manager running): the window factor
    // (0 when absent) and Xft/DPI in 1024ths of a dot per inch (0 when absent).
    bool xsettings = false;
    int windowScalingFactor = 0;
    int xftDpi1024 = 0;
    // The "Xft.dpi" resource (0 when absent).
    double xftDpiResource = 0;
};

struct DesktopScale {
    double factor = 1.0;
    std::string source;  // what decided it, for the trace: "GDK_SCALE", "XSETTINGS", ...
};

// The smallest and largest factors the program draws at.
constexpr double kMinScale = 0.5;
constexpr double kMaxScale = 4.0;

// The factor the sources give, first source that says anything:
// - GDK_SCALE and GDK_DPI_SCALE multiply (either alone counts; fractions are
//   taken, although GTK itself rounds GDK_SCALE);
// - XSETTINGS: the larger of the window factor and Xft/DPI / 96 (GNOME and
//   KDE publish Xft/DPI with the window factor in it; a desktop that scales
//   windows but publishes the unscaled density still gets its window factor);
// - the Xft.dpi resource / 96;
// - else 1. The result is kept within [kMinScale, kMaxScale] and snapped to
//   the nearest hundredth.
DesktopScale ChooseDesktopScale(const DesktopScaleSources& sources);

// A scale given as text: "2", "1.5", "150%" (percent when it ends in '%' or is
// 10 or more). 0 when it is not a positive number.
double ParseScaleText(const std::string& text);

// One XSETTINGS value.
struct XSetting {
    enum class Type { Integer, String, Color } type = Type::Integer;
    int32_t integer = 0;
    std::string string;
    uint16_t color[4] = {0, 0, 0, 0};
};

// Reads the _XSETTINGS_SETTINGS property's bytes (either byte order). False
// for a truncated or malformed blob; `settings` then holds what was read
// before the fault.
bool ParseXSettings(const uint8_t* data, size_t size, std::map<std::string, XSetting>& settings);

// The value of "Xft.dpi" in an X resource database text (the RESOURCE_MANAGER
// property); 0 when absent or not a number.
double ParseXftDpi(const std::string& resources);

// The environment's part of the sources (GDK_SCALE, GDK_DPI_SCALE).
DesktopScaleSources ReadEnvironmentScale();

}  // namespace Orvix
