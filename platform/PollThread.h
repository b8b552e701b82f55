#pragma once
// A thread that waits on descriptors with poll() and ends when asked: Stop
// makes the descriptor the thread was given readable and waits for the thread.
// No wake-ups in between: the thread sleeps in poll until its own descriptors
// or the stop descriptor have something.
#include <functional>
#include <thread>

class PollThread {
  public:
    PollThread() = default;
    ~PollThread() { Stop(); }
    PollThread(const PollThread&) = delete;
    PollThread& operator=(const PollThread&) = delete;

    // Runs body(stopFd) on a new thread; the body polls stopFd beside its own
    // descriptors and returns once stopFd is readable. False when no pipe could
    // be made (nothing runs then) or a thread runs already.
    bool Start(std::function<void(int stopFd)> body);
    // Wakes the body and waits for it to return. Not from the thread itself.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

  private:
    int m_pipe[2] = {-1, -1};
    std::thread m_thread;
};
