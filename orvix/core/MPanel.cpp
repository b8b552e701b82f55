#include "orvix/core/MPanel.h"

#include <algorithm>

#include "orvix/core/CScrollHorizontal.h"
#include "orvix/core/CScrollVertical.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

MPanel::MPanel(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled),
      m_vbar(new CScrollVertical(this, 1, CRect(rect.right - kBarSize, rect.top, rect.right, rect.bottom),
                                 nullptr, FALSE)),
      m_hbar(new CScrollHorizontal(this, 2, CRect(rect.left, rect.bottom - kBarSize, rect.right, rect.bottom),
                                   nullptr, FALSE)) {
    AddChild(m_vbar, 1);
    AddChild(m_hbar, 1);
}

void MPanel::InitControl(PaintManager* manager) {
    for (MScroll* bar : {GetScrollVertical(), GetScrollHorizontal()})
        if (bar) bar->SetManager(manager);
}

MScroll* MPanel::GetScrollVertical() const {
    return IsOwnBar(m_vbar) ? m_vbar : nullptr;
}
MScroll* MPanel::GetScrollHorizontal() const {
    return IsOwnBar(m_hbar) ? m_hbar : nullptr;
}

bool MPanel::IsOwnBar(const MControl* control) const {
    if (control != m_vbar && control != m_hbar) return false;
    return std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end();
}

MControl* MPanel::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                const wchar_t* title, int visible, int enabled) {
    MControl* control = CreateContainerFactoryControl(className, parent, id, rect, title, visible, enabled);
    if (!control) return nullptr;
    control->SetManager(m_manager);
    AddChild(control, int(kind));
    if (kind == 1) UpdateScrollBars();
    return control;
}

MControl* MPanel::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                                int visible, int enabled) {
    return CreateControl(1, this, className, id, rect, title, visible, enabled);
}

MControl* MPanel::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                             int enabled) {
    return CreateControl(0, this, className, id, rect, title, visible, enabled);
}

BOOL MPanel::OnControlKeyUp(UINT, UINT, UINT) {
    return FALSE;
}

LRESULT MPanel::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    return OnMessage(id, code, wParam, lParam);
}

LRESULT MPanel::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    // A bar moved by the user: the content moves with it.
    if (code == Notify::Moved && (id == 1 || id == 2)) UpdateControl(TRUE);
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

LRESULT MPanel::OnControlUpdate(CRect rc, BOOL rerender, MControl* control) {
    COLORREF back = m_manager ? m_manager->GetBackColor() : 0;
    if (rerender && control) control->SetUpdate(FALSE, back);
    CRect dirty = WidenDirtyRect(m_areas, m_controls, control, rc, back);
    if (!IsOwnBar(control)) {
        CPoint offset = GetScrollOffset();
        dirty.OffsetRect(-offset.x, -offset.y);
    }
    dirty = dirty & m_rect;
    if (dirty.IsRectEmpty() || !m_visible || !m_parent) return 0;
    return m_parent->OnControlUpdate(dirty, FALSE, this);
}

void MPanel::OnMousePointChange(CPoint& pt) {
    CPoint offset = GetScrollOffset();
    pt.Offset(offset.x, offset.y);
}

void MPanel::DrawControl(Canvas&, CRect) {}

// ---------------------------------------------------------------- scrolling

void MPanel::SetControlRect(CRect rect) {
    MControlFont::SetControlRect(rect);
    if (MScroll* bar = GetScrollVertical())
        bar->SetRect(CRect(rect.right - kBarSize, rect.top, rect.right, rect.bottom));
    if (MScroll* bar = GetScrollHorizontal())
        bar->SetRect(CRect(rect.left, rect.bottom - kBarSize, rect.right, rect.bottom));
    UpdateScrollBars();
}

CSize MPanel::MeasureContent() const {
    // The farthest edge counts, not the last child's: children need not be
    // created in top-to-bottom order.
    CSize size;
    for (MControl* child : m_controls) {
        if (IsOwnBar(child)) continue;
        size.cx = std::max<int>(size.cx, child->GetRect().right - m_rect.left);
        size.cy = std::max<int>(size.cy, child->GetRect().bottom - m_rect.top);
    }
    return size;
}

void MPanel::UpdateScrollBars() {
    CSize content = MeasureContent();
    m_virtualWidth = content.cx;
    m_virtualHeight = content.cy;
    if (MScroll* bar = GetScrollVertical()) {
        bar->SetScrollMaxRange(m_virtualHeight);
        bar->SetVisible(m_virtualHeight > m_rect.Height());
    }
    if (MScroll* bar = GetScrollHorizontal()) {
        bar->SetScrollMaxRange(m_virtualWidth);
        bar->SetVisible(m_virtualWidth > m_rect.Width());
    }
}

CPoint MPanel::GetScrollOffset() const {
    const int overY = m_virtualHeight - m_rect.Height(), overX = m_virtualWidth - m_rect.Width();
    if (!m_enableScroll || (overY <= 0 && overX <= 0)) return {0, 0};
    auto along = [](const MScroll* bar, int over) {
        if (!bar || over <= 0 || bar->GetScrollMaxRange() <= 0) return 0;
        return int(int64_t(over) * bar->GetScrollCurrentPos() / bar->GetScrollMaxRange());
    };
    return {along(GetScrollHorizontal(), overX), along(GetScrollVertical(), overY)};
}

CPoint MPanel::GetContentOffset(const MControl* control) {
    CPoint sum;
    for (MObject* p = control ? control->GetParantObject() : nullptr; p;) {
        auto* panel = dynamic_cast<MPanel*>(p);
        if (!panel) {
            auto* c = dynamic_cast<MControl*>(p);
            if (!c) break;
            p = c->GetParantObject();
            continue;
        }
        CPoint off = panel->GetScrollOffset();
        sum.Offset(off.x, off.y);
        p = panel->GetParantObject();
    }
    return sum;
}

void MPanel::OnKeyItemChanged(int index) {
    // The keyboard's item comes into view (rects are in the panel's own
    // coordinates, already moved by the scroll offset).
    MScroll* bar = GetScrollVertical();
    const int over = m_virtualHeight - m_rect.Height();
    if (!m_enableScroll || !bar || over <= 0 || bar->GetScrollMaxRange() <= 0) return;
    const CRect item = GetKeyItemRect(index);
    int shift = 0;
    if (item.top < m_rect.top) shift = item.top - m_rect.top;
    else if (item.bottom > m_rect.bottom) shift = std::min(item.bottom - m_rect.bottom, item.top - m_rect.top);
    if (shift == 0) return;
    const int wanted = std::clamp(GetScrollOffset().y + shift, 0, over);
    const int range = bar->GetScrollMaxRange();
    // The smallest position whose offset reaches the wanted one.
    int pos = int((int64_t(wanted) * range + over - 1) / over);
    if (shift < 0) pos = int(int64_t(wanted) * range / over);
    bar->SetScrollCurrentPos(std::clamp(pos, 0, range));
    UpdateControl(TRUE);
}

BOOL MPanel::OnControlScroll(int, UINT direction, CPoint) {
    MScroll* bar = GetScrollVertical();
    if (!m_enableScroll || !bar || m_virtualHeight <= m_rect.Height()) return FALSE;
    if (bar->ScrollRow(direction == 1 ? 1 : -1)) UpdateControl(TRUE);
    return TRUE;
}

void MPanel::SetUpdate(BOOL valid, COLORREF back) {
    // Scrolled children may lie anywhere in content coordinates.
    m_cacheValid = valid;
    for (MControl* child : m_controls) child->SetUpdate(valid, back);
}

BOOL MPanel::DrawSubControls(Canvas& canvas, CRect rcPaint) {
    const CPoint offset = GetScrollOffset();
    const bool overflow = m_virtualHeight > m_rect.Height() || m_virtualWidth > m_rect.Width();
    if (overflow) canvas.PushClip(m_rect);
    canvas.PushOrigin(-offset.x, -offset.y);
    CRect content = rcPaint;
    content.OffsetRect(offset.x, offset.y);
    for (MControl* child : m_controls)
        if (child->IsVisible() && !IsOwnBar(child)) child->Draw(canvas, content);
    canvas.PopOrigin();
    if (overflow) canvas.PopClip();
    // The bars stay put and lie over the content.
    for (MControl* bar : m_controls)
        if (IsOwnBar(bar) && bar->IsVisible()) bar->Draw(canvas, rcPaint);
    return TRUE;
}

void MPanel::DescribeAccessible(AccessibleInfo& info) {
    // A bare container: its children speak for themselves.
    if (GetAccessibleName().empty()) {
        info.expose = false;
        return;
    }
    info.role = AccessibleRole::Panel;
    info.name = GetAccessibleName();
}

}  // namespace Orvix
