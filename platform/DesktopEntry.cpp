#include "platform/DesktopEntry.h"

#include <sstream>

namespace {

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// The string escapes of the key file format (\s \n \t \r \\).
std::string UnescapeValue(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char c = value[++i];
        switch (c) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\', out += c;
                break;  // kept for the quoting rules below
        }
    }
    return out;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> DesktopEntryGroup(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> group;
    std::istringstream in(text);
    std::string line;
    bool inEntry = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const size_t eq = line.find('=');
        if (inEntry && eq != std::string::npos) group.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    return group;
}

bool ParseDesktopEntryExec(const std::string& text, std::vector<std::string>& argv) {
    argv.clear();
    std::string exec;
    bool found = false;
    for (const auto& [key, value] : DesktopEntryGroup(text)) {
        if (key != "Exec") continue;  // "Exec[xx]" and other keys
        exec = UnescapeValue(value);
        found = true;
    }
    if (!found) return false;

    std::string arg;
    bool inArg = false, quoted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < exec.size() &&
                       std::string("\"`$\\").find(exec[i + 1]) != std::string::npos) {
                arg += exec[++i];
            } else {
                arg += c;
            }
            continue;
        }
        if (c == ' ' || c == '\t') {
            if (inArg) argv.push_back(arg);
            arg.clear();
            inArg = false;
            continue;
        }
        inArg = true;
        if (c == '"') {
            quoted = true;
        } else if (c == '%' && i + 1 < exec.size()) {
            const char code = exec[++i];
            if (code == '%') arg += '%';
            // every other field code stands for files, icons or names a launch does not pass
        } else {
            arg += c;
        }
    }
    if (quoted) {
        argv.clear();
        return false;
    }
    if (inArg && !arg.empty()) argv.push_back(arg);
    // A field code alone leaves an empty argument behind: drop those.
    std::vector<std::string> kept;
    for (std::string& a : argv)
        if (!a.empty()) kept.push_back(std::move(a));
    argv = std::move(kept);
    return !argv.empty();
}
