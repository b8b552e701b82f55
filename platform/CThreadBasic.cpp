#include "platform/CThreadBasic.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>

CThreadBasic::CThreadBasic() : m_stopSignal(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CThreadBasic::~CThreadBasic() {
    Stop();
    if (m_thread.joinable()) {
        // Destroyed from its own cycle: nobody is left to wait for the thread,
        // which may still poll the stop descriptor, so that stays open.
        m_thread.detach();
        return;
    }
    if (m_stopSignal >= 0) ::close(m_stopSignal);
}

bool CThreadBasic::Start(int periodMs, bool loop) {
    std::unique_lock<std::mutex> lock(m_lock);
    if (m_running) return false;
    if (m_thread.joinable()) {  // a finished run that nobody stopped
        if (m_thread.get_id() == std::this_thread::get_id()) return false;  // cannot wait for itself
        lock.unlock();
        m_thread.join();
        lock.lock();
    }
    m_periodMs = periodMs;
    m_loop = loop;
    m_running = true;
    eventfd_t ignored = 0;
    if (m_stopSignal >= 0) eventfd_read(m_stopSignal, &ignored);
    m_thread = std::thread(&CThreadBasic::Run, this);
    return true;
}

bool CThreadBasic::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_thread.joinable()) return false;
        m_running = false;
        if (m_stopSignal >= 0) eventfd_write(m_stopSignal, 1);
    }
    m_wake.notify_all();
    // Stopped from its own cycle: it ends when the cycle returns. The thread stays
    // joinable, so that the destructor (or the next Start) still waits for it.
    if (m_thread.get_id() == std::this_thread::get_id()) return true;
    m_thread.join();
    return true;
}

bool CThreadBasic::IsRunning() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_running;
}

bool CThreadBasic::Pause(int ms) {
    std::unique_lock<std::mutex> lock(m_lock);
    m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !m_running; });
    return m_running;
}

void CThreadBasic::Run() {
    if (!m_loop) {
        ThreadCycle();
    } else {
        while (IsRunning()) {
            ThreadCycle();
            if (IsRunning()) WaitBetweenCycles(m_periodMs);
        }
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_running = false;
}
