#pragma once
// The behaviour every button-like control shares: the visual state (normal,
// hover, pressed, disabled; +4 when checked), the hand cursor over it, press
// and click notifications, the hot key, and the render cache that holds every
// look side by side so that a state change is only a blit.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class MButtonBase : public MControlFont {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MButtonBase(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    // 0 normal, 1 hover, 2 pressed, 3 disabled.
    int GetState() const { return m_state; }
    // The look on screen: the state, plus 4 when checked.
    int GetVisualState() const { return m_state + (m_check ? STATE_CHECKED : 0); }
    BOOL GetCheck() const { return m_check; }
    // Inset of the nine-sliced state frame (default 8).
    virtual void SetFrameSize(int size);
    int GetFrameSize() const { return m_frameSize; }
    // Text colours per state; checked looks use the pressed colour.
    void SetTextButtonColor(Color normal, Color hover, Color pressed, Color disabled);

    void SetControlEnabled(BOOL enabled) override;
    void SetControlVisible(BOOL visible) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) override;
    BOOL OnFocusKey(UINT vk, UINT modifiers) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

protected:
    // Paints look `look` (0..7) into `rect` of the render cache.
    virtual void RenderLook(Canvas& canvas, int look, const CRect& rect) = 0;
    // A press landed inside; the state is already 2. Default: code 1.
    virtual void OnPressed();
    // Press and release both inside. Default: code 2.
    virtual void OnClicked();
    // The hot key. Default: a click.
    virtual void OnKeyActivate();
    // TRUE for controls whose check the keyboard changes (code 7 follows the click's codes).
    virtual BOOL TakesSpaceKey() const { return FALSE; }
    // How many looks the cache holds: 8 for checkable controls, else 4.
    virtual int LookCount() const { return m_checkable ? 8 : 4; }
    // The pointer entered (TRUE) or left (FALSE) the control; leaving also
    // covers a release outside, hiding and disabling.
    virtual void OnHoverChanged(BOOL hover) { (void)hover; }

    void SetState(int state);
    // Stores the check and repaints; returns TRUE when it changed.
    BOOL StoreCheck(BOOL check);
    // The frame of the control's strip that shows `look`: 8-frame strips have
    // every look, 4-frame strips show checked looks with the pressed frame.
    int FrameForLook(int look) const;
    // The strip frame of `look` drawn over `dst` (nine-sliced with the frame size).
    void DrawLookFrame(Canvas& canvas, const CRect& dst, int look) const;
    // The frame at its natural size at (x, y).
    void DrawLookFrameAt(Canvas& canvas, int x, int y, int look) const;
    Color TextColorFor(int look) const;
    // The window's bubble with the title next to a client point of this
    // window (mode as in MAirBladder), and hiding it again.
    void ShowTitleBubble(CPoint clientPt, int type, int mode);
    void HideTitleBubble(int mode);
    // A rect given relative to the control, moved into the look's slice.
    static CRect InSlice(const CRect& relative, const CRect& slice);

    int m_state = STATE_NORMAL;
    BOOL m_check = FALSE;
    BOOL m_checkable = FALSE;
    int m_frameSize = 8;
    bool m_stateColors = false;
    Color m_colors[4];
};

}  // namespace Orvix
