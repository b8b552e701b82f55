#pragma once
// The toolkit-drawn edit box behind every in-place edit (edit fields, list
// renames, number and value edits). A host keeps one as a hidden child, opens
// it over the place where the text is edited and closes it when editing ends.
// While open the box holds the window's text caret and, like a native edit
// window, takes typing (text input with IME composition), editing keys and
// presses on itself before the control tree sees them: caret and selection by
// keyboard and mouse, cut/copy/paste with the clipboard, text limit,
// digits-only, password and multi-line modes.
//
// The box tells its parent (the host) through SendMessageW:
//   Notify::TextChanged  the user changed the text;
//   Notify::EditEnded    the user ended editing: Enter on a single line
//                        (wParam VK_RETURN), Escape after restoring the text
//                        it opened with (VK_ESCAPE), or the window lost
//                        activation (0). The host then closes the box.
#include <string>

#include "orvix/controls/EditModel.h"
#include "orvix/core/MControlFont.h"

namespace Orvix {

class MEditBox : public MControlFont {
  public:
    MEditBox(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = FALSE,
             BOOL enabled = TRUE);
    ~MEditBox() override;

    // Shows the box with `text`, the caret at its end, and starts text input.
    void Open(const std::wstring& text);
    // Hides the box; it stops taking input.
    void Close();
    // A box that stays in view (rich edits) takes input only while active.
    void Activate();
    void Deactivate();
    BOOL IsOpen() const { return m_active; }

    const std::wstring& GetText() const { return m_model.GetText(); }
    // Replaces the text (caret at the end) without notifying the host.
    void SetText(const std::wstring& text);
    // Takes effect at once, on an open box too: further typing is held to it.
    void SetLimitText(size_t limit) { m_model.SetLimit(limit); }
    void SetNumberOnly(BOOL on) { m_model.SetDigitsOnly(on); }
    void SetReadOnly(BOOL on) { m_readOnly = on; }
    // A field of a form: Return (single line) and Esc end the editing and then
    // go on to the window, whose default button or Cancel they press. A list's
    // rename box keeps them (they only end the rename).
    void SetPassDialogKeys(BOOL on) { m_passDialogKeys = on; }
    void SetPassword(BOOL on, wchar_t mask = L'\x25CF');
    void SetMultiLine(BOOL on) { m_multiLine = on; }
    BOOL IsMultiLine() const { return m_multiLine; }
    // Space kept between the box's edges and its text. Hosts that open the box
    // exactly over their own text rect keep 0, so nothing moves when it opens.
    void SetMargins(int x, int y) { m_marginX = x, m_marginY = y; }
    // Alpha 0 leaves the background to whatever lies beneath the box.
    void SetBackColor(COLORREF back, BYTE alpha = 255) { m_back = back, m_backAlpha = alpha; }
    // Selection as (anchor, caret) character indexes.
    void SetSel(size_t anchor, size_t caret);
    size_t GetSelStart() const { return m_model.SelStart(); }
    size_t GetSelEnd() const { return m_model.SelEnd(); }
    // Replaces the selection as if typed (limit and digits-only apply).
    BOOL ReplaceSel(const std::wstring& text);
    size_t GetCaret() const { return m_model.GetCaret(); }
    const std::wstring& GetComposition() const { return m_composition; }
    // What assistive technology asks of an open box, done as the keys do it:
    // a read-only box refuses, digits-only and the limit apply, a password is
    // never copied out, and the host hears every change as it hears typing.
    // Positions are character indexes, kept inside the text.
    // Puts `text` over [start, end) (empty `text` deletes); TRUE when the text changed.
    BOOL TypeOver(size_t start, size_t end, const std::wstring& text);
    BOOL CopyRange(size_t start, size_t end);
    BOOL CutRange(size_t start, size_t end);
    BOOL PasteAt(size_t position);
    // Where the caret is drawn, in window client coordinates.
    CRect GetCaretRect() const;

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  private:
    // Visible and enabled up to its window: a box on a hidden or disabled page
    // takes no input.
    BOOL IsReachable() const;
    // Ends editing from outside (the host or a parent went away): the host is
    // told; a box its host left active is deactivated all the same.
    void Cancel();
    BOOL OnKey(UINT vk);
    BOOL OnPointer(UINT msg, CPoint windowPt);
    // After an edit by the user: repaint, caret, and the host is told.
    void Changed();
    // Asks for the box to be painted again.
    void Repaint();
    // After a caret move: scroll it into view, repaint, move the caret.
    void Moved();
    // FALSE when nothing went to the clipboard (no selection, a password).
    BOOL Copy() const;
    // TRUE when the text changed.
    BOOL Paste();
    void Revert();
    // The text as shown: password masks and the IME composition at the caret.
    std::wstring DisplayText() const;
    TextStyle Style() const;
    int LineHeight() const;
    int TextWidth(const std::wstring& text) const;
    // Where a line of `width` pixels starts inside the text area: the box
    // follows its alignment (left, centre, right) while the line fits.
    int AlignOffset(int width) const;
    CRect TextArea() const;
    // Caret position inside the content (before scrolling) of index `pos`.
    CPoint PosOf(size_t pos) const;
    size_t HitTest(CPoint contentPt) const;
    void ScrollToCaret();
    void PlaceCaret();
    CPoint WindowOffset() const;

    EditModel m_model;
    std::wstring m_openText;
    std::wstring m_composition;
    int m_compositionCursor = 0;
    BOOL m_readOnly = FALSE;
    BOOL m_passDialogKeys = FALSE;
    BOOL m_password = FALSE;
    wchar_t m_mask = L'\x25CF';
    BOOL m_multiLine = FALSE;
    COLORREF m_back = 0xFFFFFF;
    BYTE m_backAlpha = 255;
    int m_marginX = 0;
    int m_marginY = 0;
    int m_scrollX = 0;
    int m_scrollY = 0;
    int m_wantX = -1;  // column kept while moving up and down
    bool m_dragging = false;
    bool m_rightPressed = false;
    BOOL m_active = FALSE;
    CRect m_placedCaret;
};

}  // namespace Orvix
