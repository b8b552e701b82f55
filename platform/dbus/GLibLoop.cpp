#include "platform/dbus/GLibLoop.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <cstdlib>

GLibLoop::GLibLoop() : m_context(g_main_context_new()), m_loop(g_main_loop_new(m_context, FALSE)) {
    m_thread = std::thread([this] { Run(); });
}

GLibLoop::~GLibLoop() {
    Stop();
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
        if (m_drainScheduled) return;
        m_drainScheduled = true;
    }
    // An idle source always runs from the loop, never inside this call, so a
    // task posted by a task does not run in the middle of it.
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, &GLibLoop::Drain, this, nullptr);
    g_source_attach(source, m_context);
    g_source_unref(source);
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

int GLibLoop::Drain(void* self) {
    auto* loop = static_cast<GLibLoop*>(self);
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(loop->m_mutex);
        tasks.swap(loop->m_tasks);
        loop->m_drainScheduled = false;
    }
    for (auto& task : tasks) task();
    return G_SOURCE_REMOVE;
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
