#pragma once
// The program's XML document. The whole text is kept verbatim as one wide string
// (declaration and whitespace included) beside an index of its elements; a cursor
// walks the element tree forwards: find a named sibling, step into an element,
// step back out. Every value is an attribute; element text is never used.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class XmlDocument {
  public:
    XmlDocument();

    // Replaces the document, resets the cursor and parses. True when well formed.
    bool SetText(std::wstring_view text);
    // Reads a file in UTF-8, UTF-16 (with a byte-order mark) or a declared encoding,
    // then as SetText. False when the file cannot be read (the document is then
    // empty) or is not well formed (the index holds what could be parsed).
    bool LoadFile(const std::wstring& path);
    // Writes the document string in the encoding its declaration names (UTF-8 when
    // none). True when the file was written completely.
    bool SaveFile(const std::wstring& path);

    // Next sibling at the cursor's level, after the current element, whose name is
    // `name` (any element for an empty name). The cursor is unchanged on failure.
    bool FindNext(std::wstring_view name);
    // The current element becomes the level; there is then no current element.
    bool StepIn();
    // Back to the element stepped into. False at the top level.
    bool StepOut();
    // A new empty element after the current one (or after the level's last child),
    // on its own line; it becomes current. False for a name that would break the
    // markup (empty, starting with '!' or '?', or holding blanks, quotes, '<', '>',
    // '/', '=' or '&').
    bool AddElement(std::wstring_view name);
    // Sets an attribute of the current element, escaping the value.
    bool SetAttribute(std::wstring_view name, std::wstring_view value);
    // The decoded value; empty without a current element or such an attribute.
    std::wstring GetAttribute(std::wstring_view name) const;
    // Name of the current element; empty when there is none.
    std::wstring GetTagName() const;

    const std::wstring& GetText() const { return m_doc; }
    // What happened during the last load, save or parse: entries "name" or
    // "name=detail" separated by "; ". For diagnostics only.
    const std::wstring& GetResult() const { return m_result; }

  private:
    // One element of the index. Positions are indexes into m_elems; 0 means none,
    // and entry 0 stands for the document itself, whose children are the
    // top-level elements.
    struct Element {
        size_t start = 0;   // offset of '<' in m_doc
        size_t length = 0;  // the whole element, end tag included
        size_t startTagLen = 0;
        size_t endTagLen = 0;  // 0 for the empty-element form and unended elements
        size_t nameLen = 0;
        bool emptyForm = false;  // "<name .../>"
        int parent = 0;
        int firstChild = 0;
        int next = 0;
        int prev = 0;
    };

    // Builds the index of m_doc and resets the cursor. True when well formed.
    bool Parse();
    // Replaces `removed` characters at `at` by `text`, moves the elements behind it
    // and grows `owner` and its ancestors. Returns the change in length.
    ptrdiff_t Splice(size_t at, size_t removed, std::wstring_view text, int owner);
    std::wstring_view NameOf(int index) const;
    // Start and text of the part of the start tag between the name and "/>" or ">".
    size_t AttributeAreaStart(int index) const;
    std::wstring_view AttributeArea(int index) const;

    std::wstring m_doc;
    std::vector<Element> m_elems;
    int m_parent = 0;   // the level the cursor searches (0 = top level)
    int m_current = 0;  // the current element (0 = none)
    std::wstring m_result;
};
