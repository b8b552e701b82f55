#include "platform/dbus/AtspiInterfaces.h"

#include <algorithm>
#include <cwctype>

using Orvix::AccessibleNode;

const char kAtspiIntrospection[] = R"XML(<node>
  <interface name="org.a11y.atspi.Accessible">
    <property name="Name" type="s" access="read"/>
    <property name="Description" type="s" access="read"/>
    <property name="Parent" type="(so)" access="read"/>
    <property name="ChildCount" type="i" access="read"/>
    <property name="Locale" type="s" access="read"/>
    <property name="AccessibleId" type="s" access="read"/>
    <property name="HelpText" type="s" access="read"/>
    <method name="GetChildAtIndex"><arg direction="in" name="index" type="i"/><arg direction="out" type="(so)"/></method>
    <method name="GetChildren"><arg direction="out" type="a(so)"/></method>
    <method name="GetIndexInParent"><arg direction="out" type="i"/></method>
    <method name="GetRelationSet"><arg direction="out" type="a(ua(so))"/></method>
    <method name="GetRole"><arg direction="out" type="u"/></method>
    <method name="GetRoleName"><arg direction="out" type="s"/></method>
    <method name="GetLocalizedRoleName"><arg direction="out" type="s"/></method>
    <method name="GetState"><arg direction="out" type="au"/></method>
    <method name="GetAttributes"><arg direction="out" type="a{ss}"/></method>
    <method name="GetApplication"><arg direction="out" type="(so)"/></method>
    <method name="GetInterfaces"><arg direction="out" type="as"/></method>
  </interface>
  <interface name="org.a11y.atspi.Application">
    <property name="ToolkitName" type="s" access="read"/>
    <property name="Version" type="s" access="read"/>
    <property name="AtspiVersion" type="s" access="read"/>
    <property name="Id" type="i" access="readwrite"/>
    <method name="GetLocale"><arg direction="in" name="lctype" type="u"/><arg direction="out" type="s"/></method>
  </interface>
  <interface name="org.a11y.atspi.Component">
    <method name="Contains"><arg direction="in" name="x" type="i"/><arg direction="in" name="y" type="i"/><arg direction="in" name="coord_type" type="u"/><arg direction="out" type="b"/></method>
    <method name="GetAccessibleAtPoint"><arg direction="in" name="x" type="i"/><arg direction="in" name="y" type="i"/><arg direction="in" name="coord_type" type="u"/><arg direction="out" type="(so)"/></method>
    <method name="GetExtents"><arg direction="in" name="coord_type" type="u"/><arg direction="out" type="(iiii)"/></method>
    <method name="GetPosition"><arg direction="in" name="coord_type" type="u"/><arg direction="out" name="x" type="i"/><arg direction="out" name="y" type="i"/></method>
    <method name="GetSize"><arg direction="out" name="width" type="i"/><arg direction="out" name="height" type="i"/></method>
    <method name="GetLayer"><arg direction="out" type="u"/></method>
    <method name="GetMDIZOrder"><arg direction="out" type="n"/></method>
    <method name="GrabFocus"><arg direction="out" type="b"/></method>
    <method name="GetAlpha"><arg direction="out" type="d"/></method>
  </interface>
  <interface name="org.a11y.atspi.Action">
    <property name="NActions" type="i" access="read"/>
    <method name="GetDescription"><arg direction="in" name="index" type="i"/><arg direction="out" type="s"/></method>
    <method name="GetName"><arg direction="in" name="index" type="i"/><arg direction="out" type="s"/></method>
    <method name="GetLocalizedName"><arg direction="in" name="index" type="i"/><arg direction="out" type="s"/></method>
    <method name="GetKeyBinding"><arg direction="in" name="index" type="i"/><arg direction="out" type="s"/></method>
    <method name="GetActions"><arg direction="out" type="a(sss)"/></method>
    <method name="DoAction"><arg direction="in" name="index" type="i"/><arg direction="out" type="b"/></method>
  </interface>
  <interface name="org.a11y.atspi.Value">
    <property name="MinimumValue" type="d" access="read"/>
    <property name="MaximumValue" type="d" access="read"/>
    <property name="MinimumIncrement" type="d" access="read"/>
    <property name="CurrentValue" type="d" access="readwrite"/>
    <property name="Text" type="s" access="read"/>
  </interface>
  <interface name="org.a11y.atspi.Text">
    <property name="CharacterCount" type="i" access="read"/>
    <property name="CaretOffset" type="i" access="read"/>
    <method name="GetStringAtOffset"><arg direction="in" name="offset" type="i"/><arg direction="in" name="granularity" type="u"/><arg direction="out" type="s"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetText"><arg direction="in" name="startOffset" type="i"/><arg direction="in" name="endOffset" type="i"/><arg direction="out" type="s"/></method>
    <method name="SetCaretOffset"><arg direction="in" name="offset" type="i"/><arg direction="out" type="b"/></method>
    <method name="GetTextBeforeOffset"><arg direction="in" name="offset" type="i"/><arg direction="in" name="type" type="u"/><arg direction="out" type="s"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetTextAtOffset"><arg direction="in" name="offset" type="i"/><arg direction="in" name="type" type="u"/><arg direction="out" type="s"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetTextAfterOffset"><arg direction="in" name="offset" type="i"/><arg direction="in" name="type" type="u"/><arg direction="out" type="s"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetCharacterAtOffset"><arg direction="in" name="offset" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetAttributeValue"><arg direction="in" name="offset" type="i"/><arg direction="in" name="attributeName" type="s"/><arg direction="out" type="s"/></method>
    <method name="GetAttributes"><arg direction="in" name="offset" type="i"/><arg direction="out" type="a{ss}"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetDefaultAttributes"><arg direction="out" type="a{ss}"/></method>
    <method name="GetCharacterExtents"><arg direction="in" name="offset" type="i"/><arg direction="in" name="coordType" type="u"/><arg direction="out" type="i"/><arg direction="out" type="i"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetOffsetAtPoint"><arg direction="in" name="x" type="i"/><arg direction="in" name="y" type="i"/><arg direction="in" name="coordType" type="u"/><arg direction="out" type="i"/></method>
    <method name="GetNSelections"><arg direction="out" type="i"/></method>
    <method name="GetSelection"><arg direction="in" name="selectionNum" type="i"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetRangeExtents"><arg direction="in" name="startOffset" type="i"/><arg direction="in" name="endOffset" type="i"/><arg direction="in" name="coordType" type="u"/><arg direction="out" type="i"/><arg direction="out" type="i"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetAttributeRun"><arg direction="in" name="offset" type="i"/><arg direction="in" name="includeDefaults" type="b"/><arg direction="out" type="a{ss}"/><arg direction="out" type="i"/><arg direction="out" type="i"/></method>
    <method name="GetDefaultAttributeSet"><arg direction="out" type="a{ss}"/></method>
  </interface>
  <interface name="org.a11y.atspi.EditableText">
    <method name="SetTextContents"><arg direction="in" name="newContents" type="s"/><arg direction="out" type="b"/></method>
    <method name="InsertText"><arg direction="in" name="position" type="i"/><arg direction="in" name="text" type="s"/><arg direction="in" name="length" type="i"/><arg direction="out" type="b"/></method>
    <method name="CopyText"><arg direction="in" name="startPos" type="i"/><arg direction="in" name="endPos" type="i"/></method>
    <method name="CutText"><arg direction="in" name="startPos" type="i"/><arg direction="in" name="endPos" type="i"/><arg direction="out" type="b"/></method>
    <method name="DeleteText"><arg direction="in" name="startPos" type="i"/><arg direction="in" name="endPos" type="i"/><arg direction="out" type="b"/></method>
    <method name="PasteText"><arg direction="in" name="position" type="i"/><arg direction="out" type="b"/></method>
  </interface>
  <interface name="org.a11y.atspi.Selection">
    <property name="NSelectedChildren" type="i" access="read"/>
    <method name="GetSelectedChild"><arg direction="in" name="selectedChildIndex" type="i"/><arg direction="out" type="(so)"/></method>
    <method name="SelectChild"><arg direction="in" name="childIndex" type="i"/><arg direction="out" type="b"/></method>
    <method name="DeselectSelectedChild"><arg direction="in" name="selectedChildIndex" type="i"/><arg direction="out" type="b"/></method>
    <method name="IsChildSelected"><arg direction="in" name="childIndex" type="i"/><arg direction="out" type="b"/></method>
    <method name="SelectAll"><arg direction="out" type="b"/></method>
    <method name="ClearSelection"><arg direction="out" type="b"/></method>
    <method name="DeselectChild"><arg direction="in" name="childIndex" type="i"/><arg direction="out" type="b"/></method>
  </interface>
  <interface name="org.a11y.atspi.Cache">
    <method name="GetItems"><arg direction="out" type="a((so)(so)(so)iiassusau)"/></method>
  </interface>
</node>)XML";

namespace {

struct Served {
    const char* name;
    bool (*serves)(const AccessibleNode& node, bool root);
};

const Served kServed[] = {
    {"org.a11y.atspi.Accessible", [](const AccessibleNode&, bool) { return true; }},
    {"org.a11y.atspi.Application", [](const AccessibleNode&, bool root) { return root; }},
    {"org.a11y.atspi.Component", [](const AccessibleNode&, bool root) { return !root; }},
    {"org.a11y.atspi.Action", [](const AccessibleNode& n, bool) { return !n.action.empty(); }},
    {"org.a11y.atspi.Value", [](const AccessibleNode& n, bool) { return n.hasValue; }},
    {"org.a11y.atspi.Text", [](const AccessibleNode& n, bool) { return n.hasText; }},
    {"org.a11y.atspi.EditableText", [](const AccessibleNode& n, bool) { return n.editableText; }},
    {"org.a11y.atspi.Selection", [](const AccessibleNode& n, bool) { return n.selection; }},
};

bool IsWordChar(wchar_t c) {
    return std::iswalnum(wint_t(c)) || c == L'_';
}

}  // namespace

std::string AtspiInterfaceList(const AccessibleNode& node, bool root) {
    std::string list;
    for (const Served& s : kServed) {
        if (!s.serves(node, root)) continue;
        if (!list.empty()) list += ' ';
        list += s.name;
    }
    return list;
}

bool AtspiServes(const AccessibleNode& node, bool root, const std::string& interface) {
    for (const Served& s : kServed)
        if (interface == s.name) return s.serves(node, root);
    return false;
}

unsigned TextBoundaryGranularity(unsigned boundary) {
    switch (boundary) {
        case 0:
            return 0;
        case 1:
        case 2:
            return 1;
        case 3:
        case 4:
            return 2;
        default:
            return 3;
    }
}

TextRange TextAround(const std::wstring& text, int offset, unsigned granularity) {
    const int n = int(text.size());
    TextRange r;
    if (offset < 0 || offset > n || n == 0) return r;
    if (granularity == 0) {
        r.start = std::min(offset, n);
        r.end = std::min(offset + 1, n);
        return r;
    }
    if (granularity == 1) {
        // The word the offset is in (or the spaces up to the next one).
        int at = std::min(offset, n - 1);
        const bool word = IsWordChar(text[size_t(at)]);
        r.start = at;
        while (r.start > 0 && IsWordChar(text[size_t(r.start - 1)]) == word) --r.start;
        r.end = at;
        while (r.end < n && IsWordChar(text[size_t(r.end)]) == word) ++r.end;
        return r;
    }
    // Fields hold one line, one sentence, one paragraph: lines split on '\n'.
    r.start = offset;
    while (r.start > 0 && text[size_t(r.start - 1)] != L'\n') --r.start;
    r.end = offset;
    while (r.end < n && text[size_t(r.end)] != L'\n') ++r.end;
    if (r.end < n) ++r.end;
    return r;
}

std::string InsertedPart(const std::string& text, int length) {
    if (length < 0 || size_t(length) >= text.size()) return text;
    size_t cut = size_t(length);
    // Back to the start of the character the cut falls in.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}
