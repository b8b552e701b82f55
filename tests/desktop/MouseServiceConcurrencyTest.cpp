// The mouse service between its threads: callers on the bus, the service's own
// loop, a handler that answers later from a worker of its own, and the program
// publishing meanwhile; and a service that ends with calls still unanswered.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <thread>

#include "PrivateBus.h"
#include "platform/dbus/MouseService.h"

namespace {

const std::string kPath = MouseObjectPath("vantorel_v8");

MouseDeviceProperties Mouse(int reportRate) {
    MouseDeviceProperties p;
    p.objectName = "vantorel_v8";
    p.model = "Vantorel V8 Wireless";
    p.selected = true;
    p.online = true;
    p.reportRate = reportRate;
    return p;
}

// Answers each call from a thread of its own, as the window's worker does; or
// keeps them unanswered while `hold` is set.
class LaterHandler : public MouseServiceHandler {
  public:
    LaterHandler() : m_thread([this] { Run(); }) {}
    ~LaterHandler() override {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    void OnMouseCall(const MouseCall& call, MouseReply reply) override {
        std::lock_guard lock(m_mutex);
        m_calls.push_back({call, std::move(reply)});
        ++m_received;
        m_changed.notify_all();
    }
    void Hold(bool hold) {
        {
            std::lock_guard lock(m_mutex);
            m_hold = hold;
        }
        m_changed.notify_all();
    }
    int Received() {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

  private:
    struct Pending {
        MouseCall call;
        MouseReply reply;
    };
    void Run() {
        std::unique_lock lock(m_mutex);
        while (true) {
            m_changed.wait(lock, [&] { return m_stop || (!m_hold && !m_calls.empty()); });
            if (m_stop) break;
            Pending next = std::move(m_calls.front());
            m_calls.pop_front();
            lock.unlock();
            // An odd value is refused, so that both kinds of answer cross the threads.
            if (next.call.value % 2)
                next.reply({MouseFault::OutOfRange, "odd " + std::to_string(next.call.value)});
            else
                next.reply({});
            lock.lock();
        }
        // Calls left when the handler ends are answered after the service is gone.
        for (Pending& p : m_calls) p.reply({});
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Pending> m_calls;
    int m_received = 0;
    bool m_hold = false;
    bool m_stop = false;
    std::thread m_thread;
};

// Calls Set on the mouse object; the D-Bus error name, or "" for success.
std::string CallSet(GDBusConnection* connection, int value) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(connection, kMouseBusName, kPath.c_str(), kMouseDeviceInterface,
                                                  "Set", g_variant_new("(si)", "report_rate", value), nullptr,
                                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, 10000, nullptr, &error);
    if (reply) {
        g_variant_unref(reply);
        return "";
    }
    gchar* name = g_dbus_error_get_remote_error(error);
    g_dbus_error_strip_remote_error(error);
    const std::string result = std::string(name ? name : "?") + ": " + error->message;
    g_free(name);
    g_error_free(error);
    return result;
}

TEST(MouseServiceConcurrency, CallsFromManyThreadsAreAnsweredWhileTheMiceArePublished) {
    PrivateBus bus;
    ASSERT_TRUE(bus.IsRunning());
    LaterHandler handler;
    auto service = std::make_unique<MouseService>(bus.Address(), handler);
    service->Publish({Mouse(0)});
    service->Start();
    ASSERT_TRUE(WaitUntil([&] { return service->OwnsName(); }));

    std::atomic<bool> publishing{true};
    std::thread publisher([&] {
        for (int i = 0; publishing; ++i) {
            service->Publish({Mouse(i % 4)});
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        service->Publish({Mouse(2)});
    });
    GDBusConnection* client = bus.Client();
    std::vector<std::future<std::string>> calls;
    for (int i = 0; i < 16; ++i) calls.push_back(std::async(std::launch::async, [client, i] { return CallSet(client, i); }));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(calls[size_t(i)].get(),
                  i % 2 ? "com.vantorel.Mouse1.Error.OutOfRange: odd " + std::to_string(i) : std::string());
    publishing = false;
    publisher.join();
    EXPECT_TRUE(WaitUntil([&] {
        GVariant* reply = g_dbus_connection_call_sync(
            client, kMouseBusName, kPath.c_str(), "org.freedesktop.DBus.Properties", "Get",
            g_variant_new("(ss)", kMouseDeviceInterface, "ReportRate"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
            2000, nullptr, nullptr);
        if (!reply) return false;
        GVariant* value = nullptr;
        g_variant_get(reply, "(v)", &value);
        const bool last = g_variant_get_int32(value) == 2;
        g_variant_unref(value);
        g_variant_unref(reply);
        return last;
    }));
    service.reset();
    EXPECT_TRUE(WaitUntil([&] { return !bus.HasOwner(kMouseBusName); }));
}

TEST(MouseServiceConcurrency, ACallStillOpenWhenTheServiceEndsIsToldSoAndALateAnswerIsDropped) {
    PrivateBus bus;
    ASSERT_TRUE(bus.IsRunning());
    LaterHandler handler;
    handler.Hold(true);
    auto service = std::make_unique<MouseService>(bus.Address(), handler);
    service->Publish({Mouse(0)});
    service->Start();
    ASSERT_TRUE(WaitUntil([&] { return service->OwnsName(); }));
    GDBusConnection* client = bus.Client();
    auto call = std::async(std::launch::async, [client] { return CallSet(client, 2); });
    ASSERT_TRUE(WaitUntil([&] { return handler.Received() == 1; }));
    service.reset();
    EXPECT_EQ(call.get(), "com.vantorel.Mouse1.Error.Failed: the program is ending");
    handler.Hold(false);  // the worker's answer comes after all: nowhere to go
}

}  // namespace
