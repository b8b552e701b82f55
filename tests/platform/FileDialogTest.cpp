// The file-dialog service: an injected answer, and the zenity chooser (a stub on
// PATH) with its arguments, a chosen path, a cancel, and a zenity that fails so
// that the next chooser is asked.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "ScratchHome.h"
#include "orvix/platform/Platform.h"
#include "platform/FileDialog.h"

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
    FakePortal(const std::string& address, std::string uri, guint32 response)
        : m_uri(std::move(uri)), m_response(response) {
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
        }
        g_variant_unref(options);
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
    GMainContext* m_context = nullptr;
    GMainLoop* m_loop = nullptr;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    bool m_owned = false;
    std::string m_title;
};

}  // namespace

TEST_F(FileDialogTest, ThePortalOnAPrivateBusAnswersWithTheChosenFile) {
    FILE* daemon = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
    if (!daemon) GTEST_SKIP() << "no dbus-daemon";
    char address[512] = {}, pid[32] = {};
    const bool started = fgets(address, sizeof address, daemon) && fgets(pid, sizeof pid, daemon);
    pclose(daemon);
    if (!started) GTEST_SKIP() << "dbus-daemon did not start";
    std::string bus = address;
    bus.erase(bus.find_last_not_of("\n") + 1);
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
    kill(pid_t(std::stoi(pid)), SIGTERM);
}
