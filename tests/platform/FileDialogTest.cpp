// The file-dialog service: an injected answer, and the zenity chooser (a stub on
// PATH) with its arguments, a chosen path, a cancel, and a zenity that fails so
// that the next chooser is asked.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "ScratchHome.h"
#include "orvix/controls/MEdit.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Headless.h"
#include "orvix/platform/NativeWindow.h"
#include "orvix/platform/Platform.h"
#include "dialogs/FileDialog.h"
#include "dialogs/FilePathDlg.h"
#include "tests/support/PrivateXServer.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

class FileDialogTest : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        ASSERT_TRUE(Orvix::Platform::Init(Orvix::BackendKind::Headless));
        bin = Root() / "bin";
        fs::create_directories(bin);
        SetEnv("PATH", bin.string() + ":/usr/bin:/bin");
    }
    void TearDown() override {
        SetFileDialogAnswer(nullptr);
        SetFileChooserOrder({});
        Orvix::Platform::Shutdown();
        ScratchHome::TearDown();
    }
    // A zenity that records its arguments, prints `out` and exits with `status`.
    void StubZenity(const std::string& out, int status) {
        std::ofstream(bin / "zenity")
            << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" << (Root() / "args").string()
            << "'\nprintf '%s' '" << out << "'\nexit " << status << "\n";
        fs::permissions(bin / "zenity", fs::perms::owner_all);
    }
    std::string Args() {
        std::ifstream in(Root() / "args");
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    FileDialogRequest Request() {
        FileDialogRequest request;
        request.title = L"Choose a program";
        request.filters.push_back({L"Application", {L"*.desktop", L"*"}});
        return request;
    }

    fs::path bin;
};

TEST_F(FileDialogTest, AnInjectedAnswerReplacesEveryChooser) {
    SetFileDialogAnswer([](const FileDialogRequest& request, std::wstring& path) {
        path = request.title + L".txt";
        return true;
    });
    std::wstring path;
    ASSERT_TRUE(ChooseFile(Request(), path));
    EXPECT_EQ(path, L"Choose a program.txt");
}

TEST_F(FileDialogTest, ZenityGivesThePathOrACancel) {
    SetFileChooserOrder({FileChooserKind::Zenity});
    StubZenity("/home/u/My Apps/tool.desktop\n", 0);
    std::wstring path;
    ASSERT_TRUE(ChooseFile(Request(), path));
    EXPECT_EQ(path, L"/home/u/My Apps/tool.desktop");
    EXPECT_EQ(Args(),
              "--file-selection\n--title=Choose a program\n--file-filter=Application | *.desktop *\n");

    StubZenity("", 1);
    path = L"unchanged";
    EXPECT_FALSE(ChooseFile(Request(), path));
    EXPECT_EQ(path, L"unchanged");

    FileDialogRequest save = Request();
    save.save = true;
    save.suggestedName = L"macros.xml";
    StubZenity("/tmp/out.xml", 0);
    ASSERT_TRUE(ChooseFile(save, path));
    EXPECT_NE(Args().find("--save\n--confirm-overwrite\n--filename=macros.xml\n"), std::string::npos);
}

TEST_F(FileDialogTest, WithoutAnyChooserNothingIsChosen) {
    SetFileChooserOrder({FileChooserKind::Zenity});
    std::wstring path;
    EXPECT_FALSE(ChooseFile(Request(), path));  // no zenity on PATH
    StubZenity("", 5);                          // zenity that cannot open a window
    EXPECT_FALSE(ChooseFile(Request(), path));
    EXPECT_TRUE(path.empty());
}

// ---------------------------------------------------------------- portal

namespace {

// A file chooser portal on a private session bus, answering OpenFile with a
// fixed file (or a cancel) the way the desktop's portal does: the request
// object's Response signal after the call returned its handle.
class FakePortal {
  public:
    // `replyAfterMs`: the portal takes that long to hand out its request, as one
    // being started does.
    FakePortal(const std::string& address, std::string uri, guint32 response, int replyAfterMs = 0)
        : m_uri(std::move(uri)), m_response(response), m_replyAfterMs(replyAfterMs) {
        m_context = g_main_context_new();
        m_thread = std::thread([this, address] { Run(address); });
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ready.wait_for(lock, std::chrono::seconds(5), [this] { return m_owned; });
    }
    ~FakePortal() {
        g_main_context_invoke(
            m_context,
            [](gpointer loop) -> gboolean {
                g_main_loop_quit(static_cast<GMainLoop*>(loop));
                return G_SOURCE_REMOVE;
            },
            m_loop);
        m_thread.join();
        g_main_context_unref(m_context);
    }
    bool Ready() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_owned;
    }
    std::string Title() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_title;
    }
    std::string Parent() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_parent;
    }
    std::chrono::steady_clock::time_point RepliedAt() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_repliedAt;
    }

  private:
    void Run(const std::string& address) {
        g_main_context_push_thread_default(m_context);
        m_loop = g_main_loop_new(m_context, FALSE);
        GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
            address.c_str(),
            GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        static const char* xml =
            "<node><interface name='org.freedesktop.portal.FileChooser'>"
            "<method name='OpenFile'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
            "<arg type='a{sv}' direction='in'/><arg type='o' direction='out'/></method>"
            "</interface></node>";
        GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(xml, nullptr);
        static const GDBusInterfaceVTable vtable = {&FakePortal::OnCall, nullptr, nullptr, {}};
        g_dbus_connection_register_object(bus, "/org/freedesktop/portal/desktop", info->interfaces[0],
                                          &vtable, this, nullptr, nullptr);
        GVariant* owned = g_dbus_connection_call_sync(
            bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
            g_variant_new("(su)", "org.freedesktop.portal.Desktop", 4u), nullptr, G_DBUS_CALL_FLAGS_NONE,
            2000, nullptr, nullptr);
        if (owned) g_variant_unref(owned);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_owned = owned != nullptr;
        }
        m_ready.notify_all();
        g_main_loop_run(m_loop);
        g_dbus_node_info_unref(info);
        g_object_unref(bus);
        g_main_loop_unref(m_loop);
        g_main_context_pop_thread_default(m_context);
    }

    static void OnCall(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<FakePortal*>(data);
        const gchar *parent = nullptr, *title = nullptr;
        GVariant* options = nullptr;
        g_variant_get(parameters, "(&s&s@a{sv})", &parent, &title, &options);
        const gchar* token = "none";
        g_variant_lookup(options, "handle_token", "&s", &token);
        std::string name = sender + 1;
        for (char& c : name)
            if (c == '.') c = '_';
        const std::string handle = "/org/freedesktop/portal/desktop/request/" + name + "/" + token;
        {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_title = title;
            self->m_parent = parent;
        }
        g_variant_unref(options);
        if (self->m_replyAfterMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(self->m_replyAfterMs));
        {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_repliedAt = std::chrono::steady_clock::now();
        }
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", handle.c_str()));
        GVariantBuilder results;
        g_variant_builder_init(&results, G_VARIANT_TYPE("a{sv}"));
        const gchar* uris[] = {self->m_uri.c_str(), nullptr};
        g_variant_builder_add(&results, "{sv}", "uris", g_variant_new_strv(uris, -1));
        g_dbus_connection_emit_signal(bus, sender, handle.c_str(), "org.freedesktop.portal.Request",
                                      "Response", g_variant_new("(ua{sv})", self->m_response, &results),
                                      nullptr);
    }

    std::string m_uri;
    guint32 m_response;
    int m_replyAfterMs = 0;
    std::string m_parent;
    std::chrono::steady_clock::time_point m_repliedAt;
    GMainContext* m_context = nullptr;
    GMainLoop* m_loop = nullptr;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    bool m_owned = false;
    std::string m_title;
};

}  // namespace

// A private session bus for one test: its address, and its end with the test.
class PrivateBus {
  public:
    PrivateBus() {
        FILE* daemon = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!daemon) return;
        char address[512] = {}, pid[32] = {};
        const bool started = fgets(address, sizeof address, daemon) && fgets(pid, sizeof pid, daemon);
        pclose(daemon);
        if (!started) return;
        m_address = address;
        m_address.erase(m_address.find_last_not_of("\n") + 1);
        m_pid = pid_t(std::stoi(pid));
    }
    ~PrivateBus() {
        if (m_pid > 0) kill(m_pid, SIGTERM);
    }
    const std::string& Address() const { return m_address; }

  private:
    std::string m_address;
    pid_t m_pid = -1;
};

TEST_F(FileDialogTest, ThePortalOnAPrivateBusAnswersWithTheChosenFile) {
    PrivateBus daemon;
    if (daemon.Address().empty()) GTEST_SKIP() << "no dbus-daemon";
    const std::string bus = daemon.Address();
    SetEnv("DBUS_SESSION_BUS_ADDRESS", bus);
    SetFileChooserOrder({FileChooserKind::Portal});
    {
        FakePortal portal(bus, "file:///home/u/My%20Apps/tool.desktop", 0);
        ASSERT_TRUE(portal.Ready());
        std::wstring path;
        ASSERT_TRUE(ChooseFile(Request(), path));
        EXPECT_EQ(path, L"/home/u/My Apps/tool.desktop");
        EXPECT_EQ(portal.Title(), "Choose a program");
    }
    {
        FakePortal cancelling(bus, "file:///x", 1);
        std::wstring path = L"unchanged";
        EXPECT_FALSE(ChooseFile(Request(), path));
        EXPECT_EQ(path, L"unchanged");
    }
}

TEST_F(FileDialogTest, TheWindowKeepsWorkingWhileThePortalIsSlowToAnswer) {
    PrivateBus daemon;
    if (daemon.Address().empty()) GTEST_SKIP() << "no dbus-daemon";
    SetEnv("DBUS_SESSION_BUS_ADDRESS", daemon.Address());
    SetFileChooserOrder({FileChooserKind::Portal});
    FakePortal slow(daemon.Address(), "file:///home/u/tool", 0, 600);
    ASSERT_TRUE(slow.Ready());
    // Work the window has to do meanwhile (a repaint, a message from the worker).
    std::optional<std::chrono::steady_clock::time_point> ran;
    Orvix::Platform::PostTask([&] { ran = std::chrono::steady_clock::now(); });
    std::wstring path;
    ASSERT_TRUE(ChooseFile(Request(), path));
    EXPECT_EQ(path, L"/home/u/tool");
    ASSERT_TRUE(ran.has_value()) << "the window's work waited for the portal";
    EXPECT_LT(*ran, slow.RepliedAt());
    // No window the desktop knows: no parent named.
    EXPECT_EQ(slow.Parent(), "");
}

// ---------------------------------------------------------------- the chooser belongs to the window

namespace {

// A bare window of the platform, enough to own a chooser.
struct PlainWindow : Orvix::WindowProcedure {
    Orvix::LRESULT WindowProc(Orvix::HWND hwnd, Orvix::UINT msg, Orvix::WPARAM wParam,
                              Orvix::LPARAM lParam) override {
        return Orvix::Platform::DefWindowProc(hwnd, msg, wParam, lParam);
    }
};

std::string Hex(uint64_t id) {
    char text[32];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(id));
    return text;
}

}  // namespace

class FileDialogOnX : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        if (std::system("command -v Xvfb >/dev/null") != 0) GTEST_SKIP() << "no Xvfb";
        server = std::make_unique<PrivateXServer>("800x600x24");
        ASSERT_TRUE(server->Ready());
        SetEnv("DISPLAY", server->Name());
        SetEnv("SDL_VIDEODRIVER", "x11");
        ASSERT_TRUE(Orvix::Platform::Init(Orvix::BackendKind::Sdl));
        Orvix::WindowParams params;
        params.title = L"Owner of the chooser";
        params.rect = Orvix::CRect(10, 10, 410, 310);
        hwnd = Orvix::Platform::CreateWindow(&procedure, params);
        ASSERT_NE(hwnd, nullptr);
        Orvix::Platform::ShowWindow(hwnd, Orvix::SW_SHOW);
        Orvix::Platform::RunPending();
    }
    void TearDown() override {
        SetFileChooserOrder({});
        if (Orvix::Platform::IsInitialized()) Orvix::Platform::Shutdown();
        server.reset();
        ScratchHome::TearDown();
    }

    std::unique_ptr<PrivateXServer> server;
    PlainWindow procedure;
    Orvix::HWND hwnd = nullptr;
#if defined(__SANITIZE_ADDRESS__)
    __lsan::ScopedDisabler m_xAllocations;  // the X and SDL libraries keep one-time allocations
#endif
};

TEST_F(FileDialogOnX, ThePortalAndZenityAreToldWhichWindowTheyBelongTo) {
    const uint64_t xid = Orvix::GetX11WindowId(hwnd);
    ASSERT_NE(xid, 0u);
    // The X server knows the window by that id and title.
    FILE* info = popen(("xwininfo -id 0x" + Hex(xid) + " 2>/dev/null").c_str(), "r");
    std::string text;
    char line[256];
    while (info && fgets(line, sizeof line, info)) text += line;
    if (info) pclose(info);
    if (std::system("command -v xwininfo >/dev/null") == 0) {
        EXPECT_NE(text.find("Owner of the chooser"), std::string::npos) << text;
    }

    FileDialogRequest request;
    request.title = L"Choose a program";
    request.owner = hwnd;
    PrivateBus daemon;
    if (!daemon.Address().empty()) {
        SetEnv("DBUS_SESSION_BUS_ADDRESS", daemon.Address());
        SetFileChooserOrder({FileChooserKind::Portal});
        FakePortal portal(daemon.Address(), "file:///home/u/tool", 0);
        ASSERT_TRUE(portal.Ready());
        std::wstring path;
        ASSERT_TRUE(ChooseFile(request, path));
        EXPECT_EQ(portal.Parent(), "x11:" + Hex(xid));
    }

    // zenity: attached to the window, and WINDOWID for older versions.
    const fs::path bin = Root() / "bin";
    fs::create_directories(bin);
    std::ofstream(bin / "zenity") << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '"
                                  << (Root() / "args").string() << "'\necho \"$WINDOWID\" > '"
                                  << (Root() / "windowid").string() << "'\nprintf /tmp/x\n";
    fs::permissions(bin / "zenity", fs::perms::owner_all);
    SetEnv("PATH", bin.string() + ":/usr/bin:/bin");
    SetFileChooserOrder({FileChooserKind::Zenity});
    std::wstring path;
    ASSERT_TRUE(ChooseFile(request, path));
    std::ifstream args(Root() / "args"), windowid(Root() / "windowid");
    const std::string all((std::istreambuf_iterator<char>(args)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("--attach=0x" + Hex(xid) + "\n"), std::string::npos) << all;
    std::string id;
    std::getline(windowid, id);
    EXPECT_EQ(id, std::to_string(xid));
}

// ---------------------------------------------------------------- the toolkit's own path dialog

class PathDialogTest : public FileDialogTest {
  protected:
    void SetUp() override {
        FileDialogTest::SetUp();
        ASSERT_TRUE(Orvix::Manager::InitGdiplus());
        SetFileChooserOrder({FileChooserKind::Toolkit});
        home = Root() / "home";
        fs::create_directories(home);
    }
    void TearDown() override {
        FilePathDlg::SetOpenHook(nullptr, nullptr);
        Orvix::Manager::UnInitGdiplus();
        FileDialogTest::TearDown();
    }
    // What the test does once the dialog runs, with the dialog.
    void WhenOpen(std::function<void(FilePathDlg&)> act) {
        m_act = std::move(act);
        FilePathDlg::SetOpenHook(
            [](FilePathDlg& dlg, void* context) { static_cast<PathDialogTest*>(context)->m_act(dlg); }, this);
    }
    // The key goes in; what it makes the dialog post is left to its own loop,
    // which takes its result from it.
    static void Key(FilePathDlg& dlg, Orvix::UINT vk) { Orvix::Headless::KeyPress(dlg.GetSafeHwnd(), vk); }
    static std::wstring EditText(FilePathDlg& dlg) {
        return dynamic_cast<Orvix::MEdit*>(dlg.GetControl(FilePathDlg::IDC_PATH))->GetEditText();
    }

    fs::path home;
    std::function<void(FilePathDlg&)> m_act;
};

TEST_F(PathDialogTest, StartsAtHomeAndEnterTakesAnExistingFile) {
    std::ofstream(home / "tool.sh") << "#!/bin/sh\n";
    std::wstring started;
    WhenOpen([&](FilePathDlg& dlg) {
        started = EditText(dlg);
        Orvix::Headless::TypeText(dlg.GetSafeHwnd(), L"tool.sh");
        Orvix::Platform::RunPending();
        Key(dlg, Orvix::VK_RETURN);
    });
    std::wstring path;
    ASSERT_TRUE(ChooseFile(Request(), path));
    EXPECT_EQ(started, home.wstring() + L"/");
    EXPECT_EQ(path, (home / "tool.sh").wstring());
}

TEST_F(PathDialogTest, APathThatDoesNotExistIsSaidAndEscCancels) {
    std::wstring said;
    bool stillOpen = false;
    WhenOpen([&](FilePathDlg& dlg) {
        Orvix::Headless::TypeText(dlg.GetSafeHwnd(), L"missing.sh");
        Orvix::Platform::RunPending();
        Key(dlg, Orvix::VK_RETURN);
        Orvix::Platform::RunPending();  // it stays open: nothing to take a result from
        said = dynamic_cast<Orvix::MControlFont*>(dlg.GetControl(FilePathDlg::IDC_PROBLEM))->GetTitle();
        stillOpen = Orvix::Platform::IsWindowVisible(dlg.GetSafeHwnd());
        Key(dlg, Orvix::VK_ESCAPE);
    });
    std::wstring path = L"unchanged";
    EXPECT_FALSE(ChooseFile(Request(), path));
    EXPECT_EQ(path, L"unchanged");
    EXPECT_TRUE(stillOpen);
    EXPECT_NE(said.find((home / "missing.sh").wstring()), std::wstring::npos) << Orvix::WideToUtf8(said);
}

TEST_F(PathDialogTest, ASaveNeedsOnlyItsFolder) {
    FileDialogRequest save = Request();
    save.save = true;
    save.suggestedName = L"macros.xml";
    std::wstring started;
    WhenOpen([&](FilePathDlg& dlg) {
        started = EditText(dlg);
        Key(dlg, Orvix::VK_RETURN);
    });
    std::wstring path;
    ASSERT_TRUE(ChooseFile(save, path));
    EXPECT_EQ(started, (home / "macros.xml").wstring());
    EXPECT_EQ(path, (home / "macros.xml").wstring());
}
