// The program in a Wayland session: a headless Weston with XWayland, as most
// desktops now start. The program comes up through XWayland, draws its window,
// and the compositor's own screenshot shows it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <set>

#include "ProgramRun.h"
#include "base/TextConv.h"
#include "orvix/platform/Image.h"
#include "tests/platform/ScratchHome.h"

// After the other headers: X11 defines macros (None, Bool) that clash with names there.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

namespace fs = std::filesystem;

// A headless Weston that starts XWayland for X clients, in a runtime folder of its own.
class WestonSession {
  public:
    explicit WestonSession(const fs::path& runtime) : m_runtime(runtime), m_log(runtime / "weston.log") {
        // XWayland binds its socket there; as root the folder may be made.
        mkdir("/tmp/.X11-unix", 01777);
        m_socket = "vantorel-weston-" + std::to_string(getpid());
        std::vector<std::string> args = {"weston",
                                         "--backend=headless-backend.so",
                                         "--xwayland",
                                         "--use-pixman",
                                         "--debug",  // the screenshooter's protocol
                                         "--width=1400",
                                         "--height=900",
                                         "--idle-time=0",
                                         "--socket=" + m_socket,
                                         "--log=" + m_log.string()};
        std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + runtime.string(), "PATH=/usr/bin:/bin"};
        m_pid = Spawn(args, env);
        // Weston names the X display once it listens for X clients.
        const auto until = Clock::now() + std::chrono::seconds(20);
        while (m_pid > 0 && m_display.empty() && Clock::now() < until) {
            std::ifstream in(m_log);
            for (std::string line; std::getline(in, line);) {
                const size_t at = line.find("xserver listening on display ");
                if (at != std::string::npos) m_display = line.substr(at + 29);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~WestonSession() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

    bool Ready() const { return !m_display.empty(); }
    const std::string& Socket() const { return m_socket; }
    const std::string& Display() const { return m_display; }
    std::string Log() const {
        std::ifstream in(m_log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The compositor's picture of its output, as weston-screenshooter saves it; empty on failure.
    fs::path Screenshot(const fs::path& folder) {
        fs::create_directories(folder);
        const std::string command = "cd '" + folder.string() + "' && XDG_RUNTIME_DIR='" + m_runtime.string() +
                                    "' WAYLAND_DISPLAY='" + m_socket +
                                    "' weston-screenshooter >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return {};
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".png") return entry.path();
        return {};
    }

    static pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env) {
        std::vector<char*> argv, envp;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        if (posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

  private:
    fs::path m_runtime;
    fs::path m_log;
    std::string m_socket;
    std::string m_display;
    pid_t m_pid = -1;
};

// True when a viewable X window with that name is below `window` (the window
// manager puts each client window into a frame of its own).
bool FindShown(Display* x, Window window, const std::string& name, int depth) {
    char* title = nullptr;
    if (XFetchName(x, window, &title) && title) {
        const bool named = name == title;
        XFree(title);
        XWindowAttributes attributes;
        if (named && XGetWindowAttributes(x, window, &attributes) && attributes.map_state == IsViewable)
            return true;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    bool shown = false;
    if (depth > 0 && XQueryTree(x, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !shown; ++i) shown = FindShown(x, children[i], name, depth - 1);
        if (children) XFree(children);
    }
    return shown;
}

bool WindowShown(const std::string& display, const std::string& name) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return false;
    const bool shown = FindShown(x, DefaultRootWindow(x), name, 3);
    XCloseDisplay(x);
    return shown;
}

class WestonSessionTest : public ScratchHome {};

TEST_F(WestonSessionTest, TheProgramStartsThroughXWaylandAndTheCompositorShowsItsWindow) {
    const fs::path runtime = Root() / "runtime";
    chmod(runtime.c_str(), 0700);
    WestonSession weston(runtime);
    ASSERT_TRUE(weston.Ready()) << "weston did not start (scripts/setup.sh installs weston and xwayland):\n"
                                << weston.Log();
    const fs::path before = weston.Screenshot(Root() / "before");
    ASSERT_FALSE(before.empty()) << weston.Log();

    SetEnv("WAYLAND_DISPLAY", weston.Socket());
    SetEnv("DISPLAY", weston.Display());
    SetEnv("XDG_SESSION_TYPE", "wayland");
    SetEnv("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
    SetEnv("SDL_VIDEODRIVER", std::nullopt);
    SetEnv("ORVIX_BACKEND", std::nullopt);
    SetEnv("LANG", "C.UTF-8");
    SetEnv("LC_ALL", std::nullopt);
    ProgramRun run(Root(), {"--simulate"});
    const auto until = Clock::now() + kPatience;
    while (!WindowShown(weston.Display(), "Vantorel Mouse") && Clock::now() < until &&
           run.Wait(std::chrono::milliseconds(100)) == ProgramRun::kRunning) {
    }
    ASSERT_TRUE(WindowShown(weston.Display(), "Vantorel Mouse")) << run.Err() << weston.Log();
    // The window covers most of the output, and what it shows is a drawn window
    // (pictures and text), not a plain area. The first frames take a moment to
    // reach the compositor on a busy machine: pictures are taken until they show it.
    const auto empty = Orvix::Image::Load(Orvix::Utf8ToWide(before.string()));
    ASSERT_TRUE(empty);
    long changed = 0;
    std::set<uint32_t> colours;
    fs::path after;
    for (int attempt = 0; attempt < 20 && (changed * 4 <= 1280L * 800 * 9 / 10 || colours.size() <= 50);
         ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        after = weston.Screenshot(Root() / ("after" + std::to_string(attempt)));
        ASSERT_FALSE(after.empty()) << weston.Log();
        const auto shown = Orvix::Image::Load(Orvix::Utf8ToWide(after.string()));
        ASSERT_TRUE(shown);
        ASSERT_EQ(shown->GetWidth(), 1400);
        ASSERT_EQ(shown->GetHeight(), 900);
        changed = 0;
        colours.clear();
        for (int y = 0; y < 900; y += 2)
            for (int x = 0; x < 1400; x += 2) {
                const Orvix::Color c = shown->GetPixel(x, y);
                if (c.GetValue() == empty->GetPixel(x, y).GetValue()) continue;
                ++changed;
                colours.insert(c.GetValue());
            }
    }
    // Kept for a person to look at.
    std::error_code ignored;
    fs::copy_file(after, fs::path(VANTOREL_BINARY_DIR) / "weston-session.png",
                  fs::copy_options::overwrite_existing, ignored);
    EXPECT_EQ(run.Wait(std::chrono::milliseconds(0)), ProgramRun::kRunning) << run.Err();
    EXPECT_GT(changed * 4, 1280L * 800 * 9 / 10) << "the window is not on the compositor's output";
    EXPECT_GT(colours.size(), 50u) << "the window shows no drawing";
}

}  // namespace
