#include "exchange/LanguageText.h"

#include <mutex>
#include <utility>
#include <vector>

#include "orvix/core/TextConv.h"
#include "platform/AppContext.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"

namespace {

struct Observers {
    std::mutex lock;
    int nextHandle = 1;
    std::vector<std::pair<int, std::function<void()>>> list;
};

Observers& GetObservers() {
    static Observers observers;
    return observers;
}

}  // namespace

std::wstring GetLanguageFilePath(const std::wstring& programFolder, int lcid) {
    return JoinPath(programFolder, Orvix::FormatW(L"language/%d.lan", lcid));
}

std::wstring ReadLanguageText(const std::wstring& programFolder, int lcid, const wchar_t* section, int id) {
    IniFile file;
    std::wstring text;
    if (!section || !file.Load(GetLanguageFilePath(programFolder, lcid)) ||
        !file.Get(section, Orvix::FormatW(L"%d", id), text))
        return {};
    if (text.size() > kMaxLanguageTextLength) text.resize(kMaxLanguageTextLength);
    return text;
}

std::wstring GetLanguageText(const wchar_t* section, int id) {
    return ReadLanguageText(GetProgramFolder(), GetCurrentLcid(), section, id);
}

int AddLanguageObserver(std::function<void()> reload) {
    Observers& o = GetObservers();
    std::lock_guard<std::mutex> lock(o.lock);
    o.list.emplace_back(o.nextHandle, std::move(reload));
    return o.nextHandle++;
}

void RemoveLanguageObserver(int handle) {
    Observers& o = GetObservers();
    std::lock_guard<std::mutex> lock(o.lock);
    std::erase_if(o.list, [handle](const auto& entry) { return entry.first == handle; });
}

void NotifyLanguageChanged() {
    std::vector<std::pair<int, std::function<void()>>> list;
    {
        // Run outside the lock, so that a reload may add or remove observers.
        Observers& o = GetObservers();
        std::lock_guard<std::mutex> lock(o.lock);
        list = o.list;
    }
    for (const auto& entry : list) entry.second();
}
