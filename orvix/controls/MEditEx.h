#pragma once
// A single-line text field over the rich edit: the skin frame ("img_edit.png",
// four looks) around the box.
#include "orvix/controls/MRichEdit.h"

namespace Orvix {

class MEditEx : public MRichEdit {
  public:
    MEditEx(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
            BOOL enabled = TRUE);
    void InitControl(PaintManager* manager) override;
};

}  // namespace Orvix
