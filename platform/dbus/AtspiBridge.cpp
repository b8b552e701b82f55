#include "platform/dbus/AtspiBridge.h"

#include <gio/gio.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "orvix/core/AccessibleHub.h"
#include "base/TextConv.h"
#include "orvix/platform/Platform.h"
#include "base/Trace.h"
#include "platform/dbus/AtspiInterfaces.h"

using Orvix::AccessibleEvent;
using Orvix::AccessibleHub;
using Orvix::AccessibleNode;
using Orvix::AccessibleSnapshot;
using Orvix::AccessibleState;
using Orvix::CPoint;
using Orvix::CRect;

namespace {

constexpr const char* kNullPath = "/org/a11y/atspi/null";
constexpr const char* kSubtree = "/org/a11y/atspi/accessible";
constexpr const char* kCachePath = "/org/a11y/atspi/cache";
constexpr int kCallTimeoutMs = 3000;
// Component coordinate types.
constexpr unsigned kCoordScreen = 0, kCoordWindow = 1;
// Component layers.
constexpr unsigned kLayerWidget = 3, kLayerWindow = 7;

GDBusNodeInfo* Introspection() {
    static GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(kAtspiIntrospection, nullptr);
    return info;
}

GDBusInterfaceInfo* Interface(const char* name) {
    return g_dbus_node_info_lookup_interface(Introspection(), name);
}

bool Truthy(GVariant* value) {
    if (!value) return false;
    GVariant* inner = g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT) ? g_variant_get_variant(value)
                                                                          : g_variant_ref(value);
    const bool on = g_variant_is_of_type(inner, G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(inner);
    g_variant_unref(inner);
    return on;
}

}  // namespace

class AtspiBridge::Session : public std::enable_shared_from_this<AtspiBridge::Session> {
  public:
    Session(Options options, GLibLoop& loop, std::shared_ptr<std::atomic<bool>> registered,
            std::shared_ptr<std::atomic<bool>> waiting)
        : m_options(std::move(options)),
          m_loop(loop),
          m_registered(std::move(registered)),
          m_waiting(std::move(waiting)) {}

    // ---- loop thread ----

    void Begin() {
        if (!m_options.accessibilityBus.empty()) {
            Connect(m_options.accessibilityBus);
            return;
        }
        if (m_options.sessionBus.empty()) return;
        GError* error = nullptr;
        m_sessionBus = g_dbus_connection_new_for_address_sync(
            m_options.sessionBus.c_str(),
            GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        if (!m_sessionBus) {
            Vantorel::Trace("accessibility: no session bus: %s", error ? error->message : "?");
            g_clear_error(&error);
            return;
        }
        // The desktop says when assistive technology is wanted; the bus launcher may also come later.
        m_statusWatch = g_dbus_connection_signal_subscribe(
            m_sessionBus, nullptr, "org.freedesktop.DBus.Properties", "PropertiesChanged", "/org/a11y/bus",
            "org.a11y.Status", G_DBUS_SIGNAL_FLAGS_MATCH_ARG0_NAMESPACE, &Session::OnStatusChanged, this,
            nullptr);
        m_ownerWatch = g_dbus_connection_signal_subscribe(
            m_sessionBus, "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
            "/org/freedesktop/DBus", "org.a11y.Bus", G_DBUS_SIGNAL_FLAGS_NONE, &Session::OnStatusChanged,
            this, nullptr);
        CheckStatus();
    }

    void End() {
        if (m_a11y) {
            for (guint id : m_registrations) g_dbus_connection_unregister_object(m_a11y, id);
            if (m_subtree) g_dbus_connection_unregister_subtree(m_a11y, m_subtree);
            g_dbus_connection_flush_sync(m_a11y, nullptr, nullptr);
            g_dbus_connection_close_sync(m_a11y, nullptr, nullptr);
            g_clear_object(&m_a11y);
        }
        if (m_sessionBus) {
            if (m_statusWatch) g_dbus_connection_signal_unsubscribe(m_sessionBus, m_statusWatch);
            if (m_ownerWatch) g_dbus_connection_signal_unsubscribe(m_sessionBus, m_ownerWatch);
            g_dbus_connection_close_sync(m_sessionBus, nullptr, nullptr);
            g_clear_object(&m_sessionBus);
        }
        m_registered->store(false);
        m_waiting->store(false);
    }

    // ---- UI thread: a new snapshot ----

    void Publish(std::shared_ptr<const AccessibleSnapshot> snapshot, std::vector<AccessibleEvent> events) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_snapshot = snapshot;
        }
        std::weak_ptr<Session> weak = weak_from_this();
        m_loop.Post([weak, snapshot, events = std::move(events)] {
            if (auto self = weak.lock()) self->Announce(*snapshot, events);
        });
    }

  private:
    bool Wanted() {
        bool wanted = false;
        for (const char* property : {"IsEnabled", "ScreenReaderEnabled"}) {
            GVariant* reply = g_dbus_connection_call_sync(
                m_sessionBus, "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Get",
                g_variant_new("(ss)", "org.a11y.Status", property), G_VARIANT_TYPE("(v)"),
                G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr);
            if (!reply) return false;  // no bus launcher: nobody listens
            GVariant* value = g_variant_get_child_value(reply, 0);
            wanted = wanted || Truthy(value);
            g_variant_unref(value);
            g_variant_unref(reply);
        }
        return wanted;
    }

    void CheckStatus() {
        if (m_a11y) return;
        const bool wanted = Wanted();
        Vantorel::Trace("accessibility: assistive technology %s", wanted ? "wanted" : "not wanted");
        if (!wanted) {
            m_waiting->store(true);
            return;
        }
        GVariant* reply = g_dbus_connection_call_sync(
            m_sessionBus, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr,
            G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr);
        if (!reply) return;
        const gchar* address = nullptr;
        g_variant_get(reply, "(&s)", &address);
        const std::string where = address ? address : "";
        g_variant_unref(reply);
        if (!where.empty()) Connect(where);
    }

    static void OnStatusChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                const gchar* signal, GVariant* parameters, gpointer data) {
        if (Vantorel::TraceEnabled()) {
            gchar* text = g_variant_print(parameters, TRUE);
            Vantorel::Trace("accessibility: %s %s", signal, text);
            g_free(text);
        }
        static_cast<Session*>(data)->CheckStatus();
    }

    void Connect(const std::string& address) {
        GError* error = nullptr;
        m_a11y = g_dbus_connection_new_for_address_sync(
            address.c_str(),
            GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        if (!m_a11y) {
            Vantorel::Trace("accessibility: cannot connect to %s: %s", address.c_str(),
                            error ? error->message : "?");
            g_clear_error(&error);
            return;
        }
        m_waiting->store(false);
        m_uniqueName = g_dbus_connection_get_unique_name(m_a11y);
        Vantorel::Trace("accessibility: on the accessibility bus as %s", m_uniqueName.c_str());
        static const GDBusSubtreeVTable subtree = {
            &Session::Enumerate, &Session::Introspect, &Session::Dispatch, {}};
        m_subtree = g_dbus_connection_register_subtree(m_a11y, kSubtree, &subtree,
                                                       G_DBUS_SUBTREE_FLAGS_DISPATCH_TO_UNENUMERATED_NODES,
                                                       this, nullptr, &error);
        if (!m_subtree) {
            Vantorel::Trace("accessibility: cannot serve the tree: %s", error ? error->message : "?");
            g_clear_error(&error);
            return;
        }
        static const GDBusInterfaceVTable cache = {&Session::OnCacheCall, nullptr, nullptr, {}};
        if (guint id = g_dbus_connection_register_object(
                m_a11y, kCachePath, Interface("org.a11y.atspi.Cache"), &cache, this, nullptr, nullptr))
            m_registrations.push_back(id);
        // The UI thread describes the windows and listens from now on; the
        // first snapshot then registers the application.
        std::weak_ptr<Session> weak = weak_from_this();
        Orvix::Platform::PostTask([weak] {
            if (!weak.lock()) return;
            AccessibleHub::SetListener([weak](std::shared_ptr<const AccessibleSnapshot> snapshot,
                                              std::vector<AccessibleEvent> events) {
                if (auto self = weak.lock()) self->Publish(std::move(snapshot), std::move(events));
            });
            AccessibleHub::Rebuild();
        });
    }

    void Embed() {
        if (m_embedding || !m_a11y) return;
        m_embedding = true;
        g_dbus_connection_call(m_a11y, "org.a11y.atspi.Registry", AccessibleSnapshot::kRootPath,
                               "org.a11y.atspi.Socket", "Embed",
                               g_variant_new("((so))", m_uniqueName.c_str(), AccessibleSnapshot::kRootPath),
                               G_VARIANT_TYPE("((so))"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr,
                               &Session::OnEmbedded, new std::shared_ptr<Session>(shared_from_this()));
    }

    static void OnEmbedded(GObject* source, GAsyncResult* result, gpointer data) {
        auto* hold = static_cast<std::shared_ptr<Session>*>(data);
        std::shared_ptr<Session> self = *hold;
        delete hold;
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        if (!reply) {
            Vantorel::Trace("accessibility: the registry did not take the application: %s",
                            error ? error->message : "?");
            g_clear_error(&error);
            return;
        }
        const gchar* name = nullptr;
        const gchar* path = nullptr;
        g_variant_get(reply, "((&s&o))", &name, &path);
        self->m_desktopName = name ? name : "";
        self->m_desktopPath = path ? path : kNullPath;
        g_variant_unref(reply);
        self->m_registered->store(true);
    }

    // ---- events ----

    void Announce(const AccessibleSnapshot& snapshot, const std::vector<AccessibleEvent>& events) {
        if (!m_a11y) return;
        if (!m_embedding) {
            Embed();
            return;  // a reader asks for the tree once the registry tells it of the application
        }
        for (const AccessibleEvent& e : events) Emit(snapshot, e);
    }

    void Emit(const AccessibleSnapshot& snapshot, const AccessibleEvent& e) {
        using Kind = AccessibleEvent::Kind;
        const char* interface = "org.a11y.atspi.Event.Object";
        const char* member = nullptr;
        GVariant* any = nullptr;
        switch (e.kind) {
            case Kind::StateChanged:
                member = "StateChanged";
                any = g_variant_new_int32(0);
                break;
            case Kind::NameChanged:
            case Kind::DescriptionChanged:
                member = "PropertyChange";
                any = g_variant_new_string(e.text.c_str());
                break;
            case Kind::ValueChanged: {
                member = "PropertyChange";
                const AccessibleNode* node = snapshot.Find(e.path);
                any = g_variant_new_double(node ? node->value : 0);
                break;
            }
            case Kind::ChildAdded:
            case Kind::ChildRemoved:
                member = "ChildrenChanged";
                any = g_variant_new("(so)", m_uniqueName.c_str(), e.child.c_str());
                break;
            case Kind::TextInserted:
            case Kind::TextRemoved:
                member = "TextChanged";
                any = g_variant_new_string(e.text.c_str());
                break;
            case Kind::SelectionChanged:
                member = "SelectionChanged";
                any = g_variant_new_int32(0);
                break;
            case Kind::WindowCreated:
            case Kind::WindowDestroyed:
            case Kind::WindowActivated:
            case Kind::WindowDeactivated:
                interface = "org.a11y.atspi.Event.Window";
                member = e.kind == Kind::WindowCreated     ? "Create"
                         : e.kind == Kind::WindowDestroyed ? "Destroy"
                         : e.kind == Kind::WindowActivated ? "Activate"
                                                           : "Deactivate";
                any = g_variant_new_string(e.text.c_str());
                break;
        }
        GVariantBuilder properties;
        g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
        g_dbus_connection_emit_signal(
            m_a11y, nullptr, e.path.c_str(), interface, member,
            g_variant_new("(siiva{sv})", e.detail.c_str(), e.detail1, e.detail2, any, &properties), nullptr);
        if (e.kind == Kind::StateChanged && e.detail == "focused" && e.detail1 == 1) {
            g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
            g_dbus_connection_emit_signal(
                m_a11y, nullptr, e.path.c_str(), "org.a11y.atspi.Event.Focus", "Focus",
                g_variant_new("(siiva{sv})", "", 0, 0, g_variant_new_int32(0), &properties), nullptr);
        }
    }

    // ---- serving the tree (loop thread) ----

    std::shared_ptr<const AccessibleSnapshot> Snapshot() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_snapshot;
    }

    static gchar** Enumerate(GDBusConnection*, const gchar*, const gchar*, gpointer data) {
        auto snapshot = static_cast<Session*>(data)->Snapshot();
        std::vector<std::string> names;
        const size_t prefix = std::string(AccessibleSnapshot::kPathPrefix).size();
        if (snapshot)
            for (const AccessibleNode& node : snapshot->Nodes()) names.push_back(node.path.substr(prefix));
        gchar** list = g_new0(gchar*, names.size() + 1);
        for (size_t i = 0; i < names.size(); ++i) list[i] = g_strdup(names[i].c_str());
        return list;
    }

    static GDBusInterfaceInfo** Introspect(GDBusConnection*, const gchar*, const gchar* objectPath,
                                           const gchar* node, gpointer data) {
        if (!node) return nullptr;  // the folder of the objects is none itself
        auto snapshot = static_cast<Session*>(data)->Snapshot();
        if (!snapshot) return nullptr;
        // GDBus names the subtree and the node when it introspects, and the
        // object itself when it dispatches a call.
        const AccessibleNode* found = snapshot->Find(objectPath);
        if (!found) found = snapshot->Find(std::string(objectPath) + "/" + node);
        if (!found) return nullptr;
        const bool root = found->parent < 0;
        std::vector<GDBusInterfaceInfo*> infos;
        for (GDBusInterfaceInfo** i = Introspection()->interfaces; *i; ++i) {
            if (AtspiServes(*found, root, (*i)->name)) infos.push_back(g_dbus_interface_info_ref(*i));
        }
        GDBusInterfaceInfo** list = g_new0(GDBusInterfaceInfo*, infos.size() + 1);
        std::copy(infos.begin(), infos.end(), list);
        return list;
    }

    static const GDBusInterfaceVTable* Dispatch(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                                const gchar*, gpointer* userData, gpointer data) {
        static const GDBusInterfaceVTable vtable = {
            &Session::OnCall, &Session::OnGetProperty, &Session::OnSetProperty, {}};
        *userData = data;
        return &vtable;
    }

    GVariant* Ref(const std::string& path) const {
        return g_variant_new("(so)", m_uniqueName.c_str(), path.c_str());
    }
    GVariant* NullRef() const { return g_variant_new("(so)", "", kNullPath); }
    GVariant* ParentRef(const AccessibleSnapshot& snapshot, const AccessibleNode& node) const {
        if (node.parent >= 0) return Ref(snapshot.At(node.parent).path);
        if (!m_desktopName.empty())
            return g_variant_new("(so)", m_desktopName.c_str(), m_desktopPath.c_str());
        return NullRef();
    }

    // The node's extents in the coordinates asked for.
    CRect Extents(const AccessibleSnapshot& snapshot, const AccessibleNode& node, unsigned coordType) const {
        CRect r = node.extents;
        if (coordType == kCoordScreen) return r;
        CRect origin;
        if (coordType == kCoordWindow) {
            const AccessibleNode* window = &node;
            while (window->parent > 0) window = &snapshot.At(window->parent);
            origin = window->extents;
        } else if (node.parent >= 0) {
            origin = snapshot.At(node.parent).extents;
        }
        r.OffsetRect(-origin.left, -origin.top);
        return r;
    }

    static GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar* objectPath,
                                   const gchar* interface, const gchar* property, GError** error,
                                   gpointer data) {
        Session* self = static_cast<Session*>(data);
        auto snapshot = self->Snapshot();
        const AccessibleNode* node = snapshot ? snapshot->Find(objectPath) : nullptr;
        if (!node) {
            g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT, "%s is gone", objectPath);
            return nullptr;
        }
        const std::string iface = interface, prop = property;
        if (iface == "org.a11y.atspi.Accessible") {
            if (prop == "Name") return g_variant_new_string(node->name.c_str());
            if (prop == "Description") return g_variant_new_string(node->description.c_str());
            if (prop == "Parent") return self->ParentRef(*snapshot, *node);
            if (prop == "ChildCount") return g_variant_new_int32(int(node->children.size()));
            if (prop == "Locale") return g_variant_new_string(self->Locale().c_str());
            if (prop == "AccessibleId")
                return g_variant_new_string(node->path.substr(node->path.rfind('/') + 1).c_str());
            if (prop == "HelpText") return g_variant_new_string("");
        } else if (iface == "org.a11y.atspi.Application") {
            if (prop == "ToolkitName") return g_variant_new_string("Orvix");
            if (prop == "Version") return g_variant_new_string("1.0");
            if (prop == "AtspiVersion") return g_variant_new_string("2.1");
            if (prop == "Id") return g_variant_new_int32(self->m_applicationId);
        } else if (iface == "org.a11y.atspi.Action") {
            if (prop == "NActions") return g_variant_new_int32(node->action.empty() ? 0 : 1);
        } else if (iface == "org.a11y.atspi.Value") {
            if (prop == "MinimumValue") return g_variant_new_double(node->minimum);
            if (prop == "MaximumValue") return g_variant_new_double(node->maximum);
            if (prop == "MinimumIncrement") return g_variant_new_double(node->step);
            if (prop == "CurrentValue") return g_variant_new_double(node->value);
            if (prop == "Text") return g_variant_new_string(node->valueText.c_str());
        } else if (iface == "org.a11y.atspi.Text") {
            if (prop == "CharacterCount") return g_variant_new_int32(int(node->text.size()));
            if (prop == "CaretOffset") return g_variant_new_int32(node->caret);
        } else if (iface == "org.a11y.atspi.Selection") {
            if (prop == "NSelectedChildren")
                return g_variant_new_int32(int(self->SelectedChildren(*snapshot, *node).size()));
        }
        g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", property);
        return nullptr;
    }

    static gboolean OnSetProperty(GDBusConnection*, const gchar*, const gchar* objectPath,
                                  const gchar* interface, const gchar* property, GVariant* value,
                                  GError** error, gpointer data) {
        Session* self = static_cast<Session*>(data);
        const std::string iface = interface, prop = property;
        if (iface == "org.a11y.atspi.Application" && prop == "Id") {
            self->m_applicationId = g_variant_get_int32(value);
            return TRUE;
        }
        if (iface == "org.a11y.atspi.Value" && prop == "CurrentValue") {
            auto snapshot = self->Snapshot();
            const AccessibleNode* node = snapshot ? snapshot->Find(objectPath) : nullptr;
            if (node && node->hasValue && node->item < 0) {
                const uint64_t control = node->control;
                const double target = g_variant_get_double(value);
                Orvix::Platform::PostTask([control, target] { AccessibleHub::SetValue(control, target); });
                return TRUE;
            }
        }
        g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_PROPERTY_READ_ONLY, "%s cannot be set here", property);
        return FALSE;
    }

    std::string Locale() const {
        const char* lang = std::getenv("LANG");
        return lang && *lang ? lang : "C";
    }

    std::vector<int> SelectedChildren(const AccessibleSnapshot& snapshot, const AccessibleNode& node) const {
        std::vector<int> selected;
        for (int c : node.children)
            if (snapshot.At(c).states.Has(AccessibleState::Selected)) selected.push_back(c);
        return selected;
    }

    // Replies on whatever thread the UI work finishes (GDBus's replies are thread-safe).
    static void PostAction(uint64_t control, int item, GDBusMethodInvocation* invocation) {
        g_object_ref(invocation);
        Orvix::Platform::PostTask([control, item, invocation] {
            AccessibleHub::DoAction(control, item, [invocation](bool ok) {
                g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", ok));
                g_object_unref(invocation);
            });
        });
    }

    static void OnCall(GDBusConnection*, const gchar*, const gchar* objectPath, const gchar* interface,
                       const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                       gpointer data) {
        Session* self = static_cast<Session*>(data);
        auto snapshot = self->Snapshot();
        const AccessibleNode* node = snapshot ? snapshot->Find(objectPath) : nullptr;
        if (!node) {
            g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT,
                                                  "%s is gone", objectPath);
            return;
        }
        GVariant* reply = self->Answer(*snapshot, *node, interface, method, parameters, invocation);
        if (reply) g_dbus_method_invocation_return_value(invocation, reply);
    }

    // The reply, or null when the call was answered otherwise (later, or with an error).
    GVariant* Answer(const AccessibleSnapshot& snapshot, const AccessibleNode& node, const std::string& iface,
                     const std::string& method, GVariant* parameters, GDBusMethodInvocation* invocation) {
        if (iface == "org.a11y.atspi.Accessible") return AnswerAccessible(snapshot, node, method, parameters);
        if (iface == "org.a11y.atspi.Application") {
            if (method == "GetLocale") return g_variant_new("(s)", Locale().c_str());
        }
        if (iface == "org.a11y.atspi.Component")
            return AnswerComponent(snapshot, node, method, parameters, invocation);
        if (iface == "org.a11y.atspi.Action") {
            gint32 index = 0;
            if (method != "GetActions") g_variant_get_child(parameters, 0, "i", &index);
            const bool valid = index == 0 && !node.action.empty();
            if (method == "GetName" || method == "GetLocalizedName")
                return g_variant_new("(s)", valid ? node.action.c_str() : "");
            if (method == "GetDescription" || method == "GetKeyBinding") return g_variant_new("(s)", "");
            if (method == "GetActions") {
                GVariantBuilder actions;
                g_variant_builder_init(&actions, G_VARIANT_TYPE("a(sss)"));
                if (!node.action.empty())
                    g_variant_builder_add(&actions, "(sss)", node.action.c_str(), "", "");
                return g_variant_new("(a(sss))", &actions);
            }
            if (method == "DoAction") {
                if (!valid) return g_variant_new("(b)", FALSE);
                PostAction(node.control, node.item, invocation);
                return nullptr;
            }
        }
        if (iface == "org.a11y.atspi.Text") return AnswerText(snapshot, node, method, parameters);
        if (iface == "org.a11y.atspi.EditableText") return AnswerEditableText(node, method, parameters, invocation);
        if (iface == "org.a11y.atspi.Selection") {
            const std::vector<int> selected = SelectedChildren(snapshot, node);
            gint32 index = 0;
            if (g_variant_n_children(parameters) > 0) g_variant_get_child(parameters, 0, "i", &index);
            if (method == "GetSelectedChild") {
                if (index < 0 || index >= int(selected.size())) return g_variant_new("(@(so))", NullRef());
                return g_variant_new("(@(so))", Ref(snapshot.At(selected[size_t(index)]).path));
            }
            if (method == "IsChildSelected") {
                const bool on =
                    index >= 0 && index < int(node.children.size()) &&
                    snapshot.At(node.children[size_t(index)]).states.Has(AccessibleState::Selected);
                return g_variant_new("(b)", on);
            }
            if (method == "SelectChild") {
                if (index < 0 || index >= int(node.children.size())) return g_variant_new("(b)", FALSE);
                const AccessibleNode& child = snapshot.At(node.children[size_t(index)]);
                if (child.item < 0) return g_variant_new("(b)", FALSE);
                PostAction(child.control, child.item, invocation);
                return nullptr;
            }
            // One item is always chosen: nothing to clear, nothing more to add.
            return g_variant_new("(b)", FALSE);
        }
        g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD,
                                              "no %s.%s", iface.c_str(), method.c_str());
        return nullptr;
    }

    GVariant* AnswerAccessible(const AccessibleSnapshot& snapshot, const AccessibleNode& node,
                               const std::string& method, GVariant* parameters) {
        if (method == "GetChildAtIndex") {
            gint32 index = 0;
            g_variant_get(parameters, "(i)", &index);
            if (index < 0 || index >= int(node.children.size())) return g_variant_new("(@(so))", NullRef());
            return g_variant_new("(@(so))", Ref(snapshot.At(node.children[size_t(index)]).path));
        }
        if (method == "GetChildren") {
            GVariantBuilder children;
            g_variant_builder_init(&children, G_VARIANT_TYPE("a(so)"));
            for (int c : node.children)
                g_variant_builder_add(&children, "(so)", m_uniqueName.c_str(), snapshot.At(c).path.c_str());
            return g_variant_new("(a(so))", &children);
        }
        if (method == "GetIndexInParent") return g_variant_new("(i)", node.indexInParent);
        if (method == "GetRelationSet") {
            GVariantBuilder relations;
            g_variant_builder_init(&relations, G_VARIANT_TYPE("a(ua(so))"));
            return g_variant_new("(a(ua(so)))", &relations);
        }
        if (method == "GetRole") return g_variant_new("(u)", guint32(node.role));
        if (method == "GetRoleName" || method == "GetLocalizedRoleName")
            return g_variant_new("(s)", Orvix::AccessibleRoleName(node.role));
        if (method == "GetState") {
            GVariantBuilder states;
            g_variant_builder_init(&states, G_VARIANT_TYPE("au"));
            g_variant_builder_add(&states, "u", node.states.Low());
            g_variant_builder_add(&states, "u", node.states.High());
            return g_variant_new("(au)", &states);
        }
        if (method == "GetAttributes") {
            GVariantBuilder attributes;
            g_variant_builder_init(&attributes, G_VARIANT_TYPE("a{ss}"));
            g_variant_builder_add(&attributes, "{ss}", "toolkit", "Orvix");
            return g_variant_new("(a{ss})", &attributes);
        }
        if (method == "GetApplication") return g_variant_new("(@(so))", Ref(AccessibleSnapshot::kRootPath));
        if (method == "GetInterfaces") {
            GVariantBuilder names;
            g_variant_builder_init(&names, G_VARIANT_TYPE("as"));
            const std::string list = AtspiInterfaceList(node, node.parent < 0);
            size_t from = 0;
            while (from < list.size()) {
                size_t to = list.find(' ', from);
                if (to == std::string::npos) to = list.size();
                g_variant_builder_add(&names, "s", list.substr(from, to - from).c_str());
                from = to + 1;
            }
            return g_variant_new("(as)", &names);
        }
        return nullptr;
    }

    GVariant* AnswerComponent(const AccessibleSnapshot& snapshot, const AccessibleNode& node,
                              const std::string& method, GVariant* parameters,
                              GDBusMethodInvocation* invocation) {
        if (method == "GetExtents") {
            guint32 type = 0;
            g_variant_get(parameters, "(u)", &type);
            const CRect r = Extents(snapshot, node, type);
            return g_variant_new("((iiii))", r.left, r.top, r.Width(), r.Height());
        }
        if (method == "GetPosition") {
            guint32 type = 0;
            g_variant_get(parameters, "(u)", &type);
            const CRect r = Extents(snapshot, node, type);
            return g_variant_new("(ii)", r.left, r.top);
        }
        if (method == "GetSize") return g_variant_new("(ii)", node.extents.Width(), node.extents.Height());
        if (method == "Contains" || method == "GetAccessibleAtPoint") {
            gint32 x = 0, y = 0;
            guint32 type = 0;
            g_variant_get(parameters, "(iiu)", &x, &y, &type);
            // The point in screen coordinates.
            const CRect asked = Extents(snapshot, node, type);
            const CPoint screen(x + node.extents.left - asked.left, y + node.extents.top - asked.top);
            if (method == "Contains") return g_variant_new("(b)", node.extents.PtInRect(screen));
            const int index = int(&node - &snapshot.Nodes()[0]);
            const AccessibleNode* hit = snapshot.NodeAt(index, screen);
            return g_variant_new("(@(so))", hit ? Ref(hit->path) : NullRef());
        }
        if (method == "GetLayer") return g_variant_new("(u)", node.parent == 0 ? kLayerWindow : kLayerWidget);
        if (method == "GetMDIZOrder") return g_variant_new("(n)", gint16(0));
        if (method == "GetAlpha") return g_variant_new("(d)", 1.0);
        if (method == "GrabFocus") {
            if (!node.states.Has(AccessibleState::Focusable) || node.control == 0)
                return g_variant_new("(b)", FALSE);
            const uint64_t control = node.control;
            const int item = node.item;
            g_object_ref(invocation);
            Orvix::Platform::PostTask([control, item, invocation] {
                const bool ok = AccessibleHub::GrabFocus(control, item);
                g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", ok));
                g_object_unref(invocation);
            });
            return nullptr;
        }
        return nullptr;
    }

    // Carried out on the UI thread, through the edit's own box; the reply follows.
    static GVariant* AnswerEditableText(const AccessibleNode& node, const std::string& method,
                                        GVariant* parameters, GDBusMethodInvocation* invocation) {
        using Op = AccessibleHub::TextOp;
        Op op = Op::SetContents;
        gint32 start = 0, end = -1;
        std::string text;
        if (method == "SetTextContents") {
            const gchar* contents = nullptr;
            g_variant_get(parameters, "(&s)", &contents);
            text = contents ? contents : "";
        } else if (method == "InsertText") {
            const gchar* inserted = nullptr;
            gint32 length = -1;
            g_variant_get(parameters, "(i&si)", &start, &inserted, &length);
            op = Op::Insert;
            text = InsertedPart(inserted ? inserted : "", length);
        } else if (method == "CopyText" || method == "CutText" || method == "DeleteText") {
            g_variant_get(parameters, "(ii)", &start, &end);
            op = method == "CopyText" ? Op::Copy : method == "CutText" ? Op::Cut : Op::Delete;
        } else if (method == "PasteText") {
            g_variant_get(parameters, "(i)", &start);
            op = Op::Paste;
        } else {
            g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD,
                                                  "no EditableText.%s", method.c_str());
            return nullptr;
        }
        const bool answers = method != "CopyText";  // CopyText replies with nothing
        if (!node.editableText || node.control == 0 || node.item >= 0)
            return answers ? g_variant_new("(b)", FALSE) : g_variant_new("()");
        const uint64_t control = node.control;
        const std::wstring wide = Orvix::Utf8ToWide(text);
        g_object_ref(invocation);
        Orvix::Platform::PostTask([control, op, start, end, wide, answers, invocation] {
            const bool ok = AccessibleHub::EditText(control, op, start, end, wide);
            g_dbus_method_invocation_return_value(invocation,
                                                  answers ? g_variant_new("(b)", ok) : g_variant_new("()"));
            g_object_unref(invocation);
        });
        return nullptr;
    }

    GVariant* AnswerText(const AccessibleSnapshot& snapshot, const AccessibleNode& node,
                         const std::string& method, GVariant* parameters) {
        const std::wstring& text = node.text;
        const int n = int(text.size());
        auto slice = [&](int from, int to) {
            from = std::clamp(from, 0, n);
            to = to < 0 ? n : std::clamp(to, from, n);
            return Orvix::WideToUtf8(text.substr(size_t(from), size_t(to - from)));
        };
        auto range = [&](TextRange r) {
            return g_variant_new("(sii)", slice(r.start, r.end).c_str(), r.start, r.end);
        };
        if (method == "GetText") {
            gint32 from = 0, to = 0;
            g_variant_get(parameters, "(ii)", &from, &to);
            return g_variant_new("(s)", slice(from, to).c_str());
        }
        if (method == "GetStringAtOffset" || method == "GetTextAtOffset" || method == "GetTextBeforeOffset" ||
            method == "GetTextAfterOffset") {
            gint32 offset = 0;
            guint32 kind = 0;
            g_variant_get(parameters, "(iu)", &offset, &kind);
            const unsigned granularity = method == "GetStringAtOffset" ? kind : TextBoundaryGranularity(kind);
            TextRange at = TextAround(text, offset, granularity);
            if (method == "GetTextBeforeOffset")
                at = at.start > 0 ? TextAround(text, at.start - 1, granularity) : TextRange{};
            if (method == "GetTextAfterOffset")
                at = at.end < n ? TextAround(text, at.end, granularity) : TextRange{n, n};
            return range(at);
        }
        if (method == "GetCharacterAtOffset") {
            gint32 offset = 0;
            g_variant_get(parameters, "(i)", &offset);
            return g_variant_new("(i)", offset >= 0 && offset < n ? gint32(text[size_t(offset)]) : 0);
        }
        if (method == "SetCaretOffset") return g_variant_new("(b)", FALSE);
        if (method == "GetNSelections") return g_variant_new("(i)", 0);
        if (method == "GetSelection") return g_variant_new("(ii)", 0, 0);
        if (method == "GetAttributeValue") return g_variant_new("(s)", "");
        if (method == "GetAttributes" || method == "GetAttributeRun") {
            GVariantBuilder attributes;
            g_variant_builder_init(&attributes, G_VARIANT_TYPE("a{ss}"));
            return g_variant_new("(a{ss}ii)", &attributes, 0, n);
        }
        if (method == "GetDefaultAttributes" || method == "GetDefaultAttributeSet") {
            GVariantBuilder attributes;
            g_variant_builder_init(&attributes, G_VARIANT_TYPE("a{ss}"));
            return g_variant_new("(a{ss})", &attributes);
        }
        if (method == "GetCharacterExtents" || method == "GetRangeExtents") {
            // Characters are not measured here: each one gets the field's box.
            guint32 type = 0;
            g_variant_get_child(parameters, g_variant_n_children(parameters) - 1, "u", &type);
            const CRect r = Extents(snapshot, node, type);
            return g_variant_new("(iiii)", r.left, r.top, r.Width(), r.Height());
        }
        if (method == "GetOffsetAtPoint") return g_variant_new("(i)", -1);
        return nullptr;
    }

    static void OnCacheCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                            GVariant*, GDBusMethodInvocation* invocation, gpointer) {
        // Readers ask each object; the bulk form stays empty.
        GVariantBuilder items;
        g_variant_builder_init(&items, G_VARIANT_TYPE("a((so)(so)(so)iiassusau)"));
        g_dbus_method_invocation_return_value(invocation,
                                              g_variant_new("(a((so)(so)(so)iiassusau))", &items));
    }

    const Options m_options;
    GLibLoop& m_loop;
    std::shared_ptr<std::atomic<bool>> m_registered;
    std::shared_ptr<std::atomic<bool>> m_waiting;

    std::mutex m_mutex;
    std::shared_ptr<const AccessibleSnapshot> m_snapshot;  // guarded by m_mutex

    // Loop thread only.
    GDBusConnection* m_sessionBus = nullptr;
    GDBusConnection* m_a11y = nullptr;
    guint m_statusWatch = 0;
    guint m_ownerWatch = 0;
    guint m_subtree = 0;
    std::vector<guint> m_registrations;
    std::string m_uniqueName;
    std::string m_desktopName;
    std::string m_desktopPath = kNullPath;
    bool m_embedding = false;
    gint32 m_applicationId = 0;
};

AtspiBridge::AtspiBridge(Options options) : m_options(std::move(options)) {}

AtspiBridge::~AtspiBridge() {
    AccessibleHub::SetListener(nullptr);
    std::shared_ptr<Session> session = std::move(m_session);
    m_loop.Stop([session] {
        if (session) session->End();
    });
}

void AtspiBridge::Start() {
    if (m_session) return;
    m_session = std::make_shared<Session>(m_options, m_loop, m_registered, m_waiting);
    std::shared_ptr<Session> session = m_session;
    m_loop.Post([session] { session->Begin(); });
}

AtspiBridge::Options AtspiBridge::FromEnvironment(const std::string& sessionBus) {
    Options options;
    options.sessionBus = sessionBus;
    if (const char* address = std::getenv("AT_SPI_BUS_ADDRESS"); address && *address)
        options.accessibilityBus = address;
    return options;
}
