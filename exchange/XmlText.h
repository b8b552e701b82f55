#pragma once
// Character-level pieces of the XML document: the attribute scanner shared by the
// parser, the attribute accessors and the encoding sniffer; attribute escaping;
// decoding of character and entity references.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

inline bool IsXmlSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// Characters that may stand in an element or attribute name. Deliberately broad:
// anything that does not end a name in a tag.
inline bool IsXmlNameChar(wchar_t c) {
    return !IsXmlSpace(c) && c != L'<' && c != L'>' && c != L'/' && c != L'=' && c != L'"' && c != L'\'' &&
           c != L'&' && c != 0;
}

bool IsXmlName(std::wstring_view name);

// Turns A to Z into a to z and leaves everything else alone (names are compared
// this way, independent of the locale).
std::wstring AsciiLower(std::wstring_view text);

// One attribute inside the attribute area of a start tag (the text between the
// element name and the closing "/>" or ">"). Offsets are relative to that area.
struct XmlAttributeSpan {
    size_t nameStart = 0;
    size_t nameLength = 0;
    size_t valueStart = 0;   // first character inside the quotes
    size_t valueLength = 0;  // raw, still escaped
    size_t tokenEnd = 0;     // just past the closing quote (or the name when there is no value)
};

// Visits the attributes in order; the visitor returns false to stop early. The
// scan is lenient (junk is skipped) so that a damaged tag still yields what it can;
// the result says whether the area was strictly name="value" pairs separated by
// whitespace.
bool ScanAttributes(std::wstring_view area, const std::function<bool(const XmlAttributeSpan&)>& visit);

// Adds an entry "name" or "name=detail" to a result record ("; " between
// entries). The record stays short, however broken the input.
void AppendResult(std::wstring& record, std::wstring_view entry, std::wstring_view detail = {});

// Replaces < & > ' " by their entities.
std::wstring EscapeAttribute(std::wstring_view value);

// Replaces character references and named entities (the XML five and the HTML 4
// names) by their characters. References that are unterminated, unknown or name
// no valid character stay as written.
std::wstring DecodeReferences(std::wstring_view raw);

// The encoding a document declares in its first characters: the encoding
// pseudo-attribute of the XML declaration or, in HTML-like content, the charset
// of a Content-Type meta element. Empty when nothing is declared.
std::wstring FindDeclaredEncoding(std::wstring_view head);
