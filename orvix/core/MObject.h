#pragma once
// The root of the toolkit's object model: run-time class identity and the two
// upward channels (notifications and repaint requests) every container serves.
#include "orvix/platform/WinTypes.h"

namespace Orvix {

class MControl;

class MObject {
public:
    virtual ~MObject() = default;
    // True when `name` equals GetClassNameW() character for character.
    virtual BOOL IsClass(const wchar_t* name);
    virtual const wchar_t* GetClassNameW() const { return nullptr; }
    virtual const wchar_t* GetObjectClass() { return nullptr; }
    virtual const wchar_t* BaseObjectClassName() { return nullptr; }
    // A child reports a user action (notification code) with its own id.
    virtual LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    // A child asks for a repaint of `rc`; `rerender` when its look changed.
    virtual LRESULT OnControlUpdate(CRect rc, BOOL rerender, MControl* control);
};

}  // namespace Orvix
