#include "app/AppOptions.h"

#include <string_view>

#include "orvix/platform/DesktopScale.h"
#include "platform/AppContext.h"

namespace {

constexpr std::string_view kScreenshotOption = "--screenshot";
constexpr std::string_view kScaleOption = "--scale";

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
            if (argument.size() > kScreenshotOption.size())
                options.screenshotFolder = argument.substr(kScreenshotOption.size() + 1);
            else if (i + 1 < argc)
                options.screenshotFolder = argv[++i];
            if (options.screenshotFolder.empty()) {
                error = "--screenshot needs a folder";
                return false;
            }
        } else if (argument == kScaleOption || argument.starts_with("--scale=")) {
            std::string text;
            if (argument.size() > kScaleOption.size()) text = argument.substr(kScaleOption.size() + 1);
            else if (i + 1 < argc) text = argv[++i];
            options.scale = Orvix::ParseScaleText(text);
            if (options.scale < Orvix::kMinScale || options.scale > Orvix::kMaxScale) {
                error = "--scale needs a factor from 0.5 to 4 (such as 1.5 or 150%)";
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
           "  --toolkit-demo FILE      render the toolkit demo dialog into FILE (PNG)\n"
           "  --version                print the version and exit\n"
           "  --help                   print this help and exit\n";
}
