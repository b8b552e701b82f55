#pragma once
// A drawn text field. Pressing it (or giving it the focus) opens the edit box
// over its text rect (code 30); every change the user makes becomes the title
// (code 26); Enter, Esc or losing the focus closes the box (code 29, wParam
// VK_RETURN, VK_ESCAPE or 0). An optional icon at
// the right edge reports its own press (9) and release (31).
#include <string>

#include "orvix/controls/InPlaceEdit.h"
#include "orvix/core/MControlFont.h"

namespace Orvix {

struct ImgResInfo;

class MEdit : public MControlFont, public InPlaceEditHost {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
          BOOL enabled = TRUE);

    // Stores the title without repainting.
    void SetEditText(const wchar_t* text) { m_title = text ? text : L""; }
    // The text being typed while the edit is open, else the title.
    std::wstring GetEditText() const { return m_edit.TextOr(m_title); }
    // The title, leaving an open edit open (GetTitle closes it first).
    const std::wstring& GetTitleEx() const { return m_title; }
    void SetTipInfo(const wchar_t* placeholder);
    // Also holds an open edit to the new limit at once.
    void SetLimitText(int limit);
    void SetNumberOnly(BOOL on) { m_numberOnly = on; }
    void SetReadOnly(BOOL on) { m_readOnly = on; }
    void EnablePassWord(BOOL on);
    void SetPassWordChar(wchar_t mask);
    void EnableMultLine(BOOL on);
    void SetEditBKColor(COLORREF color) { m_editBack = color; }
    // Where the text is drawn and edited; empty = computed from the rect.
    void SetTextRect(CRect rect) { m_textRect = rect; }
    CRect GetTextRect() const;
    BOOL SetIconImage(const wchar_t* file, int count = 4);
    CRect GetIconRect() const;

    BOOL ShowEdit();
    void HideEdit();
    BOOL IsEditing() const { return m_edit.IsOpen(); }
    MEditBox* OpenEditBox() override { return ShowEdit() ? m_edit.Peek() : nullptr; }
    // 0 normal, 1 hover, 2 editing, 3 disabled.
    int GetLook() const { return m_look; }
    MEditBox* GetEditBox() const { return m_edit.Peek(); }

    void SetControlTitle(const wchar_t* title) override;
    std::wstring GetControlTitle() override;
    void SetControlEnabled(BOOL enabled) override;
    LRESULT SetControlFocus(BOOL focus) override;
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) override;
    // Enter belongs to the window's default button, as in any text field.
    BOOL TakesEnterKey() const override { return FALSE; }

  private:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) const;
    void SetLooks(int look, int iconLook);

    InPlaceEdit m_edit;
    UINT m_endKey = 0;  // the key ending the edit, passed with code 29
    std::wstring m_placeholder;
    int m_limit = 120;
    BOOL m_readOnly = FALSE;
    BOOL m_numberOnly = FALSE;
    BOOL m_password = FALSE;
    wchar_t m_mask = L'\x25CF';
    BOOL m_multiLine = FALSE;
    COLORREF m_editBack = 0x222527;
    CRect m_textRect;
    const ImgResInfo* m_icon = nullptr;
    int m_look = 0;
    int m_iconLook = 0;
    bool m_pressed = false;
    bool m_iconPressed = false;
};

}  // namespace Orvix
