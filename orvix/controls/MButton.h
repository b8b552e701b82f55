#pragma once
// A push button: a 4-frame skin strip nine-sliced with the frame size as
// inset, an optional icon and the title centred. Code 1 on press, code 2 on
// click; a hot key clicks it.
#include "orvix/controls/MButtonBase.h"

namespace Orvix {

class MButton : public MButtonBase {
public:
    MButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
            BOOL enabled = TRUE);

    // The icon strip (frames follow the button state when it has 4 or more).
    BOOL SetIconImage(const wchar_t* file, int count = 4);
    // Where the title goes, relative to the control (empty: the whole control).
    void SetTextRect(CRect rect);
    CRect GetTextRect() const { return m_textRect; }

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;
    // Icon and title of a look, over whatever lies in the slice.
    void RenderContent(Canvas& canvas, int look, const CRect& slice);
    // The icon frame for a look at (x, y), natural size.
    void DrawIcon(Canvas& canvas, int x, int y, int look) const;
    CSize IconSize() const { return {m_iconWidth, m_iconHeight}; }

    const Image* m_icon = nullptr;  // owned by the window's image cache
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    int m_iconCount = 1;
    CRect m_textRect;
};

}  // namespace Orvix
