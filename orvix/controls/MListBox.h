#pragma once
// A list of text rows: a left press selects the row under the pointer (-1
// when none) and sends code 1 with the selection, a double click on a row
// opens the rename edit (when on), a right release sends code 5.
#include "orvix/controls/MListBase.h"

namespace Orvix {

class MListBox : public MListBase {
  public:
    MListBox(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);

    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDblClk(UINT flags, CPoint pt) override;
    BOOL OnControlRButtonUp(UINT flags, CPoint pt) override;
};

}  // namespace Orvix
