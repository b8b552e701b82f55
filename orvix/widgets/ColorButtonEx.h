#pragma once
// A colour button that carries a number, shown in its text rect and typed in
// place: a press on the text rect of a button that is already checked opens
// the edit (codes 30, 26 and 29 as the DPI cards). Space while focused checks
// it as a press would and sends code 7 with the new check.
#include <string>

#include "orvix/widgets/CColorButton.h"
#include "orvix/widgets/ValueEdit.h"

namespace Orvix {

class ColorButtonEx : public CColorButton {
  public:
    static constexpr size_t kEditLimit = 5;

    ColorButtonEx(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                  BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"ColorButtonEx"; }

    using CColorButton::SetColor;
    void SetColor(Color color) { SetColor(color.ToCOLORREF()); }
    void SetValue(int value);
    int GetValue() const { return m_value; }
    // Opens (TRUE) or closes (FALSE) the in-place edit.
    void SetShowEdit(BOOL show);
    BOOL IsEditing() const { return m_edit.IsOpen(); }
    // Window coordinates; empty means the whole button.
    void SetTextRect(CRect rect);
    CRect GetTextRect() const { return m_textRect.IsRectEmpty() ? m_rect : m_textRect; }
    void SetEditText(const wchar_t* text) { m_title = text ? text : L""; }
    std::wstring GetEditText() const { return m_edit.TextOr(m_title); }

    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT SetControlFocus(BOOL focus) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;

  protected:
    BOOL TakesSpaceKey() const override { return TRUE; }
    void OnKeyActivate() override;
    void RenderLook(Canvas& canvas, int look, const CRect& rect) override;

  private:
    void HideEdit();

    int m_value = 0;
    CRect m_textRect;
    ValueEdit m_edit;
};

}  // namespace Orvix
