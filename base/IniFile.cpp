#include "base/IniFile.h"

#include "base/TextConv.h"
#include "base/FileUtil.h"

namespace {

// Far beyond any language or settings file; a larger file is not one of them.
constexpr size_t kMaxFileBytes = 4 << 20;

// The form names are compared in: ASCII letters in lower case.
std::wstring Fold(std::wstring_view name) {
    std::wstring folded(name);
    for (wchar_t& c : folded)
        if (c >= L'A' && c <= L'Z') c += L'a' - L'A';
    return folded;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && Fold(a) == Fold(b);
}

std::wstring_view Trim(std::wstring_view s) {
    constexpr std::wstring_view kBlanks = L" \t\r\f\v";
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

std::string_view TrimBytes(std::string_view s) {
    constexpr std::string_view kBlanks = " \t\r\n\f\v";
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

bool SameNameBytes(std::string_view a, std::string_view b) {
    return SameName(Orvix::Utf8ToWide(a), Orvix::Utf8ToWide(b));
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
    m_sectionOf.clear();
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
        const std::wstring_view key = Trim(line.substr(0, equals));
        current->firstOf.emplace(Fold(key), current->entries.size());
        current->entries.push_back({std::wstring(key), std::wstring(Unquote(Trim(line.substr(equals + 1))))});
    }
}

bool IniFile::Get(std::wstring_view section, std::wstring_view key, std::wstring& value) const {
    const Section* s = FindSection(section);
    if (!s) return false;
    const auto found = s->firstOf.find(Fold(key));
    if (found == s->firstOf.end()) return false;
    value = s->entries[found->second].value;
    return true;
}

std::vector<std::wstring> IniFile::GetKeys(std::wstring_view section) const {
    std::vector<std::wstring> keys;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries) keys.push_back(e.key);
    return keys;
}

void IniFile::VisitEntries(std::wstring_view section,
                           const std::function<void(std::wstring_view key, std::wstring_view value)>& visit) const {
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries) visit(e.key, e.value);
}

void IniFile::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    Section& s = GetOrAddSection(section);
    const auto [found, added] = s.firstOf.emplace(Fold(key), s.entries.size());
    if (!added) {
        s.entries[found->second].value = value;
        return;
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

std::string IniFile::SetValueInText(std::string text, std::string_view section, std::string_view key,
                                    std::string_view value) {
    const std::string newline = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    bool inSection = false;
    size_t insertAt = std::string::npos;  // after the matching section's last line that is not blank
    for (size_t pos = 0; pos < text.size();) {
        const size_t end = text.find('\n', pos);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        const std::string_view line = TrimBytes(std::string_view(text).substr(pos, next - pos));
        if (!line.empty() && line.front() == '[') {
            const size_t close = line.find(']');
            inSection = SameNameBytes(
                TrimBytes(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)), section);
            if (inSection && insertAt == std::string::npos) insertAt = next;
        } else if (inSection && !line.empty()) {
            insertAt = next;
            const size_t equals = line.find('=');
            if (line.front() != ';' && equals != std::string_view::npos &&
                SameNameBytes(TrimBytes(line.substr(0, equals)), key)) {
                // Only the value changes: the key as written, its blanks and the line end stay.
                const size_t valueStart = text.find('=', pos) + 1;
                size_t valueEnd = end == std::string::npos ? text.size() : end;
                if (valueEnd > valueStart && text[valueEnd - 1] == '\r') --valueEnd;
                text.replace(valueStart, valueEnd - valueStart, value);
                return text;
            }
        }
        pos = next;
    }
    std::string entry = std::string(key) + "=" + std::string(value) + newline;
    if (insertAt == std::string::npos) {
        entry = "[" + std::string(section) + "]" + newline + entry;
        insertAt = text.size();
    }
    // A last line without its line end gets one before anything follows it.
    if (insertAt == text.size() && !text.empty() && text.back() != '\n') entry = newline + entry;
    text.insert(insertAt, entry);
    return text;
}

const IniFile::Section* IniFile::FindSection(std::wstring_view name) const {
    const auto found = m_sectionOf.find(Fold(name));
    return found == m_sectionOf.end() ? nullptr : &m_sections[found->second];
}

IniFile::Section& IniFile::GetOrAddSection(std::wstring_view name) {
    const auto [found, added] = m_sectionOf.emplace(Fold(name), m_sections.size());
    if (added) m_sections.push_back({std::wstring(name), {}, {}});
    return m_sections[found->second];
}
