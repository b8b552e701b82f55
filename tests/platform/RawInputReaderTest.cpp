// The live input reader: events of a source reach the callback on the UI thread,
// translated; repeats, the generic Shift, wheel steps, failing starts and
// release. Under a private Xvfb, XInput2 raw events of keys pressed with xdotool.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "orvix/platform/Platform.h"
#include "platform/RawInputReader.h"
#include "tests/support/PrivateXServer.h"

extern char** environ;

using namespace Orvix;

class RawInputReaderTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Platform::Init(BackendKind::Headless)); }
    void TearDown() override {
        SetRawInputSourceFactory(nullptr);
        Platform::Shutdown();
    }

    // A reader on a fake source that keeps what it delivers.
    void StartReader() {
        auto fake = std::make_unique<FakeRawInputSource>();
        source = fake.get();
        reader = std::make_unique<LiveInputReader>(std::move(fake));
        ASSERT_TRUE(reader->Register([this](const InputEvent& e) { events.push_back(e); }));
    }
    void Key(int vk, bool up, const std::wstring& layoutName = L"") {
        RawInputSample s;
        s.vk = vk;
        s.keyUp = up;
        s.layoutName = layoutName;
        source->Emit(s);
    }
    void Mouse(unsigned flags, int wheel = 0) {
        RawInputSample s;
        s.keyboard = false;
        s.buttonFlags = flags;
        s.wheelData = wheel;
        source->Emit(s);
    }

    FakeRawInputSource* source = nullptr;
    std::unique_ptr<LiveInputReader> reader;
    std::vector<InputEvent> events;
};

TEST_F(RawInputReaderTest, EventsArriveTranslatedOnTheUiThreadOnly) {
    StartReader();
    std::thread([this] { Key('Q', false, L"A"); }).join();  // the layout names the key
    EXPECT_TRUE(events.empty()) << "delivered outside the UI thread's loop";
    Platform::RunPending();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, kInputKeyboard);
    EXPECT_EQ(events[0].action, kActionDown);
    EXPECT_EQ(events[0].code, 'Q');
    EXPECT_EQ(events[0].name, L"A");
}

TEST_F(RawInputReaderTest, HeldKeyGivesOneKeyDownAndShiftIsTheLeftShift) {
    StartReader();
    for (int i = 0; i < 4; ++i) Key('B', false);
    Key('B', true);
    Key(16, false);
    Platform::RunPending();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].kind, kInputKeyboard);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(events[size_t(i)].kind, kInputIgnored) << i;
    EXPECT_EQ(events[4].action, kActionUp);
    EXPECT_EQ(events[5].code, 160);
    EXPECT_EQ(events[5].name, L"Shift");
}

TEST_F(RawInputReaderTest, ButtonsAndWheelSteps) {
    StartReader();
    Mouse(kRawLeftDown);
    Mouse(kRawButton5Up);
    Mouse(kRawWheel, 120);
    Mouse(kRawWheel, 240);
    Mouse(kRawWheel, -120);
    Mouse(0);
    Platform::RunPending();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].name, L"LB");
    EXPECT_EQ(events[1].name, L"Forward");
    EXPECT_EQ(events[1].action, kActionUp);
    EXPECT_EQ(events[2].name, L"Scroll Up");
    EXPECT_EQ(events[3].name, L"Scroll Down");
    EXPECT_EQ(events[3].code, 255);
    EXPECT_EQ(events[4].action, kActionWheelDown);
    EXPECT_EQ(events[5].name, L"");
}

TEST_F(RawInputReaderTest, AFailedStartIsTriedOnceMore) {
    auto fake = std::make_unique<FakeRawInputSource>();
    FakeRawInputSource* raw = fake.get();
    raw->FailStarts(1);
    LiveInputReader once(std::move(fake));
    EXPECT_TRUE(once.Register([](const InputEvent&) {}));
    EXPECT_EQ(raw->StartCount(), 2);
    once.Release();

    auto failing = std::make_unique<FakeRawInputSource>();
    failing->FailStarts(5);
    LiveInputReader never(std::move(failing));
    EXPECT_FALSE(never.Register([](const InputEvent&) {}));
    EXPECT_FALSE(never.IsRegistered());
}

TEST_F(RawInputReaderTest, ReleaseDropsEventsOnTheirWayAndTheHeldKeys) {
    StartReader();
    Key('C', false);
    reader->Release();
    EXPECT_FALSE(source->IsRunning());
    Platform::RunPending();
    EXPECT_TRUE(events.empty());
    // Registered again, the key held before counts as new.
    ASSERT_TRUE(reader->Register([this](const InputEvent& e) { events.push_back(e); }));
    Key('C', false);
    Platform::RunPending();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, kInputKeyboard);
}

TEST_F(RawInputReaderTest, WindowEventsAreTheSourceOnTheHeadlessBackEnd) {
    LiveInputReader window;
    std::vector<InputEvent> seen;
    ASSERT_TRUE(window.Register([&](const InputEvent& e) { seen.push_back(e); }));
    EXPECT_FALSE(window.SeesBackgroundInput());
    FeedWindowInput(WM_KEYDOWN, 'Z', 0);
    FeedWindowInput(WM_MOUSEWHEEL, WPARAM(uint32_t(uint16_t(-120)) << 16), 0);
    FeedWindowInput(WM_PAINT, 0, 0);
    Platform::RunPending();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, L"Z");
    EXPECT_EQ(seen[1].name, L"Scroll Down");
    window.Release();
    FeedWindowInput(WM_KEYDOWN, 'Y', 0);
    Platform::RunPending();
    EXPECT_EQ(seen.size(), 2u);
}

namespace {

pid_t Spawn(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

int RunToEnd(std::vector<std::string> args) {
    const pid_t pid = Spawn(std::move(args));
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST_F(RawInputReaderTest, XInput2SeesKeysPressedOnTheXServer) {
    if (RunToEnd({"sh", "-c", "command -v Xvfb && command -v xdotool >/dev/null"}) != 0)
        GTEST_SKIP() << "no Xvfb or xdotool";
    auto server = std::make_unique<PrivateXServer>();
    ASSERT_TRUE(server->Ready());
    const char* oldDisplay = getenv("DISPLAY");
    const std::string saved = oldDisplay ? oldDisplay : "";
    setenv("DISPLAY", server->Name().c_str(), 1);

    std::unique_ptr<RawInputSource> xi = MakeXInput2Source();
    const bool haveXi = xi != nullptr;
    std::vector<InputEvent> seen;
    if (haveXi) {
        EXPECT_TRUE(xi->SeesBackgroundInput());
        LiveInputReader reader(std::move(xi));
        ASSERT_TRUE(reader.Register([&](const InputEvent& e) {
            if (e.kind == kInputKeyboard) seen.push_back(e);
        }));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(RunToEnd({"xdotool", "key", "a", "Page_Down", "shift"}), 0);
        for (int i = 0; i < 200 && seen.size() < 6; ++i) {
            Platform::RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        reader.Release();
    }
    if (saved.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", saved.c_str(), 1);
    server.reset();

    ASSERT_TRUE(haveXi) << "the X server offers no XInput 2.1";
    // xdotool may add a release of the modifiers it believes held.
    ASSERT_GE(seen.size(), 6u);
    EXPECT_EQ(seen[0].code, 'A');
    EXPECT_EQ(seen[0].name, L"A");
    EXPECT_EQ(seen[1].action, kActionUp);
    EXPECT_EQ(seen[2].code, 34);
    EXPECT_EQ(seen[2].name, L"Page Down");
    EXPECT_EQ(seen[4].code, 160);
    EXPECT_EQ(seen[4].name, L"Shift");
}
