#include "platform/IniFile.h"

#include "orvix/core/TextConv.h"
#include "platform/FileUtil.h"

namespace {

// Far beyond any language or settings file; a larger file is not one of them.
constexpr size_t kMaxFileBytes = 4 << 20;

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x += L'a' - L'A';
        if (y >= L'A' && y <= L'Z') y += L'a' - L'A';
        if (x != y) return false;
    }
    return true;
}

std::wstring_view Trim(std::wstring_view s) {
    constexpr std::wstring_view kBlanks = L" \t\r\f\v";
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

std::wstring_view Unquote(std::wstring_view value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

bool IniFile::Load(const std::wstring& path) {
    m_sections.clear();
    std::string bytes;
    if (ReadFileBytes(Orvix::WideToUtf8(path), bytes, kMaxFileBytes) != 0) return false;
    Parse(Decode(bytes));
    return true;
}

std::wstring IniFile::Decode(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return Utf16BytesToWide(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return Utf16BytesToWide(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return Orvix::Utf8ToWide(bytes);
}

void IniFile::Parse(std::wstring_view text) {
    m_sections.clear();
    Section* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find(L'\n');
        const std::wstring_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == L';') continue;
        if (line.front() == L'[') {
            current = &GetOrAddSection(Trim(line.substr(1, line.find(L']') - 1)));
            continue;
        }
        const size_t equals = line.find(L'=');
        if (!current || equals == std::wstring_view::npos) continue;
        current->entries.push_back({std::wstring(Trim(line.substr(0, equals))),
                                    std::wstring(Unquote(Trim(line.substr(equals + 1))))});
    }
}

bool IniFile::Get(std::wstring_view section, std::wstring_view key, std::wstring& value) const {
    if (const Section* s = FindSection(section)) {
        for (const Entry& e : s->entries) {
            if (SameName(e.key, key)) {
                value = e.value;
                return true;
            }
        }
    }
    return false;
}

std::vector<std::wstring> IniFile::GetKeys(std::wstring_view section) const {
    std::vector<std::wstring> keys;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries) keys.push_back(e.key);
    return keys;
}

void IniFile::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    Section& s = GetOrAddSection(section);
    for (Entry& e : s.entries) {
        if (SameName(e.key, key)) {
            e.value = value;
            return;
        }
    }
    s.entries.push_back({std::wstring(key), std::wstring(value)});
}

std::string IniFile::Serialize() const {
    std::wstring text;
    for (const Section& s : m_sections) {
        text += L'[' + s.name + L"]\n";
        for (const Entry& e : s.entries) text += e.key + L'=' + e.value + L'\n';
    }
    return Orvix::WideToUtf8(text);
}

const IniFile::Section* IniFile::FindSection(std::wstring_view name) const {
    for (const Section& s : m_sections)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

IniFile::Section& IniFile::GetOrAddSection(std::wstring_view name) {
    for (Section& s : m_sections)
        if (SameName(s.name, name)) return s;
    m_sections.push_back({std::wstring(name), {}});
    return m_sections.back();
}
