#pragma once
// A group-exclusive combo box: choosing an item (or SetCheck) checks it and
// clears the check of every sibling MComboBox2 with the same group name.
#include <string>

#include "orvix/controls/MComboBox.h"

namespace Orvix {

class MComboBox2 : public MComboBox {
  public:
    MComboBox2(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
               BOOL enabled = TRUE);
    const wchar_t* GetClassNameW() const override { return L"MComboBox2"; }

    // Checks (clearing the group) or unchecks.
    void SetCheck(BOOL check);
    BOOL GetCheck() const { return m_check; }
    // Sets the check alone, leaving the group as it is.
    void SetControlCheck(BOOL check);
    void SetGroupName(const std::wstring& group) { m_group = group; }
    const std::wstring& GetGroupName() const { return m_group; }
    // Clears the check of the other members of the group.
    void ResetGroupCheck();

    void OnItemChosen(int index) override;

  protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) const override;

  private:
    BOOL m_check = FALSE;
    std::wstring m_group;
};

}  // namespace Orvix
