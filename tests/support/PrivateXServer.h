#pragma once
// A private Xvfb for one test. Xvfb picks a free display number itself (-displayfd), so tests
// running side by side never share, or kill, each other's server.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

class PrivateXServer {
  public:
    explicit PrivateXServer(const std::string& screen = "1280x1024x24") {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        // The write end must survive exec; dup2 onto another number clears the close-on-exec flag.
        const int childFd = 9;
        const std::string fdText = std::to_string(childFd);
        std::vector<std::string> args = {"Xvfb", "-displayfd", fdText, "-screen", "0", screen, "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], childFd);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        // Xvfb writes the number once it accepts connections.
        std::string number;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (m_pid > 0 && std::chrono::steady_clock::now() < until) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char c;
            const ssize_t n = read(fds[0], &c, 1);
            if (n <= 0 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) m_name = ":" + number;
    }
    ~PrivateXServer() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool Ready() const { return !m_name.empty(); }
    // The display name, ":N".
    const std::string& Name() const { return m_name; }

  private:
    pid_t m_pid = -1;
    std::string m_name;
};
