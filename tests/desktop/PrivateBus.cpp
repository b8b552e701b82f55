#include "PrivateBus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// ---- PrivateBus ----

PrivateBus::PrivateBus() {
    char pattern[] = "/tmp/vantorel_bus_XXXXXX";
    if (!mkdtemp(pattern)) return;
    m_folder = pattern;
    const std::string config = m_folder + "/bus.conf";
    std::ofstream(config)
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>session</type><listen>unix:dir="
        << m_folder
        << "</listen><auth>EXTERNAL</auth>"
           "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
    int out[2];
    if (pipe(out) != 0) return;
    const std::string configArg = "--config-file=" + config;
    m_pid = fork();
    if (m_pid == 0) {
        // The daemon ends with the test program, even when a test crashes.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(out[1], 1);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 2);  // its notes about resource limits are not the test's output
        close(out[0]);
        execlp("dbus-daemon", "dbus-daemon", configArg.c_str(), "--nofork", "--nopidfile", "--print-address",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    if (m_pid < 0) {
        close(out[0]);
        return;
    }
    // The daemon prints its address once it listens.
    std::string line;
    pollfd pfd{out[0], POLLIN, 0};
    char c = 0;
    while (poll(&pfd, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    m_address = line;
}

PrivateBus::~PrivateBus() {
    if (m_client) {
        g_dbus_connection_close_sync(m_client, nullptr, nullptr);
        g_object_unref(m_client);
    }
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

GDBusConnection* PrivateBus::Client() {
    if (!m_client)
        m_client = g_dbus_connection_new_for_address_sync(
            m_address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
    return m_client;
}

std::vector<std::string> PrivateBus::UniqueNames() {
    std::vector<std::string> names;
    GVariant* reply = g_dbus_connection_call_sync(
        Client(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames",
        nullptr, G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (!reply) return names;
    GVariantIter* iter = nullptr;
    const char* name = nullptr;
    g_variant_get(reply, "(as)", &iter);
    while (g_variant_iter_next(iter, "&s", &name))
        if (name[0] == ':' && name != std::string(g_dbus_connection_get_unique_name(Client())))
            names.push_back(name);
    g_variant_iter_free(iter);
    g_variant_unref(reply);
    return names;
}

bool PrivateBus::HasOwner(const std::string& name) {
    GVariant* reply = g_dbus_connection_call_sync(Client(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "NameHasOwner",
                                                  g_variant_new("(s)", name.c_str()), G_VARIANT_TYPE("(b)"),
                                                  G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (!reply) return false;
    gboolean has = FALSE;
    g_variant_get(reply, "(b)", &has);
    g_variant_unref(reply);
    return has;
}

GVariant* ReadItemProperty(GDBusConnection* connection, const std::string& service, const char* name) {
    GVariant* reply = g_dbus_connection_call_sync(
        connection, service.c_str(), "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", "org.kde.StatusNotifierItem", name), nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START,
        2000, nullptr, nullptr);
    if (!reply) return nullptr;
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    g_variant_unref(reply);
    return value;
}

std::vector<TrayMenuEntry> ReadTrayMenu(GDBusConnection* connection, const std::string& service,
                                        uint32_t* revision) {
    std::vector<TrayMenuEntry> items;
    GVariant* reply =
        g_dbus_connection_call_sync(connection, service.c_str(), "/MenuBar", "com.canonical.dbusmenu",
                                    "GetLayout", g_variant_new("(iias)", 0, -1, nullptr), nullptr,
                                    G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr, nullptr);
    if (!reply) return items;
    guint32 rev = 0;
    GVariant* layout = nullptr;
    g_variant_get(reply, "(u@(ia{sv}av))", &rev, &layout);
    if (revision) *revision = rev;
    GVariant* children = g_variant_get_child_value(layout, 2);
    for (gsize i = 0; i < g_variant_n_children(children); ++i) {
        GVariant* boxed = g_variant_get_child_value(children, i);
        GVariant* child = g_variant_get_variant(boxed);
        TrayMenuEntry item;
        GVariant* props = nullptr;
        g_variant_get(child, "(i@a{sv}av)", &item.id, &props, nullptr);
        const char* label = "";
        g_variant_lookup(props, "label", "&s", &label);
        item.label = label;
        gboolean enabled = TRUE;
        g_variant_lookup(props, "enabled", "b", &enabled);
        item.enabled = enabled;
        g_variant_lookup(props, "toggle-state", "i", &item.toggle);
        items.push_back(item);
        g_variant_unref(props);
        g_variant_unref(child);
        g_variant_unref(boxed);
    }
    g_variant_unref(children);
    g_variant_unref(layout);
    g_variant_unref(reply);
    return items;
}

// ---- Recorder ----

void Recorder::Add(std::string event) {
    std::lock_guard lock(m_mutex);
    m_events.push_back(std::move(event));
    m_changed.notify_all();
}

std::vector<std::string> Recorder::Events() {
    std::lock_guard lock(m_mutex);
    return m_events;
}

size_t Recorder::Count(const std::string& event) {
    std::lock_guard lock(m_mutex);
    return static_cast<size_t>(std::count(m_events.begin(), m_events.end(), event));
}

bool Recorder::WaitForCount(const std::string& event, size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
        return static_cast<size_t>(std::count(m_events.begin(), m_events.end(), event)) >= count;
    });
}

// ---- TestService ----

TestService::TestService(std::string name, std::string path, const char* introspection, const char* interface)
    : m_name(std::move(name)),
      m_path(std::move(path)),
      m_node(g_dbus_node_info_new_for_xml(introspection, nullptr)),
      m_interface(interface) {}

TestService::~TestService() {
    m_loop.Stop();
    g_dbus_node_info_unref(m_node);
}

void TestService::RunOnLoop(const std::function<void()>& task) {
    std::promise<void> done;
    m_loop.Post([&] {
        task();
        done.set_value();
    });
    done.get_future().wait();
}

bool TestService::Start(const std::string& address) {
    bool started = false;
    RunOnLoop([&] {
        m_connection = g_dbus_connection_new_for_address_sync(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        if (!m_connection) return;
        static const GDBusInterfaceVTable vtable = {&TestService::Call, &TestService::Property, nullptr, {}};
        m_registration = g_dbus_connection_register_object(
            m_connection, m_path.c_str(), g_dbus_node_info_lookup_interface(m_node, m_interface), &vtable,
            this, nullptr, nullptr);
        if (m_name.empty()) {
            started = m_registration != 0;
            return;
        }
        GVariant* reply = g_dbus_connection_call_sync(
            m_connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", m_name.c_str(), 4u /* do not queue */),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        guint32 result = 0;
        if (reply) {
            g_variant_get(reply, "(u)", &result);
            g_variant_unref(reply);
        }
        started = m_registration != 0 && result == 1;  // primary owner
    });
    return started;
}

void TestService::Stop() {
    RunOnLoop([&] {
        if (!m_connection) return;
        if (m_registration) g_dbus_connection_unregister_object(m_connection, m_registration);
        m_registration = 0;
        g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
        g_object_unref(m_connection);
        m_connection = nullptr;
    });
}

void TestService::Emit(const char* signal, GVariant* parameters) {
    g_dbus_connection_emit_signal(m_connection, nullptr, m_path.c_str(), m_interface, signal, parameters,
                                  nullptr);
}

void TestService::Call(GDBusConnection*, const char* sender, const char*, const char*, const char* method,
                       GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
    static_cast<TestService*>(self)->OnCall(sender, method, parameters, invocation);
}

GVariant* TestService::Property(GDBusConnection*, const char*, const char*, const char*, const char* property,
                                GError** error, gpointer self) {
    GVariant* value = static_cast<TestService*>(self)->OnProperty(property);
    if (!value) g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
    return value;
}

// ---- TestWatcher ----

namespace {
constexpr const char* kWatcherXml = R"xml(<node><interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
  <signal name="StatusNotifierHostUnregistered"/>
</interface></node>)xml";

constexpr const char* kNotificationsXml = R"xml(<node><interface name="org.freedesktop.Notifications">
  <method name="Notify">
    <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
    <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
  </method>
  <method name="GetCapabilities"><arg type="as" direction="out"/></method>
  <method name="GetServerInformation">
    <arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/>
  </method>
</interface></node>)xml";

constexpr const char* kLoginXml = R"xml(<node><interface name="org.freedesktop.login1.Manager">
  <signal name="PrepareForSleep"><arg type="b"/></signal>
</interface></node>)xml";
}  // namespace

TestWatcher::TestWatcher(bool hostRegistered)
    : TestService("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher", kWatcherXml,
                  "org.kde.StatusNotifierWatcher"),
      m_hostRegistered(hostRegistered) {}

std::vector<std::string> TestWatcher::Registrations() {
    std::lock_guard lock(m_mutex);
    return m_registrations;
}

size_t TestWatcher::RegistrationCount() {
    return Registrations().size();
}

bool TestWatcher::WaitForRegistrations(size_t count) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_registrations.size() >= count; });
}

void TestWatcher::SetHostRegistered(bool registered) {
    RunOnLoop([&] {
        m_hostRegistered = registered;
        Emit(registered ? "StatusNotifierHostRegistered" : "StatusNotifierHostUnregistered", nullptr);
    });
}

void TestWatcher::OnCall(const char* sender, const char* method, GVariant* parameters,
                         GDBusMethodInvocation* invocation) {
    if (g_strcmp0(method, "RegisterStatusNotifierItem") == 0) {
        const char* service = nullptr;
        g_variant_get(parameters, "(&s)", &service);
        // A path names an object of the sender; a bus name stands for itself.
        const std::string item = service[0] == '/' ? std::string(sender) + service : std::string(service);
        g_dbus_method_invocation_return_value(invocation, nullptr);
        Emit("StatusNotifierItemRegistered", g_variant_new("(s)", item.c_str()));
        std::lock_guard lock(m_mutex);
        m_registrations.push_back(item);
        m_changed.notify_all();
        return;
    }
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* TestWatcher::OnProperty(const char* property) {
    if (g_strcmp0(property, "IsStatusNotifierHostRegistered") == 0)
        return g_variant_new_boolean(m_hostRegistered);
    if (g_strcmp0(property, "ProtocolVersion") == 0) return g_variant_new_int32(0);
    if (g_strcmp0(property, "RegisteredStatusNotifierItems") == 0) {
        std::vector<std::string> items = Registrations();
        GVariantBuilder builder;
        g_variant_builder_init(&builder, G_VARIANT_TYPE("as"));
        for (const auto& item : items) g_variant_builder_add(&builder, "s", item.c_str());
        return g_variant_builder_end(&builder);
    }
    return nullptr;
}

// ---- TestNotificationServer ----

TestNotificationServer::TestNotificationServer()
    : TestService("org.freedesktop.Notifications", "/org/freedesktop/Notifications", kNotificationsXml,
                  "org.freedesktop.Notifications") {}

std::vector<TestNotificationServer::Shown> TestNotificationServer::ShownSoFar() {
    std::lock_guard lock(m_mutex);
    return m_shown;
}

bool TestNotificationServer::WaitForCount(size_t count) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_shown.size() >= count; });
}

void TestNotificationServer::OnCall(const char*, const char* method, GVariant* parameters,
                                    GDBusMethodInvocation* invocation) {
    if (g_strcmp0(method, "Notify") == 0) {
        Shown shown;
        const char *app = nullptr, *icon = nullptr, *summary = nullptr, *body = nullptr;
        GVariant* hints = nullptr;
        g_variant_get(parameters, "(&su&s&s&sas@a{sv}i)", &app, &shown.replacesId, &icon, &summary, &body,
                      nullptr, &hints, nullptr);
        shown.appName = app;
        shown.appIcon = icon;
        shown.summary = summary;
        shown.body = body;
        guchar urgency = 0;
        if (g_variant_lookup(hints, "urgency", "y", &urgency)) shown.urgency = urgency;
        const char* entry = nullptr;
        if (g_variant_lookup(hints, "desktop-entry", "&s", &entry)) shown.desktopEntry = entry;
        g_variant_unref(hints);
        std::lock_guard lock(m_mutex);
        shown.id = shown.replacesId ? shown.replacesId : static_cast<uint32_t>(m_shown.size() + 1);
        m_shown.push_back(shown);
        m_changed.notify_all();
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", shown.id));
    } else if (g_strcmp0(method, "GetCapabilities") == 0) {
        const char* caps[] = {"body", nullptr};
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(^as)", caps));
    } else {
        g_dbus_method_invocation_return_value(invocation,
                                              g_variant_new("(ssss)", "test", "test", "1", "1.2"));
    }
}

// ---- TestLogin ----

TestLogin::TestLogin(bool owner)
    : TestService(owner ? "org.freedesktop.login1" : "", "/org/freedesktop/login1", kLoginXml,
                  "org.freedesktop.login1.Manager") {}

void TestLogin::PrepareForSleep(bool sleeping) {
    RunOnLoop([&] {
        Emit("PrepareForSleep", g_variant_new("(b)", sleeping));
        // The bus answers this after it has routed the signal sent before it.
        GVariant* reply = g_dbus_connection_call_sync(
            Connection(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId",
            nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        if (reply) g_variant_unref(reply);
    });
}

void TestLogin::OnCall(const char*, const char*, GVariant*, GDBusMethodInvocation* invocation) {
    g_dbus_method_invocation_return_value(invocation, nullptr);
}
