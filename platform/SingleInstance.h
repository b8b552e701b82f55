#pragma once
// One running copy per user. The first copy holds an flock on
// "<runtime folder>/Vantorel Mouse.lock" for its whole life and listens on the
// Unix socket "Vantorel Mouse.sock" beside it; a later copy finds the lock
// taken, sends "show yourself" over the socket and ends (exit code 0). The
// request reaches the first copy through a callback on the listener thread:
// the callback must hand it to the UI thread (post a message), not touch windows.
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

    // True when this is the first copy: it now holds the lock and listens.
    // False when another copy runs: that copy has been asked to show itself
    // (when it could be reached) and the caller should end with exit code 0.
    bool Acquire();

    // The action for a "show yourself" request; may be set or replaced at any
    // time (requests arriving while none is set are dropped).
    void SetShowCallback(std::function<void()> callback);

  private:
    bool Listen();
    bool RequestShow() const;
    void ListenLoop();
    void Serve(int client);

    std::wstring m_folder;
    std::string m_lockPath;
    std::string m_socketPath;
    int m_lockFd = -1;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    std::thread m_listener;
    std::mutex m_callbackLock;
    std::function<void()> m_showCallback;
};
