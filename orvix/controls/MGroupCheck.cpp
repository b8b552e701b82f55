#include "orvix/controls/MGroupCheck.h"

#include "orvix/core/PaintManager.h"

namespace Orvix {

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
