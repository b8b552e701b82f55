#pragma once
// The drop-down of a combo box: a tool pop-up window holding a CComboBoxList
// with the combo's items, font and alignment, 6 pixels in from its top and
// bottom edges.
#include "orvix/controls/CComboBoxList.h"
#include "orvix/controls/MPopupWnd.h"

namespace Orvix {

class MComboBox;

class ComboWnd : public MPopupWnd {
  public:
    void DescribeWindow(AccessibleInfo& info) override;
    static constexpr UINT kListId = 100;

    explicit ComboWnd(MComboBox* combo) : m_combo(combo) {}
    const wchar_t* GetWindowClassName() const override { return L"ComboWnd"; }
    WindowKind GetWindowKind() const override { return WindowKind::DropdownMenu; }

    CComboBoxList* GetList() { return dynamic_cast<CComboBoxList*>(GetControl(kListId)); }
    // The combo is going away first.
    void Detach() { m_combo = nullptr; }

    void InitUI(CRect client) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNcActivate(BOOL active) override;
    LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam) override;
    LRESULT PostNcDestroy() override;

  private:
    MComboBox* m_combo;
    bool m_closing = false;  // closed by a choice or Esc, not by a press elsewhere
};

}  // namespace Orvix
