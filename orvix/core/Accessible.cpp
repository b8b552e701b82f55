#include "orvix/core/Accessible.h"

#include <algorithm>
#include <atomic>
#include <unordered_set>

#include "base/TextConv.h"

namespace Orvix {

uint64_t NextAccessibleSerial() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

const char* AccessibleRoleName(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::Animation:
            return "animation";
        case AccessibleRole::CheckBox:
            return "check box";
        case AccessibleRole::ComboBox:
            return "combo box";
        case AccessibleRole::Dialog:
            return "dialog";
        case AccessibleRole::Filler:
            return "filler";
        case AccessibleRole::Frame:
            return "frame";
        case AccessibleRole::Image:
            return "image";
        case AccessibleRole::Label:
            return "label";
        case AccessibleRole::List:
            return "list";
        case AccessibleRole::ListItem:
            return "list item";
        case AccessibleRole::Menu:
            return "menu";
        case AccessibleRole::MenuItem:
            return "menu item";
        case AccessibleRole::PageTab:
            return "page tab";
        case AccessibleRole::PageTabList:
            return "page tab list";
        case AccessibleRole::Panel:
            return "panel";
        case AccessibleRole::PopupMenu:
            return "popup menu";
        case AccessibleRole::ProgressBar:
            return "progress bar";
        case AccessibleRole::PushButton:
            return "push button";
        case AccessibleRole::RadioButton:
            return "radio button";
        case AccessibleRole::ScrollBar:
            return "scroll bar";
        case AccessibleRole::Separator:
            return "separator";
        case AccessibleRole::Slider:
            return "slider";
        case AccessibleRole::SpinButton:
            return "spin button";
        case AccessibleRole::Text:
            return "text";
        case AccessibleRole::ToggleButton:
            return "toggle button";
        case AccessibleRole::ToolTip:
            return "tool tip";
        case AccessibleRole::Window:
            return "window";
        case AccessibleRole::Application:
            return "application";
        case AccessibleRole::Entry:
            return "entry";
        case AccessibleRole::Invalid:
            return "invalid";
        case AccessibleRole::Unknown:
            break;
    }
    return "unknown";
}

const char* AccessibleStateName(AccessibleState state) {
    switch (state) {
        case AccessibleState::Active:
            return "active";
        case AccessibleState::Checked:
            return "checked";
        case AccessibleState::Enabled:
            return "enabled";
        case AccessibleState::Expanded:
            return "expanded";
        case AccessibleState::Focused:
            return "focused";
        case AccessibleState::Pressed:
            return "pressed";
        case AccessibleState::Selected:
            return "selected";
        case AccessibleState::Sensitive:
            return "sensitive";
        case AccessibleState::Showing:
            return "showing";
        case AccessibleState::Visible:
            return "visible";
        case AccessibleState::Editable:
            return "editable";
        case AccessibleState::Modal:
            return "modal";
        default:
            return "";
    }
}

void DescribeChoices(AccessibleInfo& info, AccessibleRole role, const std::vector<std::wstring>& names,
                     int selected, AccessibleRole itemRole) {
    info.role = role;
    info.action.clear();
    info.itemsSelectable = true;
    info.items.clear();
    for (int i = 0; i < int(names.size()); ++i) {
        AccessibleItem item;
        item.role = itemRole;
        item.name = names[size_t(i)];
        item.selected = i == selected;
        info.items.push_back(item);
    }
}

std::string AccessibleSnapshot::WindowPath(uint64_t serial) {
    return std::string(kPathPrefix) + "w" + std::to_string(serial);
}

std::string AccessibleSnapshot::ControlPath(uint64_t serial) {
    return std::string(kPathPrefix) + "c" + std::to_string(serial);
}

std::string AccessibleSnapshot::ItemPath(uint64_t serial, int item) {
    return ControlPath(serial) + "_" + std::to_string(item);
}

int AccessibleSnapshot::Add(AccessibleNode node, int parent) {
    const int index = int(m_nodes.size());
    node.parent = parent;
    node.children.clear();
    if (parent >= 0) {
        std::vector<int>& siblings = m_nodes[size_t(parent)].children;
        node.indexInParent = int(siblings.size());
        siblings.push_back(index);
    } else {
        node.indexInParent = -1;
    }
    m_byPath[node.path] = index;
    m_nodes.push_back(std::move(node));
    return index;
}

const AccessibleNode* AccessibleSnapshot::Find(const std::string& path) const {
    auto it = m_byPath.find(path);
    return it == m_byPath.end() ? nullptr : &m_nodes[size_t(it->second)];
}

const AccessibleNode* AccessibleSnapshot::Focused() const {
    for (const AccessibleNode& node : m_nodes)
        if (node.states.Has(AccessibleState::Focused)) return &node;
    return nullptr;
}

const AccessibleNode* AccessibleSnapshot::NodeAt(int from, CPoint screen) const {
    if (from < 0 || from >= int(m_nodes.size())) return nullptr;
    // Later children lie over earlier ones.
    const std::vector<int>& children = m_nodes[size_t(from)].children;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const AccessibleNode& child = m_nodes[size_t(*it)];
        if (!child.states.Has(AccessibleState::Showing) || !child.extents.PtInRect(screen)) continue;
        const AccessibleNode* deeper = NodeAt(*it, screen);
        return deeper ? deeper : &child;
    }
    return nullptr;
}

TextEdit DiffText(const std::wstring& before, const std::wstring& after) {
    TextEdit edit;
    size_t prefix = 0;
    const size_t shorter = std::min(before.size(), after.size());
    while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    edit.offset = int(prefix);
    edit.removed = int(before.size() - prefix - suffix);
    edit.inserted = int(after.size() - prefix - suffix);
    return edit;
}

namespace {

using Kind = AccessibleEvent::Kind;

// The states whose changes are announced, in the order listeners expect them.
constexpr AccessibleState kAnnounced[] = {
    AccessibleState::Showing,   AccessibleState::Visible,  AccessibleState::Enabled,
    AccessibleState::Sensitive, AccessibleState::Checked,  AccessibleState::Pressed,
    AccessibleState::Selected,  AccessibleState::Expanded, AccessibleState::Editable,
};

AccessibleEvent Event(Kind kind, const std::string& path) {
    AccessibleEvent e{kind, path, {}, 0, 0, {}, {}};
    return e;
}

AccessibleEvent StateEvent(const std::string& path, AccessibleState state, bool on) {
    AccessibleEvent e = Event(Kind::StateChanged, path);
    e.detail = AccessibleStateName(state);
    e.detail1 = on ? 1 : 0;
    return e;
}

bool IsWindow(const AccessibleNode& node) {
    return node.parent == 0;
}

}  // namespace

std::vector<AccessibleEvent> DiffSnapshots(const AccessibleSnapshot& before,
                                           const AccessibleSnapshot& after) {
    std::vector<AccessibleEvent> events;
    // Windows that went or came, and children removed or added under nodes that stayed.
    for (const AccessibleNode& old : before.Nodes()) {
        if (IsWindow(old) && !after.Find(old.path)) events.push_back(Event(Kind::WindowDestroyed, old.path));
    }
    for (const AccessibleNode& node : after.Nodes()) {
        const AccessibleNode* old = before.Find(node.path);
        if (!old) {
            if (IsWindow(node)) {
                AccessibleEvent e = Event(Kind::WindowCreated, node.path);
                e.text = node.name;
                events.push_back(e);
            }
            continue;
        }
        std::unordered_set<std::string> now, was;
        for (int c : node.children) now.insert(after.At(c).path);
        for (int c : old->children) was.insert(before.At(c).path);
        // Removed from the end first, so that each index still holds when it is read.
        for (auto it = old->children.rbegin(); it != old->children.rend(); ++it) {
            const AccessibleNode& child = before.At(*it);
            if (now.count(child.path)) continue;
            AccessibleEvent e = Event(Kind::ChildRemoved, node.path);
            e.detail = "remove";
            e.detail1 = child.indexInParent;
            e.child = child.path;
            events.push_back(e);
        }
        for (int c : node.children) {
            const AccessibleNode& child = after.At(c);
            if (was.count(child.path)) continue;
            AccessibleEvent e = Event(Kind::ChildAdded, node.path);
            e.detail = "add";
            e.detail1 = child.indexInParent;
            e.child = child.path;
            events.push_back(e);
        }
    }
    // What changed on nodes that stayed.
    for (const AccessibleNode& node : after.Nodes()) {
        const AccessibleNode* old = before.Find(node.path);
        if (!old) continue;
        if (old->name != node.name) {
            AccessibleEvent e = Event(Kind::NameChanged, node.path);
            e.detail = "accessible-name";
            e.text = node.name;
            events.push_back(e);
        }
        if (old->description != node.description) {
            AccessibleEvent e = Event(Kind::DescriptionChanged, node.path);
            e.detail = "accessible-description";
            e.text = node.description;
            events.push_back(e);
        }
        for (AccessibleState state : kAnnounced) {
            if (old->states.Has(state) != node.states.Has(state))
                events.push_back(StateEvent(node.path, state, node.states.Has(state)));
        }
        if (node.hasValue && (!old->hasValue || old->value != node.value)) {
            AccessibleEvent e = Event(Kind::ValueChanged, node.path);
            e.detail = "accessible-value";
            events.push_back(e);
        }
        if (node.hasText && old->text != node.text) {
            const TextEdit edit = DiffText(old->text, node.text);
            if (edit.removed > 0) {
                AccessibleEvent e = Event(Kind::TextRemoved, node.path);
                e.detail = "delete";
                e.detail1 = edit.offset;
                e.detail2 = edit.removed;
                e.text = WideToUtf8(old->text.substr(size_t(edit.offset), size_t(edit.removed)));
                events.push_back(e);
            }
            if (edit.inserted > 0) {
                AccessibleEvent e = Event(Kind::TextInserted, node.path);
                e.detail = "insert";
                e.detail1 = edit.offset;
                e.detail2 = edit.inserted;
                e.text = WideToUtf8(node.text.substr(size_t(edit.offset), size_t(edit.inserted)));
                events.push_back(e);
            }
        }
        if (node.selection) {
            bool changed = old->children.size() != node.children.size();
            for (size_t i = 0; !changed && i < node.children.size(); ++i) {
                changed = before.At(old->children[i]).states.Has(AccessibleState::Selected) !=
                          after.At(node.children[i]).states.Has(AccessibleState::Selected);
            }
            if (changed) events.push_back(Event(Kind::SelectionChanged, node.path));
        }
    }
    // Windows: the one that lost activation first, then the one that gained it.
    auto windowActivation = [&](bool gained) {
        for (const AccessibleNode& node : (gained ? after : before).Nodes()) {
            if (!IsWindow(node) || !node.states.Has(AccessibleState::Active)) continue;
            const AccessibleNode* other = (gained ? before : after).Find(node.path);
            if (other && other->states.Has(AccessibleState::Active)) continue;
            AccessibleEvent e = Event(gained ? Kind::WindowActivated : Kind::WindowDeactivated, node.path);
            e.text = node.name;
            events.push_back(e);
            events.push_back(StateEvent(node.path, AccessibleState::Active, gained));
        }
    };
    windowActivation(false);
    windowActivation(true);
    // Focus: lost, then gained (also when the focused object is new).
    const AccessibleNode* was = before.Focused();
    const AccessibleNode* now = after.Focused();
    const std::string wasPath = was ? was->path : std::string();
    const std::string nowPath = now ? now->path : std::string();
    if (wasPath != nowPath) {
        if (was && after.Find(wasPath))
            events.push_back(StateEvent(wasPath, AccessibleState::Focused, false));
        if (now) events.push_back(StateEvent(nowPath, AccessibleState::Focused, true));
    }
    return events;
}

}  // namespace Orvix
