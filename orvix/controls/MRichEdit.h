#pragma once
// A text area that always shows its edit box and takes typing while it has the
// focus; the caret is drawn by the window. Changes are reported with code 26,
// Enter or Escape on a single line with code 29.
#include <string>

#include "orvix/controls/InPlaceEdit.h"
#include "orvix/core/MPanel.h"

namespace Orvix {

class MRichEdit : public MPanel {
  public:
    MRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
              BOOL enabled = TRUE);

    void SetText(const wchar_t* text);
    std::wstring GetText() const;
    void SetSel(int anchor, int caret);
    void GetSel(int& start, int& end) const;
    BOOL ReplaceSel(const wchar_t* text);
    void SetReadOnly(BOOL on);
    void SetPassword(BOOL on, wchar_t mask = L'\x25CF');
    void SetLimitText(int limit);
    void SetNumberOnly(BOOL on);
    void SetWordWrap(BOOL multiLine);
    void SetBackColor(COLORREF color);
    MEditBox* GetEditBox() { return m_edit.Box(); }

    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(BOOL enabled) override;
    void SetTextColor(Color color) override;
    LRESULT SetControlFocus(BOOL focus) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;

  protected:
    // Where the box sits inside the control.
    virtual CRect BoxRect() const;
    // Called after the user changed the text (code 26 has been sent).
    virtual void OnTextChanged() {}
    // Called when the user ended typing (Enter, Escape, focus or window lost).
    virtual void OnEditEnded() {}
    int m_inset = 2;

  private:
    InPlaceEdit m_edit;
    COLORREF m_back = 0x222527;
    int m_look = 0;
};

}  // namespace Orvix
