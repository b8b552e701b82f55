#include "orvix/core/FocusChain.h"

#include <algorithm>

#include "orvix/core/MControl.h"
#include "orvix/core/MPanel.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

FocusChain::FocusChain(PaintManager& manager) { Collect(manager.GetControls(), m_controls); }

bool FocusChain::IsFocusable(const MControl* control) {
    auto* c = const_cast<MControl*>(control);
    if (!c || !c->IsVisible() || !c->IsEnabled() || !c->GetRresponse() || !c->IsTabStop() || c->IsDecoration() ||
        c->GetRect().IsRectEmpty())
        return false;
    for (MObject* p = c->GetParantObject(); p;) {
        auto* parent = dynamic_cast<MControl*>(p);
        if (!parent) break;  // the window
        if (!parent->IsVisible() || !parent->GetRresponse() || parent->ServesChildKeys()) return false;
        p = parent->GetParantObject();
    }
    return true;
}

CRect FocusChain::WindowRect(const MControl* control) {
    CRect r = control->GetRect();
    const CPoint offset = MPanel::GetContentOffset(control);
    r.OffsetRect(-offset.x, -offset.y);
    return r;
}

void FocusChain::Collect(const std::vector<MControl*>& siblings, std::vector<MControl*>& out) const {
    struct Unit {
        MControl* control;
        CRect rect;
        std::vector<MControl*> chain;  // the control (when focusable) and then its content
    };
    std::vector<Unit> units;
    for (MControl* c : siblings) {
        if (!c->IsVisible() || !c->GetRresponse()) continue;
        Unit unit{c, WindowRect(c), {}};
        if (IsFocusable(c)) unit.chain.push_back(c);
        if (!c->ServesChildKeys()) Collect(c->GetControls(), unit.chain);
        if (!unit.chain.empty()) units.push_back(std::move(unit));
    }
    // Rows: the topmost unit left starts one, and every unit whose middle lies
    // above that unit's bottom edge joins it; a row reads from left to right.
    std::stable_sort(units.begin(), units.end(),
                     [](const Unit& a, const Unit& b) { return a.rect.top < b.rect.top; });
    for (size_t first = 0; first < units.size();) {
        const int bottom = units[first].rect.bottom;
        size_t end = first + 1;
        while (end < units.size() && units[end].rect.CenterPoint().y < bottom) ++end;
        std::stable_sort(units.begin() + long(first), units.begin() + long(end),
                         [](const Unit& a, const Unit& b) { return a.rect.left < b.rect.left; });
        first = end;
    }
    for (Unit& unit : units) out.insert(out.end(), unit.chain.begin(), unit.chain.end());
}

bool FocusChain::Holds(const MControl* control) const {
    return std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end();
}

MControl* FocusChain::Next(const MControl* from, bool forward) const {
    if (m_controls.empty()) return nullptr;
    auto it = std::find(m_controls.begin(), m_controls.end(), from);
    if (it == m_controls.end()) return forward ? m_controls.front() : m_controls.back();
    const size_t n = m_controls.size(), i = size_t(it - m_controls.begin());
    return m_controls[forward ? (i + 1) % n : (i + n - 1) % n];
}

}  // namespace Orvix
