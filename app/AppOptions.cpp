#include "app/AppOptions.h"

#include <string_view>

#include "orvix/platform/DesktopScale.h"
#include "base/AppContext.h"

namespace {

constexpr std::string_view kScreenshotOption = "--screenshot";
constexpr std::string_view kScaleOption = "--scale";
constexpr std::string_view kLanguageOption = "--language";

// The value of "--name VALUE" or "--name=VALUE" at argv[i]; steps i past a
// separate value. Empty when there is none.
std::string OptionValue(std::string_view name, int argc, const char* const* argv, int& i) {
    const std::string_view argument = argv[i];
    if (argument.size() > name.size()) return std::string(argument.substr(name.size() + 1));
    if (i + 1 < argc) return argv[++i];
    return {};
}

// A language id as the language files are named: 1 to 5 digits, no leading zero.
int ParseLanguageId(const std::string& text) {
    if (text.empty() || text.size() > 5 || text[0] == '0') return 0;
    int lcid = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        lcid = lcid * 10 + (c - '0');
    }
    return lcid;
}

}  // namespace

bool ParseAppOptions(int argc, const char* const* argv, AppOptions& options, std::string& error) {
    options = AppOptions{};
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            options.command = AppCommand::Help;
        } else if (argument == "--version") {
            options.command = AppCommand::Version;
        } else if (argument.starts_with("--simulate")) {
            if (!ParseSimulateOption(argument, options.simulateStart)) {
                error = "unknown simulation '" + std::string(argument) +
                        "' (use --simulate, --simulate=cable or "
                        "--simulate=receiver)";
                return false;
            }
            options.simulate = true;
        } else if (argument == kScreenshotOption || argument.starts_with("--screenshot=")) {
            options.screenshotFolder = OptionValue(kScreenshotOption, argc, argv, i);
            if (options.screenshotFolder.empty()) {
                error = "--screenshot needs a folder";
                return false;
            }
        } else if (argument == kScaleOption || argument.starts_with("--scale=")) {
            options.scale = Orvix::ParseScaleText(OptionValue(kScaleOption, argc, argv, i));
            if (options.scale < Orvix::kMinScale || options.scale > Orvix::kMaxScale) {
                error = "--scale needs a factor from 0.5 to 4 (such as 1.5 or 150%)";
                return false;
            }
        } else if (argument == kLanguageOption || argument.starts_with("--language=")) {
            const std::string value = OptionValue(kLanguageOption, argc, argv, i);
            options.language = ParseLanguageId(value);
            if (!options.language) {
                error = "--language needs a language id such as 1031 (German), not '" + value + "'";
                return false;
            }
        } else if (!IsAutorunStart(argument)) {
            error = "unknown option '" + std::string(argument) + "'";
            return false;
        }
    }
    options.hidden = IsAutorunStart(GetCommandLine(argc, argv));
    return true;
}

std::string GetAppUsage() {
    return "Usage: VantorelMouse [options]\n"
           "Configures the Vantorel wireless gaming mouse.\n"
           "\n"
           "  -autorun                 start hidden (as the desktop's autostart entry does)\n"
           "  --simulate[=cable|receiver]\n"
           "                           use the simulated mouse on its cable (default) or\n"
           "                           through its receiver instead of a real one\n"
           "  --screenshot DIR         render every page of the main window offscreen into\n"
           "                           DIR/<page>.png and exit (a hidden start waits until\n"
           "                           the window is shown)\n"
           "  --scale FACTOR           draw every window at FACTOR (0.5 to 4, such as 1.5\n"
           "                           or 150%) instead of the desktop's scale\n"
           "  --language LCID          use the language of this id for this start without\n"
           "                           storing it (1033 English, 1031 German, ...)\n"
           "  --toolkit-demo FILE      render the toolkit demo dialog into FILE (PNG)\n"
           "  --version                print the version and exit\n"
           "  --help                   print this help and exit\n";
}
