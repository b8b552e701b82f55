#pragma once
// A GLib main loop on a thread of its own, for the desktop's D-Bus services.
// Every GDBus object of a service is created, used and dropped on this thread,
// so their replies, signals and method calls are dispatched here and never on
// the UI thread. Other threads hand work over with Post, which never waits.
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;
typedef struct _GSource GSource;

class GLibLoop {
  public:
    GLibLoop();
    // Stops the loop (see Stop).
    ~GLibLoop();
    GLibLoop(const GLibLoop&) = delete;
    GLibLoop& operator=(const GLibLoop&) = delete;

    // Runs `task` on the loop thread, after the tasks posted before it. Any thread
    // may post, the loop thread too (the task then runs after the current one).
    // Tasks posted after Stop are dropped.
    void Post(std::function<void()> task);

    // Runs the tasks already posted, then `finalTask` (the owner's clean-up, on
    // the loop thread), and ends the thread. Waits for the thread, never for a
    // bus. Must not be called on the loop thread.
    void Stop(std::function<void()> finalTask = {});

    bool IsLoopThread() const { return std::this_thread::get_id() == m_thread.get_id(); }
    GMainContext* Context() const { return m_context; }

  private:
    struct TaskSource;
    void Enqueue(std::function<void()> task, bool last);
    bool HasTasks();
    void Drain();
    void Run();

    GMainContext* m_context = nullptr;
    GMainLoop* m_loop = nullptr;
    GSource* m_source = nullptr;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;  // guarded by m_mutex
    bool m_stopped = false;                     // guarded by m_mutex
    std::thread m_thread;
};

// The hold an asynchronous GDBus call keeps on the object that started it: the
// object clears the shared pointer when it goes, so a late answer finds null.
template <class T>
void* HoldAlive(const std::shared_ptr<T*>& alive) {
    return new std::shared_ptr<T*>(alive);
}
// Takes the hold back (once per HoldAlive): the object, or null when it is gone.
template <class T>
T* TakeAlive(void* data) {
    auto* alive = static_cast<std::shared_ptr<T*>*>(data);
    T* self = **alive;
    delete alive;
    return self;
}

// Bus addresses as GDBus takes them. Empty when the bus is not there: the session
// bus from DBUS_SESSION_BUS_ADDRESS or $XDG_RUNTIME_DIR/bus (never an address
// that would start a bus of its own); the system bus from DBUS_SYSTEM_BUS_ADDRESS
// or the standard socket.
std::string SessionBusAddress();
std::string SystemBusAddress();
