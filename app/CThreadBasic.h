#pragma once
// A thread that calls its cycle function once, or repeatedly with a pause between
// cycles, until it is stopped. The pause (and any Pause a cycle takes) ends early
// when Stop is called, so stopping never waits out a long task's sleeps.
#include <condition_variable>
#include <mutex>
#include <thread>

class CThreadBasic {
  public:
    CThreadBasic() = default;
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // The cycle function, run on the thread.
    virtual void ThreadCycle() = 0;

    // False when already running; otherwise starts the thread.
    bool Start(int periodMs, bool loop);
    // False when not running; otherwise ends the loop and waits for the thread.
    // Called from the thread's own cycle it cannot wait: the thread is then
    // waited for by the destructor or the next Start. A derived class must Stop
    // in its own destructor, before its members go.
    bool Stop();
    // True while the thread is asked to run.
    bool IsRunning() const;

  protected:
    // Sleeps for `ms`, or less when the thread is being stopped. False then.
    bool Pause(int ms);

  private:
    void Run();

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_running = false;
    bool m_loop = true;
    int m_periodMs = 0;
};
