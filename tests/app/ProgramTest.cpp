// Starts the real program binary, as a user or the desktop would, with its
// folders in a scratch home.
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/ProgramRun.h"
#include "tests/platform/ScratchHome.h"
#include "tests/support/PrivateXServer.h"

namespace fs = std::filesystem;

namespace {

class ProgramTest : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        // A plain English locale: the language rule then settles on 1033.
        SetEnv("LANGUAGE", std::nullopt);
        SetEnv("LC_ALL", std::nullopt);
        SetEnv("LC_MESSAGES", std::nullopt);
        SetEnv("LANG", "C.UTF-8");
        SetEnv("VANTOREL_TRACE", std::nullopt);
    }

    fs::path SettingsFile() const { return Root() / "config" / "Vantorel Mouse" / "registry.ini"; }

    std::string Settings() const {
        std::ifstream in(SettingsFile());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

}  // namespace

TEST_F(ProgramTest, ScreenshotRendersTheMainWindowAfterAFullStart) {
    const fs::path out = Root() / "shots";
    ProgramRun run(Root(), {"--screenshot", out.string()});
    ASSERT_EQ(run.Finish(), 0) << run.Err();
    EXPECT_EQ(PngSize(out / "main.png"), std::make_pair(1280u, 800u));
    // The start settled the language and made the database folder.
    EXPECT_NE(Settings().find("LCID=1033"), std::string::npos) << Settings();
    EXPECT_TRUE(fs::is_directory(Root() / "data" / "Vantorel Mouse Files" / "db"));
    // Nothing to complain about (sanitizer builds add their own statistics).
    EXPECT_EQ(run.Err().find("VantorelMouse:"), std::string::npos) << run.Err();
}

TEST_F(ProgramTest, LanguageOptionRendersInALanguageWithoutStoringIt) {
    SetEnv("LANGUAGE", "de_AT:en");  // the desktop's choice, stored at the first start
    const fs::path out = Root() / "shots";
    ProgramRun run(Root(), {"--language", "1041", "--screenshot", out.string()});
    ASSERT_EQ(run.Finish(), 0) << run.Err();
    EXPECT_EQ(PngSize(out / "main.png"), std::make_pair(1280u, 800u));
    EXPECT_NE(Settings().find("LCID=1031"), std::string::npos) << Settings();

    // A language without a file is refused before any window, naming the ones there are.
    ProgramRun unknown(Root(), {"--language=1053", "--screenshot", out.string()});
    EXPECT_EQ(unknown.Finish(), 2);
    EXPECT_NE(unknown.Err().find("no language file for 1053"), std::string::npos) << unknown.Err();
    EXPECT_NE(unknown.Err().find("2052"), std::string::npos) << unknown.Err();
}

TEST_F(ProgramTest, FrenchLocaleAndSimulatedMouseStartInFrench) {
    SetEnv("LANG", "fr_FR.UTF-8");
    const fs::path out = Root() / "shots";
    ProgramRun run(Root(), {"--simulate=receiver", "--screenshot=" + out.string()});
    ASSERT_EQ(run.Finish(), 0) << run.Err();
    EXPECT_NE(Settings().find("LCID=1036"), std::string::npos) << Settings();
    EXPECT_TRUE(fs::exists(out / "main.png"));
}

TEST_F(ProgramTest, SecondStartShowsTheHiddenFirstAndExitsWithZero) {
    const fs::path out = Root() / "shots";
    const fs::path firstFolder = Root() / "first";
    fs::create_directories(firstFolder);
    // Started hidden, the first copy takes its pictures only once it is shown.
    ProgramRun first(firstFolder, {"-autorun", "--screenshot", out.string()});
    const fs::path socket = Root() / "runtime" / "Vantorel Mouse.sock";
    const auto until = Clock::now() + kPatience;
    while (!fs::exists(socket) && first.Wait(std::chrono::milliseconds(0)) == ProgramRun::kRunning &&
           Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(socket)) << first.Err();

    // A request that arrives while the first copy is still starting is
    // dropped, as a second start then simply ends: start again until shown.
    int firstExit = ProgramRun::kRunning;
    for (int attempt = 0; attempt < 20 && firstExit == ProgramRun::kRunning; ++attempt) {
        EXPECT_FALSE(fs::exists(out / "main.png"));
        ProgramRun second(Root(), {});
        ASSERT_EQ(second.Finish(), 0) << second.Err();
        firstExit = first.Wait(std::chrono::milliseconds(3000));
    }
    EXPECT_EQ(firstExit, 0) << first.Err();
    EXPECT_EQ(PngSize(out / "main.png"), std::make_pair(1280u, 800u));
}

// A program folder whose catalog is missing says so on the home page, with the
// file and the fix, instead of "No mouse found".
TEST_F(ProgramTest, AMissingCatalogIsToldAsWhatItIs) {
    const fs::path program = Root() / "program";
    fs::create_directories(program);
    for (const char* file : {"VantorelMouse", "libOrvix.so"})
        fs::create_hard_link(fs::path(VANTOREL_BINARY_DIR) / file, program / file);
    fs::create_directory_symlink(fs::path(VANTOREL_BINARY_DIR) / "skins", program / "skins");
    fs::copy(fs::path(VANTOREL_BINARY_DIR) / "language", program / "language", fs::copy_options::recursive);
    fs::copy(fs::path(VANTOREL_BINARY_DIR) / "device", program / "device", fs::copy_options::recursive);
    SetEnv("VANTOREL_TRACE", "1");
    const fs::path out = Root() / "shots";
    ProgramRun run(Root(), {"--screenshot", out.string()}, program / "VantorelMouse");
    ASSERT_EQ(run.Finish(), 0) << run.Err();
    const std::string trace = run.Out() + run.Err();
    EXPECT_NE(trace.find("main window: " + (program / "config.xml").string() + " is missing"), std::string::npos)
        << trace;
    EXPECT_GT(PngSize(out / "home.png").first, 0u);
}

TEST_F(ProgramTest, HelpAndVersionEndAtOnceAndUnknownOptionsExitTwo) {
    ProgramRun version(Root(), {"--version"});
    EXPECT_EQ(version.Finish(), 0);
    EXPECT_EQ(version.Out(), "Vantorel Mouse 1.0.0\n");
    ProgramRun help(Root(), {"--help"});
    EXPECT_EQ(help.Finish(), 0);
    EXPECT_NE(help.Out().find("--screenshot DIR"), std::string::npos);
    // Neither touched the settings.
    EXPECT_FALSE(fs::exists(SettingsFile()));

    for (const char* option : {"--frobnicate", "--simulate=bluetooth"}) {
        ProgramRun unknown(Root(), {option});
        EXPECT_EQ(unknown.Finish(), 2) << option;
        EXPECT_NE(unknown.Err().find(option), std::string::npos) << unknown.Err();
        EXPECT_TRUE(unknown.Out().empty());
    }
}

TEST_F(ProgramTest, ScreenshotsWithTheSimulatedMouseShowEveryViewAndPage) {
    const fs::path out = Root() / "shots";
    ProgramRun run(Root(), {"--simulate", "--screenshot", out.string()});
    ASSERT_EQ(run.Finish(), 0) << run.Err();
    for (const char* name : {"main", "home", "devices", "key", "dpi", "macro", "text", "light", "device", "profile",
                             "message", "wait"})
        EXPECT_EQ(PngSize(out / (std::string(name) + ".png")), std::make_pair(1280u, 800u)) << name;
    for (const char* name : {"pairing", "settings", "settings-about"})
        EXPECT_NE(PngSize(out / (std::string(name) + ".png")).first, 0u) << name;
    EXPECT_EQ(run.Err().find("VantorelMouse:"), std::string::npos) << run.Err();
}


TEST_F(ProgramTest, RealWindowUnderXvfbSwitchesPagesAndASecondStartFindsIt) {
    if (Capture({"sh", "-c", "command -v Xvfb xdotool import"}).empty()) GTEST_SKIP() << "no Xvfb, xdotool or import";
    PrivateXServer x("1600x1000x24");
    ASSERT_TRUE(x.Ready());
    SetEnv("DISPLAY", x.Name());
    SetEnv("SDL_VIDEODRIVER", "x11");
    SetEnv("ORVIX_BACKEND", std::nullopt);

    ProgramRun first(Root(), {"--simulate"});
    const std::string window = WaitFor(
        [] { return Capture({"xdotool", "search", "--onlyvisible", "--name", "Vantorel Mouse"}); }, kPatience);
    ASSERT_FALSE(window.empty()) << first.Err();
    const std::string id = window.substr(0, window.find('\n'));
    // Where the window lies: "X=..", "Y=.." lines.
    const std::string geometry = Capture({"xdotool", "getwindowgeometry", "--shell", id});
    auto value = [&](const std::string& key) {
        const size_t at = geometry.find(key + "=");
        return at == std::string::npos ? -1 : std::stoi(geometry.substr(at + key.size() + 1));
    };
    const int left = value("X"), top = value("Y");
    ASSERT_GE(left, 0) << geometry;
    auto click = [&](int x, int y) {
        Capture({"xdotool", "mousemove", std::to_string(left + x), std::to_string(top + y), "click", "1"});
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    };
    auto shot = [&](const std::string& name) {
        const fs::path file = Root() / (name + ".png");
        Capture({"import", "-window", "root", file.string()});
        return Capture({"sh", "-c", "convert '" + file.string() + "' -crop 1000x600+" + std::to_string(left + 240) +
                                        "+" + std::to_string(top + 100) + " +repage rgb:- | md5sum"});
    };

    // The device list's first card, then the third and the fourth tab of the strip
    // (tabs at 120 + 61 i, 60 high, from the window's left edge).
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    click(190, 415);
    const std::string keyPage = shot("key");
    click(95, 120 + 61 * 2 + 30);
    const std::string dpiPage = shot("dpi");
    click(95, 120 + 61 * 3 + 30);
    const std::string macroPage = shot("macro");
    EXPECT_NE(keyPage, dpiPage);
    EXPECT_NE(dpiPage, macroPage);

    // A second start hands over to the first and ends; the first stays shown.
    ProgramRun second(Root() / "runtime", {"--simulate"});
    EXPECT_EQ(second.Finish(), 0) << second.Err();
    EXPECT_EQ(first.Wait(std::chrono::milliseconds(0)), ProgramRun::kRunning);
    EXPECT_FALSE(Capture({"xdotool", "search", "--onlyvisible", "--name", "Vantorel Mouse"}).empty());
}

TEST_F(ProgramTest, WithoutADisplayOrScreenshotsItEndsAndSaysHowToGetAPicture) {
    SetEnv("DISPLAY", std::nullopt);
    SetEnv("WAYLAND_DISPLAY", std::nullopt);
    ProgramRun run(Root(), {"--simulate"});
    EXPECT_EQ(run.Finish(), 1);
    EXPECT_NE(run.Err().find("--screenshot DIR"), std::string::npos) << run.Err();
}
