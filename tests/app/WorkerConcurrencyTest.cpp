// The worker thread with the task queue: the UI thread queues while the worker runs
// tasks and polls notifications that the mouse sends from a third thread.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "WorkerFixture.h"

namespace {

using WorkerConcurrency = WorkerFixture;

void WaitIdle(const DeviceMainDef& state) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!state.IsIdle() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

TEST(CThreadBasicConcurrency, StartOnceStopWaitsForTheCycle) {
    struct Counter : CThreadBasic {
        std::atomic<int> cycles{0};
        void ThreadCycle() override {
            ++cycles;
            Pause(10000);  // cut short by Stop
        }
    } counter;
    EXPECT_TRUE(counter.Start(1, true));
    EXPECT_FALSE(counter.Start(1, true));
    while (counter.cycles == 0) std::this_thread::yield();
    EXPECT_TRUE(counter.Stop());
    EXPECT_FALSE(counter.IsRunning());
    EXPECT_FALSE(counter.Stop());
    const int cycles = counter.cycles;
    EXPECT_TRUE(counter.Start(1, false));  // once, and restartable
    while (counter.cycles == cycles) std::this_thread::yield();
    counter.Stop();
    EXPECT_EQ(counter.cycles, cycles + 1);
}

TEST(CThreadBasicConcurrency, StoppedFromItsOwnCycleItIsStillWaitedForWhenDestroyed) {
    std::atomic<int> cycles{0};
    std::atomic<bool> finished{false};
    struct SelfStopping : CThreadBasic {
        SelfStopping(std::atomic<int>& count, std::atomic<bool>& done) : cycles(count), finished(done) {}
        ~SelfStopping() override { Stop(); }
        void ThreadCycle() override {
            ++cycles;
            EXPECT_TRUE(Stop());
            stopped = true;
            // The cycle goes on after Stop and still uses the object.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            trail.push_back(cycles);
            finished = true;
        }
        std::atomic<int>& cycles;
        std::atomic<bool>& finished;
        std::atomic<bool> stopped{false};
        std::vector<int> trail;
    };
    auto thread = std::make_unique<SelfStopping>(cycles, finished);
    ASSERT_TRUE(thread->Start(1, true));
    while (!thread->stopped) std::this_thread::yield();
    EXPECT_FALSE(thread->IsRunning());
    thread.reset();  // waits for the cycle that is still running
    EXPECT_TRUE(finished);
    EXPECT_EQ(cycles, 1);
}

TEST_F(WorkerConcurrency, TasksQueuedWhileTheWorkerRunsAndTheMouseNotifies) {
    Connect();
    state.QueueTask(kTaskInitialRead);
    ASSERT_TRUE(worker.StartWorker());
    WaitIdle(state);
    ASSERT_TRUE(state.IsInitialReadDone());

    // Reports the mouse sends while a task waits for its answer may be taken as the
    // answer (the protocol has no way to tell them apart); the writes still land.
    std::thread mouse([this] {
        for (int i = 0; i < 20; ++i) {
            sim->PressDpiButton();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    for (int i = 0; i < 30; ++i) {
        SetConfig(L"report_rate", std::to_wstring(i % 4));
        state.QueueTask(kTaskWriteReportRate);
        state.QueueTask(kTaskWriteButtonMap);
        if (i % 10 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    mouse.join();
    WaitIdle(state);
    EXPECT_EQ(sim->State().settings.reportRate, 29 % 4);

    // With the queue empty the worker polls and picks up the next report.
    sim->SetBattery(69, false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (state.GetDeviceValues().batteryLevel != 69 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    worker.Stop();
    EXPECT_EQ(state.GetDeviceValues().batteryLevel, 69);
    EXPECT_EQ(worker.GetSendFailures(), 0);
}

}  // namespace
