#pragma once
// Test support: a private message bus (a dbus-daemon of its own, in a temporary
// folder) and small bus services written for the tests, each on its own GLib
// loop: a status notifier watcher, a notification server and a logind stand-in.
#include <gio/gio.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dbus/GLibLoop.h"

// Waits for `condition` (polled) up to `timeout`; true when it held.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

class PrivateBus {
  public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool IsRunning() const { return !m_address.empty(); }
    const std::string& Address() const { return m_address; }

    // A connection for the test's own synchronous calls (no loop needed).
    GDBusConnection* Client();
    // The unique names of all clients now on the bus.
    std::vector<std::string> UniqueNames();
    bool HasOwner(const std::string& name);

  private:
    std::string m_folder;
    std::string m_address;
    pid_t m_pid = -1;
    GDBusConnection* m_client = nullptr;
};

// A property of the StatusNotifierItem `service` exports (a new reference), or null.
GVariant* ReadItemProperty(GDBusConnection* connection, const std::string& service, const char* name);

// The items below the root of a tray icon's menu (com.canonical.dbusmenu at
// /MenuBar of `service`), as a notification area reads them; the layout's revision.
struct TrayMenuEntry {
    int id = 0;
    std::string label;
    bool enabled = true;
    int toggle = -1;  // a radio item's state; -1 for plain items
};
std::vector<TrayMenuEntry> ReadTrayMenu(GDBusConnection* connection, const std::string& service,
                                        uint32_t* revision = nullptr);

// What the test's callbacks saw, guarded for the threads they come on.
class Recorder {
  public:
    void Add(std::string event);
    std::vector<std::string> Events();
    size_t Count(const std::string& event);
    bool WaitForCount(const std::string& event, size_t count,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_events;
};

// A bus service on a loop of its own: connects, exports, owns a name.
class TestService {
  public:
    virtual ~TestService();
    // Connects to the bus and takes the name; false on failure.
    bool Start(const std::string& address);
    // Leaves the bus: the name goes away.
    void Stop();
    GDBusConnection* Connection() const { return m_connection; }

  protected:
    // An empty `name` connects without taking one.
    TestService(std::string name, std::string path, const char* introspection, const char* interface);
    // On the loop thread.
    virtual void OnCall(const char* sender, const char* method, GVariant* parameters,
                        GDBusMethodInvocation* invocation) = 0;
    virtual GVariant* OnProperty(const char* property) = 0;
    // Runs `task` on the loop thread and waits for it.
    void RunOnLoop(const std::function<void()>& task);
    void Emit(const char* signal, GVariant* parameters);

  private:
    static void Call(GDBusConnection*, const char* sender, const char*, const char*, const char* method,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self);
    static GVariant* Property(GDBusConnection*, const char*, const char*, const char*, const char* property,
                              GError**, gpointer self);

    const std::string m_name;
    const std::string m_path;
    GDBusNodeInfo* m_node = nullptr;
    const char* m_interface;
    GLibLoop m_loop;
    GDBusConnection* m_connection = nullptr;  // loop thread, and read once started
    guint m_registration = 0;
};

// org.kde.StatusNotifierWatcher as a desktop shell offers it.
class TestWatcher : public TestService {
  public:
    explicit TestWatcher(bool hostRegistered = true);
    ~TestWatcher() override { Stop(); }
    // The services registered, in order ("<sender>" for each call).
    std::vector<std::string> Registrations();
    size_t RegistrationCount();
    bool WaitForRegistrations(size_t count);
    // A notification area arrives or leaves.
    void SetHostRegistered(bool registered);

  protected:
    void OnCall(const char* sender, const char* method, GVariant* parameters,
                GDBusMethodInvocation* invocation) override;
    GVariant* OnProperty(const char* property) override;

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_registrations;  // guarded by m_mutex
    bool m_hostRegistered;                     // loop thread
};

// org.freedesktop.Notifications, recording what it is asked to show.
class TestNotificationServer : public TestService {
  public:
    struct Shown {
        std::string appName;
        uint32_t replacesId = 0;
        std::string appIcon;
        std::string summary;
        std::string body;
        int urgency = -1;
        std::string desktopEntry;
        uint32_t id = 0;
    };
    TestNotificationServer();
    ~TestNotificationServer() override { Stop(); }
    std::vector<Shown> ShownSoFar();
    bool WaitForCount(size_t count);

  protected:
    void OnCall(const char* sender, const char* method, GVariant* parameters,
                GDBusMethodInvocation* invocation) override;
    GVariant* OnProperty(const char*) override { return nullptr; }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Shown> m_shown;  // guarded by m_mutex
};

// The login manager's object, only to send PrepareForSleep.
class TestLogin : public TestService {
  public:
    // `owner`: takes logind's name; otherwise a client that only pretends to be it.
    explicit TestLogin(bool owner = true);
    ~TestLogin() override { Stop(); }
    // Emits PrepareForSleep and waits until the bus has passed it on.
    void PrepareForSleep(bool sleeping);

  protected:
    void OnCall(const char*, const char*, GVariant*, GDBusMethodInvocation* invocation) override;
    GVariant* OnProperty(const char*) override { return nullptr; }
};
