#pragma once
// A device status line: its image (first frame, left, centred vertically) and
// its title centred in the rest. It takes no input.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class CDeviceState : public MControlFont {
  public:
    CDeviceState(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                 BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CDeviceState"; }
    BOOL SetImage(const wchar_t* file, int count = 1) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // It only draws: the pointer passes through it.
    BOOL IsDecoration() const override { return TRUE; }

};

}  // namespace Orvix
