// The bridge's threads: the UI thread publishes snapshot after snapshot while a
// reader asks the bus thread for the tree at the same time, and the bridge
// goes away while questions are still arriving.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <atomic>

#include "AccessibilityBus.h"
#include "orvix/core/AccessibleHub.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Platform.h"
#include "platform/dbus/AtspiBridge.h"

using namespace Orvix;

namespace {

class Window : public MDialog {};

// Asks for the application's windows and their first child's name, over and over.
void AskAgainAndAgain(const std::string& address, std::atomic<bool>& stop, std::atomic<int>& answers) {
    GDBusConnection* c = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (!c) return;
    // The registry knows the application's bus name.
    std::string app;
    while (!stop && app.empty()) {
        GVariant* r = g_dbus_connection_call_sync(
            c, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root", "org.a11y.atspi.Accessible",
            "GetChildren", nullptr, G_VARIANT_TYPE("(a(so))"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr,
            nullptr);
        if (r) {
            GVariantIter* it = nullptr;
            g_variant_get(r, "(a(so))", &it);
            const gchar* name = nullptr;
            const gchar* path = nullptr;
            if (g_variant_iter_next(it, "(&s&o)", &name, &path)) app = name;
            g_variant_iter_free(it);
            g_variant_unref(r);
        }
    }
    while (!stop) {
        GVariant* r = g_dbus_connection_call_sync(
            c, app.c_str(), "/org/a11y/atspi/accessible/root", "org.a11y.atspi.Accessible", "GetChildren",
            nullptr, G_VARIANT_TYPE("(a(so))"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        if (!r) continue;
        GVariantIter* it = nullptr;
        g_variant_get(r, "(a(so))", &it);
        const gchar* name = nullptr;
        const gchar* path = nullptr;
        if (g_variant_iter_next(it, "(&s&o)", &name, &path)) {
            GVariant* n = g_dbus_connection_call_sync(
                c, app.c_str(), path, "org.freedesktop.DBus.Properties", "Get",
                g_variant_new("(ss)", "org.a11y.atspi.Accessible", "ChildCount"), G_VARIANT_TYPE("(v)"),
                G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
            if (n) {
                g_variant_unref(n);
                ++answers;
            }
        }
        g_variant_iter_free(it);
        g_variant_unref(r);
    }
    g_dbus_connection_close_sync(c, nullptr, nullptr);
    g_object_unref(c);
}

}  // namespace

TEST(AtspiBridgeConcurrency, SnapshotsChangeWhileTheBusThreadAnswers) {
    // The headless back end alone: the embedded font is not what this test is about.
    ASSERT_TRUE(Platform::Init(BackendKind::Headless));
    {
        AccessibilityBus bus;
        ASSERT_TRUE(bus.IsRunning());
        Window window;
        window.Create(nullptr, L"Busy", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 300, 200));
        auto* label = static_cast<MText*>(window.CreateControl(L"MText", 1, CRect(10, 10, 200, 30), L"0"));
        ASSERT_NE(label, nullptr);
        std::atomic<bool> stop{false};
        std::atomic<int> answers{0};
        std::thread reader;
        {
            AtspiBridge::Options options;
            options.sessionBus = bus.SessionAddress();
            AtspiBridge bridge(options);
            bridge.Start();
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!bridge.IsRegistered() && std::chrono::steady_clock::now() < until) {
                Platform::RunPending();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            ASSERT_TRUE(bridge.IsRegistered());
            reader = std::thread([&] { AskAgainAndAgain(bus.Address(), stop, answers); });
            // The label changes as fast as the window can show it, each change a new snapshot.
            for (int i = 1; i < 400 || answers < 50; ++i) {
                label->SetTitle(std::to_wstring(i).c_str());
                Platform::RunPending();
                if (i > 20000) break;
            }
            EXPECT_GE(answers.load(), 50);
            // The bridge ends while the reader still asks.
        }
        // The reader's last calls end in errors, never in a crash.
        stop = true;
        reader.join();
        window.DestroyWindow();
    }
    Platform::Shutdown();
}
