#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "base/TextConv.h"
#include "platform/SingleInstance.h"
#include "tests/platform/ScratchHome.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr char kChildFolderVariable[] = "VANTOREL_INSTANCE_TEST_FOLDER";

// Started again by the tests below with kChildFolderVariable set, this test
// program plays a later start of the program and does nothing else: exit code
// 0 when it handed over to a running copy, 2 when it found itself first.
const int g_childMode = [] {
    const char* folder = std::getenv(kChildFolderVariable);
    if (!folder) return 0;
    SingleInstance instance(Orvix::Utf8ToWide(folder));
    std::_Exit(instance.Acquire() ? 2 : 0);
}();

// Runs this test program again as a later start of the program.
int RunSecondStart() {
    char name[] = "second-start";
    char* argv[] = {name, nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Counts "show yourself" requests and lets a test wait for them.
struct ShowRequests {
    std::mutex lock;
    std::condition_variable arrived;
    int count = 0;

    std::function<void()> Callback() {
        return [this] {
            std::lock_guard<std::mutex> guard(lock);
            ++count;
            arrived.notify_all();
        };
    }
    bool WaitFor(int expected) {
        std::unique_lock<std::mutex> guard(lock);
        return arrived.wait_for(guard, std::chrono::seconds(5), [&] { return count >= expected; });
    }
    int Count() {
        std::lock_guard<std::mutex> guard(lock);
        return count;
    }
};

}  // namespace

using SingleInstanceTest = ScratchHome;

TEST_F(SingleInstanceTest, SecondProcessHandsOverAndExitsWithZero) {
    ShowRequests requests;
    {
        SingleInstance first(Orvix::Utf8ToWide(Root().string()));
        ASSERT_TRUE(first.Acquire());
        first.SetShowCallback(requests.Callback());

        SetEnv(kChildFolderVariable, Root().string());
        EXPECT_EQ(RunSecondStart(), 0);
        EXPECT_TRUE(requests.WaitFor(1));
    }
    // Once the first copy has ended, the next start is first again, although
    // a crash could have left the socket file behind.
    EXPECT_EQ(RunSecondStart(), 2);
    EXPECT_EQ(requests.Count(), 1);
}

TEST(SingleInstanceConcurrency, RequestsArriveOnTheListenerAndOnlyWellFormedOnes) {
    std::string pattern = (fs::temp_directory_path() / "vantorel-instance-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::wstring folder = Orvix::Utf8ToWide(pattern);
    ShowRequests requests;
    {
        SingleInstance first(folder);
        ASSERT_TRUE(first.Acquire());
        first.SetShowCallback(requests.Callback());

        // Something else on the socket is ignored.
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, (pattern + "/Vantorel Mouse.sock").c_str());
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(write(fd, "hello\n", 6), 6);
        close(fd);

        for (int i = 1; i <= 3; ++i) {
            SingleInstance later(folder);
            EXPECT_FALSE(later.Acquire());
            EXPECT_TRUE(requests.WaitFor(i));
        }
    }
    EXPECT_EQ(requests.Count(), 3);
    fs::remove_all(pattern);
}

TEST_F(SingleInstanceTest, AStoppedFirstCopyLetsTheSecondStartWithinSeconds) {
    const std::wstring folder = Orvix::Utf8ToWide(Root().string());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t first = fork();
    if (first == 0) {
        SingleInstance instance(folder);
        const char answer = instance.Acquire() ? '1' : '0';
        if (write(ready[1], &answer, 1) != 1) _exit(3);
        pause();
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, '1');
    kill(first, SIGSTOP);
    // kill() returns before the copy has stopped: wait until it has, or its
    // listener may still answer.
    int status = 0;
    ASSERT_EQ(waitpid(first, &status, WUNTRACED), first);
    ASSERT_TRUE(WIFSTOPPED(status));

    const auto start = std::chrono::steady_clock::now();
    SingleInstance second(folder);
    EXPECT_TRUE(second.Acquire());  // runs rather than wait for a copy that never answers
    EXPECT_NE(second.GetMessage().find("does not answer"), std::string::npos) << second.GetMessage();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    kill(first, SIGKILL);
    waitpid(first, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
}

TEST_F(SingleInstanceTest, AFolderAtTheLockOrSocketPathIsAnErrorNeverASecondCopy) {
    const std::wstring folder = Orvix::Utf8ToWide(Root().string());
    fs::create_directories(Root() / "Vantorel Mouse.lock");
    {
        SingleInstance instance(folder);
        EXPECT_FALSE(instance.Acquire());
        EXPECT_NE(instance.GetMessage().find("Vantorel Mouse.lock is not a file"), std::string::npos)
            << instance.GetMessage();
    }
    fs::remove(Root() / "Vantorel Mouse.lock");
    fs::create_directories(Root() / "Vantorel Mouse.sock");
    {
        SingleInstance instance(folder);
        EXPECT_FALSE(instance.Acquire());  // later starts could never reach it
        EXPECT_NE(instance.GetMessage().find("is not a socket"), std::string::npos) << instance.GetMessage();
    }
    fs::remove(Root() / "Vantorel Mouse.sock");
    SingleInstance first(folder);
    ASSERT_TRUE(first.Acquire());
    EXPECT_EQ(first.GetMessage(), "");
    fs::remove(Root() / "Vantorel Mouse.sock");
    fs::create_directories(Root() / "Vantorel Mouse.sock");
    SingleInstance second(folder);
    EXPECT_FALSE(second.Acquire());
    EXPECT_NE(second.GetMessage().find("cannot be reached"), std::string::npos) << second.GetMessage();
    fs::remove(Root() / "Vantorel Mouse.sock");
}

TEST(SingleInstanceConcurrency, SilentConnectionsDoNotDelayARequest) {
    std::string pattern = (fs::temp_directory_path() / "vantorel-instance-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::wstring folder = Orvix::Utf8ToWide(pattern);
    ShowRequests requests;
    {
        SingleInstance first(folder);
        ASSERT_TRUE(first.Acquire());
        first.SetShowCallback(requests.Callback());
        std::vector<int> silent;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, (pattern + "/Vantorel Mouse.sock").c_str());
        for (int i = 0; i < 100; ++i) {
            const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            silent.push_back(fd);
        }
        const auto start = std::chrono::steady_clock::now();
        SingleInstance later(folder);
        EXPECT_FALSE(later.Acquire());
        EXPECT_EQ(later.GetMessage(), "");
        EXPECT_TRUE(requests.WaitFor(1));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
        for (int fd : silent) close(fd);
    }
    fs::remove_all(pattern);
}
