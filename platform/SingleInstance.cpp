#include "platform/SingleInstance.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

#include "orvix/core/TextConv.h"
#include "platform/Folders.h"
#include "platform/Trace.h"

namespace {

constexpr char kShowRequest[] = "show\n";
// A first copy that has just taken the lock needs a moment to listen.
constexpr int kConnectAttempts = 20;
constexpr auto kConnectPause = std::chrono::milliseconds(25);
// A client that connects and then says nothing is not waited for longer.
constexpr int kRequestTimeoutMs = 1000;

bool MakeAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

SingleInstance::SingleInstance(std::wstring folder) : m_folder(folder.empty() ? GetRuntimeFolder() : folder) {
    m_lockPath = Orvix::WideToUtf8(JoinPath(m_folder, std::wstring(kAppName) + L".lock"));
    m_socketPath = Orvix::WideToUtf8(JoinPath(m_folder, std::wstring(kAppName) + L".sock"));
}

SingleInstance::~SingleInstance() {
    if (m_listener.joinable()) {
        const uint64_t one = 1;
        if (write(m_wakeFd, &one, sizeof one) != sizeof one) Vantorel::Trace("single instance: wake failed");
        m_listener.join();
    }
    if (m_wakeFd >= 0) close(m_wakeFd);
    if (m_listenFd >= 0) {
        close(m_listenFd);
        unlink(m_socketPath.c_str());  // still ours: the lock is released only below
    }
    if (m_lockFd >= 0) close(m_lockFd);
}

bool SingleInstance::Acquire() {
    if (m_lockFd >= 0) return true;
    EnsureFolderTree(m_folder);
    m_lockFd = open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0) {
        // Without a lock there is no way to tell: run rather than refuse to start.
        Vantorel::Trace("single instance: cannot open %s: %s", m_lockPath.c_str(), std::strerror(errno));
        return true;
    }
    if (flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(m_lockFd);
        m_lockFd = -1;
        if (error != EWOULDBLOCK) return true;
        Vantorel::Trace("single instance: another copy runs; asking it to show itself");
        if (!RequestShow()) Vantorel::Trace("single instance: the running copy could not be reached");
        return false;
    }
    if (!Listen()) Vantorel::Trace("single instance: not listening on %s", m_socketPath.c_str());
    return true;
}

void SingleInstance::SetShowCallback(std::function<void()> callback) {
    std::lock_guard<std::mutex> lock(m_callbackLock);
    m_showCallback = std::move(callback);
}

bool SingleInstance::Listen() {
    sockaddr_un address;
    if (!MakeAddress(m_socketPath, address)) return false;
    // A socket file left by a copy that ended is stale: the lock says no copy runs.
    unlink(m_socketPath.c_str());
    m_listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0) return false;
    if (bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        chmod(m_socketPath.c_str(), 0600) != 0 || listen(m_listenFd, 4) != 0 ||
        (m_wakeFd = eventfd(0, EFD_CLOEXEC)) < 0) {
        close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    m_listener = std::thread(&SingleInstance::ListenLoop, this);
    return true;
}

bool SingleInstance::RequestShow() const {
    sockaddr_un address;
    if (!MakeAddress(m_socketPath, address)) return false;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const bool sent = send(fd, kShowRequest, sizeof kShowRequest - 1, MSG_NOSIGNAL) ==
                              static_cast<ssize_t>(sizeof kShowRequest - 1);
            close(fd);
            return sent;
        }
        close(fd);
        std::this_thread::sleep_for(kConnectPause);
    }
    return false;
}

void SingleInstance::ListenLoop() {
    for (;;) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int client = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        Serve(client);
        close(client);
    }
}

void SingleInstance::Serve(int client) {
    // Only the same user may bring the window forward.
    ucred peer{};
    socklen_t length = sizeof peer;
    if (getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != geteuid()) return;
    pollfd pfd{client, POLLIN, 0};
    char request[sizeof kShowRequest] = {};
    if (poll(&pfd, 1, kRequestTimeoutMs) <= 0) return;
    const ssize_t n = recv(client, request, sizeof request - 1, 0);
    if (n != static_cast<ssize_t>(sizeof kShowRequest - 1) || std::strcmp(request, kShowRequest) != 0) return;
    std::function<void()> callback;
    {
        std::lock_guard<std::mutex> lock(m_callbackLock);
        callback = m_showCallback;
    }
    if (callback) callback();
}
