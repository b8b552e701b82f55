#pragma once
// The small number field: 10 x 10 step buttons stacked at the right edge
// (increase above the middle, decrease below), range 1..20.
#include "orvix/controls/NumberEdit.h"

namespace Orvix {

class NumberEdit2 : public NumberEdit {
  public:
    NumberEdit2(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

  protected:
    CRect IncreaseRect() const override;
    CRect DecreaseRect() const override;
};

}  // namespace Orvix
