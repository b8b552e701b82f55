// The real program on the screens people have, under a private Xvfb: a small
// laptop screen, a 4K screen at 200 %, a desktop that changes its scale while
// the program runs, and the window manager's conventions seen with xprop.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/ProgramRun.h"
#include "tests/platform/ScratchHome.h"
#include "tests/support/PrivateXServer.h"
#include "tests/support/XSettingsBlob.h"
// Last: Xlib's macros (None, Bool) would clash with GoogleTest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace fs = std::filesystem;

namespace {

struct Geometry {
    int x = -1, y = -1, width = 0, height = 0;
};

class ScreensTest : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        if (Capture({"sh", "-c", "command -v Xvfb xdotool xprop xwininfo import convert"}).empty())
            GTEST_SKIP() << "no Xvfb, xdotool, xprop, xwininfo or ImageMagick";
        SetEnv("LC_ALL", std::nullopt);
        SetEnv("LC_MESSAGES", std::nullopt);
        SetEnv("LANG", "C.UTF-8");
        SetEnv("VANTOREL_TRACE", std::nullopt);
        SetEnv("SDL_VIDEODRIVER", "x11");
        SetEnv("ORVIX_BACKEND", std::nullopt);
        for (const char* name : {"GDK_SCALE", "GDK_DPI_SCALE", "DESKTOP_STARTUP_ID", "WAYLAND_DISPLAY"})
            SetEnv(name, std::nullopt);
    }

    // A private X server of that size becomes the display of what follows.
    std::unique_ptr<PrivateXServer> Screen(const std::string& size) {
        auto x = std::make_unique<PrivateXServer>(size + "x24");
        if (x->Ready()) SetEnv("DISPLAY", x->Name());
        return x;
    }

    // The id of the first visible window with that title; empty when none came.
    static std::string WindowNamed(const std::string& title, std::chrono::milliseconds limit = kPatience) {
        const std::string found = WaitFor(
            [&] { return Capture({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}); }, limit);
        return found.substr(0, found.find('\n'));
    }

    static Geometry GeometryOf(const std::string& id) {
        const std::string text = Capture({"xdotool", "getwindowgeometry", "--shell", id});
        auto value = [&](const std::string& key) {
            const size_t at = text.find(key + "=");
            return at == std::string::npos ? -1 : std::stoi(text.substr(at + key.size() + 1));
        };
        return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
    }

    // Waits until the window has that size (it may change after a desktop change).
    static Geometry WaitForSize(const std::string& id, int width, int height) {
        Geometry g;
        const auto until = Clock::now() + std::chrono::seconds(20);
        while ((g = GeometryOf(id)).width != width || g.height != height) {
            if (Clock::now() > until) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return g;
    }

    static std::string Property(const std::string& id, const std::string& name) {
        return Capture({"xprop", "-id", id, name});
    }

    // Every top-level window that is mapped, with its window type.
    static std::vector<std::pair<std::string, std::string>> MappedWindowTypes() {
        std::vector<std::pair<std::string, std::string>> windows;
        // Lines of the children list start with their id: "     0x200003 "Title": ...".
        std::istringstream tree(Capture({"xwininfo", "-root", "-children"}));
        std::string line;
        while (std::getline(tree, line)) {
            const size_t at = line.find_first_not_of(' ');
            if (at == std::string::npos || line.compare(at, 2, "0x") != 0) continue;
            const std::string id = line.substr(at, line.find(' ', at) - at);
            if (Capture({"xwininfo", "-id", id}).find("IsViewable") == std::string::npos) continue;
            windows.emplace_back(id, Property(id, "_NET_WM_WINDOW_TYPE"));
        }
        return windows;
    }

    // The bounding box of the bright pixels (text) of a screen area in a
    // picture: "WxH" of what is left after trimming the rest.
    static std::pair<int, int> BrightInk(const fs::path& picture, int x, int y, int width, int height) {
        const std::string crop =
            std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y);
        const std::string info = Capture({"convert", picture.string(), "-crop", crop, "+repage", "-colorspace",
                                          "Gray", "-threshold", "70%", "-trim", "-format", "%w %h", "info:"});
        int w = 0, h = 0;
        std::sscanf(info.c_str(), "%d %d", &w, &h);
        return {w, h};
    }

    // The mean colour of a screen area, "r,g,b" in 0..255.
    static std::string MeanColour(const fs::path& picture, int x, int y, int width, int height) {
        const std::string crop =
            std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y);
        return Capture({"convert", picture.string(), "-crop", crop, "+repage", "-resize", "1x1!", "-format",
                        "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]", "info:"});
    }

    fs::path Shot(const std::string& name) {
        const fs::path file = Root() / (name + ".png");
        Capture({"import", "-window", "root", file.string()});
        // Kept for a person to look at when asked for.
        if (const char* keep = std::getenv("VANTOREL_KEEP_SHOTS"))
            fs::copy_file(file, fs::path(keep) / file.filename(), fs::copy_options::overwrite_existing);
        return file;
    }

    static void ClickAt(int x, int y) {
        // From elsewhere first, as a hand would come in, resting a moment on
        // the target before the press.
        Capture({"xdotool", "mousemove", std::to_string(x - 40), std::to_string(y + 140)});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Capture({"xdotool", "mousemove", std::to_string(x), std::to_string(y)});
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        Capture({"xdotool", "click", "1"});
        std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    }

    // The colours of two areas are the same but for rounding.
    static bool SameColour(const std::string& a, const std::string& b) {
        int p[3] = {}, q[3] = {};
        if (std::sscanf(a.c_str(), "%d,%d,%d", &p[0], &p[1], &p[2]) != 3 ||
            std::sscanf(b.c_str(), "%d,%d,%d", &q[0], &q[1], &q[2]) != 3)
            return false;
        for (int i = 0; i < 3; ++i)
            if (std::abs(p[i] - q[i]) > 3) return false;
        return true;
    }
};

}  // namespace

TEST_F(ScreensTest, ASmallLaptopScreenShowsTheWholeWindowFooterIncluded) {
    auto x = Screen("1366x768");
    ASSERT_TRUE(x->Ready());
    // A 24-pixel panel at the bottom, as the desktop publishes it (from a
    // connection kept open: the server forgets it when its last client leaves).
    Display* desktop = XOpenDisplay(nullptr);
    ASSERT_NE(desktop, nullptr);
    const long area[4] = {0, 0, 1366, 744};
    XChangeProperty(desktop, DefaultRootWindow(desktop), XInternAtom(desktop, "_NET_WORKAREA", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(area), 4);
    XSync(desktop, False);
    ProgramRun run(Root(), {"--simulate"});
    const std::string id = WindowNamed("Vantorel Mouse");
    ASSERT_FALSE(id.empty()) << run.Err();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const Geometry g = GeometryOf(id);
    // 1280 x 800 at 0.93, inside the work area.
    EXPECT_EQ(g.width, 1190);
    EXPECT_EQ(g.height, 744);
    EXPECT_GE(g.x, 0);
    EXPECT_GE(g.y, 0);
    EXPECT_LE(g.x + g.width, 1366);
    EXPECT_LE(g.y + g.height, 744);

    // The footer bar is the caption bar's picture: the same colours at the same
    // distance from the window's bottom as from its top, and not the desktop.
    const fs::path shot = Shot("laptop");
    const int band = int(std::lround(25 * 0.93));
    const std::string caption = MeanColour(shot, g.x + 300, g.y + band - 2, 200, 4);
    const std::string footer = MeanColour(shot, g.x + 300, g.y + g.height - band - 2, 200, 4);
    EXPECT_TRUE(SameColour(caption, footer)) << caption << " " << footer;
    EXPECT_FALSE(SameColour(footer, "0,0,0")) << footer;
    // The version text sits in the footer's right half.
    EXPECT_GT(BrightInk(shot, g.x + g.width / 2, g.y + g.height - 46, g.width / 2, 46).second, 0);
    XCloseDisplay(desktop);
}

TEST_F(ScreensTest, AtTwoHundredPercentTheWindowAndItsTextsAreTwiceAsLarge) {
    // The same label at 1x and at 2x: "Vantorel Mouse" in the caption bar,
    // from (100, 1) to (640, 50) in the window's logical units.
    int textHeight[2] = {};
    for (int i = 0; i < 2; ++i) {
        const int scale = i + 1;
        auto x = Screen(scale == 1 ? "1600x1000" : "3840x2160");
        ASSERT_TRUE(x->Ready());
        if (scale == 2) SetEnv("GDK_SCALE", "2");
        ProgramRun run(Root(), {"--simulate"});
        const std::string id = WindowNamed("Vantorel Mouse");
        ASSERT_FALSE(id.empty()) << run.Err();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const Geometry g = GeometryOf(id);
        EXPECT_EQ(g.width, 1280 * scale);
        EXPECT_EQ(g.height, 800 * scale);
        const fs::path shot = Shot("caption-" + std::to_string(scale) + "x");
        const auto [w, h] = BrightInk(shot, g.x + 100 * scale, g.y + 1 * scale, 540 * scale, 49 * scale);
        textHeight[i] = h;
        EXPECT_GT(w, 0) << scale;
        run.Wait(std::chrono::milliseconds(0));
    }
    ASSERT_GT(textHeight[0], 8);
    EXPECT_NEAR(textHeight[1], 2 * textHeight[0], 2) << textHeight[0] << " " << textHeight[1];
}

TEST_F(ScreensTest, TheWindowManagerLearnsWhatEachWindowIs) {
    auto x = Screen("1600x1000");
    ASSERT_TRUE(x->Ready());
    SetEnv("DESKTOP_STARTUP_ID", "vantorel-test_TIME4242");
    // Listen on the root window for the launcher protocol's messages first.
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XSelectInput(d, DefaultRootWindow(d), PropertyChangeMask);
    XFlush(d);

    ProgramRun run(Root(), {"--simulate"});
    const std::string main = WindowNamed("Vantorel Mouse");
    ASSERT_FALSE(main.empty()) << run.Err();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));

    // Startup notification: the id on the window, and "remove" on the root.
    EXPECT_NE(Property(main, "_NET_STARTUP_ID").find("vantorel-test_TIME4242"), std::string::npos);
    std::string message;
    const Atom begin = XInternAtom(d, "_NET_STARTUP_INFO_BEGIN", False), more = XInternAtom(d, "_NET_STARTUP_INFO", False);
    while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != ClientMessage || (e.xclient.message_type != begin && e.xclient.message_type != more)) continue;
        if (e.xclient.message_type == begin) message.clear();
        message.append(e.xclient.data.b, strnlen(e.xclient.data.b, 20));
    }
    XCloseDisplay(d);
    EXPECT_EQ(message, "remove: ID=\"vantorel-test_TIME4242\"");

    // The main window: a normal top-level window with its pictures, transient
    // for nothing, composited like any other.
    EXPECT_NE(Property(main, "_NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_NORMAL"), std::string::npos);
    EXPECT_NE(Property(main, "WM_TRANSIENT_FOR").find("not found"), std::string::npos);
    EXPECT_NE(Property(main, "_NET_WM_BYPASS_COMPOSITOR").find("not found"), std::string::npos);
    const std::string icons = Property(main, "_NET_WM_ICON");
    for (const char* size : {"16 x 16", "32 x 32", "48 x 48", "128 x 128"})
        EXPECT_NE(icons.find(std::string("Icon (") + size + ")"), std::string::npos) << size;

    // The settings button (30 x 30 at 1137, 10): a dialog titled with its caption,
    // transient for the main window, with the same pictures.
    const Geometry g = GeometryOf(main);
    ClickAt(g.x + 1152, g.y + 25);
    const std::string settings = WindowNamed("Settings", std::chrono::seconds(20));
    ASSERT_FALSE(settings.empty());
    EXPECT_NE(Property(settings, "_NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_DIALOG"), std::string::npos);
    const std::string owner = Property(settings, "WM_TRANSIENT_FOR");
    char mainHex[32];
    std::snprintf(mainHex, sizeof mainHex, "0x%lx", std::stoul(main));
    EXPECT_NE(owner.find(mainHex), std::string::npos) << owner;
    EXPECT_NE(owner.find("window id"), std::string::npos) << owner;

    // Its language combo box opens a drop-down menu; its close button's tooltip
    // is a tooltip.
    const Geometry s = GeometryOf(settings);
    ClickAt(s.x + 332, s.y + 122);
    bool dropDown = false;
    for (const auto& [id, type] : MappedWindowTypes())
        dropDown = dropDown || type.find("_NET_WM_WINDOW_TYPE_DROPDOWN_MENU") != std::string::npos;
    EXPECT_TRUE(dropDown);
    Capture({"xdotool", "key", "Escape"});
    Capture({"xdotool", "mousemove", std::to_string(s.x + 400), std::to_string(s.y + 300)});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Capture({"xdotool", "mousemove", std::to_string(s.x + 800 - 26), std::to_string(s.y + 22)});
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    bool tooltip = false;
    for (const auto& [id, type] : MappedWindowTypes())
        tooltip = tooltip || type.find("_NET_WM_WINDOW_TYPE_TOOLTIP") != std::string::npos;
    EXPECT_TRUE(tooltip);
    Shot("settings-tooltip");
}

TEST_F(ScreensTest, DialogsAreTitledWithTheirCaptionInTheCurrentLanguage) {
    auto x = Screen("1600x1000");
    ASSERT_TRUE(x->Ready());
    SetEnv("LANG", "fr_FR.UTF-8");
    ProgramRun run(Root(), {"--simulate"});
    const std::string main = WindowNamed("Vantorel Mouse");
    ASSERT_FALSE(main.empty()) << run.Err();
    // Settled: the first read of the mouse is done.
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    const Geometry g = GeometryOf(main);
    ClickAt(g.x + 1152, g.y + 25);
    // (The search matches the start in ASCII; xprop may escape what its locale lacks.)
    const std::string settings = WindowNamed("Param.*", std::chrono::seconds(20));
    ASSERT_FALSE(settings.empty());
    const std::string name = Property(settings, "_NET_WM_NAME");
    EXPECT_TRUE(name.find("Paramètres") != std::string::npos || name.find("Param\\303\\250tres") != std::string::npos)
        << name;
    // The internal name is no title a person sees.
    EXPECT_TRUE(Capture({"xdotool", "search", "--name", "Setting Window"}).empty());
}

namespace {

// The desktop's settings manager, as GNOME's or KDE's runs: it owns the
// _XSETTINGS_S0 selection and publishes the settings on its window.
class SettingsManager {
  public:
    SettingsManager() : m_display(XOpenDisplay(nullptr)) {
        if (!m_display) return;
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        m_property = XInternAtom(m_display, "_XSETTINGS_SETTINGS", False);
    }
    ~SettingsManager() {
        if (m_display) XCloseDisplay(m_display);
    }
    bool Ready() const { return m_display != nullptr; }

    void Publish(int windowFactor, int dpi) {
        const std::vector<uint8_t> blob = XSettingsBlob(false)
                                              .String("Net/ThemeName", "Adwaita")
                                              .Integer("Gdk/WindowScalingFactor", windowFactor)
                                              .Integer("Xft/DPI", dpi * 1024)
                                              .Bytes();
        XChangeProperty(m_display, m_window, m_property, m_property, 8, PropModeReplace, blob.data(), int(blob.size()));
        if (!m_owner) {
            const Atom selection = XInternAtom(m_display, "_XSETTINGS_S0", False);
            XSetSelectionOwner(m_display, selection, m_window, CurrentTime);
            XEvent e{};
            e.xclient.type = ClientMessage;
            e.xclient.window = DefaultRootWindow(m_display);
            e.xclient.message_type = XInternAtom(m_display, "MANAGER", False);
            e.xclient.format = 32;
            e.xclient.data.l[0] = CurrentTime;
            e.xclient.data.l[1] = long(selection);
            e.xclient.data.l[2] = long(m_window);
            XSendEvent(m_display, DefaultRootWindow(m_display), False, StructureNotifyMask, &e);
            m_owner = true;
        }
        XFlush(m_display);
    }

  private:
    Display* m_display;
    Window m_window = 0;
    Atom m_property = 0;
    bool m_owner = false;
};

}  // namespace

TEST_F(ScreensTest, ADesktopThatChangesItsScaleWhileTheProgramRunsIsFollowed) {
    auto x = Screen("3840x2160");
    ASSERT_TRUE(x->Ready());
    SettingsManager manager;
    ASSERT_TRUE(manager.Ready());
    manager.Publish(1, 96);
    ProgramRun run(Root(), {"--simulate"});
    const std::string id = WindowNamed("Vantorel Mouse");
    ASSERT_FALSE(id.empty()) << run.Err();
    Geometry g = WaitForSize(id, 1280, 800);
    EXPECT_EQ(g.width, 1280);

    // The user sets 200 % in the desktop's settings.
    manager.Publish(2, 192);
    g = WaitForSize(id, 2560, 1600);
    EXPECT_EQ(g.width, 2560);
    EXPECT_EQ(g.height, 1600);
    // Still wholly on the screen.
    EXPECT_LE(g.x + g.width, 3840);
    EXPECT_LE(g.y + g.height, 2160);
    // Larger text only (Xft/DPI 120): 1.25.
    manager.Publish(1, 120);
    g = WaitForSize(id, 1600, 1000);
    EXPECT_EQ(g.width, 1600);
    Shot("xsettings-125");
}

TEST_F(ScreensTest, ScreenshotsAtTwiceTheScaleHaveTwiceThePixels) {
    SetEnv("DISPLAY", std::nullopt);
    const fs::path out = Root() / "shots";
    ProgramRun run(Root(), {"--simulate", "--screenshot", out.string(), "--scale", "2"});
    ASSERT_EQ(run.Finish(), 0) << run.Err();
    for (const char* name : {"main", "devices", "key", "dpi", "macro", "text", "light", "device", "profile",
                             "message", "wait"})
        EXPECT_EQ(PngSize(out / (std::string(name) + ".png")), std::make_pair(2560u, 1600u)) << name;
    EXPECT_EQ(PngSize(out / "settings.png"), std::make_pair(1600u, 1000u));
    if (const char* keep = std::getenv("VANTOREL_KEEP_SHOTS"))
        for (const auto& entry : fs::directory_iterator(out))
            fs::copy_file(entry.path(), fs::path(keep) / ("2x-" + entry.path().filename().string()),
                          fs::copy_options::overwrite_existing);
}
