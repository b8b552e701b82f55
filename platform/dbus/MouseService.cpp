#include "platform/dbus/MouseService.h"

#include <gio/gio.h>

#include <map>
#include <set>

#include "base/Trace.h"
#include "platform/dbus/BusConnection.h"
#include "platform/dbus/MouseBusVariant.h"

namespace {

constexpr const char* kManagerInterface = "org.freedesktop.DBus.ObjectManager";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

constexpr const char* kManagerXml = R"xml(<node>
  <interface name="org.freedesktop.DBus.ObjectManager">
    <method name="GetManagedObjects">
      <arg name="objects" type="a{oa{sa{sv}}}" direction="out"/>
    </method>
    <signal name="InterfacesAdded">
      <arg name="object" type="o"/><arg name="interfaces" type="a{sa{sv}}"/>
    </signal>
    <signal name="InterfacesRemoved">
      <arg name="object" type="o"/><arg name="interfaces" type="as"/>
    </signal>
  </interface>
</node>)xml";

GDBusInterfaceInfo* ManagerInterfaceInfo() {
    static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kManagerXml, nullptr);
    return g_dbus_node_info_lookup_interface(node, kManagerInterface);
}

// {interface: properties} of one object, as the object manager announces it (floating).
GVariant* InterfacesOf(const MouseDeviceProperties& device) {
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE("a{sa{sv}}"));
    g_variant_builder_add(&b, "{s@a{sv}}", kMouseDeviceInterface, MousePropertiesDict(device));
    return g_variant_builder_end(&b);
}

}  // namespace

// The connection, the exported objects and the calls waiting for their answer.
// Created, used and destroyed on the loop thread only.
class MouseService::Session {
  public:
    explicit Session(MouseService& owner) : m_owner(owner), m_alive(std::make_shared<Session*>(this)) {}

    ~Session() {
        *m_alive = nullptr;
        for (GDBusMethodInvocation* invocation : m_pending)
            ReturnError(invocation, {MouseFault::Failed, "the program is ending"});
        m_pending.clear();
        if (m_ownerId) g_bus_unown_name(m_ownerId);
        if (!m_connection) return;
        for (auto& [name, device] : m_devices)
            if (device.registration) g_dbus_connection_unregister_object(m_connection, device.registration);
        if (m_managerRegistration) g_dbus_connection_unregister_object(m_connection, m_managerRegistration);
        g_signal_handler_disconnect(m_connection, m_closedHandler);
        // Leaving the bus is what gives the name back. Local: no reply is awaited.
        g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
        g_object_unref(m_connection);
        m_owner.m_ownsName = false;
    }

    void Start() {
        if (m_started) return;
        m_started = true;
        ConnectToBus(m_owner.m_address, &Session::OnConnected, HoldAlive(m_alive));
    }

    void Publish(std::vector<MouseDeviceProperties> devices) {
        std::map<std::string, MouseDeviceProperties> next;
        for (MouseDeviceProperties& device : devices) next[device.objectName] = std::move(device);
        for (auto it = m_devices.begin(); it != m_devices.end();) {
            if (next.count(it->first)) {
                ++it;
                continue;
            }
            Unexport(it->first, it->second);
            it = m_devices.erase(it);
        }
        for (auto& [name, properties] : next) {
            auto found = m_devices.find(name);
            if (found == m_devices.end()) {
                Exported& added = m_devices[name];
                added.properties = std::move(properties);
                Export(name, added);
            } else {
                Update(name, found->second, std::move(properties));
            }
        }
    }

    // The handler's answer, back on the loop thread.
    void Answer(GDBusMethodInvocation* invocation, const MouseCallResult& result) {
        if (m_pending.erase(invocation) == 0) return;  // answered already
        if (result.Ok())
            g_dbus_method_invocation_return_value(invocation, nullptr);
        else
            ReturnError(invocation, result);
    }

  private:
    struct Exported {
        MouseDeviceProperties properties;
        guint registration = 0;
    };
    // What an object's callbacks find: the session while it lives, and the object.
    struct ObjectRef {
        std::shared_ptr<Session*> alive;
        std::string name;
    };

    static void OnConnected(GObject*, GAsyncResult* result, gpointer data) {
        Session* self = TakeAlive<Session>(data);
        GDBusConnection* connection = FinishBusConnection(result, self != nullptr, "mouse service");
        if (!connection) return;
        self->m_connection = connection;
        self->Connected();
    }

    void Connected() {
        m_closedHandler = g_signal_connect(m_connection, "closed", G_CALLBACK(&Session::OnClosed), this);
        static const GDBusInterfaceVTable managerTable = {&Session::OnManagerCall, nullptr, nullptr, {}};
        GError* error = nullptr;
        m_managerRegistration =
            g_dbus_connection_register_object(m_connection, kMouseBusPath, ManagerInterfaceInfo(), &managerTable,
                                              new ObjectRef{m_alive, ""}, &Session::FreeRef, &error);
        if (!m_managerRegistration) {
            Vantorel::Trace("mouse service: cannot export the object manager: %s", error->message);
            g_error_free(error);
            return;
        }
        // The objects published before the bus answered; no one can have seen them yet.
        for (auto& [name, device] : m_devices) Register(name, device);
        // Queued behind a copy that is still leaving, the name comes when it has left.
        m_ownerId = g_bus_own_name_on_connection(m_connection, kMouseBusName, G_BUS_NAME_OWNER_FLAGS_NONE,
                                                 &Session::OnNameAcquired, &Session::OnNameLost,
                                                 HoldAlive(m_alive), &Session::FreeAlive);
    }

    static void FreeRef(gpointer data) { delete static_cast<ObjectRef*>(data); }
    static void FreeAlive(gpointer data) { TakeAlive<Session>(data); }
    static Session* FromAlive(gpointer data) { return **static_cast<std::shared_ptr<Session*>*>(data); }

    static void OnNameAcquired(GDBusConnection*, const gchar* name, gpointer data) {
        if (Session* self = FromAlive(data)) {
            Vantorel::Trace("mouse service: serving %s", name);
            self->m_owner.m_ownsName = true;
        }
    }
    static void OnNameLost(GDBusConnection*, const gchar* name, gpointer data) {
        if (Session* self = FromAlive(data)) {
            Vantorel::Trace("mouse service: %s not held", name);
            self->m_owner.m_ownsName = false;
        }
    }
    static void OnClosed(GDBusConnection*, gboolean, GError*, gpointer data) {
        static_cast<Session*>(data)->m_owner.m_ownsName = false;
    }

    void Register(const std::string& name, Exported& device) {
        static const GDBusInterfaceVTable deviceTable = {&Session::OnDeviceCall, &Session::OnDeviceProperty,
                                                         nullptr, {}};
        GError* error = nullptr;
        device.registration = g_dbus_connection_register_object(
            m_connection, MouseObjectPath(name).c_str(), MouseDeviceInterfaceInfo(), &deviceTable,
            new ObjectRef{m_alive, name}, &Session::FreeRef, &error);
        if (!device.registration) {
            Vantorel::Trace("mouse service: cannot export %s: %s", name.c_str(), error->message);
            g_error_free(error);
        }
    }

    void Export(const std::string& name, Exported& device) {
        if (!m_connection || !m_managerRegistration) return;
        Register(name, device);
        if (!device.registration) return;
        Emit(kMouseBusPath, kManagerInterface, "InterfacesAdded",
             g_variant_new("(o@a{sa{sv}})", MouseObjectPath(name).c_str(), InterfacesOf(device.properties)));
    }

    void Unexport(const std::string& name, Exported& device) {
        if (!m_connection || !device.registration) return;
        g_dbus_connection_unregister_object(m_connection, device.registration);
        device.registration = 0;
        const char* interfaces[] = {kMouseDeviceInterface, nullptr};
        Emit(kMouseBusPath, kManagerInterface, "InterfacesRemoved",
             g_variant_new("(o^as)", MouseObjectPath(name).c_str(), interfaces));
    }

    void Update(const std::string& name, Exported& device, MouseDeviceProperties next) {
        if (next == device.properties) return;
        GVariantBuilder changed;
        g_variant_builder_init(&changed, G_VARIANT_TYPE_VARDICT);
        bool any = false;
        for (const std::string& property : MousePropertyNames()) {
            GVariant* before = g_variant_ref_sink(MousePropertyValue(device.properties, property));
            GVariant* after = g_variant_ref_sink(MousePropertyValue(next, property));
            if (!g_variant_equal(before, after)) {
                g_variant_builder_add(&changed, "{sv}", property.c_str(), after);
                any = true;
            }
            g_variant_unref(before);
            g_variant_unref(after);
        }
        device.properties = std::move(next);
        if (!any || !device.registration) {
            g_variant_builder_clear(&changed);
            return;
        }
        const char* invalidated[] = {nullptr};
        Emit(MouseObjectPath(name).c_str(), kPropertiesInterface, "PropertiesChanged",
             g_variant_new("(sa{sv}^as)", kMouseDeviceInterface, &changed, invalidated));
    }

    void Emit(const char* path, const char* interface, const char* signal, GVariant* parameters) {
        GError* error = nullptr;
        if (!g_dbus_connection_emit_signal(m_connection, nullptr, path, interface, signal, parameters, &error)) {
            Vantorel::Trace("mouse service: %s not sent: %s", signal, error->message);
            g_error_free(error);
        }
    }

    static void OnManagerCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                              GVariant*, GDBusMethodInvocation* invocation, gpointer data) {
        Session* self = *static_cast<ObjectRef*>(data)->alive;
        GVariantBuilder objects;
        g_variant_builder_init(&objects, G_VARIANT_TYPE("a{oa{sa{sv}}}"));
        if (self)
            for (const auto& [name, device] : self->m_devices)
                if (device.registration)
                    g_variant_builder_add(&objects, "{o@a{sa{sv}}}", MouseObjectPath(name).c_str(),
                                          InterfacesOf(device.properties));
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(a{oa{sa{sv}}})", &objects));
    }

    static GVariant* OnDeviceProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                      const gchar* property, GError** error, gpointer data) {
        auto* ref = static_cast<ObjectRef*>(data);
        GVariant* value = nullptr;
        if (Session* self = *ref->alive) {
            auto found = self->m_devices.find(ref->name);
            if (found != self->m_devices.end()) value = MousePropertyValue(found->second.properties, property);
        }
        if (!value)
            g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
        return value;
    }

    static void OnDeviceCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                             GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
        auto* ref = static_cast<ObjectRef*>(data);
        Session* self = *ref->alive;
        if (!self) {
            ReturnError(invocation, {MouseFault::Failed, "the program is ending"});
            return;
        }
        MouseCall call;
        call.objectName = ref->name;
        const std::string name = method;
        // The bus library has checked the arguments against the interface already.
        if (name == "SetProfile") {
            call.method = MouseMethod::SetProfile;
            g_variant_get(parameters, "(i)", &call.profile);
        } else if (name == "Set") {
            call.method = MouseMethod::Set;
            const char* key = nullptr;
            g_variant_get(parameters, "(&si)", &key, &call.value);
            call.key = key;
        } else if (name == "SetButton") {
            call.method = MouseMethod::SetButton;
            const char* text = nullptr;
            g_variant_get(parameters, "(iiiii&s)", &call.button, &call.type, &call.value, &call.value2,
                          &call.value3, &text);
            call.text = text;
        } else if (name == "UploadMacros") {
            call.method = MouseMethod::UploadMacros;
        } else if (name == "Reset") {
            call.method = MouseMethod::Reset;
        } else {
            ReturnError(invocation, {MouseFault::InvalidArgs, "no method " + name});
            return;
        }
        self->m_pending.insert(invocation);
        std::shared_ptr<ReplyChannel> channel = self->m_owner.m_channel;
        std::shared_ptr<Session*> alive = self->m_alive;
        self->m_owner.m_handler.OnMouseCall(call, [channel, alive, invocation](const MouseCallResult& result) {
            std::lock_guard lock(channel->mutex);
            if (!channel->loop) return;  // the service ended and answered it
            channel->loop->Post([alive, invocation, result] {
                if (Session* session = *alive) session->Answer(invocation, result);
            });
        });
    }

    static void ReturnError(GDBusMethodInvocation* invocation, const MouseCallResult& result) {
        g_dbus_method_invocation_return_dbus_error(invocation, MouseFaultName(result.fault).c_str(),
                                                   result.message.c_str());
    }

    MouseService& m_owner;
    std::shared_ptr<Session*> m_alive;
    bool m_started = false;
    GDBusConnection* m_connection = nullptr;
    gulong m_closedHandler = 0;
    guint m_managerRegistration = 0;
    guint m_ownerId = 0;
    std::map<std::string, Exported> m_devices;
    std::set<GDBusMethodInvocation*> m_pending;
};

MouseService::MouseService(std::string busAddress, MouseServiceHandler& handler)
    : m_address(std::move(busAddress)), m_handler(handler), m_channel(std::make_shared<ReplyChannel>()) {
    m_channel->loop = &m_loop;
}

MouseService::~MouseService() {
    {
        std::lock_guard lock(m_channel->mutex);
        m_channel->loop = nullptr;
    }
    m_loop.Stop([this] { m_session.reset(); });
}

void MouseService::Start() {
    if (m_address.empty()) return;
    m_loop.Post([this] {
        if (!m_session) m_session = std::make_unique<Session>(*this);
        m_session->Start();
    });
}

void MouseService::Publish(std::vector<MouseDeviceProperties> devices) {
    m_loop.Post([this, devices = std::move(devices)]() mutable {
        if (!m_session) m_session = std::make_unique<Session>(*this);
        m_session->Publish(std::move(devices));
    });
}
