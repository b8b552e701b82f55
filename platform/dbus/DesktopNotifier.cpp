#include "platform/dbus/DesktopNotifier.h"

#include <gio/gio.h>

#include <deque>
#include <map>

#include "base/TextConv.h"
#include "base/Trace.h"

namespace {
constexpr const char* kServerName = "org.freedesktop.Notifications";
constexpr const char* kServerPath = "/org/freedesktop/Notifications";

// The server takes an icon name or a file URI.
std::string IconUri(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    std::string result = uri ? uri : "";
    g_free(uri);
    return result;
}

}  // namespace

// The bus connection and what waits for it. Loop thread only.
class DesktopNotifier::Connection {
  public:
    explicit Connection(DesktopNotifier& owner)
        : m_owner(owner), m_alive(std::make_shared<Connection*>(this)) {}
    ~Connection() {
        *m_alive = nullptr;
        if (m_connection) {
            g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
            g_object_unref(m_connection);
        }
    }

    void Send(Request request) {
        if (m_connection && g_dbus_connection_is_closed(m_connection)) {
            g_object_unref(m_connection);
            m_connection = nullptr;
        }
        if (m_connection) {
            Call(request);
            return;
        }
        m_waiting.push_back(std::move(request));
        if (m_connecting) return;
        m_connecting = true;
        g_dbus_connection_new_for_address(
            m_owner.m_address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &Connection::OnConnected, HoldAlive(m_alive));
    }

  private:
    static void OnConnected(GObject*, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        GDBusConnection* connection = g_dbus_connection_new_for_address_finish(result, &error);
        Connection* self = TakeAlive<Connection>(data);
        if (!self) {
            if (connection) g_object_unref(connection);
            if (error) g_error_free(error);
            return;
        }
        self->m_connecting = false;
        std::deque<Request> waiting;
        waiting.swap(self->m_waiting);
        if (!connection) {
            Vantorel::Trace("notifications: no session bus (%s); %zu dropped", error->message,
                            waiting.size());
            g_error_free(error);
            self->m_owner.m_pending -= static_cast<int>(waiting.size());
            return;
        }
        self->m_connection = connection;
        for (const Request& request : waiting) self->Call(request);
    }

    void Call(const Request& request) {
        GVariantBuilder hints;
        g_variant_builder_init(&hints, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&hints, "{sv}", "urgency",
                              g_variant_new_byte(static_cast<guchar>(request.urgency)));
        if (!m_owner.m_desktopEntry.empty())
            g_variant_builder_add(&hints, "{sv}", "desktop-entry",
                                  g_variant_new_string(m_owner.m_desktopEntry.c_str()));
        const char* actions[] = {nullptr};
        g_dbus_connection_call(
            m_connection, kServerName, kServerPath, kServerName, "Notify",
            g_variant_new("(susss^asa{sv}i)", m_owner.m_applicationName.c_str(),
                          request.tag.empty() ? 0u : m_lastIds[request.tag], m_owner.m_iconFile.c_str(),
                          request.title.c_str(), request.body.c_str(), actions, &hints, -1),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &Connection::OnNotified,
            new Reply{m_alive, request.tag});
    }

    // What a Notify reply comes back to.
    struct Reply {
        std::shared_ptr<Connection*> alive;
        std::string tag;
    };

    static void OnNotified(GObject* source, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        std::unique_ptr<Reply> context(static_cast<Reply*>(data));
        Connection* self = *context->alive;
        guint32 id = 0;
        if (reply) {
            g_variant_get(reply, "(u)", &id);
            g_variant_unref(reply);
        } else {
            Vantorel::Trace("notifications: not shown: %s", error->message);
            g_error_free(error);
        }
        if (!self) return;  // the notifier is ending
        if (id && !context->tag.empty()) self->m_lastIds[context->tag] = id;
        --self->m_owner.m_pending;
    }

    DesktopNotifier& m_owner;
    std::shared_ptr<Connection*> m_alive;  // cleared when the connection object ends
    GDBusConnection* m_connection = nullptr;
    bool m_connecting = false;
    std::deque<Request> m_waiting;
    std::map<std::string, guint32> m_lastIds;  // the last notification shown per tag
};

DesktopNotifier::DesktopNotifier(std::string busAddress, std::wstring applicationName,
                                 std::string desktopEntry, std::wstring iconFile)
    : m_address(std::move(busAddress)),
      m_applicationName(Orvix::WideToUtf8(applicationName)),
      m_desktopEntry(std::move(desktopEntry)),
      m_iconFile(IconUri(Orvix::WideToUtf8(iconFile))) {}

DesktopNotifier::~DesktopNotifier() {
    m_loop.Stop([this] { m_connection.reset(); });
}

void DesktopNotifier::Notify(const std::wstring& title, const std::wstring& body, Urgency urgency,
                             const std::string& tag) {
    if (m_address.empty()) return;
    ++m_pending;
    m_loop.Post([this, request = Request{Orvix::WideToUtf8(title), Orvix::WideToUtf8(body), urgency, tag}] {
        if (!m_connection) m_connection = std::make_unique<Connection>(*this);
        m_connection->Send(request);
    });
}
