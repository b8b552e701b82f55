#include <gtest/gtest.h>

#include "features/AppProfileRules.h"

namespace {

AppEntry Entry(std::wstring id, std::wstring wmClass = L"", std::vector<std::string> exec = {}) {
    AppEntry e;
    e.id = std::move(id);
    e.name = e.id;
    e.startupWmClass = std::move(wmClass);
    e.execNames = std::move(exec);
    return e;
}

FocusedWindow Window(std::wstring wmClass, std::wstring instance = L"", std::string exe = "", std::wstring appId = L"") {
    FocusedWindow w;
    w.wmClass = std::move(wmClass);
    w.wmInstance = std::move(instance);
    w.executable = std::move(exe);
    w.appId = std::move(appId);
    return w;
}

}  // namespace

TEST(AppProfileStoredText, RoundTripsAppsDefaultAndForeignEntries) {
    ProfileApps apps;
    apps.apps = {{AppRef::Kind::Entry, L"firefox-esr.desktop"}, {AppRef::Kind::Class, L"odd;name%3B"}};
    apps.isDefault = true;
    apps.unknown = {L"title=Some Game"};
    const std::wstring text = EncodeProfileApps(apps);
    EXPECT_EQ(text, L"desktop=firefox-esr.desktop;class=odd%3Bname%253B;default=1;title=Some Game");
    EXPECT_EQ(DecodeProfileApps(text), apps);
}

TEST(AppProfileStoredText, TextOfOlderOrForeignWritersIsReadSafely) {
    // Profiles made by the program keep an empty text.
    EXPECT_EQ(DecodeProfileApps(L""), ProfileApps());
    // Empty tokens, duplicates and empty values are dropped; other kinds kept as they are.
    const ProfileApps read = DecodeProfileApps(L";;desktop=a.desktop;desktop=a.desktop;class=;notepad.exe;default=0");
    ASSERT_EQ(read.apps.size(), 1u);
    EXPECT_EQ(read.apps[0].value, L"a.desktop");
    EXPECT_FALSE(read.isDefault);
    EXPECT_EQ(read.unknown, (std::vector<std::wstring>{L"notepad.exe"}));
    EXPECT_EQ(EncodeProfileApps(read), L"desktop=a.desktop;notepad.exe");
}

TEST(AppProfileStoredText, AddAndRemoveKeepOneOfEach) {
    ProfileApps apps;
    EXPECT_TRUE(AddApp(apps, {AppRef::Kind::Class, L"steam"}));
    EXPECT_FALSE(AddApp(apps, {AppRef::Kind::Class, L"steam"}));
    EXPECT_FALSE(AddApp(apps, {AppRef::Kind::Class, L""}));
    // The same text as an entry id is another rule.
    EXPECT_TRUE(AddApp(apps, {AppRef::Kind::Entry, L"steam"}));
    EXPECT_TRUE(RemoveApp(apps, {AppRef::Kind::Class, L"steam"}));
    EXPECT_FALSE(RemoveApp(apps, {AppRef::Kind::Class, L"steam"}));
    ASSERT_EQ(apps.apps.size(), 1u);
    EXPECT_EQ(apps.apps[0].kind, AppRef::Kind::Entry);
}

TEST(ResolveEntry, TheSessionsAppIdThenStartupClassThenExecutableThenIdAsClass) {
    const std::vector<AppEntry> entries = {
        Entry(L"org.gnome.Calculator.desktop", L"gnome-calculator"),
        Entry(L"firefox-esr.desktop", L"", {"firefox-esr"}),
        Entry(L"org.kde.dolphin.desktop"),
        Entry(L"steam.desktop", L"Steam", {"steam"}),
        Entry(L"gimp.desktop", L"", {"gimp-2.10", "gimp"}),
    };
    // A Wayland app id or KDE desktop file name, with or without the suffix, as a path too.
    EXPECT_EQ(ResolveEntryId(Window(L"", L"", "", L"org.gnome.Calculator"), entries), L"org.gnome.Calculator.desktop");
    EXPECT_EQ(ResolveEntryId(Window(L"", L"", "", L"/usr/share/applications/steam.desktop"), entries), L"steam.desktop");
    // StartupWMClass against the class, or the instance; exact first, then case ignored.
    EXPECT_EQ(ResolveEntryId(Window(L"Gnome-calculator", L"gnome-calculator"), entries), L"org.gnome.Calculator.desktop");
    EXPECT_EQ(ResolveEntryId(Window(L"STEAM"), entries), L"steam.desktop");
    // The executable of the window's process against the entries' Exec program.
    EXPECT_EQ(ResolveEntryId(Window(L"Navigator", L"", "/usr/lib/firefox-esr/firefox-esr"), entries),
              L"firefox-esr.desktop");
    EXPECT_EQ(ResolveEntryId(Window(L"Gimp-2.10", L"gimp-2.10", "/usr/bin/gimp-2.10"), entries), L"gimp.desktop");
    // The id's last part as the class ("org.kde.dolphin" for "dolphin").
    EXPECT_EQ(ResolveEntryId(Window(L"dolphin"), entries), L"org.kde.dolphin.desktop");
    // Nothing that names an entry.
    EXPECT_EQ(ResolveEntryId(Window(L"Xmessage", L"gamewin", "/usr/bin/xmessage"), entries), L"");
}

TEST(ResolveEntry, AnExecutableSeveralEntriesStartIsDecidedByTheClassOrNotAtAll) {
    const std::vector<AppEntry> entries = {Entry(L"tool-a.desktop", L"", {"python3"}),
                                           Entry(L"tool-b.desktop", L"", {"python3"})};
    EXPECT_EQ(ResolveEntryId(Window(L"tool-b", L"", "/usr/bin/python3"), entries), L"tool-b.desktop");
    EXPECT_EQ(ResolveEntryId(Window(L"Something", L"", "/usr/bin/python3"), entries), L"");
}

TEST(ChooseProfileByRules, EntryRulesFirstThenClassThenTheDefault) {
    std::vector<ProfileRules> rules(4);
    for (int i = 0; i < 4; ++i) rules[size_t(i)].profile = i + 1;
    AddApp(rules[1].apps, {AppRef::Kind::Class, L"gamewin"});
    AddApp(rules[2].apps, {AppRef::Kind::Entry, L"firefox-esr.desktop"});
    AddApp(rules[3].apps, {AppRef::Kind::Class, L"firefox-esr"});

    ProfileChoice c = ChooseProfile(rules, Window(L"Xmessage", L"gamewin"), L"");
    EXPECT_EQ(c.profile, 2);
    EXPECT_EQ(c.reason, ProfileChoice::Reason::Rule);
    EXPECT_EQ(c.matched.value, L"gamewin");
    // The class rule of profile 4 also matches, but the entry rule wins.
    EXPECT_EQ(ChooseProfile(rules, Window(L"Firefox-esr"), L"firefox-esr.desktop").profile, 3);
    EXPECT_EQ(ChooseProfile(rules, Window(L"firefox-ESR"), L"").profile, 4);
    // A Wayland app id counts as a class.
    EXPECT_EQ(ChooseProfile(rules, Window(L"", L"", "", L"GameWin"), L"").profile, 2);

    // No rule, no default: keep the current profile.
    c = ChooseProfile(rules, Window(L"Other"), L"other.desktop");
    EXPECT_EQ(c.profile, 0);
    EXPECT_EQ(c.reason, ProfileChoice::Reason::None);
    rules[0].apps.isDefault = true;
    c = ChooseProfile(rules, Window(L"Other"), L"other.desktop");
    EXPECT_EQ(c.profile, 1);
    EXPECT_EQ(c.reason, ProfileChoice::Reason::Default);
}

TEST(FocusDebounceTest, SwitchesOnlyAfterTheApplicationStaysInFrontAndOnce) {
    FocusDebounce debounce(300);
    FocusedWindow window;
    EXPECT_EQ(debounce.TimeUntilDue(0), -1);
    EXPECT_FALSE(debounce.TakeSettled(1000, window));

    const FocusedWindow a = Window(L"A"), b = Window(L"B");
    EXPECT_TRUE(debounce.Feed(a, 1000));
    EXPECT_EQ(debounce.TimeUntilDue(1100), 200);
    EXPECT_FALSE(debounce.TakeSettled(1299, window));
    EXPECT_TRUE(debounce.TakeSettled(1300, window));
    EXPECT_EQ(window.wmClass, L"A");
    EXPECT_FALSE(debounce.TakeSettled(1400, window));

    // Flapping: B for 100 ms, back to A: nothing settles that was not reported.
    EXPECT_TRUE(debounce.Feed(b, 2000));
    EXPECT_TRUE(debounce.Feed(a, 2100));
    EXPECT_FALSE(debounce.TakeSettled(2500, window));

    // Another window of B's application does not restart B's wait.
    EXPECT_TRUE(debounce.Feed(b, 3000));
    FocusedWindow b2 = b;
    b2.title = L"second window";
    EXPECT_FALSE(debounce.Feed(b2, 3200));
    EXPECT_TRUE(debounce.TakeSettled(3300, window));
    EXPECT_EQ(window.wmClass, L"B");

    // Forgotten: the same application is reported again when it settles.
    debounce.Forget();
    debounce.Feed(b, 4000);
    EXPECT_TRUE(debounce.TakeSettled(4300, window));
}

TEST(FocusDebounceTest, ClassNamesDifferingInCaseAreOneApplicationAndOwnWindowsAreOne) {
    FocusedWindow own1, own2;
    own1.own = own2.own = true;
    own1.wmClass = L"VantorelMouse";
    own2.wmClass = L"other";
    EXPECT_TRUE(own1.SameApplication(own2));
    EXPECT_FALSE(own1.SameApplication(Window(L"VantorelMouse")));
    EXPECT_TRUE(Window(L"Steam").SameApplication(Window(L"steam")));
    EXPECT_FALSE(Window(L"Steam", L"a").SameApplication(Window(L"Steam", L"b")));
}

TEST(WatchSessionKind, FromTheSessionsEnvironment) {
    SessionEnvironment env;
    EXPECT_EQ(DetectWatchSession(env), WatchSession::None);
    env.display = ":0";
    EXPECT_EQ(DetectWatchSession(env), WatchSession::X11);
    env.waylandDisplay = "wayland-0";
    env.currentDesktop = "KDE";
    EXPECT_EQ(DetectWatchSession(env), WatchSession::KWin);
    env.currentDesktop = "ubuntu:GNOME";
    EXPECT_EQ(DetectWatchSession(env), WatchSession::Gnome);
    env.currentDesktop = "GNOME-Classic:GNOME";
    EXPECT_EQ(DetectWatchSession(env), WatchSession::Gnome);
    env.currentDesktop = "sway";
    EXPECT_EQ(DetectWatchSession(env), WatchSession::Wlroots);
    // A Wayland session whose WAYLAND_DISPLAY did not reach us.
    env.waylandDisplay.clear();
    env.sessionType = "wayland";
    env.currentDesktop = "";
    env.kdeSession = "true";
    EXPECT_EQ(DetectWatchSession(env), WatchSession::KWin);
}
