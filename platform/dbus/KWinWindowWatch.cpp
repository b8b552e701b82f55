// The KDE Plasma (Wayland) provider. KWin tells Wayland clients nothing about
// other windows, but it runs scripts: we load a small one over D-Bus
// (org.kde.kwin.Scripting) that calls a method of ours, on our own connection,
// each time a window is activated. The script is unloaded again at Stop.
#include <gio/gio.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <future>

#include "base/TextConv.h"
#include "base/Trace.h"
#include "platform/WindowWatch.h"
#include "platform/dbus/GLibLoop.h"

namespace {

constexpr const char* kKWin = "org.kde.KWin";
constexpr const char* kScriptingPath = "/Scripting";
constexpr const char* kScriptingInterface = "org.kde.kwin.Scripting";
constexpr const char* kWatchPath = "/com/vantorel/mouse/WindowWatch";
constexpr const char* kWatchInterface = "com.vantorel.mouse.WindowWatch";
constexpr int kCallTimeoutMs = 2000;

constexpr const char* kIntrospection =
    "<node><interface name='com.vantorel.mouse.WindowWatch'>"
    "<method name='ActiveWindow'>"
    "<arg type='s' name='resourceClass' direction='in'/><arg type='s' name='resourceName' direction='in'/>"
    "<arg type='s' name='desktopFileName' direction='in'/><arg type='s' name='pid' direction='in'/>"
    "<arg type='s' name='caption' direction='in'/>"
    "</method></interface></node>";

// The script: every value goes as a string, so that KWin 5 and 6 marshal them alike.
// KWin 6 names the signal windowActivated, KWin 5 clientActivated.
std::string ScriptText(const std::string& service) {
    return "function vantorelReport(w) {\n"
           "    if (!w) return;\n"
           "    callDBus('" + service + "', '" + kWatchPath + "', '" + kWatchInterface + "', 'ActiveWindow',\n"
           "             String(w.resourceClass || ''), String(w.resourceName || ''),\n"
           "             String(w.desktopFileName || ''), String(w.pid || 0), String(w.caption || ''));\n"
           "}\n"
           "if (workspace.windowActivated) {\n"
           "    workspace.windowActivated.connect(vantorelReport);\n"
           "    vantorelReport(workspace.activeWindow);\n"
           "} else {\n"
           "    workspace.clientActivated.connect(vantorelReport);\n"
           "    vantorelReport(workspace.activeClient);\n"
           "}\n";
}

std::string ScriptFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && runtime[0] == '/' ? runtime : "/tmp";
}

class KWinWindowWatch : public WindowWatchProvider {
  public:
    explicit KWinWindowWatch(std::string address) : m_address(std::move(address)) {
        const std::string pid = std::to_string(getpid());
        m_plugin = "vantorel-mouse-window-watch-" + pid;
        m_scriptPath = ScriptFolder() + "/vantorel-mouse-window-watch-" + pid + ".js";
    }
    ~KWinWindowWatch() override { Stop(); }

    bool Start(Sink sink) override {
        if (m_address.empty()) return false;
        if (m_loop) return true;
        m_sink = std::move(sink);
        m_loop = std::make_unique<GLibLoop>();
        // Set-up is a few calls to a local bus; the wait is bounded in case KWin hangs.
        auto done = std::make_shared<std::promise<bool>>();
        std::future<bool> result = done->get_future();
        m_loop->Post([this, done] { done->set_value(Connect()); });
        const bool started = result.wait_for(std::chrono::milliseconds(kCallTimeoutMs + 500)) ==
                                 std::future_status::ready &&
                             result.get();
        if (!started) Stop();
        return started;
    }

    void Stop() override {
        if (!m_loop) return;
        m_loop->Stop([this] { Disconnect(); });
        m_loop.reset();
        std::remove(m_scriptPath.c_str());
    }

  private:
    GVariant* CallKWin(const char* method, GVariant* args, const GVariantType* replyType) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_sync(m_connection, kKWin, kScriptingPath, kScriptingInterface,
                                                      method, args, replyType, G_DBUS_CALL_FLAGS_NONE,
                                                      kCallTimeoutMs, nullptr, &error);
        if (!reply) {
            Vantorel::Trace("window watch: KWin %s failed: %s", method, error ? error->message : "?");
            if (error) g_error_free(error);
        }
        return reply;
    }

    // Loop thread.
    bool Connect() {
        GError* error = nullptr;
        m_connection = g_dbus_connection_new_for_address_sync(
            m_address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        if (!m_connection) {
            Vantorel::Trace("window watch: no session bus: %s", error ? error->message : "?");
            if (error) g_error_free(error);
            return false;
        }
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
        static const GDBusInterfaceVTable vtable = {&KWinWindowWatch::OnMethodCall, nullptr, nullptr, {}};
        m_registration =
            g_dbus_connection_register_object(m_connection, kWatchPath, node->interfaces[0], &vtable, this, nullptr,
                                              nullptr);
        g_dbus_node_info_unref(node);
        if (m_registration == 0) return false;

        const std::string script = ScriptText(g_dbus_connection_get_unique_name(m_connection));
        FILE* file = std::fopen(m_scriptPath.c_str(), "w");
        if (!file) return false;
        const bool written = std::fwrite(script.data(), 1, script.size(), file) == script.size();
        if (std::fclose(file) != 0 || !written) return false;

        // One left behind by a copy of the program that did not end cleanly.
        if (GVariant* loaded = CallKWin("isScriptLoaded", g_variant_new("(s)", m_plugin.c_str()), G_VARIANT_TYPE("(b)"))) {
            gboolean yes = FALSE;
            g_variant_get(loaded, "(b)", &yes);
            g_variant_unref(loaded);
            if (yes) Unload();
        } else {
            return false;  // no KWin on this bus
        }
        GVariant* reply = CallKWin("loadScript", g_variant_new("(ss)", m_scriptPath.c_str(), m_plugin.c_str()),
                                   G_VARIANT_TYPE("(i)"));
        if (!reply) return false;
        gint32 id = -1;
        g_variant_get(reply, "(i)", &id);
        g_variant_unref(reply);
        if (id < 0) return false;
        m_loaded = true;
        // Runs the scripts that are loaded and not running yet: ours.
        if (GVariant* started = CallKWin("start", nullptr, nullptr)) g_variant_unref(started);
        Vantorel::Trace("window watch: KWin script %d loaded", id);
        return true;
    }

    void Unload() {
        if (GVariant* reply = CallKWin("unloadScript", g_variant_new("(s)", m_plugin.c_str()), nullptr))
            g_variant_unref(reply);
    }

    void Disconnect() {
        if (!m_connection) return;
        if (m_loaded) Unload();
        m_loaded = false;
        if (m_registration) g_dbus_connection_unregister_object(m_connection, m_registration);
        m_registration = 0;
        g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
        g_object_unref(m_connection);
        m_connection = nullptr;
    }

    static void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                             GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<KWinWindowWatch*>(data);
        if (g_strcmp0(method, "ActiveWindow") != 0 || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sssss)"))) {
            g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.InvalidArgs",
                                                       "ActiveWindow takes five strings");
            return;
        }
        const gchar *cls = nullptr, *name = nullptr, *desktop = nullptr, *pid = nullptr, *caption = nullptr;
        g_variant_get(parameters, "(&s&s&s&s&s)", &cls, &name, &desktop, &pid, &caption);
        g_dbus_method_invocation_return_value(invocation, nullptr);
        FocusedWindow seen;
        seen.wmClass = Orvix::Utf8ToWide(cls);
        seen.wmInstance = Orvix::Utf8ToWide(name);
        seen.appId = Orvix::Utf8ToWide(desktop);
        seen.pid = std::atoi(pid);
        seen.title = Orvix::Utf8ToWide(caption);
        if (seen.pid > 0) {
            char path[4096];
            const std::string link = "/proc/" + std::to_string(seen.pid) + "/exe";
            const ssize_t n = readlink(link.c_str(), path, sizeof(path) - 1);
            if (n > 0) seen.executable.assign(path, size_t(n));
        }
        if (!seen.IsEmpty() && self->m_sink) self->m_sink(seen);
    }

    std::string m_address;
    std::string m_plugin;
    std::string m_scriptPath;
    Sink m_sink;
    std::unique_ptr<GLibLoop> m_loop;
    GDBusConnection* m_connection = nullptr;  // loop thread
    guint m_registration = 0;
    bool m_loaded = false;
};

}  // namespace

std::unique_ptr<WindowWatchProvider> MakeKWinWindowWatch(const std::string& busAddress) {
    return std::make_unique<KWinWindowWatch>(busAddress);
}
