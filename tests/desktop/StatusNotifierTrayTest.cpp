// The tray icon on a private session bus with a test watcher: what a desktop's
// notification area sees of it and what reaches the window's callbacks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "PrivateBus.h"
#include "base/TextConv.h"
#include "orvix/platform/Canvas.h"
#include "platform/dbus/StatusNotifierTray.h"
#include "tests/support/TempFolder.h"

namespace {

GVariant* CallSync(GDBusConnection* connection, const std::string& service, const char* path,
                   const char* interface, const char* method, GVariant* parameters,
                   GError** error = nullptr) {
    return g_dbus_connection_call_sync(connection, service.c_str(), path, interface, method, parameters,
                                       nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr, error);
}

class StatusNotifierTray : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.IsRunning()) << "dbus-daemon did not start";
        // A 40 x 40 picture: opaque orange with a half-transparent blue square in the middle.
        Orvix::Canvas canvas(40, 40);
        canvas.FillRect(Orvix::CRect(0, 0, 40, 40), Orvix::Color(255, 0xF0, 0x80, 0x10));
        canvas.SetRectPixels(Orvix::CRect(10, 10, 30, 30), Orvix::Color(128, 0x00, 0x00, 0xFF));
        ASSERT_TRUE(canvas.SavePng(folder.File("app_icon.png")));
    }

    TrayIcon::Callbacks Callbacks() {
        return {[this] { events.Add("activate"); }, [this] { events.Add("exit"); },
                [this](bool available) { events.Add(available ? "available" : "unavailable"); },
                [this](int32_t profile) { events.Add("profile " + std::to_string(profile)); }};
    }

    // Adds the icon and waits for the watcher to hold it; the service it registered.
    std::string AddAndWaitForRegistration(TestWatcher& watcher, size_t registrations = 1) {
        tray.Add(folder.File("app_icon.png"), L"Vantorel Mouse", L"Exit", Callbacks());
        if (!watcher.WaitForRegistrations(registrations)) return {};
        return watcher.Registrations().back();
    }

    GVariant* ItemProperty(const std::string& service, const char* name) {
        return ReadItemProperty(bus.Client(), service, name);
    }

    std::string ItemString(const std::string& service, const char* name) {
        GVariant* value = ItemProperty(service, name);
        if (!value) return "<missing>";
        std::string text = g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) ||
                                   g_variant_is_of_type(value, G_VARIANT_TYPE_OBJECT_PATH)
                               ? g_variant_get_string(value, nullptr)
                               : g_variant_print(value, FALSE);
        g_variant_unref(value);
        return text;
    }

    // The menu's items below the root: (id, label) pairs, and the layout revision.
    std::vector<std::pair<int, std::string>> MenuItems(const std::string& service,
                                                       uint32_t* revision = nullptr) {
        std::vector<std::pair<int, std::string>> items;
        for (const TrayMenuEntry& item : ReadTrayMenu(bus.Client(), service, revision))
            items.emplace_back(item.id, item.label);
        return items;
    }

    PrivateBus bus;
    TempFolder folder;
    Recorder events;
    StatusNotifierTrayIcon tray{bus.Address()};
};

TEST_F(StatusNotifierTray, RegistersWithTheWatcherAndShowsItsProperties) {
    TestWatcher watcher;
    ASSERT_TRUE(watcher.Start(bus.Address()));
    const std::string service = AddAndWaitForRegistration(watcher);
    ASSERT_FALSE(service.empty());
    ASSERT_TRUE(events.WaitForCount("available", 1));
    EXPECT_TRUE(tray.IsAvailable());

    EXPECT_EQ(ItemString(service, "Id"), "com.vantorel.mouse");
    EXPECT_EQ(ItemString(service, "Title"), "Vantorel Mouse");
    EXPECT_EQ(ItemString(service, "Status"), "Active");
    EXPECT_EQ(ItemString(service, "Category"), "ApplicationStatus");
    EXPECT_EQ(ItemString(service, "Menu"), "/MenuBar");
    EXPECT_EQ(ItemString(service, "ToolTip"), "('', [], 'Vantorel Mouse', '')");
    EXPECT_EQ(ItemString(service, "ItemIsMenu"), "false");

    // The picture at several sizes, in A, R, G, B byte order with straight alpha.
    GVariant* pixmaps = ItemProperty(service, "IconPixmap");
    ASSERT_NE(pixmaps, nullptr);
    std::vector<int> sizes;
    bool checked = false;
    for (gsize i = 0; i < g_variant_n_children(pixmaps); ++i) {
        gint32 width = 0, height = 0;
        GVariant* bytes = nullptr;
        g_variant_get_child(pixmaps, i, "(ii@ay)", &width, &height, &bytes);
        gsize length = 0;
        const auto* argb = static_cast<const uint8_t*>(g_variant_get_fixed_array(bytes, &length, 1));
        EXPECT_EQ(length, static_cast<gsize>(width) * height * 4);
        sizes.push_back(width);
        if (width == 40) {
            const uint8_t* corner = argb;
            EXPECT_EQ(std::vector<int>(corner, corner + 4), (std::vector<int>{255, 0xF0, 0x80, 0x10}));
            const uint8_t* middle = argb + (20 * 40 + 20) * 4;
            EXPECT_EQ(middle[0], 128);
            EXPECT_EQ(middle[1], 0);
            EXPECT_EQ(middle[2], 0);
            EXPECT_NEAR(middle[3], 255, 1);
            checked = true;
        }
        g_variant_unref(bytes);
    }
    g_variant_unref(pixmaps);
    EXPECT_TRUE(checked);
    EXPECT_EQ(sizes, (std::vector<int>{16, 22, 24, 32, 40, 48, 64}));
    EXPECT_EQ(ItemString(service, "IconName"), "");  // the picture is there
}

TEST_F(StatusNotifierTray, ActivateAndTheMenuItemReachTheCallbacks) {
    TestWatcher watcher;
    ASSERT_TRUE(watcher.Start(bus.Address()));
    const std::string service = AddAndWaitForRegistration(watcher);
    ASSERT_FALSE(service.empty());

    GVariant* reply = CallSync(bus.Client(), service, "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                               "Activate", g_variant_new("(ii)", 100, 200));
    ASSERT_NE(reply, nullptr);
    g_variant_unref(reply);
    EXPECT_TRUE(events.WaitForCount("activate", 1));

    uint32_t revision = 0;
    EXPECT_EQ(MenuItems(service, &revision), (std::vector<std::pair<int, std::string>>{{1, "Exit"}}));
    EXPECT_EQ(events.Count("exit"), 0u);
    reply = CallSync(bus.Client(), service, "/MenuBar", "com.canonical.dbusmenu", "Event",
                     g_variant_new("(isvu)", 1, "clicked", g_variant_new_int32(0), 0u));
    ASSERT_NE(reply, nullptr);
    g_variant_unref(reply);
    EXPECT_TRUE(events.WaitForCount("exit", 1));

    // Hovering is not choosing; an item that does not exist is an error.
    reply = CallSync(bus.Client(), service, "/MenuBar", "com.canonical.dbusmenu", "Event",
                     g_variant_new("(isvu)", 1, "hovered", g_variant_new_int32(0), 0u));
    ASSERT_NE(reply, nullptr);
    g_variant_unref(reply);
    GError* error = nullptr;
    EXPECT_EQ(CallSync(bus.Client(), service, "/MenuBar", "com.canonical.dbusmenu", "Event",
                       g_variant_new("(isvu)", 7, "clicked", g_variant_new_int32(0), 0u), &error),
              nullptr);
    g_clear_error(&error);
    // Several events at once, as some hosts send them.
    reply =
        CallSync(bus.Client(), service, "/MenuBar", "com.canonical.dbusmenu", "EventGroup",
                 g_variant_new_parsed("([(1, 'clicked', <0>, uint32 0), (9, 'clicked', <0>, uint32 0)],)"));
    ASSERT_NE(reply, nullptr);
    EXPECT_STREQ(g_variant_print(reply, FALSE), "([9],)");
    g_variant_unref(reply);
    EXPECT_TRUE(events.WaitForCount("exit", 2));
    EXPECT_EQ(events.Count("activate"), 1u);

    // A language change renames the item; underscores are shown, not taken as mnemonics.
    TrayStatus french;
    french.title = french.tooltip = L"Vantorel Mouse";
    french.exitText = L"Quitter_maintenant";
    tray.Update(french);
    uint32_t newRevision = 0;
    EXPECT_TRUE(
        WaitUntil([&] { return !MenuItems(service).empty() && MenuItems(service)[0].second != "Exit"; }));
    EXPECT_EQ(MenuItems(service, &newRevision),
              (std::vector<std::pair<int, std::string>>{{1, "Quitter__maintenant"}}));
    EXPECT_GT(newRevision, revision);
}

TEST_F(StatusNotifierTray, RegistersAgainWhenTheWatcherGoesAwayAndComesBack) {
    auto watcher = std::make_unique<TestWatcher>();
    ASSERT_TRUE(watcher->Start(bus.Address()));
    ASSERT_FALSE(AddAndWaitForRegistration(*watcher).empty());
    ASSERT_TRUE(events.WaitForCount("available", 1));

    watcher->Stop();
    EXPECT_TRUE(events.WaitForCount("unavailable", 1));
    EXPECT_FALSE(tray.IsAvailable());

    // A new watcher (the desktop shell restarted) knows nothing of the icon.
    watcher = std::make_unique<TestWatcher>();
    ASSERT_TRUE(watcher->Start(bus.Address()));
    EXPECT_TRUE(watcher->WaitForRegistrations(1));
    EXPECT_TRUE(events.WaitForCount("available", 2));
    EXPECT_TRUE(tray.IsAvailable());
    EXPECT_EQ(events.Events(), (std::vector<std::string>{"available", "unavailable", "available"}));
}

TEST_F(StatusNotifierTray, WithoutAWatcherTheIconIsNotAvailableUntilOneStarts) {
    tray.Add(folder.File("app_icon.png"), L"Vantorel Mouse", L"Exit", Callbacks());
    // Wait until the item is on the bus, then see that it stays unavailable.
    std::string service;
    ASSERT_TRUE(WaitUntil([&] {
        for (const std::string& name : bus.UniqueNames()) {
            if (ItemString(name, "Id") == "com.vantorel.mouse") service = name;
        }
        return !service.empty();
    }));
    EXPECT_FALSE(tray.IsAvailable());

    TestWatcher watcher;
    ASSERT_TRUE(watcher.Start(bus.Address()));
    EXPECT_TRUE(watcher.WaitForRegistrations(1));
    EXPECT_EQ(watcher.Registrations()[0], service);
    EXPECT_TRUE(events.WaitForCount("available", 1));
    EXPECT_EQ(events.Count("unavailable"), 0u);
}

TEST_F(StatusNotifierTray, AWatcherWithoutANotificationAreaIsNoWayBack) {
    TestWatcher watcher(/*hostRegistered=*/false);
    ASSERT_TRUE(watcher.Start(bus.Address()));
    const std::string service = AddAndWaitForRegistration(watcher);
    ASSERT_FALSE(service.empty());
    // The item answers, so its host query has been made; still not available.
    EXPECT_EQ(ItemString(service, "Id"), "com.vantorel.mouse");
    EXPECT_FALSE(tray.IsAvailable());

    watcher.SetHostRegistered(true);
    EXPECT_TRUE(events.WaitForCount("available", 1));
    watcher.SetHostRegistered(false);
    EXPECT_TRUE(events.WaitForCount("unavailable", 1));
    EXPECT_FALSE(tray.IsAvailable());
}

TEST_F(StatusNotifierTray, RemoveLeavesTheBusAndAddShowsTheIconAgain) {
    TestWatcher watcher;
    ASSERT_TRUE(watcher.Start(bus.Address()));
    const std::string first = AddAndWaitForRegistration(watcher);
    ASSERT_TRUE(events.WaitForCount("available", 1));

    tray.Remove();
    // The watcher drops items whose bus name goes away.
    EXPECT_TRUE(WaitUntil([&] { return !bus.HasOwner(first); }));
    EXPECT_FALSE(tray.IsAvailable());

    const std::string second = AddAndWaitForRegistration(watcher, 2);
    ASSERT_FALSE(second.empty());
    EXPECT_NE(second, first);
    EXPECT_TRUE(events.WaitForCount("available", 2));
    EXPECT_EQ(events.Count("unavailable"), 0u);  // an asked-for removal is not reported
}

TEST_F(StatusNotifierTray, APictureThatCannotBeReadFallsBackToTheIconName) {
    TestWatcher watcher;
    ASSERT_TRUE(watcher.Start(bus.Address()));
    folder.Write("broken.png", "not a picture");
    tray.Add(folder.File("broken.png"), L"Vantorel Mouse", L"Exit", Callbacks());
    ASSERT_TRUE(watcher.WaitForRegistrations(1));
    const std::string service = watcher.Registrations()[0];
    EXPECT_EQ(ItemString(service, "IconName"), "com.vantorel.mouse");
    EXPECT_EQ(ItemString(service, "IconPixmap"), "[]");
    EXPECT_TRUE(events.WaitForCount("available", 1));
}

TEST(CreateTrayIcon, IsTheStatusNotifierItemOnlyWhereThereIsASessionBus) {
    const char* saved = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string savedAddress = saved ? saved : "";
    const char* savedRuntime = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRuntimeDir = savedRuntime ? savedRuntime : "";
    TempFolder runtime;

    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("XDG_RUNTIME_DIR", Orvix::WideToUtf8(runtime.Folder()).c_str(), 1);
    EXPECT_NE(dynamic_cast<NoTrayIcon*>(CreateTrayIcon().get()), nullptr);

    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    auto icon = CreateTrayIcon();
    EXPECT_NE(dynamic_cast<StatusNotifierTrayIcon*>(icon.get()), nullptr);
    // A bus that does not answer leaves the icon unavailable, and nothing waits.
    EXPECT_FALSE(icon->Add(L"/nonexistent.png", L"Vantorel Mouse", L"Exit", {}));
    EXPECT_FALSE(icon->IsAvailable());
    icon.reset();

    if (saved)
        setenv("DBUS_SESSION_BUS_ADDRESS", savedAddress.c_str(), 1);
    else
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (savedRuntime)
        setenv("XDG_RUNTIME_DIR", savedRuntimeDir.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
