#include "features/TextLibrary.h"

#include <cwctype>
#include <vector>

#include "base/LanguageText.h"
#include "base/ButtonFunction.h"
#include "base/AppContext.h"
#include "base/Folders.h"
#include "storage/DataStore.h"

namespace {

struct ExampleForms {
    int textId;
    const wchar_t* chinese;
    const wchar_t* english;
};

// The fixed forms examples were stored in before the language files had them.
constexpr ExampleForms kExampleNames[] = {
    {kTextExampleBlessingName, L"1 \u5b9e\u4f8b - \u795d\u798f", L"Example 1 - Blessing"},
    {kTextExampleServiceName, L"1 \u5b9e\u4f8b - \u5ba2\u670d", L"Example 1 - Customer Service"},
};
constexpr ExampleForms kExampleContents[] = {
    {kTextExampleBlessingContent,
     L"\u795d\u798f\u4f60\u5fc3\u60f3\u4e8b\u6210,\u6b65\u6b65\u9ad8\u5347,\u98ce\u751f\u6c34\u8d77,"
     L"\u524d\u9014\u65e0\u91cf,\u613f\u4f60\u7684\u4eba\u751f\u5145\u6ee1\u65e0\u9650\u53ef\u80fd\u3002",
     L"I wish you all your heart's desires, continuous progress, great success, and a boundless future. May "
     L"your life be filled with infinite possibilities.\u3002"},
    {kTextExampleServiceContent, L"\u60a8\u597d\uff0c\u5f88\u9ad8\u5174\u4e3a\u60a8\u670d\u52a1\uff01",
     L"Hello, it's my pleasure to serve you!"},
};

template <size_t N>
int ExampleTextId(const std::wstring& stored, const ExampleForms (&examples)[N],
                  const LanguageTextLookup& lookup) {
    if (stored.empty()) return 0;
    for (const ExampleForms& example : examples) {
        if (stored == example.chinese || stored == example.english) return example.textId;
        if (!lookup) continue;
        // An example keeps the words of the language it was made in.
        for (const LanguageInfo& language : KnownLanguages()) {
            // A missing text is "" and must not make an empty text an example.
            const std::wstring text = lookup(language.lcid, example.textId);
            if (!text.empty() && stored == text) return example.textId;
        }
    }
    return 0;
}

}  // namespace

int ExampleNameTextId(const std::wstring& stored, const LanguageTextLookup& lookup) {
    return ExampleTextId(stored, kExampleNames, lookup);
}

int ExampleContentTextId(const std::wstring& stored, const LanguageTextLookup& lookup) {
    return ExampleTextId(stored, kExampleContents, lookup);
}

LanguageTextLookup ProgramLanguageTexts() {
    return [](int lcid, int textId) { return ReadLanguageText(GetProgramFolder(), lcid, L"LAN", textId); };
}

std::wstring DisplayedTextName(const std::wstring& stored) {
    const int id = ExampleNameTextId(stored, ProgramLanguageTexts());
    return id ? GetLanguageText(L"LAN", id) : stored;
}

std::wstring DisplayedTextContent(const std::wstring& stored) {
    const int id = ExampleContentTextId(stored, ProgramLanguageTexts());
    return id ? GetLanguageText(L"LAN", id) : stored;
}

bool CreateExampleTexts(DataStore& store, const std::function<std::wstring(int textId)>& text) {
    // Both or neither: a half-made library would not be filled again.
    return store.RunInTransaction([&] {
        std::vector<TextData> texts;
        if (store.ListTexts(texts) > 0) return false;
        const std::pair<int, int> examples[] = {{kTextExampleBlessingName, kTextExampleBlessingContent},
                                                {kTextExampleServiceName, kTextExampleServiceContent}};
        for (const auto& [nameId, contentId] : examples) {
            TextData record;
            record.name = text(nameId);
            record.content = text(contentId);
            if (store.AddText(record) == 0) return false;
        }
        return true;
    });
}

std::wstring NewTextName(int listedCount, const std::wstring& word) {
    return std::to_wstring(listedCount + 1) + L" " + word;
}

std::wstring TextCounter(size_t length) {
    return std::to_wstring(length) + L"/" + std::to_wstring(kTextContentLimit);
}

bool IsBlankTextName(const std::wstring& name) {
    // Whatever the locale: the no-break and ideographic spaces count too.
    for (wchar_t c : name)
        if (!std::iswspace(wint_t(c)) && c != L'\u00a0' && c != L'\u3000') return false;
    return true;
}

bool RenameTextAndCaptions(DataStore& store, int32_t textId, const std::wstring& name) {
    if (textId <= 0) return false;
    return store.RunInTransaction([&] {
        std::vector<ProfileData> profiles;
        store.ListProfiles(profiles, kLcidEnglish);
        for (const ProfileData& profile : profiles) {
            std::vector<KeyRecord> keys;
            store.ListKeys(profile.profile, keys);
            for (const KeyRecord& key : keys)
                if (key.macroType == kFuncText && key.macroValue == textId &&
                    !store.SetKeyDescription(profile.profile, key.keyCode, name))
                    return false;
        }
        return store.RenameText(textId, name);
    });
}
