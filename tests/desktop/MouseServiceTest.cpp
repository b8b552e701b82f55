// The program's own bus interface with the real window on the headless back end,
// the simulated mouse in the process and a private session bus: calls change the
// mouse as the pages do, every change is announced, and vantorelctl goes through
// the program while it runs and alone otherwise.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "../app/JsonReader.h"
#include "../ui/MainWindowFixture.h"
#include "PrivateBus.h"
#include "app/VantorelCtl.h"
#include "pages/DpiPage.h"
#include "base/ButtonFunction.h"
#include "orvix/widgets/ReporteCtrl.h"
#include "base/Folders.h"
#include "platform/StopRequest.h"
#include "storage/SQLiteDB.h"
#include "platform/dbus/MouseBus.h"

using namespace Orvix;

namespace {

const std::string kV8Path = MouseObjectPath("vantorel_v8");

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return WaitUntil(
        [&] {
            Platform::RunPending();
            return condition();
        },
        timeout);
}

// A method call's outcome as a caller on the bus sees it.
struct Answer {
    bool ok = false;
    std::string error;    // the D-Bus error name
    std::string message;  // its text
};

// Every signal of the service, as "<member> <path> [<property>=<value> ...]".
class SignalLog {
  public:
    explicit SignalLog(const std::string& address) {
        Run([&] {
            m_connection = g_dbus_connection_new_for_address_sync(
                address.c_str(),
                static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                  G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, nullptr, nullptr);
            if (m_connection)
                m_subscription = g_dbus_connection_signal_subscribe(m_connection, nullptr, nullptr, nullptr, nullptr,
                                                                    nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &SignalLog::OnSignal,
                                                                    this, nullptr);
        });
    }
    ~SignalLog() {
        Run([&] {
            if (!m_connection) return;
            g_dbus_connection_signal_unsubscribe(m_connection, m_subscription);
            g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
            g_object_unref(m_connection);
        });
        m_loop.Stop();
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool Has(const std::string& fragment) {
        const std::vector<std::string> lines = Lines();
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(fragment) != std::string::npos; });
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

  private:
    void Run(const std::function<void()>& task) {
        std::promise<void> done;
        m_loop.Post([&] {
            task();
            done.set_value();
        });
        done.get_future().wait();
    }
    static void OnSignal(GDBusConnection*, const gchar*, const gchar* path, const gchar* interface,
                         const gchar* member, GVariant* parameters, gpointer data) {
        if (g_str_has_prefix(interface, "org.freedesktop.DBus") && !g_str_has_prefix(path, kMouseBusPath)) return;
        std::string line = std::string(member) + " " + path;
        if (std::string(member) == "PropertiesChanged") {
            GVariant* changed = g_variant_get_child_value(parameters, 1);
            GVariantIter it;
            g_variant_iter_init(&it, changed);
            const char* name = nullptr;
            GVariant* value = nullptr;
            while (g_variant_iter_next(&it, "{&sv}", &name, &value)) {
                gchar* text = g_variant_print(value, FALSE);
                line += std::string(" ") + name + "=" + text;
                g_free(text);
                g_variant_unref(value);
            }
            g_variant_unref(changed);
        } else if (std::string(member) == "InterfacesAdded" || std::string(member) == "InterfacesRemoved") {
            const char* object = nullptr;
            g_variant_get_child(parameters, 0, "&o", &object);
            line += std::string(" ") + object;
        }
        auto* self = static_cast<SignalLog*>(data);
        std::lock_guard lock(self->m_mutex);
        self->m_lines.push_back(line);
    }

    GLibLoop m_loop;
    GDBusConnection* m_connection = nullptr;
    guint m_subscription = 0;
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

class MouseService : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(bus.IsRunning()) << "dbus-daemon did not start";
        SetEnv("DBUS_SESSION_BUS_ADDRESS", bus.Address());
        signals = std::make_unique<SignalLog>(bus.Address());
    }
    void TearDown() override {
        signals.reset();
        MainWindowFixture::TearDown();
        SQLiteDB::SetBusyTimeout(SQLiteDB::kBusyTimeoutMs);
    }

    // The window with its desktop services on the private bus, the first read done
    // and the name taken.
    void StartServing() {
        dlg = std::make_unique<DeviceMainDlg>();
        dlg->SetWorkerTimings(FastWorkerTimings());
        dlg->EnableDesktopServices(bus.Address(), "");
        ASSERT_TRUE(dlg->CreateMainWindow());
        dlg->ShowMainWindow();
        Settle();
        ASSERT_TRUE(PumpUntil([this] { return dlg->IsServingMouseBus() && bus.HasOwner(kMouseBusName); }));
    }

    // The model view on the DPI page, with the trace emptied.
    void ShowDpiPage() {
        ClickDeviceCard(0);
        Settle();
        ClickTab(kTabDpi);
        Settle();
        page = dynamic_cast<DpiPage*>(dlg->GetPage(kTabDpi));
        ASSERT_NE(page, nullptr);
        sim->Trace().ClearReceived();
    }

    // A method of the V8's object, called from another thread while the window runs.
    Answer CallV8(const char* method, GVariant* parameters) {
        GDBusConnection* client = bus.Client();
        auto call = std::async(std::launch::async, [&] {
            GError* error = nullptr;
            GVariant* reply =
                g_dbus_connection_call_sync(client, kMouseBusName, kV8Path.c_str(), kMouseDeviceInterface, method,
                                            parameters, nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, 20000, nullptr, &error);
            Answer answer;
            if (reply) {
                answer.ok = true;
                g_variant_unref(reply);
                return answer;
            }
            gchar* name = g_dbus_error_get_remote_error(error);
            answer.error = name ? name : "";
            g_free(name);
            g_dbus_error_strip_remote_error(error);
            answer.message = error->message;
            g_error_free(error);
            return answer;
        });
        EXPECT_TRUE(PumpUntil([&] { return call.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        Answer answer = call.get();
        Settle();
        return answer;
    }

    // A property of the V8's object as the bus gives it, printed.
    std::string Property(const char* name) {
        GVariant* reply = g_dbus_connection_call_sync(
            bus.Client(), kMouseBusName, kV8Path.c_str(), "org.freedesktop.DBus.Properties", "Get",
            g_variant_new("(ss)", kMouseDeviceInterface, name), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, 2000,
            nullptr, nullptr);
        if (!reply) return "<none>";
        GVariant* value = nullptr;
        g_variant_get(reply, "(v)", &value);
        gchar* text = g_variant_print(value, FALSE);
        std::string printed = text;
        g_free(text);
        g_variant_unref(value);
        g_variant_unref(reply);
        return printed;
    }

    // The object paths the service lists.
    std::vector<std::string> ManagedObjects() {
        std::vector<std::string> paths;
        GVariant* reply = g_dbus_connection_call_sync(
            bus.Client(), kMouseBusName, kMouseBusPath, "org.freedesktop.DBus.ObjectManager", "GetManagedObjects",
            nullptr, G_VARIANT_TYPE("(a{oa{sa{sv}}})"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        if (!reply) return paths;
        GVariant* objects = g_variant_get_child_value(reply, 0);
        GVariantIter it;
        g_variant_iter_init(&it, objects);
        const char* path = nullptr;
        while (g_variant_iter_next(&it, "{&o@a{sa{sv}}}", &path, nullptr)) paths.push_back(path);
        g_variant_unref(objects);
        g_variant_unref(reply);
        return paths;
    }

    // Runs the built vantorelctl in the scratch home while the window keeps running.
    int RunCtl(const std::string& arguments) {
        const std::string out = (Root() / "ctl.out").string();
        const std::string err = (Root() / "ctl.err").string();
        const std::string command = "exec '" VANTOREL_BINARY_DIR "/vantorelctl' " + arguments + " >'" + out + "' 2>'" +
                                    err + "'";
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = -1;
        EXPECT_TRUE(PumpUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::seconds(30)));
        Settle();
        ctlOut = Read(out);
        ctlErr = Read(err);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Starts `vantorelctl watch ARGUMENTS` with its output going to `out`.
    static pid_t StartWatch(const std::string& arguments, const std::string& out) {
        const pid_t pid = fork();
        if (pid == 0) {
            const std::string command =
                "exec '" VANTOREL_BINARY_DIR "/vantorelctl' watch " + arguments + " >'" + out + "' 2>&1";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }
    // Interrupts it as Ctrl+C does: it must end cleanly.
    static void InterruptWatch(pid_t pid) {
        kill(pid, SIGINT);
        int status = -1;
        EXPECT_TRUE(PumpUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    int CountReceived(const std::string& prefix) {
        const std::vector<std::string> reports = ReceivedReports();
        return int(std::count_if(reports.begin(), reports.end(),
                                 [&](const std::string& r) { return r.rfind(prefix, 0) == 0; }));
    }
    int ShownReportRate() {
        ReporteCtrl* rate = page->GetReportRate();
        return rate->GetItemKeyValue(rate->GetSelectItem());
    }

    PrivateBus bus;
    std::unique_ptr<SignalLog> signals;
    DpiPage* page = nullptr;
    std::string ctlOut;
    std::string ctlErr;
};

TEST_F(MouseService, TheRunningWindowServesOneObjectPerConnectedMouseAndLeavesWithIt) {
    PlugCable();
    StartServing();
    EXPECT_EQ(ManagedObjects(), std::vector<std::string>{kV8Path});
    EXPECT_EQ(Property("Model"), "'Vantorel V8 Wireless'");
    EXPECT_EQ(Property("Selected"), "true");
    EXPECT_EQ(Property("Connection"), "'cable'");
    EXPECT_EQ(Property("Online"), "true");
    EXPECT_EQ(Property("ReportRate"), std::to_string(sim->State().settings.reportRate));
    EXPECT_NE(Property("Settings").find("'deep_sleep': "), std::string::npos);

    // What the bus says it serves is the interface file the package installs.
    GVariant* reply = g_dbus_connection_call_sync(bus.Client(), kMouseBusName, kV8Path.c_str(),
                                                  "org.freedesktop.DBus.Introspectable", "Introspect", nullptr,
                                                  G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    ASSERT_NE(reply, nullptr);
    const char* xml = nullptr;
    g_variant_get(reply, "(&s)", &xml);
    for (const char* member : {"SetProfile", "\"Set\"", "SetButton", "UploadMacros", "Reset", "ActiveDpiLevel"})
        EXPECT_NE(std::string(xml).find(member), std::string::npos) << member;
    g_variant_unref(reply);

    dlg->CloseMainWindow();
    EXPECT_TRUE(WaitUntil([this] { return !bus.HasOwner(kMouseBusName); }));
}

TEST_F(MouseService, SetReportRateShowsOnTheCardAndSendsWhatTheCardSends) {
    PlugCable();
    StartServing();
    ShowDpiPage();
    // What a click on the 1000 Hz card sends.
    ReporteCtrl* rate = page->GetReportRate();
    ClickAt(Hwnd(), rate->GetCardRect(3).CenterPoint());
    Settle();
    const std::vector<std::string> byCard = ReceivedReports();
    ASSERT_EQ(byCard.size(), 1u);
    ClickAt(Hwnd(), rate->GetCardRect(0).CenterPoint());
    Settle();
    ASSERT_EQ(ShownReportRate(), 0);
    // A change made on the page is announced as well.
    EXPECT_TRUE(PumpUntil([this] { return signals->Has("PropertiesChanged " + kV8Path + " ReportRate=0"); }))
        << ::testing::PrintToString(signals->Lines());
    sim->Trace().ClearReceived();
    signals->Clear();

    const Answer answer = CallV8("Set", g_variant_new("(si)", "report_rate", 3));
    EXPECT_TRUE(answer.ok) << answer.error << ": " << answer.message;
    EXPECT_EQ(ReceivedReports(), byCard);
    EXPECT_EQ(sim->State().settings.reportRate, 3);
    EXPECT_EQ(ShownReportRate(), 3);
    EXPECT_EQ(Config(L"report_rate"), L"3");
    EXPECT_TRUE(PumpUntil([this] { return signals->Has("PropertiesChanged " + kV8Path + " ReportRate=3"); }));
}

TEST_F(MouseService, RefusedCallsSayWhyAndSendNothing) {
    SQLiteDB::SetBusyTimeout(100);  // for the store the window opens: a lock below is not waited out
    PlugCable();
    StartServing();
    ShowDpiPage();
    Answer answer = CallV8("Set", g_variant_new("(si)", "report_rate", 4));
    EXPECT_EQ(answer.error, "com.vantorel.Mouse1.Error.OutOfRange");
    EXPECT_EQ(answer.message, "the value of report_rate must be 0 to 3");
    answer = CallV8("Set", g_variant_new("(si)", "deep_sleep", 100));
    EXPECT_EQ(answer.error, "com.vantorel.Mouse1.Error.OutOfRange");
    EXPECT_NE(answer.message.find("one of 180 240"), std::string::npos) << answer.message;
    answer = CallV8("Set", g_variant_new("(si)", "speed", 1));
    EXPECT_EQ(answer.error, "com.vantorel.Mouse1.Error.InvalidArgs");
    EXPECT_EQ(answer.message, "unknown key speed");
    answer = CallV8("SetProfile", g_variant_new("(i)", 9));
    EXPECT_EQ(answer.error, "com.vantorel.Mouse1.Error.InvalidArgs");
    EXPECT_EQ(answer.message, "there is no profile 9");
    answer = CallV8("SetButton", g_variant_new("(iiiiis)", 12, 2, 4, 0, 0, ""));
    EXPECT_EQ(answer.error, "com.vantorel.Mouse1.Error.InvalidArgs");
    EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
    EXPECT_EQ(Config(L"report_rate"), std::to_wstring(ShownReportRate()));

    // Another program holds the store: the caller is told, and nothing is sent.
    {
        SQLiteDB other;
        ASSERT_TRUE(other.Open(DatabasePathFor(GetUserDataFolder(), L"vantorel_v8").c_str(), SQLITE_OPEN_READWRITE));
        ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        // The window says it too, in a notice a person closes, with the worker's next news.
        AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});
        answer = CallV8("Set", g_variant_new("(si)", "report_rate", 2));
        other.Exec("ROLLBACK");
        EXPECT_EQ(answer.error, "com.vantorel.Mouse1.Error.StoreUnusable");
        EXPECT_EQ(answer.message.rfind("store busy: ", 0), 0u) << answer.message;
        EXPECT_NE(answer.message.find("locked"), std::string::npos) << answer.message;
        EXPECT_EQ(ReceivedReports(), std::vector<std::string>{});
    }

    // A mouse switched off behind its receiver: there is no mouse to write.
    sim->Unplug(SimEndpoint::Cable);
    Settle();
    PlugReceiver();
    Settle();
    sim->SetMousePower(false);
    ASSERT_TRUE(PumpUntil([this] { return Property("Online") == "false"; }));
    sim->Trace().ClearReceived();
    answer = CallV8("Set", g_variant_new("(si)", "report_rate", 2));
    EXPECT_EQ(answer.error, "com.vantorel.Mouse1.Error.NoMouse");
    EXPECT_EQ(answer.message, "no mouse of model Vantorel V8 Wireless is reachable");
    EXPECT_EQ(CountReceived("06 13"), 0);
}

TEST_F(MouseService, TheMousesOwnDpiButtonAndAProfileChangeAreAnnounced) {
    PlugCable();
    StartServing();
    ShowDpiPage();
    const std::string before = Property("ActiveDpiLevel");
    signals->Clear();
    sim->PressDpiButton();
    const std::string level = std::to_string(sim->State().settings.dpiIndex);
    ASSERT_NE(level, before);
    EXPECT_TRUE(PumpUntil([&] { return signals->Has("PropertiesChanged " + kV8Path + " ActiveDpiLevel=" + level); }))
        << ::testing::PrintToString(signals->Lines());
    EXPECT_EQ(Property("ActiveDpiLevel"), level);

    // A profile chosen over the bus: the window's profile button shows it, the mouse gets it whole.
    sim->Trace().ClearReceived();
    const Answer answer = CallV8("SetProfile", g_variant_new("(i)", 2));
    EXPECT_TRUE(answer.ok) << answer.message;
    EXPECT_EQ(dlg->GetState().GetCurrentProfile(), 2);
    EXPECT_EQ(Control<MControlFont>(IDC_PROFILE)->GetTitle(), L"Profile 2");
    EXPECT_EQ(CountReceived("06 12"), 1);  // the button map ends the full write
    EXPECT_TRUE(PumpUntil([&] { return signals->Has("ActiveProfile=2"); }));
}

TEST_F(MouseService, ButtonsMacrosAndTheResetGoThroughTheWorker) {
    PlugCable();
    StartServing();
    ShowDpiPage();
    // The key A (usage 4) with Ctrl (modifier bit 1) on button 3.
    Answer answer = CallV8("SetButton", g_variant_new("(iiiiis)", 3, kFuncKey, 4, 1, 0, ""));
    EXPECT_TRUE(answer.ok) << answer.message;
    KeyRecord key;
    EXPECT_TRUE(DataStore::Instance().GetKey(dlg->GetState().GetCurrentProfile(), 3, key));
    EXPECT_EQ(key.macroType, kFuncKey);
    EXPECT_EQ(key.macroDesc, L"Ctrl + A");
    EXPECT_EQ(CountReceived("06 12"), 1);

    sim->Trace().ClearReceived();
    answer = CallV8("UploadMacros", nullptr);
    EXPECT_TRUE(answer.ok) << answer.message;
    EXPECT_EQ(CountReceived("06 31"), 2);  // an empty library: two chunks

    ASSERT_TRUE(CallV8("Set", g_variant_new("(si)", "report_rate", 2)).ok);
    sim->Trace().ClearReceived();
    answer = CallV8("Reset", nullptr);
    EXPECT_TRUE(answer.ok) << answer.message;
    EXPECT_EQ(CountReceived("06 0F 01 00 00 FF"), 1);
    EXPECT_FALSE(DataStore::Instance().GetKey(dlg->GetState().GetCurrentProfile(), 3, key));
    EXPECT_EQ(Config(L"report_rate"), std::to_wstring(sim->State().settings.reportRate));
    EXPECT_TRUE(dlg->IsWindowEnabled());
}

TEST_F(MouseService, UnpluggingRemovesTheObjectAndPluggingBringsItBack) {
    PlugCable();
    StartServing();
    signals->Clear();
    sim->Unplug(SimEndpoint::Cable);
    EXPECT_TRUE(PumpUntil([this] { return signals->Has("InterfacesRemoved /com/vantorel/Mouse " + kV8Path); }));
    EXPECT_EQ(ManagedObjects(), std::vector<std::string>{});
    PlugCable();
    EXPECT_TRUE(PumpUntil([this] { return signals->Has("InterfacesAdded /com/vantorel/Mouse " + kV8Path); }));
    EXPECT_TRUE(PumpUntil([this] { return Property("Online") == "true"; }));
}

TEST_F(MouseService, VantorelctlGoesThroughTheRunningWindow) {
    PlugCable();
    StartServing();
    ShowDpiPage();
    // No mouse on this machine's hidraw: only the window's simulated mouse can take it.
    ASSERT_EQ(RunCtl("set report_rate 2"), 0) << ctlErr;
    EXPECT_EQ(ctlErr, "");
    const std::vector<std::string> reports = ReceivedReports();
    ASSERT_EQ(reports.size(), 1u) << ::testing::PrintToString(reports);
    EXPECT_EQ(reports[0].rfind("06 13 02 00 00 02 02 00", 0), 0u) << reports[0];
    EXPECT_EQ(CountReceived("06 05"), 0) << "a second owner read the mouse";
    EXPECT_EQ(ShownReportRate(), 2);

    ASSERT_EQ(RunCtl("get report_rate"), 0) << ctlErr;
    EXPECT_EQ(ctlOut, "2 (500 Hz)\n");
    ASSERT_EQ(RunCtl("info"), 0) << ctlErr;
    EXPECT_NE(ctlOut.find("  101 Vantorel V8 Wireless  (selected)\n"), std::string::npos) << ctlOut;
    EXPECT_NE(ctlOut.find("connection: cable\n"), std::string::npos) << ctlOut;
    ASSERT_EQ(RunCtl("profile"), 0) << ctlErr;
    EXPECT_EQ(ctlOut.rfind("* 1 Profile 1\n  2 Profile 2\n", 0), 0u) << ctlOut;
    EXPECT_EQ(RunCtl("set report_rate 9"), 2);
    EXPECT_EQ(ctlErr, "vantorelctl: the value of report_rate must be 0 to 3\n");
    EXPECT_EQ(RunCtl("button 9 8 1"), 2);
    EXPECT_EQ(ctlErr, "vantorelctl: the button is a key code from 0 to 8\n");
    EXPECT_EQ(CountReceived("06 13"), 1);

    // --direct takes the old way: no mouse of its own here.
    EXPECT_EQ(RunCtl("--direct info"), 1);
    EXPECT_NE(ctlErr.find("is reachable"), std::string::npos) << ctlErr;
}

TEST_F(MouseService, VantorelctlWatchPrintsChangesAsTheyCome) {
    PlugCable();
    StartServing();
    const std::string out = (Root() / "watch.out").string();
    const pid_t pid = StartWatch("", out);
    ASSERT_TRUE(PumpUntil([&] { return Read(out).find("dpi level: ") != std::string::npos; })) << Read(out);
    sim->PressDpiButton();
    const int level = sim->State().settings.dpiIndex;
    EXPECT_TRUE(PumpUntil([&] {
        const std::string text = Read(out);
        return std::count(text.begin(), text.end(), '\n') >= 5 &&
               text.find("dpi level: " + std::to_string(level) + " (") != std::string::npos;
    })) << Read(out);
    sim->SetBattery(42, true);
    EXPECT_TRUE(PumpUntil([&] { return Read(out).find("battery: 42% (charging)\n") != std::string::npos; }))
        << Read(out);
    InterruptWatch(pid);
    EXPECT_EQ(Read(out).rfind("mouse: Vantorel V8 Wireless, cable\n", 0), 0u) << Read(out);
}

TEST_F(MouseService, VantorelctlPrintsTheSameThroughTheWindowAsAlone) {
    PlugCable();
    StartServing();
    ShowDpiPage();
    // Ends on the profile it began with, so that the second round starts where the first did.
    const std::vector<std::vector<std::string>> commands = {
        {"info"},           {"--json", "info"},    {"get", "report_rate"},      {"get", "deep_sleep", "--json"},
        {"get", "version"}, {"--json", "get", "version"},
        {"profile"},        {"--json", "profile"}, {"--json", "profile", "2"}, {"profile", "1"},
    };
    std::vector<std::string> throughWindow;
    for (const std::vector<std::string>& command : commands) {
        std::string line;
        for (const std::string& word : command) line += word + " ";
        ASSERT_EQ(RunCtl(line), 0) << line << ctlErr;
        EXPECT_EQ(ctlErr, "") << line;
        throughWindow.push_back(ctlOut);
    }
    EXPECT_EQ(CountReceived("06 05"), 0) << "a second owner read the mouse";
    EXPECT_EQ(dlg->GetState().GetCurrentProfile(), 1);
    // The readable forms and the JSON documents came through the window.
    EXPECT_NE(throughWindow[0].find("\nreport rate: "), std::string::npos) << throughWindow[0];
    const std::optional<Json> info = ParseJson(throughWindow[1]);
    ASSERT_TRUE(info) << throughWindow[1];
    EXPECT_EQ((*info)["connection"].text, "cable");
    EXPECT_EQ((*info)["dpi"].kind, Json::Kind::Number);
    EXPECT_EQ(throughWindow[4], "1.0.1\n");
    const std::optional<Json> switched = ParseJson(throughWindow[8]);
    ASSERT_TRUE(switched) << throughWindow[8];
    EXPECT_EQ((*switched)["active"].number, 2);

    // The window goes; the tool reads the same mouse and store itself.
    dlg->CloseMainWindow();
    ASSERT_TRUE(WaitUntil([this] { return !bus.HasOwner(kMouseBusName); }));
    dlg.reset();
    for (size_t i = 0; i < commands.size(); ++i) {
        std::ostringstream out, err;
        EXPECT_EQ(RunVantorelCtl(commands[i], out, err), kCtlSuccess) << err.str();
        EXPECT_EQ(out.str(), throughWindow[i]) << ::testing::PrintToString(commands[i]);
    }
    EXPECT_GE(CountReceived("06 05"), 1);  // this time the tool read the mouse itself
}

TEST_F(MouseService, VantorelctlWatchUnderJsonPrintsOneObjectPerLine) {
    PlugCable();
    StartServing();
    const std::string out = (Root() / "watch.json").string();
    const pid_t pid = StartWatch("--json", out);
    // Every whole line one object; the DPI levels told, in order.
    const auto lines = [&] {
        std::vector<Json> objects;
        const std::string text = Read(out);
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::optional<Json> object = ParseJson(text.substr(start, end - start));
            EXPECT_TRUE(object && object->Has("event")) << text.substr(start, end - start);
            if (object) objects.push_back(*object);
        }
        return objects;
    };
    const auto dpiLevels = [&] {
        std::vector<long long> levels;
        for (const Json& object : lines())
            if (object["event"].text == "dpi_level") levels.push_back(object["dpi_index"]["value"].number);
        return levels;
    };
    ASSERT_TRUE(PumpUntil([&] { return dpiLevels().size() == 1; })) << Read(out);
    sim->PressDpiButton();
    const long long level = sim->State().settings.dpiIndex;
    EXPECT_TRUE(PumpUntil([&] { return dpiLevels().size() == 2 && dpiLevels()[1] == level; })) << Read(out);
    InterruptWatch(pid);
    const std::vector<Json> objects = lines();
    ASSERT_GE(objects.size(), 4u);
    EXPECT_EQ(objects[0]["event"].text, "mouse");
    EXPECT_EQ(objects[0]["model"].text, "Vantorel V8 Wireless");
    EXPECT_EQ(objects[0]["state"].text, "online");
    EXPECT_EQ(objects[1]["event"].text, "battery");
    EXPECT_EQ(objects[1]["battery"]["level"].number, sim->State().batteryLevel);
}

TEST_F(MouseService, WithoutTheWindowVantorelctlWorksAlone) {
    // A bus, but no one serving on it: the tool reads and writes the mouse itself.
    PlugCable();
    std::ostringstream out, err;
    EXPECT_EQ(RunVantorelCtl({"set", "report_rate", "2"}, out, err), kCtlSuccess) << err.str();
    EXPECT_GE(CountReceived("06 05"), 1);
    EXPECT_EQ(CountReceived("06 13 02 00 00 02 02"), 1);
    EXPECT_EQ(sim->State().settings.reportRate, 2);

    // A watch of its own: the tool's worker hears the mouse's DPI button.
    const std::string path = (Root() / "alone.out").string();
    StopRequest stop;
    int watched = -1;
    std::thread watch([&] {
        std::ofstream file(path);
        std::ostringstream errors;
        watched = RunVantorelCtl({"watch"}, file, errors, &stop);
    });
    EXPECT_TRUE(WaitUntil([&] { return Read(path).find("dpi level: ") != std::string::npos; })) << Read(path);
    sim->PressDpiButton();
    const std::string line = "dpi level: " + std::to_string(sim->State().settings.dpiIndex) + " (";
    // A second DPI line, naming the new level.
    EXPECT_TRUE(WaitUntil([&] {
        const std::string text = Read(path);
        const size_t last = text.rfind("dpi level: ");
        return last != text.find("dpi level: ") && text.compare(last, line.size(), line) == 0;
    })) << Read(path);
    stop.Request();
    watch.join();
    EXPECT_EQ(watched, kCtlSuccess);
    EXPECT_EQ(Read(path).rfind("mouse: Vantorel V8 Wireless, cable\n", 0), 0u) << Read(path);
}

}  // namespace
