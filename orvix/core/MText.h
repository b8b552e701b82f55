#pragma once
// A label: the title in the control's font, colour and alignment, on one line
// (no wrap) or word-wrapped over several. Always created not enabled. Its text
// is laid out once and then blitted until the text, font, colour or rect change.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class MText : public MControlFont {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MText(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
          BOOL enabled = FALSE);

    void EnableMultiLine(BOOL multiLine);
    BOOL IsMultiLine() const { return m_multiLine; }
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // It only draws: the pointer passes through it.
    BOOL IsDecoration() const override { return TRUE; }


private:
    BOOL m_multiLine = FALSE;
    TextBlock m_wrapped;  // the multi-line text, laid out until text, font, colour or rect change
};

}  // namespace Orvix
