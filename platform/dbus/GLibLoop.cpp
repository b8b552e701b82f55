#include "platform/dbus/GLibLoop.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <cstdlib>

// The loop's own source: ready while tasks wait. Posting only wakes the context,
// so no GLib object is made on one thread and freed on another.
struct GLibLoop::TaskSource {
    GSource base;
    GLibLoop* loop;

    static gboolean Prepare(GSource* source, gint* timeout) {
        *timeout = -1;
        return reinterpret_cast<TaskSource*>(source)->loop->HasTasks();
    }
    static gboolean Check(GSource* source) { return reinterpret_cast<TaskSource*>(source)->loop->HasTasks(); }
    static gboolean Dispatch(GSource* source, GSourceFunc, gpointer) {
        reinterpret_cast<TaskSource*>(source)->loop->Drain();
        return G_SOURCE_CONTINUE;
    }
};

GLibLoop::GLibLoop() : m_context(g_main_context_new()), m_loop(g_main_loop_new(m_context, FALSE)) {
    static GSourceFuncs funcs = {
        &TaskSource::Prepare, &TaskSource::Check, &TaskSource::Dispatch, nullptr, {}, {}};
    m_source = g_source_new(&funcs, sizeof(TaskSource));
    reinterpret_cast<TaskSource*>(m_source)->loop = this;
    g_source_attach(m_source, m_context);
    m_thread = std::thread([this] { Run(); });
}

GLibLoop::~GLibLoop() {
    Stop();
    g_source_destroy(m_source);
    g_source_unref(m_source);
    g_main_loop_unref(m_loop);
    g_main_context_unref(m_context);
}

void GLibLoop::Post(std::function<void()> task) {
    Enqueue(std::move(task), false);
}

void GLibLoop::Enqueue(std::function<void()> task, bool last) {
    {
        std::lock_guard lock(m_mutex);
        if (m_stopped) return;
        m_stopped = last;
        m_tasks.push_back(std::move(task));
    }
    g_main_context_wakeup(m_context);
}

void GLibLoop::Stop(std::function<void()> finalTask) {
    Enqueue(
        [this, finalTask = std::move(finalTask)] {
            if (finalTask) finalTask();
            g_main_loop_quit(m_loop);
        },
        true);
    if (m_thread.joinable()) m_thread.join();
}

bool GLibLoop::HasTasks() {
    std::lock_guard lock(m_mutex);
    return !m_tasks.empty();
}

void GLibLoop::Drain() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(m_mutex);
        tasks.swap(m_tasks);
    }
    for (auto& task : tasks) task();
}

void GLibLoop::Run() {
    g_main_context_push_thread_default(m_context);
    g_main_loop_run(m_loop);
    // Let what the clean-up queued (closed connections, dropped subscriptions) finish.
    while (g_main_context_iteration(m_context, FALSE)) {
    }
    g_main_context_pop_thread_default(m_context);
}

namespace {

bool IsSocket(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

std::string UnixPathAddress(const std::string& path) {
    gchar* escaped = g_dbus_address_escape_value(path.c_str());
    std::string address = std::string("unix:path=") + escaped;
    g_free(escaped);
    return address;
}

}  // namespace

std::string SessionBusAddress() {
    const char* env = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (env && *env) return env;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && IsSocket(std::string(runtime) + "/bus"))
        return UnixPathAddress(std::string(runtime) + "/bus");
    return {};
}

std::string SystemBusAddress() {
    const char* env = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (env && *env) return env;
    for (const char* path : {"/run/dbus/system_bus_socket", "/var/run/dbus/system_bus_socket"})
        if (IsSocket(path)) return UnixPathAddress(path);
    return {};
}
