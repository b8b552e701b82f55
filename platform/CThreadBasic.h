#pragma once
// A thread that calls its cycle function once, or repeatedly with a pause between
// cycles, until it is stopped. The pause (and any Pause a cycle takes) ends early
// when Stop is called, so stopping never waits out a long task's sleeps. A derived
// class may replace the pause between cycles by a wait for its own descriptors
// (WaitBetweenCycles), so that an idle thread sleeps until there is work.
#include <condition_variable>
#include <mutex>
#include <thread>

class CThreadBasic {
  public:
    CThreadBasic();
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
    // Between two cycles of a repeating thread; by default the period's Pause.
    virtual void WaitBetweenCycles(int periodMs) { Pause(periodMs); }
    // Readable from Stop until the next Start: add it to any poll of your own.
    int GetStopHandle() const { return m_stopSignal; }

  private:
    void Run();

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_running = false;
    bool m_loop = true;
    int m_periodMs = 0;
    int m_stopSignal = -1;  // eventfd
};
