#pragma once
// One entry of a pop-up menu: an optional icon (or a check mark) in a left
// column, the text, and an arrow when it opens a sub-menu; a separator is a
// 1-pixel line. Hovering fills it with the hover colour. A click sends code 2
// with wParam = its value; items with a group name check themselves and
// uncheck the other items of the group.
#include "orvix/controls/MButtonBase.h"
#include "orvix/controls/MGroupCheck.h"

namespace Orvix {

class MWindow;

class MenuItem : public MButtonBase, public MGroupCheck {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MenuItem(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"MenuItem"; }
    void SetCheck(BOOL check);
    void SetControlCheck(BOOL check) override { StoreCheck(check); }
    void SetSeparator(BOOL separator);
    BOOL IsSeparator() const { return m_separator; }
    // A sub-menu window shown at the item's right edge while it is hovered.
    void SetPopupMenu(MWindow* menu) { m_popup = menu; }
    MWindow* GetPopupMenu() const { return m_popup; }
    void ShowPopupMenu();
    void SetValue(int value) { m_value = value; }
    int GetValue() const { return m_value; }
    // Width of the left column that holds the icon or check mark (0: automatic).
    void SetFrameWidth(int width);
    // The icon column this item needs by itself; a menu gives all its items
    // the widest, so texts with and without icons line up.
    int NaturalColumn() const;
    void SetIndent(int indent);
    void SetHoverColor(Color color);

  protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;
    void OnPressed() override {}
    void OnClicked() override;
    void OnHoverChanged(BOOL hover) override;

  private:
    int ColumnWidth() const;

    BOOL m_separator = FALSE;
    MWindow* m_popup = nullptr;  // not owned
    int m_value = 0;
    int m_column = 0;
    int m_indent = 5;
    Color m_hoverColor = Color(0xFFDCDCDC);
};

}  // namespace Orvix
