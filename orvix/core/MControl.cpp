#include "orvix/core/MControl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <typeinfo>

#include "orvix/core/DragDrop.h"
#include "orvix/core/FocusChain.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

BOOL MObject::IsClass(const wchar_t* name) {
    const wchar_t* own = GetClassNameW();
    return name && own && std::wcscmp(name, own) == 0;
}
LRESULT MObject::OnBaseMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }
LRESULT MObject::OnControlUpdate(CRect, BOOL, MControl*) { return 0; }

MControl::MControl(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : m_parent(parent),
      m_id(id),
      m_rect(rect),
      m_visible(visible),
      m_enabled(enabled),
      m_serial(NextAccessibleSerial()) {
    (void)title;  // the title belongs to MControlFont
}

MControl::~MControl() {
    RemoveAllControl();
    if (m_manager) m_manager->OnControlDestroyed(this);
}

// ---------------------------------------------------------------- assistive technology

void MControl::DescribeAccessible(AccessibleInfo& info) {
    if (IsDecoration() && m_accessibleName.empty()) {
        info.expose = false;
        return;
    }
    info.role = AccessibleRole::PushButton;
    info.action = L"click";
    info.name = !m_accessibleName.empty() ? m_accessibleName : m_tooltip;
    if (info.name != m_tooltip) info.description = m_tooltip;
}

void MControl::SetAccessibleName(const std::wstring& name) {
    if (name == m_accessibleName) return;
    m_accessibleName = name;
    AccessibilityNoteChange();
}

void MControl::SetAccessibleItemNames(std::vector<std::wstring> names) {
    if (names == m_accessibleItemNames) return;
    m_accessibleItemNames = std::move(names);
    AccessibilityNoteChange();
}

// ---------------------------------------------------------------- default hooks

void MControl::InitControl(PaintManager*) {}
BOOL MControl::PtInRect(CPoint pt) { return m_visible && m_rect.PtInRect(pt); }

BOOL MControl::DrawSubControls(Canvas& canvas, CRect rcPaint) {
    for (MControl* child : m_controls)
        if (child->IsVisible()) child->Draw(canvas, rcPaint);
    return TRUE;
}

BOOL MControl::IsDraw(CPoint) { return FALSE; }

void MControl::SetUpdate(BOOL valid, COLORREF back) {
    m_cacheValid = valid;
    for (MControl* child : m_controls)
        if (child->GetRect().Intersects(m_rect)) child->SetUpdate(valid, back);
}

LRESULT MControl::SetControlFocus(BOOL focus) {
    if (!focus)
        for (MControl* child : m_controls) child->OnFocus(FALSE);
    return 0;
}

void MControl::InitUI(CRect) {}
void MControl::OnMousePointChange(CPoint&) {}
BOOL MControl::OnCheckMouseResponse(UINT, CPoint) { return TRUE; }
LRESULT MControl::OnWindowMessage(UINT, WPARAM, LPARAM) { return 0; }
LRESULT MControl::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }
void MControl::SetControlRect(CRect rect) {
    if (rect == m_rect) return;
    // A cache holds the look at the old place and size (and what lies beneath).
    m_cacheValid = FALSE;
    const CRect old = m_rect;
    m_rect = rect;
    // Where it was shows what lay beneath again; where it is now shows it.
    if (!m_visible || !m_parent) return;
    if (!old.IsRectEmpty()) UpdateControl(old, FALSE, FALSE);
    if (!m_rect.IsRectEmpty()) UpdateControl(m_rect, FALSE, TRUE);
}
void MControl::SetControlVisible(BOOL visible) { m_visible = visible; }
void MControl::SetControlWndVisible(BOOL) {}
void MControl::SetControlEnabled(BOOL enabled) { m_enabled = enabled; }
BOOL MControl::OnControlTimer() { return FALSE; }
std::shared_ptr<Image> MControl::GetControlDropBitmap() { return nullptr; }
BOOL MControl::OnControlMouseMove(UINT, CPoint) { return FALSE; }

BOOL MControl::OnControlSetCursor(UINT, CPoint pt) {
    if (m_cursor == CursorKind::None || !m_rect.PtInRect(pt)) return FALSE;
    Platform::SetCursor(m_cursor);
    return TRUE;
}

BOOL MControl::OnControlLButtonDown(UINT, CPoint) { return FALSE; }
BOOL MControl::OnControlLButtonUp(UINT, CPoint) { return FALSE; }
BOOL MControl::OnControlLButtonDblClk(UINT, CPoint) { return FALSE; }
BOOL MControl::OnControlScroll(int, UINT, CPoint) { return FALSE; }
BOOL MControl::OnControlRButtonDown(UINT, CPoint) { return FALSE; }
BOOL MControl::OnControlRButtonUp(UINT, CPoint) { return FALSE; }
BOOL MControl::OnControlRButtonDblClk(UINT, CPoint) { return FALSE; }

BOOL MControl::OnControlKeyDown(UINT vk, UINT, UINT modifiers) {
    return m_hotKey != 0 && vk == m_hotKey && modifiers == m_hotKeyModifiers;
}

void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const RECT* rect, BOOL erase) {
    CheckUIThread("InvalidateRect");
    if (m_manager) m_manager->InvalidateRect(rect ? CRect(*rect) : m_rect, erase);
}

// ---------------------------------------------------------------- input routing

CPoint MControl::PointForChild(const MControl* child, CPoint raw, CPoint translated) {
    UINT id = child->GetID();
    return (id == 1 || id == 2) ? raw : translated;
}

CPoint MControl::ChildPoint(const MControl* child, CPoint raw) {
    CPoint moved = raw;
    OnMousePointChange(moved);
    return PointForChild(child, raw, moved);
}

MControl* MControl::HitTest(CPoint pt, UINT flags, bool press) {
    if (!m_visible || !m_response || !PtInRect(pt)) return nullptr;
    if (!m_enabled)
        return (!press && !m_tooltip.empty() && OnCheckMouseResponse(flags, pt)) ? this : nullptr;
    CPoint moved = pt;
    OnMousePointChange(moved);
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it)
        if (MControl* hit = (*it)->HitTest(PointForChild(*it, pt, moved), flags, press)) return hit;
    if (IsDecoration() && (press || m_tooltip.empty())) return nullptr;
    return OnCheckMouseResponse(flags, pt) ? this : nullptr;
}

MControl* MControl::ChildAt(CPoint raw, CPoint moved, UINT flags, bool press) {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it)
        if ((*it)->HitTest(PointForChild(*it, raw, moved), flags, press)) return *it;
    return nullptr;
}

namespace {
// Where a control that the pointer left is told the pointer went: outside
// every rect (the leave of Win32 toolkits, a move to (-1, -1)).
const CPoint kNowhere(-1, -1);
// While the keyboard clicks a control of a window (Esc's Cancel, a number
// field's step button), the focus of that window stays where it is (a window
// the click opens is not concerned). UI thread only.
const PaintManager* g_keyClicking = nullptr;
}  // namespace

void MControl::LeaveSelf() {
    if (!m_pointerOnSelf) return;
    m_pointerOnSelf = FALSE;
    if (m_visible) OnControlMouseMove(0, kNowhere);  // a hidden one shows no look to restore
    if (m_trackLeave) m_pointerOutside = TRUE;
}

void MControl::OnMouseLeave() {
    if (MControl* child = m_hoverChild) {
        m_hoverChild = nullptr;
        child->OnMouseLeave();
    }
    LeaveSelf();
}

BOOL MControl::OnMouseMove(UINT flags, CPoint pt) {
    if (!m_visible || !m_response) return FALSE;
    const CPoint raw = pt;
    CPoint moved = pt;
    OnMousePointChange(moved);

    // Each move is hit-tested afresh: the child under the pointer takes it,
    // whichever child had the last one. While a press that landed here is
    // held, the moves go where the press went (a drag follows the pointer).
    MControl* const old = m_hoverChild;
    MControl* target = m_mouseDownInside ? old : ChildAt(raw, moved, flags, false);
    if (old && old != target) {
        m_hoverChild = nullptr;
        old->OnMouseLeave();
    }
    if (target) {
        LeaveSelf();
        m_hoverChild = target;
        return target->OnMouseMove(flags, PointForChild(target, raw, moved));
    }

    if (!m_tooltip.empty() && m_rect.PtInRect(raw) && OnCheckMouseResponse(flags, raw) && m_manager &&
        m_manager->GetTooltipOwner() != m_id)
        m_manager->SetTooltip(m_tooltip.c_str(), m_rect, m_id);

    OnControlSetCursor(flags, raw);
    m_pointerOnSelf = TRUE;
    const BOOL answer = OnControlMouseMove(flags, raw);
    if (m_trackLeave) m_pointerOutside = !m_rect.PtInRect(raw);
    return answer || old != nullptr;  // a child that lost the pointer repaints
}

MControl* MControl::PressTarget(UINT flags, CPoint pt, CPoint& childPoint) {
    m_mouseDownInside = m_rect.PtInRect(pt);
    CPoint moved = pt;
    OnMousePointChange(moved);
    // The press goes to the topmost enabled child under it, the same one the
    // window's hit test found.
    MControl* target = ChildAt(pt, moved, flags, true);
    if (m_hoverChild && m_hoverChild != target) {
        MControl* old = m_hoverChild;
        m_hoverChild = nullptr;
        old->OnMouseLeave();
    }
    if (target) {
        LeaveSelf();
        m_hoverChild = target;
        childPoint = PointForChild(target, pt, moved);
    }
    return target;
}

BOOL MControl::RouteButtonDown(UINT flags, CPoint pt, bool left) {
    if (!m_visible || !m_response) return FALSE;
    CPoint p;
    if (MControl* target = PressTarget(flags, pt, p))
        return left ? target->OnLButtonDown(flags, p) : target->OnRButtonDown(flags, p);
    // The press is this control's own: its release must come back here, not go
    // to a child that was last under the pointer (hidden or moved meanwhile).
    m_hoverChild = nullptr;
    m_pointerOnSelf = TRUE;
    if (m_manager && m_manager != g_keyClicking) m_manager->SetFocusControl(this);
    // The keyboard carries on from the item that was clicked (where it is:
    // a click never scrolls).
    for (int i = 0, n = GetKeyItemCount(); i < n; ++i)
        if (GetKeyItemRect(i).PtInRect(pt)) {
            if (i != m_keyItem && m_manager) {
                m_keyItem = i;
                m_manager->OnFocusRingMoved(this);
            }
            break;
        }
    const BOOL answer = left ? OnControlLButtonDown(flags, pt) : OnControlRButtonDown(flags, pt);
    if (left && m_dragDrop && m_enabled && m_rect.PtInRect(pt)) DragTracker::Begin(*this, pt);  // a drag source
    return answer;
}

BOOL MControl::RouteButtonUp(UINT flags, CPoint pt, bool left) {
    if (!m_visible || !m_response) return FALSE;
    m_mouseDownInside = FALSE;
    if (MControl* hover = m_hoverChild) {
        CPoint p = ChildPoint(hover, pt);
        return left ? hover->OnLButtonUp(flags, p) : hover->OnRButtonUp(flags, p);
    }
    return left ? OnControlLButtonUp(flags, pt) : OnControlRButtonUp(flags, pt);
}

BOOL MControl::RouteDblClk(UINT flags, CPoint pt, bool left) {
    if (!m_visible || !m_response) return FALSE;
    // The second press of a pair: it lands where the hit test says, and its
    // release comes back the way a press's does.
    CPoint p;
    if (MControl* hover = PressTarget(flags, pt, p)) {
        BOOL handled = left ? hover->OnLButtonDblClk(flags, p) : hover->OnRButtonDblClk(flags, p);
        if (!handled && !hover->GetDblClk())
            handled = left ? hover->OnLButtonDown(flags, p) : hover->OnRButtonDown(flags, p);
        return handled;
    }
    m_hoverChild = nullptr;
    if (!m_dblClk) {
        if (m_manager && m_manager != g_keyClicking) m_manager->SetFocusControl(this);
        return left ? OnControlLButtonDown(flags, pt) : OnControlRButtonDown(flags, pt);
    }
    if (m_notifyDblClk && m_rect.PtInRect(pt)) SendMessageW(Notify::DoubleClicked, flags, reinterpret_cast<LPARAM>(&pt));
    return left ? OnControlLButtonDblClk(flags, pt) : OnControlRButtonDblClk(flags, pt);
}

BOOL MControl::OnLButtonDown(UINT flags, CPoint pt) { return RouteButtonDown(flags, pt, true); }
BOOL MControl::OnRButtonDown(UINT flags, CPoint pt) { return RouteButtonDown(flags, pt, false); }
BOOL MControl::OnLButtonUp(UINT flags, CPoint pt) { return RouteButtonUp(flags, pt, true); }
BOOL MControl::OnRButtonUp(UINT flags, CPoint pt) { return RouteButtonUp(flags, pt, false); }
BOOL MControl::OnLButtonDblClk(UINT flags, CPoint pt) { return RouteDblClk(flags, pt, true); }
BOOL MControl::OnRButtonDblClk(UINT flags, CPoint pt) { return RouteDblClk(flags, pt, false); }

BOOL MControl::OnScroll(int bar, UINT direction, CPoint pt) {
    if (!m_visible || !m_response || !m_enabled) return FALSE;
    if (!m_rect.PtInRect(pt)) return FALSE;
    CPoint moved = pt;
    OnMousePointChange(moved);
    // The control under the pointer first; what it declines goes up to its
    // container (a list inside a scrolled page scrolls itself, a button there
    // lets the page scroll), then to the other children under the point.
    MControl* target = ChildAt(pt, moved, 0, true);
    if (target && target->OnScroll(bar, direction, PointForChild(target, pt, moved))) return TRUE;
    if (OnControlScroll(bar, direction, pt)) return TRUE;
    for (MControl* child : m_controls) {
        if (child == target) continue;
        CPoint p = PointForChild(child, pt, moved);
        if (child->PtInRect(p) && child->OnScroll(bar, direction, p)) return TRUE;
    }
    return FALSE;
}

MControl* MControl::FocusedChild() const {
    for (MControl* child : m_controls)
        if (child->IsFocused()) return child;
    return nullptr;
}

BOOL MControl::OnKeyDown(UINT vk, UINT repeat, UINT modifiers) {
    if (!m_visible || !m_response) return FALSE;
    // The window offered the key to its focus control first; it is not asked twice.
    if (m_manager && m_manager->IsHotKeyPass() && m_manager->GetFocusControl() == this) return FALSE;
    if (MControl* focused = FocusedChild()) return focused->OnKeyDown(vk, repeat, modifiers);
    if (m_hoverChild && m_hoverChild->OnKeyDown(vk, repeat, modifiers)) return TRUE;
    if (OnControlKeyDown(vk, repeat, modifiers)) return TRUE;
    for (MControl* child : m_controls)
        if (child != m_hoverChild && child->OnKeyDown(vk, repeat, modifiers)) return TRUE;
    return FALSE;
}

BOOL MControl::OnTimer() {
    BOOL any = OnControlTimer();
    for (MControl* child : m_controls)
        if (child->IsVisible() && child->IsRunTimer() && child->OnTimer()) any = TRUE;
    return any;
}

// ---------------------------------------------------------------- notification and repaint

LRESULT MControl::SendMessageW(UINT code, WPARAM wParam, LPARAM lParam) {
    if (m_manager) m_manager->NoteNotification(this, code);
    return m_parent ? m_parent->OnBaseMessage(m_id, code, wParam, lParam) : 0;
}

void MControl::UpdateControl(BOOL rerender, BOOL force) { UpdateControl(m_rect, force, rerender); }

void MControl::UpdateControl(CRect rect, BOOL force, BOOL rerender) {
    CheckUIThread("a repaint request");
    if ((m_visible || force) && m_parent) m_parent->OnControlUpdate(rect, rerender, this);
}

void MControl::UpdateAControl(BOOL flag, BOOL force) {
    m_animatePending = !flag;
    UpdateControl(FALSE, force);
}

// ---------------------------------------------------------------- tree

MControl* MControl::GetControl(UINT id) { return FindControl(m_controls, m_areas, id); }

MControl* MControl::FindControl(const std::vector<MControl*>& controls, const std::vector<MControl*>& areas, UINT id) {
    for (auto* list : {&controls, &areas}) {
        for (MControl* child : *list) {
            if (child->GetID() == id) return child;
            if (MControl* found = child->GetControl(id)) return found;
        }
    }
    return nullptr;
}

CRect MControl::WidenDirtyRect(const std::vector<MControl*>& areas, const std::vector<MControl*>& controls,
                               const MControl* changed, CRect rc, COLORREF back) {
    CRect dirty = rc;
    bool met = false;
    for (auto* list : {&areas, &controls}) {
        for (MControl* c : *list) {
            if (c == changed) {
                met = true;
                continue;
            }
            if (met && c->IsVisible() && c->GetRect().Intersects(rc)) {
                dirty = dirty | c->GetRect();
                c->SetUpdate(FALSE, back);
            }
        }
    }
    return dirty;
}

void MControl::AddChild(MControl* child, int kind) {
    if (!child) return;
    if (kind == 0) m_areas.push_back(child);
    else if (kind == 1) m_controls.push_back(child);
}

void MControl::SetManager(PaintManager* manager) {
    m_manager = manager;
    InitControl(manager);
}

LRESULT MControl::RemoveControl(MControl* control) {
    auto it = std::find(m_controls.begin(), m_controls.end(), control);
    if (it == m_controls.end()) return 0;
    if (m_manager && m_manager->GetFocusControl() == control) control->OnFocus(FALSE);
    if (m_hoverChild == control) m_hoverChild = nullptr;
    m_controls.erase(it);
    delete control;
    return 0;
}

void MControl::RemoveAllControl() {
    m_hoverChild = nullptr;
    // Detach first: a child's destructor must not see itself in our lists.
    std::vector<MControl*> areas, controls;
    areas.swap(m_areas);
    controls.swap(m_controls);
    for (MControl* c : areas) delete c;
    for (MControl* c : controls) delete c;
}

// ---------------------------------------------------------------- geometry and state

void MControl::SetRect(CRect rect) {
    CheckUIThread("SetRect");
    SetControlRect(rect);  // repaints where it was and where it is
}

void MControl::SetRect(int x, int y, int cx, int cy) { SetRect(CRect(x, y, x + cx, y + cy)); }

void MControl::SetVisible(BOOL visible) { SetVisible(visible, TRUE); }

void MControl::SetVisible(BOOL visible, BOOL redraw) {
    CheckUIThread("SetVisible");
    if (bool(m_visible) == bool(visible)) return;
    SetControlVisible(visible);
    if (!visible) ReleaseInputInside();
    if (redraw) UpdateControl(TRUE, TRUE);
}

BOOL MControl::IsParentVisible() const {
    if (!m_parent) return FALSE;
    for (MObject* p = m_parent; p; ) {
        if (p->IsClass(L"MDialog")) return TRUE;
        auto* control = dynamic_cast<MControl*>(p);
        if (!control) return TRUE;
        if (!control->IsVisible()) return FALSE;
        p = control->GetParantObject();
    }
    return TRUE;
}

void MControl::SetEnabled(BOOL enabled) {
    CheckUIThread("SetEnabled");
    if (bool(m_enabled) == bool(enabled)) return;
    SetControlEnabled(enabled);
    if (!enabled) ReleaseInputInside();
    if (m_visible) UpdateControl(TRUE);
}

void MControl::ReleaseInputInside() {
    if (!m_manager) return;
    MControl* owner = m_manager->GetCurrentCaretObject();
    for (MControl* c = owner; c; c = dynamic_cast<MControl*>(c->GetParantObject())) {
        if (c == this) {
            owner->OnWindowMessage(WM_KILLFOCUS, 0, 0);
            return;
        }
    }
}

bool MControl::ThreadCheckEnabled() {
    static const bool enabled = [] {
        if (const char* env = std::getenv("ORVIX_THREAD_CHECK"); env && *env) return env[0] != '0';
#ifdef NDEBUG
        return false;
#else
        return true;
#endif
    }();
    return enabled;
}

void MControl::CheckUIThread(const char* what) const {
    if (!ThreadCheckEnabled() || std::this_thread::get_id() == m_uiThread) return;
    std::fprintf(stderr,
                 "Orvix: %s of control %u (%s) called from a thread other than its UI thread; "
                 "post the work to the UI thread (Platform::PostTask)\n",
                 what, m_id, typeid(*this).name());
    std::fflush(stderr);
    std::abort();
}

void MControl::SetCursorEx(const wchar_t* name) {
    static const struct {
        const wchar_t* name;
        CursorKind kind;
    } kCursors[] = {{L"arrow", CursorKind::Arrow},   {L"wait", CursorKind::Wait},     {L"cross", CursorKind::Cross},
                    {L"sizewe", CursorKind::SizeWE}, {L"sizens", CursorKind::SizeNS}, {L"hand", CursorKind::Hand},
                    {L"help", CursorKind::Help}};
    if (!name) return;
    for (const auto& c : kCursors)
        if (std::wcscmp(name, c.name) == 0) m_cursor = c.kind;
}

void MControl::SetTooltip(const wchar_t* text) { m_tooltip = text ? text : L""; }

void MControl::SetTooltip(const std::wstring& text, CRect rect) {
    if (m_manager) m_manager->SetTooltip(text.c_str(), rect, m_id);
}

void MControl::ClearTooltip() {
    if (m_manager) m_manager->ClearTooltip();
}

void MControl::OnFocus(BOOL focus) {
    m_focused = focus;
    SetControlFocus(focus);
}

BOOL MControl::IsFocusControl() const { return m_manager && m_manager->GetFocusControl() == this; }
MControl* MControl::GetFocusControl() const { return m_manager ? m_manager->GetFocusControl() : nullptr; }
MControl* MControl::GetNextFocusableControl() const {
    return m_manager ? m_manager->GetNextFocusableControl() : nullptr;
}
MControl* MControl::GetPrevFocusableControl() const {
    return m_manager ? m_manager->GetPrevFocusableControl() : nullptr;
}

BOOL MControl::SetTimer(UINT key, UINT elapseMs) { return m_manager && m_manager->SetTimer(this, key, elapseMs); }
BOOL MControl::KillTimer(UINT key) { return m_manager && m_manager->KillTimer(this, key); }

void MControl::AddMTimer() {
    if (m_manager) m_manager->AddMTimer(this);
}

// ---------------------------------------------------------------- painting

void MControl::Draw(Canvas& canvas, CRect rcPaint) {
    if (!m_visible || !m_rect.Intersects(rcPaint)) return;
    for (MControl* area : m_areas)
        if (area->IsVisible() && area->GetRect().Intersects(m_rect)) area->Draw(canvas, rcPaint);
    DrawControl(canvas, rcPaint);
    DrawSubControls(canvas, rcPaint);
}

Canvas& MControl::UpdateMemDC(Canvas& target, int cx, int cy) {
    m_cacheValid = TRUE;
    const CRect rect(m_rect.TopLeft(), CSize(cx, cy));
    m_cache.resize(1);
    if (!m_cache.front() || !m_cache.front()->IsLayerOf(target, rect)) m_cache.front() = target.MakeLayer(rect);
    return *m_cache.front();
}

Canvas& MControl::UpdateAnimateDC(Canvas& target, int cx, int cy) {
    m_animate = target.MakeLayer(CRect(m_rect.TopLeft(), CSize(cx, cy)));
    m_animatePending = TRUE;
    return *m_animate;
}

void MControl::PrepareCache(Canvas& canvas, int slices) {
    m_cacheValid = TRUE;
    m_cache.resize(size_t(std::max(1, slices)));
    const CRect local(0, 0, m_rect.Width(), m_rect.Height());
    for (auto& layer : m_cache) {
        // Layers are kept while the control keeps its place and the scale.
        if (!layer || !layer->IsLayerOf(canvas, m_rect)) layer = canvas.MakeLayer(m_rect);
        layer->Clear();
        // Every look starts from what lies beneath the control, so transparent
        // parts of it show the background.
        layer->DrawCanvas(canvas, local, m_rect, Canvas::Blend::Copy);
    }
}

void MControl::BlitCache(Canvas& canvas, const CRect& rcPaint, int slice) {
    if (slice < 0 || slice >= int(m_cache.size())) return;
    CRect visible = m_rect & rcPaint;
    if (visible.IsRectEmpty()) return;
    CRect src = visible;
    src.OffsetRect(-m_rect.left, -m_rect.top);
    canvas.DrawCanvas(*m_cache[size_t(slice)], visible, src, Canvas::Blend::Copy);
}

// ---------------------------------------------------------------- keyboard use

void MControl::SetKeyItem(int index) {
    const int n = GetKeyItemCount();
    if (n <= 0 || index < 0 || index >= n || index == m_keyItem) return;
    m_keyItem = index;
    OnKeyItemChanged(index);
    if (m_manager) m_manager->OnFocusRingMoved(this);
}

void MControl::OnKeyItemChanged(int) {}

CRect MControl::GetFocusRect() {
    const int n = GetKeyItemCount();
    if (n > 0) {
        const int item = m_keyItem >= 0 && m_keyItem < n ? m_keyItem : std::clamp(GetInitialKeyItem(), 0, n - 1);
        const CRect r = GetKeyItemRect(item) & m_rect;
        if (!r.IsRectEmpty()) return r;
    }
    return m_rect;
}

BOOL MControl::ClickKeyItem() {
    if (!m_enabled || !m_visible || !m_manager) return FALSE;
    const int n = GetKeyItemCount();
    if (n > 0 && (m_keyItem < 0 || m_keyItem >= n)) SetKeyItem(std::clamp(GetInitialKeyItem(), 0, n - 1));
    const CRect r = GetFocusRect();
    if (r.IsRectEmpty()) return FALSE;
    const CPoint at = r.CenterPoint();
    PaintManager* manager = m_manager;
    // The pointer's way to the item's centre, a press and a release there,
    // through the handlers a click goes through: the owner hears just what a
    // click tells it. The focus stays where the keyboard has it.
    struct KeyClick {
        const PaintManager* outer;
        explicit KeyClick(const PaintManager* m) : outer(g_keyClicking) { g_keyClicking = m; }
        ~KeyClick() { g_keyClicking = outer; }
    } keyClick(manager);
    OnMouseMove(0, at);
    if (!manager->Contains(this)) return TRUE;
    OnLButtonDown(MK_LBUTTON, at);
    if (!manager->Contains(this)) return TRUE;  // the press rebuilt what held it
    OnLButtonUp(0, at);
    // The pointer is elsewhere: the control must not keep a hovered look.
    if (manager->Contains(this) && !manager->IsUnderPointer(this)) OnMouseLeave();
    return TRUE;
}

BOOL MControl::OnFocusKey(UINT vk, UINT modifiers) {
    if (!m_enabled || !m_visible || modifiers != 0) return FALSE;
    switch (vk) {
        case VK_SPACE:
            return ClickKeyItem();
        case VK_RETURN:
            return TakesEnterKey() && ClickKeyItem();
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            const int n = GetKeyItemCount();
            if (n <= 1) return FALSE;
            const int item = m_keyItem >= 0 && m_keyItem < n ? m_keyItem : std::clamp(GetInitialKeyItem(), 0, n - 1);
            const int step = (vk == VK_LEFT || vk == VK_UP) ? -1 : 1;
            int next = item;
            for (int i = item + step; i >= 0 && i < n; i += step) {
                if (!GetKeyItemRect(i).IsRectEmpty()) {  // hidden items take no room and are skipped
                    next = i;
                    break;
                }
            }
            if (next != item) {
                SetKeyItem(next);
                if (ArrowChooses()) ClickKeyItem();
            }
            return TRUE;  // at either end the arrow is still this control's
        }
        default:
            return FALSE;
    }
}

int MControl::PositionItem2Value(const POSITION_ITEM& item, int lo, int hi) {
    switch (item.mode) {
        case 0:
            return item.fromFarEdge ? int(hi - item.amount) : int(lo + item.amount);
        case 1: {
            int mid = lo + (hi - lo) / 2;
            return item.fromFarEdge ? int(mid - item.amount) : int(mid + item.amount);
        }
        case 2:
            return std::min(hi, int(lo + (hi - lo) * item.amount / 100.0f));
        default:
            return 0;
    }
}

}  // namespace Orvix
