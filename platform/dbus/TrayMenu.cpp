#include "platform/dbus/TrayMenu.h"

#include <gio/gio.h>

#include <vector>

#include "base/Trace.h"

namespace {

constexpr const char* kInterface = "com.canonical.dbusmenu";

constexpr const char* kIntrospection = R"xml(<node>
  <interface name="com.canonical.dbusmenu">
    <property name="Version" type="u" access="read"/>
    <property name="TextDirection" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="IconThemePath" type="as" access="read"/>
    <method name="GetLayout">
      <arg type="i" name="parentId" direction="in"/>
      <arg type="i" name="recursionDepth" direction="in"/>
      <arg type="as" name="propertyNames" direction="in"/>
      <arg type="u" name="revision" direction="out"/>
      <arg type="(ia{sv}av)" name="layout" direction="out"/>
    </method>
    <method name="GetGroupProperties">
      <arg type="ai" name="ids" direction="in"/>
      <arg type="as" name="propertyNames" direction="in"/>
      <arg type="a(ia{sv})" name="properties" direction="out"/>
    </method>
    <method name="GetProperty">
      <arg type="i" name="id" direction="in"/>
      <arg type="s" name="name" direction="in"/>
      <arg type="v" name="value" direction="out"/>
    </method>
    <method name="Event">
      <arg type="i" name="id" direction="in"/>
      <arg type="s" name="eventId" direction="in"/>
      <arg type="v" name="data" direction="in"/>
      <arg type="u" name="timestamp" direction="in"/>
    </method>
    <method name="EventGroup">
      <arg type="a(isvu)" name="events" direction="in"/>
      <arg type="ai" name="idErrors" direction="out"/>
    </method>
    <method name="AboutToShow">
      <arg type="i" name="id" direction="in"/>
      <arg type="b" name="needUpdate" direction="out"/>
    </method>
    <method name="AboutToShowGroup">
      <arg type="ai" name="ids" direction="in"/>
      <arg type="ai" name="updatesNeeded" direction="out"/>
      <arg type="ai" name="idErrors" direction="out"/>
    </method>
    <signal name="ItemsPropertiesUpdated">
      <arg type="a(ia{sv})" name="updatedProps"/>
      <arg type="a(ias)" name="removedProps"/>
    </signal>
    <signal name="LayoutUpdated">
      <arg type="u" name="revision"/>
      <arg type="i" name="parent"/>
    </signal>
    <signal name="ItemActivationRequested">
      <arg type="i" name="id"/>
      <arg type="u" name="timestamp"/>
    </signal>
  </interface>
</node>)xml";

GDBusInterfaceInfo* InterfaceInfo() {
    // Parsed once and kept for the life of the process.
    static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    return g_dbus_node_info_lookup_interface(node, kInterface);
}

// dbusmenu labels mark mnemonics with '_'; the text is shown as it is.
std::string EscapeMnemonics(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '_') out += '_';
    }
    return out;
}

bool Wanted(GVariant* names, const char* name) {
    if (!names || g_variant_n_children(names) == 0) return true;
    GVariantIter iter;
    const char* each = nullptr;
    g_variant_iter_init(&iter, names);
    while (g_variant_iter_next(&iter, "&s", &each))
        if (g_strcmp0(each, name) == 0) return true;
    return false;
}

}  // namespace

bool TrayMenu::Export(GDBusConnection* connection, const char* objectPath) {
    Unexport();
    static const GDBusInterfaceVTable vtable = {
        &TrayMenu::OnMethodCall, &TrayMenu::OnGetProperty, nullptr, {}};
    GError* error = nullptr;
    m_registration = g_dbus_connection_register_object(connection, objectPath, InterfaceInfo(), &vtable, this,
                                                       nullptr, &error);
    if (m_registration == 0) {
        Vantorel::Trace("tray menu: cannot export %s: %s", objectPath, error ? error->message : "?");
        g_clear_error(&error);
        return false;
    }
    m_connection = G_DBUS_CONNECTION(g_object_ref(connection));
    m_path = objectPath;
    return true;
}

void TrayMenu::Unexport() {
    if (!m_connection) return;
    g_dbus_connection_unregister_object(m_connection, m_registration);
    g_object_unref(m_connection);
    m_connection = nullptr;
    m_registration = 0;
}

void TrayMenu::SetItems(std::vector<Item> items) {
    if (items == m_items) return;
    m_items = std::move(items);
    ++m_revision;
    if (!m_connection) return;
    // Hosts that cache the layout reload it on LayoutUpdated; others only apply
    // changed properties.
    GVariantBuilder updated;
    g_variant_builder_init(&updated, G_VARIANT_TYPE("a(ia{sv})"));
    for (const Item& item : m_items)
        g_variant_builder_add_value(&updated,
                                    g_variant_new("(i@a{sv})", item.id, Properties(item.id, nullptr)));
    g_dbus_connection_emit_signal(m_connection, nullptr, m_path.c_str(), kInterface, "ItemsPropertiesUpdated",
                                  g_variant_new("(a(ia{sv})a(ias))", &updated, nullptr), nullptr);
    g_dbus_connection_emit_signal(m_connection, nullptr, m_path.c_str(), kInterface, "LayoutUpdated",
                                  g_variant_new("(ui)", m_revision, 0), nullptr);
}

const TrayMenu::Item* TrayMenu::Find(int id) const {
    for (const Item& item : m_items)
        if (item.id == id) return &item;
    return nullptr;
}

GVariant* TrayMenu::Properties(int id, GVariant* names) const {
    GVariantBuilder props;
    g_variant_builder_init(&props, G_VARIANT_TYPE_VARDICT);
    auto add = [&](const char* name, GVariant* value) {
        if (Wanted(names, name))
            g_variant_builder_add(&props, "{sv}", name, value);
        else
            g_variant_unref(g_variant_ref_sink(value));
    };
    if (id == 0) {
        add("children-display", g_variant_new_string("submenu"));
    } else if (const Item* item = Find(id)) {
        add("type", g_variant_new_string(item->separator ? "separator" : "standard"));
        if (!item->separator) add("label", g_variant_new_string(EscapeMnemonics(item->label).c_str()));
        add("enabled", g_variant_new_boolean(item->enabled));
        add("visible", g_variant_new_boolean(TRUE));
        if (item->radio >= 0) {
            add("toggle-type", g_variant_new_string("radio"));
            add("toggle-state", g_variant_new_int32(item->radio));
        }
    }
    return g_variant_builder_end(&props);
}

GVariant* TrayMenu::Layout(int id, int depth, GVariant* names) const {
    GVariantBuilder children;
    g_variant_builder_init(&children, G_VARIANT_TYPE("av"));
    if (id == 0 && depth != 0)
        for (const Item& item : m_items)
            g_variant_builder_add(&children, "v", Layout(item.id, depth < 0 ? -1 : depth - 1, names));
    return g_variant_new("(i@a{sv}av)", id, Properties(id, names), &children);
}

bool TrayMenu::HandleEvent(int id, const char* eventId) {
    if (!IsItem(id)) return false;
    const Item* item = Find(id);
    // A disabled item or a separator does nothing, whatever a host sends.
    if (item && !item->separator && item->enabled && g_strcmp0(eventId, "clicked") == 0 && m_clicked)
        m_clicked(id);
    return true;
}

void TrayMenu::OnMethodCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
                            GVariant* parameters, GDBusMethodInvocation* invocation, void* self) {
    auto* menu = static_cast<TrayMenu*>(self);
    auto unknownItem = [invocation](int id) {
        g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                              "No menu item %d", id);
    };
    if (g_strcmp0(method, "GetLayout") == 0) {
        gint32 parent = 0, depth = 0;
        GVariant* names = nullptr;
        g_variant_get(parameters, "(ii@as)", &parent, &depth, &names);
        if (menu->IsItem(parent))
            g_dbus_method_invocation_return_value(
                invocation,
                g_variant_new("(u@(ia{sv}av))", menu->m_revision, menu->Layout(parent, depth, names)));
        else
            unknownItem(parent);
        g_variant_unref(names);
    } else if (g_strcmp0(method, "GetGroupProperties") == 0) {
        GVariant* ids = nullptr;
        GVariant* names = nullptr;
        g_variant_get(parameters, "(@ai@as)", &ids, &names);
        GVariantBuilder result;
        g_variant_builder_init(&result, G_VARIANT_TYPE("a(ia{sv})"));
        gsize count = 0;
        const gint32* list =
            static_cast<const gint32*>(g_variant_get_fixed_array(ids, &count, sizeof(gint32)));
        std::vector<gint32> wanted(list, list + count);
        if (wanted.empty()) {  // no ids: every item
            wanted.push_back(0);
            for (const Item& item : menu->m_items) wanted.push_back(item.id);
        }
        for (gint32 id : wanted)
            if (menu->IsItem(id))
                g_variant_builder_add(&result, "(i@a{sv})", id, menu->Properties(id, names));
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(a(ia{sv}))", &result));
        g_variant_unref(ids);
        g_variant_unref(names);
    } else if (g_strcmp0(method, "GetProperty") == 0) {
        gint32 id = 0;
        const char* name = nullptr;
        g_variant_get(parameters, "(i&s)", &id, &name);
        GVariant* names = g_variant_new_strv(&name, 1);
        g_variant_ref_sink(names);
        GVariant* props = menu->IsItem(id) ? g_variant_ref_sink(menu->Properties(id, names)) : nullptr;
        GVariant* value = props ? g_variant_lookup_value(props, name, nullptr) : nullptr;
        if (value)
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(v)", value));
        else
            g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                                  "No property %s on menu item %d", name, id);
        if (value) g_variant_unref(value);
        if (props) g_variant_unref(props);
        g_variant_unref(names);
    } else if (g_strcmp0(method, "Event") == 0) {
        gint32 id = 0;
        const char* eventId = nullptr;
        g_variant_get(parameters, "(i&svu)", &id, &eventId, nullptr, nullptr);
        // Answer first: the exit callback may end the program.
        if (menu->IsItem(id))
            g_dbus_method_invocation_return_value(invocation, nullptr);
        else
            unknownItem(id);
        menu->HandleEvent(id, eventId);
    } else if (g_strcmp0(method, "EventGroup") == 0) {
        GVariantIter* events = nullptr;
        g_variant_get(parameters, "(a(isvu))", &events);
        GVariantBuilder errors;
        g_variant_builder_init(&errors, G_VARIANT_TYPE("ai"));
        std::vector<std::pair<gint32, std::string>> accepted;
        gint32 id = 0;
        const char* eventId = nullptr;
        while (g_variant_iter_next(events, "(i&svu)", &id, &eventId, nullptr, nullptr)) {
            if (menu->IsItem(id))
                accepted.emplace_back(id, eventId);
            else
                g_variant_builder_add(&errors, "i", id);
        }
        g_variant_iter_free(events);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(ai)", &errors));
        for (const auto& [item, event] : accepted) menu->HandleEvent(item, event.c_str());
    } else if (g_strcmp0(method, "AboutToShow") == 0) {
        gint32 id = 0;
        g_variant_get(parameters, "(i)", &id);
        if (menu->IsItem(id))
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", FALSE));
        else
            unknownItem(id);
    } else if (g_strcmp0(method, "AboutToShowGroup") == 0) {
        GVariantIter* ids = nullptr;
        g_variant_get(parameters, "(ai)", &ids);
        GVariantBuilder errors;
        g_variant_builder_init(&errors, G_VARIANT_TYPE("ai"));
        gint32 id = 0;
        while (g_variant_iter_next(ids, "i", &id))
            if (!menu->IsItem(id)) g_variant_builder_add(&errors, "i", id);
        g_variant_iter_free(ids);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(aiai)", nullptr, &errors));
    } else {
        g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD,
                                              "No method %s", method);
    }
}

GVariant* TrayMenu::OnGetProperty(GDBusConnection*, const char*, const char*, const char*,
                                  const char* property, GError** error, void*) {
    if (g_strcmp0(property, "Version") == 0) return g_variant_new_uint32(3);
    if (g_strcmp0(property, "TextDirection") == 0) return g_variant_new_string("ltr");
    if (g_strcmp0(property, "Status") == 0) return g_variant_new_string("normal");
    if (g_strcmp0(property, "IconThemePath") == 0) return g_variant_new_strv(nullptr, 0);
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
    return nullptr;
}
