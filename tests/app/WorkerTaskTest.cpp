// Worker tasks carry their own arguments through the queue.
#include <gtest/gtest.h>

#include "device/DeviceMainDef.h"
#include "device/WorkerTask.h"
#include "device/Hotplug.h"
#include "exchange/ExchangeFiles.h"

namespace {

TEST(WorkerTask, SettingWritesNameTheSettingTheySend) {
    EXPECT_EQ(kTaskWriteHighspeed.setting, kSettingHighspeed);
    EXPECT_EQ(kTaskWriteReportRate.setting, kSettingReportRate);
    EXPECT_EQ(kTaskLighting.setting, 0);  // lighting is stored only
    EXPECT_NE(kTaskWriteReportRate, kTaskWriteSensor);
}

TEST(WorkerTask, KeysSendTheTaskOfTheirPage) {
    EXPECT_EQ(TaskForConfigKey(L"report_rate"), kTaskWriteReportRate);
    EXPECT_EQ(TaskForConfigKey(L"dpi_group3_value"), kTaskWriteDpiStage);
    EXPECT_EQ(TaskForConfigKey(L"dpi_index"), kTaskWriteDpiStage);
    EXPECT_EQ(TaskForConfigKey(L"dpi_count"), kTaskWriteDpiStage);
    EXPECT_EQ(TaskForConfigKey(L"dpi_group_value"), kTaskNone);
    EXPECT_EQ(TaskForConfigKey(L"deep_sleep"), kTaskWriteSleep);
    EXPECT_EQ(TaskForConfigKey(L"move_closelight"), kTaskNone);
}

TEST(WorkerTask, DeviceChangesAndImportsBecomeTheirTasks) {
    EXPECT_EQ(TaskForDeviceChange(DeviceChangeRead::Long), kTaskReadAfterChangeLong);
    EXPECT_EQ(TaskForDeviceChange(DeviceChangeRead::Short), kTaskReadAfterChangeShort);
    EXPECT_EQ(TaskForDeviceChange(DeviceChangeRead::None), kTaskNone);
    EXPECT_EQ(TaskAfterImport(kImportSendProfile), kTaskWriteEverything);
    EXPECT_EQ(TaskAfterImport(kImportStoredOnly), kTaskNone);
}

TEST(WorkerTaskQueue, EachResetKeepsItsPageAndCountsAreByArguments) {
    DeviceMainDef state;
    state.QueueTask(kTaskResetDpiPage);
    state.QueueTask(kTaskResetLightingPage);
    state.QueueTask(kTaskWriteReportRate);
    state.QueueTask(kTaskWriteReportRate);
    EXPECT_EQ(state.GetQueuedCount(kTaskResetDpiPage), 1);
    EXPECT_EQ(state.GetQueuedCount(kTaskResetLightingPage), 1);
    EXPECT_EQ(state.GetQueuedCount(kTaskWriteReportRate), 2);
    EXPECT_EQ(state.GetQueuedCount(kTaskWriteSensor), 0);
    std::vector<WorkerTask> taken;
    WorkerTask task;
    while (state.TakeTask(task)) {
        taken.push_back(task);
        state.FinishTask();
    }
    EXPECT_EQ(taken, (std::vector<WorkerTask>{kTaskResetDpiPage, kTaskResetLightingPage, kTaskWriteReportRate,
                                              kTaskWriteReportRate}));
}

TEST(WorkerTaskQueue, ReadsAfterDeviceChangesFoldIntoTheStrongest) {
    DeviceMainDef state;
    state.QueueTask(kTaskReadAfterChangeShort);
    state.QueueTask(kTaskWriteButtonMap);
    state.QueueTask(kTaskReadAfterChangeLong);
    state.QueueTask(kTaskReadAfterChangeShort);
    WorkerTask task;
    ASSERT_TRUE(state.TakeTask(task));
    EXPECT_EQ(task, kTaskReadAfterChangeLong);  // folded, in the place of the first
    state.FinishTask();
    ASSERT_TRUE(state.TakeTask(task));
    EXPECT_EQ(task, kTaskWriteButtonMap);
    state.FinishTask();
    EXPECT_FALSE(state.HasQueuedTasks());
}

}  // namespace
