#pragma once
// Test support: one run of the built program with its output in files, the
// size of a PNG it wrote, and the command-line tools the tests drive it with.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace program_run {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Generous: sanitizer builds start slowly on a busy machine.
constexpr auto kPatience = std::chrono::seconds(60);

// One running copy of the program; its output goes to files.
class ProgramRun {
  public:
    ProgramRun(const fs::path& folder, std::vector<std::string> arguments,
               const fs::path& binary = VANTOREL_BINARY_DIR "/VantorelMouse")
        : m_out(folder / "stdout.txt"), m_err(folder / "stderr.txt") {
        const std::string program = binary.string();
        arguments.insert(arguments.begin(), program);
        std::vector<char*> argv;
        for (auto& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ProgramRun() {
        if (m_pid > 0 && m_exitCode == kRunning) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The exit code once the program has ended within `limit`; kRunning while it
    // still runs, -1 when it could not start or was ended by a signal.
    int Wait(std::chrono::milliseconds limit) {
        const auto until = Clock::now() + limit;
        while (m_pid > 0 && m_exitCode == kRunning) {
            int status = 0;
            pid_t done = waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid) {
                m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            if (done < 0 || Clock::now() >= until) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return m_pid > 0 ? m_exitCode : -1;
    }
    int Finish() { return Wait(std::chrono::duration_cast<std::chrono::milliseconds>(kPatience)); }

    std::string Out() const { return ReadFile(m_out); }
    std::string Err() const { return ReadFile(m_err); }

    static constexpr int kRunning = -2;

  private:
    static std::string ReadFile(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_out, m_err;
    pid_t m_pid = -1;
    int m_exitCode = kRunning;
};

// Width and height from a PNG's header; (0, 0) when the file is no PNG.
inline std::pair<uint32_t, uint32_t> PngSize(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[1] != 'P' || header[2] != 'N' ||
        header[3] != 'G')
        return {0, 0};
    auto big = [&](int at) {
        return uint32_t(header[at]) << 24 | uint32_t(header[at + 1]) << 16 | uint32_t(header[at + 2]) << 8 |
               uint32_t(header[at + 3]);
    };
    return {big(16), big(20)};
}

// Output of a shell-free command line run to its end.
inline std::string Capture(std::vector<std::string> args) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    pid_t pid = -1;
    const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string out;
    char buffer[4096];
    ssize_t n;
    while (started && (n = read(pipeFds[0], buffer, sizeof buffer)) > 0) out.append(buffer, size_t(n));
    close(pipeFds[0]);
    if (started) waitpid(pid, nullptr, 0);
    return out;
}

// Waits until `probe` returns a non-empty text.
inline std::string WaitFor(const std::function<std::string()>& probe, std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    std::string result;
    while ((result = probe()).empty() && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return result;
}

}  // namespace program_run

using program_run::Capture;
using program_run::Clock;
using program_run::kPatience;
using program_run::PngSize;
using program_run::ProgramRun;
using program_run::WaitFor;
