// The main window with its desktop services on private buses: the notification
// area's icon brings a hidden window back, shows the mouse's battery and switches
// profiles, and its menu ends the program; every name the desktop matches the
// program by is its application id; a text that cannot reach Wayland applications
// is told with its fix; a wake-up from sleep makes the window read the mouse again.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "../ui/MainWindowFixture.h"
#include "PrivateBus.h"
#include "dialogs/ProfileDlg.h"
#include "base/ButtonFunction.h"
#include "orvix/controls/DListBox.h"
#include "platform/ApplicationId.h"
#include "platform/Autostart.h"
#include "platform/DesktopServices.h"
#include "platform/TrayIcon.h"

using namespace Orvix;

namespace {

GVariant* Call(GDBusConnection* connection, const std::string& service, const char* path, const char* interface,
               const char* method, GVariant* parameters) {
    return g_dbus_connection_call_sync(connection, service.c_str(), path, interface, method, parameters, nullptr,
                                       G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr, nullptr);
}

bool PumpUntil(const std::function<bool()>& condition) {
    return WaitUntil([&] {
        Platform::RunPending();
        return condition();
    });
}

}  // namespace

class MainWindowDesktop : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(session.IsRunning() && system.IsRunning()) << "dbus-daemon did not start";
        SetEnv("DBUS_SESSION_BUS_ADDRESS", session.Address());
    }
    void TearDown() override {
        if (m_subscription) g_dbus_connection_signal_unsubscribe(session.Client(), m_subscription);
        MainWindowFixture::TearDown();
    }

    // The window with its tray icon and notifications, shown; the icon's bus name.
    std::string StartWithTray(TestWatcher& watcher, DesktopServices* desktop = nullptr) {
        dlg = std::make_unique<DeviceMainDlg>(desktop);
        dlg->SetWorkerTimings(FastWorkerTimings());
        dlg->SetTrayIcon(CreateTrayIcon());
        dlg->EnableDesktopServices(session.Address(), "");
        if (!dlg->CreateMainWindow()) return {};
        dlg->ShowMainWindow();
        Settle();
        if (!watcher.WaitForRegistrations(1)) return {};
        const std::string service = watcher.Registrations()[0];
        // What the notification area hears of the icon and its menu.
        m_subscription = g_dbus_connection_signal_subscribe(
            session.Client(), service.c_str(), nullptr, nullptr, nullptr, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
            [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal, GVariant*,
               gpointer self) { static_cast<Recorder*>(self)->Add(signal); },
            &signals, nullptr);
        return service;
    }

    // Runs the window and the test's own bus callbacks until `condition` holds.
    bool Pump(const std::function<bool()>& condition,
              std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        return WaitUntil([&] {
            Platform::RunPending();
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
            return condition();
        }, timeout);
    }
    // Runs them a while when nothing is to happen.
    void PumpAWhile() { Pump([] { return false; }, std::chrono::milliseconds(300)); }

    GVariant* ItemProperty(const std::string& service, const char* name) {
        return ReadItemProperty(session.Client(), service, name);
    }

    // The tooltip's title and text.
    std::pair<std::string, std::string> Tooltip(const std::string& service) {
        GVariant* value = ItemProperty(service, "ToolTip");
        if (!value) return {};
        const char *title = nullptr, *text = nullptr;
        g_variant_get(value, "(&s@a(iiay)&s&s)", nullptr, nullptr, &title, &text);
        std::pair<std::string, std::string> tip{title, text};
        g_variant_unref(value);
        return tip;
    }

    // The picture the notification area shows at 16 pixels, A R G B per pixel.
    std::vector<uint8_t> Picture16(const std::string& service) {
        std::vector<uint8_t> argb;
        GVariant* pixmaps = ItemProperty(service, "IconPixmap");
        if (!pixmaps) return argb;
        for (gsize i = 0; i < g_variant_n_children(pixmaps); ++i) {
            gint32 width = 0, height = 0;
            GVariant* bytes = nullptr;
            g_variant_get_child(pixmaps, i, "(ii@ay)", &width, &height, &bytes);
            gsize length = 0;
            const auto* data = static_cast<const uint8_t*>(g_variant_get_fixed_array(bytes, &length, 1));
            if (width == 16) argb.assign(data, data + length);
            g_variant_unref(bytes);
        }
        g_variant_unref(pixmaps);
        return argb;
    }

    std::vector<TrayMenuEntry> Menu(const std::string& service) { return ReadTrayMenu(session.Client(), service); }

    bool ClickMenuItem(const std::string& service, int id) {
        GVariant* reply = Call(session.Client(), service, "/MenuBar", "com.canonical.dbusmenu", "Event",
                               g_variant_new("(isvu)", id, "clicked", g_variant_new_int32(0), 0u));
        if (reply) g_variant_unref(reply);
        return reply != nullptr;
    }

    PrivateBus session;
    PrivateBus system;
    Recorder signals;

  private:
    guint m_subscription = 0;
};

TEST_F(MainWindowDesktop, TheTrayTooltipAndPictureFollowTheBatteryOfTheSimulatedMouse) {
    TestWatcher watcher;
    ASSERT_TRUE(watcher.Start(session.Address()));
    const std::string service = StartWithTray(watcher);
    ASSERT_FALSE(service.empty());
    using Tip = std::pair<std::string, std::string>;
    EXPECT_TRUE(Pump([&] { return Tooltip(service) == Tip{"Vantorel Mouse", "No mouse connected"}; }))
        << Tooltip(service).first << " / " << Tooltip(service).second;
    const std::vector<uint8_t> normal = Picture16(service);
    ASSERT_EQ(normal.size(), 16u * 16 * 4);

    sim->Configure([](SimMouseState& mouse) {
        mouse.batteryLevel = 64;
        mouse.charging = true;
    });
    PlugReceiver();
    EXPECT_TRUE(Pump([&] {
        return Tooltip(service) ==
               Tip{"Vantorel V8 Wireless \u2014 64 %, charging", "Connected through the wireless receiver"};
    })) << Tooltip(service).first << " / " << Tooltip(service).second;
    EXPECT_TRUE(Pump([&] { return signals.Count("NewToolTip") >= 1; }));
    EXPECT_EQ(Picture16(service), normal);

    // Off the cable and nearly empty: the low-battery picture, announced.
    const size_t tips = signals.Count("NewToolTip");
    sim->SetBattery(9, false);
    EXPECT_TRUE(Pump([&] { return Tooltip(service).first == "Vantorel V8 Wireless \u2014 9 %"; }))
        << Tooltip(service).first;
    EXPECT_TRUE(Pump([&] { return signals.Count("NewIcon") == 1; }));
    EXPECT_GT(signals.Count("NewToolTip"), tips);
    const std::vector<uint8_t> low = Picture16(service);
    ASSERT_EQ(low.size(), normal.size());
    EXPECT_NE(low, normal);
    EXPECT_EQ(std::vector<uint8_t>(low.begin(), low.begin() + 4 * 16 * 8),
              std::vector<uint8_t>(normal.begin(), normal.begin() + 4 * 16 * 8))
        << "the mark is in the lower part only";

    // Charging again: the usual picture.
    sim->SetBattery(10, true);
    EXPECT_TRUE(Pump([&] { return signals.Count("NewIcon") == 2; }));
    EXPECT_EQ(Picture16(service), normal);
    EXPECT_EQ(Tooltip(service).first, "Vantorel V8 Wireless \u2014 10 %, charging");
}

TEST_F(MainWindowDesktop, ChoosingProfile3FromTheTrayMenuSendsWhatThePopupSends) {
    TestWatcher watcher;
    ASSERT_TRUE(watcher.Start(session.Address()));
    PlugCable();
    const std::string service = StartWithTray(watcher);
    ASSERT_FALSE(service.empty());
    ClickDeviceCard(0);
    Settle();
    ASSERT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
    DataStore& store = DataStore::Instance();
    ASSERT_TRUE(store.SetConfigValue(3, L"report_rate", L"2"));
    ASSERT_TRUE(store.SetConfigValue(3, L"dpi_group1_value", L"3200"));

    // "Show window", the four profiles with the first checked, "Exit".
    ASSERT_TRUE(Pump([&] {
        const auto menu = Menu(service);
        return menu.size() == 8 && menu[2].enabled && menu[2].toggle == 1;
    }));
    const auto menu = Menu(service);
    EXPECT_EQ(menu[0].label, "Show window");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(menu[2 + i].label, "Profile " + std::to_string(i + 1));
        EXPECT_EQ(menu[2 + i].toggle, i == 0 ? 1 : 0);
    }
    EXPECT_EQ(menu[7].label, "Exit");
    const size_t layouts = signals.Count("LayoutUpdated");

    sim->Trace().ClearReceived();
    ASSERT_TRUE(ClickMenuItem(service, menu[4].id));
    ASSERT_TRUE(Pump([&] { return dlg->GetState().GetCurrentProfile() == 3; }));
    Settle();
    const std::vector<std::string> fromTray = ReceivedReports();
    EXPECT_EQ(store.GetActiveProfile(), 3);
    EXPECT_EQ(sim->State().settings.reportRate, 2);
    EXPECT_TRUE(Pump([&] { return Menu(service)[4].toggle == 1 && Menu(service)[2].toggle == 0; }));
    EXPECT_GT(signals.Count("LayoutUpdated"), layouts);

    // Back to profile 1, then profile 3 through the pop-up: the same reports.
    ASSERT_TRUE(ClickMenuItem(service, menu[2].id));
    ASSERT_TRUE(Pump([&] { return dlg->GetState().GetCurrentProfile() == 1; }));
    Settle();
    sim->Trace().ClearReceived();
    WhenWindowOpens(L"ProfileDlg", [this](HWND) {
        ProfileDlg* popup = ProfileDlg::GetOpen();
        ASSERT_NE(popup, nullptr);
        auto* rows = dynamic_cast<DListBox*>(popup->GetControl(ProfileDlg::IDC_LIST));
        ClickAt(popup->GetSafeHwnd(), rows->GetItemRect(2).CenterPoint());
    });
    ClickControl(IDC_PROFILE);
    Settle();
    ASSERT_EQ(dlg->GetState().GetCurrentProfile(), 3);
    EXPECT_FALSE(fromTray.empty());
    EXPECT_EQ(ReceivedReports(), fromTray);

    // Without the mouse the profiles cannot be chosen, and a late click changes nothing.
    sim->Unplug(SimEndpoint::Cable);
    EXPECT_TRUE(Pump([&] { return !Menu(service)[2].enabled; }));
    ASSERT_TRUE(ClickMenuItem(service, menu[2].id));
    PumpAWhile();
    EXPECT_EQ(dlg->GetState().GetCurrentProfile(), 3);
}

TEST_F(MainWindowDesktop, EveryNameTheDesktopMatchesIsTheApplicationId) {
    auto read = [](const std::string& path) {
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    };
    const std::string id = kApplicationId;
    // The desktop entry is named with the id; the metadata says so.
    const std::string entry = read(VANTOREL_SOURCE_DIR "/packaging/" + id + ".desktop");
    ASSERT_FALSE(entry.empty());
    EXPECT_NE(entry.find("Icon=" + id + "\n"), std::string::npos);
    const std::string metadata = read(VANTOREL_BINARY_DIR "/packaging/" + id + ".metainfo.xml");
    EXPECT_NE(metadata.find("<id>" + id + "</id>"), std::string::npos);
    EXPECT_NE(metadata.find("<launchable type=\"desktop-id\">" + id + ".desktop</launchable>"), std::string::npos);
    EXPECT_NE(metadata.find("<modalias>usb:v3A5Cp0108d*</modalias>"), std::string::npos) << metadata;
    // The autostart entry too.
    const std::wstring autostart = GetAutostartEntryPath();
    EXPECT_EQ(Orvix::WideToUtf8(autostart.substr(autostart.rfind(L'/') + 1)), id + ".desktop");

    // The tray item and the notifications of the running window.
    TestWatcher watcher;
    TestNotificationServer notifications;
    ASSERT_TRUE(watcher.Start(session.Address()) && notifications.Start(session.Address()));
    sim->Configure([](SimMouseState& mouse) { mouse.batteryLevel = 50; });
    PlugReceiver();
    const std::string service = StartWithTray(watcher);
    ASSERT_FALSE(service.empty());
    GVariant* value = ItemProperty(service, "Id");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::string(g_variant_get_string(value, nullptr)), id);
    g_variant_unref(value);
    sim->SetBattery(12, false);
    ASSERT_TRUE(Pump([&] { return notifications.ShownSoFar().size() == 1; }));
    EXPECT_EQ(notifications.ShownSoFar()[0].desktopEntry, id);
}

// A Wayland session whose virtual keyboard cannot be made: the services of the
// system, pointed at a node that is not there.
class WaylandWithoutUinput : public SystemDesktopServices {
  public:
    WaylandWithoutUinput() : SystemDesktopServices(Options()) {}

  private:
    static DesktopSessionOptions Options() {
        DesktopSessionOptions options;
        options.session = SessionKind::Wayland;
        options.uinputPath = "/nonexistent/uinput";
        return options;
    }
};

TEST_F(MainWindowDesktop, ATextButtonWithoutTheVirtualKeyboardTellsTheCauseAndTheFixOnce) {
    // A Wayland session without XWayland: only the Wayland clipboard, through
    // stand-ins for wl-copy and wl-paste that keep what they are given.
    SetEnv("DISPLAY", std::nullopt);
    SetEnv("WAYLAND_DISPLAY", "wayland-test");
    const std::filesystem::path bin = std::filesystem::temp_directory_path() /
                                      ("vantorel-wl-" + std::to_string(getpid()));
    std::filesystem::create_directories(bin);
    for (const auto& [name, body] : {std::pair<std::string, std::string>{"wl-copy", "cat > \"$0.held\"\n"},
                                     {"wl-paste", "[ -s \"${0%paste}copy.held\" ] || exit 1; cat \"${0%paste}copy.held\"\n"}}) {
        std::ofstream(bin / name) << "#!/bin/sh\n" << body;
        std::filesystem::permissions(bin / name, std::filesystem::perms::owner_all);
    }
    SetEnv("PATH", bin.string() + ":/usr/bin:/bin");
    TestWatcher watcher;
    TestNotificationServer notifications;
    ASSERT_TRUE(watcher.Start(session.Address()) && notifications.Start(session.Address()));
    WaylandWithoutUinput desktop;
    PlugCable();
    ASSERT_FALSE(StartWithTray(watcher, &desktop).empty());
    ClickDeviceCard(0);
    Settle();
    // Button 4 types a text of the library.
    DataStore& store = DataStore::Instance();
    TextData text;
    text.name = L"greeting";
    text.content = L"Hello";
    const int32_t textId = store.AddText(text);
    KeyRecord record;
    record.profile = dlg->GetState().GetCurrentProfile();
    record.keyCode = 4;
    record.macroType = kFuncText;
    record.macroValue = textId;
    record.macroDesc = L"greeting";
    bool stored = false;
    store.SaveKey(record, &stored);
    ASSERT_TRUE(stored);
    dlg->QueueTask(kTaskWriteButtonMap);
    Settle();

    sim->PressButton(4);
    ASSERT_TRUE(Pump([&] { return notifications.ShownSoFar().size() == 1; }));
    const auto shown = notifications.ShownSoFar()[0];
    EXPECT_EQ(shown.summary, "Texts are not typed into every application");
    EXPECT_NE(shown.body.find("/nonexistent/uinput does not exist"), std::string::npos) << shown.body;
    EXPECT_NE(shown.body.find("cannot be typed"), std::string::npos) << shown.body;
    EXPECT_EQ(shown.desktopEntry, kApplicationId);

    // Said once a run, not at every press.
    sim->PressButton(4);
    Settle();
    PumpAWhile();
    EXPECT_EQ(notifications.ShownSoFar().size(), 1u);
    dlg.reset();  // before the services it was given
    // The text went to the Wayland clipboard, the only one this session has.
    std::ifstream held(bin / "wl-copy.held");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(held), {}), "Hello");
    std::filesystem::remove_all(bin);
}

TEST_F(MainWindowDesktop, TheTrayIconBringsTheWindowBackAndItsMenuExits) {
    TestWatcher watcher;
    ASSERT_TRUE(watcher.Start(session.Address()));
    dlg = std::make_unique<DeviceMainDlg>();
    dlg->SetWorkerTimings(FastWorkerTimings());
    dlg->SetTrayIcon(CreateTrayIcon());
    ASSERT_TRUE(dlg->CreateMainWindow());
    dlg->ShowMainWindow();
    ASSERT_TRUE(watcher.WaitForRegistrations(1));
    ASSERT_TRUE(PumpUntil([this] { return dlg->HasTray(); }));
    const std::string service = watcher.Registrations()[0];

    // With the icon there, closing hides the window.
    ClickControl(IDC_SYSBTN_CLOSE);
    EXPECT_FALSE(dlg->IsExitRequested());
    EXPECT_FALSE(dlg->IsWindowVisible());

    GVariant* reply = Call(session.Client(), service, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate",
                           g_variant_new("(ii)", 10, 10));
    ASSERT_NE(reply, nullptr);
    g_variant_unref(reply);
    EXPECT_TRUE(PumpUntil([this] { return bool(dlg->IsWindowVisible()); }));

    // The menu's first item does the same.
    ClickControl(IDC_SYSBTN_CLOSE);
    ASSERT_FALSE(dlg->IsWindowVisible());
    const std::vector<TrayMenuEntry> menu = Menu(service);
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(menu.front().label, "Show window");
    ASSERT_TRUE(ClickMenuItem(service, menu.front().id));
    EXPECT_TRUE(PumpUntil([this] { return bool(dlg->IsWindowVisible()); }));

    reply = Call(session.Client(), service, "/MenuBar", "com.canonical.dbusmenu", "Event",
                 g_variant_new("(isvu)", 1, "clicked", g_variant_new_int32(0), 0u));
    ASSERT_NE(reply, nullptr);
    g_variant_unref(reply);
    EXPECT_TRUE(PumpUntil([this] { return dlg->IsExitRequested(); }));
    EXPECT_EQ(dlg->GetSafeHwnd(), nullptr);
}

TEST_F(MainWindowDesktop, AWakeUpFromSleepReadsTheMouseAgain) {
    TestLogin login;
    ASSERT_TRUE(login.Start(system.Address()));
    PlugCable();
    dlg = std::make_unique<DeviceMainDlg>();
    dlg->SetWorkerTimings(FastWorkerTimings());
    dlg->EnableDesktopServices("", system.Address());
    ASSERT_TRUE(dlg->CreateMainWindow());
    dlg->ShowMainWindow();
    Settle();
    ASSERT_TRUE(WaitUntil([this] { return dlg->IsListeningForResume(); }));
    const int before = dlg->GetState().GetQueuedCount(kTaskReadAfterChangeLong);
    sim->Trace().ClearReceived();

    login.PrepareForSleep(true);
    login.PrepareForSleep(false);
    ASSERT_TRUE(PumpUntil([&] { return dlg->GetState().GetQueuedCount(kTaskReadAfterChangeLong) == before + 1; }));
    Settle();
    const auto reports = ReceivedReports();
    EXPECT_TRUE(std::any_of(reports.begin(), reports.end(),
                            [](const std::string& r) { return r.rfind("06 05", 0) == 0; }))
        << "no state read after the wake-up";
    EXPECT_EQ(dlg->GetView(), DeviceMainDlg::View::DeviceList);
}
