// Start-up and idle figures of the whole program, measured from outside as a user
// sees them: the program is started with the simulated mouse under the X display
// of the environment (run under `xvfb-run -a`), and
//   - start to mapped window: from fork to the X server mapping its main window,
//     at display scale 1 and 2 (the argument; --scale, so any screen will do);
//   - resident memory once the window is up (VmRSS, after a short settle);
//   - idle CPU and wake-ups: CPU time and context switches of every thread over
//     VANTOREL_BENCH_IDLE_SECONDS (30 by default) with nothing happening.
// VANTOREL_BENCH_PROGRAM names another program to measure (an older build, for a
// before/after comparison); by default the VantorelMouse beside this benchmark.
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ProgramPath() {
    if (const char* p = std::getenv("VANTOREL_BENCH_PROGRAM")) return p;
    return (fs::read_symlink("/proc/self/exe").parent_path() / "VantorelMouse").string();
}

// A fresh home for each run: no settings, no database, no running instance.
class ScratchHome {
  public:
    ScratchHome() {
        static int serial = 0;
        m_root = fs::temp_directory_path() /
                 ("vantorel-startup-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        fs::remove_all(m_root);
        for (const char* sub : {"config", "data", "runtime"}) fs::create_directories(m_root / sub);
        fs::permissions(m_root / "runtime", fs::perms::owner_all);
    }
    ~ScratchHome() { fs::remove_all(m_root); }
    std::string Sub(const char* name) const { return (m_root / name).string(); }
    std::string Root() const { return m_root.string(); }

  private:
    fs::path m_root;
};

// The program running with the simulated mouse, killed at the end.
class Program {
  public:
    explicit Program(const ScratchHome& home, int scale = 1) {
        const std::string program = ProgramPath();
        const std::string factor = std::to_string(scale);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::setenv("HOME", home.Root().c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", home.Sub("config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", home.Sub("data").c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", home.Sub("runtime").c_str(), 1);
            if (scale == 1)
                ::execl(program.c_str(), program.c_str(), "--simulate", static_cast<char*>(nullptr));
            else
                ::execl(program.c_str(), program.c_str(), "--simulate", "--scale", factor.c_str(),
                        static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Program() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    pid_t Pid() const { return m_pid; }
    bool Alive() const { return m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) == 0; }

  private:
    pid_t m_pid = -1;
};

// Waits for the first top-level window mapped after `since`; seconds, or < 0.
class MapWatcher {
  public:
    MapWatcher() {
        m_display = XOpenDisplay(nullptr);
        if (m_display) XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
        if (m_display) XSync(m_display, True);
    }
    ~MapWatcher() {
        if (m_display) XCloseDisplay(m_display);
    }
    bool Ok() const { return m_display != nullptr; }
    double WaitForMap(Clock::time_point since, const Program& program, double limitSeconds) {
        const int fd = ConnectionNumber(m_display);
        while (std::chrono::duration<double>(Clock::now() - since).count() < limitSeconds) {
            while (XPending(m_display)) {
                XEvent e;
                XNextEvent(m_display, &e);
                if (e.type == MapNotify) return std::chrono::duration<double>(Clock::now() - since).count();
            }
            if (!program.Alive()) return -1;
            fd_set set;
            FD_ZERO(&set);
            FD_SET(fd, &set);
            timeval tv{0, 20000};
            ::select(fd + 1, &set, nullptr, nullptr, &tv);
        }
        return -1;
    }

  private:
    Display* m_display = nullptr;
};

long StatusValue(const std::string& path, const std::string& key) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + ":", 0) == 0) return std::atol(line.c_str() + key.size() + 1);
    return -1;
}

// CPU time of every live thread, in nanoseconds (the scheduler's own count,
// finer than the clock ticks of /proc/<pid>/stat).
double CpuNanoseconds(pid_t pid) {
    double total = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream in(entry.path() / "schedstat");
        double ns = 0;
        if (in >> ns) total += ns;
    }
    return total;
}

// Context switches (voluntary + involuntary) per thread, keyed "tid name".
std::map<std::string, long> Switches(pid_t pid) {
    std::map<std::string, long> result;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(tasks, ec)) {
        const std::string status = entry.path().string() + "/status";
        std::ifstream in(status);
        std::string line, name;
        std::getline(in, line);
        if (line.rfind("Name:", 0) == 0) name = line.substr(6);
        const long v = StatusValue(status, "voluntary_ctxt_switches");
        const long n = StatusValue(status, "nonvoluntary_ctxt_switches");
        result[entry.path().filename().string() + " " + name] = v + n;
    }
    return result;
}

bool NeedsDisplay(benchmark::State& state) {
    if (std::getenv("DISPLAY")) return false;
    state.SkipWithError("needs an X display: run under xvfb-run -a");
    return true;
}

// One warm-up start first, so that the files are in the page cache.
void BM_StartToMappedWindow(benchmark::State& state) {
    if (NeedsDisplay(state)) return;
    static bool warmed = false;
    for (auto _ : state) {
        if (!warmed) {
            ScratchHome home;
            MapWatcher watcher;
            Program warm(home);
            if (!watcher.Ok() || watcher.WaitForMap(Clock::now(), warm, 10) < 0) {
                state.SkipWithError("the program mapped no window");
                return;
            }
            warmed = true;
        }
        ScratchHome home;
        MapWatcher watcher;
        const auto start = Clock::now();
        Program program(home, int(state.range(0)));
        const double seconds = watcher.WaitForMap(start, program, 10);
        if (seconds < 0) {
            state.SkipWithError("the program mapped no window");
            return;
        }
        state.SetIterationTime(seconds);
        // Resident memory once the first frames are drawn.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        state.counters["rss_MiB"] =
            StatusValue("/proc/" + std::to_string(program.Pid()) + "/status", "VmRSS") / 1024.0;
    }
}
BENCHMARK(BM_StartToMappedWindow)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

void BM_IdleWithMouseAttached(benchmark::State& state) {
    if (NeedsDisplay(state)) return;
    const char* env = std::getenv("VANTOREL_BENCH_IDLE_SECONDS");
    const double seconds = env ? std::atof(env) : 30.0;
    // VANTOREL_BENCH_AUTO_PROFILE=1: with profiles that follow the application in front turned on.
    const bool autoProfile = std::getenv("VANTOREL_BENCH_AUTO_PROFILE") != nullptr;
    for (auto _ : state) {
        ScratchHome home;
        if (autoProfile) {
            fs::create_directories(fs::path(home.Sub("config")) / "Vantorel Mouse");
            std::ofstream(fs::path(home.Sub("config")) / "Vantorel Mouse" / "registry.ini")
                << "[Vantorel Mouse]\nauto_profile=1\n";
        }
        MapWatcher watcher;
        Program program(home);
        if (!watcher.Ok() || watcher.WaitForMap(Clock::now(), program, 10) < 0) {
            state.SkipWithError("the program mapped no window");
            return;
        }
        // Start-up work (initial read, first paints) settles first.
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double cpu0 = CpuNanoseconds(program.Pid());
        const auto switches0 = Switches(program.Pid());
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const double cpu1 = CpuNanoseconds(program.Pid());
        const auto switches1 = Switches(program.Pid());
        const double elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(elapsed);
        long total = 0;
        for (const auto& [thread, count] : switches1) {
            auto before = switches0.find(thread);
            const long woke = count - (before == switches0.end() ? 0 : before->second);
            total += woke;
            if (woke > 0)
                std::fprintf(stderr, "  thread %-28s %8.1f wake-ups/s\n", thread.c_str(), woke / elapsed);
        }
        state.counters["cpu_percent"] = 100.0 * (cpu1 - cpu0) / 1e9 / elapsed;
        state.counters["wakeups_per_s"] = total / elapsed;
    }
}
BENCHMARK(BM_IdleWithMouseAttached)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
