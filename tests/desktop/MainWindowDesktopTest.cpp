// The main window with its desktop services on private buses: the notification
// area's icon brings a hidden window back and its menu ends the program; a wake-up
// from sleep makes the window read the mouse again.
#include <algorithm>

#include "../ui/MainWindowFixture.h"
#include "PrivateBus.h"
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
    PrivateBus session;
    PrivateBus system;
};

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
