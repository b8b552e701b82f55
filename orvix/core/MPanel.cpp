#include "orvix/core/MPanel.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

MPanel::MPanel(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {}

MControl* MPanel::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                const wchar_t* title, int visible, int enabled) {
    MControl* control = CreateContainerFactoryControl(className, parent, id, rect, title, visible, enabled);
    if (!control) return nullptr;
    control->SetManager(m_manager);
    AddChild(control, int(kind));
    return control;
}

MControl* MPanel::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                int enabled) {
    return CreateControl(1, this, className, id, rect, title, visible, enabled);
}

MControl* MPanel::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                             int enabled) {
    return CreateControl(0, this, className, id, rect, title, visible, enabled);
}

BOOL MPanel::OnControlKeyUp(UINT, UINT, UINT) { return FALSE; }

LRESULT MPanel::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    return OnMessage(id, code, wParam, lParam);
}

LRESULT MPanel::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

LRESULT MPanel::OnControlUpdate(CRect rc, BOOL rerender, MControl* control) {
    COLORREF back = m_manager ? m_manager->GetBackColor() : 0;
    if (rerender && control) control->SetUpdate(FALSE, back);
    CRect dirty = WidenDirtyRect(m_areas, m_controls, control, rc, back);
    CPoint offset = GetScrollOffset();
    dirty.OffsetRect(-offset.x, -offset.y);
    dirty = dirty & m_rect;
    if (dirty.IsRectEmpty() || !m_visible || !m_parent) return 0;
    return m_parent->OnControlUpdate(dirty, FALSE, this);
}

void MPanel::OnMousePointChange(CPoint& pt) {
    CPoint offset = GetScrollOffset();
    pt.Offset(offset.x, offset.y);
}

void MPanel::DrawControl(Canvas&, CRect) {}

}  // namespace Orvix
