// The KDE Plasma provider against a KWin stand-in on a private bus: the stand-in
// offers org.kde.kwin.Scripting as KWin does, keeps the script it is given, and
// when a window is "activated" makes the call the script's callDBus line names,
// with the arguments it lists, as KWin running the script would.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "PrivateBus.h"
#include "platform/WindowWatch.h"

namespace {

constexpr const char* kScriptingXml =
    "<node><interface name='org.kde.kwin.Scripting'>"
    "<method name='loadScript'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='i' direction='out'/></method>"
    "<method name='isScriptLoaded'><arg type='s' direction='in'/><arg type='b' direction='out'/></method>"
    "<method name='unloadScript'><arg type='s' direction='in'/><arg type='b' direction='out'/></method>"
    "<method name='start'/>"
    "</interface></node>";

class KWinStandIn : public TestService {
  public:
    KWinStandIn() : TestService("org.kde.KWin", "/Scripting", kScriptingXml, "org.kde.kwin.Scripting") {}
    ~KWinStandIn() override { Stop(); }

    Recorder calls;
    std::string Script() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_script;
    }
    std::string ScriptPath() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_path;
    }

    // What KWin does when a window becomes active and the script is running:
    // the script's callDBus, to the service, path, interface and method it names.
    bool Activate(const std::vector<std::string>& args) {
        const std::string script = Script();
        std::smatch m;
        static const std::regex call("callDBus\\('([^']+)', '([^']+)', '([^']+)', '([^']+)'");
        if (!std::regex_search(script, m, call)) return false;
        GVariantBuilder builder;
        g_variant_builder_init(&builder, G_VARIANT_TYPE_TUPLE);
        for (const std::string& a : args) g_variant_builder_add(&builder, "s", a.c_str());
        bool ok = false;
        RunOnLoop([&] {
            GError* error = nullptr;
            GVariant* reply = g_dbus_connection_call_sync(
                Connection(), m[1].str().c_str(), m[2].str().c_str(), m[3].str().c_str(), m[4].str().c_str(),
                g_variant_builder_end(&builder), nullptr, G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, &error);
            ok = reply != nullptr;
            if (reply) g_variant_unref(reply);
            if (error) g_error_free(error);
        });
        return ok;
    }

  protected:
    void OnCall(const char*, const char* method, GVariant* parameters, GDBusMethodInvocation* invocation) override {
        const std::string name = method;
        calls.Add(name);
        if (name == "loadScript") {
            const gchar *path = nullptr, *plugin = nullptr;
            g_variant_get(parameters, "(&s&s)", &path, &plugin);
            std::ifstream file(path);
            std::stringstream text;
            text << file.rdbuf();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_script = text.str();
                m_path = path;
                m_plugin = plugin;
            }
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(i)", 7));
        } else if (name == "isScriptLoaded") {
            const gchar* plugin = nullptr;
            g_variant_get(parameters, "(&s)", &plugin);
            std::lock_guard<std::mutex> lock(m_mutex);
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", m_plugin == plugin));
        } else if (name == "unloadScript") {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_plugin.clear();
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", TRUE));
        } else {
            g_dbus_method_invocation_return_value(invocation, nullptr);
        }
    }
    GVariant* OnProperty(const char*) override { return nullptr; }

  private:
    std::mutex m_mutex;
    std::string m_script, m_path, m_plugin;
};

struct Seen {
    std::mutex mutex;
    std::vector<FocusedWindow> windows;
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex);
        return windows.size();
    }
};

}  // namespace

TEST(KWinWindowWatch, LoadsItsScriptAndReportsEachActivatedWindowThenUnloads) {
    PrivateBus bus;
    ASSERT_TRUE(bus.IsRunning());
    KWinStandIn kwin;
    ASSERT_TRUE(kwin.Start(bus.Address()));
    Seen seen;
    std::unique_ptr<WindowWatchProvider> provider = MakeKWinWindowWatch(bus.Address());
    ASSERT_TRUE(provider->Start([&seen](const FocusedWindow& w) {
        std::lock_guard<std::mutex> lock(seen.mutex);
        seen.windows.push_back(w);
    }));
    EXPECT_EQ(kwin.calls.Events(), (std::vector<std::string>{"isScriptLoaded", "loadScript", "start"}));
    // One script for KWin 6 (windowActivated) and 5 (clientActivated), reporting the window in front at once.
    const std::string script = kwin.Script();
    EXPECT_NE(script.find("workspace.windowActivated.connect"), std::string::npos);
    EXPECT_NE(script.find("workspace.clientActivated.connect"), std::string::npos);
    EXPECT_NE(script.find("vantorelReport(workspace.activeWindow)"), std::string::npos);

    ASSERT_TRUE(kwin.Activate({"steam", "steamwebhelper", "steam", "4242", "Steam"}));
    ASSERT_TRUE(WaitUntil([&] { return seen.Count() == 1; }));
    ASSERT_TRUE(kwin.Activate({"org.kde.dolphin", "dolphin", "org.kde.dolphin", std::to_string(getpid()), "Home"}));
    ASSERT_TRUE(WaitUntil([&] { return seen.Count() == 2; }));
    {
        std::lock_guard<std::mutex> lock(seen.mutex);
        EXPECT_EQ(seen.windows[0].wmClass, L"steam");
        EXPECT_EQ(seen.windows[0].wmInstance, L"steamwebhelper");
        EXPECT_EQ(seen.windows[0].appId, L"steam");
        EXPECT_EQ(seen.windows[0].pid, 4242);
        EXPECT_EQ(seen.windows[1].appId, L"org.kde.dolphin");
        // A live process's executable is read from /proc.
        EXPECT_FALSE(seen.windows[1].executable.empty());
    }
    const std::string path = kwin.ScriptPath();
    EXPECT_TRUE(std::filesystem::exists(path));
    provider->Stop();
    EXPECT_EQ(kwin.calls.Count("unloadScript"), 1u);
    EXPECT_FALSE(std::filesystem::exists(path));
    // Gone from the bus: a late call of the script reaches nobody.
    EXPECT_FALSE(kwin.Activate({"x", "x", "", "0", ""}));
}

TEST(KWinWindowWatch, WithoutKWinOnTheBusItDoesNotStart) {
    PrivateBus bus;
    ASSERT_TRUE(bus.IsRunning());
    std::unique_ptr<WindowWatchProvider> provider = MakeKWinWindowWatch(bus.Address());
    EXPECT_FALSE(provider->Start([](const FocusedWindow&) {}));
    EXPECT_FALSE(MakeKWinWindowWatch("")->Start([](const FocusedWindow&) {}));
}
