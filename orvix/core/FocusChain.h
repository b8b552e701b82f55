#pragma once
// The controls of one window that take the keyboard focus, in reading order:
// what Tab and Shift+Tab walk. It is built afresh for each use, because
// controls come and go, show and hide, and move.
#include <vector>

#include "orvix/platform/WinTypes.h"

namespace Orvix {

class MControl;
class PaintManager;

class FocusChain {
  public:
    explicit FocusChain(PaintManager& manager);

    // Visible all the way up to its window, enabled, responsive, a tab stop,
    // not decoration, with a rect, and not a child that its container serves
    // with its own keys (scroll bars, step buttons).
    static bool IsFocusable(const MControl* control);
    // A control's rect in window client coordinates (scrolled containers applied).
    static CRect WindowRect(const MControl* control);

    // Containers keep their content together; among siblings, rows go from top
    // to bottom and each row from left to right.
    const std::vector<MControl*>& Controls() const { return m_controls; }
    // The control after (forward) or before `from`, wrapping round; when
    // `from` is not in the chain, the first (or last) one. Null when empty.
    MControl* Next(const MControl* from, bool forward) const;
    bool Holds(const MControl* control) const;

  private:
    void Collect(const std::vector<MControl*>& siblings, std::vector<MControl*>& out) const;

    std::vector<MControl*> m_controls;
};

}  // namespace Orvix
