#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/TextConv.h"
#include "base/Folders.h"
#include "base/Trace.h"

namespace {

constexpr char kShowRequest[] = "show\n";
constexpr char kShownReply[] = "ok\n";
// A first copy that has just taken the lock needs a moment to listen; one that
// does not answer within this time is taken as hung.
constexpr auto kRequestWait = std::chrono::milliseconds(2500);
constexpr auto kConnectPause = std::chrono::milliseconds(25);
// A client that connects and then says nothing is dropped after this.
constexpr auto kClientTimeout = std::chrono::seconds(1);
// Connections served at once; beyond that the oldest is dropped.
constexpr size_t kMaxClients = 64;

using Clock = std::chrono::steady_clock;

bool MakeAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Something other than what belongs at the path: a folder, FIFO or device
// where the lock file (regular) or the socket should be.
bool IsForeignAt(const std::string& path, mode_t expected) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) != expected;
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
    m_message.clear();
    if (m_lockFd >= 0) return true;
    EnsureFolderTree(m_folder);
    if (IsForeignAt(m_lockPath, S_IFREG)) {
        m_message = "cannot tell whether another copy runs: " + m_lockPath + " is not a file; remove it";
        return false;
    }
    m_lockFd = open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
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
        switch (RequestShow()) {
            case Reply::Shown:
                return false;
            case Reply::NotASocket:
                m_message = "another copy runs but cannot be reached: " + m_socketPath + " is not a socket";
                return false;
            case Reply::NoAnswer:
                m_message = "another copy holds the lock but does not answer; starting anyway";
                return true;
        }
    }
    if (IsForeignAt(m_socketPath, S_IFSOCK) && IsForeignAt(m_socketPath, S_IFREG)) {
        // A later start could never reach this copy and would start a second one.
        m_message = "cannot listen for later starts: " + m_socketPath + " is not a socket; remove it";
        close(m_lockFd);
        m_lockFd = -1;
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
    m_listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0) return false;
    if (bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        chmod(m_socketPath.c_str(), 0600) != 0 || listen(m_listenFd, 16) != 0 ||
        (m_wakeFd = eventfd(0, EFD_CLOEXEC)) < 0) {
        close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    m_listener = std::thread(&SingleInstance::ListenLoop, this);
    return true;
}

SingleInstance::Reply SingleInstance::RequestShow() const {
    if (IsForeignAt(m_socketPath, S_IFSOCK)) return Reply::NotASocket;
    sockaddr_un address;
    if (!MakeAddress(m_socketPath, address)) return Reply::NotASocket;
    const Clock::time_point deadline = Clock::now() + kRequestWait;
    while (Clock::now() < deadline) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return Reply::NoAnswer;
        // Non-blocking throughout: a stopped first copy with a full backlog must
        // not hold this start up.
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            std::this_thread::sleep_for(kConnectPause);  // not listening yet, or its backlog is full
            continue;
        }
        bool shown = false;
        if (send(fd, kShowRequest, sizeof kShowRequest - 1, MSG_NOSIGNAL) ==
            static_cast<ssize_t>(sizeof kShowRequest - 1)) {
            pollfd pfd{fd, POLLIN, 0};
            char reply[sizeof kShownReply] = {};
            shown = poll(&pfd, 1, RemainingMs(deadline)) > 0 &&
                    recv(fd, reply, sizeof reply - 1, 0) == static_cast<ssize_t>(sizeof kShownReply - 1) &&
                    std::strcmp(reply, kShownReply) == 0;
        }
        close(fd);
        return shown ? Reply::Shown : Reply::NoAnswer;
    }
    return Reply::NoAnswer;
}

void SingleInstance::ListenLoop() {
    struct Client {
        int fd;
        Clock::time_point deadline;
        std::string received;
    };
    std::vector<Client> clients;
    auto drop = [&](size_t index) {
        close(clients[index].fd);
        clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(index));
    };
    for (;;) {
        std::vector<pollfd> fds = {{m_listenFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        Clock::time_point next = Clock::time_point::max();
        for (const Client& client : clients) {
            fds.push_back({client.fd, POLLIN, 0});
            next = std::min(next, client.deadline);
        }
        const int timeout = clients.empty() ? -1 : std::max(RemainingMs(next), 1);
        if (poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents) break;
        // Requests first, then new connections, then those that said nothing in time.
        for (size_t i = clients.size(); i-- > 0;) {
            if (!fds[i + 2].revents) continue;
            char buffer[16];
            const ssize_t n = recv(clients[i].fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) clients[i].received.append(buffer, static_cast<size_t>(n));
            const std::string& text = clients[i].received;
            if (text == kShowRequest) {
                send(clients[i].fd, kShownReply, sizeof kShownReply - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
                ShowRequested();
                drop(i);
            } else if (n <= 0 || text.size() >= sizeof kShowRequest ||
                       std::string_view(kShowRequest).substr(0, text.size()) != text) {
                drop(i);
            }
        }
        if (fds[0].revents & POLLIN) {
            for (;;) {
                const int client = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (client < 0) break;
                // Only the same user may bring the window forward.
                ucred peer{};
                socklen_t length = sizeof peer;
                if (getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 ||
                    peer.uid != geteuid()) {
                    close(client);
                    continue;
                }
                if (clients.size() >= kMaxClients) drop(0);
                clients.push_back({client, Clock::now() + kClientTimeout, {}});
            }
        }
        const Clock::time_point now = Clock::now();
        for (size_t i = clients.size(); i-- > 0;)
            if (clients[i].deadline <= now) drop(i);
    }
    for (const Client& client : clients) close(client.fd);
}

void SingleInstance::ShowRequested() {
    std::function<void()> callback;
    {
        std::lock_guard<std::mutex> lock(m_callbackLock);
        callback = m_showCallback;
    }
    if (callback) callback();
}
