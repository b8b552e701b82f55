#include "platform/dbus/StatusNotifierTray.h"

#include <gio/gio.h>

#include <cwctype>

#include "orvix/core/TextConv.h"
#include "platform/IconPixmap.h"
#include "platform/Trace.h"
#include "platform/dbus/BusConnection.h"
#include "platform/dbus/TrayMenu.h"

namespace {

constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kMenuPath = "/MenuBar";

constexpr const char* kIntrospection = R"xml(<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconThemePath" type="s" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="OverlayIconName" type="s" access="read"/>
    <property name="OverlayIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionIconName" type="s" access="read"/>
    <property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionMovieName" type="s" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewAttentionIcon"/>
    <signal name="NewOverlayIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg name="status" type="s"/></signal>
  </interface>
</node>)xml";

GDBusInterfaceInfo* ItemInterfaceInfo() {
    static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    return g_dbus_node_info_lookup_interface(node, kItemInterface);
}

GVariant* PixmapsVariant(const std::vector<IconPixmap>& pixmaps) {
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a(iiay)"));
    for (const IconPixmap& p : pixmaps) {
        GVariant* bytes = g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, p.argb.data(), p.argb.size(), 1);
        g_variant_builder_add(&builder, "(ii@ay)", p.width, p.height, bytes);
    }
    return g_variant_ref_sink(g_variant_builder_end(&builder));
}

}  // namespace

// One icon from Add to Remove: its own connection (closing it is what tells the
// watcher the icon is gone), the exported item and menu, and the watch on the
// watcher's name. Created, used and destroyed on the loop thread only.
class StatusNotifierTrayIcon::Session {
  public:
    Session(std::atomic<bool>& available, Callbacks callbacks, std::string id, std::string title,
            const std::string& iconFile, std::string exitText)
        : m_available(available),
          m_callbacks(std::move(callbacks)),
          m_id(std::move(id)),
          m_title(std::move(title)),
          m_menu([this] {
              if (m_callbacks.exitRequested) m_callbacks.exitRequested();
          }),
          m_link(std::make_shared<Link>(Link{this, 0})) {
        const std::vector<IconPixmap> pixmaps = LoadIconPixmaps(iconFile);
        if (pixmaps.empty())
            Vantorel::Trace("tray: no picture in %s, the icon goes by name", iconFile.c_str());
        m_pixmaps = PixmapsVariant(pixmaps);
        // Without a picture the notification area looks the icon up by name in the
        // icon theme, where the program's installed icon carries the item's id.
        m_iconName = pixmaps.empty() ? m_id : std::string();
        m_menu.SetExitLabel(exitText);
    }

    ~Session() {
        m_link->session = nullptr;
        if (m_watchId) g_bus_unwatch_name(m_watchId);
        if (m_connection) {
            if (m_hostSubscription) g_dbus_connection_signal_unsubscribe(m_connection, m_hostSubscription);
            if (m_itemRegistration) g_dbus_connection_unregister_object(m_connection, m_itemRegistration);
            m_menu.Unexport();
            g_signal_handler_disconnect(m_connection, m_closedHandler);
            // Leaving the bus is what removes the item from the watcher. Closing
            // is local (no reply from the bus is awaited).
            g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
            g_object_unref(m_connection);
        }
        g_variant_unref(m_pixmaps);
    }

    void Start(const std::string& address) {
        ConnectToBus(address, &Session::OnConnected, Hold());
    }

    void SetExitText(const std::string& text) { m_menu.SetExitLabel(text); }

  private:
    // What an asynchronous reply finds: the session while it lives, and the
    // watcher generation the request was made for.
    struct Link {
        Session* session;
        unsigned generation;
    };
    using LinkRef = std::shared_ptr<Link>;

    void* Hold() { return new LinkRef(m_link); }
    // The session a reply belongs to, or null when it ended (the reference is freed).
    static Session* Release(void* data, unsigned* generation = nullptr) {
        auto* ref = static_cast<LinkRef*>(data);
        Session* session = (*ref)->session;
        if (generation) *generation = (*ref)->generation;
        delete ref;
        return session;
    }

    static void OnConnected(GObject*, GAsyncResult* result, gpointer data) {
        Session* self = Release(data);
        GDBusConnection* connection = FinishBusConnection(result, self != nullptr, "tray");
        if (!connection) return;
        self->m_connection = connection;
        self->Connected();
    }

    void Connected() {
        m_closedHandler = g_signal_connect(m_connection, "closed", G_CALLBACK(&Session::OnClosed), this);
        static const GDBusInterfaceVTable vtable = {
            &Session::OnItemMethod, &Session::OnItemProperty, nullptr, {}};
        GError* error = nullptr;
        m_itemRegistration = g_dbus_connection_register_object(m_connection, kItemPath, ItemInterfaceInfo(),
                                                               &vtable, this, nullptr, &error);
        if (!m_itemRegistration) {
            Vantorel::Trace("tray: cannot export the item: %s", error->message);
            g_error_free(error);
            return;
        }
        m_menu.Export(m_connection, kMenuPath);
        m_hostSubscription = g_dbus_connection_signal_subscribe(
            m_connection, kWatcherName, kWatcherName, nullptr, kWatcherPath, nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, &Session::OnWatcherSignal, this, nullptr);
        m_watchId = g_bus_watch_name_on_connection(m_connection, kWatcherName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                   &Session::OnWatcherAppeared, &Session::OnWatcherVanished,
                                                   Hold(), [](gpointer data) { Release(data); });
    }

    static Session* FromWatch(gpointer data) { return (*static_cast<LinkRef*>(data))->session; }

    static void OnWatcherAppeared(GDBusConnection*, const gchar*, const gchar* owner, gpointer data) {
        Session* self = FromWatch(data);
        if (!self) return;
        Vantorel::Trace("tray: watcher %s appeared, registering", owner);
        self->NewWatcher(false);
        g_dbus_connection_call(
            self->m_connection, kWatcherName, kWatcherPath, kWatcherName, "RegisterStatusNotifierItem",
            g_variant_new("(s)", g_dbus_connection_get_unique_name(self->m_connection)), nullptr,
            G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr, &Session::OnRegistered, self->Hold());
    }

    static void OnWatcherVanished(GDBusConnection*, const gchar*, gpointer data) {
        Session* self = FromWatch(data);
        if (!self) return;
        self->NewWatcher(false);
        self->Update();
    }

    // A watcher came or went: replies to requests made to the one before are stale.
    void NewWatcher(bool registered) {
        ++m_link->generation;
        m_registered = registered;
        m_hostRegistered = false;
    }

    static void OnRegistered(GObject* source, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        unsigned generation = 0;
        Session* self = Release(data, &generation);
        if (reply) g_variant_unref(reply);
        if (!self || generation != self->m_link->generation) {
            if (error) g_error_free(error);
            return;
        }
        if (error) {
            Vantorel::Trace("tray: the watcher refused the item: %s", error->message);
            g_error_free(error);
            return;
        }
        self->m_registered = true;
        self->QueryHost();
    }

    void QueryHost() {
        g_dbus_connection_call(m_connection, kWatcherName, kWatcherPath, "org.freedesktop.DBus.Properties",
                               "Get", g_variant_new("(ss)", kWatcherName, "IsStatusNotifierHostRegistered"),
                               G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr,
                               &Session::OnHostProperty, Hold());
    }

    static void OnHostProperty(GObject* source, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        unsigned generation = 0;
        Session* self = Release(data, &generation);
        bool host = true;  // a watcher that does not say is taken to have a host
        if (reply) {
            GVariant* value = nullptr;
            g_variant_get(reply, "(v)", &value);
            if (g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN)) host = g_variant_get_boolean(value);
            g_variant_unref(value);
            g_variant_unref(reply);
        }
        if (error) g_error_free(error);
        if (!self || generation != self->m_link->generation) return;
        self->m_hostRegistered = host;
        self->Update();
    }

    static void OnWatcherSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                const gchar* signal, GVariant*, gpointer data) {
        auto* self = static_cast<Session*>(data);
        if (self->m_registered && (g_strcmp0(signal, "StatusNotifierHostRegistered") == 0 ||
                                   g_strcmp0(signal, "StatusNotifierHostUnregistered") == 0))
            self->QueryHost();
    }

    static void OnClosed(GDBusConnection*, gboolean, GError*, gpointer data) {
        auto* self = static_cast<Session*>(data);
        Vantorel::Trace("tray: the session bus went away");
        self->NewWatcher(false);
        self->Update();
    }

    void Update() {
        const bool available = m_registered && m_hostRegistered;
        if (m_available.exchange(available) != available && m_callbacks.availabilityChanged)
            m_callbacks.availabilityChanged(available);
    }

    static void OnItemMethod(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                             GVariant*, GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<Session*>(data);
        g_dbus_method_invocation_return_value(invocation, nullptr);
        // A left click. The menu (right click) is drawn by the notification area
        // from the dbusmenu object; ContextMenu, SecondaryActivate and Scroll have
        // nothing to do.
        if (g_strcmp0(method, "Activate") == 0 && self->m_callbacks.activate) self->m_callbacks.activate();
    }

    static GVariant* OnItemProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                    const gchar* property, GError** error, gpointer data) {
        auto* self = static_cast<Session*>(data);
        const std::string name = property;
        if (name == "Category") return g_variant_new_string("ApplicationStatus");
        if (name == "Id") return g_variant_new_string(self->m_id.c_str());
        if (name == "Title") return g_variant_new_string(self->m_title.c_str());
        if (name == "Status") return g_variant_new_string("Active");
        if (name == "WindowId") return g_variant_new_int32(0);
        if (name == "IconThemePath" || name == "OverlayIconName" || name == "AttentionIconName" ||
            name == "AttentionMovieName")
            return g_variant_new_string("");
        if (name == "IconName") return g_variant_new_string(self->m_iconName.c_str());
        if (name == "IconPixmap") return g_variant_ref(self->m_pixmaps);
        if (name == "OverlayIconPixmap" || name == "AttentionIconPixmap")
            return g_variant_new("a(iiay)", nullptr);
        if (name == "ToolTip") return g_variant_new("(sa(iiay)ss)", "", nullptr, self->m_title.c_str(), "");
        if (name == "ItemIsMenu") return g_variant_new_boolean(FALSE);
        if (name == "Menu") return g_variant_new_object_path(kMenuPath);
        g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
        return nullptr;
    }

    std::atomic<bool>& m_available;
    Callbacks m_callbacks;
    const std::string m_id;
    const std::string m_title;
    std::string m_iconName;
    GVariant* m_pixmaps = nullptr;
    TrayMenu m_menu;
    LinkRef m_link;
    GDBusConnection* m_connection = nullptr;
    gulong m_closedHandler = 0;
    guint m_itemRegistration = 0;
    guint m_hostSubscription = 0;
    guint m_watchId = 0;
    bool m_registered = false;
    bool m_hostRegistered = false;
};

StatusNotifierTrayIcon::StatusNotifierTrayIcon(std::string busAddress) : m_address(std::move(busAddress)) {}

StatusNotifierTrayIcon::~StatusNotifierTrayIcon() {
    m_loop.Stop([this] { m_session.reset(); });
}

std::string StatusNotifierTrayIcon::ItemId(const std::wstring& applicationName) {
    std::wstring id;
    for (wchar_t c : applicationName) {
        if (c < 0x80 && std::iswalnum(c))
            id += static_cast<wchar_t>(std::towlower(c));
        else if (!id.empty() && id.back() != L'-')
            id += L'-';
    }
    while (!id.empty() && id.back() == L'-') id.pop_back();
    return id.empty() ? "application" : Orvix::WideToUtf8(id);
}

bool StatusNotifierTrayIcon::Add(const std::wstring& iconFile, const std::wstring& tooltip,
                                 const std::wstring& exitText, Callbacks callbacks) {
    m_loop.Post([this, icon = Orvix::WideToUtf8(iconFile), title = Orvix::WideToUtf8(tooltip),
                 exit = Orvix::WideToUtf8(exitText), id = ItemId(tooltip), callbacks = std::move(callbacks)] {
        m_available = false;
        m_session.reset();
        m_session = std::make_unique<Session>(m_available, callbacks, id, title, icon, exit);
        m_session->Start(m_address);
    });
    return false;
}

void StatusNotifierTrayIcon::Remove() {
    m_loop.Post([this] {
        // Unavailable before the connection closes: whoever sees the icon leave the
        // bus must also find it unavailable.
        m_available = false;
        m_session.reset();
    });
}

void StatusNotifierTrayIcon::SetExitText(const std::wstring& text) {
    m_loop.Post([this, label = Orvix::WideToUtf8(text)] {
        if (m_session) m_session->SetExitText(label);
    });
}
