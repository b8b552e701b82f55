#include "platform/dbus/StatusNotifierTray.h"

#include <gio/gio.h>

#include "base/TextConv.h"
#include "platform/ApplicationId.h"
#include "platform/IconPixmap.h"
#include "base/Trace.h"
#include "platform/dbus/BusConnection.h"
#include "platform/dbus/TrayMenu.h"

namespace {

constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kMenuPath = "/MenuBar";

// Menu item ids: fixed ones, and a profile's id above kProfileItemBase.
constexpr int kExitItem = 1;
constexpr int kShowItem = 2;
constexpr int kFirstSeparator = 3;
constexpr int kSecondSeparator = 4;
constexpr int kProfileItemBase = 100;

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
    Session(std::atomic<bool>& available, Callbacks callbacks, const std::string& iconFile, TrayStatus status)
        : m_available(available),
          m_callbacks(std::move(callbacks)),
          m_status(std::move(status)),
          m_menu([this](int id) { OnMenuClicked(id); }),
          m_link(std::make_shared<Link>(Link{this, 0})) {
        std::vector<IconPixmap> pixmaps = LoadIconPixmaps(iconFile);
        if (pixmaps.empty())
            Vantorel::Trace("tray: no picture in %s, the icon goes by name", iconFile.c_str());
        m_pixmaps = PixmapsVariant(pixmaps);
        AddLowBatteryBadge(pixmaps);
        m_lowPixmaps = PixmapsVariant(pixmaps);
        // Without a picture the notification area looks the icon up by name in the
        // icon theme, where the program's installed icon carries the application id.
        m_iconName = pixmaps.empty() ? kApplicationId : std::string();
        m_menu.SetItems(MenuItems(m_status));
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
        g_variant_unref(m_lowPixmaps);
    }

    void Start(const std::string& address) {
        ConnectToBus(address, &Session::OnConnected, Hold());
    }

    void Update(TrayStatus status) {
        if (status == m_status) return;
        const TrayStatus old = std::move(m_status);
        m_status = std::move(status);
        m_menu.SetItems(MenuItems(m_status));
        if (m_status.title != old.title) Emit("NewTitle");
        if (m_status.tooltip != old.tooltip || m_status.detail != old.detail || m_status.title != old.title)
            Emit("NewToolTip");
        if (m_status.lowBattery != old.lowBattery) Emit("NewIcon");
    }

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

    static std::vector<TrayMenu::Item> MenuItems(const TrayStatus& status) {
        using Orvix::WideToUtf8;
        std::vector<TrayMenu::Item> items;
        if (!status.showText.empty())
            items.push_back({kShowItem, false, WideToUtf8(status.showText), true, -1});
        if (!status.profiles.empty()) {
            if (!items.empty()) items.push_back({kFirstSeparator, true, "", true, -1});
            for (const TrayStatus::Profile& profile : status.profiles)
                items.push_back({kProfileItemBase + profile.id, false, WideToUtf8(profile.name),
                                 status.profilesEnabled, profile.id == status.activeProfile ? 1 : 0});
        }
        if (!items.empty()) items.push_back({kSecondSeparator, true, "", true, -1});
        items.push_back({kExitItem, false, WideToUtf8(status.exitText), true, -1});
        return items;
    }

    void OnMenuClicked(int id) {
        if (id == kExitItem && m_callbacks.exitRequested) {
            m_callbacks.exitRequested();
        } else if (id == kShowItem && m_callbacks.activate) {
            m_callbacks.activate();
        } else if (id > kProfileItemBase && m_callbacks.profileChosen) {
            m_callbacks.profileChosen(id - kProfileItemBase);
        }
    }

    void Emit(const char* signal) {
        if (!m_connection || !m_itemRegistration) return;
        g_dbus_connection_emit_signal(m_connection, nullptr, kItemPath, kItemInterface, signal, nullptr,
                                      nullptr);
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
        if (name == "Id") return g_variant_new_string(kApplicationId);
        if (name == "Title") return g_variant_new_string(Orvix::WideToUtf8(self->m_status.title).c_str());
        if (name == "Status") return g_variant_new_string("Active");
        if (name == "WindowId") return g_variant_new_int32(0);
        if (name == "IconThemePath" || name == "OverlayIconName" || name == "AttentionIconName" ||
            name == "AttentionMovieName")
            return g_variant_new_string("");
        if (name == "IconName") return g_variant_new_string(self->m_iconName.c_str());
        if (name == "IconPixmap")
            return g_variant_ref(self->m_status.lowBattery ? self->m_lowPixmaps : self->m_pixmaps);
        if (name == "OverlayIconPixmap" || name == "AttentionIconPixmap")
            return g_variant_new("a(iiay)", nullptr);
        if (name == "ToolTip")
            return g_variant_new("(sa(iiay)ss)", "", nullptr,
                                 Orvix::WideToUtf8(self->m_status.tooltip).c_str(),
                                 Orvix::WideToUtf8(self->m_status.detail).c_str());
        if (name == "ItemIsMenu") return g_variant_new_boolean(FALSE);
        if (name == "Menu") return g_variant_new_object_path(kMenuPath);
        g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
        return nullptr;
    }

    std::atomic<bool>& m_available;
    Callbacks m_callbacks;
    TrayStatus m_status;
    std::string m_iconName;
    GVariant* m_pixmaps = nullptr;
    GVariant* m_lowPixmaps = nullptr;
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

bool StatusNotifierTrayIcon::Add(const std::wstring& iconFile, const TrayStatus& status,
                                 Callbacks callbacks) {
    m_loop.Post([this, icon = Orvix::WideToUtf8(iconFile), status, callbacks = std::move(callbacks)] {
        m_available = false;
        m_session.reset();
        m_session = std::make_unique<Session>(m_available, callbacks, icon, status);
        m_session->Start(m_address);
    });
    return false;
}

void StatusNotifierTrayIcon::Update(const TrayStatus& status) {
    m_loop.Post([this, status] {
        if (m_session) m_session->Update(status);
    });
}

void StatusNotifierTrayIcon::Remove() {
    m_loop.Post([this] {
        // Unavailable before the connection closes: whoever sees the icon leave the
        // bus must also find it unavailable.
        m_available = false;
        m_session.reset();
    });
}
