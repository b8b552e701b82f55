#pragma once
// A host's in-place edit: the host's MEditBox, made on first use as the host's
// own child (id kBoxId) in the host's font, and opened over a rect of the host.
// The host hears the box (Notify::TextChanged, Notify::EditEnded) through its own
// OnBaseMessage / OnMessage with id kBoxId.
#include <string>

#include "orvix/controls/MEditBox.h"
#include "orvix/core/EditableTextHost.h"

namespace Orvix {

// A control whose text is edited in an InPlaceEdit, for those who change the
// text without keys (assistive technology): they go through the box as typing does.
class InPlaceEditHost : public EditableTextHost {
  public:
    // Opens the box (the host takes the focus) and returns it; null when the
    // host cannot be edited now (read-only, disabled, no window).
    virtual MEditBox* OpenEditBox() = 0;
    TextEditOutcome EditAsTyping(TextOp op, int start, int end, const std::wstring& text) final;

  protected:
    ~InPlaceEditHost() = default;
};

class InPlaceEdit {
  public:
    static constexpr UINT kBoxId = 0xED17;

    explicit InPlaceEdit(MControlFont& host) : m_host(host) {}
    // The box, made on first use; null while the host has no manager.
    MEditBox* Box();
    MEditBox* Peek() const { return m_box; }
    bool IsOpen() const { return m_box && m_box->IsOpen(); }
    // Places the box over `rect`, in the host's font, and opens it with `text`
    // aligned as the host draws it there (`hAlign` 0 left, 1 centre, 2 right;
    // -1 takes the host's own alignment), so the text stays where it was.
    void Open(const CRect& rect, const std::wstring& text, int hAlign = -1);
    void Close();
    // Handles what the box tells its host (OnMessage with `id`): a typed
    // change goes on as the host's code 26, the end of editing calls `end`.
    // FALSE for other children's messages.
    template <typename End>
    bool Relay(UINT id, UINT code, End end) {
        if (id != kBoxId) return false;
        if (code == Notify::TextChanged)
            m_host.SendMessageW(Notify::TextChanged, 0, 0);
        else if (code == Notify::EditEnded)
            end();
        return true;
    }
    // The text being edited while open, else `fallback`.
    std::wstring TextOr(const std::wstring& fallback) const { return IsOpen() ? m_box->GetText() : fallback; }

  private:
    MControlFont& m_host;
    MEditBox* m_box = nullptr;  // owned by the host's child list
};

}  // namespace Orvix
