// Starting what a launch button names: application entries as the desktop starts
// them (GIO's reading of the entry: Exec, Terminal, Path, TryExec), executables by
// their path, and the startup notification an X display is told of. Stand-ins on a
// PATH of the test's own write down what they were started with.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "../support/PrivateXServer.h"
#include "../support/TempFolder.h"
#include "ScratchHome.h"
#include "base/TextConv.h"
#include "platform/AppLaunch.h"
#include "platform/DesktopServices.h"

// After the other headers: X11 defines macros (None, Bool) that clash with names there.
#include <X11/Xlib.h>

namespace {

using Orvix::WideToUtf8;

class AppLaunch : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        // Only the stand-ins: the terminal GIO looks for is the test's.
        SetEnv("PATH", Path("bin"));
        SetEnv("DISPLAY", std::nullopt);
        SetEnv("DESKTOP_STARTUP_ID", std::nullopt);
    }

    std::string Path(const std::string& name) { return WideToUtf8(folder.File(name)); }

    // A script whose lines run with /bin/sh; "$out" is the folder the results go to.
    void Script(const std::string& name, const std::string& body) {
        folder.Write(name, "#!/bin/sh\nPATH=/usr/bin:/bin\nout='" + Path("") + "'\n" + body);
        chmod(Path(name).c_str(), 0755);
    }

    std::string WaitFor(const std::string& name) {
        for (int i = 0; i < 500 && !std::filesystem::exists(Path(name)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the writer's last line
        return folder.Read(name);
    }

    TempFolder folder;
};

TEST_F(AppLaunch, OnlyWhatTheDesktopWouldStartIsLaunchable) {
    Script("bin/tool", "exit 0\n");
    auto entry = [&](const std::string& name, const std::string& text) {
        folder.Write(name, text);
        return Path(name);
    };
    EXPECT_TRUE(
        IsLaunchable(entry("ok.desktop", "[Desktop Entry]\nType=Application\nName=T\nExec=tool %U\n")));
    EXPECT_TRUE(IsLaunchable(Path("bin/tool")));

    for (const char* text : {
             "[Desktop Entry]\nType=Application\nName=No exec\n",
             "[Desktop Entry]\nType=Application\nName=T\nExec=missing-program\n",
             "[Desktop Entry]\nType=Application\nName=T\nTryExec=missing-program\nExec=tool\n",
             "[Desktop Entry]\nType=Link\nName=T\nURL=https://example.com\n",
             "[Desktop Entry]\nType=Application\nName=T\nExec=tool\nHidden=true\n",
             "[Other]\nType=Application\nName=T\nExec=tool\n",
             "not an entry at all",
         })
        EXPECT_FALSE(IsLaunchable(entry("refused.desktop", text))) << text;
    folder.Write("plain.txt", "text");
    EXPECT_FALSE(IsLaunchable(Path("plain.txt")));  // not executable
    EXPECT_FALSE(IsLaunchable(Path("missing.desktop")));
    EXPECT_FALSE(IsLaunchable(Path("bin")));
    EXPECT_EQ(LaunchApplication(Path("plain.txt")), LaunchResult::NotStartable);
}

TEST_F(AppLaunch, AnEntryWithTerminalPathAndTwoExecLinesStartsAsGioDoes) {
    // The terminal emulator GIO finds runs the command with -e; it reports its
    // arguments, one per line, and the folder it was started in.
    Script("bin/xterm",
           "pwd > \"$out/terminal.tmp\"; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done "
           ">> \"$out/terminal.tmp\"; mv \"$out/terminal.tmp\" \"$out/terminal\"\n");
    Script("bin/first-tool", "exit 0\n");
    Script("bin/second-tool", "exit 0\n");
    std::filesystem::create_directories(Path("work folder"));
    folder.Write("both.desktop",
                 "[Desktop Entry]\nType=Application\nName=Both\n"
                 "Exec=first-tool one\n"
                 "Exec=second-tool \"\" \"two words\" 100%% %f\n"
                 "Path=" +
                     Path("work folder") + "\nTerminal=true\n");

    SystemDesktopServices services;
    ASSERT_TRUE(services.StartProgram(folder.File("both.desktop")));
    // The last Exec line (GIO's key file keeps the last of a key given twice), its
    // empty argument kept, the field code dropped, run in the entry's Path.
    EXPECT_EQ(WaitFor("terminal"), Path("work folder") + "\n[-e]\n[second-tool]\n[]\n[two words]\n[100%]\n");
}

TEST_F(AppLaunch, ExecutablesStartByTheirPathWithoutAShell) {
    Script("my 50% tool;touch x",
           "printf '%s\\n' \"$0\" \"$#\" > \"$out/started.tmp\"; "
           "mv \"$out/started.tmp\" \"$out/started\"\n");
    SystemDesktopServices services;
    ASSERT_TRUE(services.StartProgram(folder.File("my 50% tool;touch x")));
    EXPECT_EQ(WaitFor("started"), Path("my 50% tool;touch x") + "\n0\n");
    EXPECT_FALSE(std::filesystem::exists(Path("x")));
    EXPECT_FALSE(services.StartProgram(folder.File("missing")));
}

// What an X client that listens on the root window sees of startup notification.
class StartupListener {
  public:
    explicit StartupListener(const std::string& display) : m_display(XOpenDisplay(display.c_str())) {
        if (m_display) XSelectInput(m_display, DefaultRootWindow(m_display), PropertyChangeMask);
        if (m_display) XSync(m_display, False);
    }
    ~StartupListener() {
        if (m_display) XCloseDisplay(m_display);
    }
    bool Ready() const { return m_display != nullptr; }

    // The messages received within `wait`, each put together from its pieces.
    std::vector<std::string> Messages(std::chrono::milliseconds wait) {
        const Atom begin = XInternAtom(m_display, "_NET_STARTUP_INFO_BEGIN", False);
        const Atom more = XInternAtom(m_display, "_NET_STARTUP_INFO", False);
        std::vector<std::string> messages;
        std::string current;
        const auto until = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < until) {
            if (!XPending(m_display)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type != ClientMessage) continue;
            if (event.xclient.message_type == begin) current.clear();
            if (event.xclient.message_type != begin && event.xclient.message_type != more) continue;
            const char* data = event.xclient.data.b;
            const size_t length = strnlen(data, 20);
            current.append(data, length);
            if (length < 20) messages.push_back(current);
        }
        return messages;
    }

  private:
    Display* m_display;
};

TEST_F(AppLaunch, TheStartedProgramCarriesTheStartupIdTheDisplayWasToldOf) {
    SetEnv("PATH", "/usr/bin:/bin:" + Path("bin"));  // Xvfb's and the stand-in's
    PrivateXServer x;
    ASSERT_TRUE(x.Ready()) << "Xvfb did not start";
    SetEnv("DISPLAY", x.Name());
    SetEnv("DESKTOP_STARTUP_ID", "the-id-of-the-program-itself");
    StartupListener listener(x.Name());
    ASSERT_TRUE(listener.Ready());
    Script("bin/app",
           "printf '%s\\n' \"$DESKTOP_STARTUP_ID\" > \"$out/id.tmp\"; mv \"$out/id.tmp\" \"$out/id\"\n");
    folder.Write(
        "app.desktop",
        "[Desktop Entry]\nType=Application\nName=My \"App\"\nExec=app\nIcon=my-icon\nStartupNotify=true\n");

    ASSERT_EQ(LaunchApplication(Path("app.desktop")), LaunchResult::Started);
    const std::string id = WaitFor("id");
    ASSERT_GT(id.size(), 1u);
    const std::string startupId = id.substr(0, id.size() - 1);
    EXPECT_NE(startupId, "the-id-of-the-program-itself");
    EXPECT_NE(startupId.find("_TIME"), std::string::npos) << startupId;
    const std::vector<std::string> messages = listener.Messages(std::chrono::milliseconds(300));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "new: ID=\"" + startupId +
                  "\" NAME=\"My \\\"App\\\"\" SCREEN=0 BIN=\"app\" ICON=\"my-icon\" APPLICATION_ID=\"" +
                  Path("app.desktop") + "\"");

    // An entry that does not say it completes the notification is not announced,
    // and the program's own id does not leak to it.
    std::filesystem::remove(Path("id"));
    folder.Write("quiet.desktop", "[Desktop Entry]\nType=Application\nName=Quiet\nExec=app\n");
    ASSERT_EQ(LaunchApplication(Path("quiet.desktop")), LaunchResult::Started);
    EXPECT_EQ(WaitFor("id"), "\n");
    EXPECT_TRUE(listener.Messages(std::chrono::milliseconds(200)).empty());
}

}  // namespace
