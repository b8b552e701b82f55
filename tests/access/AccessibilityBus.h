#pragma once
// Test support: the desktop's accessibility bus as a screen reader finds it
// (a private session bus, the accessibility bus launcher in a runtime folder of
// its own, the registry started by the bus when first asked), and a screen
// reader's side (libatspi) on a thread of its own, so that the window keeps
// running on the test's thread while the reader waits for answers.
#include <atspi/atspi.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/desktop/PrivateBus.h"

class AccessibilityBus {
  public:
    // `enabled`: whether the desktop says assistive technology is wanted (IsEnabled).
    explicit AccessibilityBus(bool enabled = true);
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    bool IsRunning() const { return !m_address.empty(); }
    const std::string& SessionAddress() const { return m_session.Address(); }
    // The accessibility bus (org.a11y.Bus GetAddress).
    const std::string& Address() const { return m_address; }
    // What a screen reader says when it starts or ends (ScreenReaderEnabled).
    void SetScreenReaderEnabled(bool enabled);

  private:
    PrivateBus m_session;
    std::string m_runtime;
    pid_t m_launcher = -1;
    std::string m_address;
};

// A screen reader on a thread of its own.
class Reader {
  public:
    explicit Reader(const std::string& busAddress);
    ~Reader();
    // libatspi starts once in a process and cannot start again on another bus:
    // false once a reader has run here (ctest runs each test in a process of its own).
    static bool Available();

    // Runs `task` on the reader's thread and returns its answer; meanwhile the
    // calling thread runs `pump` (the window's messages). Fails the test after 20 s.
    template <class T>
    T Ask(const std::function<T()>& task, const std::function<void()>& pump) {
        auto result = std::make_shared<T>();
        auto done = std::make_shared<bool>(false);
        Post([task, result, done, this] {
            *result = task();
            std::lock_guard<std::mutex> lock(m_mutex);
            *done = true;
        });
        WaitFor(
            [done, this] {
                std::lock_guard<std::mutex> lock(m_mutex);
                return *done;
            },
            pump);
        return *result;
    }
    // The events heard so far, as "<kind> <role>: <name>" ("focused push button: Reset DPI").
    std::vector<std::string> Heard();

  private:
    void Post(std::function<void()> task);
    void WaitFor(const std::function<bool()>& ready, const std::function<void()>& pump);
    void Run(std::string address);
    static void OnEvent(AtspiEvent* event, void* self);

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;  // guarded
    std::vector<std::string> m_heard;           // guarded
    bool m_stop = false;                        // guarded
    std::thread m_thread;
};

// ---- what a reader asks (on the reader's thread) ----

// The application with that name on the desktop, or null (a reference of its own).
AtspiAccessible* FindApplication(const std::string& name);
// The first object below `root` (depth first, `root` included) that `match` takes, or null.
AtspiAccessible* FindBelow(AtspiAccessible* root, const std::function<bool(AtspiAccessible*)>& match,
                           int depth = 12);
std::string NameOf(AtspiAccessible* object);
AtspiRole RoleOf(AtspiAccessible* object);
bool HasState(AtspiAccessible* object, AtspiStateType state);
std::vector<AtspiAccessible*> ChildrenOf(AtspiAccessible* object);  // references of their own
void Release(std::vector<AtspiAccessible*>& objects);
