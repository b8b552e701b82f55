// Profiles that follow the application in front on a real (private) X server:
// two small X clients of their own with different WM_CLASS take the focus in
// turn, announced the way a window manager does (_NET_ACTIVE_WINDOW on the root
// window), and the simulated mouse receives the profile switch for each, once.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstring>

#include "MainWindowFixture.h"
#include "PrivateDisplayFixture.h"
#include "dialogs/AutoProfileSwitcher.h"
#include "base/SettingsStore.h"

using namespace Orvix;

namespace {

// A program's standard output (the window ids xdotool prints).
std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    return text;
}

// What a window manager does when it gives a window the focus.
bool AnnounceActive(uint32_t window) {
    xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
    if (!conn || xcb_connection_has_error(conn)) return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    const char name[] = "_NET_ACTIVE_WINDOW";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, uint16_t(std::strlen(name)), name), nullptr);
    const bool ok = atom != nullptr;
    if (ok) {
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_WINDOW, 32, 1, &window);
        free(atom);
    }
    // A round trip: the change is made before the connection goes.
    free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
    xcb_disconnect(conn);
    return ok;
}

}  // namespace

class AutoProfileXvfbBase : public MainWindowFixture {};

class AutoProfileXvfbTest : public OnPrivateDisplay<AutoProfileXvfbBase> {
  protected:
    void SetUp() override {
        OnPrivateDisplay<AutoProfileXvfbBase>::SetUp();
        if (IsSkipped()) return;
        if (std::system("command -v xmessage >/dev/null") != 0) GTEST_SKIP() << "no xmessage";
        SetEnv("WAYLAND_DISPLAY", std::nullopt);
        SetEnv("XDG_SESSION_TYPE", std::nullopt);
    }
    void TearDown() override {
        for (pid_t pid : m_clients) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        OnPrivateDisplay<AutoProfileXvfbBase>::TearDown();
    }

    // An X client with WM_CLASS ("<instance>", "Xmessage"); its window id.
    uint32_t StartClient(const std::string& instance) {
        std::vector<std::string> args = {"xmessage", "-name", instance, "-title", instance, instance};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawnp(&pid, "xmessage", nullptr, nullptr, argv.data(), environ) != 0) return 0;
        m_clients.push_back(pid);
        const std::string ids = Output("xdotool search --sync --classname " + instance + " 2>/dev/null");
        return uint32_t(std::strtoul(ids.c_str(), nullptr, 10));
    }

    void StartProgram(bool enabled) {
        ASSERT_TRUE(SettingsStore(GetSettingsStorePath()).Create());
        ASSERT_TRUE(WriteAppRegInt(kAutoProfileSetting, enabled ? 1 : 0));
        PlugCable();
        dlg = std::make_unique<DeviceMainDlg>();
        dlg->SetWorkerTimings(FastWorkerTimings());
        ASSERT_TRUE(dlg->CreateMainWindow());
        dlg->ShowMainWindow();
        ASSERT_TRUE(PumpUntil([this] { return dlg->GetState().IsConnected() && dlg->GetState().IsIdle(); }));
        ASSERT_TRUE(DataStore::Instance().SetProfileApp(2, L"class=gamewin"));
        ASSERT_TRUE(DataStore::Instance().SetProfileApp(3, L"class=editorwin"));
    }

    int32_t Current() { return dlg->GetState().GetCurrentProfile(); }
    size_t Reports() { return ReceivedReports().size(); }
    // Waits for the profile, then a little longer for anything that should not come.
    bool SettlesOn(int32_t profile) {
        const bool reached = PumpUntil([&] { return Current() == profile && dlg->GetState().IsIdle(); }, 5000);
        Pump(600);
        return reached;
    }

  private:
    std::vector<pid_t> m_clients;
};

TEST_F(AutoProfileXvfbTest, EachApplicationTakingTheFocusSwitchesTheMouseToItsProfileOnce) {
    StartProgram(true);
    AutoProfileSwitcher* switcher = dlg->GetAutoProfile();
    ASSERT_TRUE(switcher->IsWatching());
    EXPECT_EQ(switcher->GetSession(), WatchSession::X11);
    EXPECT_EQ(switcher->GetCoverage(), WindowWatch::Coverage::AllWindows);
    const uint32_t game = StartClient("gamewin");
    const uint32_t editor = StartClient("editorwin");
    ASSERT_NE(game, 0u);
    ASSERT_NE(editor, 0u);

    const size_t start = Reports();
    ASSERT_TRUE(AnnounceActive(game));
    ASSERT_TRUE(SettlesOn(2));
    const size_t oneSwitch = Reports() - start;
    ASSERT_GT(oneSwitch, 0u);
    EXPECT_EQ(DataStore::Instance().GetActiveProfile(), 2);

    ASSERT_TRUE(AnnounceActive(editor));
    ASSERT_TRUE(SettlesOn(3));
    EXPECT_EQ(Reports(), start + 2 * oneSwitch);

    ASSERT_TRUE(AnnounceActive(game));
    ASSERT_TRUE(SettlesOn(2));
    EXPECT_EQ(Reports(), start + 3 * oneSwitch);
}

TEST_F(AutoProfileXvfbTest, TurnedOffNothingWatchesAndNothingIsSent) {
    StartProgram(false);
    EXPECT_FALSE(dlg->GetAutoProfile()->IsWatching());
    const uint32_t game = StartClient("gamewin");
    ASSERT_NE(game, 0u);
    const size_t start = Reports();
    ASSERT_TRUE(AnnounceActive(game));
    Pump(1200);
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(Reports(), start);
}
