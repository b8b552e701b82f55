#pragma once
// The base of every container control: creates children through the container
// factory, passes their notifications up unchanged, and widens their repaint
// requests over later siblings. Scrolling (the scroll bars with ids 1 and 2)
// comes with the container controls; GetScrollOffset is its hook.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class MPanel : public MControlFont {
public:
    MPanel(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
           BOOL enabled = TRUE);

    virtual MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = nullptr,
                                 int visible = 1, int enabled = 1);
    // kind 0 areas, 1 controls, other kinds register the control nowhere.
    virtual MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                    const wchar_t* title, int visible, int enabled);
    virtual MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = nullptr,
                                    int visible = 1, int enabled = 1);
    virtual BOOL OnControlKeyUp(UINT vk, UINT repeat, UINT modifiers);

    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlUpdate(CRect rc, BOOL rerender, MControl* control) override;
    void OnMousePointChange(CPoint& pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

    // How far the content is scrolled (0, 0 until scrolling exists).
    virtual CPoint GetScrollOffset() const { return {0, 0}; }
};

}  // namespace Orvix
