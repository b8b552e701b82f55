// libFuzzer target for the initialisation-file reader and writer that the
// settings store and the language files share: decoding by byte-order mark,
// parsing, lookups, and the line edit a settings write makes.
//
// Besides sanitizer reports it checks that a value set into any text reads back
// from it, and that every other section's values are unchanged by the edit.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "base/TextConv.h"
#include "base/IniFile.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c += L'a' - L'A';
    return text;
}

const char* const kSections[] = {"Vantorel Mouse", "LAN", "vantorel mouse", "Other"};
const char* const kKeys[] = {"LCID", "lcid", "61", "DeviceType", "exit_mode"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const char* section = in.PickValueInArray(kSections);
    const char* key = in.PickValueInArray(kKeys);
    const std::string value = std::to_string(in.ConsumeIntegral<int>());
    const std::string bytes = in.ConsumeRemainingBytesAsString();

    IniFile before;
    const std::wstring text = IniFile::Decode(bytes);
    before.Parse(text);
    std::wstring found;
    before.Get(Orvix::Utf8ToWide(section), Orvix::Utf8ToWide(key), found);
    for (const wchar_t* other : {L"LAN", L"Other"}) before.GetKeys(other);

    // The edit works on UTF-8 text, as the settings store hands it over.
    const std::string utf8 = Orvix::WideToUtf8(text);
    const std::string edited = IniFile::SetValueInText(utf8, section, key, value);
    IniFile after;
    after.Parse(Orvix::Utf8ToWide(edited));
    std::wstring read;
    Check(after.Get(Orvix::Utf8ToWide(section), Orvix::Utf8ToWide(key), read));
    Check(read == Orvix::Utf8ToWide(value));
    // Sections of other names keep their values.
    const std::wstring edited_section = Orvix::Utf8ToWide(section);
    for (const wchar_t* other : {L"LAN", L"Other", L"Vantorel Mouse"}) {
        if (Lower(other) == Lower(edited_section)) continue;
        for (const std::wstring& k : before.GetKeys(other)) {
            std::wstring a, b;
            before.Get(other, k, a);
            Check(after.Get(other, k, b) && a == b);
        }
    }
    return 0;
}
