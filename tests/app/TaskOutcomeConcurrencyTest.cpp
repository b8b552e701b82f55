// A task queued with a waiter: the worker tells it, from its own thread, whether
// every report of the task went out, and a task dropped unrun is a failure.
#include <gtest/gtest.h>

#include <future>

#include "WorkerFixture.h"

namespace {

using TaskOutcomeConcurrency = WorkerFixture;

// Queues `task` and waits for its outcome (nullopt when none came).
std::optional<bool> Outcome(DeviceMainDef& state, const WorkerTask& task) {
    auto promise = std::make_shared<std::promise<bool>>();
    std::future<bool> told = promise->get_future();
    state.QueueTask(task, [promise](bool sent) { promise->set_value(sent); });
    if (told.wait_for(std::chrono::seconds(20)) != std::future_status::ready) return std::nullopt;
    return told.get();
}

TEST_F(TaskOutcomeConcurrency, TheWaiterLearnsWhetherTheMouseWasWritten) {
    Connect();
    state.QueueTask(kTaskInitialRead);
    ASSERT_TRUE(worker.StartWorker());
    EXPECT_EQ(Outcome(state, kTaskWriteReportRate), std::optional<bool>(true));
    EXPECT_EQ(Outcome(state, kTaskLighting), std::optional<bool>(true));  // nothing to send is no failure

    sim->Unplug(SimEndpoint::Cable);
    EXPECT_EQ(Outcome(state, kTaskReadAfterChangeShort), std::optional<bool>(true));  // the read sends nothing
    EXPECT_EQ(Outcome(state, kTaskWriteReportRate), std::optional<bool>(false));

    // While the pairing dialog has the receiver, queued tasks are dropped: told as failed.
    state.SetPairingOpen(true);
    EXPECT_EQ(Outcome(state, kTaskWriteReportRate), std::optional<bool>(false));
    state.SetPairingOpen(false);
}

}  // namespace
