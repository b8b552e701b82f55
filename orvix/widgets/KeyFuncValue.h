#pragma once
// The concrete functions of the chosen kind: KeyFuncType's list with 30-pixel
// rows and no icons (an icon given is loaded but not drawn).
#include "orvix/widgets/KeyFuncType.h"

namespace Orvix {

class KeyFuncValue : public KeyFuncType {
  public:
    KeyFuncValue(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, int visible = 1,
                 int enabled = 1);
    KeyFuncValue(MObject* parent, UINT id, CRect rect, int visible, int enabled)
        : KeyFuncValue(parent, id, rect, nullptr, visible, enabled) {}

    const wchar_t* GetClassNameW() const override { return L"KeyFuncValue"; }
};

}  // namespace Orvix
