#include "device/PermissionNotice.h"

#include <filesystem>

#include "device/UdevRule.h"
#include "exchange/LanguageText.h"
#include "orvix/core/TextConv.h"
#include "platform/Folders.h"

using Orvix::Utf8ToWide;
using Orvix::WideToUtf8;

namespace {

constexpr int kTextTitle = 900;
constexpr int kTextCause = 901;       // %s: the device nodes
constexpr int kTextFixInstall = 902;  // a rule beside the program, not installed
constexpr int kTextFixReplug = 903;   // %s: the installed rule
constexpr int kTextFixNoRule = 904;   // no rule anywhere

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

// The first "%s" of a language text replaced by `value` (appended when the text has none).
std::wstring Fill(std::wstring text, const std::wstring& value) {
    const size_t at = text.find(L"%s");
    if (at == std::wstring::npos) return text.empty() ? value : text + L" " + value;
    return text.replace(at, 2, value);
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
