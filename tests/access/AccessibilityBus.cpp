#include "AccessibilityBus.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

namespace {

std::string AskAddress(GDBusConnection* session) {
    GVariant* reply = g_dbus_connection_call_sync(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                                  "GetAddress", nullptr, G_VARIANT_TYPE("(s)"),
                                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, 1000, nullptr, nullptr);
    if (!reply) return {};
    const gchar* address = nullptr;
    g_variant_get(reply, "(&s)", &address);
    std::string result = address ? address : "";
    g_variant_unref(reply);
    return result;
}

}  // namespace

AccessibilityBus::AccessibilityBus(bool enabled) {
    if (!m_session.IsRunning()) return;
    char pattern[] = "/tmp/vantorel_a11y_XXXXXX";
    if (!mkdtemp(pattern)) return;
    m_runtime = pattern;
    const std::string session = m_session.Address();
    const std::string runtime = m_runtime;
    // Without --a11y the launcher follows the desktop's setting (off by default);
    // --a11y=0 would hold it off and turn back every change.
    const char* a11y = enabled ? "--a11y=1" : nullptr;
    m_launcher = fork();
    if (m_launcher == 0) {
        // Its own process group: the bus it starts and the registry go with it.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        setenv("DBUS_SESSION_BUS_ADDRESS", session.c_str(), 1);
        // The bus socket lies in the runtime folder: a folder of its own, never the user's.
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        // The desktop's settings in memory: this bus starts no settings service to write them.
        setenv("GSETTINGS_BACKEND", "memory", 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        // An earlier reader in this process named its own (now gone) bus here; the
        // registry this launcher starts would take that bus instead of the new one.
        unsetenv("AT_SPI_BUS_ADDRESS");
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        dup2(devNull, 2);
        execl("/usr/libexec/at-spi-bus-launcher", "at-spi-bus-launcher", "--launch-immediately", a11y,
              static_cast<char*>(nullptr));
        _exit(127);
    }
    if (m_launcher < 0) return;
    GDBusConnection* client = m_session.Client();
    WaitUntil([&] { return !(m_address = AskAddress(client)).empty(); }, std::chrono::milliseconds(10000));
}

AccessibilityBus::~AccessibilityBus() {
    if (m_launcher > 0) {
        kill(-m_launcher, SIGTERM);
        kill(m_launcher, SIGTERM);
        waitpid(m_launcher, nullptr, 0);
    }
    if (!m_runtime.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_runtime, ignored);
    }
}

void AccessibilityBus::SetScreenReaderEnabled(bool enabled) {
    GVariant* reply = g_dbus_connection_call_sync(
        m_session.Client(), "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
        g_variant_new("(ssv)", "org.a11y.Status", "ScreenReaderEnabled", g_variant_new_boolean(enabled)),
        nullptr, G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (reply) g_variant_unref(reply);
}

// ---- Reader ----

namespace {
std::atomic<bool> g_readerStarted{false};
}  // namespace

bool Reader::Available() {
    return !g_readerStarted.load();
}

Reader::Reader(const std::string& busAddress) {
    g_readerStarted = true;
    m_thread = std::thread([this, busAddress] { Run(busAddress); });
}

Reader::~Reader() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_thread.join();
}

void Reader::Post(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tasks.push_back(std::move(task));
}

void Reader::WaitFor(const std::function<bool()>& ready, const std::function<void()>& pump) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > until) {
            ADD_FAILURE() << "the screen reader got no answer";
            std::abort();  // the task still refers to this frame's values
        }
        pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::vector<std::string> Reader::Heard() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_heard;
}

void Reader::OnEvent(AtspiEvent* event, void* data) {
    auto* self = static_cast<Reader*>(data);
    std::string kind = event->type ? event->type : "";
    if (kind == "object:state-changed:focused") {
        if (event->detail1 != 1) return;
        kind = "focused";
    }
    std::string line = kind;
    if (event->source) {
        gchar* role = atspi_accessible_get_role_name(event->source, nullptr);
        line += " " + std::string(role ? role : "?") + ": " + NameOf(event->source);
        g_free(role);
    }
    std::lock_guard<std::mutex> lock(self->m_mutex);
    self->m_heard.push_back(line);
}

void Reader::Run(std::string address) {
    // libatspi finds the bus here first; everything it does stays on this thread.
    setenv("AT_SPI_BUS_ADDRESS", address.c_str(), 1);
    atspi_init();
    AtspiEventListener* listener = atspi_event_listener_new(&Reader::OnEvent, this, nullptr);
    for (const char* event : {"object:state-changed:focused", "object:children-changed", "window:create",
                              "object:property-change:accessible-name", "object:text-changed"})
        atspi_event_listener_register(listener, event, nullptr);
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) break;
            if (!m_tasks.empty()) {
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
        }
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        if (task)
            task();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    g_object_unref(listener);
    atspi_exit();
}

// ---- what a reader asks ----

std::string NameOf(AtspiAccessible* object) {
    gchar* name = atspi_accessible_get_name(object, nullptr);
    std::string result = name ? name : "";
    g_free(name);
    return result;
}

AtspiRole RoleOf(AtspiAccessible* object) {
    return atspi_accessible_get_role(object, nullptr);
}

bool HasState(AtspiAccessible* object, AtspiStateType state) {
    AtspiStateSet* states = atspi_accessible_get_state_set(object);
    const bool has = states && atspi_state_set_contains(states, state);
    if (states) g_object_unref(states);
    return has;
}

std::vector<AtspiAccessible*> ChildrenOf(AtspiAccessible* object) {
    std::vector<AtspiAccessible*> children;
    const gint n = atspi_accessible_get_child_count(object, nullptr);
    for (gint i = 0; i < n; ++i)
        if (AtspiAccessible* child = atspi_accessible_get_child_at_index(object, i, nullptr))
            children.push_back(child);
    return children;
}

void Release(std::vector<AtspiAccessible*>& objects) {
    for (AtspiAccessible* o : objects) g_object_unref(o);
    objects.clear();
}

AtspiAccessible* FindApplication(const std::string& name) {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    std::vector<AtspiAccessible*> apps = ChildrenOf(desktop);
    AtspiAccessible* found = nullptr;
    for (AtspiAccessible* app : apps)
        if (!found && NameOf(app) == name) found = static_cast<AtspiAccessible*>(g_object_ref(app));
    Release(apps);
    g_object_unref(desktop);
    // Fresh answers on every question: the test reads what the program shows now.
    if (found) atspi_accessible_set_cache_mask(found, ATSPI_CACHE_NONE);
    return found;
}

AtspiAccessible* FindBelow(AtspiAccessible* root, const std::function<bool(AtspiAccessible*)>& match,
                           int depth) {
    if (match(root)) return static_cast<AtspiAccessible*>(g_object_ref(root));
    if (depth == 0) return nullptr;
    std::vector<AtspiAccessible*> children = ChildrenOf(root);
    AtspiAccessible* found = nullptr;
    for (AtspiAccessible* child : children) {
        if ((found = FindBelow(child, match, depth - 1))) break;
    }
    Release(children);
    return found;
}
