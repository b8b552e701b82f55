#include "platform/dbus/SleepMonitor.h"

#include <gio/gio.h>

#include "base/Trace.h"

namespace {
constexpr const char* kLogin = "org.freedesktop.login1";
constexpr const char* kManagerInterface = "org.freedesktop.login1.Manager";
constexpr const char* kManagerPath = "/org/freedesktop/login1";
}  // namespace

// The bus connection with its subscription. Loop thread only.
class SleepMonitor::Connection {
  public:
    Connection(std::atomic<bool>& listening, std::function<void(bool)> changed)
        : m_listening(listening),
          m_changed(std::move(changed)),
          m_alive(std::make_shared<Connection*>(this)) {}
    ~Connection() {
        *m_alive = nullptr;
        if (!m_connection) return;
        if (m_subscription) g_dbus_connection_signal_unsubscribe(m_connection, m_subscription);
        g_signal_handler_disconnect(m_connection, m_closedHandler);
        g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
        g_object_unref(m_connection);
    }

    void Start(const std::string& address) {
        g_dbus_connection_new_for_address(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &Connection::OnConnected, Hold());
    }

  private:
    void* Hold() { return HoldAlive(m_alive); }

    static void OnConnected(GObject*, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        GDBusConnection* connection = g_dbus_connection_new_for_address_finish(result, &error);
        Connection* self = TakeAlive<Connection>(data);
        if (!connection) {
            Vantorel::Trace("sleep monitor: no system bus: %s", error->message);
            g_error_free(error);
            return;
        }
        if (!self) {
            g_dbus_connection_close_sync(connection, nullptr, nullptr);
            g_object_unref(connection);
            return;
        }
        self->m_connection = connection;
        self->m_closedHandler =
            g_signal_connect(connection, "closed", G_CALLBACK(&Connection::OnClosed), self);
        self->m_subscription = g_dbus_connection_signal_subscribe(
            connection, kLogin, kManagerInterface, "PrepareForSleep", kManagerPath, nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, &Connection::OnSignal, self, nullptr);
        // The bus handles one client's messages in order: once it answers this,
        // the subscription's match rule is in place.
        g_dbus_connection_call(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "GetId", nullptr, G_VARIANT_TYPE("(s)"),
                               G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &Connection::OnConfirmed, self->Hold());
    }

    static void OnConfirmed(GObject* source, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        Connection* self = TakeAlive<Connection>(data);
        if (reply) g_variant_unref(reply);
        if (error) g_error_free(error);
        if (self && reply) self->m_listening = true;
    }

    static void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                         GVariant* parameters, gpointer data) {
        auto* self = static_cast<Connection*>(data);
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) return;
        gboolean sleeping = FALSE;
        g_variant_get(parameters, "(b)", &sleeping);
        Vantorel::Trace("sleep monitor: %s", sleeping ? "going to sleep" : "woke up");
        if (self->m_changed) self->m_changed(sleeping);
    }

    static void OnClosed(GDBusConnection*, gboolean, GError*, gpointer data) {
        Vantorel::Trace("sleep monitor: the system bus went away");
        static_cast<Connection*>(data)->m_listening = false;
    }

    std::atomic<bool>& m_listening;
    std::function<void(bool)> m_changed;
    std::shared_ptr<Connection*> m_alive;
    GDBusConnection* m_connection = nullptr;
    gulong m_closedHandler = 0;
    guint m_subscription = 0;
};

SleepMonitor::SleepMonitor(std::string busAddress) : m_address(std::move(busAddress)) {}

SleepMonitor::~SleepMonitor() {
    m_loop.Stop([this] { m_connection.reset(); });
}

bool SleepMonitor::Start(std::function<void(bool sleeping)> changed) {
    if (m_address.empty()) return false;
    m_loop.Post([this, changed = std::move(changed)] {
        m_connection.reset();
        m_listening = false;
        m_connection = std::make_unique<Connection>(m_listening, changed);
        m_connection->Start(m_address);
    });
    return true;
}
