#include "platform/WaylandClipboard.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "base/Trace.h"

extern char** environ;

namespace {

constexpr auto kTimeLimit = std::chrono::seconds(3);
constexpr size_t kMaxText = 1 << 20;
constexpr const char* kTextType = "text/plain;charset=utf-8";

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Waits for `pid` until the deadline; kills it when it is not done by then.
// Its exit status, or -1.
int WaitUntil(pid_t pid, std::chrono::steady_clock::time_point deadline) {
    int status = 0;
    while (true) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Starts `argv` with its standard input from `input` (when given) and its standard
// output into `output` (when given); the rest goes to /dev/null. Its exit status,
// or -1 when it could not be started or did not finish in time.
int Run(const std::vector<std::string>& argv, const std::string* input, std::string* output) {
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if (input && pipe2(in, O_CLOEXEC) != 0) return -1;
    if (output && pipe2(out, O_CLOEXEC) != 0) {
        if (input) close(in[0]), close(in[1]);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input)
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output)
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (input) close(in[0]);
    if (output) close(out[1]);
    if (rc != 0) {
        if (input) close(in[1]);
        if (output) close(out[0]);
        Vantorel::Trace("clipboard: cannot start %s (error %d)", args[0], rc);
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    if (input) {
        // A reader that stops reading must not hold the writer for ever.
        signal(SIGPIPE, SIG_IGN);
        size_t written = 0;
        while (written < input->size()) {
            const ssize_t n = write(in[1], input->data() + written, input->size() - written);
            if (n <= 0 && errno != EINTR) break;
            if (n > 0) written += static_cast<size_t>(n);
        }
        close(in[1]);
    }
    if (output) {
        // wl-paste's data comes before it exits; read until it closes its end.
        char buffer[4096];
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd fd{out[0], POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            if (output->size() < kMaxText) output->append(buffer, static_cast<size_t>(n));
        }
        close(out[0]);
    }
    return WaitUntil(pid, deadline);
}

}  // namespace

bool WaylandClipboard::IsAvailable() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return display && *display && OnPath("wl-copy") && OnPath("wl-paste");
}

bool WaylandClipboard::Read(std::string& text) {
    text.clear();
    const int status = Run({"wl-paste", "--no-newline", "--type", kTextType}, nullptr, &text);
    // 1: nothing (or nothing textual) is copied.
    if (status == 1) text.clear();
    return status == 0 || status == 1;
}

bool WaylandClipboard::Write(const std::string& text) {
    // wl-copy takes what it reads, then leaves a copy of itself serving it and exits.
    if (text.empty()) return Run({"wl-copy", "--clear"}, nullptr, nullptr) == 0;
    return Run({"wl-copy", "--type", kTextType}, &text, nullptr) == 0;
}
