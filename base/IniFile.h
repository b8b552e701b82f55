#pragma once
// The program's initialisation-file reader and writer, in the manner of the
// system profile-string functions it replaces: "[section]" headers and
// "key=value" lines; section and key names compare without regard to ASCII
// case; blanks around names and values are dropped, and so are matching quotes
// around a value; lines before the first section, lines without '=' and
// ';' comments are ignored. Files may be UTF-16 LE or BE with a byte-order
// mark, or UTF-8 with or without one.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class IniFile {
  public:
    // Reads and parses a file. False when it cannot be read (the contents are
    // then empty).
    bool Load(const std::wstring& path);

    // Turns file bytes into text by their byte-order mark (UTF-8 without one).
    static std::wstring Decode(std::string_view bytes);

    // Replaces the contents with the parsed text. A section that appears twice
    // is read as one.
    void Parse(std::wstring_view text);

    // The first value of key in section.
    bool Get(std::wstring_view section, std::wstring_view key, std::wstring& value) const;

    // The keys of a section in file order (empty when there is no such section).
    std::vector<std::wstring> GetKeys(std::wstring_view section) const;

    // Every key of a section with its value, in file order, a key that appears
    // again included.
    void VisitEntries(std::wstring_view section,
                      const std::function<void(std::wstring_view key, std::wstring_view value)>& visit) const;

    // Sets the first value of key in section, adding the section or key at
    // the end when missing.
    void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);

    // The contents as UTF-8 text without byte-order mark, one line per header
    // and value, each ending in '\n'.
    std::string Serialize() const;

    // Sets key=value in section of UTF-8 file text and keeps every other byte:
    // other sections, comments, blank lines, line ends and a last line without
    // one. The first line of key in the section is changed; a missing key is
    // added after the section's last entry, a missing section at the end.
    static std::string SetValueInText(std::string text, std::string_view section, std::string_view key,
                                      std::string_view value);

  private:
    struct Entry {
        std::wstring key;
        std::wstring value;
    };
    // Names are looked up through their ASCII lower-case form, so that a file
    // of many keys or sections is parsed and read in linear time.
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
        std::unordered_map<std::wstring, size_t> firstOf;  // folded key -> its first entry
    };

    const Section* FindSection(std::wstring_view name) const;
    // The section of that name, added at the end when missing.
    Section& GetOrAddSection(std::wstring_view name);

    std::vector<Section> m_sections;
    std::unordered_map<std::wstring, size_t> m_sectionOf;  // folded name -> section
};
