#pragma once
// Group exclusivity of radio-style controls: when one becomes checked, every
// sibling (same parent) with the same class name and group name is unchecked.
#include <string>

#include "orvix/core/MControl.h"

namespace Orvix {

class MGroupCheck {
public:
    virtual ~MGroupCheck() = default;
    void SetGroupName(const std::wstring& name) { m_groupName = name; }
    const std::wstring& GetGroupName() const { return m_groupName; }
    // Sets the check without touching the group (what a group reset calls).
    virtual void SetControlCheck(BOOL check) = 0;

    // Unchecks every sibling of `self` in its group; siblings are the children
    // of its parent control, or the window's top-level controls with the same
    // parent when the parent is the window. With `activeOnly` hidden and
    // disabled siblings keep their check.
    static void ResetGroupCheck(MControl* self, bool activeOnly = false);
    // Arrows inside a group: the previous (Left, Up) or next (Right, Down)
    // shown and enabled member takes the focus and is chosen as a click
    // chooses it. FALSE for other keys.
    static BOOL MoveInGroup(MControl* self, UINT vk);

protected:
    std::wstring m_groupName;
};

}  // namespace Orvix
