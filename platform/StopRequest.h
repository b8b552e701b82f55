#pragma once
// A request to end a long wait (a signal, a test), made from any thread. Whoever
// waits registers how to be woken, so the wait needs no polling.
#include <functional>
#include <mutex>

class StopRequest {
  public:
    void Request() {
        std::function<void()> wake;
        {
            std::lock_guard lock(m_mutex);
            m_requested = true;
            wake = m_wake;
        }
        if (wake) wake();
    }
    bool Requested() const {
        std::lock_guard lock(m_mutex);
        return m_requested;
    }
    // Called by Request, on its thread (also at once when it was made already).
    void SetWaker(std::function<void()> wake) {
        bool requested = false;
        {
            std::lock_guard lock(m_mutex);
            m_wake = wake;
            requested = m_requested;
        }
        if (requested && wake) wake();
    }

  private:
    mutable std::mutex m_mutex;
    bool m_requested = false;
    std::function<void()> m_wake;
};
