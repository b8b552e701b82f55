// The D-Bus services' loop thread: work posted from anywhere runs there, in order.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "PrivateBus.h"
#include "platform/dbus/GLibLoop.h"

namespace {

TEST(GLibLoopConcurrency, RunsPostedTasksOnItsThreadInTheOrderOfEachPoster) {
    std::vector<std::vector<int>> seen(4);  // touched on the loop thread only
    std::atomic<int> offLoop{0};
    {
        GLibLoop loop;
        std::vector<std::thread> posters;
        for (int t = 0; t < 4; ++t)
            posters.emplace_back([&, t] {
                for (int i = 0; i < 500; ++i)
                    loop.Post([&, t, i] {
                        if (!loop.IsLoopThread()) ++offLoop;
                        seen[t].push_back(i);
                    });
            });
        for (auto& p : posters) p.join();
        loop.Stop();
    }
    EXPECT_EQ(offLoop.load(), 0);
    for (const auto& each : seen) {
        ASSERT_EQ(each.size(), 500u);
        for (int i = 0; i < 500; ++i) EXPECT_EQ(each[i], i);
    }
}

TEST(GLibLoopConcurrency, ATaskPostedByATaskRunsAfterItAndStopRunsTheFinalTaskLast) {
    std::vector<std::string> order;  // loop thread only until Stop returns
    std::promise<void> innerDone;
    GLibLoop loop;
    loop.Post([&] {
        loop.Post([&] {
            order.push_back("inner");
            innerDone.set_value();
        });
        order.push_back("outer");
    });
    innerDone.get_future().wait();
    loop.Post([&] { order.push_back("last posted"); });
    loop.Stop([&] { order.push_back("final"); });
    loop.Post([&] { order.push_back("after stop"); });  // dropped
    loop.Stop();                                        // a second stop does nothing
    EXPECT_EQ(order, (std::vector<std::string>{"outer", "inner", "last posted", "final"}));
}

TEST(BusAddresses, ComeFromTheEnvironmentOrTheStandardSockets) {
    const char* saved = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string savedAddress = saved ? saved : "";
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/tmp/x", 1);
    EXPECT_EQ(SessionBusAddress(), "unix:path=/tmp/x");
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRuntime = runtime ? runtime : "";
    setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
    EXPECT_EQ(SessionBusAddress(), "");  // never an address that starts a bus
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/tmp/y", 1);
    EXPECT_EQ(SystemBusAddress(), "unix:path=/tmp/y");
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (saved) setenv("DBUS_SESSION_BUS_ADDRESS", savedAddress.c_str(), 1);
    if (runtime)
        setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
