#pragma once
// The check that every text a control draws shows whole: a label, button, radio
// or check box, list row or card whose laid-out text is wider or taller than its
// rect is reported. Controls that are made to cut a long text with an ellipsis
// pass when they show the whole text as a tooltip. Off unless a test turns it on
// or ORVIX_TEXT_FIT=1 is set, in which case each finding is printed once.
#include <string>
#include <vector>

#include "orvix/platform/TextFitMeasure.h"

namespace Orvix {

class MControl;

struct TextFitReport {
    std::wstring window;     // the title of the control's window
    std::wstring className;  // the control's class
    UINT id = 0;
    std::wstring text;
    CSize rect;           // the room the text had
    CSize needed;         // what it takes laid out
    bool elided = false;  // cut with an ellipsis, without a tooltip
};

class TextFit {
  public:
    static bool IsEnabled();
    static void Enable(bool on);
    // The findings so far (each control and text once); the list is emptied.
    static std::vector<TextFitReport> TakeReports();

    // Checks `text` laid out in `rect` with `style` as `control` draws it.
    // `tooltipWhenElided`: the control shows the whole text as a tooltip when it
    // is cut with an ellipsis.
    static void Check(const MControl& control, const std::wstring& text, const CRect& rect,
                      const TextStyle& style, bool tooltipWhenElided = false);
    static std::wstring Describe(const TextFitReport& report);
};

// Rows and captions that cut a long text show it whole as a tooltip while the
// pointer is over them: sets `control`'s tooltip to `text` over `area` when the
// text drawn in `textRect` with `style` is elided, and takes away a tooltip of
// the control's that says something else.
void ShowElidedTextTooltip(MControl& control, const std::wstring& text, const CRect& textRect,
                           const TextStyle& style, const CRect& area);
// Takes away the control's tooltip, if it has the one shown.
void HideElidedTextTooltip(MControl& control);
// For a control with one text: its tooltip becomes `text` while the text is cut
// (`elided`), and what it set goes again once the text shows whole; a tooltip of
// the owner's own is left alone then. `set` remembers what it set.
void KeepElidedTooltip(MControl& control, bool elided, const std::wstring& text, std::wstring& set);

}  // namespace Orvix
