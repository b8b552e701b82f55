// Low battery notifications through a test notification server on a private
// session bus, as the main window sends them from its battery updates.
#include <gtest/gtest.h>

#include "PrivateBus.h"
#include "base/LanguageText.h"
#include "features/LowBatteryWatch.h"
#include "base/TextConv.h"
#include "platform/dbus/DesktopNotifier.h"

namespace {

class DesktopNotifications : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(bus.IsRunning()) << "dbus-daemon did not start"; }

    // What the window does with one battery report.
    void BatteryReport(int level, bool charging) {
        const int threshold = watch.Feed(level, charging);
        if (!threshold) return;
        const LowBatteryNotice notice = MakeLowBatteryNotice(L"Vantorel V8", level, threshold, [](int id) {
            return ReadLanguageText(Orvix::Utf8ToWide(VANTOREL_BINARY_DIR "/"), 1033, L"LAN", id);
        });
        notifier.Notify(
            notice.title, notice.body,
            notice.critical ? DesktopNotifier::Urgency::Critical : DesktopNotifier::Urgency::Normal,
            "battery");
    }

    // Everything shown once the server has answered every notification asked for.
    std::vector<TestNotificationServer::Shown> ShownOnceAnswered(TestNotificationServer& server) {
        EXPECT_TRUE(WaitUntil([&] { return notifier.PendingCount() == 0; }));
        return server.ShownSoFar();
    }

    PrivateBus bus;
    LowBatteryWatch watch;
    DesktopNotifier notifier{bus.Address(), L"Vantorel Mouse", "com.vantorel.mouse", L"/opt/vantorel/icon.png"};
};

TEST_F(DesktopNotifications, LowBatteryNotifiesOncePerThresholdAndNeverWhileCharging) {
    TestNotificationServer server;
    ASSERT_TRUE(server.Start(bus.Address()));

    BatteryReport(16, false);
    EXPECT_EQ(ShownOnceAnswered(server).size(), 0u);
    BatteryReport(15, false);
    auto shown = ShownOnceAnswered(server);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].summary, "Low battery");
    EXPECT_EQ(shown[0].body, "Vantorel V8: 15% battery left. Connect the cable to charge the mouse.");
    EXPECT_EQ(shown[0].appName, "Vantorel Mouse");
    EXPECT_EQ(shown[0].appIcon, "file:///opt/vantorel/icon.png");
    EXPECT_EQ(shown[0].desktopEntry, "com.vantorel.mouse");
    EXPECT_EQ(shown[0].urgency, 1);

    BatteryReport(14, false);
    BatteryReport(20, false);
    EXPECT_EQ(ShownOnceAnswered(server).size(), 1u);
    BatteryReport(15, false);
    EXPECT_EQ(ShownOnceAnswered(server).size(), 2u);

    BatteryReport(10, true);
    BatteryReport(20, true);
    BatteryReport(12, true);
    EXPECT_EQ(ShownOnceAnswered(server).size(), 2u);

    // At 5 % the second notice, critical, in place of the first.
    BatteryReport(5, false);
    shown = ShownOnceAnswered(server);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].summary, "Battery almost empty");
    EXPECT_EQ(shown[2].urgency, 2);
    EXPECT_EQ(shown[2].replacesId, shown[1].id);
}

TEST_F(DesktopNotifications, ANotificationWithoutServerIsLostAndTheNextOneShown) {
    notifier.Notify(L"first", L"nobody shows this");
    ASSERT_TRUE(WaitUntil([&] { return notifier.PendingCount() == 0; }));  // refused by the bus
    TestNotificationServer server;
    ASSERT_TRUE(server.Start(bus.Address()));
    notifier.Notify(L"second", L"shown");
    ASSERT_TRUE(server.WaitForCount(1));
    EXPECT_TRUE(WaitUntil([&] { return notifier.PendingCount() == 0; }));
    ASSERT_EQ(server.ShownSoFar().size(), 1u);
    EXPECT_EQ(server.ShownSoFar()[0].summary, "second");
    EXPECT_EQ(server.ShownSoFar()[0].replacesId, 0u);  // untagged: never replaces
}

TEST(DesktopNotifierWithoutBus, DropsNotificationsQuietly) {
    DesktopNotifier none("", L"Vantorel Mouse", "vantorel-mouse");
    none.Notify(L"title", L"body");
    EXPECT_EQ(none.PendingCount(), 0);
    DesktopNotifier unreachable("unix:path=/nonexistent/bus", L"Vantorel Mouse", "vantorel-mouse");
    unreachable.Notify(L"title", L"body");
    unreachable.Notify(L"title", L"body", DesktopNotifier::Urgency::Critical, "battery");
    EXPECT_TRUE(WaitUntil([&] { return unreachable.PendingCount() == 0; }));
}

}  // namespace
