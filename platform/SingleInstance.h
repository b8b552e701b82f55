#pragma once
// One running copy per user. The first copy holds an flock on
// "<runtime folder>/Vantorel Mouse.lock" for its whole life and listens on the
// Unix socket "Vantorel Mouse.sock" beside it; a later copy finds the lock
// taken, sends "show yourself" over the socket, waits (a few seconds at most)
// for the answer and ends (exit code 0). A first copy that does not answer
// (stopped, hung) lets the later one start normally, with a message. A folder
// or other non-file at the lock or socket path is an error, never a reason to
// run a second copy. The listener serves many connections at once, so silent
// clients cannot hold a request up. The request reaches the first copy through
// a callback on the listener thread: the callback must hand it to the UI thread
// (post a message), not touch windows.
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class SingleInstance {
  public:
    // The lock and the socket live in folder (GetRuntimeFolder() when empty).
    explicit SingleInstance(std::wstring folder = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when the program should run: this is the first copy (it now holds
    // the lock and listens), or the running copy did not answer (GetMessage()
    // says so). False when it should end: with exit code 0 when the running
    // copy was asked to show itself (GetMessage() empty), with exit code 1 and
    // GetMessage() as the error otherwise.
    bool Acquire();
    // What to tell the user about the last Acquire; empty when all went well.
    const std::string& GetMessage() const { return m_message; }

    // The action for a "show yourself" request; may be set or replaced at any
    // time (requests arriving while none is set are dropped).
    void SetShowCallback(std::function<void()> callback);

  private:
    enum class Reply { Shown, NoAnswer, NotASocket };
    bool Listen();
    Reply RequestShow() const;
    void ListenLoop();
    void ShowRequested();

    std::wstring m_folder;
    std::string m_lockPath;
    std::string m_socketPath;
    int m_lockFd = -1;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    std::thread m_listener;
    std::mutex m_callbackLock;
    std::function<void()> m_showCallback;
    std::string m_message;
};
