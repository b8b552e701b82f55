#pragma once
// The text, caret and selection of an edit box, without any window: typing
// and pasting honour the text limit and the digits-only mode; moves extend the
// selection when asked. Positions are character indexes; the selection runs
// between the anchor and the caret.
#include <cstddef>
#include <string>

namespace Orvix {

class EditModel {
  public:
    const std::wstring& GetText() const { return m_text; }
    // Replaces the text as the program sets it (the limit is not applied, as
    // for a native edit); the caret goes to the end.
    void SetText(const std::wstring& text);
    // 0 means no limit.
    void SetLimit(size_t limit) { m_limit = limit; }
    size_t GetLimit() const { return m_limit; }
    void SetDigitsOnly(bool on) { m_digitsOnly = on; }
    bool IsDigitsOnly() const { return m_digitsOnly; }

    size_t GetCaret() const { return m_caret; }
    size_t GetAnchor() const { return m_anchor; }
    size_t SelStart() const { return std::min(m_caret, m_anchor); }
    size_t SelEnd() const { return std::max(m_caret, m_anchor); }
    bool HasSelection() const { return m_caret != m_anchor; }
    std::wstring GetSelectedText() const { return m_text.substr(SelStart(), SelEnd() - SelStart()); }
    // Anchor at `anchor`, caret at `caret`, both kept inside the text.
    void SetSel(size_t anchor, size_t caret);
    void SelectAll() { SetSel(0, m_text.size()); }
    void SelectWordAt(size_t pos);

    // Replaces the selection with `text` as typed or pasted: refused (false)
    // when digits-only and `text` holds anything but digits, cut to the room
    // the limit leaves, refused when nothing fits. True when the text changed.
    bool Insert(const std::wstring& text);
    bool DeleteSelection();
    // Backspace and Delete: the selection, else one character (or one word).
    bool Backspace(bool word);
    bool Delete(bool word);

    // Caret moves; `extend` keeps the anchor (Shift held).
    void MoveTo(size_t pos, bool extend);
    void MoveLeft(bool extend, bool word);
    void MoveRight(bool extend, bool word);
    void MoveHome(bool extend) { MoveTo(LineStart(m_caret), extend); }
    void MoveEnd(bool extend) { MoveTo(LineEnd(m_caret), extend); }
    // The line around a position (lines end at '\n').
    size_t LineStart(size_t pos) const;
    size_t LineEnd(size_t pos) const;

  private:
    size_t WordLeft(size_t pos) const;
    size_t WordRight(size_t pos) const;

    std::wstring m_text;
    size_t m_caret = 0;
    size_t m_anchor = 0;
    size_t m_limit = 0;
    bool m_digitsOnly = false;
};

}  // namespace Orvix
