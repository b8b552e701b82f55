#pragma once
// The line between groups of menu entries: 1 pixel across the middle of its
// rect, in the menu's border colour.
#include "orvix/core/MControl.h"

namespace Orvix {

class MenuSeparator : public MControl {
  public:
    MenuSeparator(MObject* parent, UINT id, CRect rect, Color color)
        : MControl(parent, id, rect, nullptr, TRUE, FALSE), m_color(color) {
        SetRresponse(FALSE);
    }
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // It only draws: the pointer passes through it.
    BOOL IsDecoration() const override { return TRUE; }


  private:
    Color m_color;
};

}  // namespace Orvix
