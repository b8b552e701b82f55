#include "features/LowBatteryWatch.h"

#include "base/LanguageText.h"

int LowBatteryWatch::Feed(int level, bool charging) {
    if (level < 1 || level > 100) return 0;
    if (level > kLowThreshold) m_lowNotified = false;
    if (level > kEmptyThreshold) m_emptyNotified = false;
    if (charging) return 0;
    if (level <= kEmptyThreshold) {
        const bool notify = !m_emptyNotified;
        m_emptyNotified = m_lowNotified = true;
        return notify ? kEmptyThreshold : 0;
    }
    if (level <= kLowThreshold && !m_lowNotified) {
        m_lowNotified = true;
        return kLowThreshold;
    }
    return 0;
}

namespace {

// One pass over the template, so that a value is never read as a placeholder.
std::wstring FillPlaceholders(const std::wstring& text, const std::wstring& model,
                              const std::wstring& level) {
    std::wstring out;
    for (size_t at = 0; at < text.size();) {
        if (text.compare(at, 7, L"{model}") == 0) {
            out += model;
            at += 7;
        } else if (text.compare(at, 7, L"{level}") == 0) {
            out += level;
            at += 7;
        } else {
            out += text[at++];
        }
    }
    return out;
}

}  // namespace

LowBatteryNotice MakeLowBatteryNotice(const std::wstring& modelName, int level, int threshold,
                                      const std::function<std::wstring(int id)>& text) {
    auto lookup = [&text](int id) { return text ? text(id) : GetLanguageText(L"LAN", id); };
    LowBatteryNotice notice;
    notice.critical = threshold <= LowBatteryWatch::kEmptyThreshold;
    notice.title = lookup(notice.critical ? 921 : 920);
    // Placeholders rather than printf formats: a translation can never make the
    // formatting read arguments that are not there.
    notice.body = FillPlaceholders(lookup(922), modelName, std::to_wstring(level));
    return notice;
}
