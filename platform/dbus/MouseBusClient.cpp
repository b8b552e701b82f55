#include "platform/dbus/MouseBusClient.h"

#include <gio/gio.h>

#include <map>

#include "platform/dbus/MouseBusVariant.h"

namespace {

constexpr const char* kBusName = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kManagerInterface = "org.freedesktop.DBus.ObjectManager";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

// The object name of a mouse's path; empty for a path that is not one.
std::string ObjectNameOf(const char* path) {
    const std::string prefix = std::string(kMouseBusPath) + "/";
    const std::string p = path ? path : "";
    return p.rfind(prefix, 0) == 0 && p.size() > prefix.size() ? p.substr(prefix.size()) : std::string();
}

// The a{oa{sa{sv}}} of GetManagedObjects, or of one InterfacesAdded, as mice.
void ReadObjects(GVariant* objects, std::map<std::string, MouseDeviceProperties>& devices) {
    GVariantIter it;
    g_variant_iter_init(&it, objects);
    const char* path = nullptr;
    GVariant* interfaces = nullptr;
    while (g_variant_iter_next(&it, "{&o@a{sa{sv}}}", &path, &interfaces)) {
        GVariant* properties = g_variant_lookup_value(interfaces, kMouseDeviceInterface, G_VARIANT_TYPE_VARDICT);
        const std::string name = ObjectNameOf(path);
        if (properties && !name.empty()) {
            MouseDeviceProperties device;
            device.objectName = name;
            ApplyMouseProperties(device, properties);
            devices[name] = std::move(device);
        }
        if (properties) g_variant_unref(properties);
        g_variant_unref(interfaces);
    }
}

MouseCallResult CallError(GError* error) {
    MouseCallResult result;
    if (g_dbus_error_is_remote_error(error)) {
        gchar* name = g_dbus_error_get_remote_error(error);
        result.fault = MouseFaultFromName(name ? name : "");
        const bool ours = name && std::string(name) == MouseFaultName(result.fault);
        g_free(name);
        g_dbus_error_strip_remote_error(error);
        result.message = ours ? error->message : std::string("the program did not answer: ") + error->message;
        if (g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
            g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER))
            result.message = "the program ended before it answered";
    } else {
        result.fault = MouseFault::Failed;
        result.message = std::string("the program did not answer: ") + error->message;
    }
    g_error_free(error);
    return result;
}

}  // namespace

MouseBusClient::MouseBusClient(std::string busAddress) : m_address(std::move(busAddress)) {}

MouseBusClient::~MouseBusClient() {
    if (!m_connection) return;
    g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
    g_object_unref(m_connection);
}

GDBusConnection* MouseBusClient::Connection() {
    if (m_tried || m_address.empty()) return m_connection;
    m_tried = true;
    m_connection = g_dbus_connection_new_for_address_sync(
        m_address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    // Our own connection: leaving the bus must not end the process.
    if (m_connection) g_dbus_connection_set_exit_on_close(m_connection, FALSE);
    return m_connection;
}

bool MouseBusClient::IsServed() {
    GDBusConnection* connection = Connection();
    if (!connection) return false;
    GVariant* reply = g_dbus_connection_call_sync(connection, kBusName, kBusPath, kBusName, "NameHasOwner",
                                                  g_variant_new("(s)", kMouseBusName), G_VARIANT_TYPE("(b)"),
                                                  G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    if (!reply) return false;
    gboolean has = FALSE;
    g_variant_get(reply, "(b)", &has);
    g_variant_unref(reply);
    return has;
}

bool MouseBusClient::ListDevices(std::vector<MouseDeviceProperties>& devices, std::string& error) {
    devices.clear();
    GDBusConnection* connection = Connection();
    if (!connection) {
        error = "no session bus";
        return false;
    }
    GError* failure = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        connection, kMouseBusName, kMouseBusPath, kManagerInterface, "GetManagedObjects", nullptr,
        G_VARIANT_TYPE("(a{oa{sa{sv}}})"), G_DBUS_CALL_FLAGS_NO_AUTO_START, 10000, nullptr, &failure);
    if (!reply) {
        error = CallError(failure).message;
        return false;
    }
    GVariant* objects = g_variant_get_child_value(reply, 0);
    std::map<std::string, MouseDeviceProperties> found;
    ReadObjects(objects, found);
    g_variant_unref(objects);
    g_variant_unref(reply);
    for (auto& [name, device] : found) devices.push_back(std::move(device));
    return true;
}

MouseCallResult MouseBusClient::Call(const MouseCall& call, int timeoutMs) {
    GDBusConnection* connection = Connection();
    if (!connection) return {MouseFault::Failed, "no session bus"};
    const char* method = "UploadMacros";
    GVariant* parameters = nullptr;
    switch (call.method) {
        case MouseMethod::SetProfile:
            method = "SetProfile";
            parameters = g_variant_new("(i)", call.profile);
            break;
        case MouseMethod::Set:
            method = "Set";
            parameters = g_variant_new("(si)", call.key.c_str(), call.value);
            break;
        case MouseMethod::SetButton:
            method = "SetButton";
            parameters = g_variant_new("(iiiiis)", call.button, call.type, call.value, call.value2, call.value3,
                                       call.text.c_str());
            break;
        case MouseMethod::UploadMacros:
            break;
        case MouseMethod::Reset:
            method = "Reset";
            break;
    }
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(connection, kMouseBusName, MouseObjectPath(call.objectName).c_str(),
                                                  kMouseDeviceInterface, method, parameters, nullptr,
                                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, timeoutMs, nullptr, &error);
    if (!reply) return CallError(error);
    g_variant_unref(reply);
    return {};
}

namespace {

// What the signal handlers of one Watch share, on the watching thread.
struct WatchState {
    const MouseBusClient::ChangeHandler* onChange = nullptr;
    std::map<std::string, MouseDeviceProperties> devices;
    bool left = false;
};

void OnPropertiesChanged(GDBusConnection*, const gchar*, const gchar* path, const gchar*, const gchar*,
                         GVariant* parameters, gpointer data) {
    auto* state = static_cast<WatchState*>(data);
    const char* interface = nullptr;
    GVariant* changed = nullptr;
    g_variant_get(parameters, "(&s@a{sv}as)", &interface, &changed, nullptr);
    auto found = state->devices.find(ObjectNameOf(path));
    if (std::string(interface) == kMouseDeviceInterface && found != state->devices.end()) {
        const MouseDeviceProperties before = found->second;
        ApplyMouseProperties(found->second, changed);
        (*state->onChange)(&before, &found->second);
    }
    g_variant_unref(changed);
}

void OnInterfacesAdded(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, gpointer data) {
    auto* state = static_cast<WatchState*>(data);
    // The same shape as one entry of GetManagedObjects.
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE("a{oa{sa{sv}}}"));
    const char* path = nullptr;
    GVariant* interfaces = nullptr;
    g_variant_get(parameters, "(&o@a{sa{sv}})", &path, &interfaces);
    g_variant_builder_add(&b, "{o@a{sa{sv}}}", path, interfaces);
    g_variant_unref(interfaces);
    GVariant* objects = g_variant_ref_sink(g_variant_builder_end(&b));
    std::map<std::string, MouseDeviceProperties> added;
    ReadObjects(objects, added);
    g_variant_unref(objects);
    for (auto& [name, device] : added) {
        auto found = state->devices.find(name);
        if (found != state->devices.end()) {  // listed already: a change at most
            const MouseDeviceProperties before = found->second;
            found->second = device;
            (*state->onChange)(&before, &found->second);
        } else {
            (*state->onChange)(nullptr, &(state->devices[name] = device));
        }
    }
}

void OnInterfacesRemoved(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                         GVariant* parameters, gpointer data) {
    auto* state = static_cast<WatchState*>(data);
    const char* path = nullptr;
    g_variant_get(parameters, "(&oas)", &path, nullptr);
    auto found = state->devices.find(ObjectNameOf(path));
    if (found == state->devices.end()) return;
    const MouseDeviceProperties before = found->second;
    state->devices.erase(found);
    (*state->onChange)(&before, nullptr);
}

void OnOwnerChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                    GVariant* parameters, gpointer data) {
    const char* newOwner = nullptr;
    g_variant_get(parameters, "(&s&s&s)", nullptr, nullptr, &newOwner);
    if (!newOwner || !*newOwner) static_cast<WatchState*>(data)->left = true;
}

}  // namespace

bool MouseBusClient::Watch(const ChangeHandler& onChange, StopRequest& stop) {
    GDBusConnection* connection = Connection();
    if (!connection) return false;
    // Signals are delivered on the context that is current when they are subscribed.
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    WatchState state;
    state.onChange = &onChange;
    const guint subscriptions[] = {
        g_dbus_connection_signal_subscribe(connection, kMouseBusName, kPropertiesInterface, "PropertiesChanged",
                                           nullptr, kMouseDeviceInterface, G_DBUS_SIGNAL_FLAGS_NONE,
                                           &OnPropertiesChanged, &state, nullptr),
        g_dbus_connection_signal_subscribe(connection, kMouseBusName, kManagerInterface, "InterfacesAdded",
                                           kMouseBusPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &OnInterfacesAdded,
                                           &state, nullptr),
        g_dbus_connection_signal_subscribe(connection, kMouseBusName, kManagerInterface, "InterfacesRemoved",
                                           kMouseBusPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &OnInterfacesRemoved,
                                           &state, nullptr),
        g_dbus_connection_signal_subscribe(connection, kBusName, kBusName, "NameOwnerChanged", kBusPath,
                                           kMouseBusName, G_DBUS_SIGNAL_FLAGS_NONE, &OnOwnerChanged, &state,
                                           nullptr),
    };
    // Listed after subscribing, so that no change falls between the two.
    std::vector<MouseDeviceProperties> devices;
    std::string error;
    bool served = IsServed() && ListDevices(devices, error);
    if (served) {
        for (MouseDeviceProperties& device : devices) {
            const std::string name = device.objectName;
            onChange(nullptr, &(state.devices[name] = std::move(device)));
        }
        stop.SetWaker([context] { g_main_context_wakeup(context); });
        while (!stop.Requested() && !state.left) g_main_context_iteration(context, TRUE);
        stop.SetWaker(nullptr);
        served = !state.left;
    }
    for (guint id : subscriptions) g_dbus_connection_signal_unsubscribe(connection, id);
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return served;
}
