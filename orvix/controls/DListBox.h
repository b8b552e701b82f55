#pragma once
// A list of text rows with in-place renaming: a left release on a row selects
// it and sends code 2 (the owner reads GetCurSel or GetCurData), a right press
// selects and opens the rename edit (when on), a right release sends code 5
// with the selection, and a rename that changed the text arrives as code 29.
#include "orvix/controls/MListBase.h"

namespace Orvix {

class DListBox : public MListBase {
  public:
    DListBox(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);

    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDblClk(UINT flags, CPoint pt) override;
    BOOL OnControlRButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlRButtonUp(UINT flags, CPoint pt) override;
};

}  // namespace Orvix
