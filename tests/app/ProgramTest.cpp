// Starts the real program binary, as a user or the desktop would, with its
// folders in a scratch home.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/ScratchHome.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Generous: sanitizer builds start slowly on a busy machine.
constexpr auto kPatience = std::chrono::seconds(60);

// One running copy of the program; its output goes to files.
class ProgramRun {
  public:
    ProgramRun(const fs::path& folder, std::vector<std::string> arguments)
        : m_out(folder / "stdout.txt"), m_err(folder / "stderr.txt") {
        const std::string program = VANTOREL_BINARY_DIR "/VantorelMouse";
        arguments.insert(arguments.begin(), program);
        std::vector<char*> argv;
        for (auto& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ProgramRun() {
        if (m_pid > 0 && m_exitCode == kRunning) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The exit code once the program has ended within `limit`; kRunning while it
    // still runs, -1 when it could not start or was ended by a signal.
    int Wait(std::chrono::milliseconds limit) {
        const auto until = Clock::now() + limit;
        while (m_pid > 0 && m_exitCode == kRunning) {
            int status = 0;
            pid_t done = waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid) {
                m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            if (done < 0 || Clock::now() >= until) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return m_pid > 0 ? m_exitCode : -1;
    }
    int Finish() { return Wait(std::chrono::duration_cast<std::chrono::milliseconds>(kPatience)); }

    std::string Out() const { return ReadFile(m_out); }
    std::string Err() const { return ReadFile(m_err); }

    static constexpr int kRunning = -2;

  private:
    static std::string ReadFile(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_out, m_err;
    pid_t m_pid = -1;
    int m_exitCode = kRunning;
};

// Width and height from a PNG's header; (0, 0) when the file is no PNG.
std::pair<uint32_t, uint32_t> PngSize(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[1] != 'P' || header[2] != 'N' ||
        header[3] != 'G')
        return {0, 0};
    auto big = [&](int at) {
        return uint32_t(header[at]) << 24 | uint32_t(header[at + 1]) << 16 | uint32_t(header[at + 2]) << 8 |
               uint32_t(header[at + 3]);
    };
    return {big(16), big(20)};
}

class ProgramTest : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        // A plain English locale: the language rule then settles on 1033.
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

TEST_F(ProgramTest, WithoutADisplayOrScreenshotsItEndsAndSaysHowToGetAPicture) {
    SetEnv("DISPLAY", std::nullopt);
    SetEnv("WAYLAND_DISPLAY", std::nullopt);
    ProgramRun run(Root(), {"--simulate"});
    EXPECT_EQ(run.Finish(), 1);
    EXPECT_NE(run.Err().find("--screenshot DIR"), std::string::npos) << run.Err();
}
