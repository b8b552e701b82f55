#pragma once
// The numeric in-place edit of the DPI cards and the value colour buttons: a
// digits-only box opened over a rect with the current number, caret at the
// end. The host is told as the owner would hear it: code 30 when the box
// opens, 26 for each change of the text, 29 when it closes, before the typed
// number is taken over, so that the owner may correct the value on code 29.
#include <optional>
#include <string>

#include "orvix/controls/InPlaceEdit.h"

namespace Orvix {

class ValueEdit {
  public:
    explicit ValueEdit(MControlFont& host) : m_host(host), m_edit(host) {}

    bool IsOpen() const { return m_edit.IsOpen(); }
    MEditBox* Peek() const { return m_edit.Peek(); }
    // The open box's text, else `fallback`.
    std::wstring TextOr(const std::wstring& fallback) const { return m_edit.TextOr(fallback); }
    // Opens over `rect` with `text` (at most `limit` digits), gives the host the
    // focus and sends code 30. False without a manager.
    bool Open(const CRect& rect, const std::wstring& text, size_t limit, COLORREF back, Color textColor);
    // A change report of the box: when its text differs from `title` it becomes
    // the title and code 26 goes out. True when the title changed.
    bool OnChanged(std::wstring& title);
    // Sends code 29 and closes the box. Returns the number to store: the typed
    // one (leading digits, 0 for none) when it differs from `value` and the
    // owner set no value while handling code 29; nothing otherwise. A request
    // made while code 29 is out (the owner closing it again) is ignored.
    std::optional<int> Close(int value);
    // The host's value was set: while code 29 is out, that is the owner's
    // answer to what was typed, and it stands.
    void NoteValueSet() {
        if (m_closing) m_valueSet = true;
    }
    // Closes without telling anyone (the value it edits has gone).
    void Discard() { m_edit.Close(); }

    // The leading digits of a text as a number (0 when there are none), capped
    // at the largest int.
    static int LeadingNumber(const std::wstring& text);

  private:
    MControlFont& m_host;
    InPlaceEdit m_edit;
    bool m_closing = false;
    bool m_valueSet = false;
};

}  // namespace Orvix
