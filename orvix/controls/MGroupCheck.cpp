#include "orvix/controls/MGroupCheck.h"

#include <algorithm>

#include "orvix/core/PaintManager.h"

namespace Orvix {

namespace {
const std::vector<MControl*>* Siblings(MControl* self) {
    if (auto* container = dynamic_cast<MControl*>(self->GetParantObject())) return &container->GetControls();
    return self->GetManager() ? &self->GetManager()->GetControls() : nullptr;
}
}  // namespace

BOOL MGroupCheck::MoveInGroup(MControl* self, UINT vk) {
    const int step = (vk == VK_LEFT || vk == VK_UP) ? -1 : (vk == VK_RIGHT || vk == VK_DOWN) ? 1 : 0;
    auto* me = dynamic_cast<MGroupCheck*>(self);
    const std::vector<MControl*>* siblings = Siblings(self);
    if (!step || !me || !siblings) return FALSE;
    std::vector<MControl*> group;
    for (MControl* other : *siblings) {
        auto* member = dynamic_cast<MGroupCheck*>(other);
        if (other == self || (member && other->GetParantObject() == self->GetParantObject() &&
                              other->IsClass(self->GetClassNameW()) && member->GetGroupName() == me->GetGroupName() &&
                              other->IsVisible() && other->IsEnabled()))
            group.push_back(other);
    }
    auto it = std::find(group.begin(), group.end(), self);
    const long at = long(it - group.begin()) + step;
    if (at < 0 || at >= long(group.size())) return TRUE;  // at the group's end the arrow stays here
    MControl* next = group[size_t(at)];
    if (PaintManager* manager = self->GetManager()) manager->SetFocusControl(next);
    next->ClickKeyItem();
    return TRUE;
}

void MGroupCheck::ResetGroupCheck(MControl* self, bool activeOnly) {
    auto* me = dynamic_cast<MGroupCheck*>(self);
    if (!me) return;
    MObject* parent = self->GetParantObject();
    const std::vector<MControl*>* siblings = nullptr;
    if (auto* container = dynamic_cast<MControl*>(parent)) siblings = &container->GetControls();
    else if (self->GetManager()) siblings = &self->GetManager()->GetControls();
    if (!siblings) return;
    const wchar_t* className = self->GetClassNameW();
    for (MControl* other : *siblings) {
        if (other == self || other->GetParantObject() != parent || !other->IsClass(className)) continue;
        if (activeOnly && (!other->IsVisible() || !other->IsEnabled())) continue;
        auto* member = dynamic_cast<MGroupCheck*>(other);
        if (member && member->GetGroupName() == me->GetGroupName()) member->SetControlCheck(FALSE);
    }
}

}  // namespace Orvix
