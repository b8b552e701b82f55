#pragma once
// A colour swatch that behaves as a radio button within its group (siblings
// of the same class and group name): a press checks it, unchecks the rest of
// the group and sends code 1; the release inside sends code 2. Looks: the
// rect filled with the colour; hover and pressed add a white frame, disabled
// a grey one; a checked swatch shows the pressed look.
#include <string>

#include "orvix/controls/MButtonBase.h"
#include "orvix/controls/MGroupCheck.h"

namespace Orvix {

class CColorButton : public MButtonBase, public MGroupCheck {
  public:
    CColorButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                 BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CColorButton"; }

    void SetColor(COLORREF color);
    COLORREF GetColor() const { return m_color; }
    // Only while enabled: stores the check and, when it became checked,
    // unchecks the group. Returns the check.
    BOOL SetCheck(BOOL check);
    // Stores the check and repaints; the group is left alone.
    void SetControlCheck(BOOL check) override { StoreCheck(check); }
    BOOL OnFocusKey(UINT vk, UINT modifiers) override {
        return (modifiers == 0 && MoveInGroup(this, vk)) || MButtonBase::OnFocusKey(vk, modifiers);
    }
    void SetGroupName(const wchar_t* name) { MGroupCheck::SetGroupName(name ? name : L""); }
    const std::wstring& GetGroupName() const { return m_groupName; }
    // Unchecks the visible, enabled members of the group other than this one.
    void ResetGroupCheck() { MGroupCheck::ResetGroupCheck(this, true); }
    void SetVisibleBorder(bool visible);
    bool GetVisibleBorder() const { return m_border; }

  protected:
    void OnPressed() override;
    void RenderLook(Canvas& canvas, int look, const CRect& rect) override;
    // Checks this button and resets its group: a press, or the keyboard.
    void CheckByUser();

    COLORREF m_color = 0xFFFFFF;
    bool m_border = false;
};

}  // namespace Orvix
