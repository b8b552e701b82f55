#pragma once
// What assistive technology (screen readers, magnifiers, test robots) is told
// about a window's controls, without a window: the roles and states in the
// numbering of the desktop's accessibility bus, what a control says about
// itself, one immutable snapshot of every window's tree, and the events that
// lie between two snapshots. The bus side only ever reads snapshots; controls
// are described on the UI thread.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "orvix/platform/WinTypes.h"

namespace Orvix {

// The roles of AT-SPI2 (AtspiRole), with their numbers on the bus.
enum class AccessibleRole : uint32_t {
    Invalid = 0,
    Animation = 3,
    CheckBox = 7,
    ComboBox = 11,
    Dialog = 16,
    Filler = 20,
    Frame = 23,
    Image = 27,
    Label = 29,
    List = 31,
    ListItem = 32,
    Menu = 33,
    MenuItem = 35,
    PageTab = 37,
    PageTabList = 38,
    Panel = 39,
    PopupMenu = 41,
    ProgressBar = 42,
    PushButton = 43,
    RadioButton = 44,
    ScrollBar = 48,
    Separator = 50,
    Slider = 51,
    SpinButton = 52,
    Text = 61,
    ToggleButton = 62,
    ToolTip = 64,
    Unknown = 67,
    Window = 69,
    Application = 75,
    Entry = 79,
};

// The role's name as AT-SPI spells it ("push button"); "unknown" for others.
const char* AccessibleRoleName(AccessibleRole role);

// The states of AT-SPI2 (AtspiStateType), with their bit numbers.
enum class AccessibleState : uint32_t {
    Active = 1,
    Armed = 2,
    Busy = 3,
    Checked = 4,
    Collapsed = 5,
    Editable = 7,
    Enabled = 8,
    Expandable = 9,
    Expanded = 10,
    Focusable = 11,
    Focused = 12,
    HasTooltip = 13,
    Horizontal = 14,
    Iconified = 15,
    Modal = 16,
    MultiLine = 17,
    Pressed = 20,
    Resizable = 21,
    Selectable = 22,
    Selected = 23,
    Sensitive = 24,
    Showing = 25,
    SingleLine = 26,
    Transient = 28,
    Vertical = 29,
    Visible = 30,
    Checkable = 41,
    HasPopup = 42,
    ReadOnly = 43,
};

// The state's name in events ("focused", "checked"); empty for states no event names.
const char* AccessibleStateName(AccessibleState state);

class AccessibleStates {
  public:
    void Set(AccessibleState state, bool on = true) {
        const uint64_t bit = uint64_t(1) << uint32_t(state);
        m_bits = on ? (m_bits | bit) : (m_bits & ~bit);
    }
    bool Has(AccessibleState state) const { return (m_bits >> uint32_t(state)) & 1; }
    uint64_t Bits() const { return m_bits; }
    // The two 32-bit words the bus carries (GetState's "au").
    uint32_t Low() const { return uint32_t(m_bits); }
    uint32_t High() const { return uint32_t(m_bits >> 32); }
    bool operator==(const AccessibleStates& other) const { return m_bits == other.m_bits; }

  private:
    uint64_t m_bits = 0;
};

// One item of a control made of items (a tab, a row, a card).
struct AccessibleItem {
    AccessibleRole role = AccessibleRole::ListItem;
    std::wstring name;
    std::wstring description;
    bool selected = false;
    bool checkable = false;
    bool checked = false;
    bool hasValue = false;  // a DPI card: its DPI
    double value = 0, minimum = 0, maximum = 0, step = 1;
};

// What a control tells about itself (MControl::DescribeAccessible).
struct AccessibleInfo {
    AccessibleRole role = AccessibleRole::Panel;
    // False: the control itself is not shown to assistive technology (pure
    // decoration, bare containers); its children take its place.
    bool expose = true;
    std::wstring name;
    std::wstring description;  // the tooltip, where there is one
    // "click", "press" or "toggle"; empty when the control does nothing.
    std::wstring action;
    bool checkable = false;
    bool checked = false;
    bool pressed = false;
    bool selected = false;
    bool editable = false;
    bool multiLine = false;
    bool hasPopup = false;
    bool expanded = false;
    bool horizontal = false;
    bool hasValue = false;
    double value = 0, minimum = 0, maximum = 0, step = 1;
    std::wstring valueText;
    bool hasText = false;  // Text (and, when editable, EditableText)
    std::wstring text;
    int caret = -1;
    std::vector<AccessibleItem> items;
    bool itemsSelectable = false;  // Selection over the items
};

// A control made of items of which one is chosen (a list, a row of cards, a tab
// strip): its role, one item per name, the chosen one selected, no action of
// its own (its items have one).
void DescribeChoices(AccessibleInfo& info, AccessibleRole role, const std::vector<std::wstring>& names,
                     int selected, AccessibleRole itemRole = AccessibleRole::ListItem);

// One object of the snapshot: the application, a window, a control or an item.
struct AccessibleNode {
    std::string path;  // the object path on the bus
    int parent = -1;   // index in the snapshot; -1 for the application
    std::vector<int> children;
    int indexInParent = -1;
    AccessibleRole role = AccessibleRole::Unknown;
    std::string name;
    std::string description;
    AccessibleStates states;
    CRect extents;       // screen coordinates
    std::string action;  // empty: no Action interface
    bool hasValue = false;
    double value = 0, minimum = 0, maximum = 0, step = 1;
    std::string valueText;
    bool hasText = false;
    bool editableText = false;
    std::wstring text;
    int caret = -1;
    bool selection = false;  // Selection over the children
    // Where the UI thread finds what the node stands for.
    uint64_t control = 0;  // a control's serial (0 for windows and the application)
    int item = -1;         // the item of that control, or -1
    uint64_t window = 0;   // the window's serial (0 for the application)
};

// Every window's tree at one moment. Node 0 is the application.
class AccessibleSnapshot {
  public:
    static constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";
    static constexpr const char* kPathPrefix = "/org/a11y/atspi/accessible/";
    static std::string WindowPath(uint64_t serial);
    static std::string ControlPath(uint64_t serial);
    static std::string ItemPath(uint64_t serial, int item);

    // Appends a node under `parent` (-1: none) and returns its index.
    int Add(AccessibleNode node, int parent);
    const std::vector<AccessibleNode>& Nodes() const { return m_nodes; }
    const AccessibleNode* Find(const std::string& path) const;
    const AccessibleNode& At(int index) const { return m_nodes[size_t(index)]; }
    // The focused node, or null.
    const AccessibleNode* Focused() const;
    // The deepest showing node whose extents hold the screen point, below `from`.
    const AccessibleNode* NodeAt(int from, CPoint screen) const;

  private:
    std::vector<AccessibleNode> m_nodes;
    std::unordered_map<std::string, int> m_byPath;
};

// A change between two snapshots, as the bus announces it.
struct AccessibleEvent {
    enum class Kind {
        StateChanged,  // detail: state name; detail1: 1 on, 0 off
        NameChanged,   // text: the new name
        DescriptionChanged,
        ValueChanged,
        ChildAdded,  // detail1: index; child: the child's path
        ChildRemoved,
        TextInserted,  // detail1: offset, detail2: length, text
        TextRemoved,
        SelectionChanged,
        WindowCreated,
        WindowDestroyed,
        WindowActivated,
        WindowDeactivated,
    };
    Kind kind;
    std::string path;
    std::string detail;
    int detail1 = 0;
    int detail2 = 0;
    std::string text;
    std::string child;
};

// The events that turn `before` into `after`, in the order a listener wants
// them: windows and children first, then what changed on nodes that stayed,
// the focus lost before the focus gained.
std::vector<AccessibleEvent> DiffSnapshots(const AccessibleSnapshot& before, const AccessibleSnapshot& after);

// Numbers that name controls and windows for as long as they live; never reused.
uint64_t NextAccessibleSerial();
// Something assistive technology may see has changed: the tree is described
// again soon (once for many changes). Costs a flag test while none listens.
void AccessibilityNoteChange();

// The shortest edit between two texts: `removed` characters at `offset` give
// way to `inserted` ones (both 0 when equal).
struct TextEdit {
    int offset = 0;
    int removed = 0;
    int inserted = 0;
};
TextEdit DiffText(const std::wstring& before, const std::wstring& after);

}  // namespace Orvix
