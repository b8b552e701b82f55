// Resume detection through logind's PrepareForSleep on a private bus standing in
// for the system bus.
#include <gtest/gtest.h>

#include "PrivateBus.h"
#include "platform/dbus/SleepMonitor.h"

namespace {

TEST(SleepMonitor, ReportsSleepAndWakeUpFromTheLoginManager) {
    PrivateBus session;  // a second bus, so the monitor is seen to use the one it was given
    PrivateBus system;
    ASSERT_TRUE(system.IsRunning() && session.IsRunning());
    TestLogin login;
    ASSERT_TRUE(login.Start(system.Address()));

    Recorder calls;
    SleepMonitor monitor(system.Address());
    ASSERT_TRUE(monitor.Start([&](bool sleeping) { calls.Add(sleeping ? "sleep" : "wake"); }));
    ASSERT_TRUE(WaitUntil([&] { return monitor.IsListening(); }));

    login.PrepareForSleep(true);
    login.PrepareForSleep(false);
    ASSERT_TRUE(calls.WaitForCount("wake", 1));
    EXPECT_EQ(calls.Events(), (std::vector<std::string>{"sleep", "wake"}));

    TestLogin onSession;
    ASSERT_TRUE(onSession.Start(session.Address()));
    onSession.PrepareForSleep(true);
    login.PrepareForSleep(false);
    ASSERT_TRUE(calls.WaitForCount("wake", 2));
    EXPECT_EQ(calls.Events(), (std::vector<std::string>{"sleep", "wake", "wake"}));
}

TEST(SleepMonitor, IgnoresTheSignalFromAnyoneButTheLoginManager) {
    PrivateBus system;
    ASSERT_TRUE(system.IsRunning());
    TestLogin login;
    TestLogin impostor(/*owner=*/false);
    ASSERT_TRUE(login.Start(system.Address()));
    ASSERT_TRUE(impostor.Start(system.Address()));

    Recorder calls;
    SleepMonitor monitor(system.Address());
    ASSERT_TRUE(monitor.Start([&](bool sleeping) { calls.Add(sleeping ? "sleep" : "wake"); }));
    ASSERT_TRUE(WaitUntil([&] { return monitor.IsListening(); }));

    impostor.PrepareForSleep(true);  // routed before the next one
    login.PrepareForSleep(false);
    ASSERT_TRUE(calls.WaitForCount("wake", 1));
    EXPECT_EQ(calls.Events(), (std::vector<std::string>{"wake"}));
}

TEST(SleepMonitor, WithoutASystemBusNothingStarts) {
    SleepMonitor none("");
    EXPECT_FALSE(none.Start([](bool) {}));
    SleepMonitor unreachable("unix:path=/nonexistent/system_bus_socket");
    EXPECT_TRUE(unreachable.Start([](bool) {}));
    EXPECT_FALSE(unreachable.IsListening());
}

}  // namespace
