#include "orvix/controls/MComboBox2.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MComboBox2)

MComboBox2::MComboBox2(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MComboBox(parent, id, rect, title, visible, enabled) {}

void MComboBox2::SetControlCheck(BOOL check) {
    if (bool(check) == bool(m_check)) return;
    m_check = check;
    UpdateControl(TRUE);
}

void MComboBox2::SetCheck(BOOL check) {
    SetControlCheck(check);
    if (check) ResetGroupCheck();
}

void MComboBox2::ResetGroupCheck() {
    auto* container = dynamic_cast<MControl*>(m_parent);
    if (!container && !m_manager) return;
    for (MControl* sibling : container ? container->GetControls() : m_manager->GetControls()) {
        if (sibling == this || !sibling->IsClass(L"MComboBox2")) continue;
        auto* other = static_cast<MComboBox2*>(sibling);
        if (other->GetGroupName() == m_group) other->SetControlCheck(FALSE);
    }
}

void MComboBox2::OnItemChosen(int index) {
    SetCheck(TRUE);
    MComboBox::OnItemChosen(index);
}

void MComboBox2::RenderLook(Canvas& canvas, int look, const CRect& slice) const {
    MComboBox::RenderLook(canvas, look, slice);
    if (m_check) canvas.DrawRoundRect(slice, 5, Manager::GetSelectColor(), 2);
}

}  // namespace Orvix
