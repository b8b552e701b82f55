#pragma once
// A number field with two step buttons (child CImageButtons: 20 increase,
// 21 decrease) and an in-place edit for typing (codes 30, 26, 29). A step
// within the range that changes the text stores it and sends code 2 with the
// new value; the Space key while focused sends codes 1 and 2. Typed text is
// kept to the range when the edit closes.
#include <string>

#include "orvix/controls/InPlaceEdit.h"
#include "orvix/core/MPanel.h"

namespace Orvix {

class NumberEdit : public MPanel, public InPlaceEditHost {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    static constexpr UINT kIncreaseId = 20;
    static constexpr UINT kDecreaseId = 21;

    NumberEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
               BOOL enabled = TRUE);

    void SetEditText(const wchar_t* text);
    std::wstring GetEditText() const { return m_edit.TextOr(m_title); }
    void SetEditFont(const wchar_t* name, int size, int style = 0) { SetFont(name, size, style); }
    void SetEditBKColor(COLORREF color) { m_editBack = color; }
    void SetTextRect(CRect rect) { m_textRect = rect; }
    CRect GetTextRect() const;
    int GetMin() const { return m_min; }
    int GetMax() const { return m_max; }
    // Adds `delta` within the range; TRUE (and code 2) when the text changed.
    BOOL Step(int delta);
    BOOL ShowEdit();
    void HideEdit();
    BOOL IsEditing() const { return m_edit.IsOpen(); }
    MEditBox* OpenEditBox() override { return ShowEdit() ? m_edit.Peek() : nullptr; }

    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    LRESULT SetControlFocus(BOOL focus) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) override;
    // Keyboard: Up and Right click the increase button, Down and Left the
    // decrease one; Space opens the field as a click does; Enter is the window's.
    BOOL OnFocusKey(UINT vk, UINT modifiers) override;
    BOOL TakesEnterKey() const override { return FALSE; }
    BOOL ServesChildKeys() const override { return TRUE; }

  protected:
    struct Layout {
        const wchar_t* increaseImage;
        const wchar_t* decreaseImage;
        int buttonSize;
        int min, max;
    };
    NumberEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled,
               const Layout& layout);
    // Rects of the increase and decrease buttons for the current rect.
    virtual CRect IncreaseRect() const;
    virtual CRect DecreaseRect() const;
    const Layout m_layout;

  private:
    void PlaceButtons();

    InPlaceEdit m_edit;
    int m_min, m_max;
    COLORREF m_editBack = 0x222527;
    CRect m_textRect;
};

}  // namespace Orvix
