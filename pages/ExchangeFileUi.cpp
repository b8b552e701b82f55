#include "pages/ExchangeFileUi.h"

#include <sys/stat.h>

#include "pages/MainPageHost.h"
#include "dialogs/CUIMessageBox.h"
#include "base/LanguageText.h"
#include "orvix/core/MDialog.h"
#include "base/TextConv.h"
#include "dialogs/FileDialog.h"

namespace {

constexpr int kTextFileNotFound = 1019;
constexpr int kTextBadEntries = 1407;
constexpr int kTextMoreEntries = 1408;
// Entries named in the message (it has room for a few lines); the others are counted.
constexpr size_t kEntriesShown = 1;

std::wstring Text(int id) { return GetLanguageText(L"LAN", id); }

bool FileExists(const std::wstring& path) {
    struct stat info {};
    return ::stat(Orvix::WideToUtf8(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Characters a file name cannot hold become "_".
std::wstring FileNameFor(std::wstring name) {
    for (wchar_t& c : name)
        if (c == L'/' || c == L'\\' || c < 0x20) c = L'_';
    return name.empty() ? L"macro.xml" : name + L".xml";
}

}  // namespace

bool ChooseImportFile(MainPageHost& host, int titleId, const wchar_t* filterName, std::wstring& path) {
    FileDialogRequest request;
    request.title = Text(titleId);
    request.filters.push_back({filterName, {L"*.xml"}});
    request.owner = host.GetDialog().GetSafeHwnd();
    if (!ChooseFile(request, path)) return false;
    if (FileExists(path)) return true;
    ShowFileMessage(host, titleId, kTextFileNotFound, path);
    return false;
}

bool ChooseExportFile(MainPageHost& host, int titleId, const wchar_t* filterName, const std::wstring& name,
                      std::wstring& path) {
    FileDialogRequest request;
    request.save = true;
    request.title = Text(titleId);
    request.filters.push_back({filterName, {L"*.xml"}});
    request.suggestedName = FileNameFor(name);
    request.owner = host.GetDialog().GetSafeHwnd();
    return ChooseFile(request, path);
}

std::wstring ReplaceField(std::wstring text, const std::wstring& field, const std::wstring& value) {
    for (size_t at = text.find(field); at != std::wstring::npos; at = text.find(field, at + value.size()))
        text.replace(at, field.size(), value);
    return text;
}

void ShowFileMessage(MainPageHost& host, int titleId, int messageId, const std::wstring& path) {
    host.ShowMessageText(Text(titleId), ReplaceField(Text(messageId), L"{file}", path), CUIMessageBox::kKindOk);
}

void ShowFileRefusal(MainPageHost& host, int titleId, int messageId, const std::wstring& path,
                     const std::vector<std::wstring>& badEntries) {
    if (badEntries.empty()) {
        ShowFileMessage(host, titleId, messageId, path);
        return;
    }
    // The file's own words for what is wrong, so that it can be mended.
    std::wstring text = ReplaceField(Text(kTextBadEntries), L"{file}", path);
    for (size_t i = 0; i < badEntries.size() && i < kEntriesShown; ++i) text += L"\n" + badEntries[i];
    if (badEntries.size() > kEntriesShown)
        text += L"\n" + ReplaceField(Text(kTextMoreEntries), L"{count}",
                                     std::to_wstring(badEntries.size() - kEntriesShown));
    host.ShowMessageText(Text(titleId), text, CUIMessageBox::kKindOk);
}
