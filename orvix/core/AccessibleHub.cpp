#include "orvix/core/AccessibleHub.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "orvix/core/EditableTextHost.h"
#include "orvix/core/FocusChain.h"
#include "orvix/core/MControl.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Platform.h"

namespace Orvix {

namespace {

// UI thread only.
struct HubState {
    AccessibleHub::Listener listener;
    std::vector<MDialog*> windows;  // in the order they were made
    std::shared_ptr<const AccessibleSnapshot> current = std::make_shared<AccessibleSnapshot>();
    std::unordered_map<uint64_t, MControl*> controls;  // as the last snapshot found them
    bool rebuildPosted = false;
};

HubState& Hub() {
    static HubState* state = new HubState;  // outlives every window, even at exit
    return *state;
}

bool g_active = false;  // read by AccessibilityNoteChange on the UI thread

std::string Utf8(const std::wstring& text) {
    return WideToUtf8(text);
}

void SetCommonStates(AccessibleStates& states, bool visible, bool showing, bool enabled) {
    states.Set(AccessibleState::Visible, visible);
    states.Set(AccessibleState::Showing, showing);
    states.Set(AccessibleState::Enabled, enabled);
    states.Set(AccessibleState::Sensitive, enabled);
}

void CopyInfo(const AccessibleInfo& info, AccessibleNode& node) {
    node.role = info.role;
    node.name = Utf8(info.name);
    node.description = Utf8(info.description);
    node.action = Utf8(info.action);
    node.hasValue = info.hasValue;
    node.value = info.value;
    node.minimum = info.minimum;
    node.maximum = info.maximum;
    node.step = info.step;
    node.valueText = Utf8(info.valueText);
    node.hasText = info.hasText;
    node.editableText = info.hasText && info.editable;
    node.text = info.text;
    node.caret = info.caret;
    node.selection = info.itemsSelectable;
    AccessibleStates& s = node.states;
    s.Set(AccessibleState::Checkable, info.checkable);
    s.Set(AccessibleState::Checked, info.checked);
    s.Set(AccessibleState::Pressed, info.pressed);
    s.Set(AccessibleState::Selected, info.selected);
    s.Set(AccessibleState::Editable, info.editable);
    s.Set(AccessibleState::HasPopup, info.hasPopup);
    s.Set(AccessibleState::Expandable, info.hasPopup);
    s.Set(AccessibleState::Expanded, info.expanded);
    s.Set(AccessibleState::HasTooltip, !info.description.empty());
    if (info.hasText) s.Set(info.multiLine ? AccessibleState::MultiLine : AccessibleState::SingleLine);
    if (info.hasValue || info.role == AccessibleRole::PageTabList)
        s.Set(info.horizontal ? AccessibleState::Horizontal : AccessibleState::Vertical);
}

class Describer {
  public:
    Describer(AccessibleSnapshot& snapshot, std::unordered_map<uint64_t, MControl*>& controls)
        : m_snapshot(snapshot), m_controls(controls) {}

    void Window(MDialog* window) {
        const HWND hwnd = window->GetSafeHwnd();
        if (!hwnd || !Platform::IsWindowVisible(hwnd)) return;
        AccessibleInfo info;
        window->DescribeWindow(info);
        AccessibleNode node;
        node.path = AccessibleSnapshot::WindowPath(window->GetSerial());
        CopyInfo(info, node);
        node.window = window->GetSerial();
        m_enabled = Platform::IsWindowEnabled(hwnd);
        m_active = Platform::GetActiveWindow() == hwnd;
        SetCommonStates(node.states, true, !Platform::IsIconic(hwnd), m_enabled);
        node.states.Set(AccessibleState::Active, m_active);
        node.states.Set(AccessibleState::Focusable);
        node.states.Set(AccessibleState::Resizable, false);
        node.states.Set(AccessibleState::Iconified, Platform::IsIconic(hwnd));
        node.states.Set(AccessibleState::Modal, Platform::GetOwner(hwnd) && Platform::IsInModalLoop(hwnd));
        node.extents = Platform::GetWindowRect(hwnd);
        m_origin = CPoint(0, 0);
        Platform::ClientToScreen(hwnd, m_origin);
        m_window = window->GetSerial();
        PaintManager& pm = window->GetPaintManager();
        m_focus = pm.GetFocusControl();
        const int index = m_snapshot.Add(std::move(node), 0);
        Children(pm.GetAreas(), pm.GetControls(), index);
    }

  private:
    void Children(const std::vector<MControl*>& areas, const std::vector<MControl*>& controls, int parent) {
        for (const std::vector<MControl*>* list : {&areas, &controls})
            for (MControl* control : *list) Control(control, parent);
    }

    void Control(MControl* control, int parent) {
        // Hidden pages, closed panels and their contents are not there for a reader
        // either; nor is a control that takes no room.
        if (!control->IsVisible() || control->GetRect().IsRectEmpty()) return;
        AccessibleInfo info;
        control->DescribeAccessible(info);
        if (!info.expose) {
            Children(control->GetAreas(), control->GetControls(), parent);
            return;
        }
        if (info.name.empty() && control->GetLabelledBy() && control->GetManager()) {
            if (MControl* label = control->GetManager()->GetControl(control->GetLabelledBy())) {
                AccessibleInfo said;
                label->DescribeAccessible(said);
                info.name = said.name;
            }
        }
        AccessibleNode node;
        node.path = AccessibleSnapshot::ControlPath(control->GetSerial());
        CopyInfo(info, node);
        node.control = control->GetSerial();
        node.window = m_window;
        const bool enabled = m_enabled && EnabledChain(control);
        SetCommonStates(node.states, true, true, enabled);
        const bool focusable = FocusChain::IsFocusable(control);
        node.states.Set(AccessibleState::Focusable, focusable);
        const CRect local = FocusChain::WindowRect(control);
        node.extents = CRect(local.left + m_origin.x, local.top + m_origin.y, local.right + m_origin.x,
                             local.bottom + m_origin.y);
        const bool focused = control == m_focus && m_active;
        const int n = std::min<int>(int(info.items.size()), control->GetKeyItemCount());
        // With items, the focus is on the current item, as the ring shows it.
        const int focusItem = focused && n > 0 ? CurrentItem(control, n) : -1;
        node.states.Set(AccessibleState::Focused, focused && focusItem < 0);
        m_controls[control->GetSerial()] = control;
        const int index = m_snapshot.Add(std::move(node), parent);
        for (int i = 0; i < int(info.items.size()); ++i)
            Item(control, info.items[size_t(i)], i, i == focusItem, index);
        // What a control serves with its own keys (scroll bars, step buttons)
        // its value and items already stand for.
        if (!control->ServesChildKeys()) Children(control->GetAreas(), control->GetControls(), index);
    }

    void Item(MControl* control, const AccessibleItem& item, int i, bool focused, int parent) {
        const CRect r = i < control->GetKeyItemCount() ? control->GetKeyItemRect(i) : CRect();
        if (r.IsRectEmpty()) return;  // hidden items take no room
        AccessibleNode node;
        node.path = AccessibleSnapshot::ItemPath(control->GetSerial(), i);
        node.role = item.role;
        node.name = Utf8(item.name);
        node.description = Utf8(item.description);
        node.action = "click";
        node.control = control->GetSerial();
        node.item = i;
        node.window = m_window;
        node.hasValue = item.hasValue;
        node.value = item.value;
        node.minimum = item.minimum;
        node.maximum = item.maximum;
        node.step = item.step;
        const AccessibleNode& owner = m_snapshot.At(parent);
        const bool enabled = owner.states.Has(AccessibleState::Enabled);
        SetCommonStates(node.states, true, true, enabled);
        node.states.Set(AccessibleState::Selectable, owner.selection);
        node.states.Set(AccessibleState::Selected, item.selected);
        node.states.Set(AccessibleState::Checkable, item.checkable);
        node.states.Set(AccessibleState::Checked, item.checked);
        node.states.Set(AccessibleState::Focusable, owner.states.Has(AccessibleState::Focusable));
        node.states.Set(AccessibleState::Focused, focused);
        // Item rects are in the control's coordinates, which are the window's
        // before scrolling: shift them as the control's own rect was shifted.
        const CRect shown = FocusChain::WindowRect(control);
        const CPoint shift(shown.left - control->GetRect().left, shown.top - control->GetRect().top);
        node.extents = CRect(r.left + shift.x + m_origin.x, r.top + shift.y + m_origin.y,
                             r.right + shift.x + m_origin.x, r.bottom + shift.y + m_origin.y);
        m_snapshot.Add(std::move(node), parent);
    }

    static int CurrentItem(MControl* control, int n) {
        const int k = control->GetKeyItem();
        return k >= 0 && k < n ? k : std::clamp(control->GetInitialKeyItem(), 0, n - 1);
    }

    // A disabled container disables what it holds, shown to a reader or not.
    static bool EnabledChain(const MControl* control) {
        for (const MControl* c = control; c; c = dynamic_cast<const MControl*>(c->GetParantObject()))
            if (!c->IsEnabled()) return false;
        return true;
    }

    AccessibleSnapshot& m_snapshot;
    std::unordered_map<uint64_t, MControl*>& m_controls;
    uint64_t m_window = 0;
    CPoint m_origin;
    MControl* m_focus = nullptr;
    bool m_enabled = true;
    bool m_active = false;
};

std::shared_ptr<AccessibleSnapshot> Describe(const std::vector<MDialog*>& windows,
                                             const std::wstring& application,
                                             std::unordered_map<uint64_t, MControl*>& controls) {
    auto snapshot = std::make_shared<AccessibleSnapshot>();
    AccessibleNode app;
    app.path = AccessibleSnapshot::kRootPath;
    app.role = AccessibleRole::Application;
    app.name = Utf8(application);
    snapshot->Add(std::move(app), -1);
    Describer describer(*snapshot, controls);
    for (MDialog* window : windows) describer.Window(window);
    return snapshot;
}

// The control and its window, when a reader may act on it now.
MControl* Actionable(uint64_t serial) {
    MControl* control = AccessibleHub::FindControl(serial);
    if (!control || !control->IsVisible() || !control->IsEnabled() || !control->IsParentVisible())
        return nullptr;
    PaintManager* pm = control->GetManager();
    // A modal dialog blocks its owner for a reader as for the pointer.
    if (!pm || !Platform::IsWindowEnabled(pm->GetPaintWnd())) return nullptr;
    return control;
}

}  // namespace

void AccessibilityNoteChange() {
    if (!g_active) return;
    HubState& hub = Hub();
    if (hub.rebuildPosted) return;
    hub.rebuildPosted = true;
    Platform::PostTask([] {
        Hub().rebuildPosted = false;
        if (g_active) AccessibleHub::Rebuild();
    });
}

void AccessibleHub::SetListener(Listener listener) {
    HubState& hub = Hub();
    hub.listener = std::move(listener);
    g_active = bool(hub.listener);
    hub.current = std::make_shared<AccessibleSnapshot>();
    hub.controls.clear();
}

bool AccessibleHub::IsActive() {
    return g_active;
}

void AccessibleHub::AddWindow(MDialog* window) {
    Hub().windows.push_back(window);
}

void AccessibleHub::RemoveWindow(MDialog* window) {
    std::vector<MDialog*>& windows = Hub().windows;
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    AccessibilityNoteChange();
}

std::shared_ptr<const AccessibleSnapshot> AccessibleHub::Rebuild() {
    HubState& hub = Hub();
    std::unordered_map<uint64_t, MControl*> controls;
    std::shared_ptr<const AccessibleSnapshot> next =
        Describe(hub.windows, Manager::GetDeviceName(), controls);
    std::vector<AccessibleEvent> events = DiffSnapshots(*hub.current, *next);
    hub.current = next;
    hub.controls = std::move(controls);
    if (hub.listener) hub.listener(next, std::move(events));
    return next;
}

std::shared_ptr<const AccessibleSnapshot> AccessibleHub::Current() {
    return Hub().current;
}

MControl* AccessibleHub::FindControl(uint64_t serial) {
    HubState& hub = Hub();
    auto it = hub.controls.find(serial);
    if (it == hub.controls.end()) return nullptr;
    // The control may have gone since: it counts only while a window still holds it.
    for (MDialog* window : hub.windows) {
        PaintManager& pm = window->GetPaintManager();
        if (pm.Contains(it->second) && it->second->GetSerial() == serial) return it->second;
    }
    return nullptr;
}

bool AccessibleHub::DoAction(uint64_t serial, int item, const std::function<void(bool)>& then) {
    MControl* control = Actionable(serial);
    if (control && item >= 0 && item >= control->GetKeyItemCount()) control = nullptr;
    then(control != nullptr);
    if (!control) return false;
    // The click a person's Space gives: the pointer's way to the item, a press and a release.
    if (item >= 0) control->SetKeyItem(item);
    return control->ClickKeyItem();
}

bool AccessibleHub::SelectItem(uint64_t serial, int item, const std::function<void(bool)>& then) {
    return DoAction(serial, item, then);
}

bool AccessibleHub::GrabFocus(uint64_t serial, int item) {
    MControl* control = Actionable(serial);
    if (!control || !FocusChain::IsFocusable(control)) return false;
    PaintManager* pm = control->GetManager();
    if (HWND hwnd = pm->GetPaintWnd(); Platform::GetActiveWindow() != hwnd) Platform::SetActiveWindow(hwnd);
    pm->SetFocusControl(control);
    if (item >= 0) control->SetKeyItem(item);
    pm->ShowKeyboardCues(TRUE);
    return true;
}

bool AccessibleHub::EditText(uint64_t serial, TextOp op, int start, int end, const std::wstring& text) {
    MControl* control = Actionable(serial);
    auto* host = dynamic_cast<EditableTextHost*>(control);
    if (!host) return false;
    PaintManager* pm = control->GetManager();
    if (HWND hwnd = pm->GetPaintWnd(); Platform::GetActiveWindow() != hwnd) Platform::SetActiveWindow(hwnd);
    const TextEditOutcome outcome = host->EditAsTyping(op, start, end, text);
    if (outcome.opened) pm->ShowKeyboardCues(TRUE);
    return outcome.done;
}

bool AccessibleHub::SetValue(uint64_t serial, double value) {
    MControl* control = Actionable(serial);
    if (!control) return false;
    AccessibleInfo info;
    control->DescribeAccessible(info);
    if (!info.hasValue || value < info.minimum || value > info.maximum) return false;
    // Arrow keys, as a person steps a slider or number field; each step is
    // the control's own, so its owner hears every change it would hear.
    const UINT modifiers = 0;
    for (int guard = 0; guard < 10000; ++guard) {
        AccessibleInfo now;
        control->DescribeAccessible(now);
        const double gap = value - now.value;
        if (std::fabs(gap) < now.step / 2 || now.step <= 0) return true;
        const UINT vk = gap > 0 ? VK_RIGHT : VK_LEFT;
        if (!control->OnControlKeyDown(vk, 1, modifiers) && !control->OnFocusKey(vk, modifiers)) return false;
        AccessibleInfo after;
        control->DescribeAccessible(after);
        if (after.value == now.value) return false;  // the control went no further
        if (!AccessibleHub::FindControl(serial)) return false;
    }
    return false;
}

std::shared_ptr<AccessibleSnapshot> DescribeWindows(const std::vector<MDialog*>& windows,
                                                    const std::wstring& application) {
    std::unordered_map<uint64_t, MControl*> controls;
    return Describe(windows, application, controls);
}

}  // namespace Orvix
