#include "device/PermissionNotice.h"

#include <cstring>
#include <filesystem>

#include "device/UdevRule.h"
#include "base/LanguageText.h"
#include "base/TextConv.h"
#include "base/Folders.h"

using Orvix::Utf8ToWide;
using Orvix::WideToUtf8;

namespace {

constexpr int kTextTitle = 900;
constexpr int kTextCause = 901;       // %s: the device nodes
constexpr int kTextFixInstall = 902;  // a rule beside the program, not installed
constexpr int kTextFixReplug = 903;   // %s: the installed rule
constexpr int kTextFixNoRule = 904;   // no rule anywhere
constexpr int kTextTypingTitle = 1530;
constexpr int kTextTypingMissing = 1531;     // {node}
constexpr int kTextTypingDenied = 1532;      // {node}
constexpr int kTextTypingFailed = 1533;      // {node}, {error}
constexpr int kTextTypingInstall = 1534;     // a rule beside the program, not installed
constexpr int kTextTypingRelogin = 1535;     // {rule}: installed, not applied to this session
constexpr int kTextTypingNoRule = 1536;      // no rule anywhere
constexpr int kTextTypingXOnly = 1537;       // until then: X applications only
constexpr int kTextTypingNothing = 1538;     // until then: nothing
constexpr int kTextTypingLoadModule = 1539;  // {rule}: installed, the module not loaded

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

// The first "%s" of a language text replaced by `value` (appended when the text has none).
std::wstring Fill(std::wstring text, const std::wstring& value) {
    const size_t at = text.find(L"%s");
    if (at == std::wstring::npos) return text.empty() ? value : text + L" " + value;
    return text.replace(at, 2, value);
}

// Every "{field}" of a language text replaced by `value`.
std::wstring FillField(std::wstring text, const std::wstring& field, const std::wstring& value) {
    for (size_t at = text.find(field); at != std::wstring::npos; at = text.find(field, at + value.size()))
        text.replace(at, field.size(), value);
    return text;
}

// A file name as one shell word.
std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::vector<std::string> SystemUdevRuleFolders() {
    return {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
            "/lib/udev/rules.d"};
}

UdevRuleState FindUdevRule(const std::string& programFolder, const std::vector<std::string>& ruleFolders) {
    UdevRuleState state;
    for (const std::string& folder : ruleFolders)
        if (IsFile(std::filesystem::path(folder) / kUdevRuleFileName)) {
            state.installed = (std::filesystem::path(folder) / kUdevRuleFileName).string();
            break;
        }
    const std::filesystem::path program(programFolder);
    for (const std::filesystem::path& candidate :
         {program / kUdevRuleFileName,
          (program / ".." / "udev" / "rules.d" / kUdevRuleFileName).lexically_normal()})
        if (IsFile(candidate)) {
            state.shipped = candidate.string();
            break;
        }
    return state;
}

PermissionNotice BuildPermissionNotice(const std::vector<DeniedInterface>& denied,
                                       const UdevRuleState& rule) {
    PermissionNotice notice;
    notice.title = Text(kTextTitle);
    std::wstring nodes;
    for (const DeniedInterface& d : denied) {
        const std::wstring node = Utf8ToWide(d.node.empty() ? d.path : d.node);
        if (nodes.find(node) != std::wstring::npos) continue;
        nodes += (nodes.empty() ? L"" : L", ") + node;
    }
    notice.cause = Fill(Text(kTextCause), nodes);
    const std::string reload = "udevadm control --reload";
    if (!rule.installed.empty()) {
        // Installed, yet not applied: udev was not told, or the mouse was plugged in before.
        notice.fix = Fill(Text(kTextFixReplug), Utf8ToWide(rule.installed));
        notice.command = Utf8ToWide("sudo " + reload);
    } else if (!rule.shipped.empty()) {
        notice.fix = Text(kTextFixInstall);
        notice.command =
            Utf8ToWide("sudo cp " + ShellQuote(rule.shipped) + " /etc/udev/rules.d/ && sudo " + reload);
    } else {
        notice.fix = Text(kTextFixNoRule);
    }
    return notice;
}

bool GetPermissionNotice(const DeviceManager& manager, PermissionNotice& notice) {
    const std::vector<DeniedInterface> denied = manager.GetDeniedInterfaces();
    if (denied.empty()) return false;
    notice = BuildPermissionNotice(denied, FindUdevRule(WideToUtf8(GetProgramFolder())));
    return true;
}

std::string FormatPermissionNotice(const PermissionNotice& notice) {
    std::string text =
        WideToUtf8(notice.title) + "\n" + WideToUtf8(notice.cause) + "\n" + WideToUtf8(notice.fix);
    if (!notice.command.empty()) text += "\n  " + WideToUtf8(notice.command);
    return text;
}

PermissionNotice BuildUinputNotice(UinputProblem problem, const std::string& node, int error, bool fellBack,
                                   const UdevRuleState& rule) {
    PermissionNotice notice;
    notice.title = Text(kTextTypingTitle);
    const int cause = problem == UinputProblem::Missing  ? kTextTypingMissing
                      : problem == UinputProblem::Denied ? kTextTypingDenied
                                                         : kTextTypingFailed;
    notice.cause = FillField(FillField(Text(cause), L"{node}", Utf8ToWide(node)), L"{error}",
                             Utf8ToWide(std::strerror(error)));
    // Loading the module makes the node; udev gives it to the session with the rule.
    const std::string load = problem == UinputProblem::Missing ? " && sudo modprobe uinput" : "";
    if (problem == UinputProblem::Failed) {
        notice.fix.clear();  // neither the rule nor the module is the cause
    } else if (!rule.installed.empty()) {
        notice.fix =
            FillField(Text(problem == UinputProblem::Missing ? kTextTypingLoadModule : kTextTypingRelogin),
                      L"{rule}", Utf8ToWide(rule.installed));
        notice.command =
            Utf8ToWide(problem == UinputProblem::Missing ? "sudo modprobe uinput"
                                                         : "sudo udevadm trigger --name-match=" + node);
    } else if (!rule.shipped.empty()) {
        notice.fix = Text(kTextTypingInstall);
        notice.command = Utf8ToWide("sudo cp " + ShellQuote(rule.shipped) +
                                    " /etc/udev/rules.d/ && sudo udevadm control --reload" + load);
    } else {
        notice.fix = Text(kTextTypingNoRule);
    }
    const std::wstring until = Text(fellBack ? kTextTypingXOnly : kTextTypingNothing);
    notice.fix = notice.fix.empty() ? until : notice.fix + L" " + until;
    return notice;
}

PermissionNotice GetUinputNotice(UinputProblem problem, const std::string& node, int error, bool fellBack) {
    return BuildUinputNotice(problem, node, error, fellBack, FindUdevRule(WideToUtf8(GetProgramFolder())));
}
