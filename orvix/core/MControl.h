#pragma once
// The base of every control: identity, geometry, visibility, children, input
// routing down the tree, focus, timers, tooltip and the render cache. A control
// has no native window; it paints into its window's back buffer.
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "orvix/core/Accessible.h"
#include "orvix/core/MObject.h"
#include "orvix/core/Notify.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Platform.h"

namespace Orvix {

class PaintManager;

// A layout position: mode 0 offset from an edge, 1 from the middle, 2 percent.
struct POSITION_ITEM {
    int mode = 0;
    BOOL fromFarEdge = FALSE;
    float amount = 0;
};

// Visual states of interactive controls; checkable ones add 4 when checked.
enum ControlState { STATE_NORMAL = 0, STATE_HOVER = 1, STATE_PRESSED = 2, STATE_DISABLED = 3, STATE_CHECKED = 4 };

class MControl : public MObject {
public:
    MControl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    const wchar_t* GetClassNameW() const override { return L"MControl"; }

    // ---- virtual hooks, in the order controls override them ----
    virtual void InitControl(PaintManager* manager);
    virtual BOOL PtInRect(CPoint pt);
    virtual void DrawControl(Canvas& canvas, CRect rcPaint) = 0;
    virtual BOOL DrawSubControls(Canvas& canvas, CRect rcPaint);
    virtual BOOL IsDraw(CPoint pt);
    virtual void SetUpdate(BOOL valid, COLORREF back);
    virtual LRESULT SetControlFocus(BOOL focus);
    virtual void InitUI(CRect rect);
    virtual void OnMousePointChange(CPoint& pt);
    virtual BOOL OnCheckMouseResponse(UINT flags, CPoint pt);
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(BOOL visible);
    virtual void SetControlWndVisible(BOOL visible);
    virtual void SetControlEnabled(BOOL enabled);
    virtual BOOL OnControlTimer();
    virtual std::shared_ptr<Image> GetControlDropBitmap();
    virtual BOOL OnControlMouseMove(UINT flags, CPoint pt);
    virtual BOOL OnControlSetCursor(UINT flags, CPoint pt);
    virtual BOOL OnControlLButtonDown(UINT flags, CPoint pt);
    virtual BOOL OnControlLButtonUp(UINT flags, CPoint pt);
    virtual BOOL OnControlLButtonDblClk(UINT flags, CPoint pt);
    virtual BOOL OnControlScroll(int bar, UINT direction, CPoint pt);
    virtual BOOL OnControlRButtonDown(UINT flags, CPoint pt);
    virtual BOOL OnControlRButtonUp(UINT flags, CPoint pt);
    virtual BOOL OnControlRButtonDblClk(UINT flags, CPoint pt);
    virtual BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers);
    virtual void OnPositionChange();
    virtual void InvalidateRect(const RECT* rect, BOOL erase = FALSE);

    // ---- hit testing: one rule for every window ----
    // A control that only draws (labels, pictures, backgrounds, bare
    // containers) answers TRUE: the pointer passes through it to what lies
    // beneath, while its children still take it.
    virtual BOOL IsDecoration() const { return FALSE; }
    // The deepest control of this subtree that takes the pointer at `pt` (in
    // the coordinates this control's rect is in), or null when the pointer
    // passes through. A control takes it when it is visible, responsive,
    // inside every rect up the chain, accepts the point
    // (OnCheckMouseResponse) and is not decoration (decoration with a tooltip
    // takes motion, so the tooltip shows). Later children lie over earlier
    // ones and are tried first. A disabled control takes no press (what lies
    // beneath it does) and takes motion only to show its tooltip.
    MControl* HitTest(CPoint pt, UINT flags = 0, bool press = false);
    // The pointer left this control and whatever of its subtree it was over:
    // each of them hears a move to (-1, -1) and shows its normal look.
    void OnMouseLeave();

    // ---- keyboard use (focus chain, focus ring, Space, Enter, arrows) ----
    // Controls made of items (rows, cards, tabs) say how many there are and
    // where each lies, in the coordinates of the control's rect; the focus
    // ring then frames the current item, arrows move it, and Enter or Space
    // do what a click on it does. A control without items is one item.
    virtual int GetKeyItemCount() { return 0; }
    virtual CRect GetKeyItemRect(int index) { (void)index; return {}; }
    // The item the keyboard starts on when the control gains focus (the selection).
    virtual int GetInitialKeyItem() { return 0; }
    // TRUE where an arrow chooses the item it moves to (tab strips, radio-like
    // rows); elsewhere arrows only move the ring and Enter chooses.
    virtual BOOL ArrowChooses() const { return FALSE; }
    // Keys the focus control gets after its own OnControlKeyDown declined:
    // Space and Enter click the current item, arrows move among the items.
    virtual BOOL OnFocusKey(UINT vk, UINT modifiers);
    // Whether Enter activates the control (text fields leave Enter to the
    // window's default button).
    virtual BOOL TakesEnterKey() const { return TRUE; }
    // Children the control serves with its own keys (scroll bars, step
    // buttons) are left out of the focus chain.
    virtual BOOL ServesChildKeys() const { return FALSE; }
    // What a click at the current item's centre does: a press and a release
    // there through the control's own input handlers.
    BOOL ClickKeyItem();
    int GetKeyItem() const { return m_keyItem; }
    void SetKeyItem(int index);
    // The current item changed (a scrolling control brings it into view).
    virtual void OnKeyItemChanged(int index);
    // Where the focus ring goes: the current item, else the whole control (own coordinates).
    CRect GetFocusRect();

    // ---- assistive technology ----
    // What the control tells a screen reader about itself: its role, name,
    // states, value, text and items. Called on the UI thread, only while
    // assistive technology listens. The default: decoration is left out (its
    // children are not), anything else that takes input is a push button.
    virtual void DescribeAccessible(AccessibleInfo& info);
    // A name for controls that show no text (picture buttons): the owner sets
    // it from its language texts, and sets it again when the language changes.
    void SetAccessibleName(const std::wstring& name);
    const std::wstring& GetAccessibleName() const { return m_accessibleName; }
    // Names for the items of a control whose items show pictures only (the button map).
    void SetAccessibleItemNames(std::vector<std::wstring> names);
    const std::vector<std::wstring>& GetAccessibleItemNames() const { return m_accessibleItemNames; }
    // A control whose name is the text of a label beside it (the label's id in
    // the same window): the name then follows the label's text and language.
    void SetLabelledBy(UINT labelId) { m_labelledBy = labelId; }
    UINT GetLabelledBy() const { return m_labelledBy; }
    // A number that names the control for as long as it lives (never reused).
    uint64_t GetSerial() const { return m_serial; }

    // ---- input routing (the window hands each event to a top-level control) ----
    BOOL OnMouseMove(UINT flags, CPoint pt);
    BOOL OnLButtonDown(UINT flags, CPoint pt);
    BOOL OnLButtonUp(UINT flags, CPoint pt);
    BOOL OnLButtonDblClk(UINT flags, CPoint pt);
    BOOL OnRButtonDown(UINT flags, CPoint pt);
    BOOL OnRButtonUp(UINT flags, CPoint pt);
    BOOL OnRButtonDblClk(UINT flags, CPoint pt);
    BOOL OnScroll(int bar, UINT direction, CPoint pt);
    BOOL OnKeyDown(UINT vk, UINT repeat, UINT modifiers);
    BOOL OnTimer();
    // The child whose subtree takes the pointer at a point this control got
    // (`raw`, and `moved` as OnMousePointChange moved it), or null.
    MControl* ChildAt(CPoint raw, CPoint moved, UINT flags, bool press);

    // ---- notification and repaint requests ----
    LRESULT SendMessageW(UINT code, WPARAM wParam = 0, LPARAM lParam = 0);
    void UpdateControl(BOOL rerender = FALSE, BOOL force = FALSE);
    void UpdateControl(CRect rect, BOOL force, BOOL rerender);
    void UpdateAControl(BOOL flag, BOOL force = FALSE);

    // ---- tree ----
    MControl* GetControl(UINT id);
    std::vector<MControl*>& GetControls() { return m_controls; }
    std::vector<MControl*>& GetAreas() { return m_areas; }
    // Takes ownership and appends to the controls list (kind 1) or areas (kind 0).
    void AddChild(MControl* child, int kind);
    MObject* GetParantObject() const { return m_parent; }
    void SetParent(MObject* parent) { m_parent = parent; }
    PaintManager* GetManager() const { return m_manager; }
    void SetManager(PaintManager* manager);
    LRESULT RemoveControl(MControl* control);
    void RemoveAllControl();

    // ---- identity, geometry, state ----
    UINT GetID() const { return m_id; }
    void SetID(UINT id) { m_id = id; }
    void SetRect(CRect rect);
    void SetRect(int x, int y, int cx, int cy);
    const CRect& GetRect() const { return m_rect; }
    void SetVisible(BOOL visible);
    void SetVisible(BOOL visible, BOOL redraw);
    BOOL IsVisible() const { return m_visible; }
    BOOL IsParentVisible() const;
    void SetEnabled(BOOL enabled);
    BOOL IsEnabled() const { return m_enabled; }
    void SetRresponse(BOOL response) { m_response = response; }
    BOOL GetRresponse() const { return m_response; }
    void SetHotKey(UINT vk, UINT modifiers) { m_hotKey = vk, m_hotKeyModifiers = modifiers; }
    BOOL GetUpdate() const { return m_cacheValid; }
    BOOL IsAnimatePending() const { return m_animatePending; }
    MControl* GetHoverChild() const { return m_hoverChild; }
    BOOL IsMouseDownInside() const { return m_mouseDownInside; }

    // One of "arrow", "wait", "cross", "sizewe", "sizens", "hand", "help"; other
    // names keep the current cursor.
    void SetCursorEx(const wchar_t* name);
    CursorKind GetCursor() const { return m_cursor; }

    void SetTooltip(const wchar_t* text);
    void SetTooltip(const std::wstring& text, CRect rect);
    void ClearTooltip();
    const std::wstring& GetTooltip() const { return m_tooltip; }

    void OnFocus(BOOL focus);
    BOOL IsFocused() const { return m_focused; }
    BOOL IsFocusControl() const;
    MControl* GetFocusControl() const;
    MControl* GetNextFocusableControl() const;
    MControl* GetPrevFocusableControl() const;
    // Every control that takes input is a tab stop unless it says otherwise.
    void SetTabStop(BOOL tabStop) { m_tabStop = tabStop; }
    BOOL IsTabStop() const { return m_tabStop; }
    void SetDragDrop(BOOL dragDrop) { m_dragDrop = dragDrop; }
    BOOL IsDragDrop() const { return m_dragDrop; }
    void SetDblClk(BOOL dblClk) { m_dblClk = dblClk; }
    BOOL GetDblClk() const { return m_dblClk; }
    void SetNotifyDblClk(BOOL notify) { m_notifyDblClk = notify; }
    void SetTrackLeave(BOOL track) { m_trackLeave = track; }
    BOOL IsPointerOutside() const { return m_pointerOutside; }

    // ---- timers ----
    BOOL SetTimer(UINT key, UINT elapseMs);
    BOOL KillTimer(UINT key);
    void AddMTimer();
    void SetRunTimer(BOOL run) { m_runTimer = run; }
    BOOL IsRunTimer() const { return m_runTimer; }
    UINT GetTooltipCtrlID() const { return 0; }
    void SetTooltipCtrlID(UINT) {}

    // ---- painting ----
    void Draw(Canvas& canvas, CRect rcPaint);
    // Makes the render cache a cx x cy layer of `target` at the control's corner
    // (re-created when it would not match the target's pixels) and marks it
    // valid; the caller then renders into GetMemCanvas().
    Canvas& UpdateMemDC(Canvas& target, int cx, int cy);
    Canvas& UpdateAnimateDC(Canvas& target, int cx, int cy);
    Canvas* GetMemCanvas() const { return m_cache.empty() ? nullptr : m_cache.front().get(); }
    Canvas* GetAnimateCanvas() const { return m_animate.get(); }
    // The usual cached paint: when the cache is stale, `slices` looks are
    // rendered, each in a layer of `canvas` over a copy of what lies beneath
    // the control (local coordinates: the control's corner is (0, 0)); then
    // slice `slice` is copied to the control's rect, pixel for pixel.
    template <typename Render>
    void DrawCached(Canvas& canvas, const CRect& rcPaint, int slices, int slice, Render render);

    static int PositionItem2Value(const POSITION_ITEM& item, int lo, int hi);

    // Controls belong to the thread that made them (the UI thread); other
    // threads post to it. With the check on (builds without NDEBUG, or
    // ORVIX_THREAD_CHECK=1; ORVIX_THREAD_CHECK=0 turns it off) a control
    // touched from another thread aborts with a message naming `what`.
    void CheckUIThread(const char* what) const;
    static bool ThreadCheckEnabled();
    // Depth-first lookup: the controls list first, then the areas.
    static MControl* FindControl(const std::vector<MControl*>& controls, const std::vector<MControl*>& areas,
                                 UINT id);
    // A repaint request of `changed` over `rc`: every later visible sibling that
    // overlaps it must paint over it again, so its cache goes stale and its rect
    // joins the returned dirty rect.
    static CRect WidenDirtyRect(const std::vector<MControl*>& areas, const std::vector<MControl*>& controls,
                                const MControl* changed, CRect rc, COLORREF back);

protected:
    // The point given to a child: containers' own scroll bars (ids 1 and 2) do
    // not move with the content.
    static CPoint PointForChild(const MControl* child, CPoint raw, CPoint translated);
    CPoint ChildPoint(const MControl* child, CPoint raw);
    void PrepareCache(Canvas& canvas, int slices);
    void BlitCache(Canvas& canvas, const CRect& rcPaint, int slice);

    MObject* m_parent = nullptr;
    PaintManager* m_manager = nullptr;
    UINT m_id = 0;
    CRect m_rect;
    BOOL m_visible = TRUE;
    BOOL m_enabled = TRUE;
    BOOL m_response = TRUE;
    BOOL m_mouseDownInside = FALSE;
    UINT m_hotKey = 0;
    UINT m_hotKeyModifiers = 0;
    BOOL m_cacheValid = FALSE;
    BOOL m_animatePending = FALSE;
    std::vector<MControl*> m_areas;
    std::vector<MControl*> m_controls;
    MControl* m_hoverChild = nullptr;
    std::vector<std::unique_ptr<Canvas>> m_cache;  // one layer per look
    std::unique_ptr<Canvas> m_animate;
    std::wstring m_tooltip;
    CursorKind m_cursor = CursorKind::None;
    BOOL m_dragDrop = FALSE;
    BOOL m_tabStop = TRUE;
    BOOL m_runTimer = FALSE;
    BOOL m_focused = FALSE;
    BOOL m_dblClk = FALSE;
    BOOL m_notifyDblClk = FALSE;
    BOOL m_trackLeave = FALSE;
    BOOL m_pointerOutside = TRUE;
    BOOL m_pointerOnSelf = FALSE;  // the last move this control handled itself was over it
    int m_keyItem = -1;            // the keyboard's current item (-1: not chosen yet)

private:
    // The pointer went from this control's own area onto a child, or away.
    void LeaveSelf();
    // The control that takes the focus for a press on this one: itself when it
    // is in the focus chain, else its nearest ancestor that is.
    MControl* FocusTargetForPress();

    // A press finds its child: the child under it takes the hover (the old one
    // hears it end); null when the press is this control's own. `childPoint` is
    // the press in the child's terms.
    MControl* PressTarget(UINT flags, CPoint pt, CPoint& childPoint);
    BOOL RouteButtonDown(UINT flags, CPoint pt, bool left);
    BOOL RouteButtonUp(UINT flags, CPoint pt, bool left);
    BOOL RouteDblClk(UINT flags, CPoint pt, bool left);
    MControl* FocusedChild() const;
    // A control that went hidden or disabled ends an in-place edit inside it:
    // a hidden page must not keep taking keystrokes.
    void ReleaseInputInside();

    std::thread::id m_uiThread = std::this_thread::get_id();
    std::wstring m_accessibleName;
    std::vector<std::wstring> m_accessibleItemNames;
    UINT m_labelledBy = 0;
    uint64_t m_serial;
};

template <typename Render>
void MControl::DrawCached(Canvas& canvas, const CRect& rcPaint, int slices, int slice, Render render) {
    if (!m_cacheValid || int(m_cache.size()) != slices || !m_cache.front()->IsLayerOf(canvas, m_rect)) {
        PrepareCache(canvas, slices);
        const CRect local(0, 0, m_rect.Width(), m_rect.Height());
        for (int i = 0; i < slices; ++i) {
            m_cache[size_t(i)]->PushClip(local);
            render(*m_cache[size_t(i)], i, local);
            m_cache[size_t(i)]->PopClip();
        }
    }
    BlitCache(canvas, rcPaint, slice);
}

}  // namespace Orvix
