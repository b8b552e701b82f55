#pragma once
// A colour swatch with an arrow that shows whether its drop-down is open.
// Code 1 on press, code 2 on click; the owner opens and closes the drop-down.
#include "orvix/controls/MButtonBase.h"

namespace Orvix {

class CColorCombo : public MButtonBase {
public:
    CColorCombo(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    void SetAreaColor(COLORREF color);
    COLORREF GetAreaColor() const { return m_color; }
    void SetIsOpen(BOOL open);
    BOOL GetIsOpen() const { return m_open; }

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;

private:
    COLORREF m_color = 0xFFFFFF;
    BOOL m_open = FALSE;
};

}  // namespace Orvix
