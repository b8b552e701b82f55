#include "platform/DesktopTools.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <thread>

#include "base/Trace.h"

extern char** environ;

namespace {

struct Tool {
    const char* desktop;  // as XDG_CURRENT_DESKTOP names it, without an "X-" prefix
    const char* program;
    const char* argument;  // nullptr: none
};

// In the order they are tried when the session's desktop has none.
constexpr Tool kMouseSettings[] = {
    {"gnome", "gnome-control-center", "mouse"},
    {"kde", "systemsettings", "kcm_mouse"},
    {"kde", "systemsettings5", "kcm_mouse"},
    {"kde", "kcmshell6", "kcm_mouse"},
    {"kde", "kcmshell5", "kcm_mouse"},
    {"xfce", "xfce4-mouse-settings", nullptr},
    {"lxqt", "lxqt-config-input", nullptr},
    {"mate", "mate-mouse-properties", nullptr},
    {"cinnamon", "cinnamon-settings", "mouse"},
    {"budgie", "budgie-control-center", "mouse"},
    {"lxde", "lxinput", nullptr},
};

constexpr Tool kCharacterMaps[] = {
    {"gnome", "gnome-characters", nullptr}, {"kde", "kcharselect", nullptr},
    {"mate", "gucharmap", nullptr},         {"xfce", "gucharmap", nullptr},
    {"cinnamon", "gucharmap", nullptr},     {"budgie", "gnome-characters", nullptr},
    {"lxqt", "kcharselect", nullptr},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string DesktopName(const std::string& entry) {
    std::string name = Lower(entry);
    if (name.rfind("x-", 0) == 0) name.erase(0, 2);
    return name;
}

}  // namespace

std::string FindOnPath(const std::string& name, const std::string& path) {
    if (name.empty() || name.find('/') != std::string::npos) return "";
    for (const std::string& folder : Split(path, ':')) {
        if (folder.empty()) continue;
        const std::string candidate = folder + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

namespace {

// The first installed tool of the table: the session's desktops' own first, in
// the order XDG_CURRENT_DESKTOP names them, then the others in table order.
template <size_t N>
DesktopCommand FindTool(const Tool (&tools)[N], const std::string& currentDesktop, const std::string& path) {
    std::vector<const Tool*> order;
    for (const std::string& entry : Split(currentDesktop, ':')) {
        const std::string desktop = DesktopName(entry);
        for (const Tool& tool : tools)
            if (desktop == tool.desktop && std::find(order.begin(), order.end(), &tool) == order.end())
                order.push_back(&tool);
    }
    for (const Tool& tool : tools)
        if (std::find(order.begin(), order.end(), &tool) == order.end()) order.push_back(&tool);
    for (const Tool* tool : order) {
        const std::string program = FindOnPath(tool->program, path);
        if (program.empty()) continue;
        DesktopCommand command{program};
        if (tool->argument) command.emplace_back(tool->argument);
        return command;
    }
    return {};
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

DesktopCommand FindMouseSettingsCommand(const std::string& currentDesktop, const std::string& path) {
    return FindTool(kMouseSettings, currentDesktop, path);
}

DesktopCommand FindMouseSettingsCommand() {
    return FindMouseSettingsCommand(Environment("XDG_CURRENT_DESKTOP"), Environment("PATH"));
}

DesktopCommand FindCharacterMapCommand(const std::string& currentDesktop, const std::string& path) {
    return FindTool(kCharacterMaps, currentDesktop, path);
}

DesktopCommand FindCharacterMapCommand() {
    return FindCharacterMapCommand(Environment("XDG_CURRENT_DESKTOP"), Environment("PATH"));
}

bool StartDesktopCommand(const DesktopCommand& command) {
    if (command.empty() || command[0].empty() || command[0][0] != '/') return false;
    std::vector<char*> args;
    for (const std::string& a : command) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        Vantorel::Trace("cannot start %s (error %d)", args[0], rc);
        return false;
    }
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}
