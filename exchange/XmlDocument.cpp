#include "exchange/XmlDocument.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include "exchange/XmlEncodings.h"
#include "exchange/XmlText.h"
#include "base/TextConv.h"
#include "base/FileUtil.h"

namespace {

constexpr size_t npos = std::wstring_view::npos;
// Far beyond any catalog, description or exchange file; a larger file is not read.
constexpr size_t kMaxXmlFileBytes = 64u << 20;
const wchar_t* const kLineBreak = L"\r\n";

// Markup that runs from an opening to a closing text and holds no elements, with
// the result entry recorded when the closing text never comes.
struct Section {
    std::wstring_view open, close;
    const wchar_t* entry;
};
constexpr Section kSections[] = {
    {L"<?", L"?>", L"first_tag_syntax"},  // processing instructions and the declaration
    {L"<!--", L"-->", L"comment_tag_syntax"},
    {L"<![CDATA[", L"]]>", L"cdata_section_syntax"},
};

// End of a "<!DOCTYPE ...>" declaration, skipping quoted text, comments and the
// internal subset in brackets; npos when it never ends.
size_t DeclarationEnd(std::wstring_view doc, size_t from) {
    int depth = 0;
    for (size_t k = from; k < doc.size(); ++k) {
        wchar_t c = doc[k];
        if (c == L'"' || c == L'\'') {
            k = doc.find(c, k + 1);
            if (k == npos) return npos;
        } else if (doc.substr(k, 4) == L"<!--") {
            k = doc.find(L"-->", k + 4);
            if (k == npos) return npos;
            k += 2;
        } else if (c == L'[') {
            ++depth;
        } else if (c == L']') {
            if (depth > 0) --depth;
        } else if (c == L'>' && depth == 0) {
            return k;
        }
    }
    return npos;
}

// End ('>') of a start tag whose name ends at `from`, skipping quoted values.
// npos when the document ends first; `broken` is set when a '<' outside quotes
// comes first (the returned offset is then that '<').
size_t StartTagEnd(std::wstring_view doc, size_t from, bool& broken) {
    broken = false;
    for (size_t k = from; k < doc.size(); ++k) {
        wchar_t c = doc[k];
        if (c == L'"' || c == L'\'') {
            k = doc.find(c, k + 1);
            if (k == npos) return npos;
        } else if (c == L'>') {
            return k;
        } else if (c == L'<') {
            broken = true;
            return k;
        }
    }
    return npos;
}

}  // namespace

XmlDocument::XmlDocument() : m_elems(1) {}

std::wstring_view XmlDocument::NameOf(int index) const {
    const Element& e = m_elems[index];
    return std::wstring_view(m_doc).substr(e.start + 1, e.nameLen);
}

size_t XmlDocument::AttributeAreaStart(int index) const {
    const Element& e = m_elems[index];
    return e.start + 1 + e.nameLen;
}

std::wstring_view XmlDocument::AttributeArea(int index) const {
    const Element& e = m_elems[index];
    size_t from = AttributeAreaStart(index);
    size_t to = e.start + e.startTagLen - (e.emptyForm ? 2 : 1);
    return std::wstring_view(m_doc).substr(from, to - from);
}

bool XmlDocument::Parse() {
    m_elems.assign(1, Element{});
    m_parent = m_current = 0;
    const std::wstring_view doc = m_doc;
    const size_t n = doc.size();

    std::vector<int> open;                                 // elements whose end tag is still to come
    std::vector<int> lastChild(1, 0);                      // per element, while the index is built
    std::unordered_map<std::wstring_view, int> openNames;  // so end tags find their element in O(1)
    bool syntaxError = false;

    auto fail = [&](const wchar_t* entry, std::wstring_view detail) {
        syntaxError = true;
        AppendResult(m_result, entry, detail);
    };
    auto at = [](size_t offset) { return std::to_wstring(offset); };
    auto close = [&](size_t end, size_t endTagLen) {
        int index = open.back();
        open.pop_back();
        m_elems[index].endTagLen = endTagLen;
        m_elems[index].length = end - m_elems[index].start;
        auto it = openNames.find(NameOf(index));
        if (--it->second == 0) openNames.erase(it);
    };
    auto append = [&](Element element) {
        int parent = open.empty() ? 0 : open.back();
        int index = static_cast<int>(m_elems.size());
        element.parent = parent;
        element.prev = lastChild[parent];
        if (element.prev)
            m_elems[element.prev].next = index;
        else
            m_elems[parent].firstChild = index;
        lastChild[parent] = index;
        m_elems.push_back(element);
        lastChild.push_back(0);
        return index;
    };

    // Every branch either moves past its token or, when the token runs to the end
    // of the text, stops: the scan is linear whatever the input.
    size_t pos = 0;
    while ((pos = doc.find(L'<', pos)) != npos) {
        const size_t lt = pos;
        const wchar_t next = lt + 1 < n ? doc[lt + 1] : 0;
        const auto section = std::find_if(std::begin(kSections), std::end(kSections), [&](const Section& s) {
            return doc.substr(lt, s.open.size()) == s.open;
        });
        if (section != std::end(kSections)) {
            size_t end = doc.find(section->close, lt + section->open.size());
            if (end == npos) {
                fail(section->entry, at(lt));
                break;
            }
            pos = end + section->close.size();
        } else if (doc.substr(lt, 9) == L"<!DOCTYPE") {
            size_t end = DeclarationEnd(doc, lt + 9);
            if (end == npos) {
                fail(L"exclamation_tag_syntax", at(lt));
                break;
            }
            pos = end + 1;
        } else if (next == L'!') {
            fail(L"exclamation_tag_syntax", at(lt));
            pos = lt + 1;
        } else if (next == L'/') {
            size_t i = lt + 2;
            while (i < n && IsXmlNameChar(doc[i])) ++i;
            std::wstring_view name = doc.substr(lt + 2, i - lt - 2);
            while (i < n && IsXmlSpace(doc[i])) ++i;
            if (i >= n) {
                fail(L"first_tag_syntax", at(lt));
                break;
            }
            if (name.empty() || doc[i] != L'>') {
                fail(L"first_tag_syntax", at(lt));
                pos = lt + 1;
                continue;
            }
            pos = i + 1;
            if (!openNames.count(name)) {
                fail(L"lone_end_tag", name);
                continue;
            }
            // Elements opened inside the one this tag closes end here, unended.
            while (NameOf(open.back()) != name) {
                fail(L"unended_start_tag", NameOf(open.back()));
                close(lt, 0);
            }
            close(pos, pos - lt);
        } else {
            size_t i = lt + 1;
            while (i < n && IsXmlNameChar(doc[i])) ++i;
            if (i == lt + 1) {  // "<" not followed by a name: stray text
                fail(L"first_tag_syntax", at(lt));
                pos = lt + 1;
                continue;
            }
            bool broken = false;
            size_t end = StartTagEnd(doc, i, broken);
            if (end == npos) {
                fail(L"first_tag_syntax", at(lt));
                break;
            }
            if (broken) {
                fail(L"first_tag_syntax", at(lt));
                pos = end;
                continue;
            }
            Element element;
            element.start = lt;
            element.startTagLen = end + 1 - lt;
            element.nameLen = i - lt - 1;
            element.emptyForm = doc[end - 1] == L'/';
            if (element.emptyForm) element.length = element.startTagLen;
            int index = append(element);
            if (!ScanAttributes(AttributeArea(index), [](const XmlAttributeSpan&) { return true; }))
                fail(L"first_tag_syntax", at(lt));
            if (!element.emptyForm) {
                open.push_back(index);
                ++openNames[NameOf(index)];
            }
            pos = end + 1;
        }
    }
    while (!open.empty()) {
        fail(L"unended_start_tag", NameOf(open.back()));
        close(n, 0);
    }

    int roots = 0;
    for (int i = m_elems[0].firstChild; i; i = m_elems[i].next) ++roots;
    if (roots == 0) AppendResult(m_result, L"no_root_element");
    if (roots > 1) AppendResult(m_result, L"root_has_sibling");
    return !syntaxError && roots == 1;
}

bool XmlDocument::SetText(std::wstring_view text) {
    m_result.clear();
    m_doc = text;
    return Parse();
}

bool XmlDocument::LoadFile(const std::wstring& path) {
    m_result.clear();
    std::string bytes;
    if (const int error = ReadFileBytes(Orvix::WideToUtf8(path), bytes, kMaxXmlFileBytes)) {
        AppendResult(m_result, L"file_error", Orvix::Utf8ToWide(std::strerror(error)));
        m_doc.clear();
        Parse();
        return false;
    }
    AppendResult(m_result, L"read", std::to_wstring(bytes.size()) + L" bytes");
    m_doc = DecodeXmlBytes(bytes, m_result);
    return Parse();
}

bool XmlDocument::SaveFile(const std::wstring& path) {
    m_result.clear();
    std::string bytes;
    bool lossless = EncodeXmlText(m_doc, bytes, m_result);
    std::FILE* f = std::fopen(Orvix::WideToUtf8(path).c_str(), "wb");
    if (!f) {
        AppendResult(m_result, L"file_error", Orvix::Utf8ToWide(std::strerror(errno)));
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int error = errno;
    if (std::fclose(f) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        AppendResult(m_result, L"file_error", Orvix::Utf8ToWide(std::strerror(error)));
        return false;
    }
    AppendResult(m_result, L"write", std::to_wstring(bytes.size()) + L" bytes");
    return lossless;
}

bool XmlDocument::FindNext(std::wstring_view name) {
    int i = m_current ? m_elems[m_current].next : m_elems[m_parent].firstChild;
    for (; i; i = m_elems[i].next) {
        if (name.empty() || NameOf(i) == name) {
            m_current = i;
            return true;
        }
    }
    return false;
}

bool XmlDocument::StepIn() {
    if (!m_current) return false;
    m_parent = m_current;
    m_current = 0;
    return true;
}

bool XmlDocument::StepOut() {
    if (!m_parent) return false;
    m_current = m_parent;
    m_parent = m_elems[m_parent].parent;
    return true;
}

ptrdiff_t XmlDocument::Splice(size_t at, size_t removed, std::wstring_view text, int owner) {
    m_doc.replace(at, removed, text);
    const ptrdiff_t delta = static_cast<ptrdiff_t>(text.size()) - static_cast<ptrdiff_t>(removed);
    auto moved = [delta](size_t value) { return static_cast<size_t>(static_cast<ptrdiff_t>(value) + delta); };
    for (size_t i = 1; i < m_elems.size(); ++i)
        if (m_elems[i].start >= at + removed) m_elems[i].start = moved(m_elems[i].start);
    for (int p = owner; p; p = m_elems[p].parent) m_elems[p].length = moved(m_elems[p].length);
    return delta;
}

bool XmlDocument::AddElement(std::wstring_view name) {
    if (!IsXmlName(name)) return false;
    const std::wstring tag = L"<" + std::wstring(name) + L"/>";
    const int parent = m_parent;
    int after = m_current;
    if (!after)
        for (int i = m_elems[parent].firstChild; i; i = m_elems[i].next) after = i;

    // The text to insert at `at` (replacing `removed` characters); the new tag is
    // its first '<'.
    size_t at, removed = 0;
    std::wstring text;
    if (after) {
        at = m_elems[after].start + m_elems[after].length;
        text = kLineBreak + tag;
    } else if (parent == 0) {
        at = m_doc.size();
        text = at == 0 || m_doc.back() == L'\n' ? tag : kLineBreak + tag;
    } else if (m_elems[parent].emptyForm) {
        // "<p .../>" becomes "<p ...>", the child on its own line, "</p>" on its own line.
        at = m_elems[parent].start + m_elems[parent].startTagLen - 2;
        removed = 2;
        text = L">" + (kLineBreak + tag) + kLineBreak + L"</" + std::wstring(NameOf(parent)) + L">";
    } else {
        at = m_elems[parent].start + m_elems[parent].startTagLen;
        bool lineFollows = at < m_doc.size() && (m_doc[at] == L'\r' || m_doc[at] == L'\n');
        text = kLineBreak + tag + (lineFollows ? L"" : kLineBreak);
    }
    Splice(at, removed, text, parent);
    if (removed) {
        Element& p = m_elems[parent];
        p.startTagLen -= 1;
        p.endTagLen = p.nameLen + 3;
        p.emptyForm = false;
    }

    Element element;
    element.start = at + text.find(L'<');
    element.length = element.startTagLen = tag.size();
    element.nameLen = name.size();
    element.emptyForm = true;
    element.parent = parent;
    element.prev = after;
    const int index = static_cast<int>(m_elems.size());
    if (after) {
        element.next = m_elems[after].next;
        if (element.next) m_elems[element.next].prev = index;
        m_elems[after].next = index;
    } else {
        m_elems[parent].firstChild = index;
    }
    m_elems.push_back(element);
    m_current = index;
    return true;
}

bool XmlDocument::SetAttribute(std::wstring_view name, std::wstring_view value) {
    if (!m_current || !IsXmlName(name)) return false;
    const size_t areaStart = AttributeAreaStart(m_current);
    const std::wstring_view area = AttributeArea(m_current);
    const std::wstring quoted = L"=\"" + EscapeAttribute(value) + L"\"";
    size_t at = npos, removed = 0;
    ScanAttributes(area, [&](const XmlAttributeSpan& a) {
        if (area.substr(a.nameStart, a.nameLength) != name) return true;
        at = areaStart + a.nameStart + a.nameLength;  // replace from '=' to the closing quote
        removed = a.tokenEnd - a.nameStart - a.nameLength;
        return false;
    });
    std::wstring text = quoted;
    if (at == npos) {
        at = areaStart + area.size();
        text = L" " + std::wstring(name) + quoted;
    }
    const ptrdiff_t delta = Splice(at, removed, text, m_current);
    m_elems[m_current].startTagLen =
        static_cast<size_t>(static_cast<ptrdiff_t>(m_elems[m_current].startTagLen) + delta);
    return true;
}

std::wstring XmlDocument::GetAttribute(std::wstring_view name) const {
    if (!m_current) return {};
    const std::wstring_view area = AttributeArea(m_current);
    std::wstring value;
    ScanAttributes(area, [&](const XmlAttributeSpan& a) {
        if (area.substr(a.nameStart, a.nameLength) != name) return true;
        value = DecodeReferences(area.substr(a.valueStart, a.valueLength));
        return false;
    });
    return value;
}

std::wstring XmlDocument::GetTagName() const {
    return m_current ? std::wstring(NameOf(m_current)) : std::wstring();
}
