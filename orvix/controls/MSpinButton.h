#pragma once
// The container form of the spin box: one CSpinButton child filling it, under
// the same id, so its code 28 reaches the owner as this control's.
#include "orvix/controls/CSpinButton.h"
#include "orvix/core/MPanel.h"

namespace Orvix {

class MSpinButton : public MPanel {
  public:
    MSpinButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    BOOL SetCurValue(int value) { return m_spin->SetCurValue(value); }
    int GetCurValue() const { return m_spin->GetCurValue(); }
    void SetRange(int min, int max) { m_spin->SetRange(min, max); }
    void SetLimitLength(int length) { m_spin->SetLimitLength(length); }
    CSpinButton* GetSpin() const { return m_spin; }

    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(BOOL enabled) override;
    void SetTextColor(Color color) override;

  private:
    CSpinButton* m_spin;  // owned by the child list
};

}  // namespace Orvix
