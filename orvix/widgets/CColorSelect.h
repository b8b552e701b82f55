#pragma once
// A row of round colour swatches (the lighting presets unless the owner sets
// its own colours): the colour palette laid out as one strip.
#include "orvix/widgets/CColorPalette.h"

namespace Orvix {

class CColorSelect : public CColorPalette {
  public:
    CColorSelect(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                 BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CColorSelect"; }
    // Selects the swatch at `index` without notifying (ignored outside the row).
    void SetColorIndex(int index) { Select(index); }
};

}  // namespace Orvix
