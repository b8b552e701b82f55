// The window-watch service: which provider serves which session and what it
// falls back to, how reports are named; and the real providers against real
// display servers (a private Xvfb; a headless sway, run as an ordinary user
// since it refuses root).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "ScratchHome.h"
#include "platform/InstalledApps.h"
#include "platform/WindowWatch.h"
#include "tests/support/PrivateXServer.h"

extern char** environ;

namespace {

// Reports as they arrive on the provider's thread.
class Reports {
  public:
    WindowWatch::Callback Sink() {
        return [this](const FocusReport& report) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_reports.push_back(report);
            m_changed.notify_all();
        };
    }
    WindowWatchProvider::Sink RawSink() {
        return [this](const FocusedWindow& window) {
            FocusReport report;
            report.window = window;
            Sink()(report);
        };
    }
    // Waits for a report whose class, instance or app id is `name`.
    bool WaitFor(const std::wstring& name, int ms = 5000) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] {
            for (const FocusReport& r : m_reports)
                if (r.window.wmClass == name || r.window.wmInstance == name || r.window.appId == name) return true;
            return false;
        });
    }
    std::vector<FocusReport> All() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_reports.clear();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<FocusReport> m_reports;
};

// A provider that starts or not, as told, and records what it was made for.
struct ScriptedProvider : WindowWatchProvider {
    bool starts;
    WindowWatchProvider::Sink* out;
    ScriptedProvider(bool s, WindowWatchProvider::Sink* o) : starts(s), out(o) {}
    bool Start(Sink sink) override {
        if (starts && out) *out = sink;
        return starts;
    }
    void Stop() override {}
};

pid_t Spawn(std::vector<std::string> args, const std::vector<std::string>& env = {}, const char* log = "/dev/null") {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText = env;
    std::vector<char*> envp;
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log, O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, log, O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env.empty() ? environ : envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void End(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

bool Have(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null").c_str()) == 0;
}

}  // namespace

class WindowWatchTest : public ScratchHome {};

TEST_F(WindowWatchTest, EachSessionGetsItsProviderAndWaylandDesktopsFallBackToXWayland) {
    std::vector<WatchSession> made;
    bool kwinStarts = true;
    WindowWatchProvider::Sink running;
    WindowWatch watch;
    watch.SetInstalledApps({});
    watch.SetProviderFactory([&](WatchSession session) -> std::unique_ptr<WindowWatchProvider> {
        made.push_back(session);
        return std::make_unique<ScriptedProvider>(session != WatchSession::KWin || kwinStarts, &running);
    });
    Reports reports;
    EXPECT_TRUE(watch.Start(WatchSession::KWin, reports.Sink()));
    EXPECT_EQ(watch.GetCoverage(), WindowWatch::Coverage::AllWindows);
    // KWin not answering: X11 windows through XWayland, and the UI says so.
    kwinStarts = false;
    made.clear();
    EXPECT_TRUE(watch.Start(WatchSession::KWin, reports.Sink()));
    EXPECT_EQ(made, (std::vector<WatchSession>{WatchSession::KWin, WatchSession::X11}));
    EXPECT_EQ(watch.GetCoverage(), WindowWatch::Coverage::X11WindowsOnly);
    // GNOME tells nobody: X11 directly.
    made.clear();
    EXPECT_TRUE(watch.Start(WatchSession::Gnome, reports.Sink()));
    EXPECT_EQ(made, (std::vector<WatchSession>{WatchSession::X11}));
    EXPECT_EQ(watch.GetCoverage(), WindowWatch::Coverage::X11WindowsOnly);
    made.clear();
    EXPECT_FALSE(watch.Start(WatchSession::None, reports.Sink()));
    EXPECT_TRUE(made.empty());
    EXPECT_FALSE(watch.IsRunning());
}

TEST_F(WindowWatchTest, ReportsNameTheApplicationAndMarkTheProgramsOwnWindows) {
    AppEntry game;
    game.id = L"zz-game.desktop";
    game.name = L"Zz Game";
    game.startupWmClass = L"zzgame";
    WindowWatchProvider::Sink provider;
    WindowWatch watch;
    watch.SetInstalledApps({game});
    watch.SetProviderFactory([&](WatchSession) { return std::make_unique<ScriptedProvider>(true, &provider); });
    Reports reports;
    ASSERT_TRUE(watch.Start(WatchSession::X11, reports.Sink()));
    FocusedWindow w;
    w.wmClass = L"zzgame";
    provider(w);
    FocusedWindow ours;
    ours.wmClass = L"whatever";
    ours.pid = int(getpid());
    provider(ours);
    const std::vector<FocusReport> all = reports.All();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].entryId, L"zz-game.desktop");
    EXPECT_EQ(all[0].appName, L"Zz Game");
    EXPECT_FALSE(all[0].window.own);
    EXPECT_TRUE(all[1].window.own);
    EXPECT_EQ(all[1].entryId, L"");
    // Stopped: a late report of the provider's thread reaches nobody.
    watch.Stop();
    provider(w);
    EXPECT_EQ(reports.All().size(), 2u);
}

TEST_F(WindowWatchTest, InstalledApplicationsAreReadWithTheirNamesIconsAndPrograms) {
    const std::filesystem::path apps = Root() / "data" / "applications";
    std::filesystem::create_directories(apps / "sub");
    std::ofstream(apps / "zz-a.desktop") << "[Desktop Entry]\nType=Application\nName=Zz A\nName[fr]=Zz A (fr)\n"
                                            "Exec=env LANG=C sh -c true %U\nStartupWMClass=ZzA\nIcon=/nonexistent.png\n";
    std::ofstream(apps / "sub" / "zz-b.desktop") << "[Desktop Entry]\nType=Application\nName=Zz B\nExec=zz-b\n";
    std::ofstream(apps / "zz-hidden.desktop") << "[Desktop Entry]\nType=Application\nName=H\nNoDisplay=true\n";
    std::ofstream(apps / "zz-link.desktop") << "[Desktop Entry]\nType=Link\nName=L\nURL=x\n";
    // An id of the user's folder hides the system's entry of the same id.
    std::ofstream(apps / "zz-c.desktop") << "[Desktop Entry]\nType=Application\nName=Zz C\nHidden=true\n";
    SetEnv("XDG_DATA_DIRS", (Root() / "sys").string());
    std::filesystem::create_directories(Root() / "sys" / "applications");
    std::ofstream(Root() / "sys" / "applications" / "zz-c.desktop") << "[Desktop Entry]\nType=Application\nName=C\n";
    std::ofstream(Root() / "sys" / "applications" / "zz-d.desktop") << "[Desktop Entry]\nType=Application\nName=Zz D\n";

    const std::vector<AppEntry> english = ListInstalledApps(1033);
    std::vector<std::wstring> ids;
    for (const AppEntry& e : english) ids.push_back(e.id);
    EXPECT_EQ(ids, (std::vector<std::wstring>{L"zz-a.desktop", L"sub-zz-b.desktop", L"zz-d.desktop"}));
    EXPECT_EQ(english[0].name, L"Zz A");
    EXPECT_EQ(english[0].startupWmClass, L"ZzA");
    EXPECT_EQ(english[0].iconPath, L"");  // no such picture
    ASSERT_FALSE(english[0].execNames.empty());
    EXPECT_EQ(english[0].execNames[0], "sh");
    EXPECT_EQ(ListInstalledApps(1036)[0].name, L"Zz A (fr)");
}

// The X11 provider with a real X server: whatever sets _NET_ACTIVE_WINDOW (a
// window manager), the provider reports the window's class and process.
TEST_F(WindowWatchTest, X11ProviderReportsTheActiveWindowsClassAndProcess) {
    if (!Have("Xvfb") || !Have("xmessage") || !Have("xdotool")) GTEST_SKIP() << "no Xvfb, xmessage or xdotool";
    PrivateXServer server;
    ASSERT_TRUE(server.Ready());
    SetEnv("DISPLAY", server.Name());
    const pid_t client = Spawn({"xmessage", "-name", "zzwatched", "zz"});
    std::string ids;
    if (FILE* pipe = popen("xdotool search --sync --classname zzwatched", "r")) {
        char buffer[64];
        while (fgets(buffer, sizeof buffer, pipe)) ids += buffer;
        pclose(pipe);
    }
    const uint32_t window = uint32_t(std::strtoul(ids.c_str(), nullptr, 10));
    ASSERT_NE(window, 0u);

    Reports reports;
    std::unique_ptr<WindowWatchProvider> provider = MakeX11WindowWatch("");
    ASSERT_TRUE(provider->Start(reports.RawSink()));
    xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr);
    ASSERT_NE(atom, nullptr);
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_WINDOW, 32, 1, &window);
    xcb_flush(conn);
    EXPECT_TRUE(reports.WaitFor(L"zzwatched"));
    const std::vector<FocusReport> all = reports.All();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().window.wmClass, L"Xmessage");
    // A window that vanished while announced is no error that ends the program.
    const uint32_t gone = 0x3FFFFF;
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_WINDOW, 32, 1, &gone);
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_WINDOW, 32, 1, &window);
    xcb_flush(conn);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    free(atom);
    xcb_disconnect(conn);
    provider->Stop();
    End(client);
}

// The wlroots provider against sway on its headless back end, with two Wayland
// clients (foot terminals) whose app ids differ; sway's own command gives each
// the focus in turn.
TEST_F(WindowWatchTest, WlrootsProviderReportsTheActivatedToplevelsAppId) {
    if (!Have("sway") || !Have("foot") || !Have("swaymsg") || !Have("setpriv")) GTEST_SKIP() << "no sway or foot";
    std::unique_ptr<WindowWatchProvider> provider = MakeWlrootsWindowWatch("/nonexistent/wayland-0");
    if (!provider) GTEST_SKIP() << "built without the foreign-toplevel protocol";
    EXPECT_FALSE(provider->Start([](const FocusedWindow&) {}));

    // sway refuses to run as root: as root the compositor and its clients run as nobody.
    const std::filesystem::path runtime = Root() / "wl";
    std::filesystem::create_directories(runtime);
    chmod(runtime.c_str(), 0700);
    std::vector<std::string> asUser;
    if (getuid() == 0) {
        // The scratch home is root's: nobody may pass through it to its own folder.
        chmod(Root().c_str(), 0711);
        ASSERT_EQ(chown(runtime.c_str(), 65534, 65534), 0);
        asUser = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    std::ofstream(runtime / "config") << "output HEADLESS-1 resolution 1024x768\n";
    const std::vector<std::string> env = {"PATH=/usr/bin:/bin", "HOME=" + runtime.string(),
                                          "XDG_RUNTIME_DIR=" + runtime.string(), "WLR_BACKENDS=headless",
                                          "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman"};
    auto command = [&](std::vector<std::string> args) {
        std::vector<std::string> all = asUser;
        all.insert(all.end(), args.begin(), args.end());
        return all;
    };
    const std::string log = (Root() / "sway.log").string();
    const pid_t sway = Spawn(command({"sway", "-c", (runtime / "config").string()}), env, log.c_str());
    ASSERT_GT(sway, 0);
    std::string socket;
    for (int i = 0; i < 200 && socket.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        for (const auto& item : std::filesystem::directory_iterator(runtime)) {
            const std::string name = item.path().filename().string();
            if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos) socket = item.path().string();
        }
    }
    ASSERT_FALSE(socket.empty()) << "sway did not start: " << [&] {
        std::ifstream in(log);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    std::vector<std::string> clientEnv = env;
    clientEnv.push_back("WAYLAND_DISPLAY=" + socket);
    const pid_t game = Spawn(command({"foot", "--app-id", "zzgame", "sleep", "600"}), clientEnv);
    const pid_t editor = Spawn(command({"foot", "--app-id", "zzeditor", "sleep", "600"}), clientEnv);

    Reports reports;
    provider = MakeWlrootsWindowWatch(socket);
    ASSERT_TRUE(provider->Start(reports.RawSink()));
    std::string ipc;
    for (const auto& item : std::filesystem::directory_iterator(runtime))
        if (item.path().filename().string().rfind("sway-ipc.", 0) == 0) ipc = item.path().string();
    ASSERT_FALSE(ipc.empty());
    auto focus = [&](const char* appId) {
        const pid_t run = Spawn({"swaymsg", "-s", ipc, std::string("[app_id=\"") + appId + "\"] focus"});
        waitpid(run, nullptr, 0);
    };
    // The terminals map when they are ready: the editor is asked to the front until it is.
    bool editorInFront = false;
    for (int i = 0; i < 50 && !editorInFront; ++i) {
        focus("zzeditor");
        editorInFront = reports.WaitFor(L"zzeditor", 200);
    }
    ASSERT_TRUE(editorInFront);
    for (const char* appId : {"zzgame", "zzeditor", "zzgame"}) {
        reports.Clear();
        focus(appId);
        EXPECT_TRUE(reports.WaitFor(std::wstring(appId, appId + std::strlen(appId)))) << appId;
        // Exactly one report for one change of the window in front.
        EXPECT_EQ(reports.All().size(), 1u);
    }
    provider->Stop();
    End(game);
    End(editor);
    End(sway);
}
